// The names people type for ciphers and hashes, through the real binary.

#include <gtest/gtest.h>

#include <string>

#include "cli_process.h"

namespace velsor {
namespace {

using test::RunCli;

TEST(ComponentNames, HashAliasesAndIdsSelectTheHash) {
  // Digests of "abc": FIPS 180-2 (SHA), the RIPEMD-160 authors' test values, RFC 1321 (MD5).
  struct Case {
    const char* name;
    const char* digest;
  };
  const Case cases[] = {
      {"SHA-1", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"sha-256", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"28", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},  // SHA256's id
      {"SHA-384", "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"},
      {"SHA_512",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80"
       "e2a9ac94fa54ca49f"},
      {"RIPEMD160", "8eb208f7e05d987a9b044a8e98c6b087f15a0bfc"},
      {"16", "900150983cd24fb0d6963f7d28e17f72"},  // MD5's id
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunCli({"digest", "-H", c.name}, "abc", std::nullopt);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(c.digest) + "  -\n");
  }
}

TEST(ComponentNames, CipherAliasesAndIdsSelectTheCipher) {
  // What the alias encrypts, the list name decrypts; any other cipher would
  // give other text.
  struct Case {
    const char* alias;
    const char* hash;
    const char* name;
  };
  const Case cases[] = {
      {"aes", "SHA256", "Rijndael"},     {"AES-128", "MD5", "Rijndael"},  {"AES-192", "Tiger", "Rijndael"},
      {"AES-256", "SHA512", "Rijndael"}, {"TripleDES", "SHA1", "3DES"},   {"des3", "SHA1", "3DES"},
      {"CAST5", "MD5", "Cast128"},       {"cast-128", "MD5", "Cast128"},  {"ARC4", "MD5", "RC4"},
      {"9", "SHA1", "Rijndael"},         {"thin-ice", "MD5", "Thin Ice"}, {"5", "MD5", "Blowfish"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.alias);
    const auto sealed = RunCli({"encrypt", "-c", c.alias, "-H", c.hash}, "attack at dawn", "pass");
    ASSERT_EQ(sealed.status, 0) << sealed.err;
    const auto opened = RunCli({"decrypt", "-c", c.name, "-H", c.hash}, sealed.out, "pass");
    EXPECT_EQ(opened.out, "attack at dawn");
    EXPECT_EQ(opened.err, "");
  }
}

TEST(ComponentNames, TyposGetTheNearestNameAndSizedAesAliasesMustFitTheHash) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"-c", "Rijndeal", "-H", "MD5"}, "unknown cipher 'Rijndeal'; did you mean Rijndael?\n"},
      {{"-c", "blowfsh", "-H", "MD5"}, "unknown cipher 'blowfsh'; did you mean Blowfish?\n"},
      {{"-c", "RC4", "-H", "sha-265"}, "unknown hash 'sha-265'; did you mean SHA256?\n"},
      {{"-c", "RC4", "-H", "tigre"}, "unknown hash 'tigre'; did you mean Tiger?\n"},
      {{"-c", "ROT13", "-H", "MD5"}, "unknown cipher 'ROT13'; valid ciphers: 3DES, Blowfish, "},
      {{"-c", "AES-128", "-H", "SHA256"},
       "'AES-128' names a 128-bit key, but Rijndael with SHA256 uses a 256-bit key (the hash decides the key "
       "size): use -c AES, or one of MD4, MD5, RipeMD-128\n"},
      {{"-c", "AES-256", "-H", "SHA1"}, "Rijndael with SHA1 uses a 160-bit key"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args = {"encrypt"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = RunCli(args, "x", "pass");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

TEST(ComponentNames, ListShowsAliasesAndHowTheKeySizeIsChosen) {
  const auto list = RunCli({"list"}, "", std::nullopt);
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("AES, AES-128, AES-192, AES-256"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("SHA-256"), std::string::npos);
  EXPECT_NE(list.out.find("smaller of the two"), std::string::npos);
}

}  // namespace
}  // namespace velsor
