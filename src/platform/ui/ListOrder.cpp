#include "platform/ui/ListOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <vector>

namespace typeloom::platform {
namespace {

QCollator& ListCollator() {
  static QCollator collator = [] {
    QCollator c{QLocale()};
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(false);
    return c;
  }();
  return collator;
}

// Whether the collator's keys ignore case as its comparison does; in the C locale
// they do not, and keys are then made of the case-folded text.
bool KeysIgnoreCase() {
  static const bool ignore = ListCollator().sortKey(QStringLiteral("a")).compare(
                                 ListCollator().sortKey(QStringLiteral("A"))) == 0;
  return ignore;
}

// Case-folded text; plain ASCII is done directly.
QString Folded(const QString& text) {
  QString out = text;
  char16_t* c = reinterpret_cast<char16_t*>(out.data());
  for (qsizetype i = 0; i < out.size(); ++i) {
    if (c[i] >= 0x80) return text.toCaseFolded();
    if (c[i] >= u'A' && c[i] <= u'Z') c[i] = static_cast<char16_t>(c[i] + 32);
  }
  return out;
}

}  // namespace

bool ListLess(const QString& a, const QString& b) {
  const int c = ListCollator().compare(a, b);
  if (c != 0) return c < 0;
  return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void SortListItems(QStringList& items) {
  // One collation key per item rather than a collation per comparison; ties in
  // locale order fall back to exact order, as in ListLess.
  struct Keyed {
    QCollatorSortKey key;
    QString text;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(static_cast<std::size_t>(items.size()));
  const QCollator& collator = ListCollator();
  const bool fold = !KeysIgnoreCase();
  for (QString& item : items) keyed.push_back({collator.sortKey(fold ? Folded(item) : item), std::move(item)});
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    const int c = a.key.compare(b.key);
    if (c != 0) return c < 0;
    return QString::compare(a.text, b.text, Qt::CaseSensitive) < 0;
  });
  for (qsizetype i = 0; i < items.size(); ++i) items[i] = std::move(keyed[static_cast<std::size_t>(i)].text);
}

}  // namespace typeloom::platform
