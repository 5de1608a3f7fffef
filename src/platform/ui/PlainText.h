#pragma once
// Text from outside the program (a font's names and notices, a server's answer,
// the command line) is shown as plain text only: Qt would otherwise guess rich
// text and load the images and follow the links that such a text names. Every
// label of the program is made here, so a new window cannot forget it.
#include <QString>
#include <QStringView>

class QLabel;
class QWidget;

namespace typeloom::platform {

// A label that shows `text` literally.
QLabel* MakePlainLabel(const QString& text, QWidget* parent);
// Sets a label's text as plain text (its format too, should it have been changed).
void SetPlainText(QLabel* label, const QString& text);
// A tooltip that shows `text` literally (tooltips have no format of their own).
void SetPlainToolTip(QWidget* widget, const QString& text);

// A status or error text from the network, fit for one line of a message: control
// characters (line breaks included) become spaces, runs of white space one space,
// and a text longer than `maxChars` is cut with "...".
QString OneLineText(QStringView text, int maxChars = 160);

}  // namespace typeloom::platform
