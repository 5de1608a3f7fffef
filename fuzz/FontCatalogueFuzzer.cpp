// Fuzz target: the font catalogue read from the fonts key. The bytes are installed
// files split at line feeds, each a value name and, after a tab, its file's name (any
// bytes: both come from outside). The key is read twice: straight from its file
// records, and value by value through the enumeration and reads every registry has.
// Traps when the two give different names or records, or when a record is not the
// cleaning of its value name (converted whole) with its file's text, lower-cased.
#include "app/FontCatalogue.h"
#include "options/RegistryModule.h"
#include "platform/registry/CompositeRegistry.h"
#include "platform/registry/FontsKeyRegistry.h"
#include "platform/ui/ListOrder.h"

#include <QSet>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

namespace platform = typeloom::platform;
namespace reg = platform::reg;
using platform::KeyHandle;
using platform::RootKey;

class ListedFonts final : public platform::InstalledFonts {
 public:
  const std::vector<platform::InstalledFontFile>& Files() override { return files; }
  std::vector<platform::InstalledFontFile> files;
};

// A registry with no keys: the composite's default.
class NoKeys final : public platform::Registry {
 public:
  long OpenKey(RootKey, std::string_view, std::uint32_t, KeyHandle*) override { return reg::kFileNotFound; }
  long CreateKey(RootKey, std::string_view, std::uint32_t, KeyHandle*) override { return reg::kAccessDenied; }
  long EnumValue(KeyHandle, std::uint32_t, char*, std::uint32_t*) override { return reg::kInvalidHandle; }
  long QueryValue(KeyHandle, std::string_view, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
    return reg::kInvalidHandle;
  }
  long SetValue(KeyHandle, std::string_view, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
    return reg::kAccessDenied;
  }
  long CloseKey(KeyHandle) override { return reg::kInvalidHandle; }
};

// Another registry seen through the calls alone, so that its values are walked by
// enumerating and reading them one by one.
class CallsOnly final : public platform::Registry {
 public:
  explicit CallsOnly(platform::Registry& inner) : inner_(inner) {}
  long OpenKey(RootKey r, std::string_view p, std::uint32_t a, KeyHandle* k) override {
    return inner_.OpenKey(r, p, a, k);
  }
  long CreateKey(RootKey r, std::string_view p, std::uint32_t a, KeyHandle* k) override {
    return inner_.CreateKey(r, p, a, k);
  }
  long EnumValue(KeyHandle k, std::uint32_t i, char* n, std::uint32_t* l) override {
    return inner_.EnumValue(k, i, n, l);
  }
  long QueryValue(KeyHandle k, std::string_view n, std::uint32_t* t, std::uint8_t* d, std::uint32_t* s) override {
    return inner_.QueryValue(k, n, t, d, s);
  }
  long SetValue(KeyHandle k, std::string_view n, std::uint32_t t, const std::uint8_t* d, std::uint32_t s) override {
    return inner_.SetValue(k, n, t, d, s);
  }
  long CloseKey(KeyHandle k) override { return inner_.CloseKey(k); }

 private:
  platform::Registry& inner_;
};

void Same(const typeloom::app::FontCatalogue& a, const typeloom::app::FontCatalogue& b) {
  if (a.catalogueNames != b.catalogueNames || a.catalogueFiles != b.catalogueFiles ||
      a.catalogueBold != b.catalogueBold || a.catalogueItalic != b.catalogueItalic ||
      a.catalogueSizes != b.catalogueSizes) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using typeloom::app::CleanValueName;
  using typeloom::app::FontCatalogue;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ListedFonts fonts;
  std::size_t start = 0;
  while (start <= bytes.size() && fonts.files.size() < 200) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    const std::size_t tab = line.find('\t');
    fonts.files.push_back({line.substr(0, tab), tab == std::string::npos ? std::string() : line.substr(tab + 1), {}});
    start = end + 1;
  }

  NoKeys none;
  platform::CompositeRegistry direct(none);
  platform::FontsKeyRegistry fontsKey(fonts);
  direct.Mount(RootKey::LocalMachine, typeloom::app::kNtFontsKey, fontsKey);
  CallsOnly enumerated(direct);

  FontCatalogue fromDirect, fromEnumerated;
  const QStringList names = typeloom::app::BuildFontNames(direct, fromDirect);
  if (typeloom::app::BuildFontNames(enumerated, fromEnumerated) != names) std::abort();
  Same(fromDirect, fromEnumerated);
  if (typeloom::app::ListFontNames(direct) != names || typeloom::app::ListFontNames(enumerated) != names) std::abort();

  // The same by hand: the walk ends at an empty name or one of 2,000 bytes or more;
  // the first value of each file makes its record.
  QStringList expected;
  QSet<QString> files;
  std::size_t record = 0;
  for (const platform::InstalledFontFile& f : fonts.files) {
    if (f.valueName.empty() || f.valueName.size() >= 2000) break;
    const auto cleaned = CleanValueName(QString::fromUtf8(f.valueName.data(), static_cast<qsizetype>(f.valueName.size())));
    if (!cleaned.name.isEmpty()) expected.append(cleaned.name);
    const std::string_view text = typeloom::RegistryModule::StringText({f.fileName.c_str(), f.fileName.size() + 1});
    const QString file = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLower();
    if (files.contains(file)) continue;
    files.insert(file);
    if (record >= fromDirect.catalogueNames.size()) std::abort();
    if (fromDirect.catalogueNames[record] != cleaned.name.toLower() || fromDirect.catalogueFiles[record] != file ||
        fromDirect.catalogueBold[record] != cleaned.bold || fromDirect.catalogueItalic[record] != cleaned.italic ||
        fromDirect.catalogueSizes[record] != cleaned.sizes) {
      std::abort();
    }
    ++record;
  }
  if (record != fromDirect.catalogueNames.size()) std::abort();
  platform::SortListItems(expected);
  expected.removeDuplicates();
  if (expected != names) std::abort();
  return 0;
}
