#pragma once
// The order of a sorted list: the user's locale without regard to case, then exact
// order for names that differ only in case. Core only (no widgets), so that the
// window-less `--list` can sort as the font list does.
#include <QString>
#include <QStringList>

namespace typeloom::platform {

// Strict weak order of a sorted list.
bool ListLess(const QString& a, const QString& b);

// Sorts `items` into list order, stably.
void SortListItems(QStringList& items);

}  // namespace typeloom::platform
