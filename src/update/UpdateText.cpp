#include "update/UpdateText.h"

#include <QStringList>

#include <algorithm>

namespace typeloom::update {

QString RemoveSpaces(const QString& text) {
  QString result = text;
  result.remove(u' ');
  return result;
}

QString BuildFileUrl(const QString& downloadUrl, const QString& name) {
  QString base = downloadUrl.toLower();
  if (!base.endsWith(u'/')) base += u'/';
  return RemoveSpaces(base + name.toLower());
}

QString SecureUrl(const QString& url) {
  const qsizetype scheme = url.indexOf(QLatin1StringView("//"));
  if (scheme < 0) return QStringLiteral("https://") + url;
  const QString prefix = url.left(scheme).toLower();
  if (prefix.isEmpty()) return QStringLiteral("https:") + url;
  if (prefix == QLatin1StringView("https:")) return url;
  return {};
}

QString LocalUpdatePath(const QString& folder, const QString& name) {
  QString path = folder;
  if (!path.endsWith(u'/')) path += u'/';
  return path + name.toLower();
}

QString CurrentVersionText(int major, int minor) { return QStringLiteral("%1.%2").arg(major).arg(minor); }

bool IsNewerVersion(const QString& serverText, int major, int minor) {
  const QString text = serverText.trimmed();
  if (text.isEmpty() || text.size() > 8) return false;
  const QStringList parts = text.split(u'.');
  for (const QString& part : parts) {
    if (part.isEmpty()) return false;
    for (const QChar c : part) {
      if (c < u'0' || c > u'9') return false;
    }
  }
  const long long current[] = {major, minor};
  for (qsizetype i = 0; i < std::max<qsizetype>(parts.size(), 2); ++i) {
    const long long server = i < parts.size() ? parts[i].toLongLong() : 0;
    const long long own = i < 2 ? current[i] : 0;
    if (server != own) return server > own;
  }
  return false;
}

QString BuildUpdateMessage(int major, int minor, const QString& newVersion, const QString& changes) {
  QString text = QStringLiteral("The program's current version is %1.").arg(CurrentVersionText(major, minor)) + kCrLf +
                 QStringLiteral("Version %1 is available.").arg(newVersion);
  if (!changes.isEmpty()) {
    text += QString(kCrLf) + kCrLf + "Changes included in this update:" + kCrLf + QString(39, u'-') + kCrLf + changes;
  }
  return text;
}

QString ManualDownloadMessage(const QString& downloadUrl) {
  QString host = downloadUrl;
  const qsizetype slashes = host.indexOf(QLatin1StringView("//"));
  if (slashes >= 0) host = host.mid(slashes + 2);
  const qsizetype com = host.toLower().indexOf(QLatin1StringView(".com"));
  if (com >= 0) host.truncate(com + 4);
  return QStringLiteral("An error has occurred and the update has failed.") + kCrLf +
         "Download the new version of this application manually at " + kCrLf + host;
}

std::optional<InstallerManifest> ParseManifest(const QByteArray& text) {
  InstallerManifest manifest;
  bool file = false, version = false, size = false, sha = false;
  for (QByteArray line : text.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    if (line.trimmed().isEmpty()) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals <= 0) return std::nullopt;
    const QByteArray key = line.left(equals).trimmed();
    const QByteArray value = line.mid(equals + 1).trimmed();
    if (key == "file" && !file && !value.isEmpty()) {
      manifest.file = QString::fromUtf8(value);
      file = true;
    } else if (key == "version" && !version && !value.isEmpty() && value.size() <= 8) {
      manifest.version = QString::fromUtf8(value);
      version = true;
    } else if (key == "size" && !size) {
      bool ok = false;
      manifest.size = value.toLongLong(&ok);
      for (const char c : value) ok = ok && c >= '0' && c <= '9';
      if (!ok || manifest.size <= 0) return std::nullopt;
      size = true;
    } else if (key == "sha256" && !sha && value.size() == 64) {
      for (const char c : value) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return std::nullopt;
      }
      manifest.sha256 = QByteArray::fromHex(value);
      sha = true;
    } else {
      return std::nullopt;
    }
  }
  if (!file || !version || !size || !sha) return std::nullopt;
  return manifest;
}

}  // namespace typeloom::update
