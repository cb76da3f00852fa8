// The vector ASCII runs against the scalar code: a run stops at the same
// place, whatever stops it and wherever it stands in a vector, and nothing is
// written past it (the output holds plaintext, wiped only as far as it goes).

#include "message/ascii_simd.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velsor {
namespace {

// Bytes that end a run from UTF-8 (LF as the stop, bytes with the top bit)
// and bytes beside them that do not.
const uint8_t kWidenOthers[] = {'\n', 0x80, 0xC3, 0xFF, '\r', 0x7F, 0x0B, 0x00};
// Units that end a run from UTF-16LE (CR as the stop, units from 0x80 up,
// those whose low byte is ASCII included) and units beside them that do not.
const uint16_t kNarrowOthers[] = {'\r', 0x80, 0xFF, 0x100, 0x10D, 0x20AC, 0xD83D, 0xFF0D, 0x8000, '\n', 0x7F, 0x00};

TEST(AsciiSimd, WideningStopsWhereTheScalarCodeStops) {
  std::mt19937 random(17);
  for (const SimdLevel level : AvailableSimdLevels()) {
    for (std::size_t length : {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100}) {
      for (std::size_t at = 0; at <= length; ++at) {  // at == length: a run to the end
        for (const uint8_t other : kWidenOthers) {
          std::vector<uint8_t> in(length + 1);
          for (auto& b : in) b = static_cast<uint8_t>(0x20 + random() % 0x5F);
          if (at < length) in[at + 1] = other;
          std::vector<uint8_t> scalar(2 * length + 64, 0xEE), vector = scalar;
          const std::size_t want = WidenAscii(in.data() + 1, length, '\n', scalar.data(), SimdLevel::kScalar);
          const std::size_t got = WidenAscii(in.data() + 1, length, '\n', vector.data(), level);
          ASSERT_EQ(got, want) << static_cast<int>(level) << " / " << length << " / " << at;
          ASSERT_EQ(vector, scalar) << static_cast<int>(level) << " / " << length << " / " << at;
          // The scalar code: a run to the first byte that is LF or not ASCII.
          ASSERT_EQ(want, (other == '\n' || other >= 0x80) ? at : length);
          for (std::size_t k = 2 * want; k < scalar.size(); ++k) ASSERT_EQ(scalar[k], 0xEE);
        }
      }
    }
  }
}

TEST(AsciiSimd, NarrowingStopsWhereTheScalarCodeStops) {
  std::mt19937 random(18);
  for (const SimdLevel level : AvailableSimdLevels()) {
    for (std::size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100}) {
      for (std::size_t at = 0; at <= length; ++at) {
        for (const uint16_t other : kNarrowOthers) {
          std::vector<uint8_t> in(2 * length + 1);
          for (std::size_t k = 0; k < length; ++k) in[1 + 2 * k] = static_cast<uint8_t>(0x20 + random() % 0x5F);
          if (at < length) {
            in[1 + 2 * at] = static_cast<uint8_t>(other);
            in[2 + 2 * at] = static_cast<uint8_t>(other >> 8);
          }
          std::vector<char> scalar(length + 64, '#'), vector = scalar;
          const std::size_t want = NarrowAscii(in.data() + 1, length, '\r', scalar.data(), SimdLevel::kScalar);
          const std::size_t got = NarrowAscii(in.data() + 1, length, '\r', vector.data(), level);
          ASSERT_EQ(got, want) << static_cast<int>(level) << " / " << length << " / " << at << " / " << other;
          ASSERT_EQ(vector, scalar) << static_cast<int>(level) << " / " << length << " / " << at;
          ASSERT_EQ(want, (other == '\r' || other >= 0x80) ? at : length);
          for (std::size_t k = want; k < scalar.size(); ++k) ASSERT_EQ(scalar[k], '#');
        }
      }
    }
  }
}

}  // namespace
}  // namespace velsor
