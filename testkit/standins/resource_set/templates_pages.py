"""Templates of the property pages (900-903, the device sheet's 31108) and of the dialogs the
layout page opens (binding margin 2960, watermark list 2900): the control ids and kinds the pages'
code names, laid out like a driver's pages."""

from layout import Control as C, Row, Col, Group, Stack, Space, Dialog, At


def ok_cancel(*more, ok=1, cancel=2):
    return Row(Space(), C("default", ok, "OK"), C("button", cancel, "Cancel"), *more)


def ink_meters():
    """Ink display of the main page: one meter per ink position (25000 + i, texts 1989 + i), and
    the two-meter display (2017-2022) and the no-level texts (2058, 2059) at the same place."""
    inks = ["BK", "C", "M", "Y", "LC", "LM", "DY", "GY"]
    per_ink = Row(*[Col(C("inkmeter", 25000 + i, w=13, h=44), C("clabel", 1989 + i, inks[i], w=13), gap=1)
                    for i in range(8)], gap=1)
    two = Row(Col(C("frame", 2017, w=44, h=44, hidden=True),
                  C("clabel", 2021, "Black", w=44, hidden=True), gap=1),
              Col(C("frame", 2018, w=60, h=44, hidden=True),
                  C("clabel", 2022, "Colour", w=60, hidden=True), gap=1), gap=4)
    two_meters = Stack(two, Row(Space(6), C("inkmeter", 2019, w=32, h=40, hidden=True), Space(18),
                                C("inkmeter", 2020, w=48, h=40, hidden=True)))
    texts = Col(C("text", 2058, "Ink levels are not available.", w=116, hidden=True),
                C("text", 2059, "", w=116, h=28, hidden=True))
    spare = Row(*[C("text", cid, "", w=4, hidden=True) for cid in (2042, 2043, 2044, 2045, 2046, 2057,
                                                                   2023, 2024, 2025, 2026)], gap=0)
    return Group(2014, "Ink Levels", Stack(per_ink, two_meters, texts, spare), width=128)


def main_page():
    mode = Group(2010, "Print Mode", Col(
        Row(C("radio1", 2032, "Preset"), Stack(C("radio", 2030, "Quality Slider"),
                                                C("radio", 2033, "Quality Slider", hidden=True)),
            C("radio", 2031, "Custom")),
        Stack(C("odcombo", 2003, w=146),
              Col(C("trackbar", 2002, w=146, h=16, hidden=True),
                  Row(C("label", 2008, "Speed", w=60, hidden=True),
                      C("rlabel", 2009, "Quality", w=82, hidden=True)), gap=0)),
        gap=4), width=160)
    settings = Col(
        Row(C("label", 2006, "Media Type:", w=50), C("odcombo", 2004, w=102)),
        Row(C("label", 2047, "Print Quality:", w=50), C("combo", 2055, w=102)),
        Row(C("label", 8107, "Mode:", w=50), C("odcombo", 8108, w=102)),
        Row(C("label", 8112, "Tone:", w=50), C("odcombo", 8113, w=102)),
        Row(C("label", 2007, "Ink:", w=50), C("radio1", 2040, "Colour"), C("radio", 2041, "Black")),
        gap=4)
    options = Col(C("check", 2053, "High Speed"), C("check", 2056, "Finest Detail"),
                  C("check", 2012, "Photo Enhance"), C("check", 2015, "Print Preview"),
                  C("check", 2038, "Quiet Mode"), gap=2)
    left = Col(mode, settings,
               Row(options, Col(C("picture", 2005, w=56, h=40), C("text", 2011, "", w=56), gap=2), gap=10),
               Row(C("button", 2001, "Advanced...", w=60), C("button", 2048, "Support", w=50)), gap=6)
    right = Col(C("preview", 2016, w=128, h=96), ink_meters(),
                C("text", 2013, "Version 5.00", w=128), gap=6)
    return Dialog(900, "Main", Row(left, right, gap=8, align="top"), page=True)


