// Fuzz target: the fonts key's value names as installed fonts give them. The bytes are
// names split at line feeds (font names come from font files: any bytes, repeated at
// will). Traps when the numbered names are not unique as the registry compares them,
// when the first file of a name does not keep it, or when another one's name is not
// its own with a number put in. The same names as file names: traps when the file
// found for one is not the first whose name folds as it does.
#include "platform/fonts/FontsKeyNames.h"
#include "platform/registry/Registry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using typeloom::platform::InstalledFontFile;

// Whether `numbered` is `name` with " N" before its last ')' (when a '(' stands before
// that), else with " (N)" after it, N a number from 2 without leading zeros.
bool IsNumbered(const std::string& name, const std::string& numbered) {
  const std::size_t close = name.rfind(')');
  const bool inside = close != std::string::npos && name.rfind('(', close) != std::string::npos;
  const std::size_t at = inside ? close : name.size();
  const std::string head = inside ? " " : " (";
  const std::string tail = inside ? "" : ")";
  if (numbered.size() < name.size() + head.size() + tail.size() + 1) return false;
  const std::size_t digits = numbered.size() - name.size() - head.size() - tail.size();
  if (numbered.compare(0, at, name, 0, at) != 0 || numbered.compare(at, head.size(), head) != 0) return false;
  const std::string number = numbered.substr(at + head.size(), digits);
  if (number[0] == '0' || number.find_first_not_of("0123456789") != std::string::npos) return false;
  if (number.size() == 1 && number[0] == '1') return false;
  return numbered.compare(at + head.size() + digits, tail.size(), tail) == 0 &&
         numbered.compare(at + head.size() + digits + tail.size(), std::string::npos, name, at) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace reg = typeloom::platform::reg;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<InstalledFontFile> files;
  std::size_t start = 0;
  while (start <= bytes.size() && files.size() < 200) {
    const std::size_t end = bytes.find('\n', start);
    files.push_back({bytes.substr(start, end == std::string::npos ? std::string::npos : end - start), "f", "/f"});
    if (end == std::string::npos) break;
    start = end + 1;
  }
  const std::vector<InstalledFontFile> original = files;
  typeloom::platform::fontskey::MakeUnique(files);
  if (files.size() != original.size()) std::abort();
  std::unordered_set<std::string> folded;
  std::unordered_set<std::string> firsts;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!folded.insert(reg::FoldName(files[i].valueName)).second) std::abort();  // not unique
    const bool first = firsts.insert(reg::FoldName(original[i].valueName)).second;
    if (first && files[i].valueName != original[i].valueName) std::abort();  // the first keeps its name
    if (!first && !IsNumbered(original[i].valueName, files[i].valueName)) std::abort();
  }
  for (std::size_t i = 0; i < original.size(); ++i) files[i].fileName = original[i].valueName;
  for (const InstalledFontFile& wanted : original) {
    const std::string key = reg::FoldName(wanted.valueName);
    std::size_t expected = 0;
    while (reg::FoldName(files[expected].fileName) != key) ++expected;  // the name itself is among them
    if (typeloom::platform::fontskey::FindFileName(files, wanted.valueName) != expected) std::abort();
  }
  return 0;
}
