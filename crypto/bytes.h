#pragma once
// Byte-order helpers and a wipe the compiler cannot remove.
// Every cipher and hash reads and writes its words through these, so no
// algorithm file does its own shifting of bytes or unaligned pointer casts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velsor {

inline uint16_t load_be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint16_t load_le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t load_le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline uint32_t load_be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline uint64_t load_le64(const uint8_t* p) {
  return static_cast<uint64_t>(load_le32(p)) | (static_cast<uint64_t>(load_le32(p + 4)) << 32);
}
inline uint64_t load_be64(const uint8_t* p) {
  return (static_cast<uint64_t>(load_be32(p)) << 32) | static_cast<uint64_t>(load_be32(p + 4));
}

inline void store_le16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void store_be16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void store_le32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline void store_be32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}
inline void store_le64(uint8_t* p, uint64_t v) {
  store_le32(p, static_cast<uint32_t>(v));
  store_le32(p + 4, static_cast<uint32_t>(v >> 32));
}
inline void store_be64(uint8_t* p, uint64_t v) {
  store_be32(p, static_cast<uint32_t>(v >> 32));
  store_be32(p + 4, static_cast<uint32_t>(v));
}

// Overwrites n bytes with value so that the store survives even when the
// memory is never read again: a plain memset (word-wise, fast on large
// buffers) followed by a barrier that makes the compiler assume the bytes are
// read; a volatile byte loop where no such barrier exists.
inline void secure_wipe(void* p, std::size_t n, uint8_t value = 0) {
  if (n == 0) return;
#if defined(__GNUC__) || defined(__clang__)
  std::memset(p, value, n);
  __asm__ __volatile__("" : : "r"(p) : "memory");
#else
  volatile uint8_t* v = static_cast<volatile uint8_t*>(p);
  for (std::size_t i = 0; i < n; ++i) v[i] = value;
#endif
}

// An allocator that wipes every block it hands back, in the spirit of Botan's
// secure_vector: a container of secrets leaves nothing behind when it grows,
// shrinks or is destroyed, whichever way it goes.
template <typename T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() noexcept = default;
  template <typename U>
  WipingAllocator(const WipingAllocator<U>&) noexcept {}  // NOLINT(google-explicit-constructor)
  T* allocate(std::size_t n) {
    if (n > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(::operator new(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    secure_wipe(p, n * sizeof(T));
    ::operator delete(p);
  }
  template <typename U>
  bool operator==(const WipingAllocator<U>&) const noexcept {
    return true;
  }
};

// The one self-wiping byte buffer: key material, digests, passphrase bytes and
// plaintext live in it.
using SecretBytes = std::vector<uint8_t, WipingAllocator<uint8_t>>;

// Text that holds a secret (a passphrase, a decrypted message): a string whose
// characters are wiped when it lets them go, those kept inside the object by
// the small-string optimisation included.
template <typename CharT>
class SecretString : public std::basic_string<CharT, std::char_traits<CharT>, WipingAllocator<CharT>> {
  using Base = std::basic_string<CharT, std::char_traits<CharT>, WipingAllocator<CharT>>;

 public:
  using Base::Base;
  SecretString() = default;
  explicit SecretString(std::basic_string_view<CharT> text) : Base(text.data(), text.size()) {}
  SecretString(const SecretString&) = default;
  SecretString(SecretString&& other) noexcept : Base(std::move(other)) { other.Wipe(); }
  SecretString& operator=(const SecretString&) = default;
  SecretString& operator=(SecretString&& other) noexcept {
    Base::operator=(std::move(other));
    other.Wipe();
    return *this;
  }
  ~SecretString() { Wipe(); }

  // Wipes every character the string can hold and leaves it empty.
  void Wipe() noexcept {
    secure_wipe(this->data(), (this->capacity() + 1) * sizeof(CharT));
    this->clear();
  }
  std::basic_string_view<CharT> view() const noexcept { return {this->data(), this->size()}; }
};
using SecretText = SecretString<char16_t>;  // UTF-16 text
using SecretNarrow = SecretString<char>;    // 8-bit text: UTF-8 or code-page bytes

// UTF-16 code units as little-endian byte pairs (two bytes per unit, no
// byte-order mark), and back; an odd last byte is ignored.
inline void StoreUtf16Le(std::u16string_view text, uint8_t* out) {
  for (std::size_t i = 0; i < text.size(); ++i) store_le16(out + 2 * i, text[i]);
}
inline void LoadUtf16Le(const uint8_t* bytes, std::size_t units, char16_t* out) {
  for (std::size_t i = 0; i < units; ++i) out[i] = static_cast<char16_t>(load_le16(bytes + 2 * i));
}
inline SecretBytes Utf16LeBytes(std::u16string_view text) {
  SecretBytes bytes(text.size() * 2);
  StoreUtf16Le(text, bytes.data());
  return bytes;
}
inline std::u16string Utf16LeText(const uint8_t* bytes, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  LoadUtf16Le(bytes, text.size(), text.data());
  return text;
}

// A fixed array for key material and hash state: it wipes itself when destroyed,
// so a component that goes away without Burn leaves no secret behind.
template <typename T, std::size_t N>
class SecretArray : public std::array<T, N> {
 public:
  SecretArray() : std::array<T, N>{} {}
  SecretArray(const SecretArray&) = default;
  SecretArray& operator=(const SecretArray&) = default;
  ~SecretArray() { Wipe(); }
  void Wipe(uint8_t value = 0) { secure_wipe(this->data(), sizeof(T) * N, value); }
};

// A key-dependent scalar (a round count) that wipes itself when destroyed,
// as SecretArray does; it reads and assigns like the plain value.
template <typename T>
class SecretValue {
 public:
  SecretValue() = default;
  SecretValue(T value) : fValue(value) {}  // NOLINT(google-explicit-constructor)
  SecretValue(const SecretValue&) = default;
  SecretValue& operator=(const SecretValue&) = default;
  ~SecretValue() { secure_wipe(&fValue, sizeof fValue); }
  SecretValue& operator=(T value) {
    fValue = value;
    return *this;
  }
  operator T() const { return fValue; }  // NOLINT(google-explicit-constructor)

 private:
  T fValue{};
};

}  // namespace velsor
