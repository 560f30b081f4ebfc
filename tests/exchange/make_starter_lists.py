#!/usr/bin/python3
"""Writes the starter-list fixtures of the exchange tests into the folder given as argument
(with --by-format, into one subfolder per format, the seeds of the fuzz targets).

Every list exists as .xls (xlwt), .xlsx (openpyxl), .ods (written by hand as a zip of XML)
and, where the format can hold it, .csv:
  eight      8 starters, A9 empty (B9 and A10 filled), typed cells in C and D, data in K,
             error values outside the list (K2 and B9), a second worksheet
  fifteen    15 starters
  emptyA1    A1 empty, B1 and A2 filled
  error      an error value in B2, inside the list
plus a few hand-made files for the details of one format (inline strings, 1904 dates...).
"""
import datetime
import os
import sys
import zipfile

import openpyxl
import xlwt

NAMES = ["Jürgen Groß", "Zoë Ærøskøbing", "", "Łukasz Żółć", "Ἀθηνᾶ Παππᾶ",
         "Søren O'Brien", "Ñandú Pérez", "李小龍"]
NUMBERS = [7, 12, 3, 44, 5, 61, 8, 9]
DATE = datetime.date(2026, 12, 7)
STAMP = datetime.datetime(2026, 12, 7, 10, 30, 5)
# Typed cells of the first rows, column C (index 2) and D (index 3).
TYPED = {(0, 2): 2.5, (1, 2): DATE, (2, 2): True, (3, 2): 1234567.125, (4, 2): 0.1 + 0.2,
         (5, 2): 1e20, (0, 3): STAMP, (1, 3): False, (2, 3): 12.5}


def fifteen_rows():
    return [[100 + i, "Fahrer %d" % (i + 1)] for i in range(15)]


# ---- .xls -------------------------------------------------------------------------------
def xls_style(value):
    if isinstance(value, datetime.datetime):
        return xlwt.easyxf(num_format_str="DD.MM.YYYY hh:mm:ss")
    if isinstance(value, datetime.date):
        return xlwt.easyxf(num_format_str="DD.MM.YYYY")
    if value == 12.5:
        return xlwt.easyxf(num_format_str="0.00")
    return xlwt.Style.default_style


def write_xls(path, rows, extra=None, errors=(), second_sheet=False):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Starter")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is None:
                continue
            if isinstance(value, bool):
                sheet.row(r).set_cell_boolean(c, value)
            else:
                sheet.write(r, c, value, xls_style(value))
    for (r, c), value in (extra or {}).items():
        if isinstance(value, bool):
            sheet.row(r).set_cell_boolean(c, value)
        else:
            sheet.write(r, c, value, xls_style(value))
    for r, c in errors:
        sheet.row(r).set_cell_error(c, "#DIV/0!")
    if second_sheet:
        book.add_sheet("Andere").write(0, 0, "zweites Blatt")
    book.save(path)


# ---- .xlsx ------------------------------------------------------------------------------
def write_xlsx(path, rows, extra=None, errors=(), second_sheet=False):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Starter"
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if value is not None and value != "":
                sheet.cell(row=r + 1, column=c + 1, value=value)
    for (r, c), value in (extra or {}).items():
        cell = sheet.cell(row=r + 1, column=c + 1, value=value)
        if isinstance(value, datetime.datetime):
            cell.number_format = "DD.MM.YYYY hh:mm:ss"
        elif isinstance(value, datetime.date):
            cell.number_format = "DD.MM.YYYY"
        elif value == 12.5:
            cell.number_format = "0.00"
    for r, c in errors:
        sheet.cell(row=r + 1, column=c + 1, value="#DIV/0!")
    if second_sheet:
        book.create_sheet("Andere")["A1"] = "zweites Blatt"
    book.save(path)


