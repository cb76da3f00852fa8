// The codec's decryption with every cipher and hash, a fuzzed passphrase and a
// fuzzed hex text: it either refuses with MessageError or decrypts; what it
// decrypts, the streamed decryption gives too, and encrypting that text again
// with the envelope's salt and IV gives the same hex text back.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "message/components_catalog.h"
#include "message/hex_reader.h"
#include "message/message_codec.h"
#include "message/message_stream.h"

using velsor::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static velsor::Component owner;
  static std::vector<velsor::Cipher*> ciphers;
  static std::vector<velsor::Hash*> hashes;
  if (ciphers.empty()) {
    velsor::CreateAlgorithmComponents(owner);
    ciphers = velsor::ListCiphers(owner);
    hashes = velsor::ListHashes(owner);
  }

  velsor::fuzz::FuzzInput input(data, size);
  velsor::Cipher& cipher = *ciphers[input.Byte() % ciphers.size()];
  velsor::Hash& hash = *hashes[input.Byte() % hashes.size()];
  // Small chunks exercise the chaining across chunks. RC4 starts its indices
  // again at every chunk, so only the format's own 8 MiB chunks match for it:
  // too slow to run here, the codec tests compare those.
  const std::size_t chunk = 16 * (1 + input.Byte() % 4);
  const bool compare_stream = velsor::IvBytes(cipher) != 0;
  const std::string_view passphrase_bytes = input.Bytes(input.Byte() % 24);
  std::u16string passphrase;  // the bytes as Latin-1 code units
  for (char c : passphrase_bytes) passphrase.push_back(static_cast<unsigned char>(c));
  const std::string_view hex = input.Rest();
  const std::u16string wide_hex(hex.begin(), hex.end());

  velsor::SecretText text;
  bool decrypted = true;
  try {
    text = velsor::DecryptMessage(wide_hex, passphrase, hash, cipher);
  } catch (const velsor::MessageError&) {
    decrypted = false;
  }
  Check(!cipher.Initialized(), "the cipher is not burnt after a decryption");

  // The streamed decryption, in small chunks and small pieces of input.
  std::string streamed;
  bool stream_decrypted = decrypted;
  if (compare_stream) {
    try {
      std::size_t at = 0;
      velsor::DecryptMessageStream(
          [&](char* out, std::size_t room) {
            const std::size_t n = std::min({room, hex.size() - at, std::size_t{7}});
            std::memcpy(out, hex.data() + at, n);
            at += n;
            return n;
          },
          passphrase, hash, cipher,
          [&](const uint8_t* bytes, std::size_t n, bool) { streamed.append(reinterpret_cast<const char*>(bytes), n); },
          chunk);
    } catch (const velsor::MessageError&) {
      stream_decrypted = false;
    }
  }
  Check(stream_decrypted == decrypted, "streamed and whole decryption disagree on refusing");
  if (!decrypted) return 0;
  Check(!compare_stream || streamed.size() == 2 * text.size(), "streamed decryption has another length");
  for (std::size_t i = 0; compare_stream && i < text.size(); ++i) {
    const auto unit =
        static_cast<char16_t>(static_cast<uint8_t>(streamed[2 * i]) | (static_cast<uint8_t>(streamed[2 * i + 1]) << 8));
    Check(unit == text[i], "streamed decryption gives other text");
  }

  // Encrypt again with the same salt and IV: the digits come back.
  std::string digits;
  for (char c : hex) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits.push_back(static_cast<char>(std::toupper(c)));
  }
  std::vector<uint8_t> header(velsor::kSaltBytes + velsor::IvBytes(cipher));
  velsor::HexTextReader reader;
  const auto step = reader.Read(std::string_view(digits).substr(0, 2 * header.size()), header.data(), header.size());
  Check(step.written == header.size(), "a decrypted envelope lacks its header");
  std::size_t drawn = 0;
  const auto replay = [&](void* out, std::size_t n) {
    std::memcpy(out, header.data() + drawn, n);
    drawn += n;
  };
  bool ascii = true;
  for (char16_t c : passphrase) ascii = ascii && c < 0x80;
  std::string again;
  try {
    again = velsor::EncryptMessageToHex(text, passphrase, hash, cipher, replay);
  } catch (const velsor::MessageError&) {
    Check(!ascii, "encryption refuses an ASCII passphrase");
    return 0;  // a character Windows-1252 lacks: encryption refuses it, decryption reads it as "?"
  }
  Check(again == digits, "encrypting the decrypted text does not give the hex text back");
  return 0;
}
