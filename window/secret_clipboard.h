#pragma once
// Puts a secret text on the clipboard the way password managers do: marked
// with the x-kde-passwordManagerHint entry "secret", which KDE's and other
// clipboard managers take as "do not keep in the history", and taken off the
// clipboard again after a while, unless something else was copied since.

#include <QObject>
#include <QTimer>
#include <chrono>

class QMimeData;

namespace velsor {

class SecretClipboard final : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kDefaultLifetime{30000};

  explicit SecretClipboard(QObject* parent = nullptr);

  // How long a secret stays on the clipboard.
  void SetLifetime(std::chrono::milliseconds lifetime) { fLifetime = lifetime; }
  std::chrono::milliseconds Lifetime() const { return fLifetime; }

  // Puts text on the clipboard as a secret and starts the clock.
  void CopySecret(const QString& text);
  // Puts text on the clipboard as an ordinary text, to stay.
  void CopyPlain(const QString& text);

 signals:
  // The secret was still on the clipboard at the end of its lifetime and is gone.
  void Cleared();

 private:
  void Expire();
  void ClipboardChanged();

  std::chrono::milliseconds fLifetime = kDefaultLifetime;
  QTimer fTimer;
  const QMimeData* fOurs = nullptr;  // the clipboard's data while it is our secret
};

}  // namespace velsor
