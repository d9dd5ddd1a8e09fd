// The cryptographic digests on OpenSSL's EVP interface.
#include "platform/Digest.h"

#include <openssl/evp.h>

namespace norvo::platform {
namespace {

class EvpDigest : public Digest {
 public:
  EvpDigest(EVP_MD_CTX* context) : context_(context) {}
  ~EvpDigest() override { EVP_MD_CTX_free(context_); }
  EvpDigest(const EvpDigest&) = delete;
  EvpDigest& operator=(const EvpDigest&) = delete;
  void Update(const void* data, size_t size) override { EVP_DigestUpdate(context_, data, size); }
  std::unique_ptr<Digest> Copy() const override {
    EVP_MD_CTX* copy = EVP_MD_CTX_new();
    if (copy == nullptr) return nullptr;
    if (EVP_MD_CTX_copy_ex(copy, context_) != 1) {
      EVP_MD_CTX_free(copy);
      return nullptr;
    }
    return std::make_unique<EvpDigest>(copy);
  }
  std::string FinishHex() override {
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context_, value, &length) != 1) return "";
    return HexOf(value, length);
  }

 private:
  EVP_MD_CTX* context_;
};

}  // namespace

std::unique_ptr<Digest> MakeDigest(DigestKind kind) {
  const EVP_MD* type = nullptr;
  switch (kind) {
    case DigestKind::Sha256:
      type = EVP_sha256();
      break;
    case DigestKind::Sha1:
      type = EVP_sha1();
      break;
    case DigestKind::Md5:
      type = EVP_md5();
      break;
    case DigestKind::Crc32:
      return MakeCrc32Digest();
  }
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  if (context == nullptr) return nullptr;
  if (type == nullptr || EVP_DigestInit_ex(context, type, nullptr) != 1) {
    EVP_MD_CTX_free(context);
    return nullptr;
  }
  return std::make_unique<EvpDigest>(context);
}

}  // namespace norvo::platform
