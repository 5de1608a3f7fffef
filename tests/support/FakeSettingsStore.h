#pragma once
// In-memory settings store for tests.
#include "platform/settings/SettingsStore.h"

#include <QString>

#include <map>
#include <tuple>

namespace typeloom::test {

class FakeSettingsStore final : public platform::SettingsStore {
 public:
  QString GetSetting(const QString& app, const QString& section, const QString& key,
                     const QString& defaultValue = QString()) override;
  void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) override;

  bool Contains(const QString& app, const QString& section, const QString& key) const;
  int saveCount() const { return saveCount_; }

 private:
  std::map<std::tuple<QString, QString, QString>, QString> values_;
  int saveCount_ = 0;
};

}  // namespace typeloom::test
