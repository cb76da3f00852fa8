#include "message/simd_level.h"

#include "crypto/cpu_features.h"

namespace velsor {

namespace {

// The vector code is compiled for x86-64, where SSE2 is part of the ABI.
#if defined(VELSOR_X86_EXTENSIONS) && defined(__SSE2__)
constexpr bool kVectorBuild = true;
#else
constexpr bool kVectorBuild = false;
#endif

SimdLevel LevelOf(const CpuFeatures& cpu) {
  if (!kVectorBuild) return SimdLevel::kScalar;
  if (cpu.avx2) return SimdLevel::kAvx2;
  if (cpu.sse2) return SimdLevel::kSse2;
  return SimdLevel::kScalar;
}

}  // namespace

SimdLevel ActiveSimdLevel() { return LevelOf(ActiveCpu()); }

std::vector<SimdLevel> AvailableSimdLevels() {
  std::vector<SimdLevel> levels{SimdLevel::kScalar};
  const SimdLevel widest = LevelOf(DetectedCpu());
  if (widest >= SimdLevel::kSse2) levels.push_back(SimdLevel::kSse2);
  if (widest >= SimdLevel::kAvx2) levels.push_back(SimdLevel::kAvx2);
  return levels;
}

}  // namespace velsor
