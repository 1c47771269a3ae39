#!/usr/bin/env python3
"""Writes the damaged and hostile files of fuzz/ from the sample files beside this script.

sample.xlsx is the libxlsxwriter workbook the tests also make; sample.xls and sample.ods are
LibreOffice's conversions of it (soffice --headless --convert-to xls|ods sample.xlsx); a
headless conversion writes no view settings, so sample.ods's settings.xml was given the
Views entry with ActiveTable "목표" that a desktop save writes.
kinds.xls is LibreOffice's conversion of a libxlsxwriter workbook of booleans, formulas
(=NA(), =A2*2, ="목"&"표", =1/0, their cached results as LibreOffice keeps them), a
date-time, a time, a Korean date format and serial 60.
many-strings.xls is LibreOffice's conversion of a libxlsxwriter workbook of 600 rows with
two unique texts each, so that its shared strings run on over CONTINUE records.
encrypted.ods was saved by LibreOffice with a password; encrypted.xls is sample.xls with a
FILEPASS record in place of the record after the workbook's BOF; encrypted.xlsx is an OLE2
container holding EncryptionInfo and EncryptedPackage streams, as an encrypted workbook is.
"""
import os
import random
import subprocess
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
fuzz = os.path.join(here, "fuzz")


def sample(name):
    with open(os.path.join(here, name), "rb") as f:
        return f.read()


def write(name, data):
    with open(os.path.join(fuzz, name), "wb") as f:
        f.write(data)


def write_zip(name, parts):
    with zipfile.ZipFile(os.path.join(fuzz, name), "w", zipfile.ZIP_DEFLATED) as z:
        for part, text in parts:
            z.writestr(part, text)


def xlsx_parts(sheet, shared=None):
    ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rns = 'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    parts = [
        ("_rels/.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
         f'<Relationship Id="rId1" Type="{rel}/officeDocument" Target="xl/workbook.xml"/></Relationships>'),
        ("xl/workbook.xml", f'<workbook {ns} {rns}><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>'),
        ("xl/_rels/workbook.xml.rels", '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
         f'<Relationship Id="rId1" Type="{rel}/worksheet" Target="worksheets/sheet1.xml"/>'
         + (f'<Relationship Id="rId2" Type="{rel}/sharedStrings" Target="sharedStrings.xml"/>'
            if shared is not None else '') + '</Relationships>'),
        ("xl/worksheets/sheet1.xml", sheet),
    ]
    if shared is not None:
        parts.append(("xl/sharedStrings.xml", shared))
    return parts


def ods_parts(rows):
    content = ('<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
               'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
               'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>'
               '<table:table table:name="T"><table:table-column table:number-columns-repeated="1024"/>'
               + rows + '</table:table></office:spreadsheet></office:body></office:document-content>')
    return [("mimetype", "application/vnd.oasis.opendocument.spreadsheet"), ("content.xml", content)]


def cell(text):
    return f'<table:table-cell office:value-type="string"><text:p>{text}</text:p></table:table-cell>'


os.makedirs(fuzz, exist_ok=True)
write("empty.xlsx", b"")
write("truncated.xlsx", sample("sample.xlsx")[:3000])
write("truncated.xls", sample("sample.xls")[:4000])
write("truncated.ods", sample("sample.ods")[:12000])
write("random.xls", random.Random(949).randbytes(4096))
write("text.xlsx", "업장코드,목표금액\n3001,1500000\n".encode("utf-8"))
write("really-xlsx.xls", sample("sample.xlsx"))
write_zip("no-workbook.xlsx", [("readme.txt", "not a workbook")])
write_zip("text-document.ods", [("mimetype", "application/vnd.oasis.opendocument.text"),
                                 ("content.xml", "<office:document-content/>")])
write_zip("no-sheets.xlsx", xlsx_parts("<worksheet/>")[:1] + [
    ("xl/workbook.xml", '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheets/></workbook>')])
