#!/usr/bin/python3
"""Builds a small, loadable TrueType font with a family name of our choosing.

usage: make_test_font.py OUT.ttf FAMILY [STYLE [mono]]
"""
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen


def square():
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((100, 700))
    pen.lineTo((500, 700))
    pen.lineTo((500, 0))
    pen.closePath()
    return pen.glyph()


def main():
    out, family = sys.argv[1], sys.argv[2]
    style = sys.argv[3] if len(sys.argv) > 3 else "Regular"
    mono = len(sys.argv) > 4 and sys.argv[4] == "mono"
    glyphs = [".notdef", "space", "A", "a"]
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(glyphs)
    fb.setupCharacterMap({0x20: "space", 0x41: "A", 0x61: "a"})
    empty = TTGlyphPen(None).glyph()
    fb.setupGlyf({".notdef": square(), "space": empty, "A": square(), "a": square()})
    fb.setupHorizontalMetrics({g: (600, 100) for g in glyphs})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({
        "copyright": "Copyright 2026 Typeloom tests. Second sentence.",
        "familyName": family,
        "styleName": style,
        "uniqueFontIdentifier": f"{family}-{style}-test",
        "fullName": f"{family} {style}",
        "version": "Version 1.234",
        "psName": f"{family.replace(' ', '')}-{style}",
    })
    fb.setupOS2(sTypoAscender=800, usWinAscent=800, usWinDescent=200,
                fsSelection=0x20 if style == "Bold" else 0x40)
    fb.setupPost(isFixedPitch=1 if mono else 0)
    fb.save(out)


if __name__ == "__main__":
    main()
