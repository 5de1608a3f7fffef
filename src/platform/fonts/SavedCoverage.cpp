#include "platform/fonts/SavedCoverage.h"

#include <fontconfig/fontconfig.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace typeloom::platform {
namespace {

constexpr std::string_view kMagic = "typeloom list faces 2\n";

}  // namespace

// Eight bytes at a time.
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t seed) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  std::uint64_t hash = (seed ^ bytes.size()) * kMultiplier;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    hash = (((hash << 23) | (hash >> 41)) ^ word) * kMultiplier;
  }
  if (i < bytes.size()) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, bytes.size() - i);
    hash = (((hash << 23) | (hash >> 41)) ^ word) * kMultiplier;
  }
  hash ^= hash >> 29;
  hash *= kMultiplier;
  return hash ^ (hash >> 32);
}

namespace {

void PutNumber(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Reads the file's fields in order; every read checks what is left.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}
  bool Number(std::uint64_t& value, int bytes) {
    if (rest_.size() < static_cast<std::size_t>(bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; ++i) value |= std::uint64_t{static_cast<unsigned char>(rest_[i])} << (8 * i);
    rest_.remove_prefix(static_cast<std::size_t>(bytes));
    return true;
  }
  bool Text(std::string& text) {
    std::uint64_t size = 0;
    if (!Number(size, 4) || size > rest_.size()) return false;
    text.assign(rest_.substr(0, size));
    rest_.remove_prefix(size);
    return true;
  }
  std::size_t Left() const { return rest_.size(); }

 private:
  std::string_view rest_;
};

void PutText(std::string& out, std::string_view text) {
  PutNumber(out, text.size(), 4);
  out += text;
}

// `path` and what stat says of it (a missing one as its error), for FontconfigState.
void PutPlace(std::string& out, char kind, std::string_view path) {
  out += kind;
  PutText(out, path);
  struct stat st {};
  if (::stat(std::string(path).c_str(), &st) != 0) {
    out += '-';
    PutNumber(out, static_cast<std::uint64_t>(errno), 4);
    return;
  }
  out += '+';
  for (const std::uint64_t value :
       {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
        static_cast<std::uint64_t>(st.st_mode), static_cast<std::uint64_t>(st.st_size),
        static_cast<std::uint64_t>(st.st_mtim.tv_sec), static_cast<std::uint64_t>(st.st_mtim.tv_nsec),
        static_cast<std::uint64_t>(st.st_ctim.tv_sec), static_cast<std::uint64_t>(st.st_ctim.tv_nsec)}) {
    PutNumber(out, value, 8);
  }
}

std::string_view Parent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? std::string_view("/") : path.substr(0, slash);
}

void PutList(std::string& out, char kind, FcStrList* list, bool parents) {
  if (list == nullptr) {
    out += kind;
    out += '!';
    return;
  }
  std::vector<std::string> folders;  // the parents put so far (a configuration folder holds dozens of files)
  while (FcChar8* item = FcStrListNext(list)) {
    const std::string_view path(reinterpret_cast<const char*>(item));
    PutPlace(out, kind, path);
    if (!parents) continue;
    const std::string_view parent = Parent(path);
    if (std::find(folders.begin(), folders.end(), parent) != folders.end()) continue;
    folders.emplace_back(parent);
    PutPlace(out, 'p', parent);
  }
  FcStrListDone(list);
}

// Whether fontconfig's answers may depend on the environment entry; `choosing`: only
// the entries that choose the configuration and the language.
bool ReadsEnvironment(std::string_view entry, bool choosing = false) {
  const std::string_view name = entry.substr(0, entry.find('='));
  for (const std::string_view prefix : {"FC_", "FONTCONFIG_", "LC_", "XDG_"}) {
    if (name.substr(0, prefix.size()) == prefix) return !choosing || prefix != "XDG_";
  }
  return name == "LANG" || name == "LANGUAGE" || (!choosing && name == "HOME");
}

std::vector<std::string_view> EnvironmentRead(char** environment, bool choosing) {
  std::vector<std::string_view> read;
  for (char** entry = environment; entry != nullptr && *entry != nullptr; ++entry) {
    if (ReadsEnvironment(*entry, choosing)) read.emplace_back(*entry);
  }
  std::sort(read.begin(), read.end());
  return read;
}

// This library's own file (the module it is linked into, or the program).
const char kHere = 0;

std::string OwnFile() {
  Dl_info info{};
  if (::dladdr(&kHere, &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

bool PrivateFolder(const std::string& folder) {
  struct stat st {};
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 0777) == 0700;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string WriteSavedCoverage(const SavedCoverage& saved) {
  std::string out(kMagic);
  PutText(out, saved.state);
  PutNumber(out, saved.faces.size(), 4);
  for (const SavedCoverage::Face& face : saved.faces) {
    PutNumber(out, face.position, 4);
    PutNumber(out, face.fingerprint, 8);
  }
  PutNumber(out, saved.names.size(), 4);
  for (const SavedCoverage::Name& name : saved.names) {
    PutText(out, name.name);
    PutNumber(out, name.face, 4);
    PutNumber(out, name.pickAmong, 4);
    if (name.pickAmong != 0) PutText(out, name.request);
  }
  PutNumber(out, HashBytes(out), 8);
  return out;
}

std::optional<SavedCoverage> ReadSavedCoverage(std::string_view bytes) {
  if (bytes.size() < kMagic.size() + 8 || bytes.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  const std::string_view body = bytes.substr(0, bytes.size() - 8);
  Reader sum(bytes.substr(body.size()));
  std::uint64_t checksum = 0;
  if (!sum.Number(checksum, 8) || checksum != HashBytes(body)) return std::nullopt;
  Reader in(body.substr(kMagic.size()));
  SavedCoverage saved;
  std::uint64_t count = 0;
  if (!in.Text(saved.state) || !in.Number(count, 4) || count > in.Left() / 12) return std::nullopt;
  saved.faces.resize(count);
  for (SavedCoverage::Face& face : saved.faces) {
    std::uint64_t position = 0;
    if (!in.Number(position, 4) || !in.Number(face.fingerprint, 8)) return std::nullopt;
    face.position = static_cast<std::uint32_t>(position);
  }
  if (!in.Number(count, 4) || count > in.Left() / 12) return std::nullopt;
  saved.names.resize(count);
  for (std::size_t i = 0; i < saved.names.size(); ++i) {
    SavedCoverage::Name& name = saved.names[i];
    std::uint64_t face = 0, among = 0;
    if (!in.Text(name.name) || !in.Number(face, 4) || !in.Number(among, 4)) return std::nullopt;
    if (among != 0 && (among < 2 || !in.Text(name.request) || name.request.empty())) return std::nullopt;
    name.face = static_cast<std::uint32_t>(face);
    name.pickAmong = static_cast<std::uint32_t>(among);
    if (name.name.empty() || (name.face != SavedCoverage::kNoFace && name.face >= saved.faces.size())) {
      return std::nullopt;
    }
    if (among != 0 && (name.face == SavedCoverage::kNoFace || among > saved.faces.size() - name.face)) {
      return std::nullopt;
    }
    // In byte order, each once.
    if (i > 0 && !(saved.names[i - 1].name < name.name)) return std::nullopt;
  }
  if (in.Left() != 0) return std::nullopt;
  return saved;
}

std::uint64_t FaceFingerprint(FcPattern* face) {
  FcChar8* file = nullptr;
  FcPatternGetString(face, FC_FILE, 0, &file);
  int index = 0;
  FcPatternGetInteger(face, FC_INDEX, 0, &index);
  const std::string_view path = file != nullptr ? reinterpret_cast<const char*>(file) : "";
  return HashBytes(path, static_cast<std::uint32_t>(index));
}

std::string SavedFileName(std::string_view prefix, char** environment, std::string_view inputs) {
  std::string identity;
  PutText(identity, inputs);
  for (const std::string_view entry : EnvironmentRead(environment, true)) PutText(identity, entry);
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(HashBytes(identity)));
  return std::string(prefix) + hex;
}

std::optional<std::string> FontconfigState(char** environment) {
  if (!FcInit()) return std::nullopt;
  std::string out;
  PutList(out, 'c', FcConfigGetConfigFiles(nullptr), true);
  PutList(out, 'd', FcConfigGetConfigDirs(nullptr), false);
  PutList(out, 'f', FcConfigGetFontDirs(nullptr), false);
  PutList(out, 'k', FcConfigGetCacheDirs(nullptr), false);
  for (const FcSetName which : {FcSetSystem, FcSetApplication}) {
    const FcFontSet* set = FcConfigGetFonts(nullptr, which);
    out += 's';
    PutNumber(out, set != nullptr ? static_cast<std::uint64_t>(set->nfont) + 1 : 0, 8);
  }
  const std::vector<std::string_view> read = EnvironmentRead(environment, false);
  for (const std::string_view entry : read) {
    out += 'e';
    PutText(out, entry);
  }
  // The user's configuration places, which count even before they exist.
  const auto value = [&](std::string_view name) -> std::string {
    for (const std::string_view entry : read) {
      if (entry.size() > name.size() && entry.substr(0, name.size()) == name && entry[name.size()] == '=') {
        return std::string(entry.substr(name.size() + 1));
      }
    }
    return {};
  };
  const std::string home = value("HOME");
  std::string config = value("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = home.empty() ? std::string() : home + "/.config";
  if (!config.empty()) {
    for (const char* place : {"/fontconfig", "/fontconfig/fonts.conf", "/fontconfig/conf.d"}) {
      PutPlace(out, 'u', config + place);
    }
  }
  if (!home.empty()) {
    for (const char* place : {"/.fonts.conf", "/.fonts.conf.d", "/.fonts"}) PutPlace(out, 'u', home + place);
  }
  char program[4096];
  const ssize_t length = ::readlink("/proc/self/exe", program, sizeof program);
  PutPlace(out, 'x', length > 0 ? std::string_view(program, static_cast<std::size_t>(length)) : std::string_view());
  PutPlace(out, 'm', OwnFile());
  return out;
}

std::string PrivateCacheFolder(const std::function<const char*(const char*)>& environment) {
  const char* cache = environment("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/typeloom";
  const char* home = environment("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/typeloom";
  return {};
}

std::optional<std::string> ReadPrivateFile(const std::string& folder, const std::string& name, std::size_t limit) {
  if (folder.empty() || !PrivateFolder(folder)) return std::nullopt;
  const std::string path = folder + "/" + name;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> bytes;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0 &&
      st.st_size >= 0 && static_cast<std::uint64_t>(st.st_size) <= limit) {
    std::string read(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < read.size()) {
      const ssize_t n = ::read(fd, read.data() + done, read.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    // A file that grew meanwhile is read short by one byte at least: refused.
    char more = 0;
    if (done == read.size() && ::read(fd, &more, 1) == 0) bytes = std::move(read);
  }
  ::close(fd);
  return bytes;
}

bool MakePrivateFolder(const std::string& folder) {
  if (folder.empty() || folder.front() != '/') return false;
  // The cache folder itself is made as the XDG rules ask (mode 0700) when missing.
  ::mkdir(std::string(Parent(folder)).c_str(), 0700);
  ::mkdir(folder.c_str(), 0700);
  return PrivateFolder(folder);
}

bool WritePrivateFile(const std::string& folder, const std::string& name, std::string_view bytes) {
  if (!MakePrivateFolder(folder)) return false;
  std::string aside = folder + "/." + name + ".XXXXXX";
  const int fd = ::mkostemp(aside.data(), O_CLOEXEC);
  if (fd < 0) return false;
  // No fsync: the file only spares later runs work that they can redo, and a file a
  // crash left short or zeroed fails ReadSavedCoverage's checksum and is replaced. A
  // failed write or close still leaves the old file in place.
  bool written = ::fchmod(fd, 0600) == 0 && WriteAll(fd, bytes);
  written = ::close(fd) == 0 && written;
  if (written && ::rename(aside.c_str(), (folder + "/" + name).c_str()) == 0) return true;
  ::unlink(aside.c_str());
  return false;
}

}  // namespace typeloom::platform
