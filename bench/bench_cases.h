#pragma once
// The cases the benchmark runs: one entry per algorithm, key size and
// implementation (Velsor or a peer library). Each implementation file adds its
// own cases at start-up, so a peer that is not installed is simply absent.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "crypto/components.h"

namespace velsor::bench {

// One keyed cipher in one direction: CBC for block ciphers, the keystream for
// stream ciphers. Run continues the chain (or the keystream) across calls.
class CipherRun {
 public:
  virtual ~CipherRun() = default;
  virtual void Run(const uint8_t* in, uint8_t* out, std::size_t size) = 0;
};

struct CipherCase {
  std::string algorithm;        // "Rijndael", as Velsor lists it (spaces removed)
  int key_bits = 0;             // the same key size for every implementation of a row
  std::size_t block_bytes = 0;  // 0 for a stream cipher
  std::string implementation;   // "velsor", "openssl", "nettle", "gcrypt", or a labelled reference loop
  // Empty when the output must equal Velsor's for the same key, IV and data;
  // otherwise why it differs (the cross-check then skips it).
  std::string differs;
  // Keys the cipher with key_bits of `key` and the IV, for one direction.
  std::function<std::unique_ptr<CipherRun>(const uint8_t* key, const uint8_t* iv, bool encrypt)> start;

  std::string Row() const { return algorithm + "-" + std::to_string(key_bits); }
};

struct HashCase {
  std::string algorithm;  // "SHA256", as Velsor lists it (spaces and parentheses removed)
  std::string implementation;
  std::string differs;
  std::size_t digest_bytes = 0;
  // Init, Update over the whole buffer, Final.
  std::function<void(const uint8_t* data, std::size_t size, uint8_t* digest)> digest;
};

// Registers a function that adds cases; used at namespace scope:
//   [[maybe_unused]] const bool kRegistered = RegisterCases(&AddNettleCases);
bool RegisterCases(void (*add)());
// Runs every registered function once.
void AddRegisteredCases();

std::vector<CipherCase>& CipherCases();
std::vector<HashCase>& HashCases();

// Velsor's name without spaces and without a parenthesised remark, so it can
// stand in a benchmark name: "Thin Ice" -> "ThinIce", "Haval (256bit, 5 passes)" -> "Haval".
std::string RowName(const std::u16string& algorithm);

// One instance of every Velsor component, created once.
Component& VelsorCatalog();

// Key, IV and data bytes shared by every case, so outputs can be compared.
const uint8_t* BenchKey();  // 32 bytes
const uint8_t* BenchIv();   // 16 bytes

}  // namespace velsor::bench
