#include "window/secret_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace velsor {

SecretClipboard::SecretClipboard(QObject* parent) : QObject(parent) {
  fTimer.setSingleShot(true);
  connect(&fTimer, &QTimer::timeout, this, &SecretClipboard::Expire);
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &SecretClipboard::ClipboardChanged);
}

void SecretClipboard::CopySecret(const QString& text) {
  auto* data = new QMimeData;
  data->setText(text);
  data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
  fOurs = nullptr;
  QGuiApplication::clipboard()->setMimeData(data);  // the clipboard owns it now
  fOurs = QGuiApplication::clipboard()->mimeData();
  fTimer.start(fLifetime);
}

void SecretClipboard::CopyPlain(const QString& text) {
  fTimer.stop();
  fOurs = nullptr;
  QGuiApplication::clipboard()->setText(text);
}

void SecretClipboard::ClipboardChanged() {
  // Another copy, here or elsewhere, replaced the secret: leave it alone.
  if (fOurs != nullptr && QGuiApplication::clipboard()->mimeData() != fOurs) {
    fOurs = nullptr;
    fTimer.stop();
  }
}

void SecretClipboard::Expire() {
  if (fOurs == nullptr || QGuiApplication::clipboard()->mimeData() != fOurs) return;
  fOurs = nullptr;
  QGuiApplication::clipboard()->clear();
  emit Cleared();
}

}  // namespace velsor
