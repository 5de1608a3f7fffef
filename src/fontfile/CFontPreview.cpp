#include "fontfile/CFontPreview.h"

#include "platform/fonts/FileProbe.h"
#include "platform/fonts/FontFaces.h"
#include "platform/fonts/FontSession.h"
#include "platform/fonts/SystemLocale.h"

namespace typeloom {

namespace {
constexpr std::uint16_t kWindowsPlatform = 3;
}

FontPreviewServices LinuxFontPreviewServices() {
  static platform::FontconfigFaceNameResolver faces;
  static platform::QtFontSession session;
  static platform::QtSystemLocale locale;
  static platform::PosixFileProbe files;
  return {&faces, &session, &locale, &files};
}

CFontPreview::CFontPreview() : CFontPreview(LinuxFontPreviewServices()) {}

CFontPreview::CFontPreview(const FontPreviewServices& services)
    : services_(services), systemLocale_(services.locale->DefaultLcid()) {}

CFontPreview::~CFontPreview() { ReleaseFromSession(); }

void CFontPreview::SetFontFile(const std::string& path) {
  ReleaseFromSession();
  if (!FileExists(path)) return;
  fontFile_ = path;
  ReadTrueTypeTables();
  // Installed is the file's standing, not its names': a copy of an installed font
  // elsewhere, or a font whose family another file installs, is not installed.
  installed_ = services_.faces->IsInstalledFile(fontFile_);
  if (installed_) {
    MatchFaceName();
    return;
  }
  // A file that cannot be added gets no face name: a face of the same names from
  // another file would stand in for it.
  if (AddToSession(fontFile_)) MatchFaceName();
}

void CFontPreview::ReadTrueTypeTables() {
  fontfile::FontTables tables = fontfile::ReadFontFile(fontFile_, faceIndex_);
  validTrueType_ = tables.validTrueType;
  names_ = std::move(tables.names);
  selectionFlags_ = tables.selectionFlags;
}

std::string CFontPreview::LookupName(int nameId) const {
  const fontfile::NameRecord* chosen = nullptr;
  for (const fontfile::NameRecord& r : names_) {
    if (r.nameId != nameId) continue;
    if (r.platformId == kWindowsPlatform) {
      chosen = &r;
      if (r.languageId == systemLocale_) break;
    } else if (chosen == nullptr || chosen->text.empty()) {
      chosen = &r;
    }
  }
  return chosen != nullptr ? chosen->text : std::string();
}

bool CFontPreview::TestStyleBit(int bit) const {
  if (bit < 0 || bit > 15) return false;
  return ((selectionFlags_ >> bit) & 1u) != 0;
}

bool CFontPreview::MatchFaceName() {
  // The font system also knows a face by its PostScript name, which a file may
  // carry when its family name is one the system indexes differently.
  // A file without names (a bitmap font) is known by the family the system lists it under.
  const std::string family = names_.empty() ? services_.faces->FamilyOfFile(fontFile_, faceIndex_) : LookupName(1);
  const std::string full = LookupName(4), postscript = LookupName(6), styled = family + " " + LookupName(2);
  // An installed font is known by its family first. A file added for this session
  // is named by its own face first: its family may be another file's too (the
  // Regular beside this Bold), and that name would draw and describe the other face.
  const std::string byFamily[] = {family, styled, full, postscript};
  const std::string byFace[] = {full, postscript, styled, family};
  for (const std::string& candidate : installed_ ? byFamily : byFace) {
    const auto face = services_.faces->ResolveFace(candidate);
    if (face && *face == candidate) {
      faceName_ = candidate;
      return true;
    }
  }
  return false;
}

bool CFontPreview::AddToSession(const std::string& path) {
  if (services_.session->AddFont(path) <= 0) return false;
  addedFile_ = path;
  if (broadcast_) services_.session->BroadcastFontChange();
  return true;
}

// Removes what this object added, whether or not a face name was found for it:
// a file added without one would otherwise stay added for the rest of the session.
void CFontPreview::ReleaseFromSession() {
  if (addedFile_.empty()) return;
  services_.session->RemoveFont(addedFile_);
  addedFile_.clear();
  if (broadcast_) services_.session->BroadcastFontChange();
  faceName_.clear();
  validTrueType_ = false;
}

bool CFontPreview::FileExists(const std::string& path) const { return services_.files->FileExists(path); }

}  // namespace typeloom
