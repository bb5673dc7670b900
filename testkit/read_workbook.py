#!/usr/bin/env python3
"""Reads a workbook back as a spreadsheet program reads it, for the tests:
openpyxl parses every sheet's XML (a file that is not valid fails here), and
each non-empty cell is printed as a line "SHEET!CELL TYPE VALUE", TYPE being
n (number), s (text), d (date-time), b or e; every sheet's name is printed
first, in order, as "== NAME".
    read_workbook.py BOOK.xlsx"""
import sys

sys.stdout.reconfigure(encoding="utf-8")

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
for sheet in book.worksheets:
    print("== " + sheet.title)
for sheet in book.worksheets:
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None:
                print("%s!%s %s %r" % (sheet.title, cell.coordinate, cell.data_type, cell.value))
