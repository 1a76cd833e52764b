#!/usr/bin/env python3
"""Writes pattern files with Python's plistlib, as a program other than this
application would, so the tests can check that such files open.

Every file holds a board 9 cells wide and 6 high whose cell (x, y) has the
value (x * 31 + y * 7) % 256, stored column by column, and an extra key
"note" that the reader is to ignore.

  pattern_plistlib_xml.golpattern          XML form
  pattern_plistlib_binary.golpattern       binary form
  pattern_plistlib_shared.golpattern       binary form, 9 by 6, every column
                                           the same list object (column 0),
                                           which the binary writer stores once

Run it from any directory; it writes next to itself.
"""
import os
import plistlib

W, H = 9, 6
here = os.path.dirname(os.path.abspath(__file__))


def value(x, y):
    return (x * 31 + y * 7) % 256


def pattern(columns):
    return {
        "note": "written by plistlib",
        "bitMapPixelSize": [W, H],
        "bitMapPixelData": columns,
    }


columns = [[value(x, y) for y in range(H)] for x in range(W)]
shared = [columns[0]] * W

for name, data, fmt in [
    ("pattern_plistlib_xml.golpattern", pattern(columns), plistlib.FMT_XML),
    ("pattern_plistlib_binary.golpattern", pattern(columns), plistlib.FMT_BINARY),
    ("pattern_plistlib_shared.golpattern", pattern(shared), plistlib.FMT_BINARY),
]:
    with open(os.path.join(here, name), "wb") as f:
        plistlib.dump(data, f, fmt=fmt, sort_keys=False)
