#include "message/message_codec.h"

#include <bit>

#include "message/chunk_buffer.h"
#include "message/hex_reader.h"
#include "message/hex_text.h"
#include "message/message_key.h"

namespace velsor {

int32_t EffectiveKeySize(const Cipher& cipher, const Hash& hash) {
  return cipher.MaxKeySize() < hash.HashSize() ? cipher.MaxKeySize() : hash.HashSize();
}

std::size_t IvBytes(const Cipher& cipher) {
  const auto* block = dynamic_cast<const BlockCipher*>(&cipher);
  return block == nullptr ? 0 : static_cast<std::size_t>(block->BlockSize() / 8);
}

std::u16string TrimControls(std::u16string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] <= u' ') ++begin;
  while (end > begin && text[end - 1] <= u' ') --end;
  return std::u16string(text.substr(begin, end - begin));
}

namespace {

// The whole message in one buffer: salt and IV, drawn in envelope order, then
// the ciphertext; the hex text of it in 8-bit or 16-bit characters.
template <typename Hex>
Hex EncryptToHex(std::u16string_view text, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                 const RandomSource& random) {
  BurnOnExit burn(cipher);
  // An envelope without ciphertext could never be decrypted.
  if (text.empty()) throw MessageError("an empty message cannot be encrypted");
  CheckPassphraseForEncryption(passphrase);

  const std::size_t header = kSaltBytes + IvBytes(cipher);
  const std::size_t size = header + 2 * text.size();
  ChunkBuffer envelope(size);
  random(envelope.Data(), header);
  KeyCipher(hash, cipher, envelope.Data(), passphrase);
  if constexpr (std::endian::native == std::endian::little) {
    // The units in memory are the UTF-16LE plaintext: encrypted from there,
    // so the envelope never holds plaintext.
    CryptInChunks(cipher, reinterpret_cast<const uint8_t*>(text.data()), envelope.Data() + header, size - header, true,
                  Cipher::kStreamChunk, true);
  } else {
    envelope.Used(size);
    StoreUtf16Le(text, envelope.Data() + header);
    CryptInChunks(cipher, envelope.Data() + header, size - header, true, Cipher::kStreamChunk, true);
  }
  Hex hex(2 * size, typename Hex::value_type{});
  EnvelopeToHex(envelope.Data(), size, hex.data());
  return hex;
}

}  // namespace

std::string EncryptMessageToHex(std::u16string_view text, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                                const RandomSource& random) {
  return EncryptToHex<std::string>(text, passphrase, hash, cipher, random);
}

std::u16string EncryptMessage(std::u16string_view text, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                              const RandomSource& random) {
  return EncryptToHex<std::u16string>(text, passphrase, hash, cipher, random);
}

namespace {

template <typename CharT>
SecretText DecryptHex(std::basic_string_view<CharT> hex_text, std::u16string_view passphrase, Hash& hash,
                      Cipher& cipher) {
  BurnOnExit burn(cipher);
  const std::size_t header = kSaltBytes + IvBytes(cipher);
  HexTextReader reader;
  SecretBytes head(header);
  const auto head_step = reader.Read(hex_text, head.data(), header);
  // Every four characters give at most two bytes; the rest of the envelope is
  // decoded straight into the text's units, on a little-endian machine their
  // UTF-16LE bytes, and decrypted there.
  constexpr bool kInPlace = std::endian::native == std::endian::little;
  const std::size_t rest_bytes = 2 * (hex_text.size() / 4) + 2;
  SecretText text(kInPlace ? rest_bytes / 2 : 0, u'\0');
  SecretBytes rest(kInPlace ? 0 : rest_bytes);
  uint8_t* bytes = kInPlace ? reinterpret_cast<uint8_t*>(text.data()) : rest.data();
  const std::size_t rest_size = reader.Read(hex_text.substr(head_step.consumed), bytes, rest_bytes).written;
  reader.Finish();
  CheckEnvelopeSize(cipher, head_step.written + rest_size);

  KeyCipher(hash, cipher, head.data(), passphrase);
  CryptInChunks(cipher, bytes, rest_size, false, Cipher::kStreamChunk, true);
  text.resize(rest_size / 2);
  if constexpr (!kInPlace) LoadUtf16Le(bytes, text.size(), text.data());
  return text;
}

}  // namespace

SecretText DecryptMessage(std::u16string_view hex_text, std::u16string_view passphrase, Hash& hash, Cipher& cipher) {
  return DecryptHex(hex_text, passphrase, hash, cipher);
}

SecretText DecryptMessage(std::string_view hex_text, std::u16string_view passphrase, Hash& hash, Cipher& cipher) {
  return DecryptHex(hex_text, passphrase, hash, cipher);
}

}  // namespace velsor
