#pragma once
// The order of a sorted list: the user's locale without regard to case, then exact
// order for names that differ only in case. Core only (no widgets), so that the
// window-less `--list` can sort as the font list does.
#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

class QCollator;

namespace typeloom::platform {

// List order under one locale. Names made only of printable ASCII, under a locale
// whose collation leaves those characters in their common order, are ordered
// without opening the collator; that order is the collator's own for them.
class ListOrder {
 public:
  explicit ListOrder(const QLocale& locale);
  ~ListOrder();

  // Strict weak order.
  bool Less(const QString& a, const QString& b) const;
  // Sorts `items` into list order, stably.
  void Sort(QStringList& items) const;

  // Whether this locale's printable-ASCII names are ordered without the collator.
  bool OrdersAsciiItself() const { return ascii_; }

 private:
  const QCollator& Collator() const;
  bool KeysIgnoreCase() const;

  QLocale locale_;
  bool ascii_;
  mutable std::once_flag opened_;
  mutable std::unique_ptr<QCollator> collator_;
  mutable bool keysIgnoreCase_ = false;
};

// Strict weak order of a sorted list under the user's locale.
bool ListLess(const QString& a, const QString& b);

// Sorts `items` into list order under the user's locale, stably.
void SortListItems(QStringList& items);

}  // namespace typeloom::platform
