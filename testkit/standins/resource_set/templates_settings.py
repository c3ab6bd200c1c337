"""Templates of the settings dialogs opened from the pages: the control ids and kinds their code
names, laid out like a driver's dialogs. To add a template, add a function returning its Dialog
and list it in templates()."""

from layout import Control as C, Row, Col, Group, Stack, Space, Dialog, At


def buttons(*items):
    return Row(Space(), *items)


def ok_cancel(*more, ok=1, cancel=2):
    return buttons(C("default", ok, "OK"), C("button", cancel, "Cancel"), *more)


def labelled(cid, text, control, width=54):
    return Row(C("label", cid, text, w=width), control)


# ---- advanced settings (2100) ----------------------------------------------------------------------

def adjust_row(i, name, label_id, track_id, edit_id, sign_id):
    return Row(C("label", label_id, name, w=44), C("trackbar", track_id, w=108, h=16),
               C("edit", edit_id, "0", w=20), C("sign", sign_id), gap=3)


def advanced_dialog():
    media = Group(None, "Media", Col(
        # Labels wide enough for their texts on one line (a static wraps at the space).
        Row(C("picture", 2131, w=22, h=16), C("label", 2124, "Media Type:", w=54), C("odcombo", 2125, w=96)),
        Row(C("picture", 2126, w=22, h=16), C("label", 2127, "Media Name:", w=54), C("odcombo", 2128, w=96)),
        gap=3), width=196)
    mode = Group(None, "Print Mode", Col(
        Row(C("picture", 2116, w=22, h=16), C("radio1", 2114, "Black"), C("radio", 2117, "Colour"),
            C("label", 2115, "", w=8)),
        Row(C("picture", 8122, w=22, h=16), C("label", 8119, "Ink Variant:", w=46), C("odcombo", 8120, w=104)),
        Row(C("picture", 2132, w=22, h=16), C("label", 2133, "Rendering:", w=46), C("combo", 2134, w=104)),
        Row(C("picture", 2135, w=22, h=16), C("label", 2147, "Print Quality:", w=46), C("combo", 2119, w=104)),
        Row(C("picture", 2194, w=22, h=16), C("label", 2192, "Output:", w=46), C("combo", 2193, w=104)),
        Row(Space(22), C("label", 2183, "Gamma:", w=46), C("combo", 2184, w=50)),
        gap=3), width=196)
    options = Group(None, "Options", Col(
        Row(C("picture", 2129, w=22, h=16), C("check", 2130, "High Speed", w=58), C("check", 2178, "Edge Smoothing", w=70),
            C("label", 2108, "", w=4)),
        Row(C("picture", 2136, w=22, h=16), C("check", 2137, "Thick Paper", w=58), C("check", 2139, "Flip Horizontal", w=70)),
        Row(C("picture", 2138, w=22, h=16), C("check", 2154, "Finest Detail", w=58), C("check", 2186, "Gloss Optimiser", w=70)),
        Row(C("picture", 2155, w=22, h=16), C("check", 2188, "Halftoning", w=58), C("check", 2189, "Quality Pairs", w=70)),
        Row(C("picture", 2187, w=22, h=16), C("picture", 2152, w=22, h=16), C("label", 2153, "", w=8)),
        gap=2), width=196)
    left = Col(media, mode, options, gap=5)

    colour_mode = Group(None, "Colour Mode", Col(
        Row(C("radio1", 2110, "Colour Controls"), C("radio", 2111, "Photo Enhance"), C("radio", 2109, "ICM")),
        # Monochrome (2191) shows alone, in place of the other radios: it shares No Adjustment's spot
        # so that the group stays as wide as the settings group under it.
        Row(Stack(C("radio", 2112, "No Adjustment"), C("radio", 2191, "Monochrome", hidden=True)),
            C("radio", 2113, "Black Enhance"), C("radio", 2099, "Grey")),
        gap=3), width=214)
    names = ["Brightness", "Contrast", "Saturation", "Cyan", "Magenta", "Yellow"]
    panel = Col(
        Row(C("label", 2101, "Colour Adjustment", w=80), C("label", 2143, "-25", w=20), Space(64),
            C("label", 2144, "+25", w=18), C("label", 2145, "", w=4)),
        *[adjust_row(i, names[i], 2060 + i, 2070 + i, 2080 + i, 2090 + i) for i in range(6)],
        Row(C("picture", 2151, w=22, h=16), C("picture", 2156, w=22, h=16), C("picture", 2157, w=22, h=16),
            C("label", 2148, "", w=8), C("label", 2149, "", w=8), C("label", 2150, "", w=8)),
        Row(*[C("label", cid, "", w=6) for cid in range(2158, 2170)], gap=2),
        gap=2)
    correction = Col(
        Row(C("label", 2179, "Photo Enhance:", w=56), C("combo", 2102, w=96, hidden=True)),
        Row(C("check", 25010, "Automatic Level", hidden=True), C("combo", 2105, w=60, hidden=True)),
        Row(C("label", 2103, "Strength:", w=40, hidden=True), C("label", 2106, "Low", w=16, hidden=True),
            C("trackbar", 2104, w=96, h=16, hidden=True), C("label", 2107, "High", w=18, hidden=True), gap=2),
        Row(C("check", 2180, "Digital Camera Correction", hidden=True), C("label", 25011, "", w=4, hidden=True)),
        C("check", 25012, "Sharpness", hidden=True),
        C("picture", 2181, w=86, h=62, hidden=True),
        gap=3)
    cm_pair = lambda k, base: Col(  # noqa: E731
        Row(C("label", base, "Profile %d" % k, w=40), C("check", base + 1, "Use")),
        labelled(base + 2, "Source:", C("combo", base + 3, w=130), 50),
        labelled(base + 4, "Intent:", C("combo", base + 5, w=130), 50),
        labelled(base + 6, "Printer:", C("combo", base + 7, w=130), 50), gap=2)
    cm = Col(labelled(8160, "Mode:", C("combo", 8161, w=130), 50), cm_pair(1, 8165),
             C("check", 8173, "Show all profiles"),
             Row(C("label", 8190, "Profile:", w=50), C("text", 8191, "", w=130)), gap=3)
    for c in _controls(correction) + _controls(cm):  # shown by colour mode
        c.style &= ~0x10000000
    # The etched frame (drawn by the dialog) around the two buttons: 2170 gives its top-left corner
    # and the caption's start A, 2171 the width B after the caption, 2173 its width W, 2172 its
    # height H; 2174 marks where the right-hand part begins. B = W - A: no caption gap.
    frame_w = 214
    placeholders = Col(
        Row(C("placeholder", 2170, w=6, h=4, hidden=True), Space(frame_w - 10),
            C("placeholder", 2174, w=4, h=4, hidden=True), gap=0),
        C("placeholder", 2171, w=frame_w - 6, h=4, hidden=True),
        C("placeholder", 2173, w=frame_w, h=4, hidden=True),
        C("placeholder", 2172, w=4, h=24, hidden=True), gap=0)
    framed_buttons = Col(Space(0, 5), Row(Space(2), C("button", 2122, "Custom Settings...", w=70),
                                         C("button", 2190, "Fine Tuning...", w=62), C("label", 2182, "", w=4)))
    middle = Col(colour_mode, Group(None, "Settings", Stack(panel, correction, cm), width=214),
                 Stack(placeholders, framed_buttons), gap=5)

    toning_rows = Col(*[Row(C("label", 8504 + r, n, w=40), C("trackbar", 8515 + r, w=86, h=16),
                            C("edit", 8510 + r, "0", w=18), C("sign", 8540 + r), gap=3)
                        for r, n in enumerate(["Brightness", "Contrast", "Shadow", "Highlight", "Fade"])], gap=2)
    toning = Group(None, "Monochrome Photo", Col(
        Row(C("label", 8500, "Tone Preset:", w=44), C("combo", 8501, w=90)),
        Row(C("label", 8502, "Tone:", w=44), C("combo", 8503, w=90)),
        Row(C("picture", 8547, w=101, h=93), Col(C("picture", 8546, w=70, h=52), C("label", 8545, "Sample", w=40),
                                                  gap=2), gap=4),
        Row(C("label", 8559, "X:", w=10), C("edit", 8557, "0", w=22), C("spin", 8558),
            C("label", 8550, "Y:", w=10), C("edit", 8560, "0", w=22), C("spin", 8561),
            *[C("label", cid, "", w=4) for cid in range(8551, 8557)], gap=2),
        toning_rows, C("check", 8521, "Highlight Limit"),
        Row(*[C("label", cid, "", w=4) for cid in range(8525, 8535)], gap=2),
        gap=3), width=196)
    cm_more = Col(cm_pair(2, 8174), Space(0, 4), cm_pair(3, 8182), gap=3)
    for c in _controls(toning) + _controls(cm_more):
        c.style &= ~0x10000000
    right = Stack(toning, cm_more)
    body = Col(Row(left, middle, right, gap=10, align="top"),
               ok_cancel(C("button", 2140, "Help")), gap=6)
    return Dialog(2100, "Advanced Settings", body)


