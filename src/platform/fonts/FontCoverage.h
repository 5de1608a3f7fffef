#pragma once
// What a font-list name's face can write, as fontconfig's cache records it (the
// face's character set and language set): no font file is opened. The face is the
// one that draws the name (FaceResolver.h): a family's regular face as fontconfig
// matches it, a full name's or PostScript name's face, else fontconfig's substitute.
//
//   platform::FontCoverage coverage;                  // indexes the installed faces
//   coverage.SetQuery({U'α', U'β'}, "el");
//   if (coverage.Matches("DejaVu Sans")) ...
//
// Qt Core and fontconfig only: `typeloom --details --coverage` answers through it.
// The routing and the test are CoverageIndex's (Qt-free); names are compared as Qt
// folds them.
#include "platform/fonts/CoverageIndex.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace typeloom::platform {

struct CoverageFacts {
  std::size_t characterCount = 0;       // characters the face maps
  std::vector<std::string> languages;   // fontconfig's language tags, ascending
  std::string file;                     // the face's file and number in it
  int index = 0;
};

class FontCoverage {
 public:
  // Indexes fontconfig's current faces (installed and application fonts); the
  // faces are held until the object goes, so fonts removed meanwhile stay readable.
  FontCoverage();
  ~FontCoverage();
  FontCoverage(const FontCoverage&) = delete;
  FontCoverage& operator=(const FontCoverage&) = delete;

  // False when fontconfig could not be initialised.
  bool Available() const;

  // What Matches asks: every character of `characters` (none: no demand on
  // characters) and, unless `language` is empty, support of that normalised tag
  // as fontconfig lists it (the same test as `fc-list :lang=TAG`).
  void SetQuery(const std::vector<char32_t>& characters, const std::string& language);
  bool Matches(const QString& name);

  // Reads ahead how `name` draws (a name installed nowhere costs a match over every
  // face), so that Matches and FactsOf answer it at once later.
  void Prepare(const QString& name);

  // The coverage of the face `name` draws in; nothing when no face draws it.
  std::optional<CoverageFacts> FactsOf(const QString& name);

  // Whether fontconfig knows the normalised tag: a language it has an orthography
  // for, or a region or script variant of one ("sr-latn", "pt-br").
  static bool KnownLanguage(const std::string& tag);

 private:
  CoverageIndex index_;
};

}  // namespace typeloom::platform
