// velsor-cli as scripts use it: the real binary, its exit status and its output.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "cli/utf_text.h"
#include "cli_process.h"
#include "crypto/ciphers/rc4.h"
#include "crypto/ciphers/rijndael.h"
#include "crypto/ciphers/serpent.h"
#include "crypto/hashes/md5.h"
#include "crypto/hashes/sha256.h"
#include "message/components_catalog.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"

namespace velsor {
namespace {

using test::RunCli;

std::string Name(const std::u16string& s) { return cli::Utf16ToUtf8(s); }

const std::string kMessage = "Grüße, world!\nLine 2 \t\n\n  €\xF0\x9F\x98\x80 ";

TEST(Cli, EveryCipherWithEveryHashRoundTripsInBothModes) {
  Component owner;
  CreateAlgorithmComponents(owner);
  const std::string utf16 = cli::TextToUtf16LeBytes(*cli::Utf8ToUtf16(kMessage));
  for (Cipher* cipher : ListCiphers(owner)) {
    for (Hash* hash : ListHashes(owner)) {
      const std::string c = Name(cipher->Algorithm());
      const std::string h = Name(hash->Algorithm());
      SCOPED_TRACE(c + " with " + h);
      const auto text = RunCli({"encrypt", "-c", c, "-H", h}, kMessage, "pass phrase");
      ASSERT_EQ(text.status, 0) << text.err;
      // Salt, IV and the message as UTF-16 with CR LF: 4 digits per code unit.
      const std::size_t units = cli::ToCrLf(*cli::Utf8ToUtf16(kMessage)).size();
      EXPECT_EQ(text.out.size(), 2 * (8 + IvBytes(*cipher)) + 4 * units + 1);
      const auto back = RunCli({"decrypt", "-c", c, "-H", h}, text.out, "pass phrase");
      EXPECT_EQ(back.status, 0) << back.err;
      EXPECT_EQ(back.out, kMessage);

      const auto raw = RunCli({"encrypt", "--utf16", "-c", c, "-H", h}, utf16, "pass phrase");
      ASSERT_EQ(raw.status, 0) << raw.err;
      const auto raw_back = RunCli({"decrypt", "--utf16", "-c", c, "-H", h}, raw.out, "pass phrase");
      EXPECT_EQ(raw_back.out, utf16);
    }
  }
}

TEST(Cli, ReadsAndWritesTheWindowsMessages) {
  Rc4 rc4;
  Md5 md5;
  // What the window makes (CR LF inside), the CLI reads (LF outside), and back.
  const std::u16string hex = EncryptMessage(u"one\r\ntwo", u"pass", md5, rc4, SystemRandomBytes);
  const auto run = RunCli({"decrypt", "-c", Name(rc4.Algorithm()), "-H", Name(md5.Algorithm())}, Name(hex), "pass");
  EXPECT_EQ(run.out, "one\ntwo");
  const auto made = RunCli({"encrypt", "-c", Name(rc4.Algorithm()), "-H", Name(md5.Algorithm())}, "one\ntwo", "pass");
  EXPECT_EQ(DecryptMessage(cli::Utf8ToUtf16(made.out).value(), u"pass", md5, rc4), u"one\r\ntwo");
}

TEST(Cli, DecryptsTheKnownMessages) {
  // Independently computed with OpenSSL; wrapped and in lowercase as mail may deliver them.
  const auto run = RunCli({"decrypt", "-c", "rc4", "-H", "md5"},
                          "01000302050407067c2873bd005f2e2aeba53c3d\n5b85871199641e47cb8698de7ea04e5a\r\n"
                          "  5752E99028D8A93D3669033A1442\n",
                          "pass");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Hello, world!\nLine 2");
  EXPECT_EQ(RunCli({"decrypt", "-c", "RC4", "-H", "MD5"}, "01000302050407067C0173BA0050", "pass").out, "abc");
}

TEST(Cli, RefusalsSayWhyAndWriteNothing) {
  struct Case {
    std::string name;
    std::vector<std::string> args;
    std::string input;
    std::optional<std::string> passphrase;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"unknown cipher",
       {"encrypt", "-c", "ROT13", "-H", "MD5"},
       "x",
       "p",
       2,
       "unknown cipher 'ROT13'; valid ciphers: "},
      {"unknown hash", {"digest", "-H", "CRC"}, "x", "p", 2, "unknown hash 'CRC'; valid hashes: "},
      {"no cipher", {"encrypt", "-H", "MD5"}, "x", "p", 2, "no cipher given"},
      {"passphrase argument", {"encrypt", "-c", "RC4", "-H", "MD5", "-p", "secret"}, "x", "p", 2, "never taken"},
      {"unknown command", {"frobnicate"}, "", "p", 2, "unknown command"},
      {"no passphrase", {"encrypt", "-c", "RC4", "-H", "MD5"}, "x", std::nullopt, 2, "no passphrase"},
      {"empty passphrase", {"encrypt", "-c", "RC4", "-H", "MD5"}, "x", "", 1, "the passphrase is empty"},
      {"invalid UTF-8", {"encrypt", "-c", "RC4", "-H", "MD5"}, "a\xC3(", "p", 1, "not valid UTF-8"},
      {"odd UTF-16", {"encrypt", "--utf16", "-c", "RC4", "-H", "MD5"}, "abc", "p", 1, "odd number of bytes"},
      {"empty message", {"encrypt", "-c", "RC4", "-H", "MD5"}, "", "p", 1, "the message is empty"},
      {"bad hex", {"decrypt", "-c", "RC4", "-H", "MD5"}, "0100 03x2", "p", 1, "'x' at position 8"},
      {"too short",
       {"decrypt", "-c", "RC4", "-H", "MD5"},
       "0100030205040706",
       "p",
       1,
       "Not a message for RC4: the hex text holds 8 bytes, a message needs at least 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunCli(c.args, c.input, c.passphrase);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

// --output FILE takes the result only once it is whole: a failed run leaves
// FILE as it was and no temporary file behind.
TEST(Cli, OutputFileAppearsOnlyWithTheWholeResult) {
  const std::string dir = test::TempFile("");
  ::unlink(dir.c_str());
  ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
  const std::string target = dir + "/plain.txt";
  auto files_in_dir = [&dir]() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
    return names;
  };

  const auto good =
      RunCli({"decrypt", "-c", "RC4", "-H", "MD5", "--output", target}, "01000302050407067C0173BA0050", "pass");
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.out, "");
  EXPECT_EQ(test::ReadFile(target), "abc");
  EXPECT_EQ(files_in_dir(), std::vector<std::string>{"plain.txt"});

  // A digit count that is not a multiple of 4: refused, and the earlier result stays.
  const auto bad = RunCli({"decrypt", "-c", "RC4", "-H", "MD5", "-o", target}, "01000302050407067C0173BA005", "pass");
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(test::ReadFile(target), "abc");
  EXPECT_EQ(files_in_dir(), std::vector<std::string>{"plain.txt"});

  const auto into_missing_dir = RunCli({"encrypt", "-c", "RC4", "-H", "MD5", "-o", dir + "/none/x.hex"}, "abc", "pass");
  EXPECT_EQ(into_missing_dir.status, 1);
  EXPECT_NE(into_missing_dir.err.find("cannot create"), std::string::npos) << into_missing_dir.err;

  std::filesystem::remove_all(dir);
}

// A device or a pipe named by --output is written as it is: a rename over
// /dev/null would leave a plain file there. A FIFO shows it without a device.
TEST(Cli, OutputToAPipeWritesThePipe) {
  const std::string fifo = test::TempFile("");
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Opened for reading first (without waiting for a writer), so velsor-cli's
  // open succeeds and the result waits in the pipe.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const auto run =
      RunCli({"decrypt", "-c", "RC4", "-H", "MD5", "--output", fifo}, "01000302050407067C0173BA0050", "pass");
  EXPECT_EQ(run.status, 0) << run.err;
  char buffer[16] = {};
  EXPECT_EQ(::read(reader, buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer), "abc");
  ::close(reader);
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(fifo).parent_path())) {
    EXPECT_EQ(entry.path().string().find(fifo + ".velsor-"), std::string::npos) << entry.path();
  }
  ::unlink(fifo.c_str());
}

