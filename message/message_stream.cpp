#include "message/message_stream.h"

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

// Fills the chunk from source, growing it as it fills, until it holds a whole
// chunk or the source ends; returns the count.
std::size_t Fill(const PlainSource& source, ChunkBuffer& chunk) {
  std::size_t filled = 0;
  for (;;) {
    if (filled == chunk.Capacity()) {
      if (chunk.Full()) break;
      chunk.Grow(filled);
    }
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

  // Decodes into the chunk from filled on, growing it as it fills, until it
  // holds a whole chunk or the text ends; returns the new count.
  std::size_t DecodeInto(ChunkBuffer& chunk, std::size_t filled) {
    for (;;) {
      const std::size_t room = chunk.Capacity() - filled;
      const std::size_t n = Decode(chunk.Data() + filled, room);
      filled += n;
      chunk.Used(filled);
      if (n < room || chunk.Full()) return filled;
      chunk.Grow(filled);
    }
  }

  // Decodes up to size bytes (an even number) into out; fewer only at the end.
  std::size_t Decode(uint8_t* out, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
      if (fStart == fEnd) {
        // A read that fills the buffer asks for a larger one next time.
        if (fEnd == fBuffer.Capacity()) fBuffer.Grow(0);
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
  static constexpr std::size_t kBufferChars = 1 << 20;
  const HexSource& fSource;
  ChunkBuffer fBuffer;
  std::size_t fStart = 0;
  std::size_t fEnd = 0;
  HexTextReader fReader;
};

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

  // The hex of a chunk waits until the next chunk shows whether it is the last.
  ChunkBuffer chunk(chunk_bytes);
  std::string hex(2 * header, '\0');
  EnvelopeToHex(head.data(), header, hex.data());
  bool pending = false;
  uint64_t total = 0;
  for (;;) {
    const std::size_t filled = Fill(source, chunk);
    total += filled;
    if (filled == 0) break;
    if (filled % 2 != 0) throw MessageError("the plaintext has an odd number of bytes, so it is not UTF-16LE");
    CryptInChunks(cipher, chunk.Data(), filled, true, chunk_bytes, false);
    // A full chunk's hex fits where the last one was, so the string only
    // shrinks after the first chunk and no pass fills it with zeros.
    const std::size_t start = pending ? 0 : hex.size();
    if (pending) sink(hex, false);
    hex.resize(start + 2 * filled);
    EnvelopeToHex(chunk.Data(), filled, hex.data() + start);
    pending = true;
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
    filled = input.DecodeInto(chunk, filled);
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
