#include "platform/fonts/FontSession.h"

#include "platform/fonts/FaceResolver.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace typeloom::platform {

namespace {

constexpr int kAlreadyInstalled = -1;

}  // namespace

// A file the system already lists is not registered again: that would give Qt a
// second copy of the same faces, and removing it later rebuilds Qt's whole font
// database and drops every cached font engine (a font switch then costs tens of
// milliseconds). Its faces are counted as added, as the system would answer.
int QtFontSession::AddFont(const std::string& path) {
  if (const int installed = InstalledFaceCount(path); installed > 0) {
    ids_[path].push_back(kAlreadyInstalled);
    return installed;
  }
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
  return id == kAlreadyInstalled || QFontDatabase::removeApplicationFont(id);
}

int QtFontSession::Outstanding(const std::string& path) const {
  const auto it = ids_.find(path);
  return it == ids_.end() ? 0 : static_cast<int>(it->second.size());
}

}  // namespace typeloom::platform
