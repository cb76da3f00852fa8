// The main window, driven as a user would: clicks, keystrokes and the real
// clipboard, on Qt's offscreen platform.

#include "window/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "crypto/ciphers/rc4.h"
#include "crypto/hashes/md5.h"
#include "message/components_catalog.h"
#include "message/hex_text.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"
#include "window/memo_text.h"

namespace velsor {

// The busy flag, for the cases that need the window busy without a run.
class MainWindowTestAccess {
 public:
  static bool& Working(MainWindow& window) { return window.Working; }
};

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// Answers every modal message box with `answer` as soon as it shows, and
// keeps its text, so a box can neither go unnoticed nor hang a test.
class BoxWatcher {
 public:
  explicit BoxWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : fAnswer(answer) {
    QObject::connect(&fTimer, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || box == fLast) return;
      fLast = box;
      texts.push_back(box->text());
      if (fBeforeAnswer) fBeforeAnswer();
      QAbstractButton* button = box->button(fAnswer);
      if (button == nullptr) button = box->buttons().value(0);
      button->click();
    });
    fTimer.start(5);
  }
  // Runs just before the answer, while the box is still open.
  void BeforeAnswer(std::function<void()> action) { fBeforeAnswer = std::move(action); }

  std::vector<QString> texts;

 private:
  QTimer fTimer;
  QMessageBox::StandardButton fAnswer;
  QMessageBox* fLast = nullptr;
  std::function<void()> fBeforeAnswer;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { QGuiApplication::clipboard()->clear(); }
  void TearDown() override {
    if (window) Busy() = false;
  }

  void Open(const MainWindow::ComponentFactory& create = CreateAlgorithmComponents) {
    window = std::make_unique<MainWindow>(create);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  template <class T>
  T* Child(const char* name) const {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QComboBox* Ciphers() const { return Child<QComboBox>("cbxCipher"); }
  QComboBox* Hashes() const { return Child<QComboBox>("cbxHash"); }
  QPlainTextEdit* Memo() const { return Child<QPlainTextEdit>("Memo1"); }
  QLineEdit* Passphrase() const { return Child<QLineEdit>("boxPassphrase"); }
  QToolButton* Button(const char* name) const { return Child<QToolButton>(name); }
  int ProgressValue() const { return Child<QProgressBar>("Progress")->value(); }
  QString KeySize() const { return Child<QLabel>("dblKeySize")->text(); }

  // Selects the entries shown as cipher and hash, as a user would pick them.
  bool Select(const QString& cipher, const QString& hash) const {
    const int c = Ciphers()->findText(cipher, Qt::MatchExactly);
    const int h = Hashes()->findText(hash, Qt::MatchExactly);
    if (c < 0 || h < 0) return false;
    Ciphers()->setCurrentIndex(c);
    Hashes()->setCurrentIndex(h);
    return true;
  }
  bool& Busy() const { return MainWindowTestAccess::Working(*window); }
  QString Status() const { return Child<QLabel>("lblStatus")->text(); }
  void Click(const char* name) const { QTest::mouseClick(Button(name), Qt::LeftButton); }
  // Encrypt and Decrypt run on a worker thread: wait for the result.
  bool WaitIdle() const {
    return QTest::qWaitFor([this] { return !window->IsWorking(); }, 60000);
  }
  void ClickAndWait(const char* name) const {
    Click(name);
    EXPECT_TRUE(WaitIdle()) << name;
  }
  void TypePassphrase(const QString& text) const { QTest::keyClicks(Passphrase(), text); }
  void PasteText(const QString& text) const {
    QGuiApplication::clipboard()->setText(text);
    Click("btn_Paste");
  }

  std::unique_ptr<MainWindow> window;
};

// A message made outside the window, for the window to decrypt.
std::u16string ForeignMessage(const std::u16string& text, const std::u16string& passphrase) {
  Component owner;
  Rc4& cipher = Component::CreateOwned<Rc4>(owner);
  Md5& hash = Component::CreateOwned<Md5>(owner);
  return EncryptMessage(text, passphrase, hash, cipher, SystemRandomBytes);
}

TEST_F(MainWindowTest, StartsWithTheFirstEntriesSelectedAndTheActionsOff) {
  Open();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Velsor    -    Encryption/Decryption utility"));
  EXPECT_EQ(Ciphers()->currentText(), QStringLiteral("3DES"));
  EXPECT_EQ(Hashes()->currentText(), QStringLiteral("Haval (256bit, 5 passes)"));
  EXPECT_EQ(KeySize(), QStringLiteral("192 bits"));
  EXPECT_FALSE(Button("btnEncrypt")->isEnabled());
  EXPECT_FALSE(Button("btnDecrypt")->isEnabled());
  EXPECT_TRUE(Button("btnClose")->isEnabled());
  EXPECT_TRUE(Passphrase()->text().isEmpty());
  EXPECT_EQ(Passphrase()->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(Memo()->document()->isEmpty());
  EXPECT_EQ(ProgressValue(), 0);
  EXPECT_FALSE(window->IsWorking());
  EXPECT_TRUE(Status().isEmpty());

  auto entries = [](const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
    return texts;
  };
  EXPECT_EQ(entries(Ciphers()), QStringList({"3DES", "Blowfish", "Cast128", "DES", "Ice", "Ice2", "RC2", "RC4",
                                             "Rijndael", "Serpent", "Tea", "Thin Ice", "Twofish"}));
  EXPECT_EQ(entries(Hashes()), QStringList({"Haval (256bit, 5 passes)", "MD4", "MD5", "RipeMD-128", "RipeMD-160",
                                            "SHA1", "SHA256", "SHA384", "SHA512", "Tiger"}));
}

TEST_F(MainWindowTest, ControlsHaveTheirTextsImagesAndNoFocusOnButtons) {
  Open();
  EXPECT_EQ(Child<QGroupBox>("grpOptions")->title(), QStringLiteral("Options"));
  // Each caption with its mnemonic (Alt+C, Alt+H, Alt+P).
  EXPECT_EQ(Child<QLabel>("lblCipher")->text(), QStringLiteral("&Cipher"));
  EXPECT_EQ(Child<QLabel>("lblHash")->text(), QStringLiteral("&Hash"));
  EXPECT_EQ(Child<QLabel>("lblKeySize")->text(), QStringLiteral("Effective key size:"));
  EXPECT_EQ(Child<QLabel>("lblPassphrase")->text(), QStringLiteral("&Passphrase"));
  EXPECT_EQ(Button("btnEncrypt")->text(), QStringLiteral("Encrypt"));
  EXPECT_EQ(Button("btnDecrypt")->text(), QStringLiteral("Decrypt"));
  EXPECT_EQ(Button("btnClose")->text(), QStringLiteral("Quit"));
  EXPECT_EQ(Button("btn_Copy")->toolTip(), QStringLiteral("Copy (Ctrl+Shift+C)"));
  EXPECT_EQ(Button("btn_Paste")->toolTip(), QStringLiteral("Paste (Ctrl+Shift+V)"));
  EXPECT_EQ(Button("btnClose")->toolTip(), QStringLiteral("Quit (Ctrl+Q)"));
  for (const char* name : {"btnEncrypt", "btnDecrypt", "btn_Copy", "btn_Paste"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Button(name)->icon().isNull());
    EXPECT_FALSE(Button(name)->icon().pixmap(QSize(24, 24)).isNull());  // the SVG renders
    EXPECT_EQ(Button(name)->iconSize(), QSize(24, 24));
  }
  EXPECT_FALSE(window->windowIcon().isNull());
  for (const char* name : {"btnEncrypt", "btnDecrypt", "btnClose", "btn_Copy", "btn_Paste"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Button(name)->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(Button(name)->accessibleName().isEmpty());
  }
  for (QWidget* w :
       std::initializer_list<QWidget*>{Ciphers(), Hashes(), Passphrase(), Memo(), Child<QProgressBar>("Progress")}) {
    EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
  }
  EXPECT_FALSE(Child<QLabel>("lnkMaker")->text().isEmpty());
  EXPECT_TRUE(Child<QLabel>("lnkWebsite")->openExternalLinks());
}

TEST_F(MainWindowTest, TabMovesThroughListsPassphraseAndMemo) {
  Open();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  Ciphers()->setFocus();
  const std::vector<QWidget*> order = {Hashes(), Passphrase(), Memo(), Ciphers()};
  for (QWidget* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
  }
}

TEST_F(MainWindowTest, KeySizeIsTheSmallerOfKeyAndDigest) {
  Open();
  struct Case {
    const char* cipher;
    const char* hash;
    const char* shown;
  };
  const Case cases[] = {
      {"DES", "Haval (256bit, 5 passes)", "64 bits"},
      {"DES", "MD4", "64 bits"},
      {"DES", "MD5", "64 bits"},
      {"DES", "RipeMD-128", "64 bits"},
      {"DES", "RipeMD-160", "64 bits"},
      {"DES", "SHA1", "64 bits"},
      {"DES", "SHA256", "64 bits"},
      {"DES", "SHA384", "64 bits"},
      {"DES", "SHA512", "64 bits"},
      {"DES", "Tiger", "64 bits"},
      {"RC4", "SHA512", "512 bits"},
      {"Blowfish", "SHA512", "448 bits"},
      {"Rijndael", "MD5", "128 bits"},
      {"3DES", "SHA1", "160 bits"},
      {"RC4", "MD5", "128 bits"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.cipher) + " with " + c.hash);
    if (!Select(QString::fromLatin1(c.cipher), QString::fromLatin1(c.hash))) {
      ADD_FAILURE() << "not listed";
      continue;
    }
    EXPECT_EQ(KeySize(), QString::fromLatin1(c.shown));
  }
}

TEST_F(MainWindowTest, OneTypedCharacterEnablesBothActions) {
  Open();
  for (const char* typed : {" ", "x"}) {
    SCOPED_TRACE(typed);
    TypePassphrase(QString::fromLatin1(typed));
    EXPECT_TRUE(Button("btnEncrypt")->isEnabled());
    EXPECT_TRUE(Button("btnDecrypt")->isEnabled());
    QTest::keyClick(Passphrase(), Qt::Key_Backspace);
    EXPECT_FALSE(Button("btnEncrypt")->isEnabled());
    EXPECT_FALSE(Button("btnDecrypt")->isEnabled());
  }
}

TEST_F(MainWindowTest, MemoTextKeepsEveryCharacterAndBreaksLinesWithCrLf) {
  Open();
  Memo()->setFocus();
  QTest::keyClicks(Memo(), QStringLiteral(" ab "));
  QTest::keyClick(Memo(), Qt::Key_Return);
  QTest::keyClicks(Memo(), QStringLiteral("c"));
  QTest::keyClick(Memo(), Qt::Key_Return, Qt::ShiftModifier);  // a line break inside the paragraph
  QTest::keyClicks(Memo(), QString(QChar(0x00A0)) + QStringLiteral("d "));
  QTest::keyClick(Memo(), Qt::Key_Return);
  EXPECT_EQ(window->MemoText(), u" ab \r\nc\r\n\u00A0d \r\n");
}

TEST_F(MainWindowTest, EncryptThenDecryptRestoresTheMemoExactly) {
  const std::u16string sample =
      u"  Leading spaces, Grüße, naïve café, ñ\r\n\tTab\u00A0no-break space, emoji \U0001F600 end  \r\n\r\n";
  struct Case {
    const char* cipher;
    const char* hash;
  };
  const Case cases[] = {
      {"RC4", "MD5"},         {"RC4", "MD4"},       {"Rijndael", "SHA1"},  {"3DES", "Haval (256bit, 5 passes)"},
      {"Blowfish", "SHA512"}, {"Twofish", "Tiger"}, {"Tea", "RipeMD-160"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.cipher) + " with " + c.hash);
    Open();
    if (!Select(QString::fromLatin1(c.cipher), QString::fromLatin1(c.hash))) {
      ADD_FAILURE() << "not listed";
      continue;
    }
    PasteText(Q(sample));
    ASSERT_EQ(window->MemoText().view(), sample);
    const QString shown = Memo()->document()->toRawText();
    TypePassphrase(QStringLiteral("pass phrase"));

    ClickAndWait("btnEncrypt");
    EXPECT_EQ(ProgressValue(), 100);
    const std::u16string hex(window->MemoText().view());
    EXPECT_TRUE(IsHexString(hex));
    EXPECT_NE(hex.size() % 4, 1u);

    // What the codec took is the text with CR LF line breaks: decrypt the
    // envelope outside the window with the same components.
    Component owner;
    CreateAlgorithmComponents(owner);
    Cipher* cipher = nullptr;
    Hash* hash = nullptr;
    for (Cipher* x : ListCiphers(owner))
      if (Q(x->Algorithm()) == QString::fromLatin1(c.cipher)) cipher = x;
    for (Hash* x : ListHashes(owner))
      if (Q(x->Algorithm()) == QString::fromLatin1(c.hash)) hash = x;
    ASSERT_TRUE(cipher != nullptr && hash != nullptr);
    // Salt, IV and two bytes per code unit, written as two digits per byte.
    EXPECT_EQ(hex.size(), 2 * (8 + IvBytes(*cipher) + 2 * sample.size()));
    EXPECT_EQ(DecryptMessage(hex, u"pass phrase", *hash, *cipher).view(), sample);

    ClickAndWait("btnDecrypt");
    EXPECT_EQ(window->MemoText().view(), sample);
    EXPECT_EQ(Memo()->document()->toRawText(), shown);
    EXPECT_EQ(ProgressValue(), 100);
  }
}

TEST_F(MainWindowTest, TwoEncryptionsOfOneTextDiffer) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("RC4"), QStringLiteral("MD5")));
  TypePassphrase(QStringLiteral("k"));
  std::u16string hex[2];
  for (auto& h : hex) {
    PasteText(QStringLiteral("same text"));
    ClickAndWait("btnEncrypt");
    h = window->MemoText().view();
  }
  EXPECT_NE(hex[0], hex[1]);  // new salt each time
}

