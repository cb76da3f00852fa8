// Nettle as a peer: its CBC over each cipher's block functions (the AES
// encryption through its dedicated CBC routine), ARCFOUR, and its hashes.

#include <nettle/aes.h>
#include <nettle/arcfour.h>
#include <nettle/arctwo.h>
#include <nettle/blowfish.h>
#include <nettle/cast128.h>
#include <nettle/cbc.h>
#include <nettle/des.h>
#include <nettle/nettle-meta.h>
#include <nettle/serpent.h>
#include <nettle/twofish.h>

#include <memory>
#include <vector>

#include "bench_cases.h"

namespace velsor::bench {
namespace {

constexpr const char* kName = "nettle";

// A block cipher as Nettle's CBC needs it.
struct BlockFunctions {
  std::size_t context_size;
  std::size_t block_bytes;
  nettle_set_key_func* set_encrypt_key;
  nettle_set_key_func* set_decrypt_key;
  nettle_cipher_func* encrypt;
  nettle_cipher_func* decrypt;
  // Nettle's whole-CBC encryption where it has one (AES), else null.
  void (*cbc_encrypt_whole)(const void* ctx, uint8_t* iv, std::size_t length, uint8_t* dst, const uint8_t* src);
};

BlockFunctions FromMeta(const nettle_cipher& meta) {
  return {meta.context_size, meta.block_size, meta.set_encrypt_key, meta.set_decrypt_key, meta.encrypt,
          meta.decrypt,      nullptr};
}

class CbcRun final : public CipherRun {
 public:
  CbcRun(const BlockFunctions& f, const uint8_t* key, const uint8_t* iv, bool encrypt)
      : fF(f), fEncrypt(encrypt), fCtx(f.context_size), fIv(iv, iv + f.block_bytes) {
    (encrypt ? f.set_encrypt_key : f.set_decrypt_key)(fCtx.data(), key);
  }

  void Run(const uint8_t* in, uint8_t* out, std::size_t size) override {
    if (!fEncrypt) {
      cbc_decrypt(fCtx.data(), fF.decrypt, fF.block_bytes, fIv.data(), size, out, in);
    } else if (fF.cbc_encrypt_whole) {
      fF.cbc_encrypt_whole(fCtx.data(), fIv.data(), size, out, in);
    } else {
      cbc_encrypt(fCtx.data(), fF.encrypt, fF.block_bytes, fIv.data(), size, out, in);
    }
  }

 private:
  BlockFunctions fF;
  bool fEncrypt;
  std::vector<uint8_t> fCtx;
  std::vector<uint8_t> fIv;
};

class ArcfourRun final : public CipherRun {
 public:
  explicit ArcfourRun(const uint8_t* key) { arcfour128_set_key(&fCtx, key); }
  void Run(const uint8_t* in, uint8_t* out, std::size_t size) override { arcfour_crypt(&fCtx, size, out, in); }

