// Fuzz target: the list filter's Qt-free reading of the installed fonts' names (font
// names come from font files: any bytes). The bytes are value names split at line
// feeds. Traps when a name cleaned on UTF-8 differs from the catalogue's cleaning,
// when folding towards ASCII disagrees with Qt's folding on a name Qt folds to ASCII,
// when the size-list rule on UTF-8 disagrees with the rule on UTF-16, or when the
// printed list holds a control character or a line too many.
#include "app/FontCatalogue.h"
#include "app/QuickCoverageList.h"
#include "platform/fonts/CoverageIndex.h"
#include "platform/fonts/SizeListName.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string Utf8(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace typeloom;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= bytes.size() && names.size() < 100) {
    const std::size_t end = bytes.find('\n', start);
    const std::string value = bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const QString text = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    const bool wellFormed = Utf8(text) == value;

    if (const std::optional<std::string> name = app::AsciiListName(value)) {
      if (!IsAscii(*name) || name->find_first_of("()") != std::string::npos) std::abort();
      if (Utf8(app::CleanValueName(text).name) != *name) std::abort();
      if (!name->empty()) names.push_back(*name);
    }

    const std::string quick = app::FoldTowardsAscii(value);
    const std::string qt = Utf8(text.toCaseFolded());
    if (IsAscii(qt) != IsAscii(quick)) std::abort();
    if (IsAscii(qt) && qt != quick) std::abort();

    if (wellFormed && std::string(platform::WithoutSizeListUtf8(value)) != Utf8(platform::WithoutSizeList(text))) {
      std::abort();
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }

  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  for (const app::QuickOrder order : {app::QuickOrder::C, app::QuickOrder::PrintableAscii}) {
    std::size_t asked = 0;
    const std::string text = app::CoveringListText(names, [&](const std::string&) { return ++asked % 2 == 1; }, order);
    if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) != (names.size() + 1) / 2) std::abort();
    for (const char c : text) {
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F) std::abort();
    }
  }
  return 0;
}
