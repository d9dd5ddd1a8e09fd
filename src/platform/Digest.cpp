#include "platform/Digest.h"

#include <zlib.h>

#include <algorithm>

namespace norvo::platform {
namespace {

class Crc32Digest : public Digest {
 public:
  void Update(const void* data, size_t size) override {
    const auto* bytes = static_cast<const Bytef*>(data);
    while (size > 0) {  // zlib takes at most a uInt at a time
      const auto part = static_cast<uInt>(std::min<size_t>(size, 1U << 30));
      crc_ = crc32(crc_, bytes, part);
      bytes += part;
      size -= part;
    }
  }
  std::unique_ptr<Digest> Copy() const override { return std::make_unique<Crc32Digest>(*this); }
  std::string FinishHex() override {
    const unsigned char bytes[4] = {static_cast<unsigned char>(crc_ >> 24),
                                    static_cast<unsigned char>(crc_ >> 16),
                                    static_cast<unsigned char>(crc_ >> 8), static_cast<unsigned char>(crc_)};
    return HexOf(bytes, sizeof(bytes));
  }

 private:
  uLong crc_ = crc32(0L, Z_NULL, 0);
};

}  // namespace

const char* DigestName(DigestKind kind) {
  switch (kind) {
    case DigestKind::Sha256:
      return "SHA-256";
    case DigestKind::Sha1:
      return "SHA-1";
    case DigestKind::Md5:
      return "MD5";
    case DigestKind::Crc32:
      return "CRC32";
  }
  return "";
}

std::unique_ptr<Digest> MakeCrc32Digest() { return std::make_unique<Crc32Digest>(); }

std::string HexOf(const unsigned char* bytes, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

}  // namespace norvo::platform
