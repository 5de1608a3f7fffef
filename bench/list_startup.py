#!/usr/bin/python3
"""Start-up cost of `typeloom --list` over thousands of installed fonts.

Builds N small fonts with distinct families (fontTools), points fontconfig at
them, warms the font cache, then times `typeloom --list` against the floor: the
same listing with the bare library (`fc-list : family style file fontformat`).
Prints the median of each and their ratio.

    /usr/bin/python3 bench/list_startup.py build/typeloom [N]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen


def build_font(path, family, style):
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder([".notdef", "A"])
    fb.setupCharacterMap({0x41: "A"})
    pen = TTGlyphPen(None)
    pen.moveTo((0, 0)); pen.lineTo((500, 700)); pen.lineTo((1000, 0)); pen.closePath()
    glyph = pen.glyph()
    fb.setupGlyf({".notdef": glyph, "A": glyph})
    fb.setupHorizontalMetrics({".notdef": (1000, 0), "A": (1000, 0)})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": family, "styleName": style})
    fb.setupOS2(fsSelection=0x20 if style == "Bold" else 0x40)
    fb.font["head"].macStyle = 1 if style == "Bold" else 0
    fb.setupPost()
    fb.save(path)


def median_seconds(command, env, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, env=env, stdout=subprocess.DEVNULL, check=True)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    exe = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/typeloom")
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 3000
    with tempfile.TemporaryDirectory() as root:
        fonts = os.path.join(root, "fonts")
        os.makedirs(fonts)
        for i in range(count):
            style = "Bold" if i % 3 == 2 else "Regular"
            build_font(os.path.join(fonts, f"bench{i:05d}.ttf"), f"Bench Family {i // 3:05d}", style)
        conf = os.path.join(root, "fonts.conf")
        with open(conf, "w") as f:
            f.write(f'<?xml version="1.0"?>\n<fontconfig><dir>{fonts}</dir>'
                    f'<cachedir>{root}/cache</cachedir></fontconfig>\n')
        env = dict(os.environ, FONTCONFIG_FILE=conf, HOME=root, XDG_DATA_HOME=root,
                   XDG_CONFIG_HOME=root, XDG_CACHE_HOME=root)
        subprocess.run(["fc-cache", "-f"], env=env, check=True)
        listed = subprocess.run([exe, "--list"], env=env, capture_output=True, text=True, check=True)
        names = listed.stdout.splitlines()
        typeloom = median_seconds([exe, "--list"], env, 15)
        floor = median_seconds(["fc-list", ":", "family", "style", "file", "fontformat"], env, 15)
        print(f"fonts: {count} files, {len(names)} names listed")
        print(f"typeloom --list: {typeloom * 1000:.1f} ms (median of 15)")
        print(f"floor (fc-list): {floor * 1000:.1f} ms (median of 15)")
        print(f"ratio: {typeloom / floor:.2f}")


if __name__ == "__main__":
    main()
