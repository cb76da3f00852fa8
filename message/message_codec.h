#pragma once
// The message format: salt (8 bytes) | IV (one block, none for a stream
// cipher) | ciphertext (as long as the UTF-16LE plaintext), written as hex text.
// The key is the digest of salt followed by the passphrase bytes, used as a key
// of min(MaxKeySize, HashSize) bits; block ciphers run in CBC. No magic, no
// length, no check value: the reader must pick the same cipher, hash and
// passphrase. Qt-free, so it is tested without a window.

#include <cstddef>
#include <functional>
#include <string>

#include "crypto/components.h"

namespace velsor {

// Raised when a hex text cannot hold a message for the selected cipher.
class MessageError : public Exception {
 public:
  using Exception::Exception;
};

// Fills the given number of bytes with salt or IV bytes.
using RandomSource = std::function<void(void* out, std::size_t size)>;

inline constexpr std::size_t kSaltBytes = 8;

// Key size in bits for a cipher and hash pair: the smaller of the two sizes.
int32_t EffectiveKeySize(const Cipher& cipher, const Hash& hash);

// IV bytes in the envelope: BlockSize / 8 for a block cipher, 0 otherwise.
std::size_t IvBytes(const Cipher& cipher);

// Encrypts text (taken as it is, untrimmed) into the hex text of a new
// envelope. The salt's 8 draws come first, then the IV's. Raises on failure;
// the cipher is burnt on every way out.
std::u16string EncryptMessage(const std::u16string& text, const std::u16string& passphrase, Hash& hash,
                              Cipher& cipher, const RandomSource& random);

// Decrypts a hex text (trimmed of code units up to U+0020 first) into the text.
// Raises MessageError when the envelope is too short for the cipher.
std::u16string DecryptMessage(const std::u16string& hex_text, const std::u16string& passphrase, Hash& hash,
                              Cipher& cipher);

// Removes every leading and trailing code unit at or below U+0020.
std::u16string TrimControls(const std::u16string& text);

}  // namespace velsor
