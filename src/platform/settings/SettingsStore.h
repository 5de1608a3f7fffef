#pragma once
// Per-user text settings addressed by application, section and key.
#include <QString>

namespace typeloom::platform {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or `defaultValue` when the key is absent.
  virtual QString GetSetting(const QString& app, const QString& section, const QString& key,
                             const QString& defaultValue = QString()) = 0;
  // Stores the text; other processes see it once this returns.
  virtual void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) = 0;
};

}  // namespace typeloom::platform
