#include "platform/fonts/FontSession.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace typeloom::platform {

int QtFontSession::AddFont(const std::string& path) {
  const int id = QFontDatabase::addApplicationFont(QString::fromStdString(path));
  if (id < 0) return 0;
  ids_[path].push_back(id);
  const auto families = QFontDatabase::applicationFontFamilies(id).size();
  return families > 0 ? static_cast<int>(families) : 1;
}

bool QtFontSession::RemoveFont(const std::string& path) {
  const auto it = ids_.find(path);
  if (it == ids_.end() || it->second.empty()) return false;
  const int id = it->second.back();
  it->second.pop_back();
  if (it->second.empty()) ids_.erase(it);
  return QFontDatabase::removeApplicationFont(id);
}

int QtFontSession::Outstanding(const std::string& path) const {
  const auto it = ids_.find(path);
  return it == ids_.end() ? 0 : static_cast<int>(it->second.size());
}

}  // namespace typeloom::platform
