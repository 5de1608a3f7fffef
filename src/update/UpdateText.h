#pragma once
// The update check's text rules: file addresses, local paths, the user's messages
// and the version test. Plain values in, plain values out.
#include <QByteArray>
#include <QString>

#include <optional>

namespace typeloom::update {

inline constexpr char kCrLf[] = "\r\n";

// `text` without its space characters.
QString RemoveSpaces(const QString& text);

// The address of file `name` in the folder `downloadUrl`: lower case, one "/"
// between folder and name, spaces removed.
QString BuildFileUrl(const QString& downloadUrl, const QString& name);

// The address that is actually fetched: a folder given without a scheme is
// fetched over https://; https:// stays; any other scheme (http:// included)
// gives "" and is not fetched.
QString SecureUrl(const QString& url);

// Where the downloaded file `name` goes in `folder`: the lower-cased name after
// the folder and one "/" (spaces are kept).
QString LocalUpdatePath(const QString& folder, const QString& name);

// "1.4" for version 1.4.
QString CurrentVersionText(int major, int minor);

// True when the server's version text names a later version than major.minor.
// The text is trimmed and read as dotted decimal numbers compared one by one
// (missing ones count as 0); a text of more than 8 characters (an error page) or
// one that is not dotted numbers is never newer.
bool IsNewerVersion(const QString& serverText, int major, int minor);

// What the user reads about an available version, with the changes when there are any.
QString BuildUpdateMessage(int major, int minor, const QString& newVersion, const QString& changes);

// The failure text naming where to download the program by hand.
QString ManualDownloadMessage(const QString& downloadUrl);

// The signed description of an installer (`<installer>.manifest`), lines of
// "key=value":
//   file=typeloominstall.run      the installer's name in the folder
//   version=1.5                   the version it installs
//   size=123456                   its length in bytes
//   sha256=<64 hex digits>        its SHA-256
struct InstallerManifest {
  QString file;
  QString version;
  qint64 size = 0;
  QByteArray sha256;  // 32 raw bytes
};

// The manifest in `text`; nullopt when a key is missing, repeated or malformed, or
// another key is present.
std::optional<InstallerManifest> ParseManifest(const QByteArray& text);

}  // namespace typeloom::update
