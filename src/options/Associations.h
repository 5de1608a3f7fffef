#pragma once
// The shell's open and print commands of the font-file types (the five Windows
// types, then the Linux ones: platform::shell::FontExtensions): remembered, set to
// the program's own and put back, through RegistryModule.
//
// Under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE "software\classes", each type's
// command key "<ext>file\shell\open\command" (kind "V") or "...\print\command"
// (kind "P") holds the command as its default value; the program's own command is
// written as type 2, which reads back as empty. What was there before is
// remembered per root and type, in the settings "PriorViewAssociation" and
// "PriorPrintAssociation", and each type gets its own back, only while it still
// holds the program's command.
#include <QString>

#include <map>
#include <string>

namespace typeloom::platform {
class Registry;
class SettingsStore;
}  // namespace typeloom::platform

namespace typeloom::associations {

struct Context {
  platform::Registry& registry;
  platform::SettingsStore& settings;
  QString openCommand;   // the program's path and " %1"
  QString printCommand;  // the program's path and " /p %1"
};

// Remembers each type's current command for the verb where it is another program's
// (or the type has none: remembered as an empty command); types that hold the
// program's own keep what was remembered, and stay unremembered when the program did
// not bind them.
void SavePriorAssociation(Context& context, const QString& kind);
// Writes the program's command for the verb under every type, in both roots.
// Nothing is written when the command has no program path. False when a type of the
// user's (HKEY_CLASSES_ROOT) could not be bound; the machine's are best effort.
bool SetAssociation(Context& context, const QString& kind);
// Puts back what was remembered, type by type, where the type still holds the
// program's command; a type with nothing remembered holds a binding the program did
// not make (the user's own, say) and keeps it. Then forgets what was remembered.
void RestoreAssociation(Context& context, const QString& kind);

// What one remembered setting holds: for each root ("c" classes root, "m" machine)
// and extension, the prior state: the command key's mimeapps lines ("L") or its
// command ("C"). Text that is not this form (a plain command) stands for all types.
struct Remembered {
  struct Entry {
    char form = 'C';
    QString value;
    bool operator==(const Entry&) const = default;
  };
  std::map<std::string, Entry> entries;  // "c:ttf" -> entry
  QString plainCommand;                  // an old single command for every type

  static Remembered Parse(const QString& text);
  QString Format() const;
  bool operator==(const Remembered&) const = default;
};

}  // namespace typeloom::associations
