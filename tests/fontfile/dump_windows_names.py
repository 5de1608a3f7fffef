#!/usr/bin/python3
"""Dumps, as JSON, the Windows-platform name records (platform 3) of name ids 0, 1
and 5 of every .ttf/.otf file that fontconfig lists, in file order, decoded by
fontTools. Files fontTools cannot open are listed with "error".

usage: dump_windows_names.py OUT.json
"""
import json
import subprocess
import sys

from fontTools.ttLib import TTFont


def main():
    listing = subprocess.run(["fc-list", "--format", "%{file}\n"], check=True,
                             capture_output=True, text=True).stdout
    files = sorted({f for f in listing.splitlines() if f.lower().endswith((".ttf", ".otf"))})
    fonts = []
    for path in files:
        entry = {"file": path, "records": []}
        try:
            font = TTFont(path, lazy=True, fontNumber=-1)
            if "name" in font:
                for rec in font["name"].names:
                    if rec.platformID == 3 and rec.nameID in (0, 1, 5):
                        entry["records"].append({
                            "nameId": rec.nameID,
                            "languageId": rec.langID,
                            "text": rec.toUnicode(errors="replace"),
                        })
            font.close()
        except Exception as e:  # noqa: BLE001 - any unreadable file is reported, not fatal
            entry["error"] = str(e)
        fonts.append(entry)
    with open(sys.argv[1], "w", encoding="utf-8") as out:
        json.dump(fonts, out, ensure_ascii=False)


if __name__ == "__main__":
    main()
