#include "platform/ui/ListOrder.h"

#include "platform/ui/AsciiListOrder.h"

#include <QCollator>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::platform {
namespace {

using asciiorder::kRank;

bool IsPrintableAscii(const QString& text) {
  for (const QChar ch : text) {
    if (ch.unicode() < 0x20 || ch.unicode() > 0x7e) return false;
  }
  return true;
}

// -1, 0 or 1 by the ranks of `a` and `b`, both printable ASCII.
int CompareAscii(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    const unsigned char ra = kRank[a[i].unicode()];
    const unsigned char rb = kRank[b[i].unicode()];
    if (ra != rb) return ra < rb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Languages whose collation does not tailor printable ASCII (in Latin script).
bool LeavesAsciiAlone(const QLocale& locale) {
  if (locale.script() != QLocale::LatinScript) return false;
  const QString code = QLocale::languageToCode(locale.language());
  return std::any_of(std::begin(asciiorder::kPlainLanguages), std::end(asciiorder::kPlainLanguages),
                     [&](std::string_view plain) { return code == QLatin1StringView(plain.data(), plain.size()); });
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

ListOrder::ListOrder(const QLocale& locale) : locale_(locale), ascii_(LeavesAsciiAlone(locale)) {}

ListOrder::~ListOrder() = default;

const QCollator& ListOrder::Collator() const {
  std::call_once(opened_, [this] {
    collator_ = std::make_unique<QCollator>(locale_);
    collator_->setCaseSensitivity(Qt::CaseInsensitive);
    collator_->setNumericMode(false);
    // In the C locale the keys keep case although the comparison does not; keys
    // are then made of the case-folded text.
    keysIgnoreCase_ =
        collator_->sortKey(QStringLiteral("a")).compare(collator_->sortKey(QStringLiteral("A"))) == 0;
  });
  return *collator_;
}

bool ListOrder::KeysIgnoreCase() const {
  Collator();
  return keysIgnoreCase_;
}

bool ListOrder::Less(const QString& a, const QString& b) const {
  const int c = ascii_ && IsPrintableAscii(a) && IsPrintableAscii(b) ? CompareAscii(a, b) : Collator().compare(a, b);
  if (c != 0) return c < 0;
  return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

void ListOrder::Sort(QStringList& items) const {
  if (ascii_ && std::all_of(items.cbegin(), items.cend(), IsPrintableAscii)) {
    // One key of ranks per item.
    struct Ranked {
      std::string key;
      QString text;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(static_cast<std::size_t>(items.size()));
    for (QString& item : items) {
      std::string key(static_cast<std::size_t>(item.size()), '\0');
      for (qsizetype i = 0; i < item.size(); ++i) key[static_cast<std::size_t>(i)] = static_cast<char>(kRank[item[i].unicode()]);
      ranked.push_back({std::move(key), std::move(item)});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
      const int c = a.key.compare(b.key);
      if (c != 0) return c < 0;
      return QString::compare(a.text, b.text, Qt::CaseSensitive) < 0;
    });
    for (qsizetype i = 0; i < items.size(); ++i) items[i] = std::move(ranked[static_cast<std::size_t>(i)].text);
    return;
  }
  // One collation key per item rather than a collation per comparison; ties in
  // locale order fall back to exact order, as in Less.
  struct Keyed {
    QCollatorSortKey key;
    QString text;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(static_cast<std::size_t>(items.size()));
  const QCollator& collator = Collator();
  const bool fold = !KeysIgnoreCase();
  for (QString& item : items) keyed.push_back({collator.sortKey(fold ? Folded(item) : item), std::move(item)});
  std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    const int c = a.key.compare(b.key);
    if (c != 0) return c < 0;
    return QString::compare(a.text, b.text, Qt::CaseSensitive) < 0;
  });
  for (qsizetype i = 0; i < items.size(); ++i) items[i] = std::move(keyed[static_cast<std::size_t>(i)].text);
}

namespace {
const ListOrder& UserListOrder() {
  static const ListOrder order{QLocale()};
  return order;
}
}  // namespace

bool ListLess(const QString& a, const QString& b) { return UserListOrder().Less(a, b); }

void SortListItems(QStringList& items) { UserListOrder().Sort(items); }

}  // namespace typeloom::platform
