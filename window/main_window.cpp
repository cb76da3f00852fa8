#include "window/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <vector>

#include "message/components_catalog.h"
#include "message/hex_text.h"
#include "message/message_codec.h"
#include "message/random_bytes.h"
#include "crypto/bytes.h"

// Resources live in a static library: their registration must be called by
// hand, from outside any namespace.
static void InitVelsorResources() { Q_INIT_RESOURCE(velsor); }

namespace velsor {

bool Working = false;

namespace {

const QString kCaption = QStringLiteral("Velsor    -    Encryption/Decryption utility");
const QString kNoCiphers = QStringLiteral("No ciphers were found");
const QString kNoHashes = QStringLiteral("No hashes were found");
const QString kCloseQuestion = QStringLiteral("application is working ! Are you sure you want to quit ?");
const QString kHomePage = QStringLiteral("https://velsor.example/");

// imlButtons: the 24 x 24 button images, closed padlock, open padlock, copy, paste.
constexpr QSize kButtonImageSize(24, 24);
const char* const imlButtons[] = {":/icons/padlock-closed.svg", ":/icons/padlock-open.svg", ":/icons/copy.svg",
                                  ":/icons/paste.svg"};

// Copies of memo and passphrase text are wiped when they go out of scope.
class WipedText {
 public:
  explicit WipedText(std::u16string text) : fText(std::move(text)) {}
  ~WipedText() { secure_wipe(fText.data(), fText.size() * sizeof(char16_t)); }
  WipedText(const WipedText&) = delete;
  WipedText& operator=(const WipedText&) = delete;
  const std::u16string& str() const { return fText; }

 private:
  std::u16string fText;
};

void WipeQString(QString& text) {
  if (!text.isEmpty()) secure_wipe(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
}

std::u16string ToU16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

// True when nothing is left once every code unit up to U+0020 is trimmed.
bool IsBlank(const std::u16string& text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= u' '; });
}

// The document separates paragraphs with U+2029 and keeps U+2028 for a line
// break inside one; both are line breaks the user sees.
bool IsDocumentLineBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

// ---------------------------------------------------------------------------
// Anchored placement: each child keeps the bounds it was designed with,
// relative to its parent's top-left corner, and the anchored edges keep their
// distance to the parent's edges when the parent is resized.

enum Anchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
constexpr unsigned akTopLeft = akLeft | akTop;
constexpr unsigned akTopRight = akTop | akRight;
constexpr unsigned akAll = akLeft | akTop | akRight | akBottom;

class AnchorLayout final : public QLayout {
 public:
  // designed: the parent's size that the bounds were laid out for.
  AnchorLayout(QWidget* parent, QSize designed) : QLayout(parent), fDesigned(designed) {
    setContentsMargins(0, 0, 0, 0);
    setSizeConstraint(QLayout::SetNoConstraint);
  }

  // An empty size in bounds means the widget's own size hint (an auto-sized label).
  void Place(QWidget* widget, QRect bounds, unsigned anchors) {
    addChildWidget(widget);
    fItems.push_back({std::make_unique<QWidgetItem>(widget), bounds, anchors});
    invalidate();
  }

  void addItem(QLayoutItem* item) override { fItems.push_back({std::unique_ptr<QLayoutItem>(item), {}, akTopLeft}); }
  int count() const override { return static_cast<int>(fItems.size()); }
  QLayoutItem* itemAt(int index) const override {
    return index >= 0 && index < count() ? fItems[static_cast<std::size_t>(index)].item.get() : nullptr;
  }
  QLayoutItem* takeAt(int index) override {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = fItems[static_cast<std::size_t>(index)].item.release();
    fItems.erase(fItems.begin() + index);
    return item;
  }
  QSize sizeHint() const override { return fDesigned; }
  QSize minimumSize() const override { return {0, 0}; }

  void setGeometry(const QRect& rect) override {
    QLayout::setGeometry(rect);
    // Bounds are relative to the whole parent, not to its contents rectangle,
    // so a group box's children sit where they were designed, under its title.
    const QSize area = parentWidget() != nullptr ? parentWidget()->size() : rect.size();
    for (const Entry& e : fItems) {
      QRect b = e.bounds;
      if (b.size().isEmpty()) b.setSize(e.item->sizeHint());
      const int right_gap = fDesigned.width() - (e.bounds.x() + b.width());
      const int bottom_gap = fDesigned.height() - (e.bounds.y() + b.height());
      int x = b.x(), w = b.width(), y = b.y(), h = b.height();
      if (e.anchors & akRight) {
        if (e.anchors & akLeft)
          w = area.width() - right_gap - x;
        else
          x = area.width() - right_gap - w;
      }
      if (e.anchors & akBottom) {
        if (e.anchors & akTop)
          h = area.height() - bottom_gap - y;
        else
          y = area.height() - bottom_gap - h;
      }
      // Straight to the widget: the bounds hold whatever its size policy says.
      const QRect placed(x, y, std::max(w, 0), std::max(h, 0));
      if (QWidget* widget = e.item->widget())
        widget->setGeometry(placed);
      else
        e.item->setGeometry(placed);
    }
  }