TEST_F(MainWindowTest, DecryptsAForeignMessageShowingCrLfAsOneBreakAndStoppingAtNul) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("RC4"), QStringLiteral("MD5")));
  const std::u16string text(u"one\r\ntwo\0three", 13);
  // Spaces and line breaks around a hex text do not matter.
  PasteText(QStringLiteral("\n  ") + Q(ForeignMessage(text, u"pw")) + QStringLiteral("  \n"));
  TypePassphrase(QStringLiteral("pw"));
  ClickAndWait("btnDecrypt");
  EXPECT_EQ(Memo()->document()->blockCount(), 2);
  EXPECT_EQ(window->MemoText().view(), u"one\r\ntwo");
  // U+0000 is no character of a text, so the hint comes with the note.
  EXPECT_EQ(Status(), QStringLiteral("Decrypted 7 characters; the text holds U+0000 after them, and the rest is not "
                                     "shown. This does not look like text: check the passphrase, cipher and hash "
                                     "(Ctrl+Z restores the hex text)"));
  // Decrypt reports its progress too, also with a cipher that never encrypted here.
  EXPECT_EQ(ProgressValue(), 100);
}

TEST_F(MainWindowTest, ClicksWhileBusyChangeNothingButSaySo) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("RC4"), QStringLiteral("MD5")));
  TypePassphrase(QStringLiteral("pw"));
  const QString valid = Q(ForeignMessage(u"hello", u"pw"));
  struct Case {
    const char* name;
    QString memo;
    const char* button;
  };
  const Case cases[] = {
      {"Encrypt", QStringLiteral("hello"), "btnEncrypt"},
      {"Decrypt", valid, "btnDecrypt"},
      {"Paste", valid, "btn_Paste"},
  };
  BoxWatcher boxes;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PasteText(c.memo);
    const QString before = Memo()->document()->toRawText();
    QGuiApplication::clipboard()->setText(QStringLiteral("other"));
    window->ShowProgress(nullptr, 37);
    Busy() = true;
    Click(c.button);
    EXPECT_EQ(Memo()->document()->toRawText(), before);
    EXPECT_EQ(ProgressValue(), 37);  // the bar belongs to the run going on
    EXPECT_TRUE(window->IsWorking());
    EXPECT_EQ(Status(), QStringLiteral("Still working: one run at a time"));
    Busy() = false;
  }
  QTest::qWait(20);
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(MainWindowTest, EachFailureLeavesTheMemoAndSaysWhyInTheStatusLine) {
  Open();
  struct Case {
    const char* cipher;
    const char* hash;
    QString memo;
    const char* button;
    const char* status;
  };
  const Case cases[] = {
      {"RC4", "MD5", QStringLiteral("  \n\t \n "), "btnEncrypt", "Encrypt needs a text in the memo"},
      {"RC4", "MD5", QStringLiteral("  \n "), "btnDecrypt", "The hex text is empty"},
      {"RC4", "MD5", QStringLiteral("hello"), "btnDecrypt", "Not a hex text: 'h' at position 1"},
      {"RC4", "MD5", QStringLiteral("0011223344556677G0"), "btnDecrypt", "Not a hex text: 'G' at position 17"},
      // salt only, no ciphertext
      {"RC4", "MD5", QStringLiteral("0011223344556677"), "btnDecrypt",
       "Not a message for RC4: the hex text holds 8 bytes, a message needs at least 10"},
      {"RC4", "MD5", QStringLiteral("00112233"), "btnDecrypt",
       "Not a message for RC4: the hex text holds 4 bytes, a message needs at least 10"},
      {"RC4", "MD5", QStringLiteral("7"), "btnDecrypt",
       "The hex text has 1 digit; a message has a multiple of 4: is part of it missing?"},
      {"RC4", "MD5", QString(47, u'A'), "btnDecrypt",
       "The hex text has 47 digits; a message has a multiple of 4: is part of it missing?"},
      // salt and IV, no ciphertext
      {"3DES", "SHA1", QString(32, u'A'), "btnDecrypt",
       "Not a message for 3DES: the hex text holds 16 bytes, a message needs at least 18"},
      {"Blowfish", "SHA1", QString(24, u'A'), "btnDecrypt",
       "Not a message for Blowfish: the hex text holds 12 bytes, a message needs at least 18"},
      {"Rijndael", "SHA1", QString(40, u'A'), "btnDecrypt",
       "Not a message for Rijndael: the hex text holds 20 bytes, a message needs at least 26"},
  };
  BoxWatcher boxes;
  TypePassphrase(QStringLiteral("pw"));
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.cipher) + " " + c.memo.toStdString());
    if (!Select(QString::fromLatin1(c.cipher), QString::fromLatin1(c.hash))) {
      ADD_FAILURE() << "not listed";
      continue;
    }
    PasteText(c.memo);
    const QString before = Memo()->document()->toRawText();
    window->ShowProgress(nullptr, 37);
    ClickAndWait(c.button);
    EXPECT_EQ(Memo()->document()->toRawText(), before);
    EXPECT_EQ(ProgressValue(), 0);  // every click starts the bar again
    EXPECT_EQ(Status(), QString::fromUtf8(c.status));
  }
  QTest::qWait(20);
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(MainWindowTest, DecryptsHexTextsAsMailProgramsLeaveThem) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("RC4"), QStringLiteral("MD5")));
  TypePassphrase(QStringLiteral("pw"));
  const QString hex = Q(ForeignMessage(u"Meet at noon\r\nby the bridge", u"pw"));
  auto fold = [&hex](int width, const QString& line_break) {
    QString folded;
    for (int i = 0; i < hex.size(); i += width) folded += hex.mid(i, width) + line_break;
    return folded;
  };
  auto spaced = [&hex] {
    QString groups;
    for (int i = 0; i < hex.size(); i += 4) groups += hex.mid(i, 4) + QStringLiteral(" ");
    return groups;
  };
  const struct {
    const char* name;
    QString memo;
  } cases[] = {
      {"lowercase", hex.toLower()},
      {"folded at 64 with LF", fold(64, QStringLiteral("\n"))},
      {"folded at 76 with CR LF, lowercase", fold(76, QStringLiteral("\r\n")).toLower()},
      {"groups with spaces", spaced()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PasteText(c.memo);
    ClickAndWait("btnDecrypt");
    EXPECT_EQ(window->MemoText(), u"Meet at noon\r\nby the bridge");
    EXPECT_EQ(Status(), QStringLiteral("Decrypted 26 characters"));
  }
}

