#!/usr/bin/python3
"""Reads an .xls file with xlrd and prints what a reader sees in it as JSON: every sheet's cells
with their type, value and format (alignment, number format, borders), the column widths, and
whatever xlrd had to complain about while reading (a sound file gives no complaint)."""
import io
import json
import sys

import xlrd


def format_of(book, xf_index):
    xf = book.xf_list[xf_index]
    border = xf.border
    return {
        "h": xf.alignment.hor_align,
        "v": xf.alignment.vert_align,
        "format": book.format_map[xf.format_key].format_str,
        "lines": [border.left_line_style, border.right_line_style,
                  border.top_line_style, border.bottom_line_style],
        "colours": [border.left_colour_index, border.right_colour_index,
                    border.top_colour_index, border.bottom_colour_index],
    }


def main(path):
    complaints = io.StringIO()
    book = xlrd.open_workbook(path, formatting_info=True, logfile=complaints, verbosity=0,
                              on_demand=False, ragged_rows=True)
    kinds = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
             xlrd.XL_CELL_BLANK: "blank"}
    formats = {}
    sheets = []
    for sheet in book.sheets():
        cells = []
        for r in range(sheet.nrows):
            for c in range(sheet.row_len(r)):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                if cell.xf_index not in formats:
                    formats[cell.xf_index] = format_of(book, cell.xf_index)
                cells.append([r, c, kinds.get(cell.ctype, str(cell.ctype)), cell.value,
                              cell.xf_index])
        widths = {str(c): info.width for c, info in sheet.colinfo_map.items()}
        sheets.append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                       "selected": bool(sheet.sheet_selected), "widths": widths,
                       "cells": cells})
    json.dump({"biff": book.biff_version, "codepage": book.codepage, "sheets": sheets,
               "formats": {str(k): v for k, v in formats.items()},
               "complaints": complaints.getvalue()}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])
