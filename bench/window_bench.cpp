// The window at 100,000 characters, 1 MiB and 8 MiB of text, driven as a user
// would on the offscreen platform: Paste, Encrypt, Decrypt, each timed from the
// click until the result is in the memo and painted. Beside it, the codec's
// own time for the same text, cipher, hash and passphrase. Each figure is the
// median of several rounds, since the machine is shared.
//
//   window_bench [--rounds=N] [sizes in characters...]

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "crypto/ciphers/rijndael.h"
#include "crypto/hashes/sha256.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"
#include "window/main_window.h"

namespace {

constexpr const char16_t* kPassphrase = u"correct horse battery staple";

// A letter: words and spaces, a line break every 72 characters or so.
std::u16string Letter(std::size_t characters) {
  static const std::u16string kWords[] = {u"meet",   u"at",    u"noon",   u"by",  u"the", u"old",
                                          u"bridge", u"bring", u"papers", u"and", u"a",   u"lamp"};
  std::u16string text;
  text.reserve(characters);
  std::size_t line = 0;
  for (std::size_t i = 0; text.size() < characters; ++i) {
    const std::u16string& word = kWords[(i * 7) % std::size(kWords)];
    text += word;
    line += word.size();
    if (line >= 72) {
      text += u"\r\n";
      line = 0;
    } else {
      text += u' ';
      ++line;
    }
  }
  text.resize(characters);
  return text;
}

double Milliseconds(QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

template <class T>
T* Child(QWidget& window, const char* name) {
  return window.findChild<T*>(QString::fromLatin1(name));
}

// Clicks a button and waits until the run has ended and the window has painted.
double TimeClick(velsor::MainWindow& window, const char* button) {
  QElapsedTimer timer;
  timer.start();
  QTest::mouseClick(Child<QToolButton>(window, button), Qt::LeftButton);
  while (window.IsWorking()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  window.repaint();
  return Milliseconds(timer);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::vector<std::size_t> sizes;
  int rounds = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--rounds=", 0) == 0)
      rounds = std::max(1, std::atoi(arg.c_str() + 9));
    else
      sizes.push_back(std::strtoull(argv[i], nullptr, 10));
  }
  if (sizes.empty()) sizes = {100000, 1u << 20, 8u << 20};

  velsor::MainWindow window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  auto* ciphers = Child<QComboBox>(window, "cbxCipher");
  auto* hashes = Child<QComboBox>(window, "cbxHash");
  ciphers->setCurrentIndex(ciphers->findText(QStringLiteral("Rijndael")));
  hashes->setCurrentIndex(hashes->findText(QStringLiteral("SHA256")));
  QTest::keyClicks(Child<QLineEdit>(window, "boxPassphrase"), QString::fromStdU16String(kPassphrase));

  velsor::Component owner;
  auto& cipher = velsor::Component::CreateOwned<velsor::Rijndael>(owner);
  auto& hash = velsor::Component::CreateOwned<velsor::Sha256>(owner);

  std::printf(
      "Rijndael + SHA256, milliseconds, median of %d rounds (window: click to painted result; codec: the "
      "same text alone)\n",
      rounds);
  std::printf("%12s %10s %12s %12s %8s %12s %12s %8s\n", "characters", "paste", "encrypt", "codec", "ratio", "decrypt",
              "codec", "ratio");
  for (const std::size_t size : sizes) {
    const std::u16string text = Letter(size);
    // paste, encrypt, codec encrypt, decrypt, codec decrypt
    std::array<std::vector<double>, 5> times;
    for (int round = 0; round < rounds; ++round) {
      QElapsedTimer timer;
      timer.start();
      const std::string hex = velsor::EncryptMessageToHex(text, kPassphrase, hash, cipher, velsor::SystemRandomBytes);
      times[2].push_back(Milliseconds(timer));
      const std::u16string hex16(hex.begin(), hex.end());
      timer.restart();
      const velsor::SecretText back = velsor::DecryptMessage(hex16, kPassphrase, hash, cipher);
      times[4].push_back(Milliseconds(timer));
      if (back.view() != text) return 2;

      QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
      times[0].push_back(TimeClick(window, "btn_Paste"));
      times[1].push_back(TimeClick(window, "btnEncrypt"));
      times[3].push_back(TimeClick(window, "btnDecrypt"));
      if (window.MemoText().view() != text) {
        std::fprintf(stderr, "the window did not restore the text at %zu characters\n", size);
        return 3;
      }
    }
    const double paste = Median(times[0]);
    const double encrypt = Median(times[1]);
    const double codec_encrypt = Median(times[2]);
    const double decrypt = Median(times[3]);
    const double codec_decrypt = Median(times[4]);
    std::printf("%12zu %10.1f %12.1f %12.1f %8.1f %12.1f %12.1f %8.1f\n", size, paste, encrypt, codec_encrypt,
                encrypt / codec_encrypt, decrypt, codec_decrypt, decrypt / codec_decrypt);
  }
  return 0;
}
