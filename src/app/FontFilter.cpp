#include "app/FontFilter.h"

#include "app/CoverageText.h"

namespace typeloom::app {

FilteredList FilterFontList(const QStringList& all, const QString& selected, const std::vector<char32_t>& characters,
                            const std::function<bool(const QString&)>& covers) {
  FilteredList result;
  if (characters.empty()) {
    result.shown = all;
  } else {
    for (const QString& name : all) {
      if (covers(name)) result.shown << name;
    }
  }
  const qsizetype kept = result.shown.indexOf(selected);
  result.selectionKept = kept >= 0 && !selected.isEmpty();
  result.selection = result.selectionKept ? static_cast<int>(kept) : (result.shown.isEmpty() ? -1 : 0);
  return result;
}

std::vector<char32_t> FilterCharacters(const QString& text) { return CoverageCharacters(text.toStdU32String()); }

QString FontListToolTip(bool filterOn, int shown, int all) {
  if (!filterOn) return kFontListToolTip;
  return kFontListToolTip + QStringLiteral("\n Only the %1 of %2 fonts that have every character of the text; "
                                           "Ctrl+F shows all ")
                                .arg(shown)
                                .arg(all);
}

}  // namespace typeloom::app
