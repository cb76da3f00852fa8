#pragma once
// Text conversions at the terminal's edge: UTF-8 in and out, and the line
// breaks of the message format (CR LF) against those of a Unix terminal (LF).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "crypto/bytes.h"
#include "message/simd_level.h"

namespace velsor::cli {

// The UTF-16 text of UTF-8 bytes, or nothing when they are not valid UTF-8
// (overlong forms, surrogates and values above U+10FFFF included).
std::optional<std::u16string> Utf8ToUtf16(const std::string& bytes);
// The same into a text that wipes itself (a passphrase); false when invalid.
bool Utf8ToUtf16(std::string_view bytes, SecretText& out);

// UTF-8 of UTF-16 code units; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

// LF becomes CR LF; a CR LF already there stays as it is.
std::u16string ToCrLf(const std::u16string& text);
// CR LF becomes LF; a lone CR stays.
std::u16string ToLf(const std::u16string& text);

// Raw UTF-16LE bytes and back; an odd byte count is not UTF-16LE.
std::optional<std::u16string> Utf16LeBytesToText(const std::string& bytes);
std::string TextToUtf16LeBytes(const std::u16string& text);

}  // namespace velsor::cli

namespace velsor::cli {

// UTF-8 read in pieces into UTF-16LE message bytes: LF becomes CR LF (a CR LF
// stays), and a sequence split between two pieces is joined. Raises Failure
// naming the byte offset of the first invalid sequence.
class Utf8ToUtf16LeStream {
 public:
  // level chooses the width of the ASCII runs' conversion; only tests pass one.
  explicit Utf8ToUtf16LeStream(SimdLevel level = ActiveSimdLevel()) : fLevel(level) {}

  // Converts as much of input as fits into out (room for size bytes, even),
  // returns the bytes written and advances input. A sequence cut off at the
  // end of input stays in input unless at_end.
  std::size_t Convert(std::string_view& input, uint8_t* out, std::size_t size, bool at_end);
  // True when a code unit waits for room: convert again before the next input.
  bool HasCarry() const { return fCarry != 0; }

 private:
  [[noreturn]] void Fail(std::size_t at) const;
  SimdLevel fLevel;
  uint64_t fOffset = 0;  // input bytes consumed before the current input
  bool fLastCr = false;
  char16_t fCarry = 0;  // the second unit of a pair that did not fit
};

// UTF-16LE message bytes in pieces to UTF-8: CR LF becomes LF and an unpaired
// surrogate U+FFFD; a CR or a high surrogate that ends a piece waits for the
// next one.
class Utf16LeToUtf8Stream {
 public:
  explicit Utf16LeToUtf8Stream(SimdLevel level = ActiveSimdLevel()) : fLevel(level) {}

  // Writes the UTF-8 of bytes (an even count) to out, which has room for
  // 3 bytes per code unit and 3 more; returns the count. last ends the text.
  std::size_t Convert(const uint8_t* bytes, std::size_t size, bool last, char* out);

 private:
  SimdLevel fLevel;
  char16_t fHeld = 0;  // a CR or a high surrogate from the end of the last piece
};

}  // namespace velsor::cli
