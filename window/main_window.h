#pragma once
// The program's one window: the memo, the cipher and hash lists, the passphrase
// box and the actions. The window owns one instance of every algorithm
// component and knows them only as Cipher and Hash; the message codec does the
// work, on a worker thread, one run at a time, while the window stays
// responsive. The only file that knows both Qt and the codec.

#include <QKeySequence>
#include <QList>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "crypto/bytes.h"
#include "crypto/components.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;
class QShowEvent;

namespace velsor {

class LargeText;
class MemoEdit;
class SecretClipboard;
struct RunOutcome;

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
  SecretText MemoText() const;

  // True from an accepted Encrypt or Decrypt click until its run has ended.
  bool IsWorking() const { return Working; }

  // How long a copied plaintext stays on the clipboard.
  void SetClipboardLifetime(std::chrono::milliseconds lifetime);

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
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class MainWindowTestAccess;

  void BuildControls();
  void BuildOptions();
  void BuildActions();
  void BuildMemo();
  void BuildBottom();
  void BuildShortcuts();
  void FormCreate();
  void DisableActions();
  void UpdateActionHints();
  void PassphraseReturn();
  void TogglePassphraseShown(bool shown);
  void ShowStatus(const QString& text);

  // Starts the codec on the worker thread; the finished run comes back
  // through FinishRun on the GUI thread.
  void StartRun(bool decrypt, std::shared_ptr<const LargeText> memo, SecretText passphrase, Hash& hash, Cipher& cipher);
  void FinishRun(const std::shared_ptr<RunOutcome>& outcome);
  // memo: the memo's text as read at the click.
  // What both actions check first: one run at a time (saying so), the bar back
  // to 0, and a selected entry in both lists.
  bool AcceptClick(Hash*& hash, Cipher*& cipher);
  void EncryptMemo(std::shared_ptr<const LargeText> memo, SecretText passphrase, Hash& hash, Cipher& cipher);
  void DecryptMemo(std::shared_ptr<const LargeText> memo, SecretText passphrase, Hash& hash, Cipher& cipher);
  void AttachProgress(Cipher& cipher);
  SecretText TypedPassphrase() const;
  Cipher* SelectedCipher() const;
  Hash* SelectedHash() const;

  // Owner of the algorithm components; they are released with the window.
  Component fComponents;
  // The components the lists show, in the lists' order: entry i is element i.
  std::vector<Cipher*> fCiphers;
  std::vector<Hash*> fHashes;
  // Set by an accepted Encrypt or Decrypt click, cleared when the run ends.
  // Read and written on the GUI thread only.
  bool Working = false;
  std::thread fWorker;
  SecretClipboard* fClipboard = nullptr;
  bool fCentred = false;
  QList<QKeySequence> fShortcutKeys;

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
  QAction* actShowPassphrase = nullptr;
  QToolButton* btnEncrypt = nullptr;
  QToolButton* btnDecrypt = nullptr;
  QToolButton* btnClose = nullptr;
  QToolButton* btn_Copy = nullptr;
  QToolButton* btn_Paste = nullptr;
  QWidget* pnlMemo = nullptr;
  MemoEdit* Memo1 = nullptr;
  QWidget* pnlBottom = nullptr;
  QLabel* lnkMaker = nullptr;
  QLabel* lnkWebsite = nullptr;
  QLabel* lblStatus = nullptr;
  QProgressBar* Progress = nullptr;
};

}  // namespace velsor
