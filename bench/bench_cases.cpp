#include "bench_cases.h"

#include <array>

#include "message/components_catalog.h"

namespace velsor::bench {

namespace {

std::vector<void (*)()>& Adders() {
  static std::vector<void (*)()> adders;
  return adders;
}

}  // namespace

bool RegisterCases(void (*add)()) {
  Adders().push_back(add);
  return true;
}

void AddRegisteredCases() {
  for (auto add : Adders()) add();
}

std::vector<CipherCase>& CipherCases() {
  static std::vector<CipherCase> cases;
  return cases;
}

std::vector<HashCase>& HashCases() {
  static std::vector<HashCase> cases;
  return cases;
}

Component& VelsorCatalog() {
  static Component owner;
  static const bool created = (CreateAlgorithmComponents(owner), true);
  (void)created;
  return owner;
}

std::string RowName(const std::u16string& algorithm) {
  std::string name;
  for (char16_t c : algorithm) {
    if (c == u'(') break;
    if (c != u' ') name.push_back(static_cast<char>(c));
  }
  return name;
}

// Arbitrary bytes; DES sees no weak key among them.
const uint8_t* BenchKey() {
  static const std::array<uint8_t, 32> key = {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6, 0xab, 0xf7, 0x15,
                                              0x88, 0x09, 0xcf, 0x4f, 0x3c, 0x60, 0x3d, 0xeb, 0x10, 0x15, 0xca,
                                              0x71, 0xbe, 0x2b, 0x73, 0xae, 0xf0, 0x85, 0x7d, 0x77, 0x81};
  return key.data();
}

const uint8_t* BenchIv() {
  static const std::array<uint8_t, 16> iv = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                             0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};
  return iv.data();
}

}  // namespace velsor::bench
