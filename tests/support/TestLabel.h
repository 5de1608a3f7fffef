#pragma once
// Readable names for table-driven cases: letters and digits kept, runs of
// anything else turned into one underscore (test runners choke on quotes and
// backslashes in names).
#include <string>
#include <string_view>

namespace typeloom::test {

inline std::string Label(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (keep) out += c;
    else if (!out.empty() && out.back() != '_') out += '_';
  }
  return out.empty() ? "empty" : out;
}

}  // namespace typeloom::test
