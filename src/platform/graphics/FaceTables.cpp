#include "platform/graphics/FaceTables.h"

#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace typeloom::platform {
namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint16_t U16(Bytes b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}
std::uint32_t U32(Bytes b, std::size_t at) {
  return static_cast<std::uint32_t>(U16(b, at)) << 16 | U16(b, at + 2);
}

struct BlobDeleter {
  void operator()(hb_blob_t* b) const { hb_blob_destroy(b); }
};
struct FaceDeleter {
  void operator()(hb_face_t* f) const { hb_face_destroy(f); }
};
struct FontDeleter {
  void operator()(hb_font_t* f) const { hb_font_destroy(f); }
};
struct SetDeleter {
  void operator()(hb_set_t* s) const { hb_set_destroy(s); }
};
using Blob = std::unique_ptr<hb_blob_t, BlobDeleter>;
using Set = std::unique_ptr<hb_set_t, SetDeleter>;

// One table's bytes; empty when the face has no such table. HarfBuzz keeps the
// table inside the file's bytes.
class Table {
 public:
  Table(hb_face_t* face, const char tag[4]) : blob_(hb_face_reference_table(face, HB_TAG(tag[0], tag[1], tag[2], tag[3]))) {
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob_.get(), &length);
    if (data != nullptr) bytes_ = Bytes(reinterpret_cast<const std::uint8_t*>(data), length);
  }
  Bytes bytes() const { return bytes_; }

 private:
  Blob blob_;
  Bytes bytes_;
};

std::vector<hb_tag_t> FeatureTags(hb_face_t* face, hb_tag_t table) {
  std::vector<hb_tag_t> tags;
  constexpr unsigned kPage = 64;
  hb_tag_t page[kPage];
  for (unsigned start = 0;; start += kPage) {
    unsigned count = kPage;
    const unsigned total = hb_ot_layout_table_get_feature_tags(face, table, start, &count, page);
    tags.insert(tags.end(), page, page + count);
    if (count == 0 || start + count >= total) break;
  }
  return tags;
}

bool HasAny(const std::vector<hb_tag_t>& tags, std::initializer_list<const char*> wanted) {
  for (hb_tag_t t : tags) {
    for (const char* w : wanted) {
      if (t == HB_TAG(w[0], w[1], w[2], w[3])) return true;
    }
  }
  return false;
}

void ReadCmap(hb_face_t* face, FaceTables& t) {
  Set unicodes(hb_set_create());
  Set glyphs(hb_set_create());
  hb_face_collect_unicodes(face, unicodes.get());
  std::unique_ptr<hb_font_t, FontDeleter> font(hb_font_create(face));
  hb_codepoint_t first = HB_SET_VALUE_INVALID;
  hb_codepoint_t last = HB_SET_VALUE_INVALID;
  std::vector<CodeRange> ranges;
  while (hb_set_next_range(unicodes.get(), &first, &last)) {
    ranges.push_back({first, last});
    if (first <= 0x0640 && last >= 0x0640) t.mapsKashida = true;
    for (hb_codepoint_t c = first;; ++c) {
      hb_codepoint_t glyph = 0;
      if (hb_font_get_nominal_glyph(font.get(), c, &glyph) && glyph != 0) hb_set_add(glyphs.get(), glyph);
      if (c == last) break;
    }
  }
  t.mappedGlyphs = hb_set_get_population(glyphs.get());
  const ScriptCoverage coverage = CoverageOf(ranges);
  t.mapsArabic = coverage.arabic;
  t.mapsOtherRightToLeft = coverage.otherRightToLeft;
}

// Whether GSUB has one of `wanted` in a language system (the default one or any
// other) of a joining script.
bool JoiningScriptHas(hb_face_t* face, std::initializer_list<const char*> wanted) {
  constexpr unsigned kPage = 64;
  hb_tag_t scripts[kPage];
  for (unsigned start = 0;; start += kPage) {
    unsigned count = kPage;
    const unsigned total = hb_ot_layout_table_get_script_tags(face, HB_OT_TAG_GSUB, start, &count, scripts);
    for (unsigned i = 0; i < count; ++i) {
      if (!IsJoiningScript(scripts[i])) continue;
      const unsigned script = start + i;
      const unsigned languages = hb_ot_layout_script_get_language_tags(face, HB_OT_TAG_GSUB, script, 0, nullptr, nullptr);
      for (unsigned language = 0; language <= languages; ++language) {
        const unsigned index = language == languages ? HB_OT_LAYOUT_DEFAULT_LANGUAGE_INDEX : language;
        std::vector<hb_tag_t> tags;
        hb_tag_t page[kPage];
        for (unsigned from = 0;; from += kPage) {
          unsigned n = kPage;
          const unsigned all = hb_ot_layout_language_get_feature_tags(face, HB_OT_TAG_GSUB, script, index, from, &n, page);
          tags.insert(tags.end(), page, page + n);
          if (n == 0 || from + n >= all) break;
        }
        if (HasAny(tags, wanted)) return true;
      }
    }
    if (count == 0 || start + count >= total) break;
  }
  return false;
}

}  // namespace

