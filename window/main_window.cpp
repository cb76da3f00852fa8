#include "window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QToolButton>
#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

#include "message/components_catalog.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"
#include "message/text_check.h"
#include "window/anchor_layout.h"
#include "window/large_text.h"
#include "window/memo_edit.h"
#include "window/memo_text.h"
#include "window/secret_clipboard.h"

// Resources live in a static library: their registration must be called by
// hand, from outside any namespace.
static void InitVelsorResources() { Q_INIT_RESOURCE(velsor); }

namespace velsor {

// What a run of the codec hands back to the GUI thread.
struct RunOutcome {
  bool decrypt = false;
  QString cipher_name;
  QString hash_name;
  qsizetype characters = 0;                // of the text that was encrypted
  std::shared_ptr<const LargeText> input;  // the memo's text, shared with the memo
  SecretText passphrase;
  std::string hex;    // Encrypt's result, ASCII
  SecretText text;    // Decrypt's result
  std::string error;  // why the run failed, for the status line; empty on success
};

namespace {

const QString kHomePage = QStringLiteral(VELSOR_HOMEPAGE);

// imlButtons: the 24 x 24 button images, closed padlock, open padlock, copy, paste.
constexpr QSize kButtonImageSize(24, 24);
const char* const imlButtons[] = {":/icons/padlock-closed.svg", ":/icons/padlock-open.svg", ":/icons/copy.svg",
                                  ":/icons/paste.svg"};

QLabel* MakeLabel(const QString& text, QWidget* parent, const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

// A button drawn as a tool button, so that image and text start at its left
// edge, 5 pixels in (a text alone stays centred).
QToolButton* MakeButton(const QString& text, QWidget* parent, const char* name) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(text);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setFocusPolicy(Qt::NoFocus);
  button->setIconSize(kButtonImageSize);
  button->setAccessibleName(text);
  return button;
}

QToolButton* MakeImageButton(const QString& hint, int image, QWidget* parent, const char* name) {
  QToolButton* button = MakeButton(QString(), parent, name);
  button->setIcon(QIcon(QString::fromLatin1(imlButtons[image])));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  return button;
}

QLabel* MakeLink(const QString& text, const QString& url, QWidget* parent, const char* name) {
  auto* link =
      MakeLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()), parent, name);
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  link->setOpenExternalLinks(true);  // the desktop's browser; the program itself uses no network
  link->setToolTip(url);
  link->setAccessibleName(text);
  return link;
}

}  // namespace

// ---------------------------------------------------------------------------
// Creation

MainWindow::MainWindow(QWidget* parent) : MainWindow(CreateAlgorithmComponents, parent) {}

MainWindow::MainWindow(const ComponentFactory& create_components, QWidget* parent) : QWidget(parent) {
  InitVelsorResources();
  BuildControls();
  fClipboard = new SecretClipboard(this);
  connect(fClipboard, &SecretClipboard::Cleared, this,
          [this] { ShowStatus(tr("Took the copied text off the clipboard")); });
  create_components(fComponents);
  FormCreate();

  // Either list's selection sets the key size label.
  connect(cbxCipher, &QComboBox::currentIndexChanged, this, &MainWindow::cbxCipherChange);
  connect(cbxHash, &QComboBox::currentIndexChanged, this, &MainWindow::cbxCipherChange);
  connect(boxPassphrase, &QLineEdit::textChanged, this, &MainWindow::boxPassphraseChange);
  connect(boxPassphrase, &QLineEdit::returnPressed, this, &MainWindow::PassphraseReturn);
  connect(actShowPassphrase, &QAction::toggled, this, &MainWindow::TogglePassphraseShown);
  connect(btnEncrypt, &QToolButton::clicked, this, &MainWindow::btnEncryptClick);
  connect(btnDecrypt, &QToolButton::clicked, this, &MainWindow::btnDecryptClick);
  connect(btnClose, &QToolButton::clicked, this, &MainWindow::btnCloseClick);
  connect(btn_Copy, &QToolButton::clicked, this, &MainWindow::btn_CopyClick);
  connect(btn_Paste, &QToolButton::clicked, this, &MainWindow::btn_PasteClick);
}

