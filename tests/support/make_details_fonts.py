#!/usr/bin/python3
"""make_details_fonts.py OUTDIR: the details fonts of make_test_fonts.py --details."""
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_test_fonts  # noqa: E402

if __name__ == "__main__":
    make_test_fonts.build_details_fonts(sys.argv[1])
