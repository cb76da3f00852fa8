#pragma once
// What the vector code of the text conversions shares: whether this build has
// it, the x86 intrinsics, and the attribute that compiles a function for AVX2
// (called only when ActiveSimdLevel() says the processor has it).

#include "crypto/cpu_features.h"

#if defined(VELSOR_X86_EXTENSIONS) && defined(__SSE2__)
#define VELSOR_TEXT_VECTORS 1
#include <immintrin.h>
#define VELSOR_AVX2 __attribute__((target("avx2")))
#endif
