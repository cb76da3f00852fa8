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
#include <string_view>

#include "crypto/bytes.h"
#include "crypto/components.h"
#include "message/message_error.h"

namespace velsor {

// Fills the given number of bytes with salt or IV bytes.
using RandomSource = std::function<void(void* out, std::size_t size)>;

inline constexpr std::size_t kSaltBytes = 8;

// Key size in bits for a cipher and hash pair: the smaller of the two sizes.
int32_t EffectiveKeySize(const Cipher& cipher, const Hash& hash);

// IV bytes in the envelope: BlockSize / 8 for a block cipher, 0 otherwise.
std::size_t IvBytes(const Cipher& cipher);

// Encrypts text (taken as it is, untrimmed) into the hex text of a new
// envelope, in ASCII. The salt's 8 draws come first, then the IV's. Raises
// MessageError for an empty text and for a passphrase with a character that
// Windows-1252 lacks; the cipher is burnt on every way out. The cipher's
// progress handler hears after each 8 MiB chunk.
std::string EncryptMessageToHex(std::u16string_view text, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                                const RandomSource& random);
// The same hex text as UTF-16.
std::u16string EncryptMessage(std::u16string_view text, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                              const RandomSource& random);

// Decrypts a hex text into the text. The hex text may have digits in either
// case and spaces and line breaks anywhere, other control characters only
// around it. Raises MessageError, whose text says what is wrong, for a hex text
// that is not one, is empty, has a digit count that is not a multiple of 4 or
// is too short for the cipher. A passphrase character that Windows-1252 lacks
// counts as "?", as other writers of the format hash it.
SecretText DecryptMessage(std::u16string_view hex_text, std::u16string_view passphrase, Hash& hash, Cipher& cipher);
// The same for a hex text in 8 bits (UTF-8).
SecretText DecryptMessage(std::string_view hex_text, std::u16string_view passphrase, Hash& hash, Cipher& cipher);

// Removes every leading and trailing code unit at or below U+0020.
std::u16string TrimControls(std::u16string_view text);

}  // namespace velsor
