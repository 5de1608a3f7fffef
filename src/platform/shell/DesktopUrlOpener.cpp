#include "platform/shell/UrlOpener.h"

#include <QDesktopServices>

namespace typeloom::platform {

bool DesktopUrlOpener::Open(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace typeloom::platform
