#!/usr/bin/python3
"""Builds the fonts the tests run against into a folder.

  make_test_fonts.py OUTDIR            the small fonts of FontFixtures::Expected()
                                       (FontFixtures.h mirrors their files and names)
  make_test_fonts.py --details OUTDIR  fonts that each set exactly the table facts their
                                       name says; tests/app/DisplayIT.cpp holds the lines
                                       the details panel and the size list must give
  make_test_fonts.py --coverage OUTDIR fonts of known character coverage (COVERAGE below);
                                       tests/app/CoverageCommandTest.cpp holds what
                                       --list --covers and --lang must give

Run with Debian's /usr/bin/python3 (python3-fonttools).
"""
import os
import struct
import sys

from fontTools.feaLib.builder import addOpenTypeFeaturesFromString
from fontTools.misc import eexec
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection, newTable
from fontTools.ttLib.tables._k_e_r_n import KernTable_format_0
from fontTools.ttLib.tables.O_S_2f_2 import Panose

GLYPHS = [".notdef", "space", "A", "a", "zero"]
CMAP = {32: "space", 65: "A", 97: "a", 48: "zero"}
DETAIL_GLYPHS = [".notdef", "space", "A", "a", "E", "zero"]
DETAIL_CMAP = {**CMAP, 69: "E"}
ADVANCE = 600


def draw(pen):
    pen.moveTo((100, 0))
    pen.lineTo((100, 700))
    pen.lineTo((500, 700))
    pen.lineTo((500, 0))
    pen.closePath()


def build(family, style, full=None, cff=False, glyphs=GLYPHS, cmap=CMAP, vertical=(800, -200), unique="test",
          version="Version 1.000", copyright="Copyright (c) Typeloom tests. Free to use.", os2=None, post=None):
    """A font whose glyphs (but space) are one square; `full` may be a {language: name} dict.
    `os2` and `post` add to those tables' defaults."""
    fb = FontBuilder(1000, isTTF=not cff)
    fb.setupGlyphOrder(glyphs)
    fb.setupCharacterMap(cmap)
    if cff:
        charstrings = {}
        for name in glyphs:
            pen = T2CharStringPen(ADVANCE, None)
            if name != "space":
                draw(pen)
            charstrings[name] = pen.getCharString()
        fb.setupCFF((family + "-" + style).replace(" ", ""), {"FullName": full or family + " " + style,
                                                              "FamilyName": family}, charstrings, {})
        bounds = {name: cs.calcBounds(None) for name, cs in charstrings.items()}
        fb.setupHorizontalMetrics({n: (ADVANCE, bounds[n][0] if bounds[n] else 0) for n in glyphs})
    else:
        outlines = {}
        for name in glyphs:
            pen = TTGlyphPen(None)
            if name != "space":
                draw(pen)
            outlines[name] = pen.glyph()
        fb.setupGlyf(outlines)
        glyf = fb.font["glyf"]
        fb.setupHorizontalMetrics({n: (ADVANCE, getattr(glyf[n], "xMin", 0)) for n in glyphs})
    ascent, descent = vertical
    fb.setupHorizontalHeader(ascent=ascent, descent=descent)
    strings = {
        "familyName": family,
        "styleName": style,
        "uniqueFontIdentifier": "Typeloom %s: %s %s" % (unique, family, style),
        "psName": (family + "-" + style).replace(" ", ""),
        "copyright": copyright,
    }
    if version:
        strings["version"] = version
    if full:
        strings["fullName"] = full
    fb.setupNameTable(strings)
    fb.setupOS2(sTypoAscender=ascent, sTypoDescender=descent, usWinAscent=ascent, usWinDescent=-descent,
                **(os2 or {}))
    fb.setupPost(**(post or {}))
    fb.font["head"].macStyle = (1 if "Bold" in style else 0) | (2 if "Italic" in style else 0)
    return fb


