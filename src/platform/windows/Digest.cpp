// The cryptographic digests on CNG (bcrypt), which every Windows has.
#include "platform/Digest.h"

#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <memory>
#include <vector>

namespace norvo::platform {
namespace {

// The algorithm's provider, shared by a digest and its copies.
using Algorithm = std::shared_ptr<void>;

class CngDigest : public Digest {
 public:
  CngDigest(Algorithm algorithm, BCRYPT_HASH_HANDLE hash, DWORD length)
      : algorithm_(std::move(algorithm)), hash_(hash), length_(length) {}
  ~CngDigest() override { BCryptDestroyHash(hash_); }
  CngDigest(const CngDigest&) = delete;
  CngDigest& operator=(const CngDigest&) = delete;
  void Update(const void* data, size_t size) override {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {  // CNG takes at most a ULONG at a time
      const auto part = static_cast<ULONG>(size > (1U << 30) ? (1U << 30) : size);
      BCryptHashData(hash_, const_cast<PUCHAR>(bytes), part, 0);
      bytes += part;
      size -= part;
    }
  }
  std::unique_ptr<Digest> Copy() const override {
    BCRYPT_HASH_HANDLE copy = nullptr;
    if (BCryptDuplicateHash(hash_, &copy, nullptr, 0, 0) != 0) return nullptr;
    return std::make_unique<CngDigest>(algorithm_, copy, length_);
  }
  std::string FinishHex() override {
    std::vector<unsigned char> value(length_);
    if (BCryptFinishHash(hash_, value.data(), length_, 0) != 0) return "";
    return HexOf(value.data(), value.size());
  }

 private:
  Algorithm algorithm_;  // outlives hash_, which the destructor ends first
  BCRYPT_HASH_HANDLE hash_;
  DWORD length_;
};

}  // namespace

std::unique_ptr<Digest> MakeDigest(DigestKind kind) {
  const wchar_t* name = nullptr;
  switch (kind) {
    case DigestKind::Sha256:
      name = BCRYPT_SHA256_ALGORITHM;
      break;
    case DigestKind::Sha1:
      name = BCRYPT_SHA1_ALGORITHM;
      break;
    case DigestKind::Md5:
      name = BCRYPT_MD5_ALGORITHM;
      break;
    case DigestKind::Crc32:
      return MakeCrc32Digest();
  }
  BCRYPT_ALG_HANDLE opened = nullptr;
  if (BCryptOpenAlgorithmProvider(&opened, name, nullptr, 0) != 0) return nullptr;
  const Algorithm algorithm(opened, [](void* handle) { BCryptCloseAlgorithmProvider(handle, 0); });
  DWORD length = 0;
  ULONG written = 0;
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (BCryptGetProperty(opened, BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&length), sizeof(length),
                        &written, 0) != 0 ||
      BCryptCreateHash(opened, &hash, nullptr, 0, nullptr, 0, 0) != 0)
    return nullptr;
  return std::make_unique<CngDigest>(algorithm, hash, length);
}

}  // namespace norvo::platform