 private:
  arcfour_ctx fCtx{};
};

void AddBlock(const char* row, int key_bits, const BlockFunctions& f, std::string differs = "") {
  CipherCases().push_back({row, key_bits, f.block_bytes, kName, std::move(differs),
                           [f](const uint8_t* key, const uint8_t* iv, bool encrypt) {
                             return std::make_unique<CbcRun>(f, key, iv, encrypt);
                           }});
}

template <class Ctx>
nettle_cipher_func* Block(void (*f)(const Ctx*, std::size_t, uint8_t*, const uint8_t*)) {
  return reinterpret_cast<nettle_cipher_func*>(f);
}
template <class Ctx>
nettle_cipher_func* Block(void (*f)(Ctx*, std::size_t, uint8_t*, const uint8_t*)) {
  return reinterpret_cast<nettle_cipher_func*>(f);
}

void AddNettleCases() {
  BlockFunctions aes128 = FromMeta(nettle_aes128);
  aes128.cbc_encrypt_whole = [](const void* ctx, uint8_t* iv, std::size_t n, uint8_t* dst, const uint8_t* src) {
    cbc_aes128_encrypt(static_cast<const aes128_ctx*>(ctx), iv, n, dst, src);
  };
  BlockFunctions aes256 = FromMeta(nettle_aes256);
  aes256.cbc_encrypt_whole = [](const void* ctx, uint8_t* iv, std::size_t n, uint8_t* dst, const uint8_t* src) {
    cbc_aes256_encrypt(static_cast<const aes256_ctx*>(ctx), iv, n, dst, src);
  };
  AddBlock("Rijndael", 128, aes128);
  AddBlock("Rijndael", 256, aes256);
  AddBlock("Cast128", 128, FromMeta(nettle_cast128));
  AddBlock("Serpent", 256, FromMeta(nettle_serpent256));
  AddBlock("Twofish", 256, FromMeta(nettle_twofish256));

  const auto blowfish_key = [](void* ctx, const uint8_t* key) {
    blowfish128_set_key(static_cast<blowfish_ctx*>(ctx), key);
  };
  AddBlock("Blowfish", 128,
           {sizeof(blowfish_ctx), BLOWFISH_BLOCK_SIZE, blowfish_key, blowfish_key, Block(&blowfish_encrypt),
            Block(&blowfish_decrypt), nullptr});
  const auto des_key = [](void* ctx, const uint8_t* key) { des_set_key(static_cast<des_ctx*>(ctx), key); };
  AddBlock("DES", 64,
           {sizeof(des_ctx), DES_BLOCK_SIZE, des_key, des_key, Block(&des_encrypt), Block(&des_decrypt), nullptr});
  const auto des3_key = [](void* ctx, const uint8_t* key) { des3_set_key(static_cast<des3_ctx*>(ctx), key); };
  AddBlock(
      "3DES", 192,
      {sizeof(des3_ctx), DES3_BLOCK_SIZE, des3_key, des3_key, Block(&des3_encrypt), Block(&des3_decrypt), nullptr});
  // RC2 with 1024 effective key bits, as Velsor's RC2.
  const auto rc2_key = [](void* ctx, const uint8_t* key) {
    arctwo_set_key_ekb(static_cast<arctwo_ctx*>(ctx), 16, key, 1024);
  };
  AddBlock("RC2", 128,
           {sizeof(arctwo_ctx), ARCTWO_BLOCK_SIZE, rc2_key, rc2_key, Block(&arctwo_encrypt), Block(&arctwo_decrypt),
            nullptr});

  CipherCases().push_back({"RC4", 128, 0, kName, "",
                           [](const uint8_t* key, const uint8_t*, bool) { return std::make_unique<ArcfourRun>(key); }});

  for (const auto& [row, meta] :
       std::initializer_list<std::pair<const char*, const nettle_hash*>>{{"MD4", &nettle_md4},
                                                                         {"MD5", &nettle_md5},
                                                                         {"RipeMD-160", &nettle_ripemd160},
                                                                         {"SHA1", &nettle_sha1},
                                                                         {"SHA256", &nettle_sha256},
                                                                         {"SHA384", &nettle_sha384},
                                                                         {"SHA512", &nettle_sha512}}) {
    const nettle_hash* h = meta;
    // One context per hash, reused by every call, as Velsor reuses its hash objects.
    const auto ctx = std::make_shared<std::vector<uint8_t>>(h->context_size);
    HashCases().push_back(
        {row, kName, "", h->digest_size, [h, ctx](const uint8_t* data, std::size_t size, uint8_t* digest) {
           h->init(ctx->data());
           h->update(ctx->data(), size, data);
           h->digest(ctx->data(), h->digest_size, digest);
         }});
  }
}

[[maybe_unused]] const bool kRegistered = RegisterCases(&AddNettleCases);

}  // namespace
}  // namespace velsor::bench
