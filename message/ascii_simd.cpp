#include "message/ascii_simd.h"

#include <cstring>

#include "crypto/bytes.h"
#include "message/vector_ops.h"

namespace velsor {

namespace {

// True when none of the eight bytes of x has its top bit set or equals stop.
bool PlainAscii(uint64_t x, uint8_t stop) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  constexpr uint64_t kHighs = 0x8080808080808080ULL;
  const uint64_t s = x ^ (kOnes * stop);
  return ((x | ((s - kOnes) & ~s)) & kHighs) == 0;
}

std::size_t WidenScalar(const uint8_t* in, std::size_t count, uint8_t stop, uint8_t* out, std::size_t i) {
  for (; count - i >= 8; i += 8) {
    uint64_t x;
    std::memcpy(&x, in + i, 8);
    if (!PlainAscii(x, stop)) break;
    for (std::size_t k = 0; k < 8; ++k) store_le16(out + 2 * (i + k), in[i + k]);
  }
  for (; i < count && in[i] < 0x80 && in[i] != stop; ++i) store_le16(out + 2 * i, in[i]);
  return i;
}

std::size_t NarrowScalar(const uint8_t* in, std::size_t units, uint16_t stop, char* out, std::size_t i) {
  for (; i < units; ++i) {
    const uint16_t u = load_le16(in + 2 * i);
    if (u >= 0x80 || u == stop) break;
    out[i] = static_cast<char>(u);
  }
  return i;
}

// True when the four little-endian units of x are all 0x20-0x7E: below 0x80,
// reaching 0x80 when 0x60 is added, and not when 1 is (DEL). No sum carries
// into the next unit.
bool PrintableAscii(uint64_t x) {
  constexpr uint64_t kLow7 = 0x0080008000800080ULL;
  if ((x & 0xFF80FF80FF80FF80ULL) != 0) return false;
  return ((x + 0x0060006000600060ULL) & kLow7) == kLow7 && ((x + 0x0001000100010001ULL) & kLow7) == 0;
}

bool IsTextAscii(uint16_t u) { return (u >= 0x20 && u < 0x7F) || u == '\t' || u == '\n' || u == '\f' || u == '\r'; }

std::size_t TextRunScalar(const uint8_t* in, std::size_t units, std::size_t i) {
  for (;;) {
    while (units - i >= 4 && PrintableAscii(load_le64(in + 2 * i))) i += 4;
    if (i == units || !IsTextAscii(load_le16(in + 2 * i))) return i;
    ++i;
  }
}

#ifdef VELSOR_TEXT_VECTORS

// A block whose run stops inside it writes only its halves before the stop,
// never past it (the output holds plaintext that its owner wipes only as far
// as the run goes); the next narrower width goes on from there.
std::size_t WidenSse2(const uint8_t* in, std::size_t count, uint8_t stop, uint8_t* out, std::size_t i) {
  const __m128i stops = _mm_set1_epi8(static_cast<char>(stop));
  const __m128i zero = _mm_setzero_si128();
  for (; count - i >= 16; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const auto other = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(x, _mm_cmpeq_epi8(x, stops))));
    if (other != 0) {
      if ((other & 0xFFU) != 0) return i;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_unpacklo_epi8(x, zero));
      return i + 8;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_unpacklo_epi8(x, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), _mm_unpackhi_epi8(x, zero));
  }
  return i;
}

VELSOR_AVX2 std::size_t WidenAvx2(const uint8_t* in, std::size_t count, uint8_t stop, uint8_t* out) {
  const __m256i stops = _mm256_set1_epi8(static_cast<char>(stop));
  std::size_t i = 0;
  for (; count - i >= 32; i += 32) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const auto other = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_or_si256(x, _mm256_cmpeq_epi8(x, stops))));
    const __m256i first = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(x));
    if (other != 0) {
      if ((other & 0xFFFFU) != 0) return i;
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i), first);
      return i + 16;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i), first);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 2 * i + 32),
                        _mm256_cvtepu8_epi16(_mm256_extracti128_si256(x, 1)));
  }
  return i;
}

// All ones in each 16-bit lane that holds a unit below 0x80 other than stop.
inline __m128i PlainUnits(__m128i x, __m128i stops) {
  const __m128i ascii =
      _mm_cmpeq_epi16(_mm_and_si128(x, _mm_set1_epi16(static_cast<short>(0xFF80))), _mm_setzero_si128());
  return _mm_andnot_si128(_mm_cmpeq_epi16(x, stops), ascii);
}

VELSOR_AVX2 inline __m256i PlainUnits(__m256i x, __m256i stops) {
  const __m256i ascii =
      _mm256_cmpeq_epi16(_mm256_and_si256(x, _mm256_set1_epi16(static_cast<short>(0xFF80))), _mm256_setzero_si256());
  return _mm256_andnot_si256(_mm256_cmpeq_epi16(x, stops), ascii);
}

std::size_t NarrowSse2(const uint8_t* in, std::size_t units, uint16_t stop, char* out, std::size_t i) {
  const __m128i stops = _mm_set1_epi16(static_cast<short>(stop));
  for (; units - i >= 16; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i + 16));
    const auto plain =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(PlainUnits(a, stops), PlainUnits(b, stops))));
    if (plain != 0xFFFFU) {
      if ((plain & 0xFFU) != 0xFFU) return i;
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, a));
      return i + 8;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
  }
  return i;
}

