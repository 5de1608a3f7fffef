#pragma once
// New mail messages for the user's mail program, as a mailto: address handed to
// the desktop's opener. A session is signed on once and reused until sign-off.
#include <QString>
#include <QUrl>

namespace typeloom::platform {
class UrlOpener;
}

namespace typeloom::about {

// mailto:<recipient>?subject=<subject>, percent-encoded.
QUrl MailtoUrl(const QString& recipient, const QString& subject);

class MailSession {
 public:
  explicit MailSession(platform::UrlOpener& opener) : opener_(opener) {}
  // Opens the session; its id is then greater than 0.
  void SignOn() { sessionId_ = ++signOns_; }
  void SignOff() { sessionId_ = 0; }
  int SessionId() const { return sessionId_; }
  int SignOns() const { return signOns_; }
  // Opens a new message to `recipient` with `subject` in the mail program; false when that failed.
  bool Send(const QString& recipient, const QString& subject);

 private:
  platform::UrlOpener& opener_;
  int sessionId_ = 0;
  int signOns_ = 0;
};

}  // namespace typeloom::about
