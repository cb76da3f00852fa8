#pragma once
// Messages of any size in constant memory: the plaintext or the hex text
// arrives in pieces and the result leaves in pieces. The pieces that reach the
// cipher are cut exactly where the stream operations cut a whole message:
// chunks of 8 MiB of plaintext or ciphertext bytes, one cipher call each (RC4
// starts its indices again at each), the CBC chaining value carried across,
// and the rest, with a final partial block, only at the true end. So a streamed
// message and a whole one give the same hex text.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "message/message_codec.h"

namespace velsor {

inline constexpr std::size_t kMessageChunkBytes = Cipher::kStreamChunk;

// Fills up to size bytes at out and returns how many; 0 at the end.
using PlainSource = std::function<std::size_t(uint8_t* out, std::size_t size)>;
// Receives the next digits of the hex text (ASCII); last is true once, for the
// final piece. The sink may append to hex (a line break, say) before writing it.
// A piece holds the digits of up to 128 KiB of ciphertext, the first also those
// of the salt and IV, so a short message arrives in one piece.
using HexSink = std::function<void(std::string& hex, bool last)>;

// Fills up to size characters at out and returns how many; 0 at the end.
using HexSource = std::function<std::size_t(char* out, std::size_t size)>;
// Receives the next plaintext bytes (UTF-16LE); last is true once, for the
// final piece, which may be empty.
using PlainSink = std::function<void(const uint8_t* bytes, std::size_t size, bool last)>;

// Encrypts the UTF-16LE bytes of source into a hex text handed to sink in
// pieces as it is made. Raises MessageError as EncryptMessage does, and for an odd byte
// count. chunk_bytes is a multiple of 16; only tests pass another value.
void EncryptMessageStream(const PlainSource& source, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                          const RandomSource& random, const HexSink& sink,
                          std::size_t chunk_bytes = kMessageChunkBytes);

// Decrypts the hex text of source into plaintext bytes handed to sink one
// chunk at a time. Raises MessageError as DecryptMessage does; an error found
// after a chunk has reached sink ends the run there.
void DecryptMessageStream(const HexSource& source, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                          const PlainSink& sink, std::size_t chunk_bytes = kMessageChunkBytes);

}  // namespace velsor