write_zip("doctype.xlsx", xlsx_parts(
    '<?xml version="1.0"?><!DOCTYPE lolz [<!ENTITY lol "lol"><!ENTITY lol2 "&lol;&lol;&lol;&lol;">]>'
    '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
    '<row r="1"><c r="A1" t="inlineStr"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>'))
write_zip("bad-shared-index.xlsx", xlsx_parts(
    '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
    '<row r="1"><c r="A1" t="s"><v>99</v></c></row></sheetData></worksheet>',
    '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>one</t></si></sst>'))
write_zip("column-past-xfd.xlsx", xlsx_parts(
    '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
    '<row r="1"><c r="XFE1"><v>1</v></c></row></sheetData></worksheet>'))
write_zip("row-past-limit.xlsx", xlsx_parts(
    '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
    '<row r="1048577"><c><v>1</v></c></row></sheetData></worksheet>'))
write_zip("bad-xml.xlsx", xlsx_parts(
    '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>'
    '<row r="1"><c r="A1"><v>1</v></c></row><row r="2"><c r="A2"><v>2</c></row></sheetData></worksheet>'))
# Lengths FreeXL would trust: a FORMAT string of 65535 characters in a record of 27 bytes,
# and a directory name of 65535 bytes in a field of 64.
kinds = bytearray(sample("kinds.xls"))
at = kinds.index(b"\x1e\x04\x1b\x00\xa6\x00")  # the FORMAT record of format 166
kinds[at + 6:at + 8] = b"\xff\xff"
write("long-format.xls", bytes(kinds))
xls = bytearray(sample("sample.xls"))
at = xls.rindex("Root Entry".encode("utf-16-le"))  # the directory in use; a stale copy comes first
xls[at + 0x40:at + 0x42] = b"\xff\xff"
write("long-directory-name.xls", bytes(xls))
# Shared strings that claim more strings than their records carry.
many = bytearray(sample("many-strings.xls"))
at = many.index(b"\xfc\x00\x20\x20")  # the SST record, 8224 bytes long
unique = int.from_bytes(many[at + 8:at + 12], "little")
many[at + 8:at + 12] = (unique + 100).to_bytes(4, "little")
write("short-shared-strings.xls", bytes(many))
# A million empty rows after the data: neither a million turns of a loop nor used rows.
write_zip("repeated-rows.ods", ods_parts(
    '<table:table-row>' + cell("a") + '</table:table-row>'
    '<table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>'
    '<table:table-row>' + cell("b") + cell("c") + '</table:table-row>'
    '<table:table-row table:number-rows-repeated="1000000"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>'))
# A value repeated across every column of 200,000 rows: counting must not visit each cell.
write_zip("repeated-wide.ods", ods_parts(
    '<table:table-row table:number-rows-repeated="200000"><table:table-cell table:number-columns-repeated="16384" '
    'office:value-type="float" office:value="1"><text:p>1</text:p></table:table-cell></table:table-row>'))
# A row with a value repeated past the last row a sheet has.
write_zip("repeated-data.ods", ods_parts(
    '<table:table-row table:number-rows-repeated="2000000">' + cell("x") + '</table:table-row>'))
write_zip("empty-sheet.xlsx", xlsx_parts(
    '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData/></worksheet>'))
# An entry name longer than any buffer a reader would keep for names.
with zipfile.ZipFile(os.path.join(here, "sample.xlsx")) as z:
    parts = [(i.filename, z.read(i.filename)) for i in z.infolist()]
write_zip("long-entry-name.xlsx", parts + [("n" * 3000, "a long name")])
# Zip entries encrypted with a password.
tmp = os.path.join(fuzz, "zip-password.xlsx")
if os.path.exists(tmp):
    os.remove(tmp)
src = os.path.join(here, "sample.xlsx")
unpacked = os.path.join(fuzz, "_unpacked")
subprocess.run(["rm", "-rf", unpacked], check=True)
subprocess.run(["unzip", "-q", src, "-d", unpacked], check=True)
subprocess.run(["zip", "-q", "-r", "-P", "secret", os.path.abspath(tmp), "."], cwd=unpacked, check=True)
subprocess.run(["rm", "-rf", unpacked], check=True)
