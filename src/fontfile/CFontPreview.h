#pragma once
// Answers questions about one font file (an sfnt, one face of a collection, or a
// Type 1 font): its names, style bits, whether it is a valid TrueType file, whether
// the file is one of the installed fonts, and the face name under which the font
// system knows its font (for a file that is not installed: its own face's name).
//
// Usage:
//   CFontPreview preview;                    // Linux services; or CFontPreview preview(services);
//   preview.SetFontFile(path);               // inspects the file
//   preview.VersionString(); preview.Installed(); preview.Copyright();
//
// A file that is not installed is added for this session while the object looks
// at it, and removed again when the object is destroyed or given another file.
// Nothing here fails to the caller: an unreadable file just gives empty answers.
#include "fontfile/TrueTypeReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace typeloom::platform {
class FaceNameResolver;
class FontSession;
class SystemLocale;
class FileProbe;
}  // namespace typeloom::platform

namespace typeloom {

// Platform services of CFontPreview; none may be null.
struct FontPreviewServices {
  platform::FaceNameResolver* faces = nullptr;
  platform::FontSession* session = nullptr;
  platform::SystemLocale* locale = nullptr;
  platform::FileProbe* files = nullptr;
};

// The Linux implementations, shared by the whole process (the session's fonts are
// per process). Needs a QGuiApplication.
FontPreviewServices LinuxFontPreviewServices();

class CFontPreview {
 public:
  CFontPreview();
  explicit CFontPreview(const FontPreviewServices& services);
  ~CFontPreview();
  CFontPreview(const CFontPreview&) = delete;
  CFontPreview& operator=(const CFontPreview&) = delete;

  bool Broadcast() const { return broadcast_; }
  void SetBroadcast(bool value) { broadcast_ = value; }
  const std::string& FontFile() const { return fontFile_; }
  void SetFontFile(const std::string& path);
  // The face read from a collection file (its index as the font system gives it);
  // 0, the only face, for other files. Set before FontFile.
  unsigned FaceIndex() const { return faceIndex_; }
  void SetFaceIndex(unsigned index) { faceIndex_ = index; }

  bool Bold() const { return TestStyleBit(5); }
  std::string Copyright() const { return LookupName(0); }
  const std::string& FaceName() const { return faceName_; }
  std::string FamilyName() const { return LookupName(1); }
  std::string FullName() const { return LookupName(4); }
  bool Installed() const { return installed_; }
  bool Italic() const { return TestStyleBit(0); }
  bool StrikeOut() const { return TestStyleBit(4); }
  std::string SubFamilyName() const { return LookupName(2); }
  std::string PostscriptName() const { return LookupName(6); }
  std::string Trademark() const { return LookupName(7); }
  bool Underlined() const { return TestStyleBit(1); }
  std::string UniqueIdentifier() const { return LookupName(3); }
  bool ValidTrueTypeFile() const { return validTrueType_; }
  std::string VersionString() const { return LookupName(5); }

 private:
  friend struct CFontPreviewAccess;  // tests and the fuzzer reach the private steps

  std::string LookupName(int nameId) const;
  bool TestStyleBit(int bit) const;
  bool MatchFaceName();
  bool AddToSession(const std::string& path);
  void ReleaseFromSession();
  bool FileExists(const std::string& path) const;
  void ReadTrueTypeTables();

  FontPreviewServices services_;
  bool broadcast_ = false;
  std::string fontFile_;
  unsigned faceIndex_ = 0;
  std::string faceName_;
  std::uint32_t systemLocale_ = 0;
  bool installed_ = false;
  bool validTrueType_ = false;
  std::vector<fontfile::NameRecord> names_;
  std::uint16_t selectionFlags_ = 0;
  std::string addedFile_;  // the file this object added for the session; empty when none
};

}  // namespace typeloom
