#pragma once
#include "platform/settings/SettingsStore.h"

#include <QString>

namespace typeloom::platform {

// Settings kept in an INI file per application: <config>/<app>/<app>.ini, where
// <config> is $XDG_CONFIG_HOME or ~/.config; the section is the INI group.
// Every call opens the file afresh, so values saved by other processes are seen.
class QtSettingsStore final : public SettingsStore {
 public:
  // `configDir` replaces the XDG config folder (tests); empty means the XDG one.
  explicit QtSettingsStore(QString configDir = QString());

  QString GetSetting(const QString& app, const QString& section, const QString& key,
                     const QString& defaultValue = QString()) override;
  void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) override;

  // The INI file that holds the settings of `app`.
  QString FilePath(const QString& app) const;
  // Why the last save failed ("<file>: <reason>"); empty after a save that succeeded.
  QString LastError() const { return lastError_; }

 private:
  QString configDir_;
  QString lastError_;
};

}  // namespace typeloom::platform