 private:
  struct Entry {
    std::unique_ptr<QLayoutItem> item;
    QRect bounds;
    unsigned anchors;
  };
  QSize fDesigned;
  std::vector<Entry> fItems;
};

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
  create_components(fComponents);
  FormCreate();

  // Either list's selection sets the key size label.
  connect(cbxCipher, &QComboBox::currentIndexChanged, this, &MainWindow::cbxCipherChange);
  connect(cbxHash, &QComboBox::currentIndexChanged, this, &MainWindow::cbxCipherChange);
  connect(boxPassphrase, &QLineEdit::textChanged, this, &MainWindow::boxPassphraseChange);
  connect(btnEncrypt, &QToolButton::clicked, this, &MainWindow::btnEncryptClick);
  connect(btnDecrypt, &QToolButton::clicked, this, &MainWindow::btnDecryptClick);
  connect(btnClose, &QToolButton::clicked, this, &MainWindow::btnCloseClick);
  connect(btn_Copy, &QToolButton::clicked, this, &MainWindow::btn_CopyClick);
  connect(btn_Paste, &QToolButton::clicked, this, &MainWindow::btn_PasteClick);
}

MainWindow::~MainWindow() {
  // The components go before the lists that point at them: no list may report
  // a change on its way out.
  cbxCipher->disconnect(this);
  cbxHash->disconnect(this);
}

void MainWindow::BuildControls() {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(kCaption);
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

  // Options: the two lists, the key size and the passphrase.
  auto* top = new AnchorLayout(pnlTop, QSize(884, 209));
  grpOptions = new QGroupBox(QStringLiteral("Options"), pnlTop);
  grpOptions->setObjectName(QStringLiteral("grpOptions"));
  top->Place(grpOptions, QRect(8, 8, 297, 193), akTopLeft);

  auto* options = new AnchorLayout(grpOptions, QSize(297, 193));
  lblCipher = MakeLabel(QStringLiteral("Cipher"), grpOptions, "lblCipher");
  cbxCipher = new QComboBox(grpOptions);
  cbxCipher->setObjectName(QStringLiteral("cbxCipher"));
  cbxCipher->setAccessibleName(QStringLiteral("Cipher"));
  lblHash = MakeLabel(QStringLiteral("Hash"), grpOptions, "lblHash");
  cbxHash = new QComboBox(grpOptions);
  cbxHash->setObjectName(QStringLiteral("cbxHash"));
  cbxHash->setAccessibleName(QStringLiteral("Hash"));
  lblKeySize = MakeLabel(QStringLiteral("Effective key size:"), grpOptions, "lblKeySize");
  dblKeySize = MakeLabel(QString(), grpOptions, "dblKeySize");
  dblKeySize->setAccessibleName(QStringLiteral("Effective key size"));
  lblPassphrase = MakeLabel(QStringLiteral("Passphrase"), grpOptions, "lblPassphrase");
  boxPassphrase = new QLineEdit(grpOptions);
  boxPassphrase->setObjectName(QStringLiteral("boxPassphrase"));
  boxPassphrase->setAccessibleName(QStringLiteral("Passphrase"));
  boxPassphrase->setEchoMode(QLineEdit::Password);
  boxPassphrase->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));  // "*"
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

  // Actions, anchored to the right edge.
  btnEncrypt = MakeButton(QStringLiteral("Encrypt"), pnlTop, "btnEncrypt");
  btnEncrypt->setIcon(QIcon(QString::fromLatin1(imlButtons[0])));
  btnDecrypt = MakeButton(QStringLiteral("Decrypt"), pnlTop, "btnDecrypt");
  btnDecrypt->setIcon(QIcon(QString::fromLatin1(imlButtons[1])));
  btnClose = MakeButton(QStringLiteral("Quit"), pnlTop, "btnClose");
  btn_Copy = MakeButton(QString(), pnlTop, "btn_Copy");
  btn_Copy->setIcon(QIcon(QString::fromLatin1(imlButtons[2])));
  btn_Copy->setToolButtonStyle(Qt::ToolButtonIconOnly);
  btn_Copy->setToolTip(QStringLiteral("Copy"));
  btn_Copy->setAccessibleName(QStringLiteral("Copy"));
  btn_Paste = MakeButton(QString(), pnlTop, "btn_Paste");
  btn_Paste->setIcon(QIcon(QString::fromLatin1(imlButtons[3])));
  btn_Paste->setToolButtonStyle(Qt::ToolButtonIconOnly);
  btn_Paste->setToolTip(QStringLiteral("Paste"));
  btn_Paste->setAccessibleName(QStringLiteral("Paste"));
  btnEncrypt->setEnabled(false);
  btnDecrypt->setEnabled(false);
  top->Place(btnEncrypt, QRect(735, 16, 133, 32), akTopRight);
  top->Place(btnDecrypt, QRect(735, 54, 133, 33), akTopRight);
  top->Place(btnClose, QRect(735, 111, 133, 33), akTopRight);
  top->Place(btn_Copy, QRect(735, 172, 67, 29), akTopRight);
  top->Place(btn_Paste, QRect(808, 172, 60, 29), akTopRight);

  // The memo fills its panel; long lines wrap at its edge without a line
  // break entering the text, and Tab moves on to the next control.
  auto* memo = new AnchorLayout(pnlMemo, QSize(884, 305));
  Memo1 = new QPlainTextEdit(pnlMemo);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setAccessibleName(QStringLiteral("Message"));
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Memo1->setTabChangesFocus(true);
  memo->Place(Memo1, QRect(0, 0, 884, 305), akAll);

  // Links and progress.
  auto* bottom = new AnchorLayout(pnlBottom, QSize(884, 33));
  lnkMaker = MakeLink(QStringLiteral("Velsor"), kHomePage, pnlBottom, "lnkMaker");
  QString address = kHomePage;
  address.remove(QStringLiteral("https://"));
  if (address.endsWith(u'/')) address.chop(1);
  lnkWebsite = MakeLink(address, kHomePage, pnlBottom, "lnkWebsite");
  Progress = new QProgressBar(pnlBottom);
  Progress->setObjectName(QStringLiteral("Progress"));
  Progress->setAccessibleName(QStringLiteral("Progress"));
  Progress->setRange(0, 100);
  Progress->setValue(0);
  Progress->setTextVisible(false);
  bottom->Place(lnkMaker, QRect(8, 3, 89, 16), akTopLeft);
  bottom->Place(lnkWebsite, QRect(139, 3, 142, 16), akTopLeft);
  bottom->Place(Progress, QRect(739, 4, 129, 21), akRight | akBottom);

  // Keyboard focus: cipher list, hash list, passphrase, memo; the buttons take none.
  setTabOrder(cbxCipher, cbxHash);
  setTabOrder(cbxHash, boxPassphrase);
  setTabOrder(boxPassphrase, Memo1);
}

