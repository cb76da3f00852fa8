#include "message/message_codec.h"

#include <algorithm>
#include <vector>

#include "message/ansi_codepage.h"
#include "message/hex_text.h"
#include "crypto/bytes.h"

namespace velsor {

namespace {

// Burns the cipher when the run ends, successful or not, so no key stays behind.
class BurnOnExit {
 public:
  explicit BurnOnExit(Cipher& cipher) : fCipher(cipher) {}
  ~BurnOnExit() { fCipher.Burn(); }
  BurnOnExit(const BurnOnExit&) = delete;
  BurnOnExit& operator=(const BurnOnExit&) = delete;

 private:
  Cipher& fCipher;
};

// The key: the digest of salt followed by the passphrase bytes.
void DeriveKey(Hash& hash, const uint8_t* salt, const std::u16string& passphrase, SecretBytes& digest) {
  std::string passphrase_bytes = ToAnsiCodePage(passphrase);
  hash.Init();
  hash.Update(salt, static_cast<uint32_t>(kSaltBytes));
  hash.UpdateStr(passphrase_bytes);
  hash.Final(digest.data());
  secure_wipe(passphrase_bytes.data(), passphrase_bytes.size());
}

void InitCipher(Cipher& cipher, const Hash& hash, SecretBytes& digest, const uint8_t* iv) {
  const uint32_t key_bits = static_cast<uint32_t>(EffectiveKeySize(cipher, hash));
  cipher.Init(digest.data(), key_bits, iv);
  if (auto* block = dynamic_cast<BlockCipher*>(&cipher)) block->SetCipherMode(cmCBC);  // set after Init
}

std::size_t DigestBytes(const Hash& hash) { return static_cast<std::size_t>(std::max(hash.HashSize(), 0) / 8); }

}  // namespace

int32_t EffectiveKeySize(const Cipher& cipher, const Hash& hash) {
  return cipher.MaxKeySize() < hash.HashSize() ? cipher.MaxKeySize() : hash.HashSize();
}

std::size_t IvBytes(const Cipher& cipher) {
  const auto* block = dynamic_cast<const BlockCipher*>(&cipher);
  return block == nullptr ? 0 : static_cast<std::size_t>(block->BlockSize() / 8);
}

std::u16string TrimControls(const std::u16string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] <= u' ') ++begin;
  while (end > begin && text[end - 1] <= u' ') --end;
  return text.substr(begin, end - begin);
}

std::u16string EncryptMessage(const std::u16string& text, const std::u16string& passphrase, Hash& hash,
                              Cipher& cipher, const RandomSource& random) {
  BurnOnExit burn(cipher);
  const SecretBytes text_bytes = Utf16LeBytes(text);
  MemoryStream plain(text_bytes.data(), text_bytes.size());
  // An envelope without ciphertext could never be decrypted.
  if (plain.Size() == 0) throw MessageError("an empty message cannot be encrypted");

  const std::size_t iv_bytes = IvBytes(cipher);
  SecretBytes header(kSaltBytes + iv_bytes);  // salt, then IV, drawn in envelope order
  random(header.data(), header.size());

  SecretBytes digest(DigestBytes(hash));
  DeriveKey(hash, header.data(), passphrase, digest);
  InitCipher(cipher, hash, digest, iv_bytes > 0 ? header.data() + kSaltBytes : nullptr);

  MemoryStream envelope;
  envelope.Write(header.data(), header.size());
  cipher.EncryptStream(plain, envelope, plain.Size());
  return StringToHex(Utf16LeText(envelope.Memory(), static_cast<std::size_t>(envelope.Size())));
}

std::u16string DecryptMessage(const std::u16string& hex_text, const std::u16string& passphrase, Hash& hash,
                              Cipher& cipher) {
  BurnOnExit burn(cipher);
  const std::u16string units = HexToString(TrimControls(hex_text));
  const SecretBytes envelope_bytes = Utf16LeBytes(units);
  MemoryStream envelope(envelope_bytes.data(), envelope_bytes.size());

  const std::size_t iv_bytes = IvBytes(cipher);
  const std::size_t header_bytes = kSaltBytes + iv_bytes;
  const std::size_t size = static_cast<std::size_t>(envelope.Size());
  if (size <= header_bytes) {
    std::string why = "the hex text holds " + std::to_string(size) + " bytes; ";
    std::u16string name = cipher.Algorithm();
    why += std::string(name.begin(), name.end()) + " needs at least " + std::to_string(header_bytes + 1) + " (8 salt";
    if (iv_bytes > 0) why += " + " + std::to_string(iv_bytes) + " IV";
    why += " + 1)";
    throw MessageError(why);
  }

  SecretBytes digest(DigestBytes(hash));
  DeriveKey(hash, envelope.Memory(), passphrase, digest);
  InitCipher(cipher, hash, digest, iv_bytes > 0 ? envelope.Memory() + kSaltBytes : nullptr);

  envelope.SetPosition(static_cast<int64_t>(header_bytes));
  MemoryStream plain;
  cipher.DecryptStream(envelope, plain, static_cast<int64_t>(size - header_bytes));
  return Utf16LeText(plain.Memory(), static_cast<std::size_t>(plain.Size()));
}

}  // namespace velsor
