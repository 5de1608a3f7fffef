#include "options/Settings.h"

#include "platform/settings/SettingsStore.h"

namespace typeloom::settings {

QString Read(platform::SettingsStore& store, const Key& key) {
  return store.GetSetting(kApplication, kSection, key.name, key.defaultValue);
}

void Write(platform::SettingsStore& store, const Key& key, const QString& text) {
  store.SaveSetting(kApplication, kSection, key.name, text);
}

bool IsOne(platform::SettingsStore& store, const Key& key) {
  bool ok = false;
  const double value = Read(store, key).trimmed().toDouble(&ok);
  return ok && value == 1.0;
}

}  // namespace typeloom::settings
