#include "platform/fonts/FontFaces.h"

#include <QFont>
#include <QFontInfo>
#include <QString>

namespace typeloom::platform {

std::string StripFoundrySuffix(std::string family) {
  if (family.size() >= 3 && family.back() == ']') {
    const auto open = family.rfind(" [");
    if (open != std::string::npos && family.find(']', open) == family.size() - 1) family.resize(open);
  }
  return family;
}

std::optional<std::string> QtFaceNameResolver::ResolveFace(std::string_view name) {
  if (name.empty()) return std::nullopt;
  QFont font(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  // Without this Qt may answer with a family it merely substitutes for the name.
  font.setStyleStrategy(QFont::NoFontMerging);
  const QFontInfo info(font);
  return StripFoundrySuffix(info.family().toStdString());
}

}  // namespace typeloom::platform