TEST_F(MainWindowTest, StatusLineNamesWhatEncryptDidAndHintsAtAWrongKey) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("Rijndael"), QStringLiteral("SHA256")));
  TypePassphrase(QStringLiteral("right"));
  PasteText(QStringLiteral("Meet at noon\nby the old bridge, \U0001F600"));
  ClickAndWait("btnEncrypt");
  // A line break and a surrogate pair each count as one character.
  EXPECT_EQ(Status(), QStringLiteral("Encrypted 33 characters with Rijndael and SHA256"));

  // A message opened with another passphrase: shown unchanged, with a hint.
  // (Long enough that random code units cannot pass for text by chance.)
  PasteText(QString(300, u'x'));
  ClickAndWait("btnEncrypt");
  const QString hex = Memo()->document()->toRawText();
  Passphrase()->clear();
  TypePassphrase(QStringLiteral("wrong"));
  ClickAndWait("btnDecrypt");
  EXPECT_EQ(Status(), QStringLiteral("This does not look like text: check the passphrase, cipher and hash (Ctrl+Z "
                                     "restores the hex text)"));
  EXPECT_NE(Memo()->document()->toRawText(), hex);
}

TEST_F(MainWindowTest, CtrlZAfterEncryptOrDecryptRestoresTheTextBefore) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("Twofish"), QStringLiteral("SHA1")));
  TypePassphrase(QStringLiteral("pw"));
  PasteText(QStringLiteral("first line\nsecond line"));
  const QString plain = Memo()->document()->toRawText();
  ClickAndWait("btnEncrypt");
  const QString hex = Memo()->document()->toRawText();
  ASSERT_NE(hex, plain);
  Memo()->setFocus();
  QTest::keyClick(Memo(), Qt::Key_Z, Qt::ControlModifier);  // one step undoes the whole replacement
  EXPECT_EQ(Memo()->document()->toRawText(), plain);
  QTest::keyClick(Memo(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(Memo()->document()->toRawText(), hex);

  Passphrase()->clear();
  TypePassphrase(QStringLiteral("wrong"));
  ClickAndWait("btnDecrypt");
  EXPECT_NE(Memo()->document()->toRawText(), hex);
  QTest::keyClick(Memo(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Memo()->document()->toRawText(), hex);
}

TEST_F(MainWindowTest, ALargeTextEncryptsCopiesUndoesAndDecryptsExactly) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("Rijndael"), QStringLiteral("SHA256")));
  TypePassphrase(QStringLiteral("pass phrase"));
  std::u16string text;
  for (int i = 0; text.size() < 70000; ++i) text += u"Grüße 😀 line " + std::u16string(i % 7, u'x') + u"\r\n";
  PasteText(Q(text));
  ASSERT_EQ(window->MemoText().view(), text);

  ClickAndWait("btnEncrypt");
  const std::u16string hex(window->MemoText().view());
  ASSERT_TRUE(IsHexString(hex));
  // Salt, one block of IV and two bytes per code unit, two digits per byte.
  EXPECT_EQ(hex.size(), 2 * (8 + 16 + 2 * text.size()));
  Click("btn_Copy");
  EXPECT_EQ(Status(), QStringLiteral("Copied the hex text"));
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_EQ(copied, Q(hex));
  Component owner;
  CreateAlgorithmComponents(owner);
  Cipher* cipher = nullptr;
  Hash* hash = nullptr;
  for (Cipher* x : ListCiphers(owner))
    if (Q(x->Algorithm()) == QStringLiteral("Rijndael")) cipher = x;
  for (Hash* x : ListHashes(owner))
    if (Q(x->Algorithm()) == QStringLiteral("SHA256")) hash = x;
  ASSERT_TRUE(cipher != nullptr && hash != nullptr);
  EXPECT_EQ(DecryptMessage(copied.toStdU16String(), u"pass phrase", *hash, *cipher).view(), text);

  Memo()->setFocus();
  QTest::keyClick(Memo(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->MemoText().view(), text);
  QTest::keyClick(Memo(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(window->MemoText().view(), hex);

  ClickAndWait("btnDecrypt");
  EXPECT_EQ(window->MemoText().view(), text);
  EXPECT_EQ(Status(), QStringLiteral("Decrypted %1 characters").arg(CountCharacters(std::u16string_view(text))));
  QTest::keyClick(Memo(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->MemoText().view(), hex);

  // The memo stays editable: a typed character goes in at the start.
  QTest::keyClick(Memo(), Qt::Key_0);
  EXPECT_EQ(window->MemoText().view(), u"0" + hex);
}

TEST_F(MainWindowTest, ShortcutsTriggerTheirActions) {
  Open();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ASSERT_TRUE(Select(QStringLiteral("RC4"), QStringLiteral("MD5")));
  Memo()->setFocus();
  QTest::keyClicks(Memo(), QStringLiteral("hello"));

  // Without a passphrase the actions are off and say why, in the tooltip and on Ctrl+E.
  EXPECT_EQ(Button("btnEncrypt")->toolTip(), QStringLiteral("Type a passphrase first"));
  EXPECT_EQ(Button("btnDecrypt")->toolTip(), QStringLiteral("Type a passphrase first"));
  QTest::keyClick(Memo(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(Status(), QStringLiteral("Type a passphrase first"));
  EXPECT_EQ(Memo()->document()->toRawText(), QStringLiteral("hello"));

  // Alt+P reaches the passphrase box through its label.
  QTest::keyClick(Memo(), Qt::Key_P, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), Passphrase());
  QTest::keyClick(Passphrase(), Qt::Key_H, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), Hashes());
  QTest::keyClick(Hashes(), Qt::Key_C, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), Ciphers());
  TypePassphrase(QStringLiteral("pw"));
  EXPECT_EQ(Button("btnEncrypt")->toolTip(), QStringLiteral("Encrypt the memo's text (Ctrl+E)"));
  EXPECT_EQ(Button("btnDecrypt")->toolTip(), QStringLiteral("Decrypt the hex text in the memo (Ctrl+D)"));

  Memo()->setFocus();
  QTest::keyClick(Memo(), Qt::Key_E, Qt::ControlModifier);
  ASSERT_TRUE(WaitIdle());
  const QString hex = Memo()->document()->toRawText();
  EXPECT_TRUE(HoldsHexText(QStringView(hex)));

  QTest::keyClick(Memo(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), hex);

  QTest::keyClick(Memo(), Qt::Key_D, Qt::ControlModifier);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Memo()->document()->toRawText(), QStringLiteral("hello"));

  QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
  QTest::keyClick(Memo(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Memo()->document()->toRawText(), QStringLiteral("pasted"));

  QTest::keyClick(Memo(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, EnterInThePassphraseBoxDecryptsAHexTextAndEncryptsAnythingElse) {
  Open();
  ASSERT_TRUE(Select(QStringLiteral("Serpent"), QStringLiteral("RipeMD-160")));
  TypePassphrase(QStringLiteral("pw"));
  PasteText(QStringLiteral("plain words"));
  QTest::keyClick(Passphrase(), Qt::Key_Return);
  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(HoldsHexText(window->MemoText().view()));
  EXPECT_TRUE(Status().startsWith(QStringLiteral("Encrypted 11 characters")));
  QTest::keyClick(Passphrase(), Qt::Key_Enter);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(window->MemoText(), u"plain words");
}

TEST_F(MainWindowTest, TheEyeShowsAndHidesThePassphrase) {
  Open();
  auto* eye = window->findChild<QAction*>(QStringLiteral("actShowPassphrase"));
  ASSERT_NE(eye, nullptr);
  ASSERT_TRUE(Passphrase()->actions().contains(eye));  // inside the box
  TypePassphrase(QStringLiteral("secret"));
  EXPECT_EQ(Passphrase()->echoMode(), QLineEdit::Password);
  EXPECT_FALSE(eye->isChecked());
  eye->trigger();
  EXPECT_EQ(Passphrase()->echoMode(), QLineEdit::Normal);
  EXPECT_EQ(Passphrase()->displayText(), QStringLiteral("secret"));
  EXPECT_EQ(eye->toolTip(), QStringLiteral("Hide the passphrase"));
  eye->trigger();
  EXPECT_EQ(Passphrase()->echoMode(), QLineEdit::Password);
  EXPECT_EQ(Passphrase()->displayText(), QString(6, u'*'));
  EXPECT_EQ(eye->toolTip(), QStringLiteral("Show the passphrase"));
}

TEST_F(MainWindowTest, CopiedPlaintextIsMarkedSecretAndLeavesTheClipboard) {
  Open();
  window->SetClipboardLifetime(std::chrono::milliseconds(100));
  const QString hint = QStringLiteral("x-kde-passwordManagerHint");
  {
    SCOPED_TRACE("a plaintext: secret, cleared after its lifetime");
    PasteText(QStringLiteral("the plan"));
    Click("btn_Copy");
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("the plan"));
    EXPECT_EQ(data->data(hint), QByteArrayLiteral("secret"));
    EXPECT_EQ(Status(), QStringLiteral("Copied the text; it leaves the clipboard in 1 second"));
    EXPECT_TRUE(QTest::qWaitFor([] { return QGuiApplication::clipboard()->text().isEmpty(); }, 5000));
    EXPECT_EQ(Status(), QStringLiteral("Took the copied text off the clipboard"));
  }
  {
    SCOPED_TRACE("a plaintext replaced by another copy: the other copy stays");
    PasteText(QStringLiteral("the plan"));
    Click("btn_Copy");
    QGuiApplication::clipboard()->setText(QStringLiteral("copied elsewhere"));
    QTest::qWait(300);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("copied elsewhere"));
  }
  {
    SCOPED_TRACE("a hex message: an ordinary text that stays");
    PasteText(Q(ForeignMessage(u"hello", u"pw")).toLower());
    Click("btn_Copy");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(hint));
    QTest::qWait(300);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Memo()->document()->toRawText());
    EXPECT_EQ(Status(), QStringLiteral("Copied the hex text"));
  }
}

