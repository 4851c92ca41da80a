#!/usr/bin/python3
"""Reads a saved history with an independent reader and prints its cells, one line a row,
nine tab-separated cells, each the hex of its UTF-8 text; a workbook of several sheets has each
sheet's rows after a line "sheet" and the hex of its name. Fails on anything a reader flags."""
import csv
import io
import re
import sys


def read_xls(path):
    import olefile
    import xlrd

    # Container first: strict about defects, one stream, kept out of the mini stream.
    ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
    if ole.listdir() != [["Workbook"]]:
        sys.exit("streams: %r" % ole.listdir())
    if ole.get_size("Workbook") < ole.minisectorcutoff:
        sys.exit("Workbook stream is in the mini stream")
    ole.close()

    log = io.StringIO()
    book = xlrd.open_workbook(path, formatting_info=True, logfile=log, verbosity=1)
    warnings = [line for line in log.getvalue().splitlines() if "WARNING" in line]
    if warnings:
        sys.exit("\n".join(warnings))
    return [(sheet.name, xls_rows(sheet)) for sheet in book.sheets()]


def xls_rows(sheet):
    import xlrd

    rows = []
    for r in range(sheet.nrows):
        row = []
        for c in range(9):
            cell = sheet.cell(r, c) if c < sheet.ncols else None
            if cell is None or cell.ctype == xlrd.XL_CELL_EMPTY:
                row.append("")
            elif cell.ctype == xlrd.XL_CELL_TEXT:
                row.append(cell.value)
            else:
                sys.exit("cell %d,%d is not text" % (r, c))
        rows.append(row)
    return rows


def read_string_table_unescaped(xml_source):
    """openpyxl's shared string reader, but undoing every _xHHHH_ escape in one pass as Excel
    does; openpyxl itself only drops "x005F_", which garbles escaped escapes."""
    from openpyxl.cell.text import Text
    from openpyxl.xml.constants import SHEET_MAIN_NS
    from openpyxl.xml.functions import iterparse

    strings = []
    for _, node in iterparse(xml_source):
        if node.tag == "{%s}si" % SHEET_MAIN_NS:
            text = Text.from_tree(node).content
            strings.append(re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text))
            node.clear()
    return strings


def read_xlsx(path):
    import openpyxl
    import openpyxl.reader.excel

    openpyxl.reader.excel.read_string_table = read_string_table_unescaped
    return [(sheet.title, xlsx_rows(sheet)) for sheet in openpyxl.load_workbook(path).worksheets]


def xlsx_rows(sheet):
    rows = []
    for cells in sheet.iter_rows(min_row=1, max_col=9):
        row = []
        for cell in cells:
            if cell.value is not None and cell.data_type != "s":
                sys.exit("cell %s is not text" % cell.coordinate)
            row.append("" if cell.value is None else cell.value)
        rows.append(row)
    return rows


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f, strict=True))
    for row in rows:
        if len(row) != 9:
            sys.exit("line with %d fields" % len(row))
    return [("", rows)]


def main():
    reader = {"xls": read_xls, "xlsx": read_xlsx, "csv": read_csv}[sys.argv[1]]
    sheets = reader(sys.argv[2])
    for name, rows in sheets:
        if len(sheets) > 1:
            print("sheet\t" + name.encode("utf-8").hex())
        for row in rows:
            print("\t".join(text.encode("utf-8").hex() for text in row))


main()
