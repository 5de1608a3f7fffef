#pragma once
// What this build and this run say about updates and the maker's addresses.
#include <QByteArray>
#include <QString>

namespace typeloom::update {

// The build offers the update check (distribution packages switch it off).
bool UpdateCheckBuiltIn();
// The web folder of the updates: TYPELOOM_UPDATE_URL when set, else the build's.
QString DownloadFolder();
// The raw Ed25519 public key installers are signed for: TYPELOOM_UPDATE_KEY when
// set, else the build's; empty when neither is a valid key.
QByteArray UpdatePublicKey();
// The maker's web site and e-mail address.
QString MakerWebAddress();
QString MakerEmailAddress();

// What "Update Check" says when the build has no update check.
inline constexpr char kUpdatesFromPackageManager[] =
    "This copy of Typeloom is updated by your system's package manager.";

}  // namespace typeloom::update
