// Writes the manual page typeloom.1 from the command-line table.
// Usage: typeloom-manpage VERSION DATE OUTPUT
#include "app/CommandLineHelp.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: typeloom-manpage VERSION DATE OUTPUT\n", stderr);
    return 2;
  }
  const std::string page = typeloom::app::cli::ManualPage(argv[1], argv[2]);
  // Written beside the page and renamed, so a failed write leaves no half page.
  const std::string part = std::string(argv[3]) + ".part";
  std::FILE* out = std::fopen(part.c_str(), "wb");
  bool written = out != nullptr && std::fwrite(page.data(), 1, page.size(), out) == page.size();
  if (out != nullptr && std::fclose(out) != 0) written = false;
  if (!written || std::rename(part.c_str(), argv[3]) != 0) {
    std::fprintf(stderr, "typeloom-manpage: cannot write %s\n", argv[3]);
    std::remove(part.c_str());
    return 1;
  }
  return 0;
}
