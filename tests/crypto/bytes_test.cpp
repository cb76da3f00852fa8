// The self-wiping containers: whatever storage they give up holds no byte of
// the secret. Freed heap blocks are inspected by this binary's own operator
// delete just before they go back to the allocator; storage inside an object
// (the small-string buffer) is inspected by placing the object in a buffer
// the test owns.

#include "crypto/bytes.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

// The secret's marker, and how many freed blocks still held it while inspection was on.
constexpr unsigned char kMarker[] = {0x5A, 0x00, 0xA5, 0x00, 0x5A, 0x00, 0xC3, 0x00};
bool gInspect = false;
int gBlocksWithMarker = 0;

bool HoldsMarker(const unsigned char* bytes, std::size_t size) {
  for (std::size_t i = 0; i + sizeof kMarker <= size; ++i) {
    if (std::memcmp(bytes + i, kMarker, sizeof kMarker) == 0) return true;
  }
  return false;
}

}  // namespace

namespace {

// The size of a heap block as the C library sees it.
std::size_t UsableSize(void* p) {
#if defined(_WIN32)
  return _msize(p);
#else
  return malloc_usable_size(p);
#endif
}

void Release(void* p) noexcept {
  if (p != nullptr && gInspect && HoldsMarker(static_cast<unsigned char*>(p), UsableSize(p))) {
    ++gBlocksWithMarker;
  }
  std::free(p);
}

}  // namespace

// This binary's allocation functions: malloc and free, with the inspection.
void* operator new(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }

namespace velsor {
namespace {

// A text of n code units made of the marker.
template <class Text>
Text MarkerText(std::size_t units) {
  Text text;
  for (std::size_t i = 0; i < units; ++i) text.push_back(static_cast<char16_t>(kMarker[2 * (i % 4)]));
  return text;
}

// Freed blocks that still held the marker while body ran.
template <class Body>
int FreedWithMarker(Body body) {
  gBlocksWithMarker = 0;
  gInspect = true;
  body();
  gInspect = false;
  return gBlocksWithMarker;
}

TEST(SecretContainers, FreedHeapBlocksHoldNoSecret) {
  // The control: a plain string gives its characters back to the allocator as they are.
  EXPECT_GT(FreedWithMarker([] { (void)MarkerText<std::u16string>(64); }), 0);

  EXPECT_EQ(FreedWithMarker([] { (void)MarkerText<SecretText>(64); }), 0);
  EXPECT_EQ(FreedWithMarker([] {
              SecretText grows = MarkerText<SecretText>(20);
              for (int i = 0; i < 10; ++i) grows += grows.view();  // every growth gives up a block
            }),
            0);
  EXPECT_EQ(FreedWithMarker([] {
              SecretBytes bytes(kMarker, kMarker + sizeof kMarker);
              for (int i = 0; i < 8; ++i) bytes.insert(bytes.end(), bytes.begin(), bytes.end());
              bytes.shrink_to_fit();
            }),
            0);
  EXPECT_EQ(FreedWithMarker([] {
              SecretText from = MarkerText<SecretText>(64);
              SecretText to;
              to = std::move(from);
              SecretText copy = to;
              copy.Wipe();
            }),
            0);
}

TEST(SecretContainers, SmallTextsLeaveNothingInTheObject) {
  // Short texts live inside the object; a moved-from and a destroyed object
  // keep none of their characters.
  alignas(SecretText) unsigned char source_place[sizeof(SecretText)];
  alignas(SecretText) unsigned char target_place[sizeof(SecretText)];
  auto* source = new (source_place) SecretText(MarkerText<SecretText>(4));
  ASSERT_TRUE(HoldsMarker(source_place, sizeof source_place));
  auto* target = new (target_place) SecretText(std::move(*source));
  EXPECT_EQ(target->size(), 4U);
  EXPECT_FALSE(HoldsMarker(source_place, sizeof source_place));
  source->~SecretText();
  target->~SecretText();
  EXPECT_FALSE(HoldsMarker(target_place, sizeof target_place));

  // The same for a plain string shows the check can see the characters.
  alignas(std::u16string) unsigned char plain_place[sizeof(std::u16string)];
  auto* plain = new (plain_place) std::u16string(MarkerText<std::u16string>(4));
  plain->~basic_string();
  EXPECT_TRUE(HoldsMarker(plain_place, sizeof plain_place));
}

}  // namespace
}  // namespace velsor
