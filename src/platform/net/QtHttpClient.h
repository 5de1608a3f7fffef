#pragma once
#include "platform/net/HttpClient.h"

#include <QList>
#include <QSslCertificate>

#include <memory>

class QNetworkAccessManager;

namespace typeloom::platform {

// HttpClient over Qt Network. Trusts the system's certificates and, when
// SSL_CERT_FILE names a file, the certificates in it too. While a fetch runs a
// local event loop paints windows but holds user input back until it ends.
class QtHttpClient final : public HttpClient {
 public:
  QtHttpClient();
  ~QtHttpClient() override;
  FetchReply Fetch(const QString& url, const FetchLimits& limits, QIODevice* sink = nullptr) override;

 private:
  std::unique_ptr<QNetworkAccessManager> manager_;
  QList<QSslCertificate> authorities_;
};

// The certificates a fetch trusts: the system's plus those of SSL_CERT_FILE.
QList<QSslCertificate> TrustedAuthorities();

}  // namespace typeloom::platform
