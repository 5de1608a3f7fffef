#pragma once
// The font files fontconfig knows, each once, sorted.
#include <string>
#include <vector>

namespace typeloom::platform {

std::vector<std::string> FontconfigFontFiles();

}  // namespace typeloom::platform
