#include "about/MailSession.h"

#include "platform/shell/UrlOpener.h"

namespace typeloom::about {

QUrl MailtoUrl(const QString& recipient, const QString& subject) {
  QUrl url;
  url.setScheme(QStringLiteral("mailto"));
  url.setPath(recipient);
  url.setQuery(QStringLiteral("subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject)), QUrl::StrictMode);
  return url;
}

bool MailSession::Send(const QString& recipient, const QString& subject) {
  if (sessionId_ <= 0 || recipient.isEmpty()) return false;
  return opener_.Open(MailtoUrl(recipient, subject));
}

}  // namespace typeloom::about
