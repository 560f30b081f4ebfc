#!/usr/bin/python3
"""Writes small workbooks built to take a reader's memory and time into the folder given as
argument, for bench_hostile: each is a few hundred kilobytes at most and inflates to deeply
nested or enormous XML.
  nested-shared.xlsx   one shared string nesting 10 million elements
  nested-sheet.xlsx    10 million nested elements inside a cell
  nested-styles.xlsx   10 million nested elements in the styles
  huge-shared.xlsx     one shared string of 250 MB
  huge-inline.xlsx     one inline cell text of 250 MB
  huge-tag.xlsx        one tag of 250 MB (attribute)
  nested-content.ods   10 million nested elements inside a cell of an OpenDocument sheet
"""
import os
import sys
import zipfile

NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
DEPTH = 10_000_000
HUGE = 250 * 1024 * 1024
CHUNK = 1024 * 1024

PLAIN_SHEET = ('<?xml version="1.0"?><worksheet xmlns="%s"><sheetData><row r="1">'
               '<c r="A1" t="s"><v>0</v></c></row></sheetData></worksheet>' % NS)
PLAIN_SHARED = '<?xml version="1.0"?><sst xmlns="%s"><si><t>1</t></si></sst>' % NS


def frame():
    return {
        "[Content_Types].xml": '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "_rels/.rels": '<?xml version="1.0"?><Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % (PKG_REL_NS, REL_NS),
        "xl/workbook.xml": '<?xml version="1.0"?><workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>' % (NS, REL_NS),
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0"?><Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="%s/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="%s/styles" Target="styles.xml"/></Relationships>' % (PKG_REL_NS, REL_NS, REL_NS, REL_NS),
        "xl/worksheets/sheet1.xml": PLAIN_SHEET,
        "xl/sharedStrings.xml": PLAIN_SHARED,
    }


def repeated(head, unit, count, tail):
    """The parts of a text: head, unit repeated count times, tail, in chunks."""
    yield head
    per_chunk = max(1, CHUNK // len(unit))
    while count > 0:
        n = min(count, per_chunk)
        yield unit * n
        count -= n
    yield tail


def write_zip(path, files, streamed_name=None, pieces=None, first=None):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        if first:
            z.writestr(first[0], first[1], compress_type=zipfile.ZIP_STORED)
        for name, content in files.items():
            if name != streamed_name:
                z.writestr(name, content)
        if streamed_name:
            with z.open(streamed_name, "w", force_zip64=True) as part:
                for piece in pieces:
                    part.write(piece.encode())


def xlsx(path, part, pieces):
    write_zip(path, frame(), part, pieces)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    xlsx(os.path.join(out, "nested-shared.xlsx"), "xl/sharedStrings.xml",
         repeated('<?xml version="1.0"?><sst xmlns="%s"><si>' % NS, "<r>", DEPTH, "</si></sst>"))
    xlsx(os.path.join(out, "nested-sheet.xlsx"), "xl/worksheets/sheet1.xml",
         repeated('<worksheet xmlns="%s"><sheetData><row r="1"><c r="A1" t="inlineStr"><is>' % NS,
                  "<r>", DEPTH, ""))
    xlsx(os.path.join(out, "nested-styles.xlsx"), "xl/styles.xml",
         repeated('<styleSheet xmlns="%s">' % NS, "<a>", DEPTH, ""))
    xlsx(os.path.join(out, "huge-shared.xlsx"), "xl/sharedStrings.xml",
         repeated('<sst xmlns="%s"><si><t>' % NS, "x", HUGE, "</t></si></sst>"))
    xlsx(os.path.join(out, "huge-inline.xlsx"), "xl/worksheets/sheet1.xml",
         repeated('<worksheet xmlns="%s"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>' % NS,
                  "x", HUGE, "</t></is></c></row></sheetData></worksheet>"))
    xlsx(os.path.join(out, "huge-tag.xlsx"), "xl/worksheets/sheet1.xml",
         repeated('<worksheet xmlns="%s"><sheetData><row r="1"><c r="A1" x="' % NS,
                  "x", HUGE, '"/></row></sheetData></worksheet>'))
    ods_head = ('<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
                'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
                'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>'
                '<office:spreadsheet><table:table><table:table-row><table:table-cell><text:p>')
    write_zip(os.path.join(out, "nested-content.ods"), {}, "content.xml",
              repeated(ods_head, "<text:span>", DEPTH, ""),
              first=("mimetype", "application/vnd.oasis.opendocument.spreadsheet"))


if __name__ == "__main__":
    main()