TEST_F(MainWindowTest, ProgressTakesOnlyPercentages) {
  Open();
  for (int value : {0, 55, 100}) {
    window->ShowProgress(nullptr, value);
    EXPECT_EQ(ProgressValue(), value);
  }
  window->ShowProgress(nullptr, 101);
  window->ShowProgress(nullptr, -1);
  EXPECT_EQ(ProgressValue(), 100);
}

TEST_F(MainWindowTest, CopyPutsTheWholeMemoOnTheClipboardAndLeavesItSelected) {
  Open();
  const QString text = QStringLiteral("first\u00A0line\t \nsecond ");
  PasteText(text);
  QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
  Click("btn_Copy");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
  const QTextCursor cursor = Memo()->textCursor();
  EXPECT_EQ(cursor.selectionStart(), 0);
  EXPECT_EQ(cursor.selectionEnd(), Memo()->document()->characterCount() - 1);
}

TEST_F(MainWindowTest, PasteReplacesTheMemoWithTheClipboardText) {
  Open();
  Memo()->setPlainText(QStringLiteral("old text"));
  QGuiApplication::clipboard()->setText(QStringLiteral("new\r\ntext"));
  Click("btn_Paste");
  EXPECT_EQ(window->MemoText(), u"new\r\ntext");

  QGuiApplication::clipboard()->clear();
  Click("btn_Paste");
  EXPECT_TRUE(Memo()->document()->isEmpty());

  Memo()->setPlainText(QStringLiteral("old text"));
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QGuiApplication::clipboard()->setImage(image);  // something, but no text
  Click("btn_Paste");
  EXPECT_TRUE(Memo()->document()->isEmpty());
}

