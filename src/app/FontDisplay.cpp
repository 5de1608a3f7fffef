#include "app/FontDisplay.h"

#include "app/FontCatalogue.h"
#include "fontfile/CFontPreview.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/InstalledFonts.h"
#include "platform/graphics/FaceTables.h"

#include <QFileInfo>

#include <cmath>
#include <limits>

namespace typeloom::app {

double LeadingNumber(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  const qsizetype start = i;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
  const qsizetype digits = i;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80) ++i;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 0x80) ++i;
  }
  if (i == digits || (i == digits + 1 && text[digits] == u'.')) return 0;
  bool ok = false;
  const double value = text.mid(start, i - start).toDouble(&ok);
  return ok ? value : 0;
}

int RoundHalfEven(double value) {
  if (!std::isfinite(value)) return 0;
  const double r = std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
  if (r >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (r <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

QString SizeEntry(const QString& text) { return QString::number(RoundHalfEven(LeadingNumber(text))); }

QStringList FixedSizeEntries(const QString& sizes) {
  QStringList entries;
  QString t = sizes;
  while (!t.isEmpty()) {
    const qsizetype comma = t.indexOf(u',');
    if (comma >= 1) {
      entries << SizeEntry(t.left(comma));
      t.remove(0, comma + 1);
    } else {
      // No comma, or one in first place: the rest is the last entry.
      entries << SizeEntry(t);
      break;
    }
  }
  return entries;
}

QStringList ScalableSizeEntries(const std::function<int(int points)>& heightAt, int* lastHeight) {
  QStringList entries;
  int last = 0;
  for (int size : kStandardSizes) {
    const int height = heightAt(size);
    if (height > last) {
      entries << QString::number(size);
      last = height;
    }
  }
  if (lastHeight != nullptr) *lastHeight = last;
  return entries;
}

int RememberedSizeIndex(const QStringList& entries, int currentSize) {
  if (entries.isEmpty()) return -1;
  for (int k = 0; k < entries.size(); ++k) {
    const int size = RoundHalfEven(LeadingNumber(entries[k]));
    if (size == currentSize) return k;
    if (size > currentSize) return k > 0 ? k - 1 : 0;
  }
  return static_cast<int>(entries.size()) - 1;
}

QString SampleLine(const QString& fontName, const QString& sizeText) {
  return fontName + u' ' + sizeText + QStringLiteral("-point font");
}

QStringList GraphicsLines(const platform::TextFacts& facts) {
  namespace pf = platform::pf;
  namespace fli = platform::fli;
  QStringList lines;
  const std::uint8_t byte = facts.pitchAndFamily;
  if ((byte & pf::kTrueType) != 0) lines << QStringLiteral("Is a TrueType font");
  if ((byte & pf::kDevice) != 0) lines << QStringLiteral("Is a Device font");
  lines << ((byte & pf::kVariablePitch) != 0 ? QStringLiteral("Is a variable pitch font")
                                              : QStringLiteral("Is a fixed pitch font"));
  if ((byte & pf::kVector) != 0) lines << QStringLiteral("Is a vector font");
  static const char* const kFamilies[] = {"Is a Roman font", "Is a Swiss font", "Is a modern font", "Is a script font",
                                          "Is a decorative font"};
  const int family = byte / 16;
  if (family >= 1 && family <= 5) lines << QString::fromLatin1(kFamilies[family - 1]);

  if (facts.languageInfo == 0) {
    lines << QStringLiteral("Is a Standard Latin Font");
    return lines;
  }
  static const struct {
    std::uint32_t bit;
    const char* line;
  } kLanguageLines[] = {
      {fli::kDbcs, "Double Byte Character Set"},
      {fli::kDiacritic, "Contains diacritic characters"},
      {fli::kGlyphs, "Contains non-displaying glyphs"},
      {fli::kGlyphShape, "Contains special glyph shapes"},
      {fli::kKashida, "Supports Kashida glyphs"},
      {fli::kLigate, "Supports ligatures"},
      {fli::kUseKerning, "Contains kerning tables"},
      {fli::kReorder, "Characters need to be reordered"},
  };
  for (const auto& entry : kLanguageLines) {
    if ((facts.languageInfo & entry.bit) != 0) lines << QString::fromLatin1(entry.line);
  }
  return lines;
}

QString VersionLine(const QString& version) {
  if (version.isEmpty()) return {};
  if (version.left(8).toLower() == QStringLiteral("version ")) return version;
  return QStringLiteral("Version ") + version;
}

QString FirstSentence(const QString& copyright) {
  const qsizetype dot = copyright.indexOf(u'.');
  return dot >= 0 ? copyright.left(dot) : copyright;
}

namespace {

// The file's part of the panel: version and installed lines, the copyright label.
void AddFileDetails(Details& details, const CFontPreview& preview) {
  details.fileRead = true;
  details.file = QString::fromStdString(preview.FontFile());
  details.version = QString::fromStdString(preview.VersionString());
  details.installed = preview.Installed();
  details.familyName = QString::fromStdString(preview.FamilyName());
  details.fullName = QString::fromStdString(preview.FullName());
  details.copyrightNotice = QString::fromStdString(preview.Copyright());
  const QString version = VersionLine(details.version);
  if (!version.isEmpty()) details.lines << version;
  details.lines << QStringLiteral("Installed: ") + (details.installed ? QStringLiteral("True") : QStringLiteral("False"));
  details.copyright = FirstSentence(details.copyrightNotice);
}

}  // namespace

Details BuildDetails(const QString& fontName, const FontCatalogue& catalogue, platform::SystemFontFolder& folder,
                     platform::GraphicsFacts& facts) {
  Details details;
  const std::optional<platform::TextFacts> face = facts.FactsOf(fontName);
  if (!face) return details;
  details.made = true;
  details.facts = *face;
  details.lines = GraphicsLines(*face);

  const int record = catalogue.FindName(fontName.toLower());
  if (record < 0) return details;
  const QString file = catalogue.catalogueFiles[static_cast<std::size_t>(record)];
  const QString path = QString::fromStdString(folder.PathOf(file.toStdString()));
  const QFileInfo info(path);
  // An ordinary file: not a folder, not hidden.
  if (path.isEmpty() || !info.isFile() || info.isHidden()) return details;

  CFontPreview preview;
  // A collection holds several faces: read the one the name draws in.
  const platform::FaceLocation located = platform::LocateFace(fontName);
  if (located.index > 0 &&
      QFileInfo(QString::fromStdString(located.file)).canonicalFilePath() == info.canonicalFilePath()) {
    preview.SetFaceIndex(static_cast<unsigned>(located.index));
  }
  preview.SetFontFile(path.toStdString());
  AddFileDetails(details, preview);
  return details;
}

Details BuildFileDetails(const QString& faceName, const CFontPreview& preview, platform::GraphicsFacts& facts) {
  Details details;
  const std::optional<platform::TextFacts> face = facts.FactsOf(faceName);
  if (!face) return details;
  details.made = true;
  details.facts = *face;
  details.lines = GraphicsLines(*face);
  AddFileDetails(details, preview);
  return details;
}

}  // namespace typeloom::app
