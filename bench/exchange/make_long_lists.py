#!/usr/bin/python3
"""Writes the 65,536-row starter lists the reader benchmark times into the folder given as
argument: start number, driver, club and class per row. The .xls comes from xlwt; the .xlsx is
written as spreadsheet programs write it (texts as shared strings, numbers as plain values),
which openpyxl does not do (it writes every text inline)."""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

import xlwt

ROWS = 65536
NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL_NS = "http://schemas.openxmlformats.org/package/2006/relationships"


CONTENT_TYPES = (
    '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
    '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
    '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
    '</Types>')


def row(i):
    return [i + 1, "Fahrerin Nr. %d Größe" % (i + 1), "MSC Talvenbahn %d" % (i % 40), "K%d" % (i % 7)]


def column_letter(c):
    return "ABCDEFGHIJ"[c]


def write_xls(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Starter")
    for i in range(ROWS):
        for c, value in enumerate(row(i)):
            sheet.write(i, c, value)
    book.save(path)


def write_xlsx(path):
    strings = {}
    rows = []
    for i in range(ROWS):
        cells = []
        for c, value in enumerate(row(i)):
            ref = "%s%d" % (column_letter(c), i + 1)
            if isinstance(value, str):
                index = strings.setdefault(value, len(strings))
                cells.append('<c r="%s" t="s"><v>%d</v></c>' % (ref, index))
            else:
                cells.append('<c r="%s"><v>%r</v></c>' % (ref, value))
        rows.append('<row r="%d">%s</row>' % (i + 1, "".join(cells)))
    sheet = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet xmlns="%s">'
             '<dimension ref="A1:D%d"/><sheetData>%s</sheetData></worksheet>'
             % (NS, ROWS, "".join(rows)))
    shared = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<sst xmlns="%s" count="%d" uniqueCount="%d">%s</sst>'
              % (NS, len(strings), len(strings),
                 "".join("<si><t>%s</t></si>" % escape(s) for s in strings)))
    files = {
        # The content types as spreadsheet programs list them; openpyxl needs them to find the
        # workbook.
        "[Content_Types].xml": CONTENT_TYPES,
        "_rels/.rels": '<?xml version="1.0"?><Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % (PKG_REL_NS, REL_NS),
        "xl/workbook.xml": '<?xml version="1.0"?><workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Starter" sheetId="1" r:id="rId1"/></sheets></workbook>' % (NS, REL_NS),
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0"?><Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="%s/sharedStrings" Target="sharedStrings.xml"/></Relationships>' % (PKG_REL_NS, REL_NS, REL_NS),
        "xl/worksheets/sheet1.xml": sheet,
        "xl/sharedStrings.xml": shared,
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, content in files.items():
            z.writestr(name, content)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_xls(os.path.join(out, "long.xls"))
    write_xlsx(os.path.join(out, "long.xlsx"))


if __name__ == "__main__":
    main()