TEST(Cli, PassphraseFileLosesOneTrailingLineBreak) {
  const std::string file = test::TempFile("pass\n");
  const auto from_file = RunCli({"decrypt", "-c", "RC4", "-H", "MD5", "--passphrase-file", file},
                                "01000302050407067C0173BA0050", std::nullopt);
  EXPECT_EQ(from_file.out, "abc");
  ::unlink(file.c_str());
  const auto missing = RunCli({"decrypt", "-c", "RC4", "-H", "MD5", "--passphrase-file", "/nonexistent/velsor"},
                              "01000302050407067C0173BA0050", std::nullopt);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
}

TEST(Cli, ListSelfTestDigestHelpVersion) {
  const auto list = RunCli({"list"}, "", std::nullopt);
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("RC4"), std::string::npos);
  EXPECT_NE(list.out.find("2048"), std::string::npos);
  EXPECT_LT(list.out.find("MD4"), list.out.find("MD5"));

  const auto selftest = RunCli({"selftest"}, "", std::nullopt);
  EXPECT_EQ(selftest.status, 0) << selftest.out;
  EXPECT_EQ(selftest.out.find("FAILED"), std::string::npos);

  // RFC 1321 A.5
  EXPECT_EQ(RunCli({"digest", "-H", "md5"}, "abc", std::nullopt).out, "900150983cd24fb0d6963f7d28e17f72  -\n");

  const auto help = RunCli({"--help"}, "", std::nullopt);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("velsor-cli encrypt -c CIPHER -H HASH"), std::string::npos);
  EXPECT_EQ(RunCli({"--version"}, "", std::nullopt).out.rfind("velsor-cli ", 0), 0U);
}

