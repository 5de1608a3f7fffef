#include "platform/ui/Clipboard.h"

#include <QApplication>
#include <QClipboard>

namespace typeloom::platform {

QString QtClipboard::Text() const {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard != nullptr ? clipboard->text() : QString();
}

void QtClipboard::SetText(const QString& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

QString QtClipboard::SelectionText() const {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr || !clipboard->supportsSelection()) return {};
  return clipboard->text(QClipboard::Selection);
}

void QtBeeper::Beep() { QApplication::beep(); }

}  // namespace typeloom::platform