def _controls(item):
    out = []
    item.place(0, 0, out)
    return [c for c, _, _ in out]


# ---- printer adjustment (2350) ---------------------------------------------------------------------

def channel_row(caption_id, text, fields, separators):
    items = [C("label", caption_id, text, w=42)]
    for i, fid in enumerate(fields):
        items.append(C("edit", fid, "", w=16))
        if i < len(separators):
            items.append(C("label", separators[i], "-", w=4))
    return Row(*items, gap=1)


def printer_adjust_dialog():
    row1 = channel_row(2351, "Row 1:", list(range(2353, 2360)) + [2396], list(range(2360, 2366)) + [2398])
    row2 = channel_row(2376, "Row 2:", list(range(2377, 2384)) + [2397], list(range(2384, 2390)) + [2399])
    iwf = channel_row(8255, "IWF:", list(range(8256, 8260)), list(range(8260, 8263)))
    ht = channel_row(8263, "HT:", list(range(8264, 8268)), list(range(8268, 8271)))
    rt = Row(C("label", 8271, "RT:", w=42), C("edit", 8272, "", w=16), gap=1)
    values = Group(None, "Adjustment Values", Col(
        C("label", 2352, "Enter the values printed on the adjustment sheet.", w=250),
        row1, row2, iwf, ht, rt,
        Row(C("button", 2366, "Print Adjustment Sheet", w=96), C("text", 2369, "", w=150, h=18)),
        Row(C("label", 2367, "", w=4), C("label", 2368, "", w=4), C("label", 2373, "", w=4),
            C("label", 2374, "", w=4), C("label", 2375, "", w=4)), gap=3), width=262)
    ink = Group(2392, "Black Ink", Col(C("label", 2390, "Ink set:", w=60), C("list", 2391, w=236, h=24), gap=2),
                width=262)
    cutter = Group(None, "Cutter and Platen", Col(
        Row(C("check", 2393, "Use the cutter"), C("button", 2394, "Cut Test...", w=56),
            C("button", 2395, "Blade...", w=56)),
        Row(C("check", 8252, "Platen gap wide"), C("check", 8253, "Platen gap extra wide")), gap=3), width=262)
    body = Col(values, ink, cutter, buttons(C("default", 2370, "OK"), C("button", 2371, "Cancel"),
                                            C("button", 2372, "Help")), gap=5)
    return Dialog(2350, "Printer Adjustment", body)


