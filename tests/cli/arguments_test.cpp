// The command line: repeated options, passphrases given as arguments, help.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cli_process.h"

namespace velsor {
namespace {

using test::RunCli;

const std::string kAbc = "01000302050407067C0173BA0050";  // "abc", RC4, MD5, passphrase "pass" (OpenSSL)

TEST(Arguments, MisuseIsAUsageErrorThatNeverRepeatsAPassphrase) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {"cipher twice",
       {"decrypt", "-c", "RC4", "-c", "Blowfish", "-H", "MD5"},
       "option -c is given twice with different values"},
      {"hash twice, long and short",
       {"decrypt", "-c", "RC4", "-H", "MD5", "--hash=SHA1"},
       "option --hash is given twice with different values"},
      {"two passphrase files",
       {"decrypt", "-c", "RC4", "-H", "MD5", "--passphrase-file", "a", "--passphrase-file", "b"},
       "option --passphrase-file is given twice"},
      {"descriptor and file",
       {"decrypt", "-c", "RC4", "-H", "MD5", "--passphrase-fd", "3", "--passphrase-file", "a"},
       "give one"},
      {"descriptor 0", {"decrypt", "-c", "RC4", "-H", "MD5", "--passphrase-fd", "0"}, "standard input"},
      {"descriptor not a number",
       {"decrypt", "-c", "RC4", "-H", "MD5", "--passphrase-fd", "three"},
       "needs a descriptor number"},
      {"--passphrase=", {"decrypt", "-c", "RC4", "-H", "MD5", "--passphrase=hunter2"}, "never taken"},
      {"-p VALUE", {"decrypt", "-c", "RC4", "-H", "MD5", "-p", "hunter2"}, "never taken"},
      {"-pVALUE", {"decrypt", "-c", "RC4", "-H", "MD5", "-phunter2"}, "never taken"},
      {"help for no command", {"help", "frobnicate"}, "unknown command 'frobnicate'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunCli(c.args, kAbc, "pass");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("hunter2"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

TEST(Arguments, TheSameValueTwiceAndTheEqualsFormAreAccepted) {
  const auto run =
      RunCli({"decrypt", "-c", "RC4", "--cipher=RC4", "-c", "RC4", "-H", "MD5", "--hash", "MD5"}, kAbc, "pass");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "abc");
}

TEST(Arguments, HelpForOneCommandAndExamplesInTheWholeHelp) {
  struct Case {
    std::vector<std::string> args;
    std::string first_line;
    std::string holds;
  };
  const Case cases[] = {
      {{"help", "encrypt"}, "velsor-cli encrypt -c CIPHER -H HASH", "--passphrase-fd N"},
      {{"encrypt", "--help"}, "velsor-cli encrypt -c CIPHER -H HASH", "--passphrase-file FILE"},
      {{"help", "decrypt"}, "velsor-cli decrypt -c CIPHER -H HASH", "does not look like text"},
      {{"help", "digest"}, "velsor-cli digest -H HASH [FILE...]", "sha256sum"},
      {{"digest", "-h"}, "velsor-cli digest -H HASH [FILE...]", "standard input"},
      {{"help", "list"}, "velsor-cli list", "aliases"},
      {{"help"}, "Usage:", "velsor-cli help [COMMAND]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
    const auto run = RunCli(c.args, "", std::nullopt);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind(c.first_line, 0), 0U) << run.out;
    EXPECT_NE(run.out.find(c.holds), std::string::npos) << run.out;
  }

  // The whole help ends with the three worked examples.
  const std::string help = RunCli({"--help"}, "", std::nullopt).out;
  const std::size_t examples = help.find("Examples:");
  ASSERT_NE(examples, std::string::npos);
  for (const char* example : {"> message.txt", "xclip -o", "wl-paste |", "--passphrase-fd 3 3<&0"}) {
    EXPECT_NE(help.find(example, examples), std::string::npos) << example;
  }
  EXPECT_EQ(help.find("export VELSOR_PASSPHRASE"), std::string::npos);
}

}  // namespace
}  // namespace velsor
