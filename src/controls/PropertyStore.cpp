#include "controls/PropertyStore.h"

#include <algorithm>

namespace typeloom::controls {
namespace {

bool SameKey(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

PropertyStore::PropertyStore(std::initializer_list<std::pair<QString, QVariant>> values) {
  for (const auto& [key, value] : values) Write(key, value);
}

QVariant PropertyStore::Read(const QString& key, const QVariant& defaultValue) const {
  const auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& kv) { return SameKey(kv.first, key); });
  return it == values_.end() ? defaultValue : it->second;
}

void PropertyStore::Write(const QString& key, const QVariant& value) {
  const auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& kv) { return SameKey(kv.first, key); });
  if (it == values_.end()) values_.emplace_back(key, value);
  else it->second = value;
}

bool PropertyStore::Contains(const QString& key) const {
  return std::any_of(values_.begin(), values_.end(), [&](const auto& kv) { return SameKey(kv.first, key); });
}

QStringList PropertyStore::Keys() const {
  QStringList keys;
  for (const auto& kv : values_) keys << kv.first;
  return keys;
}

void PropertyStore::Clear() {
  values_.clear();
  changed_.clear();
}

void PropertyStore::MarkChanged(const QString& key) {
  if (!IsChanged(key)) changed_ << key;
}

bool PropertyStore::IsChanged(const QString& key) const { return changed_.contains(key, Qt::CaseInsensitive); }

QStringList PropertyStore::ChangedKeys() const { return changed_; }

void PropertyStore::ClearChanged() { changed_.clear(); }

}  // namespace typeloom::controls
