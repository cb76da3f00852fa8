#include "message/message_stream.h"

#include <algorithm>
#include <stdexcept>

#include "message/chunk_buffer.h"
#include "message/hex_reader.h"
#include "message/hex_text.h"
#include "message/message_key.h"

namespace velsor {

namespace {

void CheckChunkBytes(std::size_t chunk_bytes) {
  if (chunk_bytes == 0 || chunk_bytes % 16 != 0) throw std::invalid_argument("chunk size must be a multiple of 16");
}

// Fills the chunk from source until it is full or the source ends; returns
// the count.
std::size_t Fill(const PlainSource& source, ChunkBuffer& chunk) {
  std::size_t filled = 0;
  while (filled < chunk.Capacity()) {
    const std::size_t n = source(chunk.Data() + filled, chunk.Capacity() - filled);
    if (n == 0) break;
    filled += n;
    chunk.Used(filled);
  }
  return filled;
}

// Hex text characters from a source, decoded on demand into envelope bytes.
class HexInput {
 public:
  explicit HexInput(const HexSource& source) : fSource(source), fBuffer(kBufferChars) {}

  // Decodes up to size bytes (an even number) into out; fewer only at the end.
  std::size_t Decode(uint8_t* out, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
      if (fStart == fEnd) {
        fStart = 0;
        fEnd = fSource(fBuffer.Chars(), fBuffer.Capacity());
        fBuffer.Used(fEnd);
        if (fEnd == 0) break;
      }
      const auto step =
          fReader.Read(std::string_view(fBuffer.Chars() + fStart, fEnd - fStart), out + written, size - written);
      fStart += step.consumed;
      written += step.written;
    }
    return written;
  }
  HexTextReader& Reader() { return fReader; }

 private:
  static constexpr std::size_t kBufferChars = 1 << 16;
  const HexSource& fSource;
  ChunkBuffer fBuffer;
  std::size_t fStart = 0;
  std::size_t fEnd = 0;
  HexTextReader fReader;
};

// Room for what a sink appends (a line break) without moving the hex text.
constexpr std::size_t kSinkSlack = 16;
constexpr std::size_t kHexPieceBytes = std::size_t{128} << 10;

}  // namespace

void EncryptMessageStream(const PlainSource& source, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                          const RandomSource& random, const HexSink& sink, std::size_t chunk_bytes) {
  CheckChunkBytes(chunk_bytes);
  BurnOnExit burn(cipher);
  CheckPassphraseForEncryption(passphrase);
  const std::size_t header = kSaltBytes + IvBytes(cipher);
  SecretBytes head(header);
  random(head.data(), header);
  KeyCipher(hash, cipher, head.data(), passphrase);

  // The hex text leaves in pieces of kHexPieceBytes message bytes, so its
  // buffer stays small and in cache; the piece at hand waits until the next
  // one shows that it is not the last.
  ChunkBuffer chunk(chunk_bytes);
  std::string hex;
  hex.reserve(2 * (header + kHexPieceBytes) + kSinkSlack);
  hex.resize(2 * header);
  EnvelopeToHex(head.data(), header, hex.data());
  uint64_t total = 0;
  for (;;) {
    const std::size_t filled = Fill(source, chunk);
    total += filled;
    if (filled == 0) break;
    if (filled % 2 != 0) throw MessageError("the plaintext has an odd number of bytes, so it is not UTF-16LE");
    CryptInChunks(cipher, chunk.Data(), filled, true, chunk_bytes, false);
    for (std::size_t at = 0; at < filled; at += kHexPieceBytes) {
      if (hex.size() >= 2 * kHexPieceBytes) {
        sink(hex, false);
        hex.clear();
      }
      const std::size_t n = std::min(kHexPieceBytes, filled - at);
      const std::size_t start = hex.size();
      hex.resize(start + 2 * n);
      EnvelopeToHex(chunk.Data() + at, n, hex.data() + start);
    }
    if (filled < chunk_bytes) break;
  }
  if (total == 0) throw MessageError("an empty message cannot be encrypted");
  sink(hex, true);
}

void DecryptMessageStream(const HexSource& source, std::u16string_view passphrase, Hash& hash, Cipher& cipher,
                          const PlainSink& sink, std::size_t chunk_bytes) {
  CheckChunkBytes(chunk_bytes);
  BurnOnExit burn(cipher);
  HexInput input(source);
  const std::size_t header = kSaltBytes + IvBytes(cipher);
  SecretBytes head(header);
  if (input.Decode(head.data(), header) == header) {
    KeyCipher(hash, cipher, head.data(), passphrase);
  }
  // A chunk is decrypted once it is full and more bytes follow, or at the end;
  // the two bytes that show that more follow start the next chunk.
  ChunkBuffer chunk(chunk_bytes);
  std::size_t filled = 0;
  for (;;) {
    filled += input.Decode(chunk.Data() + filled, chunk_bytes - filled);
    chunk.Used(filled);
    if (filled < chunk_bytes) break;
    uint8_t next[2];
    if (input.Decode(next, 2) < 2) break;
    CryptInChunks(cipher, chunk.Data(), filled, false, chunk_bytes, false);
    sink(chunk.Data(), filled, false);
    chunk.Data()[0] = next[0];
    chunk.Data()[1] = next[1];
    filled = 2;
  }
  input.Reader().Finish();
  CheckEnvelopeSize(cipher, input.Reader().Digits() / 2);
  CryptInChunks(cipher, chunk.Data(), filled, false, chunk_bytes, false);
  sink(chunk.Data(), filled, true);
}

}  // namespace velsor
