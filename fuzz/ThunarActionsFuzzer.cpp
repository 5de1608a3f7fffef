// Fuzz target: a uca.xml as a user (or anything else) may have left it (any bytes),
// through the program's edits of its Thunar action. Traps when the action, once put
// in, is not found exactly as written, when taking it out does not give back every
// byte of a file that did not hold it, or when putting it in again changes anything.
#include "platform/shell/FileManagerActions.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace typeloom::platform::shell;

const QByteArray& Action() {
  static const QByteArray action = ThunarAction(
      "<action>\n\t<name>Print</name>\n\t<unique-id>typeloom-print</unique-id>\n\t<command>@COMMAND@</command>\n"
      "\t<patterns>@PATTERNS@</patterns>\n\t<other-files/>\n</action>\n",
      "/opt/it's here/typeloom", {"font/ttf", "font/collection"});
  return action;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QByteArray& action = Action();
  if (action.isEmpty()) __builtin_trap();
  const auto found = FindThunarAction(content);
  if (found && (found->begin < 0 || found->end > content.size() || found->begin >= found->end)) __builtin_trap();
  if (WithoutThunarAction(content).size() > content.size()) __builtin_trap();
  if (const auto with = WithThunarAction(content, action)) {
    const auto span = FindThunarAction(*with);
    if (!span || with->mid(span->begin, span->end - span->begin) != action) __builtin_trap();
    if (!found && WithoutThunarAction(*with) != content) __builtin_trap();
    if (WithThunarAction(*with, action) != with) __builtin_trap();
  } else if (content.contains("</actions>")) {
    __builtin_trap();
  }
  return IsOwnPrintScript(content) ? 1 : 0;
}
