// Where the passphrase comes from, and what is said when it cannot be had.

#include "cli/passphrase.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <string>

#include "cli_process.h"

namespace velsor {
namespace {

using test::CliOptions;
using test::RunCli;

const std::string kAbc = "01000302050407067C0173BA0050";  // "abc", RC4, MD5, passphrase "pass" (OpenSSL)
const std::vector<std::string> kDecrypt = {"decrypt", "-c", "RC4", "-H", "MD5"};

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more) {
  args.insert(args.end(), more);
  return args;
}

TEST(Passphrase, DescriptorFileAndEnvironmentEachGiveIt) {
  const std::string file = test::TempFile("pass\r\n");
  CliOptions on_fd;
  on_fd.fd3 = "pass\n";
  CliOptions in_environment;
  in_environment.passphrase = "pass";
  CliOptions file_wins;  // a named source comes before the environment
  file_wins.passphrase = "wrong";
  struct Case {
    const char* name;
    std::vector<std::string> args;
    CliOptions options;
  };
  const Case cases[] = {
      {"descriptor 3", With(kDecrypt, {"--passphrase-fd", "3"}), on_fd},
      {"file with CR LF", With(kDecrypt, {"--passphrase-file", file}), CliOptions{}},
      {"environment", kDecrypt, in_environment},
      {"file before environment", With(kDecrypt, {"--passphrase-file", file}), file_wins},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunCli(c.args, kAbc, c.options);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "abc");
  }
  ::unlink(file.c_str());
}

TEST(Passphrase, UnreadableSourcesSayWhyAndLongOnesAreRefused) {
  const std::string directory = "/tmp";
  const std::string bound = test::TempFile(std::string(cli::kMaxPassphraseBytes, 'a'));
  const std::string over = test::TempFile(std::string(cli::kMaxPassphraseBytes + 1, 'a'));
  CliOptions closed_stdin;
  closed_stdin.close_stdin = true;
  struct Case {
    const char* name;
    std::vector<std::string> args;
    CliOptions options;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"directory",
       With(kDecrypt, {"--passphrase-file", directory}),
       {},
       1,
       "cannot read the passphrase file '/tmp': Is a directory"},
      {"missing file",
       With(kDecrypt, {"--passphrase-file", "/nonexistent/pass"}),
       {},
       1,
       "cannot read the passphrase file '/nonexistent/pass': No such file or directory"},
      {"endless file",
       With(kDecrypt, {"--passphrase-file", "/dev/zero"}),
       {},
       1,
       "the passphrase file '/dev/zero' holds more than 64 KiB"},
      {"one byte over the bound", With(kDecrypt, {"--passphrase-file", over}), {}, 1, "holds more than 64 KiB"},
      {"closed descriptor",
       With(kDecrypt, {"--passphrase-fd", "7"}),
       {},
       1,
       "cannot read the passphrase from descriptor 7: Bad file descriptor"},
      {"closed standard input", With(kDecrypt, {"--passphrase-file", bound}), closed_stdin, 1,
       "cannot read standard input: Bad file descriptor"},
      {"no source and no terminal", kDecrypt, {}, 2, "no passphrase: use --passphrase-fd N"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto run = RunCli(c.args, kAbc, c.options);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("basic_"), std::string::npos) << run.err;  // no library internals
  }
  // Exactly at the bound is still a passphrase (a wrong one here: the text is not "abc").
  const auto at_bound = RunCli(With(kDecrypt, {"--passphrase-file", bound}), kAbc, CliOptions{});
  EXPECT_EQ(at_bound.status, 0) << at_bound.err;
  ::unlink(bound.c_str());
  ::unlink(over.c_str());
}

TEST(Passphrase, TerminalPromptAsksTwiceForEncryptionAndHintsAtTheEnd) {
  test::TerminalSession session({"encrypt", "-c", "RC4", "-H", "MD5"});
  ASSERT_TRUE(session.WaitFor("Passphrase: "));
  EXPECT_FALSE(session.EchoIsOn());
  session.Type("pass\n");
  ASSERT_TRUE(session.WaitFor("Repeat passphrase: "));
  session.Type("pass\n");
  ASSERT_TRUE(session.WaitFor("Type the message; end with Ctrl+D"));
  EXPECT_TRUE(session.EchoIsOn());
  session.Type("abc\n\x04");
  const auto run = session.Finish();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err.find("pass\r\n"), std::string::npos) << "the passphrase was echoed";
  // The hex text decrypts to what was typed.
  EXPECT_EQ(RunCli(kDecrypt, run.out, "pass").out, "abc\n");
}

TEST(Passphrase, ASignalDuringThePromptRestoresTheTerminal) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal_number));
    test::TerminalSession session(kDecrypt);
    ASSERT_TRUE(session.WaitFor("Passphrase: "));
    ASSERT_FALSE(session.EchoIsOn());
    session.Signal(signal_number);
    const auto run = session.Finish();
    EXPECT_EQ(run.signal, signal_number);  // the signal still ends the program
    EXPECT_TRUE(session.EchoIsOn());
  }
}

}  // namespace
}  // namespace velsor