TEST_F(MainWindowTest, QuitWhileIdleClosesWithoutAQuestion) {
  Open();
  BoxWatcher boxes;
  Click("btnClose");
  EXPECT_FALSE(window->isVisible());
  QTest::qWait(20);
  EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(MainWindowTest, CloseRequestWhileWorkingAsksFirst) {
  Open();
  const QString question = QStringLiteral("application is working ! Are you sure you want to quit ?");
  {
    SCOPED_TRACE("No: stays open while the run goes on");
    BoxWatcher boxes(QMessageBox::No);
    Busy() = true;
    bool CanClose = true;
    window->FormCloseQuery(window.get(), CanClose);
    EXPECT_FALSE(CanClose);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], question);
  }
  {
    SCOPED_TRACE("No, but the run ended while the box was open");
    BoxWatcher boxes(QMessageBox::No);
    boxes.BeforeAnswer([this] { Busy() = false; });
    Busy() = true;
    bool CanClose = true;
    window->FormCloseQuery(window.get(), CanClose);
    EXPECT_TRUE(CanClose);
  }
  {
    SCOPED_TRACE("Yes: waits for the run to end, then closes");
    BoxWatcher boxes(QMessageBox::Yes);
    Busy() = true;
    QTimer::singleShot(100, [this] { Busy() = false; });
    bool CanClose = true;
    window->FormCloseQuery(window.get(), CanClose);
    EXPECT_TRUE(CanClose);
    EXPECT_FALSE(window->IsWorking());
    EXPECT_EQ(boxes.texts.size(), 1u);
  }
  {
    SCOPED_TRACE("The window's close goes through the question");
    BoxWatcher boxes(QMessageBox::No);
    Busy() = true;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(boxes.texts.size(), 1u);
    Busy() = false;
  }
}

