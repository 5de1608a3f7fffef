#include "platform/ui/PlainText.h"

#include <QLabel>
#include <QTextDocument>
#include <QWidget>

namespace typeloom::platform {

QLabel* MakePlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  SetPlainText(label, text);
  return label;
}

void SetPlainText(QLabel* label, const QString& text) {
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::NoTextInteraction);
  label->setOpenExternalLinks(false);
  label->setText(text);
}

void SetPlainToolTip(QWidget* widget, const QString& text) {
  // Escaped into rich text that renders as the very characters given.
  widget->setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpacePre));
}

QString OneLineText(QStringView text, int maxChars) {
  QString out;
  out.reserve(std::min<qsizetype>(text.size(), maxChars + 3));
  bool space = false;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    // C0 and C1 controls, DEL, line and paragraph separators and bidirectional
    // overrides: none of them belongs in a one-line message.
    const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029 ||
                         (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
    if (control || c.isSpace()) {
      space = !out.isEmpty();
      continue;
    }
    if (space) {
      out += u' ';
      space = false;
    }
    out += c;
    if (out.size() > maxChars) {
      out.truncate(maxChars);
      // Not between the halves of a surrogate pair.
      if (!out.isEmpty() && out.back().isHighSurrogate()) out.chop(1);
      return out + QStringLiteral("...");
    }
  }
  return out;
}

}  // namespace typeloom::platform
