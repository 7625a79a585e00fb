#!/usr/bin/python3
"""Reads a spreadsheet file with an independent reader (openpyxl for .xlsx, odfpy for .ods) and
prints, as JSON, its sheet name, properties, frozen rows, header boldness, column widths and
every cell as [type, value]: "n" number (Python's repr), "s" text, "d" date and time (ISO), "t"
time of day, "b" boolean, "e" empty."""
import json
import sys


def read_xlsx(path):
    import openpyxl

    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    out = {
        "sheets": len(book.worksheets),
        "sheet": sheet.title,
        "title": book.properties.title,
        "subject": book.properties.subject,
        "comments": book.properties.description,
        "frozen": sheet.freeze_panes,
        "bold": [bool(c.font and c.font.b) for c in sheet[1]],
        "widths": [],
        "formats": [],
        "rows": [],
    }
    columns = sheet.max_column
    for index in range(1, columns + 1):
        letter = openpyxl.utils.get_column_letter(index)
        out["widths"].append(sheet.column_dimensions[letter].width)
    import datetime

    for row in sheet.iter_rows(min_row=1, max_row=sheet.max_row, max_col=columns):
        cells, formats = [], []
        for cell in row:
            v = cell.value
            if v is None:
                cells.append(["e", None])
            elif isinstance(v, bool):
                cells.append(["b", v])
            elif isinstance(v, datetime.datetime):
                cells.append(["d", v.isoformat()])
            elif isinstance(v, datetime.time):
                cells.append(["t", v.isoformat()])
            elif isinstance(v, (int, float)):
                cells.append(["n", repr(v)])
            else:
                cells.append(["s", v])
            formats.append(cell.number_format)
        out["rows"].append(cells)
        out["formats"].append(formats)
    # The serials of date cells as the file stores them, for readers that truncate to the second.
    import re
    import zipfile

    xml = zipfile.ZipFile(path).read("xl/worksheets/sheet1.xml").decode("utf-8")
    out["raw"] = {}
    for row_index, row in enumerate(out["rows"]):
        for column_index, cell in enumerate(row):
            if cell[0] in ("d", "t"):
                name = openpyxl.utils.get_column_letter(column_index + 1) + str(row_index + 1)
                found = re.search(r'<c r="' + name + r'"[^>]*><v>([^<]*)</v>', xml)
                out["raw"][name] = found.group(1) if found else None
    return out


def ods_text(node):
    from odf.namespaces import TEXTNS

    parts = []
    for child in node.childNodes:
        if child.nodeType == child.TEXT_NODE:
            parts.append(str(child.data))
        elif child.qname == (TEXTNS, "s"):
            parts.append(" " * int(child.getAttrNS(TEXTNS, "c") or 1))
        elif child.qname == (TEXTNS, "tab"):
            parts.append("\t")
        elif child.qname == (TEXTNS, "line-break"):
            parts.append("\n")
        else:
            parts.append(ods_text(child))
    return "".join(parts)


def read_ods(path):
    from odf import dc, opendocument, table, text
    from odf.namespaces import OFFICENS, STYLENS, TABLENS, FONS

    doc = opendocument.load(path)
    sheets = doc.spreadsheet.getElementsByType(table.Table)
    sheet = sheets[0]
    titles = doc.meta.getElementsByType(dc.Title)
    subjects = doc.meta.getElementsByType(dc.Subject)
    descriptions = doc.meta.getElementsByType(dc.Description)
    styles = {}
    for style in doc.automaticstyles.childNodes:
        name = style.getAttrNS(STYLENS, "name")
        styles[name] = style
    out = {
        "sheets": len(sheets),
        "sheet": sheet.getAttrNS(TABLENS, "name"),
        "title": ods_text(titles[0]) if titles else None,
        "subject": ods_text(subjects[0]) if subjects else None,
        "comments": ods_text(descriptions[0]) if descriptions else None,
        "widths": [],
        "bold": [],
        "rows": [],
    }
    for column in sheet.getElementsByType(table.TableColumn):
        style = styles.get(column.getAttrNS(TABLENS, "style-name"))
        width = None
        if style is not None:
            for props in style.childNodes:
                width = props.getAttrNS(STYLENS, "column-width") or width
        out["widths"].append(width)
    for index, row in enumerate(sheet.getElementsByType(table.TableRow)):
        cells = []
        for cell in row.getElementsByType(table.TableCell):
            repeat = int(cell.getAttrNS(TABLENS, "number-columns-repeated") or 1)
            kind = cell.getAttrNS(OFFICENS, "value-type")
            if kind == "float":
                value = ["n", repr(float(cell.getAttrNS(OFFICENS, "value")))]
            elif kind == "date":
                value = ["d", cell.getAttrNS(OFFICENS, "date-value")]
            elif kind == "time":
                value = ["t", cell.getAttrNS(OFFICENS, "time-value")]
            elif kind == "boolean":
                value = ["b", cell.getAttrNS(OFFICENS, "boolean-value") == "true"]
            elif kind == "string":
                value = ["s", "\n".join(ods_text(p) for p in cell.getElementsByType(text.P))]
            else:
                value = ["e", None]
            cells.extend([value] * repeat)
            if index == 0:
                style = styles.get(cell.getAttrNS(TABLENS, "style-name"))
                bold = False
                if style is not None:
                    for props in style.childNodes:
                        bold = bold or props.getAttrNS(FONS, "font-weight") == "bold"
                out["bold"].append(bold)
        out["rows"].append(cells)
    # The frozen rows, as the view settings keep them.
    import zipfile
    import xml.etree.ElementTree as ET

    config = "{urn:oasis:names:tc:opendocument:xmlns:config:1.0}"
    tree = ET.fromstring(zipfile.ZipFile(path).read("settings.xml"))
    frozen = {}
    for item in tree.iter(config + "config-item"):
        frozen[item.get(config + "name")] = item.text
    out["frozen"] = frozen.get("VerticalSplitMode") == "2" and frozen.get("VerticalSplitPosition") or None
    # Each entry's CRC and the mimetype first and stored, as the format asks.
    archive = zipfile.ZipFile(path)
    out["zip_ok"] = archive.testzip() is None
    first = archive.infolist()[0]
    out["mimetype_first"] = first.filename == "mimetype" and first.compress_type == zipfile.ZIP_STORED
    return out


def main():
    path = sys.argv[1]
    result = read_xlsx(path) if path.lower().endswith(".xlsx") else read_ods(path)
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
