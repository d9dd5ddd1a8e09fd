#pragma once
// A running digest of bytes (SHA-256, SHA-1, MD5 or CRC-32), fed as a file is
// read and finished once: the digests FTP servers offer of a stored file. The
// cryptographic ones come from the system's library (OpenSSL's libcrypto on
// POSIX, CNG's bcrypt on Windows), CRC-32 from zlib on both.
#include <cstddef>
#include <memory>
#include <string>

namespace norvo::platform {

enum class DigestKind { Sha256, Sha1, Md5, Crc32 };

// How the digest is named in messages: "SHA-256", "SHA-1", "MD5", "CRC32".
const char* DigestName(DigestKind kind);

class Digest {
 public:
  virtual ~Digest() = default;
  virtual void Update(const void* data, size_t size) = 0;
  // A digest that has taken the same bytes and goes on apart from this one;
  // null when the system's library cannot copy it.
  virtual std::unique_ptr<Digest> Copy() const = 0;
  // The digest in lower-case hex (CRC-32 as 8 digits); the object is spent.
  virtual std::string FinishHex() = 0;
};

// Null when the system's library cannot make this digest.
std::unique_ptr<Digest> MakeDigest(DigestKind kind);
// The CRC-32 of zlib, the same on every system.
std::unique_ptr<Digest> MakeCrc32Digest();

// Lower-case hex of raw bytes.
std::string HexOf(const unsigned char* bytes, size_t size);

}  // namespace norvo::platform
