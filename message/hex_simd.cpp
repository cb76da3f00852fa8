#include "message/hex_simd.h"

#include <array>

#include "message/vector_ops.h"

namespace velsor {

namespace {

// The two digits of every byte value, so a byte costs one lookup.
constexpr std::array<char, 512> MakeByteDigits() {
  std::array<char, 512> table{};
  constexpr char digits[] = "0123456789ABCDEF";
  for (std::size_t b = 0; b < 256; ++b) {
    table[2 * b] = digits[b >> 4];
    table[2 * b + 1] = digits[b & 0xF];
  }
  return table;
}
constexpr std::array<char, 512> kByteDigits = MakeByteDigits();

template <typename CharT>
void EncodeScalar(const uint8_t* bytes, std::size_t size, CharT* out) {
  // A code unit b0 + 256 x b1 shows its high byte first.
  for (std::size_t i = 0; i + 1 < size; i += 2, out += 4) {
    const char* high = &kByteDigits[2 * bytes[i + 1]];
    const char* low = &kByteDigits[2 * bytes[i]];
    out[0] = high[0];
    out[1] = high[1];
    out[2] = low[0];
    out[3] = low[1];
  }
}

#ifdef VELSOR_TEXT_VECTORS

// Nibbles 0-15 to the digits '0'-'9', 'A'-'F'.
inline __m128i DigitChars(__m128i n) {
  const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(n, _mm_set1_epi8(9)), _mm_set1_epi8('A' - '0' - 10));
  return _mm_add_epi8(_mm_add_epi8(n, _mm_set1_epi8('0')), letters);
}

VELSOR_AVX2 inline __m256i DigitChars(__m256i n) {
  const __m256i letters = _mm256_and_si256(_mm256_cmpgt_epi8(n, _mm256_set1_epi8(9)), _mm256_set1_epi8('A' - '0' - 10));
  return _mm256_add_epi8(_mm256_add_epi8(n, _mm256_set1_epi8('0')), letters);
}

// Stores 16 or 32 digits as 8-bit or 16-bit characters.
inline void StoreDigits(char* out, __m128i digits) { _mm_storeu_si128(reinterpret_cast<__m128i*>(out), digits); }
inline void StoreDigits(char16_t* out, __m128i digits) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(digits, _mm_setzero_si128()));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(digits, _mm_setzero_si128()));
}
VELSOR_AVX2 inline void StoreDigits(char* out, __m256i digits) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), digits);
}
VELSOR_AVX2 inline void StoreDigits(char16_t* out, __m256i digits) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_cvtepu8_epi16(_mm256_castsi256_si128(digits)));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), _mm256_cvtepu8_epi16(_mm256_extracti128_si256(digits, 1)));
}

// 16 bytes to 32 digits a step; returns the bytes done.
template <typename CharT>
std::size_t EncodeSse2(const uint8_t* bytes, std::size_t size, CharT* out) {
  const __m128i nibble = _mm_set1_epi8(0x0F);
  std::size_t i = 0;
  for (; size - i >= 16; i += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    x = _mm_or_si128(_mm_slli_epi16(x, 8), _mm_srli_epi16(x, 8));  // the high byte of each unit first
    const __m128i high = _mm_and_si128(_mm_srli_epi16(x, 4), nibble);
    const __m128i low = _mm_and_si128(x, nibble);
    StoreDigits(out + 2 * i, DigitChars(_mm_unpacklo_epi8(high, low)));
    StoreDigits(out + 2 * i + 16, DigitChars(_mm_unpackhi_epi8(high, low)));
  }
  return i;
}

// 32 bytes to 64 digits a step; returns the bytes done.
template <typename CharT>
VELSOR_AVX2 std::size_t EncodeAvx2(const uint8_t* bytes, std::size_t size, CharT* out) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  std::size_t i = 0;
  for (; size - i >= 32; i += 32) {
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
    x = _mm256_or_si256(_mm256_slli_epi16(x, 8), _mm256_srli_epi16(x, 8));
    const __m256i high = _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble);
    const __m256i low = _mm256_and_si256(x, nibble);
    // Unpacking works within each 128-bit half: a holds bytes 0-7 and 16-23, b 8-15 and 24-31.
    const __m256i a = DigitChars(_mm256_unpacklo_epi8(high, low));
    const __m256i b = DigitChars(_mm256_unpackhi_epi8(high, low));
    StoreDigits(out + 2 * i, _mm256_permute2x128_si256(a, b, 0x20));
    StoreDigits(out + 2 * i + 32, _mm256_permute2x128_si256(a, b, 0x31));
  }
  return i;
}

// The digit values of 16 characters (0-15 each); false when one of them is
// not a hex digit. Bytes from 0x80 up compare as negative and fail both ranges.
inline bool DigitValues(__m128i x, __m128i& values) {
  const __m128i lower = _mm_or_si128(x, _mm_set1_epi8(0x20));  // 'A'-'F' to 'a'-'f'; no other character lands there
  const __m128i digit =
      _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(x, _mm_set1_epi8('9' + 1)));
  const __m128i letter =
      _mm_and_si128(_mm_cmpgt_epi8(lower, _mm_set1_epi8('a' - 1)), _mm_cmplt_epi8(lower, _mm_set1_epi8('f' + 1)));
  if (_mm_movemask_epi8(_mm_or_si128(digit, letter)) != 0xFFFF) return false;
  values = _mm_or_si128(_mm_and_si128(digit, _mm_sub_epi8(x, _mm_set1_epi8('0'))),
                        _mm_and_si128(letter, _mm_sub_epi8(lower, _mm_set1_epi8('a' - 10))));
  return true;
}

