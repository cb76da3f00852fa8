#pragma once
// Test helper: texts that put the characters a vector path has to stop at
// everywhere, for the tests that set each vector level beside the scalar code.

#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace velsor::test {

// Each of others at every offset of a run of 64 common characters; then count
// runs of random length below max_length with up to max_inserts of others put
// anywhere, mostly the first usual of them and now and then any.
template <typename String>
std::vector<String> MixedTexts(const String& common, const std::vector<String>& others, std::size_t usual,
                               std::mt19937& random, int count, std::size_t max_length, std::size_t max_inserts) {
  auto run = [&](std::size_t length) {
    String text;
    for (std::size_t k = 0; k < length; ++k) text += common[random() % common.size()];
    return text;
  };
  std::vector<String> texts;
  for (const String& other : others) {
    for (std::size_t at = 0; at <= 64; ++at) texts.push_back(run(at) + other + run(64 - at));
  }
  for (int k = 0; k < count; ++k) {
    String text = run(random() % max_length);
    for (std::size_t n = random() % max_inserts; n > 0; --n) {
      const String& other = others[random() % 4 == 0 ? random() % others.size() : random() % usual];
      text.insert(random() % (text.size() + 1), other);
    }
    texts.push_back(text);
  }
  return texts;
}

// The printable ASCII characters, the common ones of a text.
template <typename String>
String PrintableAscii() {
  String text;
  for (int c = 0x20; c < 0x7F; ++c) text += static_cast<typename String::value_type>(c);
  return text;
}

}  // namespace velsor::test
