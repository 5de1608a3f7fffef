#!/usr/bin/python3
"""Writes the fuzzer's seed inputs: small real fonts (built, or cut down from
installed ones to one glyph), each also truncated at its table boundaries and with
a few bits flipped.

usage: make_seeds.py OUTDIR
"""
import hashlib
import io
import os
import random
import struct
import subprocess
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
INSTALLED = [
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
    "/usr/share/fonts/opentype/urw-base35/C059-Roman.otf",
    "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf",
]


def small(path):
    font = TTFont(path)
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.layout_features = []
    options.notdef_outline = False
    sub = subset.Subsetter(options)
    sub.populate(text="A")
    sub.subset(font)
    out = io.BytesIO()
    font.save(out)
    return out.getvalue()


def built(family, style):
    tmp = os.path.join(os.environ.get("TMPDIR", "/tmp"), "typeloom-seed.ttf")
    subprocess.run(["/usr/bin/python3", os.path.join(HERE, "..", "tests", "fontfile", "make_test_font.py"),
                    tmp, family, style], check=True)
    with open(tmp, "rb") as f:
        data = f.read()
    os.remove(tmp)
    return data


def details():
    """The details-panel test fonts that carry layout tables (GSUB, GDEF), kern, CFF and
    code pages, for the graphics-system facts."""
    tmp = os.path.join(os.environ.get("TMPDIR", "/tmp"), "typeloom-seed-details")
    subprocess.run(["/usr/bin/python3", os.path.join(HERE, "..", "tests", "support", "make_details_fonts.py"), tmp],
                   check=True)
    out = []
    for name in ("DetailKern-Regular.ttf", "DetailLiga-Regular.ttf", "DetailMarks-Regular.ttf",
                 "DetailArabic-Regular.ttf", "DetailCjk-Regular.ttf", "DetailCff-Regular.otf",
                 "DetailMono-Regular.ttf"):
        with open(os.path.join(tmp, name), "rb") as f:
            out.append(f.read())
    return out


def boundaries(data):
    if len(data) < 12:
        return []
    count = struct.unpack(">H", data[4:6])[0]
    cuts = {12, 12 + 16 * count}
    for i in range(count):
        rec = data[12 + 16 * i: 28 + 16 * i]
        if len(rec) < 16:
            break
        offset, length = struct.unpack(">II", rec[8:16])
        cuts.update({offset, offset + 6, offset + length - 1})
    return sorted(c for c in cuts if 0 < c < len(data))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rng = random.Random(20261208)
    fonts = [built("Seed Sans", "Regular"), built("Seed Sans", "Bold")]
    fonts += [small(p) for p in INSTALLED if os.path.exists(p)]
    fonts += details()
    seeds = []
    for data in fonts:
        seeds.append(data)
        seeds += [data[:c] for c in boundaries(data)]
        for _ in range(8):
            flipped = bytearray(data)
            for _ in range(rng.randint(1, 4)):
                i = rng.randrange(min(len(flipped), 2048))
                flipped[i] ^= 1 << rng.randrange(8)
            seeds.append(bytes(flipped))
    for s in seeds:
        with open(os.path.join(out, hashlib.sha1(s).hexdigest()), "wb") as f:
            f.write(s)
    print(f"{len(seeds)} seeds, {sum(map(len, seeds))} bytes")


if __name__ == "__main__":
    main()
