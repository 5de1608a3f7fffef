#pragma once
// Fonts added for the running session only, and the font-change announcement.
#include <map>
#include <string>
#include <vector>

namespace typeloom::platform {

class FontSession {
 public:
  virtual ~FontSession() = default;
  // Adds the fonts of the file for this session; the number of fonts added, 0 on failure.
  virtual int AddFont(const std::string& path) = 0;
  // Undoes one AddFont of the same path. False when none is outstanding.
  virtual bool RemoveFont(const std::string& path) = 0;
  // Tells other programs that the set of fonts changed.
  virtual void BroadcastFontChange() = 0;
};

// Application fonts of this process (QFontDatabase, which fontconfig in this process
// then sees). There is no system-wide font-change message on Linux: the broadcast is
// only counted.
class QtFontSession final : public FontSession {
 public:
  int AddFont(const std::string& path) override;
  bool RemoveFont(const std::string& path) override;
  void BroadcastFontChange() override { ++broadcasts_; }

  int BroadcastCount() const { return broadcasts_; }
  // Number of adds of `path` not yet removed.
  int Outstanding(const std::string& path) const;

 private:
  std::map<std::string, std::vector<int>> ids_;  // path -> application font ids, oldest first
  int broadcasts_ = 0;
};

}  // namespace typeloom::platform