# ---- .ods -------------------------------------------------------------------------------
ODS_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document-content
 xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"
 office:version="1.3"><office:body><office:spreadsheet>"""
ODS_TAIL = "</office:spreadsheet></office:body></office:document-content>"
MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"
 manifest:version="1.3">
 <manifest:file-entry manifest:full-path="/"
  manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
 <manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>"""


def esc(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def ods_cell(value):
    if value is None or value == "":
        return "<table:table-cell/>"
    if value == "#ERROR":
        return ('<table:table-cell table:formula="of:=1/0" office:value-type="string" '
                'office:string-value="" calcext:value-type="error">'
                "<text:p>#DIV/0!</text:p></table:table-cell>")
    if isinstance(value, bool):
        v = "true" if value else "false"
        return ('<table:table-cell office:value-type="boolean" office:boolean-value="%s">'
                "<text:p>%s</text:p></table:table-cell>" % (v, v.upper()))
    if isinstance(value, datetime.datetime):
        return ('<table:table-cell office:value-type="date" office:date-value="%s">'
                "<text:p>x</text:p></table:table-cell>" % value.strftime("%Y-%m-%dT%H:%M:%S"))
    if isinstance(value, datetime.date):
        return ('<table:table-cell office:value-type="date" office:date-value="%s">'
                "<text:p>x</text:p></table:table-cell>" % value.isoformat())
    if isinstance(value, (int, float)):
        return ('<table:table-cell office:value-type="float" office:value="%r">'
                "<text:p>%s</text:p></table:table-cell>" % (value, value))
    return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
            "</table:table-cell>" % esc(value))


def ods_table(name, rows):
    out = ['<table:table table:name="%s"><table:table-column table:number-columns-repeated="16"/>'
           % name]
    for row in rows:
        out.append("<table:table-row>")
        out.extend(ods_cell(v) for v in row)
        out.append('<table:table-cell table:number-columns-repeated="1014"/></table:table-row>')
    # Spreadsheet programs close a sheet with one row repeated to the end of the sheet.
    out.append('<table:table-row table:number-rows-repeated="1048000"><table:table-cell '
               'table:number-columns-repeated="1024"/></table:table-row></table:table>')
    return "".join(out)


def write_ods_content(path, content):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet",
                   compress_type=zipfile.ZIP_STORED)
        z.writestr("META-INF/manifest.xml", MANIFEST)
        z.writestr("content.xml", content)


def grid(rows, extra=None, errors=()):
    """The rows with the extra cells and error marks filled in, as a list of lists."""
    cells = {}
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            cells[(r, c)] = value
    cells.update(extra or {})
    for r, c in errors:
        cells[(r, c)] = "#ERROR"
    height = max(r for r, _ in cells) + 1
    width = max(c for _, c in cells) + 1
    return [[cells.get((r, c)) for c in range(width)] for r in range(height)]


def write_ods(path, rows, extra=None, errors=(), second_sheet=False):
    tables = ods_table("Starter", grid(rows, extra, errors))
    if second_sheet:
        tables += ods_table("Andere", [["zweites Blatt"]])
    write_ods_content(path, ODS_HEAD + tables + ODS_TAIL)


# ---- .csv -------------------------------------------------------------------------------
def csv_field(value, separator):
    text = "" if value is None else str(value)
    if any(ch in text for ch in (separator, '"', "\n", "\r")):
        return '"' + text.replace('"', '""') + '"'
    return text


def write_csv(path, rows, separator=";", encoding="utf-8"):
    lines = [separator.join(csv_field(v, separator) for v in row) for row in rows]
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode(encoding))


# ---- the lists --------------------------------------------------------------------------
def eight_rows():
    rows = [[n, name] for n, name in zip(NUMBERS, NAMES)]
    rows[0] += [None] * 8 + ["K-Daten"]        # column K is never read
    rows.append([None, "nach dem Ende"])        # A9 empty ends the list
    rows.append([99, "nicht gelesen"])
    return rows


