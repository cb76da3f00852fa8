#include "crypto/cpu_features.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#ifdef VELSOR_X86_EXTENSIONS
#include <cpuid.h>
#endif

namespace velsor {

namespace {

std::atomic<int> gPortableScopes{0};

bool PortableForced() {
  const char* value = std::getenv("VELSOR_PORTABLE_CRYPTO");
  return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

CpuFeatures Probe() {
  CpuFeatures features;
#ifdef VELSOR_X86_EXTENSIONS
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return features;
  // Leaf 1, ECX: bit 9 SSSE3, bit 19 SSE4.1, bit 25 AES.
  const bool ssse3 = (ecx >> 9) & 1U;
  const bool sse41 = (ecx >> 19) & 1U;
  features.aes = sse41 && ((ecx >> 25) & 1U);
  // Leaf 1, ECX: bit 27 OSXSAVE, bit 28 AVX; the system saves the 256-bit
  // registers when XCR0 has bits 1 and 2 set.
  bool ymm_saved = false;
  if (((ecx >> 27) & 1U) && ((ecx >> 28) & 1U)) {
    unsigned xcr0_low = 0;
    unsigned xcr0_high = 0;
    __asm__ __volatile__("xgetbv" : "=a"(xcr0_low), "=d"(xcr0_high) : "c"(0));
    ymm_saved = (xcr0_low & 6U) == 6U;
  }
  // Leaf 7, subleaf 0, EBX: bit 3 BMI1, bit 5 AVX2, bit 8 BMI2, bit 29 SHA; ECX: bit 9 VAES.
  if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0) {
    features.sha = ssse3 && sse41 && ((ebx >> 29) & 1U);
    features.avx2 = ymm_saved && ((ebx >> 5) & 1U);
    features.vaes = features.aes && features.avx2 && ((ecx >> 9) & 1U);
    features.bmi2 = ((ebx >> 3) & 1U) && ((ebx >> 8) & 1U);
  }
#endif
  return features;
}

}  // namespace

const CpuFeatures& DetectedCpu() {
  static const CpuFeatures features = PortableForced() ? CpuFeatures{} : Probe();
  return features;
}

CpuFeatures ActiveCpu() { return gPortableScopes.load(std::memory_order_relaxed) > 0 ? CpuFeatures{} : DetectedCpu(); }

PortableCryptoScope::PortableCryptoScope() { gPortableScopes.fetch_add(1, std::memory_order_relaxed); }
PortableCryptoScope::~PortableCryptoScope() { gPortableScopes.fetch_sub(1, std::memory_order_relaxed); }

}  // namespace velsor
