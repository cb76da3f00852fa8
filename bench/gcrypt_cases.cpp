// libgcrypt as a peer: CBC and stream mode through gcry_cipher, and its hashes,
// Tiger among them (GCRY_MD_TIGER1 is the published Tiger with padding byte
// 0x01; GCRY_MD_TIGER writes the same digest in another byte order).

#include <gcrypt.h>

#include <stdexcept>

#include "bench_cases.h"

namespace velsor::bench {
namespace {

constexpr const char* kName = "gcrypt";

class GcryRun final : public CipherRun {
 public:
  GcryRun(int algo, int mode, std::size_t key_bytes, std::size_t block_bytes, const uint8_t* key, const uint8_t* iv,
          bool encrypt)
      : fEncrypt(encrypt) {
    if (gcry_cipher_open(&fHandle, algo, mode, 0) != 0 || gcry_cipher_setkey(fHandle, key, key_bytes) != 0 ||
        (block_bytes != 0 && gcry_cipher_setiv(fHandle, iv, block_bytes) != 0)) {
      gcry_cipher_close(fHandle);
      throw std::runtime_error("libgcrypt cipher set-up failed");
    }
  }
  ~GcryRun() override { gcry_cipher_close(fHandle); }
  GcryRun(const GcryRun&) = delete;
  GcryRun& operator=(const GcryRun&) = delete;

  void Run(const uint8_t* in, uint8_t* out, std::size_t size) override {
    const gcry_error_t error = fEncrypt ? gcry_cipher_encrypt(fHandle, out, size, in, size)
                                        : gcry_cipher_decrypt(fHandle, out, size, in, size);
    if (error != 0) throw std::runtime_error("libgcrypt cipher failed");
  }

 private:
  gcry_cipher_hd_t fHandle = nullptr;
  bool fEncrypt;
};

void AddCipher(const char* row, int key_bits, std::size_t block_bytes, int algo, std::string differs = "") {
  const int mode = block_bytes == 0 ? GCRY_CIPHER_MODE_STREAM : GCRY_CIPHER_MODE_CBC;
  CipherCases().push_back(
      {row, key_bits, block_bytes, kName, std::move(differs), [=](const uint8_t* key, const uint8_t* iv, bool encrypt) {
         return std::make_unique<GcryRun>(algo, mode, static_cast<std::size_t>(key_bits / 8), block_bytes, key, iv,
                                          encrypt);
       }});
}

void AddHash(const char* row, int algo) {
  HashCases().push_back(
      {row, kName, "", gcry_md_get_algo_dlen(algo), [algo](const uint8_t* data, std::size_t size, uint8_t* digest) {
         gcry_md_hash_buffer(algo, digest, data, size);
       }});
}

void AddGcryptCases() {
  if (!gcry_check_version(GCRYPT_VERSION)) return;
  gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
  gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  AddCipher("Blowfish", 128, 8, GCRY_CIPHER_BLOWFISH);
  AddCipher("Cast128", 128, 8, GCRY_CIPHER_CAST5);
  AddCipher("DES", 64, 8, GCRY_CIPHER_DES);
  AddCipher("3DES", 192, 8, GCRY_CIPHER_3DES);
  AddCipher("RC2", 128, 8, GCRY_CIPHER_RFC2268_128, "effective key bits 128, not 1024; same rounds");
  AddCipher("RC4", 128, 0, GCRY_CIPHER_ARCFOUR);
  AddCipher("Rijndael", 128, 16, GCRY_CIPHER_AES128);
  AddCipher("Rijndael", 256, 16, GCRY_CIPHER_AES256);
  AddCipher("Serpent", 256, 16, GCRY_CIPHER_SERPENT256);
  AddCipher("Twofish", 256, 16, GCRY_CIPHER_TWOFISH);
  AddHash("MD4", GCRY_MD_MD4);
  AddHash("MD5", GCRY_MD_MD5);
  AddHash("RipeMD-160", GCRY_MD_RMD160);
  AddHash("SHA1", GCRY_MD_SHA1);
  AddHash("SHA256", GCRY_MD_SHA256);
  AddHash("SHA384", GCRY_MD_SHA384);
  AddHash("SHA512", GCRY_MD_SHA512);
  AddHash("Tiger", GCRY_MD_TIGER1);
}

[[maybe_unused]] const bool kRegistered = RegisterCases(&AddGcryptCases);

}  // namespace
}  // namespace velsor::bench