TEST(Cli, DigestOfFilesWritesSha256sumLines) {
  // RFC 1321 A.5 (MD5 of "" and "abc"); FIPS 180-2 B.1 (SHA-256 of "abc").
  const std::string abc = test::TempFile("abc");
  const std::string empty = test::TempFile("");
  const auto md5 = RunCli({"digest", "-H", "MD5", abc, "-", empty}, "abc", std::nullopt);
  EXPECT_EQ(md5.status, 0) << md5.err;
  EXPECT_EQ(md5.out, "900150983cd24fb0d6963f7d28e17f72  " + abc + "\n" + "900150983cd24fb0d6963f7d28e17f72  -\n" +
                         "d41d8cd98f00b204e9800998ecf8427e  " + empty + "\n");
  EXPECT_EQ(RunCli({"digest", "-H", "SHA256", abc}, "", std::nullopt).out,
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  " + abc + "\n");

  // A file that cannot be read is named with the reason; the others still get their line.
  const auto partly = RunCli({"digest", "-H", "MD5", "/nonexistent/file", abc, "/tmp"}, "", std::nullopt);
  EXPECT_EQ(partly.status, 1);
  EXPECT_EQ(partly.out, "900150983cd24fb0d6963f7d28e17f72  " + abc + "\n");
  EXPECT_NE(partly.err.find("cannot read '/nonexistent/file': No such file or directory\n"), std::string::npos)
      << partly.err;
  EXPECT_NE(partly.err.find("cannot read '/tmp': Is a directory\n"), std::string::npos) << partly.err;
  ::unlink(abc.c_str());
  ::unlink(empty.c_str());
}

TEST(Cli, AResultThatIsNotTextIsWrittenWithAWarning) {
  const std::string message =
      "Dear Ana, the meeting moves to Thursday at 10:30 in room 4B. Please bring the signed contract.\n";
  const auto sealed = RunCli({"encrypt", "-c", "Rijndael", "-H", "SHA256"}, message, "right passphrase");
  ASSERT_EQ(sealed.status, 0) << sealed.err;
  const std::string warning = "velsor-cli: this does not look like text: check the passphrase, cipher and hash\n";

  const auto right = RunCli({"decrypt", "-c", "Rijndael", "-H", "SHA256"}, sealed.out, "right passphrase");
  EXPECT_EQ(right.out, message);
  EXPECT_EQ(right.err, "");

  Rijndael rijndael;
  Sha256 sha256;
  Serpent serpent;
  struct Case {
    const char* name;
    const char* cipher;
    const char* hash;
    const char* passphrase;
    Cipher& reader;
    Hash& reader_hash;
  };
  const Case cases[] = {
      {"wrong passphrase", "Rijndael", "SHA256", "wrong passphrase", rijndael, sha256},
      {"wrong cipher", "Serpent", "SHA256", "right passphrase", serpent, sha256},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunCli({"decrypt", "-c", c.cipher, "-H", c.hash}, sealed.out, c.passphrase);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, warning);
    // The output is what decryption gives, unchanged by the warning.
    const SecretText text = DecryptMessage(cli::Utf8ToUtf16(sealed.out).value(), cli::Utf8ToUtf16(c.passphrase).value(),
                                           c.reader_hash, c.reader);
    EXPECT_EQ(run.out, cli::Utf16ToUtf8(cli::ToLf(std::u16string(text.view()))));
  }
}

}  // namespace
}  // namespace velsor
