#include "update/UpdateSettings.h"

#include "platform/crypto/Ed25519.h"
#include "update/BuildSettings.h"

namespace typeloom::update {

bool UpdateCheckBuiltIn() { return TYPELOOM_UPDATE_CHECK != 0; }

QString DownloadFolder() {
  const QString overridden = qEnvironmentVariable("TYPELOOM_UPDATE_URL");
  return overridden.isEmpty() ? QStringLiteral(TYPELOOM_DOWNLOAD_URL) : overridden;
}

QByteArray UpdatePublicKey() {
  const QString overridden = qEnvironmentVariable("TYPELOOM_UPDATE_KEY");
  return platform::DecodeEd25519PublicKey(overridden.isEmpty() ? QStringLiteral(TYPELOOM_UPDATE_PUBLIC_KEY) : overridden);
}

QString MakerWebAddress() { return QStringLiteral(TYPELOOM_MAKER_WEB); }
QString MakerEmailAddress() { return QStringLiteral(TYPELOOM_MAKER_EMAIL); }

}  // namespace typeloom::update
