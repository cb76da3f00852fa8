// The width of the text conversions follows the crypto paths: the portable
// code means the scalar conversions, so both are tested on one processor.

#include "message/simd_level.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "crypto/cpu_features.h"

namespace velsor {
namespace {

TEST(SimdLevel, ThePortableCodeConvertsWithTheScalarCode) {
  {
    PortableCryptoScope portable;
    EXPECT_EQ(ActiveSimdLevel(), SimdLevel::kScalar);
  }
  const std::vector<SimdLevel> levels = AvailableSimdLevels();
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.front(), SimdLevel::kScalar);
  EXPECT_EQ(ActiveSimdLevel(), levels.back());  // the widest one runs
  const char* forced = std::getenv("VELSOR_PORTABLE_CRYPTO");
  if (forced != nullptr && std::string(forced) == "1") {
    EXPECT_EQ(levels, std::vector<SimdLevel>{SimdLevel::kScalar});
  } else if (kX86Extensions && DetectedCpu().avx2) {
    EXPECT_EQ(ActiveSimdLevel(), SimdLevel::kAvx2);
  }
}

}  // namespace
}  // namespace velsor