# ---- smaller dialogs -------------------------------------------------------------------------------

def source_paper_dialog():
    body = Col(C("label", 2251, "The paper source cannot take this size. Choose the paper to print on:",
                 w=200, h=18), C("odcombo", 2252, w=200), ok_cancel(), gap=6)
    return Dialog(2250, "Output Paper", body)


def paper_width_dialog():
    body = Col(labelled(2271, "Roll width:", C("combo", 2272, w=120), 48), ok_cancel(), gap=8)
    return Dialog(2270, "Roll Width", body)


def level_slider_dialog():
    hand = Group(2264, "", Col(
        C("trackbar", 2284, w=150, h=16),
        Row(C("label", 2281, "Thick", w=48), C("clabel", 2282, "Standard", w=48), C("rlabel", 2283, "Thin", w=46),
            gap=2),
        C("text", 2292, "Choose how far the paper is lifted:", w=150), gap=2), width=172)
    body = Col(C("label", 2261, "Paper feed level", w=160),
               Row(C("radio1", 2262, "By Hand"), C("radio", 2263, "Automatic")),
               Row(hand, Col(C("picture", 2288, w=40, h=28), C("picture", 2290, w=40, h=28), gap=4), gap=6,
                   align="top"),
               buttons(C("default", 2285, "OK"), C("button", 2286, "Cancel"), C("button", 2287, "Help")), gap=5)
    return Dialog(2280, "Feed Level", body)


