#include "summary/SummaryPage.h"

#include <algorithm>

namespace typeloom::summary {

SampleColumn UserSampleColumn(const QString& userText) {
  if (userText.isEmpty()) return {};
  return {userText, true};
}

void DrawPage(PageSurface& surface, const QStringList& names, int topIndex, const QString& labelFontName,
              const FontResolver& resolve, const SampleColumn& column) {
  surface.Clear();
  QFont label(labelFontName);
  label.setPointSizeF(kPointSize);
  label.setBold(false);
  label.setItalic(false);
  label.setStrikeOut(false);
  label.setUnderline(false);
  const qsizetype count = names.size();
  for (int i = 0; i < kRowsPerPage && topIndex + i < count; ++i) {
    if (topIndex + i < 0) continue;
    const QString& name = names[topIndex + i];
    const int y = kRowHeight * i;
    surface.DrawText(kNameX, y, name + QStringLiteral(":"), label);
    QFont sample = resolve(name, kPointSize);
    sample.setBold(false);
    sample.setItalic(false);
    sample.setStrikeOut(false);
    sample.setUnderline(false);
    if (column.ownFaceOnly) sample.setStyleStrategy(QFont::StyleStrategy(sample.styleStrategy() | QFont::NoFontMerging));
    surface.DrawText(kSampleX, y, column.text, sample);
  }
}

ScrollRange RangeFor(int fontCount) { return {0, std::max(0, fontCount - kRowsPerPage)}; }

KeyAction ActionForKey(int keyCode, int shift, int value, const ScrollRange& range) {
  KeyAction action;
  switch (keyCode) {
    case 27:
      action.close = true;
      action.endProgram = shift > 0;
      break;
    case 38:
      if (value > range.minimum) action.value = value - 1;
      break;
    case 40:
      if (value < range.maximum) action.value = value + 1;
      break;
    case 33: {
      const int next = value - kRowsPerPage;
      action.value = next > range.minimum ? next : range.minimum;
      break;
    }
    case 34: {
      const int next = value + kRowsPerPage;
      action.value = next < range.maximum ? next : range.maximum;
      break;
    }
    case kSampleKey:
      action.toggleSample = shift == 0;
      break;
    default:
      break;
  }
  if (action.value && *action.value == value) action.value.reset();
  return action;
}

QPoint Placement(const QRect& mainOuter, const QSize& ownOuter) {
  const int top = (mainOuter.height() - ownOuter.height()) / 2 + mainOuter.top() + 150;
  const int left = (mainOuter.width() - ownOuter.width()) / 2 + mainOuter.left() + 15;
  return {left, top};
}

}  // namespace typeloom::summary