MainWindow::~MainWindow() {
  // A run still going uses the components: it ends before they go.
  if (fWorker.joinable()) fWorker.join();
  // The components go before the lists that name them: no list may report a
  // change on its way out.
  cbxCipher->disconnect(this);
  cbxHash->disconnect(this);
}

void MainWindow::BuildControls() {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(tr("Velsor    -    Encryption/Decryption utility"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/velsor.svg")));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(13);
  setFont(font);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  resize(885, 559);

  auto* form = new AnchorLayout(this, QSize(885, 559));
  pnlTop = new QWidget(this);
  pnlTop->setObjectName(QStringLiteral("pnlTop"));
  pnlMemo = new QWidget(this);
  pnlMemo->setObjectName(QStringLiteral("pnlMemo"));
  pnlBottom = new QWidget(this);
  pnlBottom->setObjectName(QStringLiteral("pnlBottom"));
  form->Place(pnlTop, QRect(0, 0, 884, 209), akLeft | akTop | akRight);
  form->Place(pnlMemo, QRect(0, 215, 884, 305), akAll);
  form->Place(pnlBottom, QRect(0, 526, 884, 33), akLeft | akRight | akBottom);

  BuildOptions();
  BuildActions();
  BuildMemo();
  BuildBottom();
  BuildShortcuts();

  // Keyboard focus: cipher list, hash list, passphrase, memo; the buttons take none.
  setTabOrder(cbxCipher, cbxHash);
  setTabOrder(cbxHash, boxPassphrase);
  setTabOrder(boxPassphrase, Memo1);
}

// Options: the two lists, the key size and the passphrase.
void MainWindow::BuildOptions() {
  auto* top = new AnchorLayout(pnlTop, QSize(884, 209));
  grpOptions = new QGroupBox(tr("Options"), pnlTop);
  grpOptions->setObjectName(QStringLiteral("grpOptions"));
  top->Place(grpOptions, QRect(8, 8, 297, 193), akTopLeft);

  auto* options = new AnchorLayout(grpOptions, QSize(297, 193));
  lblCipher = MakeLabel(tr("&Cipher"), grpOptions, "lblCipher");
  cbxCipher = new QComboBox(grpOptions);
  cbxCipher->setObjectName(QStringLiteral("cbxCipher"));
  cbxCipher->setAccessibleName(tr("Cipher"));
  lblHash = MakeLabel(tr("&Hash"), grpOptions, "lblHash");
  cbxHash = new QComboBox(grpOptions);
  cbxHash->setObjectName(QStringLiteral("cbxHash"));
  cbxHash->setAccessibleName(tr("Hash"));
  lblKeySize = MakeLabel(tr("Effective key size:"), grpOptions, "lblKeySize");
  dblKeySize = MakeLabel(QString(), grpOptions, "dblKeySize");
  dblKeySize->setAccessibleName(tr("Effective key size"));
  lblPassphrase = MakeLabel(tr("&Passphrase"), grpOptions, "lblPassphrase");
  boxPassphrase = new QLineEdit(grpOptions);
  boxPassphrase->setObjectName(QStringLiteral("boxPassphrase"));
  boxPassphrase->setAccessibleName(tr("Passphrase"));
  boxPassphrase->setEchoMode(QLineEdit::Password);
  boxPassphrase->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));  // "*"
  // The eye inside the box shows and hides what was typed.
  actShowPassphrase = boxPassphrase->addAction(QIcon(QStringLiteral(":/icons/eye.svg")), QLineEdit::TrailingPosition);
  actShowPassphrase->setObjectName(QStringLiteral("actShowPassphrase"));
  actShowPassphrase->setCheckable(true);
  actShowPassphrase->setToolTip(tr("Show the passphrase"));
  // The labels' mnemonics (Alt+C, Alt+H, Alt+P) move the focus to their buddies.
  lblCipher->setBuddy(cbxCipher);
  lblHash->setBuddy(cbxHash);
  lblPassphrase->setBuddy(boxPassphrase);

  options->Place(lblCipher, QRect(8, 24, 0, 0), akTopLeft);
  options->Place(cbxCipher, QRect(8, 40, 265, 24), akTopLeft);
  options->Place(lblHash, QRect(8, 72, 0, 0), akTopLeft);
  options->Place(cbxHash, QRect(8, 88, 265, 24), akTopLeft);
  options->Place(lblKeySize, QRect(8, 120, 0, 0), akTopLeft);
  // The value follows its caption, also with a font wider than the one designed for.
  const int value_left = std::max(116, 8 + lblKeySize->sizeHint().width() + 4);
  options->Place(dblKeySize, QRect(value_left, 120, 0, 0), akTopLeft);
  options->Place(lblPassphrase, QRect(8, 144, 0, 0), akTopLeft);
  options->Place(boxPassphrase, QRect(8, 160, 265, 24), akTopLeft);
}