// A hash whose Final waits until the test lets it go: a run as long as a test
// needs, on any machine.
class GatedHash final : public Hash {
 public:
  explicit GatedHash(Component* owner) : Hash(owner), fInner(nullptr) {}
  int32_t Id() const override { return -1; }
  std::u16string Algorithm() const override { return u"Gated MD5"; }
  int32_t HashSize() const override { return 128; }
  bool RunSelfTest() const override { return false; }
  void Init() override { fInner.Init(); }
  void Update(const void* Buffer, uint32_t Size) override { fInner.Update(Buffer, Size); }
  void Final(void* Digest) override {
    while (!open.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    fInner.Final(Digest);
  }
  void Burn() override { fInner.Burn(); }

  static inline std::atomic<bool> open{true};

 private:
  Md5 fInner;
};

TEST_F(MainWindowTest, StaysResponsiveDuringARunAndAsksBeforeClosing) {
  Open([](Component& owner) {
    Component::CreateOwned<Rc4>(owner);
    Component::CreateOwned<GatedHash>(owner);
  });
  TypePassphrase(QStringLiteral("pw"));
  PasteText(QStringLiteral("hello"));
  GatedHash::open = false;
  Click("btnEncrypt");
  ASSERT_TRUE(window->IsWorking());

  // The event loop runs: the window repaints, and the shortcuts and buttons answer.
  QTest::qWait(50);
  EXPECT_TRUE(window->IsWorking());
  EXPECT_EQ(Status(), QStringLiteral("Encrypting..."));
  Click("btnDecrypt");
  EXPECT_EQ(Status(), QStringLiteral("Still working: one run at a time"));
  const QImage shot = window->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  {
    SCOPED_TRACE("No: the window stays and the run goes on");
    BoxWatcher boxes(QMessageBox::No);
    EXPECT_FALSE(window->close());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], QStringLiteral("application is working ! Are you sure you want to quit ?"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->IsWorking());
  }
  {
    SCOPED_TRACE("Yes: the run ends, its result arrives, then the window closes");
    BoxWatcher boxes(QMessageBox::Yes);
    boxes.BeforeAnswer([] { GatedHash::open = true; });
    EXPECT_TRUE(window->close());
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->IsWorking());
    EXPECT_TRUE(HoldsHexText(window->MemoText().view()));
  }
  GatedHash::open = true;
}

