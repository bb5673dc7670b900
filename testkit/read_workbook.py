#!/usr/bin/env python3
"""Reads a workbook back as a spreadsheet program reads it, for the tests:
openpyxl parses every sheet's XML (a file that is not valid fails here), and
each non-empty cell is printed as a line "SHEET!CELL TYPE VALUE", TYPE being
n (number), s (text), d (date-time), b or e; every sheet's name is printed
first, in order, as "== NAME". A sheet whose column ranges overlap, which
a spreadsheet program repairs rather than opens, fails here too.
    read_workbook.py BOOK.xlsx
With --layout, how each sheet reads as opened instead: "SHEET freeze CELL",
"SHEET filter RANGE", "SHEET width COLUMN WIDTH" for each column given a
width, and "SHEET!CELL format FORMAT" for each non-empty cell of the first
five rows whose number format is not General."""
import re
import sys
import zipfile

sys.stdout.reconfigure(encoding="utf-8")

import openpyxl


def print_cells(book):
    for sheet in book.worksheets:
        print("== " + sheet.title)
    for sheet in book.worksheets:
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None:
                    print("%s!%s %s %r" % (sheet.title, cell.coordinate, cell.data_type, cell.value))


def print_layout(book):
    for sheet in book.worksheets:
        if sheet.freeze_panes:
            print("%s freeze %s" % (sheet.title, sheet.freeze_panes))
        if sheet.auto_filter.ref:
            print("%s filter %s" % (sheet.title, sheet.auto_filter.ref))
        for letter, dimension in sorted(sheet.column_dimensions.items()):
            if dimension.customWidth:
                for index in range(dimension.min or 0, (dimension.max or 0) + 1):
                    if index:
                        print("%s width %s %g" % (sheet.title, openpyxl.utils.get_column_letter(index),
                                                  dimension.width))
        for row in sheet.iter_rows(max_row=5):
            for cell in row:
                if cell.value is not None and cell.number_format != "General":
                    print("%s!%s format %s" % (sheet.title, cell.coordinate, cell.number_format))


def check_columns(path):
    with zipfile.ZipFile(path) as book:
        for name in book.namelist():
            if not name.startswith("xl/worksheets/sheet"):
                continue
            seen = set()
            for first, last in re.findall(r'<col min="(\d+)" max="(\d+)"', book.read(name).decode("utf-8")):
                columns = set(range(int(first), int(last) + 1))
                if seen & columns:
                    sys.exit("%s: overlapping column ranges" % name)
                seen |= columns


check_columns(sys.argv[-1])
book = openpyxl.load_workbook(sys.argv[-1])
if "--layout" in sys.argv[1:-1]:
    print_layout(book)
else:
    print_cells(book)
