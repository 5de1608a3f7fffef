#pragma once
// The installed font files, as the fonts key of the registry lists them.
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::platform {

struct InstalledFontFile {
  std::string valueName;  // "DejaVu Sans Bold (TrueType)", "Fixed 8,10,12 (Bitmap)", ...
  std::string fileName;   // base name of the file, as the value's data
  std::string path;       // absolute path of the file
};

class InstalledFonts {
 public:
  virtual ~InstalledFonts() = default;
  // One entry per installed font file, in a stable order; value names are unique
  // (without regard to case) and shorter than 500 bytes.
  virtual const std::vector<InstalledFontFile>& Files() = 0;
  // False when the font service could not be asked at all (Files() is then empty);
  // an empty list from a working service is true.
  virtual bool Available() { return true; }
};

// The system font folder: resolves a catalogue file name (the lower-cased base name)
// to the real file. Empty when no installed file has that name.
class SystemFontFolder {
 public:
  virtual ~SystemFontFolder() = default;
  virtual std::string PathOf(std::string_view catalogueFile) = 0;
};

}  // namespace typeloom::platform
