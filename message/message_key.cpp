#include "message/message_key.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "crypto/bytes.h"
#include "message/ansi_codepage.h"
#include "message/hex_reader.h"
#include "message/message_codec.h"
#include "message/message_error.h"
#include "message/utf8.h"

namespace velsor {

namespace {

std::string Utf8Of(char32_t c) {
  char bytes[4];
  return std::string(bytes, PutUtf8(c, bytes));
}

std::size_t DigestBytes(const Hash& hash) { return static_cast<std::size_t>(std::max(hash.HashSize(), 0) / 8); }

std::string Narrow(const std::u16string& name) { return std::string(name.begin(), name.end()); }

}  // namespace

void CheckPassphraseForEncryption(std::u16string_view passphrase) {
  const auto bad = FirstUnrepresentable(passphrase);
  if (!bad) return;
  // A lone surrogate or a C1 control character cannot be shown as itself.
  const bool printable = bad->character >= 0xA0 && !(bad->character >= 0xD800 && bad->character <= 0xDFFF);
  const std::string shown = printable ? "'" + Utf8Of(bad->character) + "'" : DescribeCharacter(bad->character);
  throw MessageError("The passphrase holds " + shown + " (position " + std::to_string(bad->position) +
                     "), which the message format cannot represent; use characters of Windows-1252 (Latin "
                     "letters, digits, punctuation)");
}

void KeyCipher(Hash& hash, Cipher& cipher, const uint8_t* header, std::u16string_view passphrase) {
  SecretBytes digest(DigestBytes(hash));
  const SecretNarrow passphrase_bytes = ToAnsiCodePage(passphrase);
  hash.Init();
  hash.Update(header, static_cast<uint32_t>(kSaltBytes));
  hash.Update(passphrase_bytes.data(), static_cast<uint32_t>(passphrase_bytes.size()));
  hash.Final(digest.data());
  const std::size_t iv_bytes = IvBytes(cipher);
  cipher.Init(digest.data(), static_cast<uint32_t>(EffectiveKeySize(cipher, hash)),
              iv_bytes > 0 ? header + kSaltBytes : nullptr);
  if (auto* block = dynamic_cast<BlockCipher*>(&cipher)) block->SetCipherMode(cmCBC);  // set after Init
}

void CryptInChunks(Cipher& cipher, uint8_t* data, std::size_t size, bool encrypt, std::size_t chunk_bytes,
                   bool report_progress) {
  CryptInChunks(cipher, data, data, size, encrypt, chunk_bytes, report_progress);
}

void CryptInChunks(Cipher& cipher, const uint8_t* in, uint8_t* out, std::size_t size, bool encrypt,
                   std::size_t chunk_bytes, bool report_progress) {
  if (size == 0) throw MessageError("a message needs at least one character");
  const std::size_t chunk = std::min(size, chunk_bytes);
  const std::size_t chunks = size / chunk;
  auto crypt = [&](std::size_t at, std::size_t n) {
    if (encrypt) {
      cipher.Encrypt(in + at, out + at, static_cast<uint32_t>(n));
    } else {
      cipher.Decrypt(in + at, out + at, static_cast<uint32_t>(n));
    }
  };
  for (std::size_t i = 1; i <= chunks; ++i) {
    crypt((i - 1) * chunk, chunk);
    if (report_progress && cipher.OnProgressEvent()) {
      // The same report as the stream operations: i x 100 / N, half to even.
      const uint32_t percent_times_n = static_cast<uint32_t>(i) * 100U;
      const double progress = std::nearbyint(static_cast<double>(percent_times_n) / static_cast<double>(chunks));
      cipher.OnProgressEvent()(&cipher, static_cast<int32_t>(progress));
    }
  }
  if (size % chunk != 0) crypt(chunks * chunk, size % chunk);
}

void CheckEnvelopeSize(const Cipher& cipher, uint64_t bytes) {
  const uint64_t minimum = kSaltBytes + IvBytes(cipher) + 2;
  if (bytes >= minimum) return;
  throw MessageError("Not a message for " + Narrow(cipher.Algorithm()) + ": the hex text holds " +
                     std::to_string(bytes) + " bytes, a message needs at least " + std::to_string(minimum));
}

}  // namespace velsor
