#pragma once
// Handing an address (web page, mailto:) to the desktop's opener.
#include <QUrl>

namespace typeloom::platform {

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // False when no program could be asked to open it.
  virtual bool Open(const QUrl& url) = 0;
};

// QDesktopServices: the desktop portal or xdg-open.
class DesktopUrlOpener final : public UrlOpener {
 public:
  bool Open(const QUrl& url) override;
};

}  // namespace typeloom::platform