void MainWindow::FormCreate() {
  setMinimumSize(600, 480);
  // Salt and IV bytes come from the system's cryptographic generator
  // (SystemRandomBytes), which needs no seed: there is nothing to seed here.

  // Every owned component that is a cipher or a hash becomes an entry carrying
  // it; the lists are sorted without regard to case.
  for (Cipher* cipher : ListCiphers(fComponents)) {
    cbxCipher->addItem(QString::fromStdU16String(cipher->Algorithm()),
                       QVariant::fromValue(static_cast<void*>(static_cast<Component*>(cipher))));
  }
  for (Hash* hash : ListHashes(fComponents)) {
    cbxHash->addItem(QString::fromStdU16String(hash->Algorithm()),
                     QVariant::fromValue(static_cast<void*>(static_cast<Component*>(hash))));
  }

  if (cbxCipher->count() == 0) {
    QMessageBox::critical(this, kCaption, kNoCiphers, QMessageBox::Ok);
    DisableActions();
    return;
  }
  cbxCipher->setCurrentIndex(0);
  if (cbxHash->count() == 0) {
    QMessageBox::critical(this, kCaption, kNoHashes, QMessageBox::Ok);
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
// Selection and key size

Cipher* MainWindow::SelectedCipher() const {
  return dynamic_cast<Cipher*>(static_cast<Component*>(cbxCipher->currentData().value<void*>()));
}

Hash* MainWindow::SelectedHash() const {
  return dynamic_cast<Hash*>(static_cast<Component*>(cbxHash->currentData().value<void*>()));
}

void MainWindow::cbxCipherChange() {
  const Cipher* cipher = SelectedCipher();
  const Hash* hash = SelectedHash();
  if (cipher == nullptr || hash == nullptr) return;
  dblKeySize->setText(QString::number(EffectiveKeySize(*cipher, *hash)) + QStringLiteral(" bits"));
}

void MainWindow::boxPassphraseChange() {
  // Not trimmed: a single space is a passphrase.
  const bool typed = !boxPassphrase->text().isEmpty();
  btnEncrypt->setEnabled(typed);
  btnDecrypt->setEnabled(typed);
}

void MainWindow::DisableActions() {
  grpOptions->setEnabled(false);
  btnEncrypt->setEnabled(false);
  btnDecrypt->setEnabled(false);
}

// ---------------------------------------------------------------------------
// The memo's text

std::u16string MainWindow::MemoText() const {
  // Not toPlainText: it turns a no-break space into a space.
  QString raw = Memo1->document()->toRawText();
  std::u16string text;
  text.reserve(static_cast<std::size_t>(raw.size()) + 64);
  for (const QChar c : raw) {
    if (IsDocumentLineBreak(c))
      text += u"\r\n";
    else
      text += static_cast<char16_t>(c.unicode());
  }
  WipeQString(raw);
  return text;
}

void MainWindow::SetMemoText(const std::u16string& text) {
  // The memo takes a text up to its first code unit 0; CR LF (as LF or CR
  // alone) starts a new line.
  const std::size_t end = std::min(text.find(u'\0'), text.size());
  QString shown = QString::fromUtf16(text.data(), static_cast<qsizetype>(end));
  Memo1->setPlainText(shown);
  WipeQString(shown);
}

// ---------------------------------------------------------------------------
// Actions

void MainWindow::btnEncryptClick() {
  if (Working) return;
  if (IsBlank(WipedText(MemoText()).str())) return;
  Hash* hash = SelectedHash();
  Cipher* cipher = SelectedCipher();
  if (hash == nullptr || cipher == nullptr) return;  // no lists: the actions stay off
  Working = true;
  Progress->setValue(0);
  QString typed = boxPassphrase->text();
  const WipedText passphrase(ToU16(typed));
  WipeQString(typed);
  EncryptMemo(passphrase.str(), *hash, *cipher);
}

void MainWindow::btnDecryptClick() {
  if (Working) return;
  {
    const WipedText text(MemoText());
    if (IsBlank(text.str())) return;
    if (!IsHexString(TrimControls(text.str()))) return;
  }
  Hash* hash = SelectedHash();
  Cipher* cipher = SelectedCipher();
  if (hash == nullptr || cipher == nullptr) return;
  Working = true;
  Progress->setValue(0);
  QString typed = boxPassphrase->text();
  const WipedText passphrase(ToU16(typed));
  WipeQString(typed);
  DecryptMemo(passphrase.str(), *hash, *cipher);
}

void MainWindow::EncryptMemo(const std::u16string& passphrase, Hash& hash, Cipher& cipher) {
  try {
    cipher.SetOnProgressEvent([this](Component* sender, int32_t value) { ShowProgress(sender, value); });
    const WipedText text(MemoText());
    SetMemoText(EncryptMessage(text.str(), passphrase, hash, cipher, SystemRandomBytes));
  } catch (...) {
    // Silent: the memo keeps its text.
  }
  Working = false;
}

void MainWindow::DecryptMemo(const std::u16string& passphrase, Hash& hash, Cipher& cipher) {
  try {
    const WipedText text(std::u16string(DecryptMessage(MemoText(), passphrase, hash, cipher).view()));
    SetMemoText(text.str());
  } catch (...) {
    // Silent: too short for the cipher, or anything else; the memo keeps its text.
  }
  Working = false;
}

void MainWindow::ShowProgress(Component* Sender, int32_t value) {
  (void)Sender;
  if (value >= 0 && value <= 100) Progress->setValue(value);
}

void MainWindow::btnCloseClick() { close(); }

void MainWindow::btn_CopyClick() {
  Memo1->selectAll();
  // The clipboard gets the text exactly, no-break spaces included, with the
  // platform's line breaks.
  QString text = Memo1->document()->toRawText();
  for (QChar& c : text) {
    if (IsDocumentLineBreak(c)) c = u'\n';
  }
  QGuiApplication::clipboard()->setText(text);
  WipeQString(text);
}

void MainWindow::btn_PasteClick() {
  // One undoable step: empty the memo, then insert the clipboard's text, if any.
  QTextCursor cursor(Memo1->document());
  cursor.beginEditBlock();
  cursor.select(QTextCursor::Document);
  cursor.removeSelectedText();
  cursor.insertText(QGuiApplication::clipboard()->text());
  cursor.endEditBlock();
  Memo1->setTextCursor(cursor);
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
  QMessageBox question(QMessageBox::Question, kCaption, kCloseQuestion, QMessageBox::Yes | QMessageBox::No, this);
  question.setObjectName(QStringLiteral("closeQuestion"));
  if (question.exec() == QMessageBox::Yes) {
    // Let the run end first; waiting for events does not spin the processor.
    while (Working) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return;
  }
  CanClose = !Working;
}

}  // namespace velsor