ScriptCoverage CoverageOf(std::span<const CodeRange> mapped) {
  struct Block {
    std::uint32_t lo, hi;
  };
  struct Script {
    bool arabic;
    std::initializer_list<Block> blocks;
  };
  static const Script kScripts[] = {
      {true, {{0x0600, 0x06FF}, {0x0750, 0x077F}, {0x0870, 0x08FF}, {0xFB50, 0xFDFF}, {0xFE70, 0xFEFC}}},
      {false, {{0x0590, 0x05FF}, {0xFB1D, 0xFB4F}}},   // Hebrew
      {false, {{0x0700, 0x074F}, {0x0860, 0x086F}}},   // Syriac
      {false, {{0x0780, 0x07BF}}},                     // Thaana
      {false, {{0x07C0, 0x07FF}}},                     // N'Ko
      {false, {{0x0800, 0x083F}}},                     // Samaritan
      {false, {{0x0840, 0x085F}}},                     // Mandaic
      {false, {{0x1E900, 0x1E95F}}},                   // Adlam
  };
  ScriptCoverage coverage;
  for (const Script& script : kScripts) {
    std::uint64_t count = 0;
    for (const Block& block : script.blocks) {
      for (const CodeRange& r : mapped) {
        const std::uint32_t lo = std::max(r.first, block.lo);
        const std::uint32_t hi = std::min(r.last, block.hi);
        if (lo <= hi) count += hi - lo + 1;
      }
    }
    if (count < kRightToLeftCoverage) continue;
    (script.arabic ? coverage.arabic : coverage.otherRightToLeft) = true;
  }
  return coverage;
}

bool IsJoiningScript(std::uint32_t scriptTag) {
  static constexpr const char* kJoining[] = {"arab", "syrc", "mong", "nko ", "mand", "mani", "phlp",
                                             "adlm", "rohg", "sogd", "chrs", "ougr", "phag"};
  for (const char* tag : kJoining) {
    if (scriptTag == HB_TAG(tag[0], tag[1], tag[2], tag[3])) return true;
  }
  return false;
}

bool KernTableHasPairs(Bytes kern) {
  const std::size_t size = kern.size();
  if (size < 4) return false;
  if (U16(kern, 0) == 0) {
    // Microsoft layout: u16 version, u16 nTables; subtables of u16 version, length, coverage.
    const unsigned count = U16(kern, 2);
    std::size_t at = 4;
    for (unsigned i = 0; i < count && at + 6 <= size; ++i) {
      const std::size_t length = U16(kern, at + 2);
      const unsigned format = U16(kern, at + 4) >> 8;
      if (format == 0 && at + 14 <= size && U16(kern, at + 6) > 0 && at + 14 + 6 <= size) return true;
      if (length < 6) break;
      at += length;
    }
    return false;
  }
  if (size >= 8 && U32(kern, 0) == 0x00010000) {
    // Apple layout: u32 version, u32 nTables; subtables of u32 length, u16 coverage, u16 tuple index.
    const std::uint32_t count = U32(kern, 4);
    std::size_t at = 8;
    for (std::uint32_t i = 0; i < count && at + 8 <= size; ++i) {
      const std::size_t length = U32(kern, at);
      const unsigned format = U16(kern, at + 4) & 0xFF;
      if (format == 0 && at + 16 <= size && U16(kern, at + 8) > 0 && at + 16 + 6 <= size) return true;
      if (length < 8 || length > size - at) break;
      at += length;
    }
  }
  return false;
}