TEST_F(MainWindowTest, WithoutCiphersOrHashesTheOptionsLock) {
  struct Case {
    const char* name;
    MainWindow::ComponentFactory create;
    const char* message;
  };
  const Case cases[] = {
      {"no components", [](Component&) {}, "No ciphers were found"},
      {"hashes only", [](Component& o) { Component::CreateOwned<Md5>(o); }, "No ciphers were found"},
      {"ciphers only", [](Component& o) { Component::CreateOwned<Rc4>(o); }, "No hashes were found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BoxWatcher boxes;
    Open(c.create);
    ASSERT_EQ(boxes.texts.size(), 1u);  // the hash list is examined only when there are ciphers
    EXPECT_EQ(boxes.texts[0], QString::fromLatin1(c.message));
    EXPECT_FALSE(Child<QGroupBox>("grpOptions")->isEnabled());
    EXPECT_FALSE(Passphrase()->isEnabled());
    EXPECT_FALSE(Button("btnEncrypt")->isEnabled());
    EXPECT_FALSE(Button("btnDecrypt")->isEnabled());
    // Memo, Copy, Paste and Quit keep working.
    PasteText(QStringLiteral("still here"));
    EXPECT_EQ(window->MemoText(), u"still here");
    EXPECT_TRUE(Button("btnClose")->isEnabled());
  }
}

// Counts its own destruction, to see the window release what it owns.
class Probe final : public Component {
 public:
  explicit Probe(Component* owner) : Component(owner) {}
  ~Probe() override { ++destroyed; }
  static inline int destroyed = 0;
};

TEST_F(MainWindowTest, ReleasesItsComponentsWithItself) {
  Probe::destroyed = 0;
  Open([](Component& owner) {
    CreateAlgorithmComponents(owner);
    Component::CreateOwned<Probe>(owner);
  });
  EXPECT_EQ(Probe::destroyed, 0);
  window.reset();
  EXPECT_EQ(Probe::destroyed, 1);
}

TEST_F(MainWindowTest, KeepsItsSizeRulesAndAnchorsWhenResized) {
  window = std::make_unique<MainWindow>();
  EXPECT_EQ(window->size(), QSize(885, 559));
  EXPECT_EQ(window->minimumSize(), QSize(600, 480));
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  // Centred on the screen it opened on, shrunk to fit if the screen is small.
  const QRect available = window->screen()->availableGeometry();
  EXPECT_TRUE(available.contains(window->frameGeometry()));
  EXPECT_LE((window->frameGeometry().center() - available.center()).manhattanLength(), 2);

  window->resize(300, 200);
  EXPECT_EQ(window->size(), QSize(600, 480));

  auto* top = Child<QWidget>("pnlTop");
  auto* memo = Child<QWidget>("pnlMemo");
  auto* bottom = Child<QWidget>("pnlBottom");
  for (const QSize size : {QSize(600, 480), QSize(885, 559), QSize(1200, 800)}) {
    SCOPED_TRACE(std::to_string(size.width()) + " x " + std::to_string(size.height()));
    window->resize(size);
    QApplication::processEvents();
    const int w = size.width();
    const int h = size.height();
    EXPECT_EQ(top->geometry(), QRect(0, 0, w - 1, 209));
    EXPECT_EQ(memo->geometry(), QRect(0, 215, w - 1, h - 215 - 39));
    EXPECT_EQ(bottom->geometry(), QRect(0, h - 33, w - 1, 33));
    EXPECT_EQ(Child<QGroupBox>("grpOptions")->geometry(), QRect(8, 8, 297, 193));
    EXPECT_EQ(Memo()->geometry(), QRect(QPoint(0, 0), memo->size()));
    // 16 pixels from the panels' right edges, as designed.
    const int right = w - 1 - 16;
    EXPECT_EQ(Button("btnEncrypt")->geometry(), QRect(right - 133, 16, 133, 32));
    EXPECT_EQ(Button("btnDecrypt")->geometry(), QRect(right - 133, 54, 133, 33));
    EXPECT_EQ(Button("btnClose")->geometry(), QRect(right - 133, 111, 133, 33));
    EXPECT_EQ(Button("btn_Copy")->geometry(), QRect(right - 133, 172, 67, 29));
    EXPECT_EQ(Button("btn_Paste")->geometry(), QRect(right - 60, 172, 60, 29));
    EXPECT_EQ(Child<QProgressBar>("Progress")->geometry(), QRect(right - 129, 4, 129, 21));
  }
}

}  // namespace
}  // namespace velsor

int main(int argc, char** argv) {
  // The tests drive the window without a display unless told otherwise.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
