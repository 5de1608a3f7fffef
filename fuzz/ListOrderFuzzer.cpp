// Fuzz target: the font list's order over names from font files (any bytes). The bytes
// are names split at line feeds, read as UTF-8. Traps when the list's order of two
// names, or of the whole list, differs from the collator's under a locale that orders
// printable ASCII itself or under one that tailors it, or when the order is not strict.
#include "platform/ui/ListOrder.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Locale {
  QLocale locale;
  typeloom::platform::ListOrder order;
  QCollator collator;
  explicit Locale(const char* name) : locale(QString::fromLatin1(name)), order(locale), collator(locale) {
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
  }
  bool Reference(const QString& a, const QString& b) const {
    const int c = collator.compare(a, b);
    return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Locale locales[] = {Locale("en_US"), Locale("da_DK")};
  QStringList names;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QByteArray& line : bytes.split('\n')) {
    if (names.size() == 64) break;
    names << QString::fromUtf8(line);
  }
  for (const Locale& l : locales) {
    for (const QString& a : names) {
      if (l.order.Less(a, a)) std::abort();
      for (const QString& b : names) {
        if (l.order.Less(a, b) != l.Reference(a, b)) std::abort();
      }
    }
    QStringList sorted = names;
    l.order.Sort(sorted);
    QStringList expected = names;
    std::stable_sort(expected.begin(), expected.end(), [&l](const QString& a, const QString& b) { return l.Reference(a, b); });
    if (sorted != expected) std::abort();
  }
  return 0;
}
