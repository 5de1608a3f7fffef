#include "platform/fonts/FontSession.h"

#include "platform/fonts/FaceResolver.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <unordered_map>

namespace typeloom::platform {

namespace {

// Faces of `path` in fontconfig's system set (not the application fonts). The count
// per file is kept while the fonts stay the same (one pass over the set, not one per call).
int InstalledFaceCount(const std::string& path) {
  static std::size_t stampOf = 0;
  static bool filled = false;
  static std::unordered_map<std::string, int> faces;
  const std::size_t stamp = FontsStamp();
  if (!filled || stamp != stampOf) {
    faces.clear();
    if (FcFontSet* system = FcConfigGetFonts(nullptr, FcSetSystem)) {
      for (int i = 0; i < system->nfont; ++i) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(system->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
          ++faces[reinterpret_cast<const char*>(file)];
        }
      }
    }
    stampOf = stamp;
    filled = true;
  }
  const auto it = faces.find(path);
  return it == faces.end() ? 0 : it->second;
}

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
