#pragma once
// The saved properties of the program's own controls: what a window's layout gives
// each control when the window opens, and what the control gives back when it is
// saved. Held in memory.
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>
#include <vector>

namespace typeloom::controls {

class PropertyStore {
 public:
  PropertyStore() = default;
  // A layout with these values, in this order.
  PropertyStore(std::initializer_list<std::pair<QString, QVariant>> values);

  // The value stored under key (compared without regard to case), or defaultValue
  // when there is none.
  QVariant Read(const QString& key, const QVariant& defaultValue) const;
  // Stores value under key: a key already present (in any case) keeps its place,
  // a new one goes to the end.
  void Write(const QString& key, const QVariant& value);
  bool Contains(const QString& key) const;
  // The keys in the order they were first written.
  QStringList Keys() const;
  void Clear();

  // A control's setter marks its property changed: the layout must save it again.
  void MarkChanged(const QString& key);
  bool IsChanged(const QString& key) const;
  // Changed keys in the order they were first marked.
  QStringList ChangedKeys() const;
  void ClearChanged();

 private:
  std::vector<std::pair<QString, QVariant>> values_;
  QStringList changed_;
};

}  // namespace typeloom::controls
