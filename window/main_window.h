#pragma once
// The program's one window: the memo, the cipher and hash lists, the passphrase
// box and the actions. The window owns one instance of every algorithm
// component and knows them only as Cipher and Hash; the message codec does the
// work. The only file that knows both Qt and the codec.

#include <QWidget>
#include <functional>
#include <string>

#include "crypto/components.h"

class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QToolButton;
class QShowEvent;

namespace velsor {

// Set by an accepted Encrypt or Decrypt click, cleared when the codec's run
// ends, successfully or not. Read on the GUI thread only.
extern bool Working;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // Makes the components the window owns; by default every cipher and hash.
  using ComponentFactory = std::function<void(Component& owner)>;

  explicit MainWindow(QWidget* parent = nullptr);
  explicit MainWindow(const ComponentFactory& create_components, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The memo's text as the codec sees it: every character as typed, each line
  // break as CR LF.
  std::u16string MemoText() const;

 public slots:
  void FormCloseQuery(QObject* Sender, bool& CanClose);
  void cbxCipherChange();
  void boxPassphraseChange();
  void btnEncryptClick();
  void btnDecryptClick();
  void btnCloseClick();
  void btn_CopyClick();
  void btn_PasteClick();
  void ShowProgress(Component* Sender, int32_t value);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void FormCreate();
  void DisableActions();
  void EncryptMemo(const std::u16string& passphrase, Hash& hash, Cipher& cipher);
  void DecryptMemo(const std::u16string& passphrase, Hash& hash, Cipher& cipher);
  void SetMemoText(const std::u16string& text);
  Cipher* SelectedCipher() const;
  Hash* SelectedHash() const;

  // Owner of the algorithm components; they are released with the window.
  Component fComponents;
  bool fCentred = false;

  QWidget* pnlTop = nullptr;
  QGroupBox* grpOptions = nullptr;
  QLabel* lblCipher = nullptr;
  QComboBox* cbxCipher = nullptr;
  QLabel* lblHash = nullptr;
  QComboBox* cbxHash = nullptr;
  QLabel* lblKeySize = nullptr;
  QLabel* dblKeySize = nullptr;
  QLabel* lblPassphrase = nullptr;
  QLineEdit* boxPassphrase = nullptr;
  QToolButton* btnEncrypt = nullptr;
  QToolButton* btnDecrypt = nullptr;
  QToolButton* btnClose = nullptr;
  QToolButton* btn_Copy = nullptr;
  QToolButton* btn_Paste = nullptr;
  QWidget* pnlMemo = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QWidget* pnlBottom = nullptr;
  QLabel* lnkMaker = nullptr;
  QLabel* lnkWebsite = nullptr;
  QProgressBar* Progress = nullptr;
};

}  // namespace velsor