// Actions, anchored to the right edge.
void MainWindow::BuildActions() {
  auto* top = static_cast<AnchorLayout*>(pnlTop->layout());
  btnEncrypt = MakeButton(tr("Encrypt"), pnlTop, "btnEncrypt");
  btnEncrypt->setIcon(QIcon(QString::fromLatin1(imlButtons[0])));
  btnDecrypt = MakeButton(tr("Decrypt"), pnlTop, "btnDecrypt");
  btnDecrypt->setIcon(QIcon(QString::fromLatin1(imlButtons[1])));
  btnClose = MakeButton(tr("Quit"), pnlTop, "btnClose");
  btnClose->setToolTip(tr("Quit (Ctrl+Q)"));
  btn_Copy = MakeImageButton(tr("Copy"), 2, pnlTop, "btn_Copy");
  btn_Paste = MakeImageButton(tr("Paste"), 3, pnlTop, "btn_Paste");
  btnEncrypt->setEnabled(false);
  btnDecrypt->setEnabled(false);
  UpdateActionHints();
  top->Place(btnEncrypt, QRect(735, 16, 133, 32), akTopRight);
  top->Place(btnDecrypt, QRect(735, 54, 133, 33), akTopRight);
  top->Place(btnClose, QRect(735, 111, 133, 33), akTopRight);
  top->Place(btn_Copy, QRect(735, 172, 67, 29), akTopRight);
  top->Place(btn_Paste, QRect(808, 172, 60, 29), akTopRight);
}

// The memo fills its panel; long lines wrap at its edge without a line break
// entering the text, and Tab moves on to the next control.
void MainWindow::BuildMemo() {
  auto* memo = new AnchorLayout(pnlMemo, QSize(884, 305));
  Memo1 = new MemoEdit(pnlMemo);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAccessibleName(tr("Message"));
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Memo1->setTabChangesFocus(true);
  connect(Memo1, &MemoEdit::Notice, this, &MainWindow::ShowStatus);
  memo->Place(Memo1, QRect(0, 0, 884, 305), akAll);
}

