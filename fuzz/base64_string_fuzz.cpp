// Base64 decoding of any text, and the string encryption path: any text
// decrypts without a fault, and what a cipher encrypts it decrypts again.

#include <memory>
#include <string>
#include <vector>

#include "crypto/base64.h"
#include "crypto/hashes/sha1.h"
#include "fuzz_input.h"
#include "message/components_catalog.h"

using velsor::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static velsor::Component owner;
  static const std::vector<velsor::Cipher*> ciphers = [] {
    velsor::CreateAlgorithmComponents(owner);
    return velsor::ListCiphers(owner);
  }();

  velsor::fuzz::FuzzInput input(data, size);
  velsor::Cipher& cipher = *ciphers[input.Byte() % ciphers.size()];
  const std::string key(input.Bytes(input.Byte() % 40));
  const std::string text(input.Rest());

  // The decoder reads whole quartets of any characters; padding writes fewer bytes.
  const std::string decoded = velsor::Base64DecodeAnsi(text);
  Check(decoded.size() <= text.size() / 4 * 3, "decoding writes more than three bytes per quartet");
  Check(velsor::Base64DecodeAnsi(velsor::Base64EncodeAnsi(text)) == text, "Base64 does not round-trip");
  const std::u16string wide(text.begin(), text.end());
  Check(velsor::Base64DecodeUnicode(velsor::Base64EncodeUnicode(wide)) == wide, "Unicode Base64 does not round-trip");
  (void)velsor::Base64DecodeUnicode(wide);

  const auto sha1 = velsor::HashClass::Of<velsor::Sha1>();
  try {
    cipher.InitStr(key, sha1);
  } catch (const velsor::CipherError&) {
    return 0;  // the empty key: refused as the framework says
  }
  (void)cipher.DecryptString(text);
  (void)cipher.DecryptUnicodeString(wide);

  cipher.InitStr(key, sha1);
  const std::string sealed = cipher.EncryptString(text);
  cipher.InitStr(key, sha1);
  Check(cipher.DecryptString(sealed) == text, "DecryptString does not undo EncryptString");
  cipher.Burn();
  return 0;
}
