#!/usr/bin/env python3
"""Writes the stand-in resource library's .rc, its pictures and the test kit's list of template
controls from the resource set's tables.

    make_resources.py --language english|german --out DIR [--check]

DIR receives resource_library.rc (code page 1252), the pictures it names and
resource_templates.inc ({template, control id, window class} rows for the tests). --check only
verifies the templates (ids once, inside the template, no overlaps) and exits non-zero on a fault.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # nothing is written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import pictures as P  # noqa: E402
import pictures_folders  # noqa: E402
import pictures_poster  # noqa: E402
import strings  # noqa: E402
import templates_pages  # noqa: E402
import templates_settings  # noqa: E402
import templates_watermark_edit  # noqa: E402
from layout import check_dialog, emit_dialog, rc_quote  # noqa: E402

FONT = "MS Shell Dlg"
strings.ENGLISH.update(templates_watermark_edit.STRINGS)


def all_templates():
    return templates_pages.templates() + templates_settings.templates() + templates_watermark_edit.templates()


def bitmaps():
    """id -> (file name, bytes, note)."""
    out = {}

    def add(bid, data, note=""):
        if bid in out:
            raise ValueError("bitmap %d twice" % bid)
        out[bid] = ("bmp%d.bmp" % bid, data, note)

    # Main page: colour and mode pictures, preset pictures.
    # The custom and kind-0 mode pictures are 8-bit pictures with their own colour tables.
    for pid in [7415, 7416]:
        add(pid, P.bmp24(P.mode_picture(pid)))
    for pid in range(7420, 7432):
        add(pid, P.bmp8(P.mode_picture(pid)))
    for pid in range(1000, 1130):
        add(pid, P.bmp24(P.tone_overlay() if pid == 1099 else P.mode_picture(pid)))
    # Paper page order pictures, the scale sign of the preview, the layout page's picture.
    for pid, (collated, reverse) in zip(range(7500, 7504), [(0, 1), (0, 0), (1, 1), (1, 0)]):
        add(pid, P.bmp24(P.order_picture(collated, reverse)))
    scale = P.Canvas(12, 8, P.WHITE)
    scale.line(1, 4, 10, 4, P.DARK)
    scale.line(1, 4, 3, 2, P.DARK)
    scale.line(1, 4, 3, 6, P.DARK)
    scale.line(10, 4, 8, 2, P.DARK)
    scale.line(10, 4, 8, 6, P.DARK)
    add(7504, P.bmp24(scale))
    layout = P.Canvas(100, 28, P.KEY)
    for i in range(4):
        x = 6 + i * 24
        layout.sheet(x, 2, x + 18, 25, fold=False)
        layout.photo(x + 3, 5, x + 15, 14, hue=i)
    add(7300, P.bmp24(layout))
    # Utility buttons, binding edges, advanced dialog pictures, render methods.
    for k in range(8):
        add(7600 + k, P.bmp24(P.utility_picture(k)))
    for k in range(3):
        add(7804 + k, P.bmp24(P.binding_picture(k)))
    for pid in list(range(7401, 7415)) + list(range(7417, 7420)) + [7432, 7433]:
        add(pid, P.bmp24(P.picture_tile(40, 30, pid)))
    for pid in range(1350, 1354):
        add(pid, P.bmp24(P.picture_tile(40, 30, pid)))
    # Page order, level slider, toning circle.
    for k in range(3):
        add(7700 + k, P.bmp24(P.pages_picture(2, k)))
        add(7703 + k, P.bmp24(P.pages_picture(2, k, enabled=False)))
    for k in range(4):
        add(7710 + k, P.bmp24(P.pages_picture(4, k)))
        add(7720 + k, P.bmp24(P.pages_picture(4, k)))
    add(2289, P.bmp24(P.level_picture(0)))
    add(2291, P.bmp24(P.level_picture(2)))
    add(8549, P.bmp24(P.toning_circle()))
    # Layout preview: 256-colour paper pictures and orientation marks.
    for pid in (9500, 9600, 9700, 9800):
        add(pid, P.bmp8(P.paper_picture(pid)))
    for base in (9501, 9506, 9511, 9516):
        for step in (0, 100, 200, 300):
            add(base + step, P.bmp8(P.orientation_mark(base + step)))
    # Ink meter warnings: four sizes, each with its mask (id + 2).
    for base in (15000, 15001):
        for n, size in enumerate((32, 24, 16, 12)):
            add(base + 4 * n, P.bmp24(P.warning_picture(base, size, mask=False)))
            add(base + 4 * n + 2, P.bmp24(P.warning_picture(base, size, mask=True)))
    # Sample pictures: the corrected sample (24-bit), the monochrome sample (24-bit), and an
    # 8-bit picture the corrected sample must refuse.
    add(7803, P.bmp24(P.sample_photo(120, 90)))
    add(8548, P.bmp24(grey_sample()))
    add(7802, P.bmp8(quantised_sample()))
    for bid, canvas in pictures_folders.pictures().items():
        add(bid, P.bmp24(canvas))
    [add(bid, P.bmp24(canvas)) for bid, canvas in pictures_poster.pictures().items()]
    [add(bid, data) for bid, data in templates_watermark_edit.bitmaps(P).items()]
    return out


def grey_sample():
    """The monochrome sample: the sample photo as grey levels, which the toning engine tints."""
    cv = P.sample_photo(120, 90)
    cv.px = [[(g, g, g) for g in ((r * 30 + gr * 59 + b * 11) // 100 for r, gr, b in row)] for row in cv.px]
    return cv


def quantised_sample():
    cv = P.sample_photo(60, 45)
    cv.px = [[tuple((v // 43) * 51 for v in c) for c in row] for row in cv.px]
    return cv


def write_rc(language, out_dir, source_dir):
    table = strings.strings_for(language)
    lines = ["// Generated by testkit/standins/resource_set/make_resources.py: do not edit.",
             "#pragma code_page(1252)",
             "#include <windows.h>", ""]
    for d in all_templates():
        lines.append(emit_dialog(d, FONT))
        lines.append("")
    lines.append("STRINGTABLE")
    lines.append("BEGIN")
    for sid in sorted(table):
        text = table[sid].replace("\\", "\\\\").replace("\x00", "\\0").replace("\n", "\\n")
        lines.append('  %d "%s"' % (sid, text.replace('"', '""')))
    lines.append("END")
    lines.append("")
    for bid, (name, data, _) in sorted(bitmaps().items()):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        lines.append("%d BITMAP \"%s\"" % (bid, name))
    for k in range(4):
        name = "icon%d.ico" % (7200 + k)
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(P.ico([P.icon_canvas(k, 32), P.icon_canvas(k, 16)]))
        lines.append("%d ICON \"%s\"" % (7200 + k, name))
    with open(os.path.join(out_dir, "cursor8605.cur"), "wb") as f:
        f.write(P.cur_crosshair())
    lines.append("8605 CURSOR \"cursor8605.cur\"")
    lines += templates_watermark_edit.cursor_lines(out_dir)
    # The built-in watermark bitmaps (type 16000) of the model data.
    res = os.path.join(source_dir, "..", "resources").replace("\\", "/")
    for rid, name in ((16001, "wm_core_200x100.bmp"), (16002, "wm_info_300x100.bmp"),
                      (16003, "wm_topdown_100x50.bmp")):
        lines.append("%d 16000 \"%s/%s\"" % (rid, os.path.abspath(res).replace("\\", "/"), name))
    block = "040704E4" if language == "german" else "040904E4"
    lang = "0x0407" if language == "german" else "0x0409"
    lines += ["", "1 VERSIONINFO", "FILEVERSION 1, 0, 0, 0", "PRODUCTVERSION 1, 0, 0, 0", "FILETYPE VFT_DLL",
              "BEGIN", "  BLOCK \"StringFileInfo\"", "  BEGIN", "    BLOCK \"%s\"" % block, "    BEGIN",
              "      VALUE \"FileDescription\", \"Test kit resource library\"", "    END", "  END",
              "  BLOCK \"VarFileInfo\"", "  BEGIN", "    VALUE \"Translation\", %s, 1252" % lang, "  END", "END", ""]
    with open(os.path.join(out_dir, "resource_library.rc"), "w", encoding="cp1252") as f:
        f.write("\n".join(lines))


def write_control_list(out_dir):
    rows = []
    for d in all_templates():
        rows.append("{%d, 0, nullptr}," % d.id)
        for c in d.controls():
            if c.id not in (-1, None):
                rows.append("{%d, %d, \"%s\"}," % (d.id, c.id, c.cls))
    with open(os.path.join(out_dir, "resource_templates.inc"), "w") as f:
        f.write("// Generated by make_resources.py: {template, control id, window class}; a row with\n"
                "// control id 0 opens a template.\n")
        f.write("\n".join(rows) + "\n")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--language", choices=["english", "german"], default="english")
    ap.add_argument("--out")
    ap.add_argument("--check", action="store_true")
    args = ap.parse_args()
    problems = [p for d in all_templates() for p in check_dialog(d)]
    ids = [d.id for d in all_templates()]
    if len(ids) != len(set(ids)):
        problems.append("a template id stands twice")
    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1
    if args.check:
        return 0
    os.makedirs(args.out, exist_ok=True)
    write_rc(args.language, args.out, os.path.dirname(os.path.abspath(__file__)))
    write_control_list(args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
