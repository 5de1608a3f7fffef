#!/usr/bin/python3
"""Writes the starting corpus of handover_fuzzer: well-formed hand-over messages and a few
near misses (see src/platform/instance/HandOverMessage.h for the layout)."""
import os
import struct
import sys


def message(arguments, startup_id=b"", token=b"", time=0, version=1, magic=b"TLHO"):
    body = struct.pack(">H", len(arguments))
    for argument in arguments:
        body += struct.pack(">I", len(argument)) + argument
    body += struct.pack(">H", len(startup_id)) + startup_id
    body += struct.pack(">H", len(token)) + token
    body += struct.pack(">I", time)
    return magic + struct.pack(">HI", version, len(body)) + body


SEEDS = {
    "empty-request": message([]),
    "one-file": message([b"/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"]),
    "print": message([b"/p", b"/fonts/A Font.TTF"]),
    "x11-launch": message([b"/a.ttf"], b"gnome-shell/typeloom/42-0-host_TIME123456"),
    "wayland-token": message([b"/a.ttf"], b"", b"0b6ff3b2-7d4e-4b1c-9c1e-token", 0),
    "terminal-time": message([b"x.ttf"], time=0x12345678),
    "quoted-id": message([], b'id "with" \\quotes', b"~"),
    "non-utf8": message([b"\xff\xfe.ttf", b""]),
    "old-signal-line": b"typeloom-handover 1\n",
    "newer-version": message([b"/a.ttf"], version=2),
    "truncated": message([b"/a.ttf"], b"id_TIME1")[:-3],
    "nul-in-argument": message([b"a\0b"]),
}

def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "handover-corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