def page_order_dialog():
    choices = Row(*[Col(C("picture", 2452 + k, w=40, h=32), C("clabel", 2456 + k, "", w=48, h=16), gap=2)
                    for k in range(4)], gap=6)
    body = Col(C("label", 2451, "Order of the pages on the sheet:", w=200), choices,
               ok_cancel(C("button", 2460, "Help")), gap=6)
    return Dialog(2450, "Page Order", body)


def driver_options_dialog():
    body = Col(
        Group(None, "Printing", Col(C("check", 2501, "Print as a raster image"), C("check", 2511, "Skip blank pages"),
                                    C("check", 2513, "Always spool RAW data"),
                                    C("check", 2517, "Rotate with the application"),
                                    C("check", 2518, "High-speed copies"), C("check", 2519, "Mirror image"), gap=2),
              width=236),
        Group(2509, "Status Monitor", Col(C("check", 2508, "Use the status monitor for this job"),
                                          C("check", 2514, "Do not use the status monitor"),
                                          C("button", 2512, "Monitoring Preferences...", w=100), gap=3), width=236),
        Group(None, "Spool Folder", Col(
            C("label", 2502, "Folder for temporary files:", w=200),
            C("text", 2503, "C:\\", w=220),
            Row(C("odlist", 2506, w=150, h=56), C("odcombo", 2505, w=66), align="top"), gap=3), width=236),
        Row(C("label", 2510, "", w=4), Space(), C("default", 1, "OK"), C("button", 2, "Cancel"),
            C("button", 2504, "Help")), gap=5)
    return Dialog(2500, "Driver Options", body, extra=[At(0, 0, C("hiddenlist", 2507))])


def user_paper_dialog():
    size = Col(
        labelled(2571, "Name:", C("edit", 2552, "", w=120), 40),
        Row(C("label", 2572, "Width:", w=40), C("edit", 2556, "", w=40), C("spin", 2557),
            C("text", 2561, "[   89 ... 1118]", w=66), gap=2),
        Row(C("label", 2573, "Length:", w=40), C("edit", 2555, "", w=40), C("spin", 2558),
            C("text", 2562, "[  127 ... 9999]", w=66), gap=2),
        Row(C("label", 2574, "Unit:", w=40), C("radio1", 2559, "0.1 mm"), C("radio", 2560, "1/100 inch")),
        Row(C("label", 2566, "", w=4), C("label", 2567, "", w=4)),
        C("text", 2563, "This paper cannot be used with the current paper source.", w=170, hidden=True),
        gap=4)
    body = Col(Row(Col(C("label", 2570, "Paper sizes:", w=90), C("odlist", 2551, w=96, h=100), gap=2),
                   size, gap=8, align="top"),
               Row(C("button", 2553, "Save"), C("button", 2554, "Delete"), Space(40), C("default", 1, "OK"),
                   C("button", 2, "Cancel"), C("button", 2569, "Help")), gap=6)
    return Dialog(2550, "User Defined Paper Size", body)


def user_settings_dialog():
    body = Col(C("label", 2608, "Saved settings:", w=100),
               Row(C("multilist", 2601, w=140, h=90),
                   Col(C("button", 2603, "Save"), C("button", 2604, "Delete"), Space(0, 10),
                       C("button", 2606, "Export..."), C("button", 2607, "Import..."), gap=4), align="top"),
               labelled(2609, "Name:", C("edit", 2602, "", w=100), 30),
               buttons(C("default", 2605, "Close")), gap=5)
    return Dialog(2600, "Custom Settings", body)


