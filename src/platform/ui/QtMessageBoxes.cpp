#include "platform/ui/QtMessageBoxes.h"

#include <QMessageBox>

namespace typeloom::platform {

int QtMessageBoxes::Show(QWidget* parent, const QString& text, int style, const QString& title) {
  QMessageBox box(parent);
  box.setWindowTitle(title);
  // Messages may carry a font's or a server's text: never interpreted as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
  switch (style & 0x70) {
    case mb::kCritical: box.setIcon(QMessageBox::Critical); break;
    case mb::kQuestion: box.setIcon(QMessageBox::Question); break;
    case mb::kExclamation: box.setIcon(QMessageBox::Warning); break;
    case mb::kInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  switch (style & 0x0F) {
    case mb::kOkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case mb::kYesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case mb::kYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel: return mb::kCancel;
    case QMessageBox::Yes: return mb::kYes;
    case QMessageBox::No: return mb::kNo;
    default: return mb::kOk;
  }
}

}  // namespace typeloom::platform
