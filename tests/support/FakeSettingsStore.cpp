#include "support/FakeSettingsStore.h"

namespace typeloom::test {

QString FakeSettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                      const QString& defaultValue) {
  const auto it = values_.find({app, section, key});
  return it == values_.end() ? defaultValue : it->second;
}

void FakeSettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                    const QString& value) {
  values_[{app, section, key}] = value;
  ++saveCount_;
}

bool FakeSettingsStore::Contains(const QString& app, const QString& section, const QString& key) const {
  return values_.count({app, section, key}) != 0;
}

}  // namespace typeloom::test
