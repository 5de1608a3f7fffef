#pragma once
// What a font-list name's face can write, as fontconfig's cache records it: the
// routing of a name to its face (FaceResolver.h: a family's regular face as fontconfig
// matches it, a full name's or PostScript name's face, else the substitute) and the
// test of that face's character and language sets. Names are UTF-8; how they are
// compared without regard to case is the caller's `fold`. Standard C++ and fontconfig
// only, so that the list filter can answer before Qt is loaded (FontCoverage.h is the
// Qt face of it).
#include "platform/fonts/SavedCoverage.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _FcPattern;

namespace typeloom::platform {

class CoverageIndex {
 public:
  // The key two names that differ only in case share.
  using Fold = std::string (*)(std::string_view utf8);

  // Indexes fontconfig's current faces (installed and application fonts); the faces
  // are held until the object goes, so fonts removed meanwhile stay readable.
  explicit CoverageIndex(Fold fold);
  // The same with a query set (SetQuery) and asked of every face, built on a second
  // thread while `alongside` runs on this one (fontconfig is initialised first, so
  // that both read one configuration); on this thread, after `alongside`, when no
  // second thread has started by then (SideTask.h).
  CoverageIndex(Fold fold, const std::vector<char32_t>& characters, const std::string& language,
                const std::function<void()>& alongside);
  ~CoverageIndex();
  CoverageIndex(const CoverageIndex&) = delete;
  CoverageIndex& operator=(const CoverageIndex&) = delete;

  // False when fontconfig could not be initialised.
  bool Available() const;

  // What Matches asks: every character of `characters` (none: no demand on
  // characters) and, unless `language` is empty, support of that normalised tag.
  void SetQuery(const std::vector<char32_t>& characters, const std::string& language);
  bool Matches(std::string_view name);
  // Matches for each of `names`, asked once (only the routes of names installed nowhere
  // are kept), in order.
  // On an index built alongside, the substitute of the first name installed nowhere
  // is matched on a second thread while the other names are answered (the first call
  // only).
  std::vector<bool> MatchEach(const std::vector<std::string_view>& names);

  // What MatchEach answers for `names` saved with the face each draws in (positions
  // among the indexed faces, as SavedCoverage keeps them), when every one of their
  // answers to any query is that face's; nothing when a name's face has other sets
  // than any indexed face (a face fontconfig made up). A family whose faces have other
  // sets and which is not picked yet is saved as its faces and request instead. The
  // routes of the last MatchEach over these same names are reused.
  std::optional<SavedCoverage> Save(const std::vector<std::string_view>& names);
  // MatchEach's answers for the saved names, reading only the saved faces in
  // fontconfig's current sets (initialised by the caller), and picking a saved family's
  // face only when its faces answer differently; nothing when a face is not where it
  // was saved.
  static std::optional<std::vector<bool>> MatchSaved(const SavedCoverage& saved,
                                                     const std::vector<char32_t>& characters,
                                                     const std::string& language);

  // Reads ahead how `name` draws, so that Matches and FaceOf answer it at once later.
  void Prepare(std::string_view name);

  // The face `name` draws in (owned by the index), or null.
  _FcPattern* FaceOf(std::string_view name);

  // Whether fontconfig knows the normalised tag: a language it has an orthography
  // for, or a region or script variant of one ("sr-latn", "pt-br").
  static bool KnownLanguage(const std::string& tag);

 private:
  struct Index;

  std::unique_ptr<Index> index_;
};

// A bitmap family's list name with its point sizes ("Fixed 14,18", "Fixed 10,"):
// the family; empty for any other name. The same rule as WithoutSizeList
// (SizeListName.h), on UTF-8.
std::string_view WithoutSizeListUtf8(std::string_view name);

}  // namespace typeloom::platform
