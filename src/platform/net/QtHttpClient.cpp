#include "platform/net/QtHttpClient.h"

#include "platform/ui/PlainText.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

namespace typeloom::platform {
namespace {

constexpr int kMaxRedirects = 5;

bool IsHttps(const QUrl& url) { return url.isValid() && url.scheme() == QLatin1StringView("https") && !url.host().isEmpty(); }

}  // namespace

QList<QSslCertificate> TrustedAuthorities() {
  QList<QSslCertificate> authorities = QSslConfiguration::systemCaCertificates();
  // As OpenSSL programs do: SSL_CERT_FILE adds the certificates of a private
  // authority (a mirror's, a test's).
  const QString extra = qEnvironmentVariable("SSL_CERT_FILE");
  if (!extra.isEmpty()) authorities += QSslCertificate::fromPath(extra, QSsl::Pem, QSslCertificate::PatternSyntax::FixedString);
  return authorities;
}

// The network stack and the system's certificate authorities (hundreds of
// certificates parsed by OpenSSL) are set up on the first fetch, not when the
// program starts: most runs never fetch anything.
QtHttpClient::QtHttpClient() = default;

QtHttpClient::~QtHttpClient() = default;

FetchReply QtHttpClient::Fetch(const QString& url, const FetchLimits& limits, QIODevice* sink) {
  FetchReply result;
  const QUrl target(url, QUrl::StrictMode);
  if (!IsHttps(target)) {
    result.error = OneLineText(QStringLiteral("Only secure (https://) addresses are fetched: %1").arg(url));
    return result;
  }

  QNetworkRequest request(target);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(kMaxRedirects);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setTransferTimeout(limits.inactivityMs);
  if (!manager_) {
    manager_ = std::make_unique<QNetworkAccessManager>();
    manager_->setAutoDeleteReplies(false);
    manager_->setStrictTransportSecurityEnabled(false);
    authorities_ = TrustedAuthorities();
  }
  QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
  ssl.setCaCertificates(authorities_);
  request.setSslConfiguration(ssl);

  std::unique_ptr<QNetworkReply> reply(manager_->get(request));
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  bool done = false;
  bool deadlinePassed = false;
  bool tooLarge = false;
  bool writeFailed = false;
  qint64 received = 0;

  auto stop = [&](bool& reason) {
    reason = true;
    reply->abort();
  };
  auto drain = [&] {
    if (tooLarge || writeFailed || deadlinePassed || !reply->isOpen()) return;
    const QByteArray chunk = reply->readAll();
    received += chunk.size();
    if (received > limits.maxBytes) return stop(tooLarge);
    if (sink == nullptr) {
      result.body += chunk;
    } else if (sink->write(chunk) != chunk.size()) {
      stop(writeFailed);
    }
  };
  QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, [&] {
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > limits.maxBytes) stop(tooLarge);
  });
  QObject::connect(reply.get(), &QNetworkReply::readyRead, drain);
  QObject::connect(reply.get(), &QNetworkReply::finished, &loop, [&] {
    done = true;
    loop.quit();
  });
  QObject::connect(&deadline, &QTimer::timeout, [&] { stop(deadlinePassed); });
  deadline.start(limits.deadlineMs);
  // Windows keep painting; clicks and keys wait until the answer is in.
  if (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
  deadline.stop();
  if (!reply->isFinished()) reply->abort();
  drain();

  result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
  if (deadlinePassed) {
    result.error = QStringLiteral("The server did not answer in time.");
  } else if (tooLarge) {
    result.error = QStringLiteral("The server sent more data than expected.");
  } else if (writeFailed) {
    result.error = sink->errorString();
  } else if (reply->error() == QNetworkReply::OperationCanceledError) {
    result.error = QStringLiteral("The server did not answer in time.");
  } else if (reply->error() != QNetworkReply::NoError) {
    result.error = reply->errorString();
  } else if (result.status != 200) {
    result.error = QStringLiteral("The server answered %1 %2.")
                       .arg(result.status)
                       .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
  } else if (!IsHttps(reply->url())) {
    result.error = QStringLiteral("The server redirected to an address that is not secure.");
  } else if (announced.isValid() && announced.toLongLong() != received) {
    result.error = QStringLiteral("The transfer was cut short.");
  } else {
    result.ok = true;
  }
  if (!result.ok) result.body.clear();
  // The reason phrase and Qt's description of a failure are the server's words:
  // one short line without control characters, whatever it sent.
  result.error = OneLineText(result.error);
  return result;
}

}  // namespace typeloom::platform