// Links, the status line and the progress bar.
void MainWindow::BuildBottom() {
  auto* bottom = new AnchorLayout(pnlBottom, QSize(884, 33));
  lnkMaker = MakeLink(QStringLiteral("Velsor"), kHomePage, pnlBottom, "lnkMaker");
  QString address = kHomePage;
  address.remove(QStringLiteral("https://"));
  if (address.endsWith(u'/')) address.chop(1);
  lnkWebsite = MakeLink(address, kHomePage, pnlBottom, "lnkWebsite");
  // What the last click did, in two lines at most; the tooltip holds it whole.
  lblStatus = MakeLabel(QString(), pnlBottom, "lblStatus");
  lblStatus->setAccessibleName(tr("Status"));
  lblStatus->setWordWrap(true);
  lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Progress = new QProgressBar(pnlBottom);
  Progress->setObjectName(QStringLiteral("Progress"));
  Progress->setAccessibleName(tr("Progress"));
  Progress->setRange(0, 100);
  Progress->setValue(0);
  Progress->setTextVisible(false);
  bottom->Place(lnkMaker, QRect(8, 3, 89, 16), akTopLeft);
  bottom->Place(lnkWebsite, QRect(139, 3, 142, 16), akTopLeft);
  bottom->Place(lblStatus, QRect(290, 1, 441, 31), akLeft | akTop | akRight);
  bottom->Place(Progress, QRect(739, 4, 129, 21), akRight | akBottom);
}

