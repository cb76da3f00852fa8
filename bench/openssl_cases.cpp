// OpenSSL's libcrypto as a peer, through EVP, with the legacy provider for
// Blowfish, CAST5, DES, RC2, RC4 and MD4 where it is installed.

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "bench_cases.h"

namespace velsor::bench {
namespace {

constexpr const char* kName = "openssl";

class EvpRun final : public CipherRun {
 public:
  EvpRun(const EVP_CIPHER* cipher, int key_bits, bool rc2, const uint8_t* key, const uint8_t* iv, bool encrypt)
      : fCtx(EVP_CIPHER_CTX_new()) {
    const int enc = encrypt ? 1 : 0;
    bool ok = fCtx && EVP_CipherInit_ex2(fCtx, cipher, nullptr, nullptr, enc, nullptr) == 1 &&
              EVP_CIPHER_CTX_set_key_length(fCtx, key_bits / 8) == 1;
    // RC2 with 1024 effective key bits, as Velsor's RC2.
    if (ok && rc2) ok = EVP_CIPHER_CTX_ctrl(fCtx, EVP_CTRL_SET_RC2_KEY_BITS, 1024, nullptr) == 1;
    ok =
        ok && EVP_CipherInit_ex2(fCtx, nullptr, key, iv, enc, nullptr) == 1 && EVP_CIPHER_CTX_set_padding(fCtx, 0) == 1;
    if (!ok) {
      EVP_CIPHER_CTX_free(fCtx);
      throw std::runtime_error("OpenSSL cipher set-up failed");
    }
  }
  ~EvpRun() override { EVP_CIPHER_CTX_free(fCtx); }
  EvpRun(const EvpRun&) = delete;
  EvpRun& operator=(const EvpRun&) = delete;

  void Run(const uint8_t* in, uint8_t* out, std::size_t size) override {
    int written = 0;
    if (EVP_CipherUpdate(fCtx, out, &written, in, static_cast<int>(size)) != 1) {
      throw std::runtime_error("EVP_CipherUpdate failed");
    }
  }

 private:
  EVP_CIPHER_CTX* fCtx;
};

void AddCipher(const char* row, int key_bits, std::size_t block_bytes, const char* evp_name) {
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, evp_name, nullptr);
  if (!cipher) {
    std::fprintf(stderr, "openssl: %s not available, %s runs without this peer\n", evp_name, row);
    return;
  }
  const bool rc2 = std::string(row) == "RC2";
  CipherCases().push_back({row, key_bits, block_bytes, kName, "",
                           [cipher, key_bits, rc2](const uint8_t* key, const uint8_t* iv, bool encrypt) {
                             return std::make_unique<EvpRun>(cipher, key_bits, rc2, key, iv, encrypt);
                           }});
}

void AddHash(const char* row, const char* evp_name) {
  EVP_MD* md = EVP_MD_fetch(nullptr, evp_name, nullptr);
  if (!md) {
    std::fprintf(stderr, "openssl: %s not available, %s runs without this peer\n", evp_name, row);
    return;
  }
  // One context per hash, reused by every call, as Velsor reuses its hash objects.
  const std::shared_ptr<EVP_MD_CTX> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  HashCases().push_back({row, kName, "", static_cast<std::size_t>(EVP_MD_get_size(md)),
                         [md, ctx](const uint8_t* data, std::size_t size, uint8_t* digest) {
                           unsigned int length = 0;
                           if (EVP_DigestInit_ex2(ctx.get(), md, nullptr) != 1 ||
                               EVP_DigestUpdate(ctx.get(), data, size) != 1 ||
                               EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) {
                             throw std::runtime_error("OpenSSL digest failed");
                           }
                         }});
}

void AddOpenSslCases() {
  // Loading legacy replaces the implicit default provider, so both are loaded.
  OSSL_PROVIDER_load(nullptr, "legacy");
  OSSL_PROVIDER_load(nullptr, "default");
  AddCipher("Blowfish", 128, 8, "BF-CBC");
  AddCipher("Cast128", 128, 8, "CAST5-CBC");
  AddCipher("DES", 64, 8, "DES-CBC");
  AddCipher("3DES", 192, 8, "DES-EDE3-CBC");
  AddCipher("RC2", 128, 8, "RC2-CBC");
  AddCipher("RC4", 128, 0, "RC4");
  AddCipher("Rijndael", 128, 16, "AES-128-CBC");
  AddCipher("Rijndael", 256, 16, "AES-256-CBC");
  AddHash("MD4", "MD4");
  AddHash("MD5", "MD5");
  AddHash("RipeMD-160", "RIPEMD160");
  AddHash("SHA1", "SHA1");
  AddHash("SHA256", "SHA256");
  AddHash("SHA384", "SHA384");
  AddHash("SHA512", "SHA512");
}

[[maybe_unused]] const bool kRegistered = RegisterCases(&AddOpenSslCases);

}  // namespace
}  // namespace velsor::bench
