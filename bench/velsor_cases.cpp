// Velsor's own cases: every cipher and hash of the catalog, so a new component
// is benchmarked without touching this file.

#include <algorithm>
#include <map>

#include "bench_cases.h"
#include "crypto/components.h"
#include "message/components_catalog.h"

namespace velsor::bench {
namespace {

// Key sizes the peers are measured at; any other cipher runs at
// min(MaxKeySize, 128). Rijndael's round count depends on the key size.
const std::map<std::string, std::vector<int>> kKeyBits = {
    {"Rijndael", {128, 256}}, {"Serpent", {256}}, {"Twofish", {256}}, {"3DES", {192}}};

class VelsorRun final : public CipherRun {
 public:
  VelsorRun(Cipher& cipher, const uint8_t* key, int key_bits, const uint8_t* iv, bool encrypt)
      : fCipher(cipher), fEncrypt(encrypt) {
    fCipher.Init(key, static_cast<uint32_t>(key_bits), iv);
  }
  ~VelsorRun() override { fCipher.Burn(); }
  VelsorRun(const VelsorRun&) = delete;
  VelsorRun& operator=(const VelsorRun&) = delete;

  void Run(const uint8_t* in, uint8_t* out, std::size_t size) override {
    if (fEncrypt) {
      fCipher.Encrypt(in, out, static_cast<uint32_t>(size));
    } else {
      fCipher.Decrypt(in, out, static_cast<uint32_t>(size));
    }
  }

 private:
  Cipher& fCipher;
  bool fEncrypt;
};

void AddVelsorCases() {
  for (Cipher* cipher : ListCiphers(VelsorCatalog())) {
    const std::string name = RowName(cipher->Algorithm());
    const auto block = dynamic_cast<BlockCipher*>(cipher);
    const auto sizes = kKeyBits.find(name);
    const std::vector<int> key_bits =
        sizes != kKeyBits.end() ? sizes->second : std::vector<int>{std::min(cipher->MaxKeySize(), 128)};
    for (int bits : key_bits) {
      CipherCases().push_back(
          {name, bits, block ? static_cast<std::size_t>(block->BlockSize() / 8) : 0, "velsor", "",
           [cipher, bits](const uint8_t* key, const uint8_t* iv, bool encrypt) -> std::unique_ptr<CipherRun> {
             return std::make_unique<VelsorRun>(*cipher, key, bits, iv, encrypt);
           }});
    }
  }
  for (Hash* hash : ListHashes(VelsorCatalog())) {
    HashCases().push_back({RowName(hash->Algorithm()), "velsor", "", static_cast<std::size_t>(hash->HashSize() / 8),
                           [hash](const uint8_t* data, std::size_t size, uint8_t* digest) {
                             hash->Init();
                             hash->Update(data, static_cast<uint32_t>(size));
                             hash->Final(digest);
                           }});
  }
}

[[maybe_unused]] const bool kRegistered = RegisterCases(&AddVelsorCases);

}  // namespace
}  // namespace velsor::bench
