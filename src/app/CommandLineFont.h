#pragma once
// A font named on the command line: a font-list name (as --list prints it; compared
// exactly, then escaped as --list prints it, then without regard to case) or the path of a font file. A file the
// font system does not know yet is added for this process while the object lives,
// and removed again when it goes.
//
//   CommandLineFont font;
//   QString error;
//   if (!font.Open(argument, registry, folder, facts, &error)) { report error; }
//   QFont sample = SampleFont(font.Name(), 12, {});   // draws the chosen face
#include "app/FontCatalogue.h"
#include "app/FontDisplay.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace typeloom {
class CFontPreview;
}
namespace typeloom::platform {
class GraphicsFacts;
class Registry;
class SystemFontFolder;
}  // namespace typeloom::platform

namespace typeloom::app {

// The entry of `names` that `argument` names: equal, else equal to the entry as
// --list prints it (escaped), else either without regard to case.
std::optional<QString> FindListName(const QStringList& names, const QString& argument);

// The font list's entry for a font file that is not installed: its face name and,
// in brackets, its file name, so that it cannot be taken for an installed font.
QString FileEntryName(const QString& faceName, const QString& path);

class CommandLineFont {
 public:
  CommandLineFont();
  ~CommandLineFont();
  CommandLineFont(const CommandLineFont&) = delete;
  CommandLineFont& operator=(const CommandLineFont&) = delete;

  // Finds the font and its details. False, with a reason in *error (the argument
  // in it as given: escape it for a terminal), when
  // `argument` names no font of the list and no font file the font system can load.
  bool Open(const QString& argument, platform::Registry& registry, platform::SystemFontFolder& folder,
            platform::GraphicsFacts& facts, QString* error);

  // The name the font draws under: the list entry, or the face name of the file.
  // Opens the font file at `path` only (no list name): false, with a reason in
  // *error, when it is not a file the font system can load.
  bool OpenFile(const QString& path, platform::GraphicsFacts& facts, QString* error);

  const QString& Name() const { return name_; }
  // The path of the file opened, absolute; empty for a list name.
  QString FilePath() const;
  bool IsFile() const { return preview_ != nullptr; }
  const Details& FontDetails() const { return details_; }
  // The panel's text as the other windows read it: its lines ended by CR LF.
  QString DetailsText() const { return details_.lines.join(QStringLiteral("\r\n")); }

 private:
  QString name_;
  Details details_;
  std::unique_ptr<CFontPreview> preview_;  // a file's, kept while the font is in use
};

}  // namespace typeloom::app
