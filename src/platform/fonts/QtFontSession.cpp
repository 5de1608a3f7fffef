#include "platform/fonts/FontSession.h"

#include "platform/fonts/FaceResolver.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <unordered_map>

namespace typeloom::platform {

namespace {

// Faces of `path` in fontconfig's system set (not the application fonts). Each
// path's answer is kept while the fonts stay the same: choosing such a font again
// does not scan the set again, and a start scans it once, for the one path asked.
int InstalledFaceCount(const std::string& path) {
  static std::size_t stampOf = 0;
  static std::unordered_map<std::string, int> known;
  if (const std::size_t stamp = FontsStamp(); stamp != stampOf) {
    known.clear();
    stampOf = stamp;
  }
  if (const auto it = known.find(path); it != known.end()) return it->second;
  int count = 0;
  if (FcFontSet* system = FcConfigGetFonts(nullptr, FcSetSystem)) {
    for (int i = 0; i < system->nfont; ++i) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(system->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file != nullptr &&
          path == reinterpret_cast<const char*>(file)) {
        ++count;
      }
    }
  }
  if (known.size() > 100000) known.clear();  // bounded: paths come from the font list
  known.emplace(path, count);
  return count;
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
