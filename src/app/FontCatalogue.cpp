#include "app/FontCatalogue.h"

#include "options/RegistryModule.h"
#include "platform/ui/ListOrder.h"

#include <QHash>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace typeloom::app {
namespace {

using platform::RootKey;

// Keeps what stands before position `p` (0-based) of `v`, dropping the blank
// right before it when there is one.
QStringView CutAt(QStringView v, qsizetype p) {
  if (p > 0 && v[p - 1] == u' ') return v.left(p - 1);
  return v.left(p);
}

// The first occurrence of an ASCII `word` in `v`, or -1 (a plain search: the
// library's Latin-1 search converts its needle on every call).
qsizetype Find(QStringView v, QLatin1StringView word) {
  const qsizetype n = word.size();
  const char16_t* text = v.utf16();
  const char* w = word.data();
  for (qsizetype p = 0; p + n <= v.size(); ++p) {
    if (text[p] != static_cast<unsigned char>(w[0])) continue;
    qsizetype i = 1;
    while (i < n && text[p + i] == static_cast<unsigned char>(w[i])) ++i;
    if (i == n) return p;
  }
  return -1;
}

// Finds the first occurrence; it counts only when a blank stands before it (a
// whole word) and it starts past the second character.
qsizetype FindWord(QStringView v, QLatin1StringView word) {
  const qsizetype p = Find(v, word);
  if (p < 2 || v[p - 1] != u' ') return -1;
  return p;
}

// The first positions of the words the cleaning looks for, found in one pass. A
// later step searches a prefix of the text: the first position in the prefix is the
// first in the whole text when the word ends within the prefix, and none otherwise.
struct FirstWords {
  qsizetype italic = -1;
  qsizetype bold = -1;
  qsizetype normal = -1;
  qsizetype ampersand = -1;  // "& "
};

FirstWords FindFirstWords(QStringView v) {
  FirstWords f;
  const char16_t* text = v.utf16();
  const qsizetype n = v.size();
  const auto at = [&](qsizetype p, QLatin1StringView word) {
    if (p + word.size() > n) return false;
    for (qsizetype i = 1; i < word.size(); ++i) {
      if (text[p + i] != static_cast<unsigned char>(word.data()[i])) return false;
    }
    return true;
  };
  for (qsizetype p = 0; p < n; ++p) {
    switch (text[p]) {
      case u'I':
        if (f.italic < 0 && at(p, QLatin1StringView("Italic"))) f.italic = p;
        break;
      case u'B':
        if (f.bold < 0 && at(p, QLatin1StringView("Bold"))) f.bold = p;
        break;
      case u'N':
        if (f.normal < 0 && at(p, QLatin1StringView("Normal"))) f.normal = p;
        break;
      case u'&':
        if (f.ampersand < 0 && at(p, QLatin1StringView("& "))) f.ampersand = p;
        break;
      default:
        break;
    }
  }
  return f;
}

// `first` (a word of `size` characters) as Find gives it in the prefix `v`.
qsizetype Within(QStringView v, qsizetype first, qsizetype size) {
  return first >= 0 && first + size <= v.size() ? first : -1;
}

// `first` as FindWord gives it in the prefix `v`.
qsizetype WordWithin(QStringView v, qsizetype first, qsizetype size) {
  const qsizetype p = Within(v, first, size);
  if (p < 2 || v[p - 1] != u' ') return -1;
  return p;
}

// Lower case; plain ASCII text, nearly every font name, is done directly.
QString Lower(const QString& text) {
  QString out = text;
  char16_t* c = reinterpret_cast<char16_t*>(out.data());
  for (qsizetype i = 0; i < out.size(); ++i) {
    if (c[i] >= 0x80) return text.toLower();
    if (c[i] >= u'A' && c[i] <= u'Z') c[i] = static_cast<char16_t>(c[i] + 32);
  }
  return out;
}

struct FontsSource {
  RootKey root;
  const char* key;
};

// Lower case of UTF-8 text; ASCII text, nearly every file name, is lowered as it is
// widened, into the one copy made.
QString LowerUtf8(std::string_view text) {
  QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  char16_t* c = reinterpret_cast<char16_t*>(out.data());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b >= 0x80) return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower();
    c[i] = b >= 'A' && b <= 'Z' ? static_cast<char16_t>(b + ('a' - 'A')) : b;
  }
  return out;
}

// The text of a value as the catalogue keeps it as the file, lower-cased: a string's
// text is used in place; anything else is what the registry helper makes of it.
QString FileOf(const platform::ValueView& value) {
  if (value.status == platform::reg::kSuccess && value.hasData && value.type == platform::reg::kSz) {
    return LowerUtf8(RegistryModule::StringText(value.data));
  }
  return LowerUtf8(RegistryModule::ValueResult(value).Text());
}

