#include "app/CommandLineFont.h"

#include "app/TerminalText.h"
#include "fontfile/CFontPreview.h"

#include <QFileInfo>

namespace typeloom::app {

std::optional<QString> FindListName(const QStringList& names, const QString& argument) {
  if (names.contains(argument)) return argument;
  // The name as --list prints it (escaped), in any letter case.
  for (const QString& name : names) {
    if (EscapeForTerminal(name) == argument || name.compare(argument, Qt::CaseInsensitive) == 0 ||
        EscapeForTerminal(name).compare(argument, Qt::CaseInsensitive) == 0) {
      return name;
    }
  }
  return std::nullopt;
}

QString FileEntryName(const QString& faceName, const QString& path) {
  return QStringLiteral("%1 (%2)").arg(faceName, QFileInfo(path).fileName());
}

CommandLineFont::CommandLineFont() = default;
CommandLineFont::~CommandLineFont() = default;

bool CommandLineFont::Open(const QString& argument, platform::Registry& registry, platform::SystemFontFolder& folder,
                           platform::GraphicsFacts& facts, QString* error) {
  FontCatalogue catalogue;
  const QStringList names = BuildFontNames(registry, catalogue);
  if (const auto entry = FindListName(names, argument)) {
    name_ = *entry;
    details_ = BuildDetails(name_, catalogue, folder, facts);
    return true;
  }
  if (argument.isEmpty() || !QFileInfo(argument).isFile()) {
    *error = QStringLiteral("no installed font is named \"%1\" and there is no font file of that name "
                            "(typeloom --list shows the names)")
                 .arg(argument);
    return false;
  }
  return OpenFile(argument, facts, error);
}

bool CommandLineFont::OpenFile(const QString& path, platform::GraphicsFacts& facts, QString* error) {
  preview_.reset();
  name_.clear();
  details_ = {};
  const QFileInfo file(path);
  if (path.isEmpty() || !file.isFile()) {
    *error = QStringLiteral("there is no font file \"%1\"").arg(path);
    return false;
  }
  preview_ = std::make_unique<CFontPreview>();
  preview_->SetFontFile(QFile::encodeName(file.absoluteFilePath()).toStdString());
  name_ = QString::fromStdString(preview_->FaceName());
  if (name_.isEmpty()) {
    preview_.reset();
    *error = QStringLiteral("\"%1\" is not a font file that can be drawn").arg(path);
    return false;
  }
  details_ = BuildFileDetails(name_, *preview_, facts);
  return true;
}

QString CommandLineFont::FilePath() const {
  return preview_ != nullptr ? QFile::decodeName(QByteArray::fromStdString(preview_->FontFile())) : QString();
}

}  // namespace typeloom::app
