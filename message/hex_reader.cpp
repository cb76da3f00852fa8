#include "message/hex_reader.h"

#include <cstdio>

#include "crypto/bytes.h"
#include "message/hex_simd.h"
#include "message/message_error.h"
#include "message/utf8.h"

namespace velsor {

namespace {

constexpr uint8_t kSpace = 16;    // space, tab and line breaks: allowed anywhere
constexpr uint8_t kControl = 17;  // other characters up to U+0020: only at the ends
constexpr uint8_t kInvalid = 18;

// The class of every ASCII character: its digit value, or one of the above.
// The class of every byte: its digit value, or one of the above; bytes from
// 0x80 up are never part of a hex text.
constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> table{};
  for (std::size_t c = 0; c < 256; ++c) table[c] = c <= 0x20 ? kControl : kInvalid;
  for (const char c : {' ', '\t', '\r', '\n', '\f', '\v'}) table[static_cast<std::size_t>(c)] = kSpace;
  for (uint8_t d = 0; d < 10; ++d) table['0' + d] = d;
  for (uint8_t d = 0; d < 6; ++d) {
    table['A' + d] = static_cast<uint8_t>(10 + d);
    table['a' + d] = static_cast<uint8_t>(10 + d);
  }
  return table;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline uint32_t ClassOf(char c) { return kClasses[static_cast<uint8_t>(c)]; }
inline uint32_t ClassOf(char16_t c) { return c < 256 ? kClasses[c] : kInvalid; }

// Decodes whole groups of four digits while nothing else comes between them:
// the common case, kept free of any state, in vector blocks first. Returns the
// bytes written and advances i.
template <typename CharT>
std::size_t DecodeGroups(const CharT* chars, std::size_t count, std::size_t& i, uint8_t* out, std::size_t capacity,
                         SimdLevel level) {
  std::size_t at = i + DecodeHexBlocks(chars + i, count - i, out, capacity, level);
  std::size_t written = (at - i) / 2;
  while (count - at >= 8 && capacity - written >= 4) {
    const uint32_t d0 = ClassOf(chars[at]), d1 = ClassOf(chars[at + 1]), d2 = ClassOf(chars[at + 2]),
                   d3 = ClassOf(chars[at + 3]), d4 = ClassOf(chars[at + 4]), d5 = ClassOf(chars[at + 5]),
                   d6 = ClassOf(chars[at + 6]), d7 = ClassOf(chars[at + 7]);
    if ((d0 | d1 | d2 | d3 | d4 | d5 | d6 | d7) >= 16) break;
    // The first digit pair is the high byte of the code unit, stored second.
    out[written] = static_cast<uint8_t>((d2 << 4) | d3);
    out[written + 1] = static_cast<uint8_t>((d0 << 4) | d1);
    out[written + 2] = static_cast<uint8_t>((d6 << 4) | d7);
    out[written + 3] = static_cast<uint8_t>((d4 << 4) | d5);
    written += 4;
    at += 8;
  }
  i = at;
  return written;
}

[[noreturn]] void FailAt(const std::string& shown, uint64_t position) {
  throw MessageError("Not a hex text: " + shown + " at position " + std::to_string(position));
}

std::string DescribeByte(uint8_t byte) {
  char text[16];
  std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned>(byte));
  return text;
}

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

std::string DescribeCharacter(char32_t c) {
  if (c > 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

template <typename CharT>
HexTextReader::Step HexTextReader::ReadPiece(const CharT* chars, std::size_t count, uint8_t* out,
                                             std::size_t capacity) {
  std::size_t i = 0;
  std::size_t written = 0;
  uint32_t group = fGroup;
  uint64_t digits = fDigits;
  while (i < count && written < capacity) {
    // Whole groups of digits take the short way.
    if ((digits & 3) == 0 && fControlPosition == 0) {
      const std::size_t before = i;
      const std::size_t n = DecodeGroups(chars, count, i, out + written, capacity - written, fLevel);
      written += n;
      digits += 2 * n;
      if (i != before) continue;
    }
    const auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<CharT>>(chars[i]));
    const uint32_t cls = c < 128 ? kClasses[c] : kInvalid;
    if (cls < 16) {
      if (fControlPosition != 0) FailAt(DescribeCharacter(fControl), fControlPosition);
      group = (group << 4) | cls;
      if ((++digits & 3) == 0) {
        store_le16(out + written, static_cast<uint16_t>(group));
        written += 2;
        group = 0;
      }
    } else if (cls == kControl) {
      if (digits > 0 && fControlPosition == 0) {
        fControlPosition = fPosition + i + 1;
        fControl = c;
      }
    } else if (cls == kInvalid) {
      fGroup = group;
      fDigits = digits;
      if constexpr (sizeof(CharT) == 1) {
        if (c >= 0x80) {
          // Name the whole character, whose bytes may continue in the next piece.
          fBad[0] = static_cast<uint8_t>(c);
          fBadHave = 1;
          const auto lead = Utf8LeadOf(static_cast<uint8_t>(c));
          fBadNeed = 1 + (lead ? lead->trail : 0);
          fBadPosition = fPosition + i + 1;
          const std::size_t taken = CollectBadUtf8(std::string_view(chars + i + 1, count - i - 1));
          fPosition += i + 1 + taken;
          return {i + 1 + taken, written};
        }
      } else {
        if (IsHighSurrogate(c) && i + 1 < count && IsLowSurrogate(chars[i + 1])) {
          FailAt(DescribeCharacter(0x10000 + ((c - 0xD800) << 10) + (chars[i + 1] - 0xDC00)), fPosition + i + 1);
        }
      }
      FailAt(DescribeCharacter(c), fPosition + i + 1);
    }
    ++i;
  }
  fGroup = group;
  fDigits = digits;
  fPosition += i;
  return {i, written};
}

std::size_t HexTextReader::CollectBadUtf8(std::string_view piece) {
  std::size_t taken = 0;
  while (fBadHave < fBadNeed && taken < piece.size()) fBad[fBadHave++] = static_cast<uint8_t>(piece[taken++]);
  if (fBadHave == fBadNeed) FailBadUtf8();
  return taken;
}

void HexTextReader::FailBadUtf8() const {
  const auto lead = Utf8LeadOf(fBad[0]);
  if (!lead || fBadHave != lead->trail + 1) FailAt(DescribeByte(fBad[0]), fBadPosition);
  char32_t c = lead->bits;
  for (std::size_t k = 1; k <= lead->trail; ++k) {
    if ((fBad[k] & 0xC0) != 0x80) FailAt(DescribeByte(fBad[0]), fBadPosition);
    c = (c << 6) | (fBad[k] & 0x3Fu);
  }
  if (!Utf8Allows(c, *lead)) FailAt(DescribeByte(fBad[0]), fBadPosition);
  FailAt(DescribeCharacter(c), fBadPosition);
}

HexTextReader::Step HexTextReader::Read(std::string_view piece, uint8_t* out, std::size_t capacity) {
  if (fBadNeed > 0) return {CollectBadUtf8(piece), 0};
  return ReadPiece(piece.data(), piece.size(), out, capacity);
}

HexTextReader::Step HexTextReader::Read(std::u16string_view piece, uint8_t* out, std::size_t capacity) {
  return ReadPiece(piece.data(), piece.size(), out, capacity);
}

void HexTextReader::Finish() {
  if (fBadNeed > 0) FailBadUtf8();
  if (fDigits == 0) throw MessageError("The hex text is empty");
  if (fDigits % 4 != 0) {
    throw MessageError("The hex text has " + std::to_string(fDigits) + (fDigits == 1 ? " digit" : " digits") +
                       "; a message has a multiple of 4: is part of it missing?");
  }
}

}  // namespace velsor