VELSOR_AVX2 std::size_t NarrowAvx2(const uint8_t* in, std::size_t units, uint16_t stop, char* out) {
  const __m256i stops = _mm256_set1_epi16(static_cast<short>(stop));
  std::size_t i = 0;
  for (; units - i >= 32; i += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * i + 32));
    // Packing works within each 128-bit half; the permutation puts a's units before b's.
    const __m256i flags = _mm256_permute4x64_epi64(_mm256_packs_epi16(PlainUnits(a, stops), PlainUnits(b, stops)),
                                                   _MM_SHUFFLE(3, 1, 2, 0));
    const auto plain = static_cast<unsigned>(_mm256_movemask_epi8(flags));
    const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), _MM_SHUFFLE(3, 1, 2, 0));
    if (plain != 0xFFFFFFFFU) {
      if ((plain & 0xFFFFU) != 0xFFFFU) return i;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(bytes));
      return i + 16;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
  }
  return i;
}

// All ones in each 16-bit lane that holds printable ASCII, tab, LF, FF or CR.
inline __m128i TextUnits(__m128i x) {
  const __m128i ascii =
      _mm_cmpeq_epi16(_mm_and_si128(x, _mm_set1_epi16(static_cast<short>(0xFF80))), _mm_setzero_si128());
  const __m128i printable =
      _mm_andnot_si128(_mm_cmpeq_epi16(x, _mm_set1_epi16(0x7F)), _mm_cmpgt_epi16(x, _mm_set1_epi16(0x1F)));
  const __m128i breaks =
      _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(x, _mm_set1_epi16('\t')), _mm_cmpeq_epi16(x, _mm_set1_epi16('\n'))),
                   _mm_or_si128(_mm_cmpeq_epi16(x, _mm_set1_epi16('\f')), _mm_cmpeq_epi16(x, _mm_set1_epi16('\r'))));
  return _mm_and_si128(ascii, _mm_or_si128(printable, breaks));
}

VELSOR_AVX2 inline __m256i TextUnits(__m256i x) {
  const __m256i ascii =
      _mm256_cmpeq_epi16(_mm256_and_si256(x, _mm256_set1_epi16(static_cast<short>(0xFF80))), _mm256_setzero_si256());
  const __m256i printable = _mm256_andnot_si256(_mm256_cmpeq_epi16(x, _mm256_set1_epi16(0x7F)),
                                                _mm256_cmpgt_epi16(x, _mm256_set1_epi16(0x1F)));
  const __m256i breaks = _mm256_or_si256(
      _mm256_or_si256(_mm256_cmpeq_epi16(x, _mm256_set1_epi16('\t')), _mm256_cmpeq_epi16(x, _mm256_set1_epi16('\n'))),
      _mm256_or_si256(_mm256_cmpeq_epi16(x, _mm256_set1_epi16('\f')), _mm256_cmpeq_epi16(x, _mm256_set1_epi16('\r'))));
  return _mm256_and_si256(ascii, _mm256_or_si256(printable, breaks));
}

std::size_t TextRunSse2(const uint8_t* in, std::size_t units, std::size_t i) {
  for (; units - i >= 16; i += 16) {
    const __m128i a = TextUnits(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i)));
    const __m128i b = TextUnits(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i + 16)));
    const auto text = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(a, b)));
    if (text != 0xFFFFU) return i + static_cast<std::size_t>(__builtin_ctz(~text));
  }
  return i;
}

VELSOR_AVX2 std::size_t TextRunAvx2(const uint8_t* in, std::size_t units) {
  std::size_t i = 0;
  for (; units - i >= 32; i += 32) {
    const __m256i a = TextUnits(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * i)));
    const __m256i b = TextUnits(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * i + 32)));
    const auto text = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_permute4x64_epi64(_mm256_packs_epi16(a, b), _MM_SHUFFLE(3, 1, 2, 0))));
    if (text != 0xFFFFFFFFU) return i + static_cast<std::size_t>(__builtin_ctz(~text));
  }
  return i;
}

#endif  // VELSOR_TEXT_VECTORS

}  // namespace

std::size_t WidenAscii(const uint8_t* in, std::size_t count, uint8_t stop, uint8_t* out, SimdLevel level) {
  // Each width takes the blocks it can and leaves the rest to the next; a run
  // that stopped is not looked at again.
  std::size_t i = 0;
  auto stopped = [&] { return i < count && (in[i] >= 0x80 || in[i] == stop); };
#ifdef VELSOR_TEXT_VECTORS
  if (level == SimdLevel::kAvx2) i = WidenAvx2(in, count, stop, out);
  if (level != SimdLevel::kScalar && !stopped()) i = WidenSse2(in, count, stop, out, i);
#else
  (void)level;
#endif
  return stopped() ? i : WidenScalar(in, count, stop, out, i);
}

std::size_t NarrowAscii(const uint8_t* in, std::size_t units, uint16_t stop, char* out, SimdLevel level) {
  std::size_t i = 0;
  auto stopped = [&] {
    if (i >= units) return false;
    const uint16_t u = load_le16(in + 2 * i);
    return u >= 0x80 || u == stop;
  };
#ifdef VELSOR_TEXT_VECTORS
  if (level == SimdLevel::kAvx2) i = NarrowAvx2(in, units, stop, out);
  if (level != SimdLevel::kScalar && !stopped()) i = NarrowSse2(in, units, stop, out, i);
#else
  (void)level;
#endif
  return stopped() ? i : NarrowScalar(in, units, stop, out, i);
}

std::size_t TextAsciiRun(const uint8_t* in, std::size_t units, SimdLevel level) {
  std::size_t i = 0;
  auto stopped = [&] { return i < units && !IsTextAscii(load_le16(in + 2 * i)); };
#ifdef VELSOR_TEXT_VECTORS
  if (level == SimdLevel::kAvx2) i = TextRunAvx2(in, units);
  if (level != SimdLevel::kScalar && !stopped()) i = TextRunSse2(in, units, i);
#else
  (void)level;
#endif
  return stopped() ? i : TextRunScalar(in, units, i);
}

}  // namespace velsor
