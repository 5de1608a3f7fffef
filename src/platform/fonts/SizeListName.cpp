#include "platform/fonts/SizeListName.h"

namespace typeloom::platform {

QString WithoutSizeList(const QString& name) {
  // Back over "<digits>,<digits>,...[,]" to the blank before it; one comma at least.
  qsizetype i = name.size();
  bool comma = false, digit = false;
  while (i > 0) {
    const QChar c = name[i - 1];
    if (c == u',') {
      comma = true;
    } else if (c >= u'0' && c <= u'9') {
      digit = true;
    } else {
      break;
    }
    --i;
  }
  if (!comma || !digit || i < 2 || name[i - 1] != u' ' || name[i] == u',') return {};
  return name.left(i - 1);
}

}  // namespace typeloom::platform
