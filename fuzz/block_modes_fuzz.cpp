// Every block cipher keyed with a fuzzed key size and key, then each of the
// five modes over fuzzed data cut at a fuzzed point: a refused size raises
// CipherError and nothing else; decryption with the same cuts undoes
// encryption; cuts at whole blocks (any cut in CFB-8) change nothing; in
// place equals out of place.

#include <cstring>
#include <string>
#include <vector>

#include "crypto/components.h"
#include "fuzz_input.h"
#include "message/components_catalog.h"

using velsor::fuzz::Check;

namespace {

using Run = void (velsor::BlockCipher::*)(const void*, void*, uint32_t);

std::vector<uint8_t> InTwoCalls(velsor::BlockCipher& cipher, Run run, const std::vector<uint8_t>& data,
                                std::size_t cut) {
  std::vector<uint8_t> out(data.size());
  cipher.Reset();
  (cipher.*run)(data.data(), out.data(), static_cast<uint32_t>(cut));
  (cipher.*run)(data.data() + cut, out.data() + cut, static_cast<uint32_t>(data.size() - cut));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static velsor::Component owner;
  static std::vector<velsor::BlockCipher*> ciphers;
  if (ciphers.empty()) {
    velsor::CreateAlgorithmComponents(owner);
    for (velsor::Cipher* c : velsor::ListCiphers(owner)) {
      if (auto* block = dynamic_cast<velsor::BlockCipher*>(c)) ciphers.push_back(block);
    }
  }

  velsor::fuzz::FuzzInput input(data, size);
  velsor::BlockCipher& cipher = *ciphers[input.Byte() % ciphers.size()];
  const uint32_t key_bits = input.Byte() % 4 == 0 ? input.Word() : input.Byte() * 4u + input.Byte() % 4;
  const auto mode = static_cast<velsor::ChainMode>(input.Byte() % 5);
  const std::size_t block = static_cast<std::size_t>(cipher.BlockSize() / 8);
  std::string key(input.Bytes(130));
  key.resize(130, '\0');  // Init reads Size / 8 bytes: never more than MaxKeySize allows
  std::string iv(input.Bytes(block));
  iv.resize(block, '\0');
  const bool null_iv = input.Byte() % 2 == 0;
  const std::string_view payload = input.Rest();
  const std::vector<uint8_t> plain(payload.begin(), payload.end());
  const std::size_t cut = plain.empty() ? 0 : input.Word() % (plain.size() + 1);

  const bool valid = key_bits > 0 && key_bits % 4 == 0 && key_bits <= static_cast<uint32_t>(cipher.MaxKeySize());
  // A 4-bit key passes the size check but holds no whole byte: each cipher
  // may take or refuse it.
  const bool either = key_bits == 4;
  try {
    cipher.Init(key.data(), key_bits, null_iv ? nullptr : iv.data());
  } catch (const velsor::CipherError&) {
    Check(!valid || either, "a valid key size is refused");
    Check(!cipher.Initialized(), "a refused key leaves the cipher initialised");
    return 0;
  }
  Check(valid, "an invalid key size is accepted");
  cipher.SetCipherMode(mode);
  if (plain.empty()) return 0;

  const std::vector<uint8_t> whole = InTwoCalls(cipher, &velsor::BlockCipher::Encrypt, plain, 0);
  const std::vector<uint8_t> split = InTwoCalls(cipher, &velsor::BlockCipher::Encrypt, plain, cut);
  if (cut % block == 0 || mode == velsor::cmCFB8bit)
    Check(split == whole, "a cut at a block boundary changes the result");
  Check(InTwoCalls(cipher, &velsor::BlockCipher::Decrypt, split, cut) == plain, "decryption does not undo encryption");

  std::vector<uint8_t> in_place = plain;
  cipher.Reset();
  cipher.Encrypt(in_place.data(), in_place.data(), static_cast<uint32_t>(in_place.size()));
  Check(in_place == whole, "in place differs from out of place");
  cipher.Burn();
  return 0;
}