def paper_page():
    left = Col(
        Row(C("label", 2213, "Paper Source:", w=52), C("odcombo", 2202, w=110)),
        Row(C("label", 2215, "Paper Size:", w=52), C("odcombo", 2201, w=110)),
        C("check", 2233, "Use the paired feed"),
        Group(2217, "Orientation", Row(C("radio1", 2203, "Portrait"), C("radio", 2204, "Landscape"),
                                       C("check", 2205, "Rotate by 180\xb0")), width=166),
        Group(2216, "Margins", Col(Row(C("radio1", 2206, "Standard"), C("radio", 2207, "Maximum")),
                                   Row(C("check", 2208, "Borderless"), C("check", 2248, "Centred")), gap=3),
              width=166),
        Group(2218, "Copies", Row(Col(Row(C("edit", 2222, "1", w=28), C("spin", 2223), gap=1),
                                      C("check", 2219, "Collate"), C("check", 2220, "Reverse Order"), gap=3),
                                  C("picture", 2221, w=56, h=36), gap=12), width=166),
        gap=5)
    # The roll-paper group takes the paper-option group's place (roll options on a roll source)
    # while the option, cut and feed controls stay shown: one frame size holds them all, the
    # banner/roll radios and the auto-cut check below the shared rows.
    option_rows = Col(
        Row(C("label", 2246, "Option:", w=28), C("odcombo", 2247, w=72)),
        Row(C("label", 2236, "Cut:", w=28), C("odcombo", 2237, w=72)),
        Row(Space(28), C("odcombo", 2254, w=72)),
        Row(C("button", 2239, "Feed...", w=48), C("button", 2260, "Level...", w=48)),
        Row(C("radio1", 2225, "Banner", hidden=True), C("radio", 2226, "Roll", hidden=True)),
        C("check", 2231, "Auto Cut", hidden=True), gap=3)
    paper_options = Group(2212, "Paper Options", option_rows, width=112)
    # On a roll source the roll-width group takes the place of the margins; the save-roll and
    # page-line checks (one or the other) sit under the paper-option buttons, clear of both groups.
    roll_width = Group(2224, "Roll Width", Row(Col(C("check", 2229, "Fit Roll Width", hidden=True),
                                                   C("check", 2230, "Roll Margin", hidden=True), gap=3),
                                               C("button", 2238, "Width...", w=48, hidden=True), gap=8),
                       width=166, hidden=True)
    left.items[4] = Stack(left.items[4], roll_width)
    roll_checks = Stack(C("check", 2227, "Save Roll Paper", hidden=True),
                        C("check", 2228, "Print Page Line", hidden=True))
    roll_options = Group(2232, "Roll Paper Options", Space(*option_rows.measure()), width=112, hidden=True)
    options_area = Col(Stack(paper_options, roll_options), roll_checks, gap=3)
    right = Col(C("preview", 2209, w=112, h=86), options_area,
                C("text", 2210, "Version 5.00", w=112), C("text", 2211, "", w=112, h=4), gap=5)
    return Dialog(901, "Paper", Row(left, right, gap=8, align="top"), page=True)


def layout_page():
    scaling = Group(2403, "Scaling", Col(
        Row(C("radio1", 2417, "Normal Size"), C("check", 2431, "Scaled Printing")),
        Row(C("radio1", 2418, "Fit to Output Paper"), C("radio", 2419, "Scale")),
        Row(C("label", 2404, "Output Paper:", w=52), C("odcombo", 2405, w=100)),
        Row(C("label", 2408, "Scale:", w=52), C("edit", 2406, "100", w=26), C("spin", 2407),
            C("label", 2420, "%  (10 - 650)", w=56), gap=1),
        gap=3), width=166)
    multi = Group(2412, "Multi-Page", Col(
        C("check", 2436, "Multi-Page"),
        Row(C("radio1", 2425, "Pages per Sheet"), C("radio1", 2410, "2"), C("radio", 2411, "4")),
        Row(C("radio1", 2426, "Poster"), C("radio1", 2446, "2x1"), C("radio", 2447, "2x2"),
            C("radio", 2448, "3x3"), C("radio", 2449, "4x4"), gap=2),
        Row(C("check", 2415, "Print Frame"), C("button", 2413, "Order...", w=40),
            C("button", 2423, "Panels...", w=40), gap=3),
        gap=3), width=166)
    duplex = Group(2432, "Duplex", Col(Row(C("check", 2433, "Duplex"), C("check", 2435, "Booklet")),
                                       Row(C("button", 2434, "Binding Margin...", w=72),
                                           C("check", 2440, "Skip Blank Pages")), gap=3), width=166)
    right = Col(C("preview", 2401, w=104, h=86), C("picture", 2402, w=104, h=30),
                Group(2421, "Watermark", Col(C("odcombo", 2422, w=92),
                                             Row(C("button", 2409, "List...", w=44), C("button", 2414, "Edit...", w=44)),
                                             gap=3), width=104),
                C("text", 2430, "Version 5.00", w=104), gap=5)
    extra = [At(0, 0, C("hiddenlist", 2808)), At(0, 0, C("text", 2416, "", w=4, h=4, hidden=True))]
    return Dialog(902, "Layout", Row(Col(scaling, multi, duplex, gap=5), right, gap=8, align="top"),
                  page=True, extra=extra)


