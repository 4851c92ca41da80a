#!/usr/bin/python3
"""Reads a workbook of typed cells with an independent reader and prints each worksheet: a line
"sheet", its name, the cell the panes are frozen at and the width of each column in whole
characters (0 where unset), tab-separated; then one line a row, its cells tab-separated, each ""
when empty, "s" and the hex of its UTF-8 text, "n" and a number, or "d", a date-time and its
number format; "B" before a bold cell. Fails on anything the reader flags."""
import datetime
import re
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def shown(cell):
    if cell.value is None:
        return ""
    bold = "B" if cell.font.b else ""
    if isinstance(cell.value, datetime.datetime):
        return bold + "d" + cell.value.isoformat(sep=" ") + " " + cell.number_format
    if isinstance(cell.value, str):
        # Undo every _xHHHH_ escape in one pass, as Excel does.
        text = re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), cell.value)
        return bold + "s" + text.encode("utf-8").hex()
    if isinstance(cell.value, (int, float)) and not isinstance(cell.value, bool):
        return bold + "n" + repr(float(cell.value))
    sys.exit("cell %s holds a %s" % (cell.coordinate, type(cell.value).__name__))


def main():
    for sheet in openpyxl.load_workbook(sys.argv[1]).worksheets:
        letters = [get_column_letter(c) for c in range(1, sheet.max_column + 1)]
        widths = [sheet.column_dimensions[letter].width if letter in sheet.column_dimensions
                  else 0 for letter in letters]
        print("\t".join(["sheet", sheet.title, str(sheet.freeze_panes)] +
                        ["%d" % w for w in widths]))
        for row in sheet.iter_rows():
            print("\t".join(shown(cell) for cell in row))


main()
