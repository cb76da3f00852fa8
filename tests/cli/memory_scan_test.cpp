// After a run of velsor-cli, no copy of the passphrase (as typed in UTF-8, as
// UTF-16, or as the code-page bytes that are hashed) and none of the key is
// left anywhere in its memory: freed heap, dead stack and the environment
// included. A scanner loaded with LD_PRELOAD reads the process's own memory
// at exit (see memory_scan_preload.cpp); the hex text or the message, which
// are not secret and stay in the output buffer, must be found, which shows
// that the scan sees what is left.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli_process.h"
#include "crypto/bytes.h"
#include "crypto/hashes/sha256.h"

namespace velsor {
namespace {

#if defined(VELSOR_MEMORY_SCAN)

// "Crème brûlée at 18:42, gate 7!" in UTF-8 and in Windows-1252.
const std::string kPassphrase = "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65 at 18:42, gate 7!";
const std::string kCp1252 = "Cr\xE8me br\xFBl\xE9\x65 at 18:42, gate 7!";
const std::string kMessage = "Meet at the north gate at noon.";

std::string Masked(const std::string& bytes) {
  std::string hex;
  char digits[3];
  for (unsigned char b : bytes) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(b ^ 0xA5));
    hex += digits;
  }
  return hex;
}

// The key of a Rijndael/SHA256 message: SHA-256 of the salt (the first 8
// envelope bytes, read from the hex text's first 16 digits as 4 little-endian
// code units) and the passphrase in Windows-1252.
std::string KeyOf(const std::string& hex, const std::string& cp1252) {
  std::string salt;
  for (std::size_t i = 0; i < 16; i += 4) {
    const auto unit = static_cast<uint16_t>(std::stoul(hex.substr(i, 4), nullptr, 16));
    salt.push_back(static_cast<char>(unit & 0xFF));
    salt.push_back(static_cast<char>(unit >> 8));
  }
  Sha256 sha;
  sha.Init();
  sha.Update(salt.data(), static_cast<uint32_t>(salt.size()));
  sha.Update(cp1252.data(), static_cast<uint32_t>(cp1252.size()));
  std::string key(32, '\0');
  sha.Final(key.data());
  return key;
}

// The strings to look for; the key and the control when given.
// Each encoding whole and without its first 16 bytes, which a freed heap
// block gives up to the allocator's own pointers.
std::string ScanPatterns(const std::string& key, const std::string& control) {
  std::string utf16;
  for (unsigned char c : kCp1252) utf16 += std::string{static_cast<char>(c), '\0'};
  std::string patterns = "VELSOR_SCAN=";
  for (const auto& [name, bytes] : {std::pair<std::string, std::string>{"passphrase-utf8", kPassphrase},
                                    {"passphrase-utf16", utf16},
                                    {"passphrase-cp1252", kCp1252}}) {
    patterns += name + ":" + Masked(bytes) + "," + name + "-tail:" + Masked(bytes.substr(16)) + ",";
  }
  patterns.pop_back();
  if (!key.empty()) patterns += ",key:" + Masked(key);
  if (!control.empty()) patterns += ",control:" + Masked(control);
  return patterns;
}

TEST(MemoryScan, NoPassphraseAndNoKeyAreLeftAtExit) {
  const std::string preload = std::string("LD_PRELOAD=") + VELSOR_MEMORY_SCAN;
  const std::vector<std::string> encrypt = {"encrypt", "-c", "Rijndael", "-H", "SHA256"};
  const std::vector<std::string> decrypt = {"decrypt", "-c", "Rijndael", "-H", "SHA256"};
  const auto made = test::RunCli(encrypt, kMessage, kPassphrase);
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string hex = made.out.substr(0, made.out.size() - 1);
  const std::string passphrase_file = test::TempFile(kPassphrase + "\n");

  struct Case {
    const char* name;
    std::vector<std::string> more_args;
    bool by_environment;
    bool by_descriptor;
  };
  const Case cases[] = {
      {"environment", {}, true, false},
      {"file", {"--passphrase-file", passphrase_file}, false, false},
      {"descriptor", {"--passphrase-fd", "3"}, false, true},
  };
  for (const auto& c : cases) {
    for (bool encrypting : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (encrypting ? ", encrypt" : ", decrypt"));
      std::vector<std::string> args = encrypting ? encrypt : decrypt;
      args.insert(args.end(), c.more_args.begin(), c.more_args.end());
      test::CliOptions options;
      if (c.by_environment) options.passphrase = kPassphrase;
      if (c.by_descriptor) options.fd3 = kPassphrase + "\n";
      // Decryption knows its salt, so the scan also looks for the key and for
      // the decrypted message (the control). An encryption's salt is drawn
      // during the run; its key comes from the same derivation, so the scan
      // looks for the passphrase there.
      options.environment = {preload, encrypting ? ScanPatterns("", "") : ScanPatterns(KeyOf(hex, kCp1252), kMessage)};
      const auto run = test::RunCli(args, encrypting ? kMessage : made.out, options);
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_NE(run.err.find("bytes scanned"), std::string::npos) << run.err;
      EXPECT_EQ(run.err.find("found passphrase"), std::string::npos) << run.err;
      EXPECT_EQ(run.err.find("found key"), std::string::npos) << run.err;
      if (!encrypting) {
        EXPECT_NE(run.err.find("found control"), std::string::npos) << run.err;
      }
    }
  }
  ::unlink(passphrase_file.c_str());
}

#else

TEST(MemoryScan, NoPassphraseAndNoKeyAreLeftAtExit) {
  GTEST_SKIP() << "the scanner is built only without sanitizers, on Linux";
}

#endif

}  // namespace
}  // namespace velsor