// The value name as the cleaning starts on it. An ASCII name is cut where the
// cleaning's first step would cut it (at its first "(", when that stands past the
// second character), so that only the part kept is converted; the cleaning then
// finds no "(" to cut at. Any other name is converted whole.
QString CleaningStart(std::string_view name) {
  const std::size_t paren = name.find('(');
  const std::size_t end = paren == std::string_view::npos ? name.size() : paren;
  if (paren == std::string_view::npos || paren >= 2) {
    // ASCII up to the cut, eight bytes at a time.
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= end; i += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, name.data() + i, 8);
      high |= word;
    }
    for (; i < end; ++i) high |= static_cast<unsigned char>(name[i]);
    if ((high & 0x8080808080808080ull) == 0) {
      const std::size_t keep = end > 0 && end < name.size() && name[end - 1] == ' ' ? end - 1 : end;
      return QString::fromLatin1(name.data(), static_cast<qsizetype>(keep));
    }
  }
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Reads the values of one fonts key into the list names and, when given, the
// catalogue (with the value's text as the file). `seen` holds each cleaned name met,
// with its lower case when the catalogue wants it: files that share a name (the
// styles of a family, copies of a font) share one lower-cased copy. The walk ends at
// a value without a name or with one of 2,000 bytes or more.
void ReadFontsKey(platform::Registry& registry, FontCatalogue* catalogue, const FontsSource& source,
                  QHash<QString, QString>& seen, QStringList& names) {
  platform::KeyHandle key = 0;
  if (registry.OpenKey(source.root, source.key, platform::reg::kKeyRead, &key) != platform::reg::kSuccess) return;
  constexpr std::uint32_t kNameBuffer = 2000;
  registry.ReadValues(key, kNameBuffer, catalogue != nullptr, [&](const platform::ValueView& value) {
    if (value.name.empty()) return false;
    CleanedName cleaned = CleanValueName(CleaningStart(value.name));
    const qsizetype known = seen.size();
    QString& lowerName = seen[cleaned.name];
    const bool first = seen.size() != known;
    if (catalogue != nullptr) {
      if (first) lowerName = Lower(cleaned.name);
      catalogue->Add(lowerName, FileOf(value), cleaned.bold, cleaned.italic, cleaned.sizes);
    }
    // Each name once; an empty name is not listed.
    if (first && !cleaned.name.isEmpty()) names.append(std::move(cleaned.name));
    return true;
  });
  registry.CloseKey(key);
}

// The names of the fonts keys (and the catalogue when given), each once, empty names
// dropped, sorted in list order. Names that differ only in case both stay.
QStringList ReadFontNames(platform::Registry& registry, FontCatalogue* catalogue) {
  const bool nt = IsWindowsNT();
  QStringList names;
  QHash<QString, QString> seen;
  ReadFontsKey(registry, catalogue, {RootKey::LocalMachine, nt ? kNtFontsKey : kFontsKey}, seen, names);
  if (!nt) ReadFontsKey(registry, catalogue, {RootKey::CurrentConfig, kDisplayFontsKey}, seen, names);
  platform::SortListItems(names);
  return names;
}

}  // namespace

QString ExtractSizeList(const QString& text) {
  qsizetype p = text.indexOf(u' ');
  if (p >= 1) return text.left(p);
  p = text.indexOf(u'(');
  if (p >= 1) return text.left(p);
  return text;
}

CleanedName CleanValueName(const QString& valueName) {
  CleanedName out;
  // Every step keeps a prefix: the steps narrow a view, and the name is copied once.
  QStringView v = valueName;
  // Positions are 0-based here: "past the second character" is p >= 2.
  if (const qsizetype p = v.indexOf(u'('); p >= 2) v = CutAt(v, p);
  const FirstWords first = FindFirstWords(v);
  if (const qsizetype p = WordWithin(v, first.italic, 6); p >= 0 && p + 6 == v.size()) {
    v = CutAt(v, p);
    out.italic = true;
  }
  if (const qsizetype p = WordWithin(v, first.bold, 4); p >= 0 && p + 4 == v.size()) {
    v = CutAt(v, p);
    out.bold = true;
  }
  if (const qsizetype p = WordWithin(v, first.normal, 6); p >= 0) v = CutAt(v, p);
  if (const qsizetype p = Within(v, first.ampersand, 2); p >= 2) v = CutAt(v, p);
  // Fixed sizes follow the name after a blank, as in "Courier 10,12,15"; a marker
  // inside a number ("18,") is not the start of the list. Every marker holds a comma.
  if (v.contains(u',')) {
    for (const char* marker : {"8,", "9,", "10,", "11,", "12,"}) {
      if (const qsizetype p = FindWord(v, QLatin1StringView(marker)); p >= 0) {
        out.sizes = ExtractSizeList(v.mid(p).toString());
        v = CutAt(v, p);
      }
    }
  }
  out.name = valueName.left(v.size());
  return out;
}

void FontCatalogue::Clear() {
  catalogueNames.clear();
  catalogueFiles.clear();
  catalogueBold.clear();
  catalogueItalic.clear();
  catalogueSizes.clear();
  byFile_.clear();
}

bool FontCatalogue::Add(const QString& name, const QString& file, bool bold, bool italic, const QString& sizes) {
  // One hash lookup: operator[] adds the key when it is new, which the size shows.
  const int index = catalogueCount();
  const qsizetype files = byFile_.size();
  int& fileSlot = byFile_[file];
  if (byFile_.size() == files) return false;
  fileSlot = index;
  catalogueNames.push_back(name);
  catalogueFiles.push_back(file);
  catalogueBold.push_back(bold);
  catalogueItalic.push_back(italic);
  catalogueSizes.push_back(sizes);
  return true;
}

int FontCatalogue::FindFile(const QString& file) const { return byFile_.value(file, -1); }

int FontCatalogue::FindName(const QString& name) const {
  // A scan: a name is looked up once for each font shown, while an index would cost
  // a hash entry for each of tens of thousands of files before the first paint.
  for (std::size_t i = 0; i < catalogueNames.size(); ++i) {
    if (catalogueNames[i] == name) return static_cast<int>(i);
  }
  return -1;
}

bool IsWindowsNT() { return true; }

QStringList BuildFontNames(platform::Registry& registry, FontCatalogue& catalogue) {
  catalogue.Clear();
  return ReadFontNames(registry, &catalogue);
}

QStringList ListFontNames(platform::Registry& registry) { return ReadFontNames(registry, nullptr); }

}  // namespace typeloom::app
