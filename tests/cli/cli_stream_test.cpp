// velsor-cli with messages larger than a chunk, input it must refuse part way,
// and output it cannot write.

#include <gtest/gtest.h>

#include <string>

#include "cli/utf_text.h"
#include "cli_process.h"
#include "crypto/ciphers/rc4.h"
#include "crypto/hashes/md5.h"
#include "message/message_codec.h"
#include "message/message_stream.h"

namespace velsor {
namespace {

using test::RunCli;

// Runs velsor-cli with standard output on /dev/full, or closed; returns the
// exit status and standard error.
test::CliRun RunWithBrokenOutput(const std::vector<std::string>& args, const std::string& input, bool closed) {
  const std::string in_path = test::TempFile(input);
  const std::string err_path = test::TempFile("");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(::open(in_path.c_str(), O_RDONLY), 0);
    ::dup2(::open(err_path.c_str(), O_WRONLY | O_TRUNC), 2);
    if (closed) {
      ::close(1);
    } else {
      ::dup2(::open("/dev/full", O_WRONLY), 1);
    }
    ::setenv("VELSOR_PASSPHRASE", "pass", 1);
    test::ExecCli(args);
  }
  int wstatus = 0;
  ::waitpid(pid, &wstatus, 0);
  test::CliRun run;
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  run.err = test::ReadFile(err_path);
  ::unlink(in_path.c_str());
  ::unlink(err_path.c_str());
  return run;
}

TEST(CliStream, AResultThatCannotBeWrittenIsReported) {
  const std::string hex = "01000302050407067C0173BA0050";
  struct Case {
    std::vector<std::string> args;
    std::string input;
    bool closed;
    std::string error;
  };
  const Case cases[] = {
      {{"encrypt", "-c", "RC4", "-H", "MD5"}, "abc", false, "cannot write the result: No space left on device"},
      {{"decrypt", "-c", "RC4", "-H", "MD5"}, hex, false, "cannot write the result: No space left on device"},
      {{"encrypt", "-c", "RC4", "-H", "MD5"}, "abc", true, "cannot write the result: Bad file descriptor"},
      {{"decrypt", "-c", "RC4", "-H", "MD5"}, hex, true, "cannot write the result: Bad file descriptor"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + (c.closed ? " closed" : " full"));
    const auto run = RunWithBrokenOutput(c.args, c.input, c.closed);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "velsor-cli: " + c.error + "\n");
  }
}

TEST(CliStream, InvalidUtf8NamesTheByteOffsetOfTheFirstBadSequence) {
  const std::string far(3 << 20, 'a');  // past the first read of the input
  struct Case {
    std::string input;
    std::size_t offset;
  };
  const Case cases[] = {
      {"a\xC3(", 1},                        // lead byte without its continuation
      {"abc\xFF", 3},                       // a byte that never starts a sequence
      {"ab\xE2\x82", 2},                    // cut off at the end of the input
      {"\xC0\xAF", 0},                      // overlong form of '/'
      {"x\xED\xA0\x80", 1},                 // an encoded surrogate
      {"\xE2\x82\xAC\xF4\x90\x80\x80", 3},  // above U+10FFFF, after a valid euro sign
      {far + "\xFF", far.size()},
  };
  for (const auto& c : cases) {
    const auto run = RunCli({"encrypt", "-c", "RC4", "-H", "MD5"}, c.input, "pass");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "velsor-cli: the input is not valid UTF-8 at byte offset " + std::to_string(c.offset) +
                           " (use --utf16 for raw UTF-16LE)\n");
  }
}

// A text whose UTF-16 bytes pass the 8 MiB boundary, with characters that
// straddle the reads and the chunks: a line break (CR LF in the message), a
// two-byte, a three-byte and a four-byte character (a surrogate pair).
std::string LargeText() {
  std::string text;
  const std::string pieces[] = {"plain words ", "\n", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "x"};
  for (std::size_t i = 0; text.size() < (6u << 20); ++i) text += pieces[(i * 7) % 6];
  return text;
}

TEST(CliStream, MessagesPastTheChunkBoundaryAgreeWithTheWholeMessage) {
  const std::string text = LargeText();
  const std::u16string units = cli::ToCrLf(*cli::Utf8ToUtf16(text));
  ASSERT_GT(2 * units.size(), kMessageChunkBytes);
  Rc4 rc4;
  Md5 md5;
  const auto made = RunCli({"encrypt", "-c", "RC4", "-H", "MD5"}, text, "pass");
  ASSERT_EQ(made.status, 0) << made.err;
  ASSERT_EQ(made.out.size(), 4 * (4 + units.size()) + 1);
  // The whole-message codec reads what the streaming CLI wrote...
  EXPECT_TRUE(DecryptMessage(std::u16string(made.out.begin(), made.out.end() - 1), u"pass", md5, rc4).view() == units);
  // ...and the CLI reads what the whole-message codec wrote.
  const std::string hex =
      EncryptMessageToHex(units, u"pass", md5, rc4, [](void* out, std::size_t size) { std::memset(out, 7, size); });
  const auto back = RunCli({"decrypt", "-c", "RC4", "-H", "MD5"}, hex, "pass");
  EXPECT_EQ(back.status, 0) << back.err;
  EXPECT_TRUE(back.out == text);
}

TEST(CliStream, AnInvalidDigitPastTheFirstChunkFailsAfterTheFirstChunkIsOut) {
  const std::u16string units(kMessageChunkBytes / 2 + 1000, u'z');
  Rc4 rc4;
  Md5 md5;
  std::string hex =
      EncryptMessageToHex(units, u"pass", md5, rc4, [](void* out, std::size_t size) { std::memset(out, 7, size); });
  const std::size_t position = hex.size() - 10;
  hex[position - 1] = 'g';
  const auto run = RunCli({"decrypt", "-c", "RC4", "-H", "MD5"}, hex, "pass");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velsor-cli: Not a hex text: 'g' at position " + std::to_string(position) + "\n");
  EXPECT_EQ(run.out, std::string(kMessageChunkBytes / 2, 'z'));  // the first chunk only
}

}  // namespace
}  // namespace velsor
