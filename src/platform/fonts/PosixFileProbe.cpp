#include "platform/fonts/FileProbe.h"

#include <sys/stat.h>

namespace typeloom::platform {

bool PosixFileProbe::FileExists(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode);
}

}  // namespace typeloom::platform
