#include "options/Associations.h"

#include "options/RegistryModule.h"
#include "options/Settings.h"
#include "platform/registry/Registry.h"
#include "platform/shell/ShellBindings.h"

#include <QStringList>
#include <QUrl>

#include <array>
#include <optional>

namespace typeloom::associations {
namespace {

using platform::RootKey;

constexpr std::int16_t kExpandSz = 2;

struct Root {
  RootKey key;
  const char* prefix;
  const char* tag;
};
constexpr std::array<Root, 2> kRoots{Root{RootKey::ClassesRoot, "", "c"},
                                     Root{RootKey::LocalMachine, "software\\classes\\", "m"}};

struct Verb {
  const char* keySuffix;
  const settings::Key& remembered;
  const QString& command;
};

std::optional<Verb> VerbOf(const Context& context, const QString& kind) {
  if (kind == "V") return Verb{"file\\shell\\open\\command", settings::kPriorViewAssociation, context.openCommand};
  if (kind == "P") return Verb{"file\\shell\\print\\command", settings::kPriorPrintAssociation, context.printCommand};
  return std::nullopt;
}

std::string KeyPath(const Root& root, const std::string& extension, const Verb& verb) {
  return std::string(root.prefix) + extension + verb.keySuffix;
}

std::string EntryName(const Root& root, const std::string& extension) { return std::string(root.tag) + ':' + extension; }

// A command that names no program (the path could not be found) is never written.
bool HasProgram(const QString& command) { return !command.isEmpty() && !command.front().isSpace(); }

// The type holds the program's own command: written as type 2, it reads back empty.
bool HoldsOwn(const RegistryResult& command, const QString& own) {
  return !command.IsError() && (command.IsEmpty() || command.Text().empty() || QString::fromStdString(command.Text()) == own);
}

// True when the value was written.
bool WriteCommand(platform::Registry& registry, RootKey root, const std::string& path, std::string_view name,
                  const QString& value) {
  RegistryModule::CreateKey(registry, root, path);
  return RegistryModule::SetValue(registry, root, path, name, kExpandSz, RegistryResult(value.toStdString()))
      .IsSuccess();
}

}  // namespace

Remembered Remembered::Parse(const QString& text) {
  Remembered r;
  if (text.isEmpty()) return r;
  const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    const QStringList fields = part.split(u':');
    if (fields.size() != 4 || (fields[0] != "c" && fields[0] != "m") || fields[2].size() != 1 ||
        (fields[2] != "L" && fields[2] != "C")) {
      r.entries.clear();
      r.plainCommand = text;
      return r;
    }
    const QString value = QUrl::fromPercentEncoding(fields[3].toLatin1());
    r.entries[(fields[0] + u':' + fields[1]).toStdString()] = Entry{fields[2].front().toLatin1(), value};
  }
  return r;
}

QString Remembered::Format() const {
  if (entries.empty()) return plainCommand;
  QStringList parts;
  for (const auto& [name, entry] : entries) {
    parts << QString::fromStdString(name) + u':' + QChar::fromLatin1(entry.form) + u':' +
                 QString::fromLatin1(QUrl::toPercentEncoding(entry.value));
  }
  return parts.join(u' ');
}

void SavePriorAssociation(Context& context, const QString& kind) {
  const auto verb = VerbOf(context, kind);
  if (!verb) return;
  const QString stored = settings::Read(context.settings, verb->remembered);
  const Remembered old = Remembered::Parse(stored);
  Remembered now = old;
  if (!now.plainCommand.isEmpty()) {
    // An older single command stands for every type that is not remembered otherwise.
    for (const Root& root : kRoots) {
      for (const std::string& ext : platform::shell::FontExtensions()) now.entries.emplace(EntryName(root, ext), Remembered::Entry{'C', now.plainCommand});
    }
    now.plainCommand.clear();
  }
  for (const Root& root : kRoots) {
    for (const std::string& ext : platform::shell::FontExtensions()) {
      const std::string path = KeyPath(root, ext, *verb);
      const RegistryResult command = RegistryModule::QueryValue(context.registry, root.key, path, "");
      // The program's own already: what was there before stays remembered; with
      // nothing remembered, the user (or another program) made that binding, and it
      // stays theirs.
      if (HoldsOwn(command, verb->command)) continue;
      const std::string name = EntryName(root, ext);
      const RegistryResult lines =
          RegistryModule::QueryValue(context.registry, root.key, path, platform::shell::kLinesValue);
      if (!lines.IsError() && lines.IsText() && !lines.Text().empty()) {
        now.entries[name] = Remembered::Entry{'L', QString::fromStdString(lines.Text())};
      } else if (!command.IsError() && command.IsText()) {
        now.entries[name] = Remembered::Entry{'C', QString::fromStdString(command.Text())};
      } else {
        // Nothing there (or a read that failed, "Error!"): what was remembered for
        // the type stays; with nothing remembered, the binding about to be made is
        // the program's own and goes again when undone.
        now.entries.emplace(name, Remembered::Entry{'C', QString()});
      }
    }
  }
  const QString text = now.Format();
  if (text != stored) settings::Write(context.settings, verb->remembered, text);
}

bool SetAssociation(Context& context, const QString& kind) {
  const auto verb = VerbOf(context, kind);
  if (!verb || !HasProgram(verb->command)) return true;
  bool usersBound = true;
  for (const std::string& ext : platform::shell::FontExtensions()) {
    for (const Root& root : kRoots) {
      const bool written = WriteCommand(context.registry, root.key, KeyPath(root, ext, *verb), "", verb->command);
      if (root.key == RootKey::ClassesRoot) usersBound = usersBound && written;
    }
  }
  return usersBound;
}

void RestoreAssociation(Context& context, const QString& kind) {
  const auto verb = VerbOf(context, kind);
  if (!verb) return;
  const QString stored = settings::Read(context.settings, verb->remembered);
  const Remembered remembered = Remembered::Parse(stored);
  bool restored = true;
  for (const std::string& ext : platform::shell::FontExtensions()) {
    for (const Root& root : kRoots) {
      const std::string path = KeyPath(root, ext, *verb);
      // Another program's command, or none: the type is left as it is.
      if (!HoldsOwn(RegistryModule::QueryValue(context.registry, root.key, path, ""), verb->command)) continue;
      const auto it = remembered.entries.find(EntryName(root, ext));
      if (it != remembered.entries.end() && it->second.form == 'L') {
        restored &= WriteCommand(context.registry, root.key, path, platform::shell::kLinesValue, it->second.value);
      } else if (it != remembered.entries.end()) {
        restored &= WriteCommand(context.registry, root.key, path, "", it->second.value);
      } else if (!remembered.plainCommand.isEmpty()) {
        restored &= WriteCommand(context.registry, root.key, path, "", remembered.plainCommand);
      }
      // Nothing remembered for the type: the program did not make its binding, and
      // leaves it.
    }
  }
  // Forgotten only once every type that held ours has its own back: a write that
  // failed (a full disk) leaves the remembered commands for the next save.
  if (!stored.isEmpty() && restored) settings::Write(context.settings, verb->remembered, QString());
}

}  // namespace typeloom::associations