def bdf(family, weight, pixels, char="A"):
    """A character-cell bitmap font at `pixels` (96 DPI) with a space and a filled cell for
    each character of `char`."""
    width = pixels // 2
    row = "%02X" % (0xFF << (8 - min(width, 8)) & 0xFF)
    props = [
        'FOUNDRY "Typeloom"',
        'FAMILY_NAME "%s"' % family,
        'WEIGHT_NAME "%s"' % weight,
        'SLANT "R"',
        'SETWIDTH_NAME "Normal"',
        "PIXEL_SIZE %d" % pixels,
        "POINT_SIZE %d" % (pixels * 720 // 96),
        "RESOLUTION_X 96",
        "RESOLUTION_Y 96",
        'SPACING "C"',
        "FONT_ASCENT %d" % (pixels - 2),
        "FONT_DESCENT 2",
        'CHARSET_REGISTRY "ISO10646"',
        'CHARSET_ENCODING "1"',
        "DEFAULT_CHAR 32",
    ]
    out = ["STARTFONT 2.1",
           "FONT -Typeloom-%s-%s-R-Normal--%d-%d-96-96-C-%d-ISO10646-1"
           % (family, weight, pixels, pixels * 720 // 96, width * 10),
           "SIZE %d 96 96" % (pixels * 72 // 96),
           "FONTBOUNDINGBOX %d %d 0 -2" % (width, pixels),
           "STARTPROPERTIES %d" % len(props)] + props + ["ENDPROPERTIES", "CHARS %d" % (1 + len(char))]
    for name, code, bits in [("space", 32, "00")] + [("u%04X" % ord(c), ord(c), row) for c in char]:
        out += ["STARTCHAR " + name, "ENCODING %d" % code, "SWIDTH 500 0", "DWIDTH %d 0" % width,
                "BBX %d %d 0 -2" % (width, pixels), "BITMAP"] + [bits] * pixels + ["ENDCHAR"]
    out.append("ENDFONT")
    return "\n".join(out) + "\n"


def write_bdf(path, *args):
    with open(path, "w", encoding="ascii") as f:
        f.write(bdf(*args))


def _num(v):
    if -107 <= v <= 107:
        return bytes([v + 139])
    if 108 <= v <= 1131:
        v -= 108
        return bytes([247 + v // 256, v % 256])
    if -1131 <= v <= -108:
        v = -v - 108
        return bytes([251 + v // 256, v % 256])
    return bytes([255]) + struct.pack(">i", v)

T1_OPS = {"hsbw": 13, "rmoveto": 21, "rlineto": 5, "closepath": 9, "endchar": 14}

def _charstring(program):
    out = b""
    for item in program:
        out += bytes([T1_OPS[item]]) if isinstance(item, str) else _num(item)
    return eexec.encrypt(b"\0\0\0\0" + out, 4330)[0]

def type1_font(path, family, weight, full, ps_name, version, notice, names=("A", "E", "a", "zero")):
    """A Type 1 font (PFB) whose glyphs (but space) are one square, with the given
    font-info dictionary."""
    clear = ("%%!PS-AdobeFont-1.0: %s %s\n%%%%Title: %s\n11 dict begin\n/FontInfo 9 dict dup begin\n"
             "/version (%s) readonly def\n/Notice (%s) readonly def\n/FullName (%s) readonly def\n"
             "/FamilyName (%s) readonly def\n/Weight (%s) readonly def\n/ItalicAngle 0 def\n"
             "/isFixedPitch false def\n/UnderlinePosition -100 def\n/UnderlineThickness 50 def\nend readonly def\n"
             "/FontName /%s def\n/PaintType 0 def\n/FontType 1 def\n/FontMatrix [0.001 0 0 0.001 0 0] readonly def\n"
             "/Encoding StandardEncoding def\n/FontBBox {0 -200 600 800} readonly def\ncurrentdict end\n"
             "currentfile eexec\n") % (ps_name, version, ps_name, version, notice, full, family, weight, ps_name)
    glyphs = [".notdef", "space"] + list(names)
    private = (b"dup /Private 8 dict dup begin\n/RD{string currentfile exch readstring pop}executeonly def\n"
               b"/ND{noaccess def}executeonly def\n/NP{noaccess put}executeonly def\n/MinFeature{16 16}def\n"
               b"/password 5839 def\n/BlueValues [-10 0 700 710] def\n/lenIV 4 def\n")
    private += b"2 index /CharStrings %d dict dup begin\n" % len(glyphs)
    for name in glyphs:
        program = [0, 600, "hsbw"]
        if name != "space":
            program += [100, 0, "rmoveto", 0, 700, "rlineto", 400, 0, "rlineto", 0, -700, "rlineto", "closepath"]
        data = _charstring(program + ["endchar"])
        private += b"/%s %d RD " % (name.encode(), len(data)) + data + b" ND\n"
    private += (b"end\nend\nreadonly put\nnoaccess put\ndup /FontName get exch definefont pop\n"
                b"mark currentfile closefile\n")
    binary = eexec.encrypt(b"\x11\x22\x33\x44" + private, 55665)[0]
    trailer = ("0" * 64 + "\n") * 8 + "cleartomark\n"
    with open(path, "wb") as f:
        for kind, data in ((1, clear.encode("latin-1")), (2, binary), (1, trailer.encode("ascii"))):
            f.write(struct.pack("<BBI", 0x80, kind, len(data)) + data)
        f.write(b"\x80\x03")


# The small fonts of FontFixtures::Expected().

def test_font(family, style, full, cff=False, variable=False):
    bits = (0x20 if "Bold" in style else 0) | (0x01 if "Italic" in style else 0)
    fb = build(family, style, full, cff=cff, os2={"fsSelection": bits or 0x40})
    if variable:
        fb.setupFvar(axes=[("wght", 400, 400, 700, "Weight")],
                     instances=[{"location": {"wght": 400}, "stylename": "Regular"},
                                {"location": {"wght": 700}, "stylename": "Bold"}])
        fb.setupGvar({})
    return fb.font


def build_test_fonts(outdir):
    def path(name):
        return os.path.join(outdir, name)

    for folder in ("Nested/Deeper", "Bitmap", "User"):
        os.makedirs(path(folder), exist_ok=True)

    sans = test_font("Test Sans", "Bold", {"de": "Test Sans Fett", "en": "Test Sans Bold"})
    sans.save(path("TestSans-Bold.ttf"))
    test_font("Test Serif", "Regular", "Test Serif Regular", cff=True).save(path("Nested/Deeper/TestSerif-Regular.otf"))
    test_font("Test Plain", "Italic", None).save(path("TestPlain-Italic.ttf"))
    test_font("Test Var", "Regular", "Test Var Regular", variable=True).save(path("TestVar.ttf"))

    collection = TTCollection()
    collection.fonts = [test_font("Test Pair", "Regular", "Test Pair Regular"),
                        test_font("Test Pair", "Italic", "Test Pair Italic")]
    collection.save(path("TestPair.ttc"))

    # Collections whose faces joined by " & " pass 2,000 bytes, sorted first and last.
    for name, family in (("AAA-Many.ttc", "Test Many First"), ("zzz-Many.ttc", "Test Many Last")):
        collection = TTCollection()
        collection.fonts = [test_font(family, "Face %02d" % n, "%s Face Number %02d" % (family, n))
                            for n in range(1, 61)]
        collection.save(path(name))

    # One font installed twice more: under the same file name and under another one.
    for name in ("User/TestSans-Bold.ttf", "User/TestSansCopy.ttf"):
        sans.save(path(name))

    for name, family, weight, pixels in (("TestFixed-13.bdf", "Test Fixed", "Medium", 13),
                                         ("Bitmap/TestFixed-16.bdf", "Test Fixed", "Medium", 16),
                                         ("Bitmap/TestFixed-20.bdf", "Test Fixed", "Medium", 20),
                                         ("Bitmap/TestFixedBold-13.bdf", "Test Fixed", "Bold", 13),
                                         ("Bitmap/TestBig-24.bdf", "Test Big", "Medium", 24)):
        write_bdf(path(name), family, weight, pixels)


# The details fonts: each sets exactly the table facts its name says.

def panose(kind=0, serif=0, proportion=0):
    p = Panose()
    for field in ("bFamilyType", "bSerifStyle", "bWeight", "bProportion", "bContrast", "bStrokeVariation",
                  "bArmStyle", "bLetterForm", "bMidline", "bXHeight"):
        setattr(p, field, 0)
    p.bFamilyType, p.bSerifStyle, p.bProportion = kind, serif, proportion
    return p


def detail_font(family, style="Regular", full=None, cff=False, glyphs=DETAIL_GLYPHS, cmap=DETAIL_CMAP,
                version="Version 1.000", copyright="Copyright (c) Typeloom details tests. Free to use.",
                weight=400, fixed_pitch=0, pan=None, code_pages=0x1, features=None, vertical=(800, -200)):
    fb = build(family, style, full, cff=cff, glyphs=glyphs, cmap=cmap, vertical=vertical, unique="details test",
               version=version, copyright=copyright, post={"isFixedPitch": fixed_pitch},
               os2={"version": 4, "usWeightClass": weight, "fsSelection": 0x40 if style == "Regular" else 0,
                    "panose": pan or panose(), "ulCodePageRange1": code_pages, "ulCodePageRange2": 0})
    if features:
        addOpenTypeFeaturesFromString(fb.font, features)
    return fb.font


def kern_table(pairs):
    table = newTable("kern")
    table.version = 0
    sub = KernTable_format_0()
    sub.apple = False
    sub.version = 0
    sub.format = 0
    sub.coverage = 1
    sub.tupleIndex = None
    sub.kernTable = dict(pairs)
    table.kernTables = [sub]
    return table


def build_details_fonts(out):
    os.makedirs(os.path.join(out, "Bitmap"), exist_ok=True)

    def save(font, name):
        font.save(os.path.join(out, name))

    save(detail_font("Detail Serif", pan=panose(2, 2), version="Version 2.5",
                     copyright="Serif notice. Second sentence."), "DetailSerif-Regular.ttf")
    save(detail_font("Detail Sans", pan=panose(2, 11), version="1.5", copyright="No period in this notice"),
         "DetailSans-Regular.ttf")
    save(detail_font("Detail Mono", pan=panose(2, 11, 9), fixed_pitch=1, version="VERSION 3.0 beta"),
         "DetailMono-Regular.ttf")
    save(detail_font("Detail Script", pan=panose(3, 11), version=None), "DetailScript-Regular.ttf")
    save(detail_font("Detail Deco", pan=panose(4, 2)), "DetailDeco-Regular.ttf")
    save(detail_font("Detail Cff", cff=True), "DetailCff-Regular.otf")
    # Ascent and descent both fall on fractions of a pixel at most sizes.
    save(detail_font("Detail Tall", cff=True, vertical=(940, -260)), "DetailTall-Regular.otf")

    kern = detail_font("Detail Kern", pan=panose(2, 11))
    kern["kern"] = kern_table({("A", "a"): -50})
    save(kern, "DetailKern-Regular.ttf")

    save(detail_font("Detail Liga", glyphs=DETAIL_GLYPHS + ["A_a"],
                     features="feature liga { sub A a by A_a; } liga;"), "DetailLiga-Regular.ttf")
    save(detail_font("Detail Marks", glyphs=DETAIL_GLYPHS + ["acutecomb"], cmap={**DETAIL_CMAP, 0x0301: "acutecomb"},
                     features="table GDEF { GlyphClassDef [A a E zero], , [acutecomb], ; } GDEF;"),
         "DetailMarks-Regular.ttf")
    # An Arabic font: the letters U+0621-064A and the tatweel, contextual forms under
    # the Arabic script tag.
    arabic = {0x0621 + i: "uni%04X" % (0x0621 + i) for i in range(0x064A - 0x0621 + 1)}
    arabic[0x0640] = "tatweel"
    save(detail_font("Detail Arabic", glyphs=DETAIL_GLYPHS + sorted(set(arabic.values())),
                     cmap={**DETAIL_CMAP, **arabic},
                     features="languagesystem DFLT dflt; languagesystem arab dflt;\n"
                              "feature init { script arab; sub uni0628 by uni062A; } init;\n"
                              "feature fina { script arab; sub uni062A by uni0628; } fina;",
                     copyright="Arabic notice. Free."), "DetailArabic-Regular.ttf")
    # Latin fonts that hold what a right-to-left or joining test might mistake for a
    # script: the byte-order mark, one Hebrew presentation form, a swash `fina` (and an
    # `init` under the Bengali script tag).
    save(detail_font("Detail Bom", glyphs=DETAIL_GLYPHS + ["uniFEFF"], cmap={**DETAIL_CMAP, 0xFEFF: "uniFEFF"},
                     copyright="Bom notice. Free."), "DetailBom-Regular.ttf")
    save(detail_font("Detail Stray", glyphs=DETAIL_GLYPHS + ["uniFB29"], cmap={**DETAIL_CMAP, 0xFB29: "uniFB29"},
                     copyright="Stray notice"), "DetailStray-Regular.ttf")
    save(detail_font("Detail Swash", glyphs=DETAIL_GLYPHS + ["a.fina"],
                     features="languagesystem DFLT dflt; languagesystem latn dflt; languagesystem beng dflt;\n"
                              "feature fina { script latn; sub a by a.fina; } fina;\n"
                              "feature init { script beng; sub A by E; } init;",
                     copyright="Swash notice. Free."), "DetailSwash-Regular.ttf")
    # Name id 1 is the style-linked family "Detail Wide Light"; the typographic family
    # (id 16) is "Detail Wide".
    wide = detail_font("Detail Wide Light", full="Detail Wide Light", weight=300, copyright="Wide notice. Free.")
    wide["name"].setName("Detail Wide", 16, 3, 1, 0x409)
    wide["name"].setName("Light", 17, 3, 1, 0x409)
    save(wide, "DetailWide-Light.ttf")
    # A CFF font and a collection of two faces, each with its own names.
    save(detail_font("Detail Cff Two", cff=True, version="Version 2.000", copyright="Cff notice. Second."),
         "DetailCffTwo-Regular.otf")
    pair = TTCollection()
    pair.fonts = [detail_font("Detail Duo", version="Version 1.100", copyright="Duo regular notice. Free."),
                  detail_font("Detail Duo", style="Bold", weight=700, version="Version 1.200",
                              copyright="Duo bold notice. Free.")]
    pair.save(os.path.join(out, "DetailDuo.ttc"))
    # A Type 1 font.
    type1_font(os.path.join(out, "DetailTypeOne-Regular.pfb"), "Detail Type One", "Regular",
               "Detail Type One Regular", "DetailTypeOne-Regular", "001.002", "Type one notice. Second sentence.")
    # A font without Latin letters whose missing-glyph shape differs from its glyphs: a frame.
    frame = detail_font("Detail Nolatin", glyphs=[".notdef", "space", "uni05D0", "uni05D1"],
                        cmap={32: "space", 0x05D0: "uni05D0", 0x05D1: "uni05D1"}, copyright="Nolatin notice")
    pen = TTGlyphPen(None)
    for x0, y0, x1, y1, clockwise in ((50, 0, 450, 700, True), (150, 100, 350, 600, False)):
        points = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
        pen.moveTo(points[0])
        for pt in (points[1:] if clockwise else points[:0:-1]):
            pen.lineTo(pt)
        pen.closePath()
    frame["glyf"][".notdef"] = pen.glyph()
    frame["hmtx"][".notdef"] = (500, 50)
    save(frame, "DetailNolatin-Regular.ttf")
    save(detail_font("Detail Cjk", code_pages=(1 << 0) | (1 << 17)), "DetailCjk-Regular.ttf")

    # A family whose second face is listed by its full name, which is not family + style.
    save(detail_font("Detail Odd", full="Detail Odd Regular"), "DetailOdd-Regular.ttf")
    save(detail_font("Detail Odd", style="Heavy", full="DetailOdd-Heavy", weight=900), "DetailOdd-Heavy.ttf")

    # Bitmap families: pixel sizes at 96 DPI give the point sizes in their names.
    for family, pixel_sizes in (("Detail Steps", (11, 13, 16, 19, 24, 32)),  # 8,10,12,14,18,24
                                ("Detail Twelve", (16, 24)),                   # 12,18
                                ("Detail Single", (13,)),                      # 10
                                ("Detail Large", (24, 32))):                   # 18,24
        for px in pixel_sizes:
            name = "%s-%d.bdf" % (family.replace(" ", ""), px)
            write_bdf(os.path.join(out, "Bitmap", name), family, "Medium", px, "E")
    # A bitmap family with the letters and digits of the printed specimen.
    printable = "".join(chr(c) for c in range(33, 127))
    for px in (11, 16, 24, 32):                                                 # 8,12,18,24
        write_bdf(os.path.join(out, "Bitmap", "DetailPrint-%d.bdf" % px), "Detail Print", "Medium", px, printable)


# The coverage fonts: family -> (characters, OS/2 code page bits). Every character
# maps to the one square glyph. The first three are listed by their family, the
# last two by their full name ("Cover Cjk Regular").
def chars(*ranges):
    out = []
    for first, last in ranges:
        out += range(first, last + 1)
    return out


LATIN = chars((0x20, 0x7E), (0xA0, 0xFF))
GREEK = chars((0x0384, 0x038A), (0x038C, 0x038C), (0x038E, 0x03A1), (0x03A3, 0x03CE))
COVERAGE = {
    "Cover Latin": (LATIN, 1 << 0),
    "Cover Greek": (LATIN + GREEK, (1 << 0) | (1 << 3)),
    "Cover Arabic": ([0x20] + chars((0x060C, 0x06FF)), 1 << 6),
    # A Japanese code page: fontconfig gives a CJK font only the CJK languages its
    # code pages name.
    "Cover Cjk": ([0x20] + chars((0x3000, 0x30FF), (0x4E00, 0x9FFF), (0xFF00, 0xFFEF)), 1 << 17),
    "Cover Symbol": ([0x20] + chars((0x2190, 0x21FF), (0x2200, 0x22FF), (0x2600, 0x26FF)), 1 << 31),
}


def build_coverage_fonts(out):
    os.makedirs(out, exist_ok=True)
    for family, (codes, code_pages) in COVERAGE.items():
        cmap = {c: ("space" if c == 0x20 else "A") for c in codes}
        full = family + " Regular" if family in ("Cover Cjk", "Cover Symbol") else family
        fb = build(family, "Regular", full, glyphs=[".notdef", "space", "A"], cmap=cmap,
                   unique="coverage test", os2={"version": 4, "fsSelection": 0x40, "ulCodePageRange1": code_pages,
                                                "ulCodePageRange2": 0})
        fb.font.save(os.path.join(out, family.replace(" ", "") + "-Regular.ttf"))


if __name__ == "__main__":
    if sys.argv[1:2] == ["--details"]:
        build_details_fonts(sys.argv[2])
    elif sys.argv[1:2] == ["--coverage"]:
        build_coverage_fonts(sys.argv[2])
    else:
        build_test_fonts(sys.argv[1])
