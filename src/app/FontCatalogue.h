#pragma once
// The installed-font catalogue: one record per installed font file, built from
// the registry's fonts key, and the cleaning of the key's value names.
#include "platform/registry/Registry.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace typeloom::platform {
class ListWithEdit;
}

namespace typeloom::app {

inline constexpr char kNtFontsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline constexpr char kFontsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
inline constexpr char kDisplayFontsKey[] = "Display\\Fonts";

// A value name after cleaning: the font name with style words, technology,
// collection members and fixed sizes taken off.
struct CleanedName {
  QString name;
  bool bold = false;
  bool italic = false;
  QString sizes;  // "8,10,12" for fixed-size fonts, empty for scalable ones
};

CleanedName CleanValueName(const QString& valueName);
QString ExtractSizeList(const QString& text);

// Parallel arrays, one index per font file; the first record of a file wins.
struct FontCatalogue {
  std::vector<QString> catalogueNames;  // cleaned name, lower case
  std::vector<QString> catalogueFiles;  // registry data, lower case
  std::vector<bool> catalogueBold;
  std::vector<bool> catalogueItalic;
  std::vector<QString> catalogueSizes;

  int catalogueCount() const { return static_cast<int>(catalogueFiles.size()); }
  void Clear();
  // Appends a record unless one for `file` exists; false when it did.
  bool Add(const QString& name, const QString& file, bool bold, bool italic, const QString& sizes);
  // Index of the first record with exactly this file / name, or -1.
  int FindFile(const QString& file) const;
  int FindName(const QString& name) const;

 private:
  QHash<QString, int> byFile_;
};

// True on the platforms this program runs on: the fonts key is the NT one.
bool IsWindowsNT();

// Builds the catalogue from the registry and returns the installed-font list:
// the cleaned names, sorted in list order, de-duplicated exactly, none empty.
QStringList BuildFontNames(platform::Registry& registry, FontCatalogue& catalogue);

// The same installed-font list without the catalogue (the value's files are not read).
QStringList ListFontNames(platform::Registry& registry);

// Builds the catalogue and the installed-font list from the registry and fills
// `fontList` with the sorted, de-duplicated names; `fontNames` gets the same names
// in list order. Leaves the list's selection on its last entry, as the walk does.
void FillFontList(platform::Registry& registry, FontCatalogue& catalogue, platform::ListWithEdit& fontList,
                  QStringList& fontNames);

}  // namespace typeloom::app