void MainWindow::BuildShortcuts() {
  // A shortcut on a disabled action says why it is off.
  auto guarded = [this](QToolButton* button, void (MainWindow::*click)()) {
    return [this, button, click] {
      if (button->isEnabled())
        (this->*click)();
      else
        ShowStatus(button->toolTip());
    };
  };
  const struct {
    QString keys;
    std::function<void()> action;
  } shortcuts[] = {
      {tr("Ctrl+E"), guarded(btnEncrypt, &MainWindow::btnEncryptClick)},
      {tr("Ctrl+D"), guarded(btnDecrypt, &MainWindow::btnDecryptClick)},
      {tr("Ctrl+Q"), [this] { btnCloseClick(); }},
      {tr("Ctrl+Shift+C"), [this] { btn_CopyClick(); }},
      {tr("Ctrl+Shift+V"), [this] { btn_PasteClick(); }},
  };
  for (const auto& s : shortcuts) {
    fShortcutKeys.push_back(QKeySequence(s.keys));
    auto* shortcut = new QShortcut(fShortcutKeys.back(), this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, s.action);
  }
  // The editors take some of these keys for themselves on some desktops
  // (Ctrl+E is "end of line" on X11): the window's shortcuts come first.
  boxPassphrase->installEventFilter(this);
  Memo1->installEventFilter(this);
  btn_Copy->setToolTip(tr("Copy (Ctrl+Shift+C)"));
  btn_Paste->setToolTip(tr("Paste (Ctrl+Shift+V)"));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    // Filtered out unaccepted, so the editor cannot claim the key.
    if (fShortcutKeys.contains(pressed)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::FormCreate() {
  setMinimumSize(600, 480);
  // Salt and IV bytes come from the system's cryptographic generator
  // (SystemRandomBytes), which needs no seed: there is nothing to seed here.

  // Every owned component that is a cipher or a hash becomes an entry; the
  // lists show them sorted without regard to case, and entry i of a list is
  // element i of its vector.
  fCiphers = ListCiphers(fComponents);
  fHashes = ListHashes(fComponents);
  for (const Cipher* cipher : fCiphers) cbxCipher->addItem(QString::fromStdU16String(cipher->Algorithm()));
  for (const Hash* hash : fHashes) cbxHash->addItem(QString::fromStdU16String(hash->Algorithm()));

  if (cbxCipher->count() == 0) {
    QMessageBox::critical(this, windowTitle(), tr("No ciphers were found"), QMessageBox::Ok);
    DisableActions();
    return;
  }
  cbxCipher->setCurrentIndex(0);
  if (cbxHash->count() == 0) {
    QMessageBox::critical(this, windowTitle(), tr("No hashes were found"), QMessageBox::Ok);
    DisableActions();
    return;
  }
  cbxHash->setCurrentIndex(0);
  cbxCipherChange();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (fCentred || event->spontaneous()) return;
  fCentred = true;
  // Centred on the screen at the first show; on a screen too small for the
  // designed size the window shrinks to fit, down to its minimum.
  const QScreen* where = screen();
  if (where == nullptr) return;
  const QRect available = where->availableGeometry();
  // The frame, where the platform already knows it, counts too.
  const QSize frame = frameGeometry().size() - geometry().size();
  resize(size().boundedTo(available.size() - frame).expandedTo(minimumSize()));
  QRect bounds(QPoint(0, 0), size() + frame);
  bounds.moveCenter(available.center());
  move(std::max(bounds.left(), available.left()), std::max(bounds.top(), available.top()));
}

// ---------------------------------------------------------------------------
// Selection, key size, passphrase

Cipher* MainWindow::SelectedCipher() const {
  const int index = cbxCipher->currentIndex();
  return index >= 0 && static_cast<std::size_t>(index) < fCiphers.size() ? fCiphers[static_cast<std::size_t>(index)]
                                                                         : nullptr;
}

Hash* MainWindow::SelectedHash() const {
  const int index = cbxHash->currentIndex();
  return index >= 0 && static_cast<std::size_t>(index) < fHashes.size() ? fHashes[static_cast<std::size_t>(index)]
                                                                        : nullptr;
}

void MainWindow::cbxCipherChange() {
  const Cipher* cipher = SelectedCipher();
  const Hash* hash = SelectedHash();
  if (cipher == nullptr || hash == nullptr) return;
  dblKeySize->setText(tr("%1 bits").arg(EffectiveKeySize(*cipher, *hash)));
}

void MainWindow::boxPassphraseChange() {
  // Not trimmed: a single space is a passphrase.
  const bool typed = !boxPassphrase->text().isEmpty();
  btnEncrypt->setEnabled(typed);
  btnDecrypt->setEnabled(typed);
  UpdateActionHints();
}

void MainWindow::UpdateActionHints() {
  const bool locked = grpOptions != nullptr && !grpOptions->isEnabled();
  const QString why = locked ? tr("The cipher or hash list is empty") : tr("Type a passphrase first");
  btnEncrypt->setToolTip(btnEncrypt->isEnabled() ? tr("Encrypt the memo's text (Ctrl+E)") : why);
  btnDecrypt->setToolTip(btnDecrypt->isEnabled() ? tr("Decrypt the hex text in the memo (Ctrl+D)") : why);
}

void MainWindow::PassphraseReturn() {
  if (!btnEncrypt->isEnabled()) {
    ShowStatus(btnEncrypt->toolTip());
    return;
  }
  // Enter decrypts a hex text and encrypts anything else.
  if (HoldsHexText(MemoText().view()))
    btnDecryptClick();
  else
    btnEncryptClick();
}

void MainWindow::TogglePassphraseShown(bool shown) {
  boxPassphrase->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
  actShowPassphrase->setIcon(QIcon(shown ? QStringLiteral(":/icons/eye-off.svg") : QStringLiteral(":/icons/eye.svg")));
  actShowPassphrase->setToolTip(shown ? tr("Hide the passphrase") : tr("Show the passphrase"));
}

SecretText MainWindow::TypedPassphrase() const {
  // text() shares the line edit's own buffer, which no caller can wipe; the
  // one copy made here wipes itself.
  const QString typed = boxPassphrase->text();
  return SecretText(reinterpret_cast<const char16_t*>(typed.utf16()), static_cast<std::size_t>(typed.size()));
}

void MainWindow::DisableActions() {
  grpOptions->setEnabled(false);
  btnEncrypt->setEnabled(false);
  btnDecrypt->setEnabled(false);
  UpdateActionHints();
}

void MainWindow::ShowStatus(const QString& text) {
  lblStatus->setText(text);
  lblStatus->setToolTip(text);
}

SecretText MainWindow::MemoText() const { return Memo1->CodecText(); }

void MainWindow::SetClipboardLifetime(std::chrono::milliseconds lifetime) { fClipboard->SetLifetime(lifetime); }

// ---------------------------------------------------------------------------
// Actions

bool MainWindow::AcceptClick(Hash*& hash, Cipher*& cipher) {
  if (Working) {
    ShowStatus(tr("Still working: one run at a time"));
    return false;
  }
  Progress->setValue(0);
  hash = SelectedHash();
  cipher = SelectedCipher();
  return hash != nullptr && cipher != nullptr;  // no lists: the actions stay off
}

void MainWindow::btnEncryptClick() {
  Hash* hash = nullptr;
  Cipher* cipher = nullptr;
  if (!AcceptClick(hash, cipher)) return;
  std::shared_ptr<const LargeText> text = Memo1->Snapshot();
  if (text->IsBlank()) {
    ShowStatus(tr("Encrypt needs a text in the memo"));
    return;
  }
  EncryptMemo(std::move(text), TypedPassphrase(), *hash, *cipher);
}

void MainWindow::btnDecryptClick() {
  Hash* hash = nullptr;
  Cipher* cipher = nullptr;
  if (!AcceptClick(hash, cipher)) return;
  DecryptMemo(Memo1->Snapshot(), TypedPassphrase(), *hash, *cipher);
}

void MainWindow::AttachProgress(Cipher& cipher) {
  // Called on the worker thread: the value reaches the bar through the event loop.
  cipher.SetOnProgressEvent([this](Component* sender, int32_t value) {
    QMetaObject::invokeMethod(
        this, [this, sender, value] { ShowProgress(sender, value); }, Qt::QueuedConnection);
  });
}

void MainWindow::EncryptMemo(std::shared_ptr<const LargeText> memo, SecretText passphrase, Hash& hash, Cipher& cipher) {
  StartRun(false, std::move(memo), std::move(passphrase), hash, cipher);
}

void MainWindow::DecryptMemo(std::shared_ptr<const LargeText> memo, SecretText passphrase, Hash& hash, Cipher& cipher) {
  StartRun(true, std::move(memo), std::move(passphrase), hash, cipher);
}

void MainWindow::StartRun(bool decrypt, std::shared_ptr<const LargeText> memo, SecretText passphrase, Hash& hash,
                          Cipher& cipher) {
  Working = true;
  Memo1->setReadOnly(true);  // the memo is replaced by the result
  AttachProgress(cipher);
  ShowStatus(decrypt ? tr("Decrypting...") : tr("Encrypting..."));
  auto outcome = std::make_shared<RunOutcome>();
  outcome->decrypt = decrypt;
  outcome->cipher_name = cbxCipher->currentText();
  outcome->hash_name = cbxHash->currentText();
  outcome->input = std::move(memo);
  outcome->passphrase = std::move(passphrase);
  if (fWorker.joinable()) fWorker.join();
  fWorker = std::thread([this, outcome, &hash, &cipher] {
    RunOutcome& run = *outcome;
    // Every failure has its words on the status line; the memo keeps its text.
    try {
      const LargeText& input = *run.input;
      if (run.decrypt) {
        run.text = input.IsAscii() ? DecryptMessage(input.Ascii(), run.passphrase.view(), hash, cipher)
                                   : DecryptMessage(input.Wide(), run.passphrase.view(), hash, cipher);
      } else {
        const SecretText widened = input.IsAscii() ? input.CodecText() : SecretText();
        const std::u16string_view text = input.IsAscii() ? widened.view() : input.Wide();
        run.characters = CountCharacters(text);
        run.hex = EncryptMessageToHex(text, run.passphrase.view(), hash, cipher, SystemRandomBytes);
      }
    } catch (const Exception& e) {
      run.error = e.what();  // written for the user
    } catch (const std::exception& e) {
      run.error = std::string(run.decrypt ? "Decrypt" : "Encrypt") + " failed: " + e.what();
    }
    run.input.reset();  // the memo's own text wipes itself when the memo lets it go
    run.passphrase.Wipe();
    QMetaObject::invokeMethod(
        this, [this, outcome] { FinishRun(outcome); }, Qt::QueuedConnection);
  });
}

void MainWindow::FinishRun(const std::shared_ptr<RunOutcome>& outcome) {
  if (fWorker.joinable()) fWorker.join();
  Memo1->setReadOnly(false);
  if (!outcome->error.empty()) {
    ShowStatus(QString::fromStdString(outcome->error));
  } else if (!outcome->decrypt) {
    Memo1->ReplaceAsciiText(std::move(outcome->hex));
    ShowStatus(tr("Encrypted %1 characters with %2 and %3")
                   .arg(outcome->characters)
                   .arg(outcome->cipher_name, outcome->hash_name));
  } else {
    // The memo takes the text up to its first code unit 0.
    const std::u16string_view all = outcome->text.view();
    const std::u16string_view shown = all.substr(0, LengthBeforeNul(all));
    QString status = tr("Decrypted %1 characters").arg(CountCharacters(shown));
    if (shown.size() < all.size())
      status = tr("Decrypted %1 characters; the text holds U+0000 after them, and the rest is not shown")
                   .arg(CountCharacters(shown));
    // The format has no check value: this is a hint, the result stays as it is.
    if (!LooksLikeText(all)) {
      const QString hint =
          tr("This does not look like text: check the passphrase, cipher and hash (Ctrl+Z restores the hex text)");
      status = shown.size() < all.size() ? status + QStringLiteral(". ") + hint : hint;
    }
    // The whole result is handed over as it is; a shortened one is copied.
    Memo1->ReplaceText(shown.size() == all.size() ? std::move(outcome->text) : SecretText(shown));
    ShowStatus(status);
  }
  Working = false;
}

void MainWindow::ShowProgress(Component* Sender, int32_t value) {
  (void)Sender;
  if (value >= 0 && value <= 100) Progress->setValue(value);
}

void MainWindow::btnCloseClick() { close(); }

void MainWindow::btn_CopyClick() {
  Memo1->SelectWhole();
  // The clipboard gets the text exactly, no-break spaces included, with the
  // platform's line breaks. A plaintext goes as a secret that leaves the
  // clipboard again; a hex message stays, to be pasted into mail later.
  QString text = Memo1->Text(u"\n");
  if (text.isEmpty() || HoldsHexText(QStringView(text))) {
    fClipboard->CopyPlain(text);
    ShowStatus(tr("Copied the hex text"));
  } else {
    fClipboard->CopySecret(text);
    const auto seconds = (fClipboard->Lifetime().count() + 999) / 1000;
    ShowStatus(seconds == 1 ? tr("Copied the text; it leaves the clipboard in 1 second")
                            : tr("Copied the text; it leaves the clipboard in %1 seconds").arg(seconds));
  }
  WipeOwnedText(text);
}

void MainWindow::btn_PasteClick() {
  if (Working) {
    ShowStatus(tr("Still working: one run at a time"));
    return;
  }
  // One undoable step: the clipboard's text, if any, replaces the memo's.
  const QString text = QGuiApplication::clipboard()->text();
  Memo1->ReplaceText(text);
  Memo1->moveCursor(QTextCursor::End);
  ShowStatus(tr("Pasted %1 characters").arg(CountCharacters(QStringView(text))));
}

// ---------------------------------------------------------------------------
// Closing

void MainWindow::closeEvent(QCloseEvent* event) {
  bool CanClose = true;
  FormCloseQuery(this, CanClose);
  if (CanClose)
    event->accept();
  else
    event->ignore();
}

void MainWindow::FormCloseQuery(QObject* Sender, bool& CanClose) {
  (void)Sender;
  if (!Working) return;
  QMessageBox question(QMessageBox::Question, windowTitle(),
                       tr("application is working ! Are you sure you want to quit ?"),
                       QMessageBox::Yes | QMessageBox::No, this);
  question.setObjectName(QStringLiteral("closeQuestion"));
  if (question.exec() == QMessageBox::Yes) {
    // Let the run end first; waiting for events does not spin the processor.
    while (Working) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return;
  }
  CanClose = !Working;
}

}  // namespace velsor
