#!/usr/bin/python3
"""Prints a workbook as JSON for the tests: its sheets in order, each with its cells
(row, column, type, value, number format) and its print settings, as openpyxl reads them."""
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheets = []
for sheet in book.worksheets:
    cells = []
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            value = cell.value
            if hasattr(value, "total_seconds"):  # a time shown as a duration
                value = value.total_seconds()
            elif hasattr(value, "hour"):  # a time of day
                value = value.hour * 3600 + value.minute * 60 + value.second + value.microsecond / 1e6
            cells.append([cell.row, cell.column, cell.data_type, value, cell.number_format])
    sheets.append({"name": sheet.title, "cells": cells,
                   "paper": sheet.page_setup.paperSize,
                   "orientation": sheet.page_setup.orientation,
                   "fitToPage": bool(sheet.sheet_properties.pageSetUpPr and
                                     sheet.sheet_properties.pageSetUpPr.fitToPage),
                   "fitToHeight": sheet.page_setup.fitToHeight})
print(json.dumps(sheets, ensure_ascii=False, default=str))
