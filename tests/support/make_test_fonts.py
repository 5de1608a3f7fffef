#!/usr/bin/python3
"""Builds the small test fonts into a folder: make_test_fonts.py OUTDIR.

Run with Debian's /usr/bin/python3 (python3-fonttools). The names and files here are
mirrored by FontFixtures::Expected() in FontFixtures.h.
"""
import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTCollection, TTFont

GLYPHS = [".notdef", "space", "A", "a", "zero"]
CMAP = {32: "space", 65: "A", 97: "a", 48: "zero"}
ADVANCE = 600


def draw(pen):
    pen.moveTo((100, 0))
    pen.lineTo((100, 700))
    pen.lineTo((500, 700))
    pen.lineTo((500, 0))
    pen.closePath()


def names(family, style, full=None):
    strings = {
        "familyName": family,
        "styleName": style,
        "uniqueFontIdentifier": "Typeloom test: %s %s" % (family, style),
        "psName": (family + "-" + style).replace(" ", ""),
        "version": "Version 1.000",
        "copyright": "Copyright (c) Typeloom tests. Free to use.",
    }
    if full is not None:
        strings["fullName"] = full
    return strings


def finish(fb, family, style, full):
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable(names(family, style, full))
    fb.setupOS2(sTypoAscender=800, sTypoDescender=-200, usWinAscent=800, usWinDescent=200,
                fsSelection=(0x20 if "Bold" in style else 0) | (0x01 if "Italic" in style else 0) or 0x40)
    fb.setupPost()
    fb.font["head"].macStyle = (1 if "Bold" in style else 0) | (2 if "Italic" in style else 0)


def truetype(family, style, full, variable=False):
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(GLYPHS)
    fb.setupCharacterMap(CMAP)
    glyphs = {}
    for name in GLYPHS:
        pen = TTGlyphPen(None)
        if name != "space":
            draw(pen)
        glyphs[name] = pen.glyph()
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    fb.setupHorizontalMetrics({n: (ADVANCE, getattr(glyf[n], "xMin", 0)) for n in GLYPHS})
    finish(fb, family, style, full)
    if variable:
        fb.setupFvar(axes=[("wght", 400, 400, 700, "Weight")],
                     instances=[{"location": {"wght": 400}, "stylename": "Regular"},
                                {"location": {"wght": 700}, "stylename": "Bold"}])
        fb.setupGvar({})
    return fb.font


def cff(family, style, full):
    fb = FontBuilder(1000, isTTF=False)
    fb.setupGlyphOrder(GLYPHS)
    fb.setupCharacterMap(CMAP)
    charstrings = {}
    for name in GLYPHS:
        pen = T2CharStringPen(ADVANCE, None)
        if name != "space":
            draw(pen)
        charstrings[name] = pen.getCharString()
    ps = (family + "-" + style).replace(" ", "")
    fb.setupCFF(ps, {"FullName": full, "FamilyName": family}, charstrings, {})
    lsb = {}
    for name, cs in charstrings.items():
        bounds = cs.calcBounds(None)
        lsb[name] = bounds[0] if bounds else 0
    fb.setupHorizontalMetrics({n: (ADVANCE, lsb[n]) for n in GLYPHS})
    finish(fb, family, style, full)
    return fb.font


def bdf(family, weight, pixels):
    width = pixels // 2
    ascent = pixels - 2
    row = "%02X" % (0xFF << (8 - min(width, 8)) & 0xFF)
    out = [
        "STARTFONT 2.1",
        "FONT -Typeloom-%s-%s-R-Normal--%d-%d-96-96-C-%d-ISO10646-1"
        % (family, weight, pixels, pixels * 720 // 96, width * 10),
        "SIZE %d 96 96" % (pixels * 72 // 96),
        "FONTBOUNDINGBOX %d %d 0 -2" % (width, pixels),
        "STARTPROPERTIES 13",
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
        "FONT_ASCENT %d" % ascent,
        "FONT_DESCENT 2",
        'CHARSET_REGISTRY "ISO10646"',
        'CHARSET_ENCODING "1"',
        "DEFAULT_CHAR 32",
        "ENDPROPERTIES",
        "CHARS 2",
    ]
    for name, code, bits in (("space", 32, "00"), ("A", 65, row)):
        out += ["STARTCHAR " + name, "ENCODING %d" % code, "SWIDTH 500 0", "DWIDTH %d 0" % width,
                "BBX %d %d 0 -2" % (width, pixels), "BITMAP"] + [bits] * pixels + ["ENDCHAR"]
    out.append("ENDFONT")
    # The property count above must match the properties listed.
    props = out[out.index("STARTPROPERTIES 13") + 1:out.index("ENDPROPERTIES")]
    out[out.index("STARTPROPERTIES 13")] = "STARTPROPERTIES %d" % len(props)
    return "\n".join(out) + "\n"


def main():
    outdir = sys.argv[1]
    os.makedirs(os.path.join(outdir, "Nested", "Deeper"), exist_ok=True)
    os.makedirs(os.path.join(outdir, "Bitmap"), exist_ok=True)

    sans = truetype("Test Sans", "Bold", {"de": "Test Sans Fett", "en": "Test Sans Bold"})
    sans.save(os.path.join(outdir, "TestSans-Bold.ttf"))
    cff("Test Serif", "Regular", "Test Serif Regular").save(
        os.path.join(outdir, "Nested", "Deeper", "TestSerif-Regular.otf"))
    truetype("Test Plain", "Italic", None).save(os.path.join(outdir, "TestPlain-Italic.ttf"))
    truetype("Test Var", "Regular", "Test Var Regular", variable=True).save(
        os.path.join(outdir, "TestVar.ttf"))

    collection = TTCollection()
    collection.fonts = [truetype("Test Pair", "Regular", "Test Pair Regular"),
                        truetype("Test Pair", "Italic", "Test Pair Italic")]
    collection.save(os.path.join(outdir, "TestPair.ttc"))

    # Collections whose faces joined by " & " pass 2,000 bytes, sorted first and last.
    for path, family in (("AAA-Many.ttc", "Test Many First"), ("zzz-Many.ttc", "Test Many Last")):
        collection = TTCollection()
        collection.fonts = [truetype(family, "Face %02d" % n, "%s Face Number %02d" % (family, n))
                            for n in range(1, 61)]
        collection.save(os.path.join(outdir, path))

    # One font installed twice more: under the same file name and under another one.
    os.makedirs(os.path.join(outdir, "User"), exist_ok=True)
    for path in ("User/TestSans-Bold.ttf", "User/TestSansCopy.ttf"):
        sans.save(os.path.join(outdir, path))

    for path, family, weight, pixels in (("TestFixed-13.bdf", "Test Fixed", "Medium", 13),
                                         ("Bitmap/TestFixed-16.bdf", "Test Fixed", "Medium", 16),
                                         ("Bitmap/TestFixed-20.bdf", "Test Fixed", "Medium", 20),
                                         ("Bitmap/TestFixedBold-13.bdf", "Test Fixed", "Bold", 13),
                                         ("Bitmap/TestBig-24.bdf", "Test Big", "Medium", 24)):
        with open(os.path.join(outdir, path), "w", encoding="ascii") as f:
            f.write(bdf(family, weight, pixels))


if __name__ == "__main__":
    main()