// The same for 32 characters, with unsigned ranges: c - '0' below 10 is a
// digit, (c | 0x20) - 'a' below 6 a letter.
VELSOR_AVX2 inline bool DigitValues(__m256i x, __m256i& values) {
  const __m256i digit_value = _mm256_sub_epi8(x, _mm256_set1_epi8('0'));
  const __m256i letter_value = _mm256_sub_epi8(_mm256_or_si256(x, _mm256_set1_epi8(0x20)), _mm256_set1_epi8('a'));
  const __m256i digit = _mm256_cmpeq_epi8(_mm256_min_epu8(digit_value, _mm256_set1_epi8(9)), digit_value);
  const __m256i letter = _mm256_cmpeq_epi8(_mm256_min_epu8(letter_value, _mm256_set1_epi8(5)), letter_value);
  if (_mm256_movemask_epi8(_mm256_or_si256(digit, letter)) != -1) return false;
  values = _mm256_blendv_epi8(_mm256_add_epi8(letter_value, _mm256_set1_epi8(10)), digit_value, digit);
  return true;
}

// Digit pairs to bytes in 16-bit lanes, then the two bytes of each code unit
// swapped, since the envelope stores the low byte first.
inline __m128i PairBytes(__m128i values) {
  __m128i t = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(values, 4), _mm_set1_epi16(0x00F0)), _mm_srli_epi16(values, 8));
  t = _mm_shufflelo_epi16(t, _MM_SHUFFLE(2, 3, 0, 1));
  return _mm_shufflehi_epi16(t, _MM_SHUFFLE(2, 3, 0, 1));
}

// Digit pairs to bytes (16 x the first plus the second, in 16-bit lanes),
// then the low halves gathered with the two bytes of each code unit swapped.
VELSOR_AVX2 inline __m128i PairBytes(__m256i values) {
  const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi16(0x0110));
  const __m256i order = _mm256_setr_epi8(2, 0, 6, 4, 10, 8, 14, 12, -1, -1, -1, -1, -1, -1, -1, -1,  //
                                         2, 0, 6, 4, 10, 8, 14, 12, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m256i bytes = _mm256_shuffle_epi8(pairs, order);
  return _mm256_castsi256_si128(_mm256_permute4x64_epi64(bytes, _MM_SHUFFLE(3, 1, 2, 0)));
}

// 16 characters as bytes: UTF-16 units above 0xFF saturate to 0xFF or 0x00,
// which are not digits either.
inline __m128i Load16(const char* chars) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars)); }
inline __m128i Load16(const char16_t* chars) {
  return _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chars)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + 8)));
}
VELSOR_AVX2 inline __m256i Load32(const char* chars) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(chars));
}
VELSOR_AVX2 inline __m256i Load32(const char16_t* chars) {
  const __m256i packed = _mm256_packus_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(chars)),
                                             _mm256_loadu_si256(reinterpret_cast<const __m256i*>(chars + 16)));
  return _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0));
}

template <typename CharT>
std::size_t DecodeSse2(const CharT* chars, std::size_t count, uint8_t* out, std::size_t capacity, std::size_t at) {
  __m128i values;
  for (; count - at >= 16 && capacity - at / 2 >= 8 && DigitValues(Load16(chars + at), values); at += 16) {
    const __m128i bytes = PairBytes(values);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + at / 2), _mm_packus_epi16(bytes, bytes));
  }
  return at;
}

template <typename CharT>
VELSOR_AVX2 std::size_t DecodeAvx2(const CharT* chars, std::size_t count, uint8_t* out, std::size_t capacity) {
  std::size_t at = 0;
  __m256i values;
  for (; count - at >= 32 && capacity - at / 2 >= 16 && DigitValues(Load32(chars + at), values); at += 32) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at / 2), PairBytes(values));
  }
  return at;
}

#endif  // VELSOR_TEXT_VECTORS

template <typename CharT>
std::size_t DecodeBlocks(const CharT* chars, std::size_t count, uint8_t* out, std::size_t capacity, SimdLevel level) {
#ifdef VELSOR_TEXT_VECTORS
  if (level == SimdLevel::kAvx2)
    return DecodeSse2(chars, count, out, capacity, DecodeAvx2(chars, count, out, capacity));
  if (level == SimdLevel::kSse2) return DecodeSse2(chars, count, out, capacity, 0);
#else
  (void)chars, (void)count, (void)out, (void)capacity, (void)level;
#endif
  return 0;
}

template <typename CharT>
void Encode(const uint8_t* bytes, std::size_t size, CharT* out, SimdLevel level) {
  std::size_t done = 0;
#ifdef VELSOR_TEXT_VECTORS
  if (level == SimdLevel::kAvx2) done = EncodeAvx2(bytes, size, out);
  if (level != SimdLevel::kScalar) done += EncodeSse2(bytes + done, size - done, out + 2 * done);
#else
  (void)level;
#endif
  EncodeScalar(bytes + done, size - done, out + 2 * done);
}

}  // namespace

void EncodeHexUnits(const uint8_t* bytes, std::size_t size, char* out, SimdLevel level) {
  Encode(bytes, size, out, level);
}

void EncodeHexUnits(const uint8_t* bytes, std::size_t size, char16_t* out, SimdLevel level) {
  Encode(bytes, size, out, level);
}

std::size_t DecodeHexBlocks(const char* chars, std::size_t count, uint8_t* out, std::size_t capacity, SimdLevel level) {
  return DecodeBlocks(chars, count, out, capacity, level);
}

std::size_t DecodeHexBlocks(const char16_t* chars, std::size_t count, uint8_t* out, std::size_t capacity,
                            SimdLevel level) {
  return DecodeBlocks(chars, count, out, capacity, level);
}

}  // namespace velsor
