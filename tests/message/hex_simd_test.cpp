// The vector hex code against the scalar code, on random inputs: the digits of
// any bytes, and where the decoding of a run of digits stops.

#include "message/hex_simd.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velsor {
namespace {

TEST(HexSimd, EveryLevelWritesTheDigitsOfTheScalarCode) {
  std::mt19937 random(15);
  for (const SimdLevel level : AvailableSimdLevels()) {
    for (std::size_t size = 0; size <= 260; size += 2) {
      // An odd start checks unaligned loads.
      std::vector<uint8_t> bytes(size + 1);
      for (auto& b : bytes) b = static_cast<uint8_t>(random());
      std::string scalar(2 * size + 8, '#');
      std::string vector = scalar;
      EncodeHexUnits(bytes.data() + 1, size, scalar.data(), SimdLevel::kScalar);
      EncodeHexUnits(bytes.data() + 1, size, vector.data(), level);
      EXPECT_EQ(vector, scalar) << static_cast<int>(level) << " / " << size;
      std::u16string wide(2 * size + 8, u'#');
      EncodeHexUnits(bytes.data() + 1, size, wide.data(), level);
      EXPECT_EQ(wide, std::u16string(scalar.begin(), scalar.end())) << static_cast<int>(level) << " / " << size;
    }
  }
  // The scalar code itself: units 0xAB01 and 0x00FF, low byte stored first.
  const uint8_t bytes[] = {0x01, 0xAB, 0xFF, 0x00};
  std::string digits(8, '#');
  EncodeHexUnits(bytes, 4, digits.data(), SimdLevel::kScalar);
  EXPECT_EQ(digits, "AB0100FF");
}

// Characters beside and inside the digit ranges, in both widths: what the
// vector compares and the saturating packs must still refuse.
const char16_t kNotDigits[] = {u'/', u':', u'@', u'G',  u'`',  u'g',  u' ',   u'\n',  0,      0x7F,  0x80,
                               0xC1, 0xE1, 0xFF, 0x130, 0x141, 0x161, 0xFF10, 0x8030, 0xD83D, 0xFFFF};

template <typename CharT>
void CheckBlocksStopAtTheFirstBlockWithANonDigit(SimdLevel level) {
  const std::u16string digits = u"0123456789abcdefABCDEF";
  std::mt19937 random(16);
  for (std::size_t length : {16, 31, 32, 33, 64, 70, 100}) {
    for (std::size_t bad = 0; bad <= length; ++bad) {  // bad == length: no bad character
      for (const char16_t other : kNotDigits) {
        if (sizeof(CharT) == 1 && other > 0xFF) continue;
        std::basic_string<CharT> text(length, CharT{});
        for (auto& c : text) c = static_cast<CharT>(digits[random() % digits.size()]);
        if (bad < length) text[bad] = static_cast<CharT>(other);
        const std::size_t capacity = 2 * (random() % (length / 2 + 2));  // sometimes too little room
        std::vector<uint8_t> out(capacity + 16, 0xEE);
        const std::size_t taken = DecodeHexBlocks(text.data(), text.size(), out.data(), capacity, level);
        ASSERT_EQ(taken % 16, 0U);
        ASSERT_LE(taken, bad);
        ASSERT_LE(taken / 2, capacity);
        // What it took is the scalar reading of those digits; nothing is written past it.
        for (std::size_t k = 0; k < taken / 4; ++k) {
          const auto unit = static_cast<uint16_t>(
              std::stoul(std::string(text.begin() + 4 * k, text.begin() + 4 * k + 4), nullptr, 16));
          ASSERT_EQ(out[2 * k], unit & 0xFF);
          ASSERT_EQ(out[2 * k + 1], unit >> 8);
        }
        for (std::size_t k = taken / 2; k < out.size(); ++k) ASSERT_EQ(out[k], 0xEE) << k;
        // A block of digits with room for it is never left to the caller.
        if (level != SimdLevel::kScalar && bad >= taken + 16 && capacity >= taken / 2 + 8) ADD_FAILURE() << taken;
      }
    }
  }
}

TEST(HexSimd, DecodingStopsAtTheFirstBlockWithANonDigitAndWritesNothingPastIt) {
  for (const SimdLevel level : AvailableSimdLevels()) {
    CheckBlocksStopAtTheFirstBlockWithANonDigit<char>(level);
    CheckBlocksStopAtTheFirstBlockWithANonDigit<char16_t>(level);
  }
}

}  // namespace
}  // namespace velsor
