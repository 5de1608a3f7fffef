#!/usr/bin/python3
"""Builds the fonts whose tables the details panel and the size list are tested
against: make_details_fonts.py OUTDIR.

Run with Debian's /usr/bin/python3 (python3-fonttools). Each font sets exactly the
table facts its name says; tests/app/DisplayIT.cpp holds the lines they must give.
"""
import os
import sys

from fontTools.feaLib.builder import addOpenTypeFeaturesFromString
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable
from fontTools.ttLib.tables._k_e_r_n import KernTable_format_0
from fontTools.ttLib.tables.O_S_2f_2 import Panose

BASE_GLYPHS = [".notdef", "space", "A", "a", "E", "zero"]
BASE_CMAP = {32: "space", 65: "A", 97: "a", 69: "E", 48: "zero"}
ADVANCE = 600
DEFAULT_COPYRIGHT = "Copyright (c) Typeloom details tests. Free to use."


def draw(pen):
    pen.moveTo((100, 0))
    pen.lineTo((100, 700))
    pen.lineTo((500, 700))
    pen.lineTo((500, 0))
    pen.closePath()


def panose(kind=0, serif=0, proportion=0):
    p = Panose()
    for field in ("bFamilyType", "bSerifStyle", "bWeight", "bProportion", "bContrast", "bStrokeVariation",
                  "bArmStyle", "bLetterForm", "bMidline", "bXHeight"):
        setattr(p, field, 0)
    p.bFamilyType, p.bSerifStyle, p.bProportion = kind, serif, proportion
    return p


def build(family, style="Regular", full=None, cff=False, glyphs=None, cmap=None, version="Version 1.000",
          copyright=DEFAULT_COPYRIGHT, weight=400, fixed_pitch=0, pan=None, code_pages=0x1, features=None,
          vertical=(800, -200)):
    glyphs = glyphs or BASE_GLYPHS
    cmap = cmap or BASE_CMAP
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
        fb.setupHorizontalMetrics({n: (ADVANCE, 0 if n == "space" else 100) for n in glyphs})
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
        "uniqueFontIdentifier": "Typeloom details test: %s %s" % (family, style),
        "psName": (family + "-" + style).replace(" ", ""),
        "copyright": copyright,
    }
    if version:
        strings["version"] = version
    if full:
        strings["fullName"] = full
    fb.setupNameTable(strings)
    fb.setupOS2(version=4, sTypoAscender=ascent, sTypoDescender=descent, usWinAscent=ascent, usWinDescent=-descent,
                usWeightClass=weight, fsSelection=0x40 if style == "Regular" else 0, panose=pan or panose(),
                ulCodePageRange1=code_pages, ulCodePageRange2=0)
    fb.setupPost(isFixedPitch=fixed_pitch)
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


def bdf(family, pixels):
    width = pixels // 2
    row = "%02X" % (0xFF << (8 - min(width, 8)) & 0xFF)
    props = [
        'FOUNDRY "Typeloom"',
        'FAMILY_NAME "%s"' % family,
        'WEIGHT_NAME "Medium"',
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
           "FONT -Typeloom-%s-Medium-R-Normal--%d-%d-96-96-C-%d-ISO10646-1"
           % (family, pixels, pixels * 720 // 96, width * 10),
           "SIZE %d 96 96" % (pixels * 72 // 96),
           "FONTBOUNDINGBOX %d %d 0 -2" % (width, pixels),
           "STARTPROPERTIES %d" % len(props)] + props + ["ENDPROPERTIES", "CHARS 2"]
    for name, code, bits in (("space", 32, "00"), ("E", 69, row)):
        out += ["STARTCHAR " + name, "ENCODING %d" % code, "SWIDTH 500 0", "DWIDTH %d 0" % width,
                "BBX %d %d 0 -2" % (width, pixels), "BITMAP"] + [bits] * pixels + ["ENDCHAR"]
    out.append("ENDFONT")
    return "\n".join(out) + "\n"


def main():
    out = sys.argv[1]
    os.makedirs(os.path.join(out, "Bitmap"), exist_ok=True)

    def save(font, name):
        font.save(os.path.join(out, name))

    save(build("Detail Serif", pan=panose(2, 2), version="Version 2.5",
               copyright="Serif notice. Second sentence."), "DetailSerif-Regular.ttf")
    save(build("Detail Sans", pan=panose(2, 11), version="1.5", copyright="No period in this notice"),
         "DetailSans-Regular.ttf")
    save(build("Detail Mono", pan=panose(2, 11, 9), fixed_pitch=1, version="VERSION 3.0 beta"),
         "DetailMono-Regular.ttf")
    save(build("Detail Script", pan=panose(3, 11), version=None), "DetailScript-Regular.ttf")
    save(build("Detail Deco", pan=panose(4, 2)), "DetailDeco-Regular.ttf")
    save(build("Detail Cff", cff=True), "DetailCff-Regular.otf")
    # Ascent and descent both fall on fractions of a pixel at most sizes.
    save(build("Detail Tall", cff=True, vertical=(940, -260)), "DetailTall-Regular.otf")

    kern = build("Detail Kern", pan=panose(2, 11))
    kern["kern"] = kern_table({("A", "a"): -50})
    save(kern, "DetailKern-Regular.ttf")

    save(build("Detail Liga", glyphs=BASE_GLYPHS + ["A_a"],
               features="feature liga { sub A a by A_a; } liga;"), "DetailLiga-Regular.ttf")
    save(build("Detail Marks", glyphs=BASE_GLYPHS + ["acutecomb"], cmap={**BASE_CMAP, 0x0301: "acutecomb"},
               features="table GDEF { GlyphClassDef [A a E zero], , [acutecomb], ; } GDEF;"),
         "DetailMarks-Regular.ttf")
    save(build("Detail Arabic", glyphs=BASE_GLYPHS + ["alef", "tatweel"],
               cmap={**BASE_CMAP, 0x0627: "alef", 0x0640: "tatweel"}), "DetailArabic-Regular.ttf")
    save(build("Detail Cjk", code_pages=(1 << 0) | (1 << 17)), "DetailCjk-Regular.ttf")

    # A family whose second face is listed by its full name, which is not family + style.
    save(build("Detail Odd", full="Detail Odd Regular"), "DetailOdd-Regular.ttf")
    save(build("Detail Odd", style="Heavy", full="DetailOdd-Heavy", weight=900), "DetailOdd-Heavy.ttf")

    # Bitmap families: pixel sizes at 96 DPI give the point sizes in their names.
    for family, pixel_sizes in (("Detail Steps", (11, 13, 16, 19, 24, 32)),  # 8,10,12,14,18,24
                                ("Detail Twelve", (16, 24)),                   # 12,18
                                ("Detail Single", (13,)),                      # 10
                                ("Detail Large", (24, 32))):                   # 18,24: no size list in its name
        for px in pixel_sizes:
            name = "%s-%d.bdf" % (family.replace(" ", ""), px)
            with open(os.path.join(out, "Bitmap", name), "w", encoding="ascii") as f:
                f.write(bdf(family, px))


if __name__ == "__main__":
    main()
