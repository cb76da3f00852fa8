#include "message/message_stream.h"

#include <stdexcept>
#include <vector>

#include "message/hex_reader.h"
#include "message/hex_text.h"
#include "message/message_key.h"

namespace velsor {

namespace {

void CheckChunkBytes(std::size_t chunk_bytes) {
  if (chunk_bytes == 0 || chunk_bytes % 16 != 0) throw std::invalid_argument("chunk size must be a multiple of 16");
}

// Fills size bytes from source unless it ends first; returns the count.
std::size_t Fill(const PlainSource& source, uint8_t* out, std::size_t size) {
  std::size_t filled = 0;
  while (filled < size) {
    const std::size_t n = source(out + filled, size - filled);
    if (n == 0) break;
    filled += n;
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
        fEnd = fSource(fBuffer.data(), fBuffer.size());
        if (fEnd == 0) break;
      }
      const auto step =
          fReader.Read(std::string_view(fBuffer.data() + fStart, fEnd - fStart), out + written, size - written);
      fStart += step.consumed;
      written += step.written;
    }
    return written;
  }
  HexTextReader& Reader() { return fReader; }

 private:
  static constexpr std::size_t kBufferChars = 1 << 20;
  const HexSource& fSource;
  std::vector<char> fBuffer;
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
  SecretBytes chunk(chunk_bytes);
  std::string hex;
  hex.reserve(2 * (header + chunk_bytes) + 2);
  hex.resize(2 * header);
  EnvelopeToHex(head.data(), header, hex.data());
  bool pending = false;
  uint64_t total = 0;
  for (;;) {
    const std::size_t filled = Fill(source, chunk.data(), chunk.size());
    total += filled;
    if (filled == 0) break;
    if (filled % 2 != 0) throw MessageError("the plaintext has an odd number of bytes, so it is not UTF-16LE");
    CryptInChunks(cipher, chunk.data(), filled, true, chunk_bytes, false);
    // A full chunk's hex fits where the last one was, so the string only
    // shrinks after the first chunk and no pass fills it with zeros.
    const std::size_t start = pending ? 0 : hex.size();
    if (pending) sink(hex, false);
    hex.resize(start + 2 * filled);
    EnvelopeToHex(chunk.data(), filled, hex.data() + start);
    pending = true;
    if (filled < chunk.size()) break;
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
  SecretBytes chunk(chunk_bytes);
  std::size_t filled = 0;
  for (;;) {
    filled += input.Decode(chunk.data() + filled, chunk.size() - filled);
    if (filled < chunk.size()) break;
    uint8_t next[2];
    if (input.Decode(next, 2) < 2) break;
    CryptInChunks(cipher, chunk.data(), filled, false, chunk_bytes, false);
    sink(chunk.data(), filled, false);
    chunk[0] = next[0];
    chunk[1] = next[1];
    filled = 2;
  }
  input.Reader().Finish();
  CheckEnvelopeSize(cipher, input.Reader().Digits() / 2);
  CryptInChunks(cipher, chunk.data(), filled, false, chunk_bytes, false);
  sink(chunk.data(), filled, true);
}

}  // namespace velsor
