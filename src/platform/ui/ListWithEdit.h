#pragma once
// A list with an edit field: an edit field over an always-open list. The text of
// the control is the edit field's text. A sorted list keeps its items in the
// user's locale order without regard to case.
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;

namespace typeloom::platform {

class ListWithEdit : public QWidget {
  Q_OBJECT
 public:
  explicit ListWithEdit(bool sorted, QWidget* parent = nullptr);

  // Sorts in the order a sorted list keeps: case-insensitive locale order, equal
  // texts of different case ordered exactly so that identical texts are adjacent.
  static void SortItems(QStringList& items);

  bool Sorted() const { return sorted_; }
  // Replaces all items; a sorted list sorts them first. Selects nothing, runs no handler.
  void SetItems(QStringList items);
  // The same for items SortItems has already ordered: a sorted list does not check
  // their order again (sorting them again would leave them as they are).
  void SetSortedItems(QStringList items);
  // Inserts at the sorted place (sorted list) or appends; returns the index.
  int AddItem(const QString& item);
  void RemoveItem(int index);
  void Clear();

  int ListCount() const { return items_.size(); }
  QString List(int index) const;
  const QStringList& Items() const { return items_; }

  // -1 when nothing is selected. Setting it selects the item, puts its text into
  // the edit field and runs the Click handler, as a click on the item does.
  int ListIndex() const { return listIndex_; }
  void SetListIndex(int index);
  // Selects the item and shows its text without running the Click handler: the
  // item already shown stays chosen when the items are replaced around it.
  void SelectWithoutClick(int index);

  QString Text() const;
  void SetText(const QString& text);

  QLineEdit* Edit() const { return edit_; }
  QListWidget* ListView() const { return list_; }

 signals:
  void Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowIndex(int index);
  void FollowTypedText(const QString& text);

  bool sorted_;
  QStringList items_;
  int listIndex_ = -1;
  bool updating_ = false;
  QLineEdit* edit_;
  QListWidget* list_;
};

}  // namespace typeloom::platform
