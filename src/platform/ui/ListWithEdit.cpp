#include "platform/ui/ListWithEdit.h"

#include "platform/ui/ListOrder.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace typeloom::platform {

ListWithEdit::ListWithEdit(bool sorted, QWidget* parent)
    : QWidget(parent), sorted_(sorted), edit_(new QLineEdit(this)), list_(new QListWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(edit_);
  layout->addWidget(list_, 1);
  list_->setUniformItemSizes(true);  // keeps tens of thousands of items fast
  list_->setFocusPolicy(Qt::NoFocus);
  setFocusProxy(edit_);
  edit_->installEventFilter(this);

  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { SetListIndex(list_->row(item)); });
  connect(edit_, &QLineEdit::textEdited, this, [this](const QString& text) { FollowTypedText(text); });
}

void ListWithEdit::SortItems(QStringList& items) { SortListItems(items); }

void ListWithEdit::SetItems(QStringList items) {
  if (sorted_ && !std::is_sorted(items.begin(), items.end(), ListLess)) SortItems(items);
  SetSortedItems(std::move(items));
}

void ListWithEdit::SetSortedItems(QStringList items) {
  items_ = std::move(items);
  listIndex_ = -1;
  updating_ = true;
  list_->clear();
  list_->addItems(items_);
  updating_ = false;
}

int ListWithEdit::AddItem(const QString& item) {
  int index = items_.size();
  if (sorted_) index = static_cast<int>(std::upper_bound(items_.begin(), items_.end(), item, ListLess) - items_.begin());
  items_.insert(index, item);
  list_->insertItem(index, item);
  if (listIndex_ >= index) ++listIndex_;
  return index;
}

void ListWithEdit::RemoveItem(int index) {
  if (index < 0 || index >= items_.size()) return;
  items_.removeAt(index);
  delete list_->takeItem(index);
  if (listIndex_ == index) listIndex_ = -1;
  else if (listIndex_ > index) --listIndex_;
}

void ListWithEdit::Clear() {
  items_.clear();
  list_->clear();
  listIndex_ = -1;
}

QString ListWithEdit::List(int index) const { return index >= 0 && index < items_.size() ? items_[index] : QString(); }

void ListWithEdit::SetListIndex(int index) {
  if (index < -1 || index >= items_.size()) return;
  SelectWithoutClick(index);
  emit Click();
}

void ListWithEdit::SelectWithoutClick(int index) {
  if (index < -1 || index >= items_.size()) return;
  listIndex_ = index;
  ShowIndex(index);
  updating_ = true;
  edit_->setText(index >= 0 ? items_[index] : QString());
  updating_ = false;
}

QString ListWithEdit::Text() const { return edit_->text(); }

void ListWithEdit::SetText(const QString& text) {
  edit_->setText(text);
  FollowTypedText(text);
}

void ListWithEdit::ShowIndex(int index) {
  if (index < 0) {
    list_->clearSelection();
    return;
  }
  list_->setCurrentRow(index);
  list_->scrollToItem(list_->item(index), QAbstractItemView::PositionAtTop);
}

// Typing scrolls the list to the first item that begins with the typed text.
void ListWithEdit::FollowTypedText(const QString& text) {
  if (updating_ || text.isEmpty()) return;
  for (int i = 0; i < items_.size(); ++i) {
    if (items_[i].startsWith(text, Qt::CaseInsensitive)) {
      ShowIndex(i);
      return;
    }
  }
}

bool ListWithEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress && !items_.isEmpty()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const int page = std::max(1, list_->viewport()->height() / std::max(1, list_->sizeHintForRow(0)) - 1);
    const int current = listIndex_ < 0 ? list_->currentRow() : listIndex_;
    int next = -2;
    switch (key) {
      case Qt::Key_Up: next = std::max(0, current - 1); break;
      case Qt::Key_Down: next = std::min(static_cast<int>(items_.size()) - 1, current + 1); break;
      case Qt::Key_PageUp: next = std::max(0, current - page); break;
      case Qt::Key_PageDown: next = std::min(static_cast<int>(items_.size()) - 1, current + page); break;
      case Qt::Key_Return:
      case Qt::Key_Enter: next = list_->currentRow(); break;
      default: break;
    }
    if (next >= 0) {
      SetListIndex(next);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}


}  // namespace typeloom::platform
