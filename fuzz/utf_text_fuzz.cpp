// velsor-cli's UTF-8 and UTF-16 conversions against an independent rule: the
// well-formed byte sequences of the Unicode Standard's Table 3-7, written here
// as ranges. Whole and streamed conversions, cut at a fuzzed point, agree.

#include <string>
#include <vector>

#include "cli/cli_error.h"
#include "cli/utf_text.h"
#include "fuzz_input.h"

using velsor::fuzz::Check;

namespace {

// Unicode Table 3-7: the first byte fixes the ranges of the ones after it.
struct Row {
  uint8_t lo, hi;  // first byte
  uint8_t second_lo, second_hi;
  int length;
};
constexpr Row kTable[] = {
    {0x00, 0x7F, 0, 0, 1},       {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
    {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
    {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
};

// The offset of the first ill-formed sequence, or npos; counts code points.
std::size_t FirstIllFormed(std::string_view s, std::size_t& code_points) {
  code_points = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<uint8_t>(s[i]);
    const Row* row = nullptr;
    for (const Row& r : kTable) {
      if (b >= r.lo && b <= r.hi) row = &r;
    }
    if (row == nullptr) return i;
    for (int k = 1; k < row->length; ++k) {
      if (i + k >= s.size()) return i;
      const auto c = static_cast<uint8_t>(s[i + k]);
      const uint8_t lo = k == 1 ? row->second_lo : 0x80;
      const uint8_t hi = k == 1 ? row->second_hi : 0xBF;
      if (c < lo || c > hi) return i;
    }
    i += static_cast<std::size_t>(row->length);
    ++code_points;
  }
  return std::string_view::npos;
}

std::string LeBytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t u : text) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

// Drains one piece through the converter into out, room_bytes at a time.
void Drain(velsor::cli::Utf8ToUtf16LeStream& converter, std::string_view& piece, bool at_end, std::string& out,
           std::size_t room_bytes) {
  std::vector<uint8_t> room(room_bytes);
  while (true) {
    const std::size_t n = converter.Convert(piece, room.data(), room.size(), at_end);
    out.append(reinterpret_cast<const char*>(room.data()), n);
    if (n == 0 && !converter.HasCarry()) return;
  }
}

// UTF-8 through the streaming converter in two pieces, the way a reader keeps
// a sequence cut off at the end of one piece for the next; false when it
// refuses, with the reason in error.
bool StreamUtf8(std::string_view text, std::size_t cut, std::string& out,
                velsor::SimdLevel level = velsor::ActiveSimdLevel(), std::size_t room_bytes = 6,
                std::string* error = nullptr) {
  velsor::cli::Utf8ToUtf16LeStream converter(level);
  try {
    std::string_view first = text.substr(0, cut);
    Drain(converter, first, false, out, room_bytes);
    Check(first.size() < 4, "the stream keeps back more than one sequence");
    std::string second(first);
    second += text.substr(cut);
    std::string_view rest = second;
    Drain(converter, rest, true, out, room_bytes);
    Check(rest.empty(), "the stream leaves input unread at the end");
  } catch (const velsor::cli::CliError& e) {
    if (error != nullptr) *error = e.what();
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  velsor::fuzz::FuzzInput input(data, size);
  const std::size_t cut_seed = input.Word();
  const std::string text(input.Rest());
  const std::size_t cut = text.empty() ? 0 : cut_seed % (text.size() + 1);

  // UTF-8 to UTF-16: refused exactly when the independent rule finds an
  // ill-formed sequence; otherwise one code unit per BMP code point, two
  // above, and back to the same bytes.
  std::size_t code_points = 0;
  const bool well_formed = FirstIllFormed(text, code_points) == std::string_view::npos;
  const auto wide = velsor::cli::Utf8ToUtf16(text);
  Check(wide.has_value() == well_formed, "UTF-8 validity differs from Table 3-7");
  std::string streamed;
  Check(StreamUtf8(text, cut, streamed) == well_formed, "streamed UTF-8 validity differs from Table 3-7");
  // Every vector level, with room for whole vectors, converts as the scalar code does.
  const std::size_t room_bytes = 2 + 2 * (cut_seed % 97);
  std::string scalar, scalar_error;
  StreamUtf8(text, cut, scalar, velsor::SimdLevel::kScalar, room_bytes, &scalar_error);
  for (const velsor::SimdLevel level : velsor::AvailableSimdLevels()) {
    std::string vector, vector_error;
    StreamUtf8(text, cut, vector, level, room_bytes, &vector_error);
    Check(vector == scalar && vector_error == scalar_error, "a vector level converts UTF-8 otherwise");
  }
  if (well_formed) {
    std::size_t pairs = 0;
    for (char16_t u : *wide) pairs += (u >= 0xD800 && u <= 0xDBFF) ? 1 : 0;
    Check(wide->size() - pairs == code_points, "code point count differs");
    Check(velsor::cli::Utf16ToUtf8(*wide) == text, "UTF-8 does not round-trip");
    Check(streamed == LeBytes(velsor::cli::ToCrLf(*wide)), "streamed UTF-8 differs from the whole conversion");
    Check(velsor::cli::ToLf(velsor::cli::ToCrLf(*wide)) == velsor::cli::ToLf(*wide), "line breaks do not round-trip");
  }

  // Any UTF-16LE bytes to UTF-8, in two pieces, equal the whole conversion.
  const std::size_t even = text.size() & ~std::size_t{1};
  const std::u16string units = velsor::cli::Utf16LeBytesToText(text.substr(0, even)).value();
  const std::size_t unit_cut = (cut / 2) * 2 > even ? even : (cut / 2) * 2;
  const std::string expected = velsor::cli::Utf16ToUtf8(velsor::cli::ToLf(units));
  for (const velsor::SimdLevel level : velsor::AvailableSimdLevels()) {
    velsor::cli::Utf16LeToUtf8Stream back(level);
    std::string out(3 * (even / 2) + 6, '\0');  // room for 3 bytes per unit and 3 more, per call
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    std::size_t written = back.Convert(bytes, unit_cut, false, out.data());
    written += back.Convert(bytes + unit_cut, even - unit_cut, true, out.data() + written);
    out.resize(written);
    Check(out == expected, "streamed UTF-16 differs from the whole conversion");
  }
  // The UTF-8 written is always well-formed.
  Check(FirstIllFormed(expected, code_points) == std::string_view::npos, "UTF-16 to UTF-8 writes ill-formed bytes");
  return 0;
}
