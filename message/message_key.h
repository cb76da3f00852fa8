#pragma once
// The steps that a whole message and a streamed one share: the passphrase
// check, the key derivation and cipher set-up, the cipher run in the chunks
// the format fixes, and the length check of an envelope.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "crypto/components.h"

namespace velsor {

// Burns the cipher when a run ends, successful or not, so no key stays behind.
class BurnOnExit {
 public:
  explicit BurnOnExit(Cipher& cipher) : fCipher(cipher) {}
  ~BurnOnExit() { fCipher.Burn(); }
  BurnOnExit(const BurnOnExit&) = delete;
  BurnOnExit& operator=(const BurnOnExit&) = delete;

 private:
  Cipher& fCipher;
};

// Raises MessageError when the passphrase holds a character the code page
// lacks: such characters would all hash as "?".
void CheckPassphraseForEncryption(std::u16string_view passphrase);

// Keys the cipher from the digest of salt and passphrase bytes; header holds
// the salt and, for a block cipher, the IV after it. Block ciphers run in CBC.
void KeyCipher(Hash& hash, Cipher& cipher, const uint8_t* header, std::u16string_view passphrase);

// Encrypts or decrypts size bytes in place with one cipher call per chunk of
// chunk_bytes and one for the rest, as the stream operations cut them; with
// report_progress, the cipher's progress handler hears after each whole chunk.
void CryptInChunks(Cipher& cipher, uint8_t* data, std::size_t size, bool encrypt, std::size_t chunk_bytes,
                   bool report_progress);
// The same from in to out (the same bytes or apart), saving a copy.
void CryptInChunks(Cipher& cipher, const uint8_t* in, uint8_t* out, std::size_t size, bool encrypt,
                   std::size_t chunk_bytes, bool report_progress);

// Raises MessageError when an envelope of this many bytes cannot hold a message
// for the cipher: salt, IV and at least one UTF-16 code unit.
void CheckEnvelopeSize(const Cipher& cipher, uint64_t bytes);

}  // namespace velsor
