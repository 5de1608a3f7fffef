#pragma once
// Whether a path names an existing file that can be read as one.
#include <string>

namespace typeloom::platform {

class FileProbe {
 public:
  virtual ~FileProbe() = default;
  // True for an existing file that is not a directory.
  virtual bool FileExists(const std::string& path) = 0;
};

// stat(2), following symbolic links. Only regular files count: a FIFO or a device
// would block or never end when read as a font.
class PosixFileProbe final : public FileProbe {
 public:
  bool FileExists(const std::string& path) override;
};

}  // namespace typeloom::platform