# Error values outside the list: K2 (right of J) and C9 (in the row that ends the list).
OUTSIDE_ERRORS = [(1, 10), (8, 2)]


def write_formats(out, name, rows, extra=None, errors=(), second_sheet=False):
    write_xls(os.path.join(out, name + ".xls"), rows, extra, errors, second_sheet)
    write_xlsx(os.path.join(out, name + ".xlsx"), rows, extra, errors, second_sheet)
    write_ods(os.path.join(out, name + ".ods"), rows, extra, errors, second_sheet)


def write_handmade_xlsx(out):
    """Details spreadsheet programs write that openpyxl does not: inline strings, rich text
    with phonetic runs, formula text results, cells and rows without references, ISO dates,
    the 1904 date system, a custom date format and the workbook's first sheet in sheet2.xml."""
    files = {
        "[Content_Types].xml": '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "_rels/.rels": '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml": '<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><workbookPr date1904="1"/><sheets><sheet name="Starter" sheetId="2" r:id="rId7"/><sheet name="Alt" sheetId="1" r:id="rId1"/></sheets></workbook>',
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet2.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/><Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>',
        "xl/strings.xml": '<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>Zoë</t></si><si><r><rPr><b/></rPr><t xml:space="preserve">Jürgen </t></r><r><t>Groß</t></r><rPh sb="0" eb="1"><t>ユ</t></rPh></si></sst>',
        "xl/styles.xml": '<?xml version="1.0"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="1"><numFmt numFmtId="164" formatCode="[$-407]DD/MM/YYYY;@"/></numFmts><cellStyleXfs><xf numFmtId="14"/></cellStyleXfs><cellXfs><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="2"/></cellXfs></styleSheet>',
        "xl/worksheets/sheet1.xml": '<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>falsches Blatt</t></is></c></row></sheetData></worksheet>',
        "xl/worksheets/sheet2.xml": '<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
            '<row r="1"><c r="A1" t="inlineStr"><is><t>A-1</t></is></c><c r="B1" t="s"><v>1</v></c><c r="C1" s="1"><v>45631</v></c></row>'
            '<row><c t="inlineStr"><is><r><t>B-</t></r><r><t>2</t></r></is></c><c t="s"><v>0</v></c><c t="str"><f>A2&amp;"x"</f><v>B-2x</v></c><c t="d"><v>2026-12-07T10:30:05</v></c><c t="b"><v>1</v></c></row>'
            '<row r="3"><c r="A3" s="2"><v>3</v></c><c r="E3"><f>1+1</f></c><c r="J3"><v>-0.5</v></c><c r="K3"><v>11</v></c></row>'
            '</sheetData></worksheet>',
    }
    with zipfile.ZipFile(os.path.join(out, "handmade.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        for name, content in files.items():
            z.writestr(name, content)


def write_handmade_ods(out):
    """Repeated cells and rows, covered cells, spaces, tabs, line breaks, spans, notes,
    several paragraphs, row groups, percentages, times and a string value attribute."""
    content = (ODS_HEAD + '<table:table table:name="Starter"><table:table-header-rows>'
               '<table:table-row><table:table-cell office:value-type="float" office:value="1">'
               "<text:p>1</text:p></table:table-cell>"
               '<table:table-cell office:value-type="string"><text:p>A<text:s text:c="3"/>B'
               '<text:tab/>C<text:line-break/>D<text:span text:style-name="T1">E</text:span>'
               '<text:a xlink:href="http://x" xmlns:xlink="http://www.w3.org/1999/xlink">F</text:a></text:p>'
               "<text:p>zweiter Absatz</text:p></table:table-cell>"
               '<table:table-cell table:number-columns-repeated="2" office:value-type="string">'
               "<text:p>rep</text:p></table:table-cell>"
               '<table:covered-table-cell/>'
               '<table:table-cell office:value-type="percentage" office:value="0.25"><text:p>25%</text:p></table:table-cell>'
               '<table:table-cell office:value-type="time" office:time-value="PT10H30M05S"><text:p>x</text:p></table:table-cell>'
               '<table:table-cell office:value-type="currency" office:currency="EUR" office:value="12.5"><text:p>12,50 €</text:p></table:table-cell>'
               '<table:table-cell office:value-type="string"><office:annotation><text:p>Notiz</text:p></office:annotation><text:p>mit Notiz</text:p></table:table-cell>'
               '<table:table-cell office:value-type="string" office:string-value="Wert"><text:p>Anzeige</text:p></table:table-cell>'
               '<table:table-cell office:value-type="string"><text:p>K</text:p></table:table-cell>'
               "</table:table-row></table:table-header-rows>"
               '<table:table-row-group><table:table-row table:number-rows-repeated="3">'
               '<table:table-cell office:value-type="string"><text:p>wdh</text:p></table:table-cell>'
               "</table:table-row></table:table-row-group>"
               '<table:table-row><table:table-cell/><table:table-cell office:value-type="string">'
               "<text:p>nach dem Ende</text:p></table:table-cell></table:table-row>"
               "</table:table>" + ODS_TAIL)
    write_ods_content(os.path.join(out, "handmade.ods"), content)


def write_sheet_only_xlsx(path, sheet_data, shared=()):
    """A minimal workbook of one sheet with the given <sheetData> content."""
    strings = "".join("<si><t>%s</t></si>" % esc(t) for t in shared)
    files = {
        "[Content_Types].xml": '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "xl/workbook.xml": '<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets><sheet name="S" sheetId="1"/></sheets></workbook>',
        "xl/sharedStrings.xml": '<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">%s</sst>' % strings,
        "xl/worksheets/sheet1.xml": '<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>%s</sheetData></worksheet>' % sheet_data,
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, content in files.items():
            z.writestr(name, content)


def write_damaged_variants(out):
    """Files that are well-formed zips but break a rule of their format."""
    write_sheet_only_xlsx(os.path.join(out, "badindex.xlsx"),
                          '<row r="1"><c r="A1" t="s"><v>5</v></c></row>', ["nur einer"])
    write_sheet_only_xlsx(os.path.join(out, "rowsback.xlsx"),
                          '<row r="1"><c r="A1"><v>1</v></c></row>'
                          '<row r="2"><c r="A2"><v>2</v></c></row>'
                          '<row r="2"><c r="A2"><v>3</v></c></row>')
    write_sheet_only_xlsx(os.path.join(out, "badnumber.xlsx"),
                          '<row r="1"><c r="A1"><v>sieben</v></c></row>')
    write_sheet_only_xlsx(os.path.join(out, "bigrows.xlsx"),
                          "".join('<row r="%d"><c r="A%d"><v>%d</v></c></row>' % (i, i, i)
                                  for i in range(1, 70001)))
    with zipfile.ZipFile(os.path.join(out, "nosheet.xlsx"), "w") as z:
        z.writestr("[Content_Types].xml", "<Types/>")
    repeated = ('<table:table table:name="S"><table:table-row table:number-rows-repeated="2000000">'
                '<table:table-cell office:value-type="string"><text:p>immer</text:p>'
                "</table:table-cell></table:table-row></table:table>")
    write_ods_content(os.path.join(out, "bigrepeat.ods"), ODS_HEAD + repeated + ODS_TAIL)
    badvalue = ('<table:table table:name="S"><table:table-row><table:table-cell '
                'office:value-type="float" office:value="sieben"><text:p>7</text:p>'
                "</table:table-cell></table:table-row></table:table>")
    write_ods_content(os.path.join(out, "badvalue.ods"), ODS_HEAD + badvalue + ODS_TAIL)
    write_ods_content(os.path.join(out, "notable.ods"), ODS_HEAD + ODS_TAIL)
    write_ods_content(os.path.join(out, "broken.ods"), ODS_HEAD + "<table:table><table:table-row>")


def write_reading_details(out):
    """A chart sheet before the first worksheet, a start number computed by a formula saved
    without its result, and an OpenDocument sheet encrypted with a password."""
    ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    pkg = "http://schemas.openxmlformats.org/package/2006/relationships"
    files = {
        "[Content_Types].xml": '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "xl/workbook.xml": '<?xml version="1.0"?><workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Diagramm" sheetId="2" r:id="rId2"/><sheet name="Starter" sheetId="1" r:id="rId1"/></sheets></workbook>' % (ns, rel),
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0"?><Relationships xmlns="%s"><Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="%s/chartsheet" Target="chartsheets/sheet1.xml"/></Relationships>' % (pkg, rel, rel),
        "xl/chartsheets/sheet1.xml": '<?xml version="1.0"?><chartsheet xmlns="%s"><drawing/></chartsheet>' % ns,
        "xl/worksheets/sheet1.xml": '<?xml version="1.0"?><worksheet xmlns="%s"><sheetData><row r="1"><c r="A1"><v>7</v></c><c r="B1" t="inlineStr"><is><t>Anna</t></is></c></row></sheetData></worksheet>' % ns,
    }
    with zipfile.ZipFile(os.path.join(out, "chartfirst.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        for name, content in files.items():
            z.writestr(name, content)
    write_sheet_only_xlsx(os.path.join(out, "nocache.xlsx"),
                          '<row r="1"><c r="A1"><v>1</v></c></row>'
                          '<row r="2"><c r="A2"><f>A1+1</f></c><c r="B2" t="inlineStr"><is><t>B</t></is></c></row>'
                          '<row r="3"><c r="A3"><v>3</v></c></row>')
    manifest = MANIFEST.replace(
        '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>',
        '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml">'
        '<manifest:encryption-data manifest:checksum-type="SHA1/1K" manifest:checksum="AAAA">'
        '<manifest:algorithm manifest:algorithm-name="Blowfish CFB" manifest:initialisation-vector="AAAA"/>'
        '</manifest:encryption-data></manifest:file-entry>')
    with zipfile.ZipFile(os.path.join(out, "locked.ods"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet",
                   compress_type=zipfile.ZIP_STORED)
        z.writestr("META-INF/manifest.xml", manifest)
        z.writestr("content.xml", bytes(range(256)) * 8)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_formats(out, "eight", eight_rows(), TYPED, OUTSIDE_ERRORS, second_sheet=True)
    write_formats(out, "fifteen", fifteen_rows())
    write_formats(out, "emptyA1", [[None, "ohne Nummer"], [2, "nicht gelesen"]])
    write_formats(out, "error", [[1, "Erster"], [2, None], [3, "Dritter"]], errors=[(1, 1)])
    write_handmade_xlsx(out)
    write_handmade_ods(out)
    write_damaged_variants(out)
    write_reading_details(out)

    write_csv(os.path.join(out, "eight.csv"), eight_rows())
    write_csv(os.path.join(out, "fifteen.csv"), fifteen_rows(), separator=",")
    write_csv(os.path.join(out, "emptyA1.csv"), [[None, "ohne Nummer"], [2, "nicht gelesen"]])
    write_csv(os.path.join(out, "latin1.csv"), [[7, "Jürgen Groß"], [8, "Zoë, die Schnelle"]],
              separator=",", encoding="cp1252")

    # Seed corpora for the fuzz targets: one folder per format.
    if "--by-format" in sys.argv[2:]:
        for name in os.listdir(out):
            extension = name.rsplit(".", 1)[-1]
            if "." in name and extension in ("xls", "xlsx", "ods", "csv"):
                os.makedirs(os.path.join(out, extension), exist_ok=True)
                os.replace(os.path.join(out, name), os.path.join(out, extension, name))


if __name__ == "__main__":
    main()
