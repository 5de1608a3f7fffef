#pragma once
// The font list's filter (Ctrl+F): only the fonts whose face has every character
// of the Text box's text. The decisions, apart from the window.
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace typeloom::app {

inline constexpr int kFilterKey = 70;      // F, with Ctrl alone
inline constexpr int kFilterDelayMs = 150; // typing re-filters once it pauses this long

struct FilteredList {
  QStringList shown;          // the names shown, in list order
  int selection = -1;         // the entry to select; -1: none (nothing is shown)
  bool selectionKept = false; // it is the font selected before
};

// The names of `all` whose face covers every one of `characters` (all of them when
// there are none), and where the selection goes: it stays on `selected` when that
// font is shown, else it moves to the first shown font.
FilteredList FilterFontList(const QStringList& all, const QString& selected, const std::vector<char32_t>& characters,
                            const std::function<bool(const QString&)>& covers);

// The characters of the Text box's text that the filter asks for.
std::vector<char32_t> FilterCharacters(const QString& text);

// The font list's tooltip: the fixed one, and while the filter is on a line that
// says so and how many fonts it shows.
QString FontListToolTip(bool filterOn, int shown, int all);
inline const QString kFontListToolTip = QStringLiteral(" Select a font for display from the list ");
// The edit field's placeholder while the filter is on (seen when the field is empty).
inline const QString kFilterPlaceholder = QStringLiteral("Only fonts that have the text (Ctrl+F: all)");
// The sample area's tooltip (it has no other) names the keys.
inline const QString kSampleToolTip =
    QStringLiteral(" Ctrl+F: list only the fonts that have every character of the text; again: all fonts \n"
                   " In the summary, T shows every font on this text ");

}  // namespace typeloom::app
