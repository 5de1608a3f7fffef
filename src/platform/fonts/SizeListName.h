#pragma once
// A bitmap family's font-list name carries its point sizes ("Fixed 14,18"); the
// family is the name without them. Qt Core only: the executable reads list names
// through it without the font engine.
#include <QString>

namespace typeloom::platform {

// `name` without a trailing point-size list (" 14,18", " 10,"), as a bitmap family's
// list name carries it; empty when it has none.
QString WithoutSizeList(const QString& name);

}  // namespace typeloom::platform
