#pragma once
// `typeloom --list --covers TEXT --lang TAG` answered before Qt is loaded, when the
// answer can be told exactly without it: list names of plain ASCII, sorted as the
// font list sorts them in the C locale, or under a locale that leaves printable ASCII
// in its common order (ListOrder.h). Anything else (a mistake on the command line,
// another locale, a name beyond ASCII) is left to the start module, which answers
// every case (Main.h). Standard C++ and fontconfig only.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::app {

// How the font list sorts under the locale Qt takes from the environment (the
// first of LC_ALL, LC_MESSAGES and LANG that is set, unless a LANGUAGE list that Qt
// would prefer is set): in the C locale's order (C, POSIX, C.UTF-8), in the common
// order of printable ASCII (a language of asciiorder::kPlainLanguages, with at most
// a country and a character set), or by a collation only Qt can ask (None).
enum class QuickOrder { None, C, PrintableAscii };
QuickOrder ListOrderFromEnvironment(const std::function<const char*(const char*)>& environment);

// The list name CleanValueName (FontCatalogue.h) makes of a fonts-key value name, on
// UTF-8; nothing when that could differ from what it makes on UTF-16 or the name is
// one this path does not answer (beyond ASCII, or keeping a parenthesis).
std::optional<std::string> AsciiListName(std::string_view valueName);

// The list names, one a line, of `names` that `covers` accepts, in list order
// (without regard to case, then exact), escaped for a terminal as --list escapes
// them; `names` must be ASCII and free of repeats, and printable for PrintableAscii.
std::string CoveringListText(std::vector<std::string> names, const std::function<bool(const std::string&)>& covers,
                             QuickOrder order);

// Folds ASCII letters and the two characters beyond ASCII that fold to ASCII (long s,
// Kelvin sign) as Qt folds them; every other byte stays. Two names fold alike here
// exactly when Qt's folding makes them the same ASCII text.
std::string FoldTowardsAscii(std::string_view utf8);

// The whole command: its output and status, or nothing when the start module must
// answer (nothing has been written then).
struct QuickAnswer {
  std::string text;
  // What the answer was read from (the faces' index, the names), which a caller about
  // to end the process may leave undestroyed.
  std::shared_ptr<const void> sources;
  // Work for after the answer is out: saving the faces the names draw in for the
  // next run (empty when there is nothing to save).
  std::function<void()> afterwards;
};
// With `savedFaces` (the process's environment, environ), a query is answered from the
// faces saved by an earlier run (in PrivateCacheFolder, SavedCoverage.h) while
// fontconfig's state is the one they were saved under; the answer is the same.
std::optional<QuickAnswer> AnswerCoverageList(const std::vector<std::string_view>& arguments,
                                              const std::function<const char*(const char*)>& environment,
                                              char** savedFaces = nullptr);

}  // namespace typeloom::app