def slider_adjust_dialog():
    def bar_row(label_id, name, bar_id, edit_id, sign_id, lo_id, hi_id, lo, hi):
        return Col(Row(C("label", label_id, name, w=70), C("trackbar", bar_id, w=120, h=16),
                       C("edit", edit_id, "0", w=20) if edit_id else Space(20),
                       C("sign", sign_id) if sign_id else Space(10), gap=3),
                   Row(Space(70), C("label", lo_id, lo, w=58), C("rlabel", hi_id, hi, w=58), gap=3), gap=0)
    body = Col(
        bar_row(2751, "Density:", 2770, 2780, 2790, 2758, 2759, "-50", "+50"),
        bar_row(2752, "Drying Time:", 2771, 2781, None, 2761, 2762, "0", "50"),
        bar_row(2753, "Feed Adjustment:", 2772, 2782, 2791, 2764, 2765, "-70", "+70"),
        Row(C("label", 2754, "Suction:", w=70), C("edit", 2783, "1", w=20), C("label", 2768, "(1 - 15)", w=40)),
        Col(Row(C("label", 2755, "Ink Limit:", w=70), C("trackbar", 2773, w=120, h=16), gap=3),
            Row(Space(70), *[C("clabel", 2795 + k, t, w=22) for k, t in enumerate(["100", "84", "66", "50", "34"])],
                gap=2), gap=0),
        labelled(2756, "Head Height:", C("combo", 2766, w=90), 70),
        labelled(8203, "Paper Thickness:", C("combo", 8214, w=90), 70),
        labelled(8209, "Dry Mode:", C("combo", 8215, w=90), 70),
        Row(C("label", 2760, "", w=4), C("label", 2763, "", w=4), C("label", 2769, "", w=4), Space(40),
            C("button", 2767, "Defaults"), C("default", 2778, "OK"), C("button", 2779, "Cancel"),
            C("button", 2757, "Help")),
        gap=4)
    return Dialog(2750, "Paper Configuration", body)


SS_BLACKFRAME = 7


def poster_dialog():
    # The dialog draws the preview inside 2954; the static draws only its one-pixel frame.
    body = Col(Row(C("label", 2954, "", w=130, h=110, style=SS_BLACKFRAME),
                   Col(C("label", 2952, "Click a panel to leave it out of the print.", w=96, h=18),
                       C("label", 2953, "Grey panels are not printed.", w=96, h=18),
                       C("check", 2956, "Joining guides"), C("label", 2957, "", w=4),
                       C("radio1", 2958, "Cut lines"), C("radio", 2959, "Overlapping edges"), gap=3),
                   align="top", gap=8),
               Row(C("label", 2955, "", w=4), Space(60), C("default", 1, "OK"), C("button", 2, "Cancel"),
                   C("button", 2951, "Help")), gap=6)
    return Dialog(2950, "Poster Panels", body)


def name_clash_dialog():
    body = Col(C("label", 5026, "An entry of this name exists:", w=180), C("text", 5027, "", w=180),
               buttons(C("default", 5028, "Overwrite"), C("button", 5030, "Rename..."), C("button", 5029, "Cancel")),
               gap=6)
    return Dialog(5025, "Import Settings", body)


def rename_dialog():
    body = Col(C("label", 5032, "Current name:", w=160), C("text", 5033, "", w=160),
               labelled(5034, "New name:", C("edit", 5035, "", w=120), 40), ok_cancel(), gap=5)
    return Dialog(5031, "Rename", body)


def templates():
    return [advanced_dialog(), printer_adjust_dialog(), source_paper_dialog(), paper_width_dialog(),
            level_slider_dialog(), page_order_dialog(), driver_options_dialog(), user_paper_dialog(),
            user_settings_dialog(), slider_adjust_dialog(), poster_dialog(), name_clash_dialog(), rename_dialog()]
