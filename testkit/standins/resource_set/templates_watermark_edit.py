"""The watermark edit dialog (2800) with its strings, the mode button's pictures (2874, 2875, 2878)
and the rotation cursor (2899): a preview of the page on the left, the watermark's content,
font, style, colour and angle on the right."""

from layout import Control as C, Row, Col, Stack, Space, Dialog, BASE, WS_TABSTOP, WS_BORDER, WS_VSCROLL
from pictures import mono_cursor

CBS_DROPDOWN, CBS_AUTOHSCROLL, CBS_OWNERDRAWFIXED, CBS_HASSTRINGS = 2, 0x40, 0x10, 0x200
LBS_NOTIFY, LBS_MULTIPLESEL, LBS_HASSTRINGS, LBS_NOINTEGRALHEIGHT = 1, 8, 0x40, 0x100


def common_trackbar(cid, w):
    """A track bar of the common controls (range, page size and ticks set by the program)."""
    c = C("trackbar", cid, w=w, h=15)
    c.cls, c.style = "msctls_trackbar32", BASE | WS_TABSTOP
    return c


def name_combo():
    """The names: an owner-drawn combo box whose edit field takes a new name."""
    c = C("odcombo", 2808, w=128)
    c.style = BASE | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP
    return c


def style_list():
    c = C("multilist", 2815, w=78, h=46)
    c.style = BASE | LBS_NOTIFY | LBS_MULTIPLESEL | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL \
        | WS_TABSTOP
    return c


def watermark_edit_dialog():
    left = Col(
        Row(C("label", 2809, "Name:", w=28), name_combo(), gap=4),
        C("frame", 2805, w=160, h=124),
        Row(C("label", 2807, "Position:", w=34), C("odcombo", 2802, w=122), gap=4),
        Row(C("label", 2801, "Size:", w=34), C("rlabel", 2816, "1", w=10), common_trackbar(2817, 96),
            C("label", 2818, "100", w=14), gap=2),
        Row(C("label", 2811, "Density:", w=34), C("rlabel", 2813, "Light", w=20), common_trackbar(2812, 82),
            C("label", 2814, "Dark", w=18), gap=2),
        gap=4)
    content = Col(
        Stack(C("label", 2820, "Text:", w=60), C("label", 2828, "Picture file:", w=60, hidden=True)),
        Row(C("edit", 2806, "", w=122), C("button", 2830, "Browse...", w=44, hidden=True), gap=4),
        gap=2)
    font = Row(C("label", 2821, "Font:", w=28), C("combo", 2810, w=108), C("label", 2824, "", w=28), gap=4)
    style_colour = Row(
        Col(C("label", 2825, "Style:", w=40), style_list(), gap=2),
        Col(C("label", 2822, "Colour:", w=50), C("odcombo", 2823, w=88), gap=2),
        gap=4, align="top")
    angle = Col(
        Row(C("label", 2826, "Angle:", w=28), C("sign", 2873, w=10, h=12), C("edit", 2835, "0", w=24),
            C("label", 2840, "degrees", w=30), Space(8), C("label", 2876, "Turn:", w=20),
            C("picture", 2819, w=24, h=16), gap=3),
        Row(C("rlabel", 2827, "-180", w=16), common_trackbar(2831, 124), C("label", 2833, "+180", w=18), gap=2),
        Row(Space(74), C("clabel", 2832, "0", w=10)),
        gap=2)
    right = Col(content, font, style_colour, angle,
                C("text", 2877, "Text and built-in pictures print in the chosen colour.", w=172, h=16),
                gap=5, width=172)
    buttons = Row(Space(168), C("default", 1, "OK"), C("button", 2, "Cancel"), C("button", 2804, "Help"))
    body = Col(Row(left, right, gap=10, align="top"), buttons, gap=6)
    return Dialog(2800, "Watermark", body)


def templates():
    return [watermark_edit_dialog()]


STRINGS = {
    # Positions (items 0-9 of the position list), colours, styles.
    **{1800 + i: t for i, t in enumerate(["Centre", "Top Left", "Top Centre", "Top Right", "Middle Left",
                                          "Middle Right", "Bottom Left", "Bottom Centre", "Bottom Right",
                                          "Free"])},
    **{1820 + i: t for i, t in enumerate(["Black", "Blue", "Green", "Cyan", "Red", "Magenta", "Yellow"])},
    **{8058 + i: t for i, t in enumerate(["Bold", "Italic", "Underline", "Stamp", "Frame"])},
    # Tooltips of the edit dialog's controls.
    3903: "Type the watermark's text.", 3711: "Turn the watermark.",
}


def mode_button_picture(P, state):
    """The mode button: a four-way arrow (moving), a turning arrow (rotating), greyed when the
    face cannot turn."""
    cv = P.Canvas(20, 12, (192, 192, 192))
    ink = (128, 128, 128) if state == 2 else P.DARK
    if state == 1:
        cv.line(3, 6, 16, 6, ink)
        cv.line(10, 1, 10, 11, ink)
        for dx, dy in ((3, 6), (16, 6)):
            cv.line(dx, dy, dx + (2 if dx < 10 else -2), dy - 2, ink)
            cv.line(dx, dy, dx + (2 if dx < 10 else -2), dy + 2, ink)
    else:
        cv.ring(10, 6, 4, ink)
        cv.line(13, 1, 15, 3, ink)
        cv.line(15, 3, 12, 4, ink)
    return P.bmp24(cv)


def bitmaps(P):
    """id -> bytes of the mode button's pictures: 2875 rotating, 2874 moving, 2878 no rotation."""
    return {2875: mode_button_picture(P, 0), 2874: mode_button_picture(P, 1), 2878: mode_button_picture(P, 2)}


def rotation_cursor(size=32, hot=15):
    """A monochrome cursor file: a ring with an arrow head, for turning the watermark."""
    def on(x, y):
        d2 = (x - hot) ** 2 + (y - hot) ** 2
        ring = 49 <= d2 <= 81 and not (x > hot and y < hot - 2)
        return ring or (y == hot - 3 and hot + 3 <= x <= hot + 9) or (x == hot + 9 and hot - 9 <= y <= hot - 3)
    return mono_cursor(on, size, hot)


def cursor_lines(out_dir):
    """Writes the rotation cursor and answers its .rc line."""
    import os
    with open(os.path.join(out_dir, "cursor2899.cur"), "wb") as f:
        f.write(rotation_cursor())
    return ["2899 CURSOR \"cursor2899.cur\""]
