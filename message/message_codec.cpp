#include "message/message_codec.h"

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

std::string EncryptMessageToHex(std::u16string_view text, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                                const RandomSource& random) {
  BurnOnExit burn(cipher);
  // An envelope without ciphertext could never be decrypted.
  if (text.empty()) throw MessageError("an empty message cannot be encrypted");
  CheckPassphraseForEncryption(passphrase);

  // One buffer: salt and IV, drawn in envelope order, then the plaintext,
  // encrypted where it lies.
  const std::size_t header = kSaltBytes + IvBytes(cipher);
  SecretBytes envelope(header + 2 * text.size());
  random(envelope.data(), header);
  StoreUtf16Le(text, envelope.data() + header);
  KeyCipher(hash, cipher, envelope.data(), passphrase);
  CryptInChunks(cipher, envelope.data() + header, envelope.size() - header, true, Cipher::kStreamChunk, true);

  std::string hex(2 * envelope.size(), '\0');
  EnvelopeToHex(envelope.data(), envelope.size(), hex.data());
  return hex;
}

std::u16string EncryptMessage(std::u16string_view text, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                              const RandomSource& random) {
  const std::string hex = EncryptMessageToHex(text, passphrase, hash, cipher, random);
  return std::u16string(hex.begin(), hex.end());
}

namespace {

template <typename CharT>
SecretText DecryptHex(std::basic_string_view<CharT> hex_text, std::u16string_view passphrase, Hash& hash,
                      Cipher& cipher) {
  BurnOnExit burn(cipher);
  // Every four characters give at most two bytes.
  SecretBytes envelope(2 * (hex_text.size() / 4) + 2);
  HexTextReader reader;
  const std::size_t size = reader.Read(hex_text, envelope.data(), envelope.size()).written;
  reader.Finish();
  CheckEnvelopeSize(cipher, size);

  const std::size_t header = kSaltBytes + IvBytes(cipher);
  KeyCipher(hash, cipher, envelope.data(), passphrase);
  CryptInChunks(cipher, envelope.data() + header, size - header, false, Cipher::kStreamChunk, true);
  SecretText text((size - header) / 2, u'\0');
  LoadUtf16Le(envelope.data() + header, text.size(), text.data());
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
