#pragma once
// The processor extensions that the hardware paths of the ciphers and hashes
// use, read once from the processor. Setting the environment variable
// VELSOR_PORTABLE_CRYPTO=1 turns them all off, so the portable code runs and
// can be tested on a processor that has them.

#include <cstdint>

// Where the x86 instruction-set extensions can be compiled: an x86 target and
// a compiler with per-function target attributes. Elsewhere only the portable
// code exists.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VELSOR_X86_EXTENSIONS 1
#endif

namespace velsor {

#ifdef VELSOR_X86_EXTENSIONS
inline constexpr bool kX86Extensions = true;
#else
inline constexpr bool kX86Extensions = false;
#endif

struct CpuFeatures {
  bool aes = false;   // AES-NI with SSE4.1
  bool vaes = false;  // AES on 256-bit vectors (VAES with AVX2), enabled by the system
  bool sha = false;   // SHA extensions with SSE4.1
  bool avx2 = false;  // AVX2 (256-bit integer vectors), enabled by the system
  bool bmi2 = false;  // BMI1 and BMI2 (andn, rorx and the other flag-free bit operations)
};

// What the processor offers, minus what VELSOR_PORTABLE_CRYPTO=1 turns off.
const CpuFeatures& DetectedCpu();

// What a cipher or hash chooses when it is keyed or initialised: DetectedCpu(),
// or nothing at all while a PortableCryptoScope is alive. An instance keeps its
// choice until its next Init.
CpuFeatures ActiveCpu();

// Forces the portable code for the instances initialised while it lives, so a
// test or a benchmark can put both paths side by side in one process.
class PortableCryptoScope {
 public:
  PortableCryptoScope();
  ~PortableCryptoScope();
  PortableCryptoScope(const PortableCryptoScope&) = delete;
  PortableCryptoScope& operator=(const PortableCryptoScope&) = delete;
};

}  // namespace velsor