FaceTables ReadFaceTables(Bytes data, unsigned faceIndex) {
  FaceTables t;
  if (data.empty() || data.size() > UINT_MAX) return t;
  Blob blob(hb_blob_create_or_fail(reinterpret_cast<const char*>(data.data()), static_cast<unsigned>(data.size()),
                                   HB_MEMORY_MODE_READONLY, nullptr, nullptr));
  if (!blob) return t;
  std::unique_ptr<hb_face_t, FaceDeleter> owner(hb_face_create(blob.get(), faceIndex));
  hb_face_t* face = owner.get();
  unsigned none = 0;
  t.sfnt = hb_face_get_table_tags(face, 0, &none, nullptr) > 0;
  if (!t.sfnt) return t;

  t.cff = !Table(face, "CFF ").bytes().empty();

  const Table post(face, "post");
  if (post.bytes().size() >= 16) t.postFixedPitch = U32(post.bytes(), 12) != 0;

  const Table os2(face, "OS/2");
  const Bytes o = os2.bytes();
  t.hasOs2 = !o.empty();
  if (o.size() >= 42) {
    for (std::size_t i = 0; i < t.panose.size(); ++i) t.panose[i] = o[32 + i];
  }
  if (o.size() >= 82 && U16(o, 0) >= 1) t.codePageRange1 = U32(o, 78);

  t.glyphCount = hb_face_get_glyph_count(face);
  ReadCmap(face, t);

  const auto gsub = FeatureTags(face, HB_OT_TAG_GSUB);
  const auto gpos = FeatureTags(face, HB_OT_TAG_GPOS);
  t.joiningForms = JoiningScriptHas(face, {"init", "medi", "fina", "isol"});
  t.ligatures = HasAny(gsub, {"liga", "rlig", "clig"});
  t.gposMarks = HasAny(gpos, {"mark", "mkmk"});
  t.gposKern = HasAny(gpos, {"kern"});
  if (hb_ot_layout_has_glyph_classes(face)) {
    Set marks(hb_set_create());
    hb_ot_layout_get_glyphs_in_class(face, HB_OT_LAYOUT_GLYPH_CLASS_MARK, marks.get());
    t.gdefMarks = !hb_set_is_empty(marks.get());
  }
  t.kernPairs = KernTableHasPairs(Table(face, "kern").bytes());
  return t;
}

std::uint8_t PitchAndFamily(const FaceTables& face, bool scalable, bool fixedSpacing) {
  const bool proportionMono = face.hasOs2 && face.panose[3] == 9;
  const bool fixed = face.sfnt ? (face.postFixedPitch || proportionMono) : fixedSpacing;
  std::uint8_t byte = fixed ? 0 : pf::kVariablePitch;
  if (!scalable) return byte;
  byte |= pf::kVector;
  if (face.sfnt) byte |= face.cff ? pf::kDevice : pf::kTrueType;
  const std::uint8_t kind = face.panose[0];
  const std::uint8_t serif = face.panose[1];
  if (kind == 3) {
    byte |= pf::kScript;
  } else if (kind == 4) {
    byte |= pf::kDecorative;
  } else if (fixed || face.panose[3] == 9) {
    byte |= pf::kModern;
  } else if (serif >= 2 && serif <= 10) {
    byte |= pf::kRoman;
  } else if (serif >= 11 && serif <= 15) {
    byte |= pf::kSwiss;
  }
  return byte;
}

std::uint32_t LanguageInfo(const FaceTables& face) {
  constexpr std::uint32_t kCjkCodePages = 0x1Fu << 17;  // 932, 936, 949, 950, 1361
  constexpr std::uint32_t kHebrewCodePage = 1u << 5;
  constexpr std::uint32_t kArabicCodePage = 1u << 6;
  const bool arabic = face.mapsArabic || (face.codePageRange1 & kArabicCodePage) != 0;
  const bool rightToLeft = arabic || face.mapsOtherRightToLeft || (face.codePageRange1 & kHebrewCodePage) != 0;
  std::uint32_t bits = 0;
  if ((face.codePageRange1 & kCjkCodePages) != 0) bits |= fli::kDbcs;
  if (face.gposMarks || face.gdefMarks) bits |= fli::kDiacritic;
  if (face.glyphCount > 0 && face.glyphCount - 1 > face.mappedGlyphs) bits |= fli::kGlyphs;
  if (face.joiningForms || arabic) bits |= fli::kGlyphShape;
  if (face.mapsKashida) bits |= fli::kKashida;
  if (face.ligatures) bits |= fli::kLigate;
  if (face.kernPairs || face.gposKern) bits |= fli::kUseKerning;
  if (rightToLeft) bits |= fli::kReorder;
  return bits;
}

}  // namespace typeloom::platform