UTILITY_BUTTONS = [
    (2310, "Status Monitor", "Shows the printer's status", "and its ink levels."),
    (2313, "Nozzle Check", "Prints a pattern to check", "the print head nozzles."),
    (2311, "Head Cleaning", "Cleans the print head", "when the print is faint."),
    (2312, "Print Head Alignment", "Aligns the print head", "for sharp prints."),
    (2314, "Printer Adjustment", "Adjustment values of", "the printer."),
    (2315, "Paper Feed Adjustment", "Adjusts the paper feed", "for banding."),
    (2316, "Printer Settings", "Panel settings of", "the printer."),
    (2317, "Custom Program", "Starts the program", "your administrator chose."),
]


def utility_page():
    def item(bid, title, line1, line2):
        k = bid - 2310
        # The description is one control (2320 + k), enabled and disabled with its button; the
        # label 2340 + k under it stays empty.
        return Row(C("picture", bid, w=30, h=26),
                   Col(C("label", 2300 + k, title, w=92), C("text", 2320 + k, line1 + " " + line2, w=92, h=16),
                       C("label", 2340 + k, "", w=92, h=2), gap=0), gap=4)
    items = [item(*b) for b in sorted(UTILITY_BUTTONS)]
    grid = Row(Col(*items[:4], gap=10), Col(*items[4:], gap=10), gap=12, align="top")
    bottom = Row(C("text", 2331, "Version 5.00", w=120), Space(40), C("button", 2332, "Options...", w=60))
    return Dialog(903, "Utility", Col(C("label", 2330, "Maintenance and tools of the printer:", w=240),
                                      grid, Space(0, 6), bottom, gap=8), page=True)


def binding_margin_dialog():
    edges = Row(*[Col(C("picture", pid, w=40, h=32), C("radio1" if i == 0 else "radio", rid, text), gap=2)
                  for i, (pid, rid, text) in enumerate([(2972, 2963, "Left"), (2973, 2964, "Top"),
                                                         (2974, 2965, "Right")])], gap=14)
    margin = Col(Row(C("edit", 2966, "0", w=34), C("spin", 2967), Space(2), C("label", 2968, "[   0 ...  300]", w=66),
                     gap=1),
                 Row(C("label", 2969, "Unit:", w=24), C("radio1", 2970, "0.1 mm"), C("radio", 2971, "1/100 inch")),
                 gap=4)
    body = Col(Group(2962, "Binding Edge", edges, width=176), Group(2961, "Binding Margin", margin, width=176),
               ok_cancel(C("button", 2975, "Help")), gap=6)
    return Dialog(2960, "Binding Margin", body)


def version_page():
    body = Col(C("text", 31101, "", w=200, hidden=True), Space(0, 10),
               C("label", 31105, "Version 5.00", w=220), gap=4)
    return Dialog(31108, "Version", body, page=True, width=252, height=218)


# ---- watermark list (2900) ------------------------------------------------------------------------

def watermark_list_dialog():
    names = Col(C("label", 2905, "User watermarks:", w=100), C("list", 2901, w=110, h=112), gap=2)
    kind = Row(C("radio1", 2868, "Text"), C("radio", 2869, "Picture"), gap=10)
    content_label = Stack(C("label", 2911, "Text:", w=150), C("label", 2907, "Picture file:", w=150, hidden=True))
    detail = Group(2927, "Watermark", Col(
        kind,
        C("label", 2906, "Name:", w=150), C("edit", 2902, "", w=170),
        content_label,
        Row(C("edit", 2903, "", w=116), C("button", 2904, "Browse...", disabled=True), gap=4),
        Space(0, 4),
        Row(Space(), C("button", 2908, "Add / Replace", w=60, disabled=True),
            C("button", 2910, "Delete", disabled=True), gap=4),
        gap=3), width=184)
    body = Col(Row(names, detail, gap=8, align="top"),
               Row(Space(), C("button", 2909, "Save"), C("default", 1, "OK"), C("button", 2, "Cancel"),
                       C("button", 2928, "Help")), gap=6)
    return Dialog(2900, "Watermarks", body)


def templates():
    return [main_page(), paper_page(), layout_page(), utility_page(), version_page(),
            binding_margin_dialog(), watermark_list_dialog()]
