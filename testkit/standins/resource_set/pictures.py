"""Pictures of the resource set, drawn at build time: a small RGB canvas, BMP (24-bit, or 8-bit with a
256-entry palette), ICO and CUR writers, and the motif of every bitmap id the pages and dialogs
load."""

import math
import struct

KEY = (192, 192, 192)        # key colour of most owner-drawn pictures (transparent when drawn)
FIXED_KEY = (198, 195, 198)  # key colour of the toning circle
WHITE, BLACK = (255, 255, 255), (0, 0, 0)
GREY, DARK = (128, 128, 128), (64, 64, 64)
CYAN, MAGENTA, YELLOW = (0, 170, 230), (220, 0, 130), (250, 220, 0)
BLUE, RED, GREEN = (40, 80, 200), (210, 30, 30), (40, 150, 60)

DIGITS = {  # 3 x 5 glyphs
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111", "3": "111001111001111",
    "4": "101101111001001", "5": "111100111001111", "6": "111100111101111", "7": "111001001001001",
    "8": "111101111101111", "9": "111101111001111", "A": "010101111101101", "!": "010010010000010",
    "x": "000101010101000", "%": "101001010100101",
}


class Canvas:
    def __init__(self, w, h, background=WHITE):
        self.w, self.h = w, h
        self.px = [[background] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(max(y0, 0), min(y1, self.h)):
            row = self.px[y]
            for x in range(max(x0, 0), min(x1, self.w)):
                row[x] = c

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1):
            self.set(x, y0, c)
            self.set(x, y1 - 1, c)
        for y in range(y0, y1):
            self.set(x0, y, c)
            self.set(x1 - 1, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            x = x0 + (x1 - x0) * i / n
            y = y0 + (y1 - y0) * i / n
            for dx in range(width):
                for dy in range(width):
                    self.set(int(round(x)) + dx, int(round(y)) + dy, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r), int(cy + r) + 1):
            for x in range(int(cx - r), int(cx + r) + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c, width=1):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                d = math.hypot(x - cx, y - cy)
                if r - width <= d <= r:
                    self.set(x, y, c)

    def text(self, x, y, s, c, scale=1):
        for ch in s:
            glyph = DIGITS.get(ch)
            if glyph:
                for i, bit in enumerate(glyph):
                    if bit == "1":
                        self.fill(x + (i % 3) * scale, y + (i // 3) * scale,
                                  x + (i % 3 + 1) * scale, y + (i // 3 + 1) * scale, c)
            x += 4 * scale

    def sheet(self, x0, y0, x1, y1, fold=True):
        """A white sheet with a grey outline and a shadow, the top right corner folded."""
        self.fill(x0 + 2, y0 + 2, x1 + 2, y1 + 2, GREY)
        self.fill(x0, y0, x1, y1, WHITE)
        self.frame(x0, y0, x1, y1, DARK)
        if fold:
            f = max((x1 - x0) // 5, 3)
            for i in range(f):
                for j in range(f - i):
                    self.set(x1 - 1 - j, y0 + i, KEY if self.px[0][0] == KEY else WHITE)
            self.line(x1 - f, y0, x1 - f, y0 + f, DARK)
            self.line(x1 - f, y0 + f, x1 - 1, y0 + f, DARK)
            self.line(x1 - f, y0, x1 - 1, y0 + f, DARK)

    def photo(self, x0, y0, x1, y1, hue=0):
        """A small landscape: sky gradient, sun, hills, a lake."""
        w, h = x1 - x0, y1 - y0
        for y in range(h):
            t = y / max(h - 1, 1)
            sky = (int(90 + 120 * t), int(150 + 80 * t), 235)
            self.fill(x0, y0 + y, x1, y0 + y + 1, rotate(sky, hue))
        self.disc(x0 + w * 0.72, y0 + h * 0.28, max(h * 0.12, 1.5), rotate((255, 200, 40), hue))
        for x in range(w):
            top = int(h * (0.58 + 0.12 * math.sin(x / max(w, 1) * 6.0 + hue)))
            self.fill(x0 + x, y0 + top, x0 + x + 1, y1, rotate((60, 140 - (x * 40) // max(w, 1), 50), hue))
        self.fill(x0, y0 + int(h * 0.85), x1, y1, rotate((40, 100, 170), hue))


def rotate(c, hue):
    """Turns a colour around the grey axis by hue steps of 60 degrees (variety between ids)."""
    r, g, b = c
    for _ in range(int(hue) % 3):
        r, g, b = b, r, g
    return (r, g, b)


def bmp24(canvas):
    rowlen = (canvas.w * 3 + 3) & ~3
    rows = []
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for r, g, b in canvas.px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (rowlen - len(row))
        rows.append(bytes(row))
    bits = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(bits), 0, 0, 54) + info + bits


def bmp8(canvas):
    """An 8-bit picture with a full 256-entry colour table (biClrUsed 0): the palette pictures."""
    colours = []
    index = {}
    for row in canvas.px:
        for c in row:
            if c not in index:
                if len(colours) == 256:
                    raise ValueError("more than 256 colours in an 8-bit picture")
                index[c] = len(colours)
                colours.append(c)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + b"\0" * (4 * (256 - len(colours)))
    rowlen = (canvas.w + 3) & ~3
    bits = b"".join(bytes(index[c] for c in canvas.px[y]) + b"\0" * (rowlen - canvas.w)
                    for y in range(canvas.h - 1, -1, -1))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 8, 0, len(bits), 2835, 2835, 0, 0)
    offset = 14 + 40 + 1024
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + info + table + bits


def ico(canvases):
    """An icon file of 32-bit images (alpha from the key colour) with their AND masks."""
    images = []
    for cv in canvases:
        xor = b"".join(bytes((b, g, r, 0 if (r, g, b) == KEY else 255)) for y in range(cv.h - 1, -1, -1)
                       for r, g, b in cv.px[y])
        masklen = ((cv.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(cv.h - 1, -1, -1):
            row = bytearray(masklen)
            for x in range(cv.w):
                if cv.px[y][x] == KEY:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        header = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append(header + xor + bytes(mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def cur_crosshair(size=32, hot=15):
    """A monochrome cross-hair cursor file (the toning circle's pointer)."""
    rowlen = 4
    xor, andm = bytearray(), bytearray()
    for y in range(size - 1, -1, -1):
        xrow, arow = bytearray(rowlen), bytearray(b"\xff" * rowlen)
        for x in range(size):
            on = (x == hot and abs(y - hot) <= 10 and abs(y - hot) >= 2) or \
                 (y == hot and abs(x - hot) <= 10 and abs(x - hot) >= 2)
            if on:
                arow[x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
        xor += xrow
        andm += arow
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = header + palette + bytes(xor) + bytes(andm)
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, hot, hot, len(data), 22) + data


# ---- motifs ----------------------------------------------------------------------------------------

def picture_tile(w, h, seed):
    """A generic owner-drawn picture: a sheet with a photo on the key background."""
    cv = Canvas(w, h, KEY)
    cv.sheet(3, 2, w - 5, h - 4, fold=False)
    cv.photo(6, 5, w - 8, h - 7, hue=seed)
    return cv


def mode_picture(pid):
    cv = Canvas(64, 44, KEY)
    cv.sheet(4, 2, 44, 40, fold=False)
    if pid == 7415:  # black
        for i in range(5):
            cv.fill(8, 7 + i * 6, 40 - i * 4, 10 + i * 6, DARK)
    else:
        cv.photo(7, 5, 41, 37, hue=pid % 3)
    cv.fill(48, 8, 60, 36, WHITE)
    cv.frame(48, 8, 60, 36, DARK)
    levels = [(pid * 7) % 5, (pid * 3) % 4, (pid * 5) % 3]
    for i, c in enumerate((CYAN, MAGENTA, YELLOW) if pid != 7415 else (DARK, GREY, BLACK)):
        cv.fill(50 + i * 3, 12 + levels[i] * 3, 53 + i * 3, 34, c)
    return cv


def tone_overlay():
    """The mark the main page lays over the right of its mode picture when a tone is chosen: a
    badge on the fixed key, a grey ramp with a warm and a cool end."""
    cv = Canvas(18, 18, FIXED_KEY)
    cv.disc(8.5, 8.5, 8.2, DARK)
    for x in range(3, 15):
        g = 40 + (x - 3) * 18
        cv.fill(x, 5, x + 1, 13, (g, g, g))
    cv.fill(3, 5, 5, 13, (150, 90, 40))
    cv.fill(13, 5, 15, 13, (70, 110, 170))
    return cv


def order_picture(collated, reverse):
    cv = Canvas(56, 36, KEY)
    pages = [1, 2, 3] if collated else [1, 1, 2]
    if reverse:
        pages = pages[::-1]
    for i in range(3):
        x = 4 + i * 6
        y = 2 + i * 4
        cv.sheet(x, y, x + 20, y + 26, fold=False)
    cv.text(4 + 2 * 6 + 7, 2 + 2 * 4 + 9, str(pages[2]), DARK, scale=2)
    cv.text(38, 10, "1" if not reverse else "3", GREY, scale=1)
    cv.line(38, 18, 50, 18, BLUE, 2)
    cv.line(46, 14, 50, 18, BLUE, 2)
    cv.line(46, 22, 50, 18, BLUE, 2)
    return cv


def utility_picture(k):
    cv = Canvas(40, 34, KEY)
    cv.fill(3, 2, 37, 32, (236, 236, 236))
    cv.frame(3, 2, 37, 32, GREY)
    if k == 0:  # status monitor: a screen with ink bars
        cv.fill(8, 6, 32, 22, (30, 50, 90))
        for i, c in enumerate((BLACK, CYAN, MAGENTA, YELLOW)):
            cv.fill(11 + i * 5, 10 + i * 2, 14 + i * 5, 20, c if i else (200, 200, 200))
        cv.fill(16, 22, 24, 26, GREY)
        cv.fill(12, 26, 28, 28, GREY)
    elif k == 1:  # head cleaning: a drop
        cv.disc(20, 20, 7, CYAN)
        for y in range(6, 15):
            cv.fill(20 - (y - 6) * 2 // 3, y, 21 + (y - 6) * 2 // 3, y + 1, CYAN)
    elif k == 2:  # print head alignment: vertical bars
        for i in range(6):
            cv.fill(8 + i * 4, 8 + (i % 2) * 2, 10 + i * 4, 26, BLUE)
    elif k == 3:  # nozzle check: staircase pattern
        for i in range(5):
            cv.line(7 + i * 5, 24 - i * 3, 12 + i * 5, 24 - i * 3, BLACK)
            cv.line(7 + i * 5, 27 - i * 3, 12 + i * 5, 27 - i * 3, MAGENTA)
    elif k == 4:  # adjustment: sliders
        for i in range(3):
            cv.line(8, 9 + i * 7, 32, 9 + i * 7, DARK)
            cv.fill(12 + i * 7, 6 + i * 7, 16 + i * 7, 13 + i * 7, BLUE)
    elif k == 5:  # paper feed: a sheet with arrows
        cv.sheet(10, 6, 26, 28, fold=False)
        cv.line(30, 10, 30, 24, RED, 2)
        cv.line(27, 21, 30, 24, RED, 2)
        cv.line(33, 21, 30, 24, RED, 2)
    elif k == 6:  # printer settings: a gear
        cv.disc(20, 17, 9, DARK)
        for a in range(8):
            x = 20 + 10 * math.cos(a * math.pi / 4)
            y = 17 + 10 * math.sin(a * math.pi / 4)
            cv.disc(x, y, 2.5, DARK)
        cv.disc(20, 17, 4, (236, 236, 236))
    else:  # custom program: a window
        cv.fill(8, 7, 32, 27, WHITE)
        cv.frame(8, 7, 32, 27, DARK)
        cv.fill(8, 7, 32, 11, BLUE)
        cv.text(14, 15, "!", RED, scale=2)
    return cv


def binding_picture(edge):
    cv = Canvas(48, 40, KEY)
    cv.sheet(10, 3, 38, 37, fold=False)
    for i in range(4):
        y = 8 + i * 4
        cv.line(15, y + 4, 33, y + 4, GREY)
    if edge == 0:
        for y in range(6, 34, 6):
            cv.disc(13, y, 1.2, DARK)
        cv.line(16, 4, 16, 36, RED)
    elif edge == 1:
        for x in range(14, 36, 6):
            cv.disc(x, 6, 1.2, DARK)
        cv.line(11, 9, 37, 9, RED)
    else:
        for y in range(6, 34, 6):
            cv.disc(35, y, 1.2, DARK)
        cv.line(32, 4, 32, 36, RED)
    return cv


def pages_picture(n, order, enabled=True):
    """Page-order choices: n pages numbered in the order's arrangement."""
    cv = Canvas(52, 40, KEY)
    cv.sheet(4, 2, 46, 38, fold=False)
    ink = DARK if enabled else (170, 170, 170)
    if n == 2:
        cells = [(7, 5, 24, 35), (26, 5, 43, 35)] if order != 2 else [(7, 5, 43, 19), (7, 21, 43, 35)]
        nums = ["1", "2"] if order != 1 else ["2", "1"]
    else:
        cells = [(7, 5, 24, 19), (26, 5, 43, 19), (7, 21, 24, 35), (26, 21, 43, 35)]
        nums = [["1", "2", "3", "4"], ["1", "3", "2", "4"], ["2", "1", "4", "3"], ["3", "1", "4", "2"]][order % 4]
    for (x0, y0, x1, y1), s in zip(cells, nums):
        cv.frame(x0, y0, x1, y1, ink)
        cv.text((x0 + x1) // 2 - 2, (y0 + y1) // 2 - 5, s, ink if enabled else ink, scale=2)
    return cv


def level_picture(thick):
    cv = Canvas(40, 28, KEY)
    for i in range(thick + 1):
        cv.fill(6, 18 - i * 3, 34, 20 - i * 3, (120 + i * 30, 110, 90))
    cv.line(20, 2, 20, 10, RED, 2)
    cv.line(17, 7, 20, 10, RED, 2)
    cv.line(23, 7, 20, 10, RED, 2)
    return cv


def toning_circle():
    cv = Canvas(151, 151, FIXED_KEY)
    for y in range(151):
        for x in range(151):
            dx, dy = x - 75, 75 - y
            d = math.hypot(dx, dy)
            if d <= 75:
                a = math.atan2(dy, dx)
                s = d / 75
                r = int(200 + 55 * s * math.cos(a))
                g = int(200 + 40 * s * math.sin(a + 2.1))
                b = int(200 + 55 * s * math.cos(a + 4.2))
                cv.set(x, y, (max(0, min(255, r)), max(0, min(255, g)), max(0, min(255, b))))
    cv.ring(75, 75, 75.5, DARK)
    cv.line(75, 5, 75, 146, GREY)
    cv.line(5, 75, 146, 75, GREY)
    return cv


def paper_picture(kind):
    """Paper pictures of the layout preview (256-colour): a sheet (9500), a roll (9600), a banner
    (9700), a roll cut to fit (9800)."""
    cv = Canvas(84, 92, WHITE)
    paper = (250, 250, 246)
    if kind == 9500:
        cv.sheet(14, 6, 70, 86)
    elif kind in (9600, 9800):
        cv.fill(10, 4, 74, 16, (210, 205, 195))
        cv.frame(10, 4, 74, 16, DARK)
        cv.fill(12, 16, 72, 88 if kind == 9600 else 70, paper)
        cv.frame(12, 16, 72, 88 if kind == 9600 else 70, DARK)
        if kind == 9800:
            for x in range(12, 72, 4):
                cv.fill(x, 74, x + 2, 75, RED)
    else:
        cv.fill(4, 30, 80, 62, paper)
        cv.frame(4, 30, 80, 62, DARK)
    for i in range(200):  # a soft gradient band keeps the palette full
        cv.set(i % 84, 91 - (i // 84), (255 - i // 4, 255 - i // 8, 255))
    return cv


def orientation_mark(mid):
    """The orientation mark (combined with SRCAND): white except the letter and arrow."""
    cv = Canvas(20, 20, WHITE)
    landscape = (mid % 100) >= 11
    rotated = (mid % 10) == 6
    ink = (40, 40, 40)
    if landscape:
        cv.text(4, 4, "A", ink, scale=2)
        cv.line(2, 17, 17, 17, BLUE)
    else:
        cv.text(4, 3, "A", ink, scale=2)
        cv.line(16, 2, 16, 17, BLUE)
    if rotated:
        cv.px = [row[::-1] for row in cv.px[::-1]]
    return cv


def warning_picture(base, size, mask):
    cv = Canvas(size, size, WHITE)
    inside = []
    c = size / 2
    for y in range(size):
        for x in range(size):
            if base == 15000:  # low: a yellow triangle with "!"
                top = 1
                half = (y - top) * (size - 1) / (2 * (size - 2)) if y >= top else -1
                ok = y >= top and abs(x + 0.5 - c) <= half + 0.5 and y < size - 1
            else:  # out: a red disc with a cross
                ok = math.hypot(x + 0.5 - c, y + 0.5 - c) <= c - 0.5
            if ok:
                inside.append((x, y))
    for x, y in inside:
        cv.set(x, y, BLACK if mask else ((250, 200, 0) if base == 15000 else (210, 30, 30)))
    if not mask:
        if base == 15000:
            cv.fill(int(c) - 1 if size > 12 else int(c), size // 3, int(c) + 1, size - size // 4 - 1, BLACK)
            cv.fill(int(c) - 1 if size > 12 else int(c), size - size // 5 - 1, int(c) + 1, size - size // 5 + 1, BLACK)
        else:
            w = max(1, size // 10)
            cv.line(size // 4, size // 4, size - size // 4 - 1, size - size // 4 - 1, WHITE, w)
            cv.line(size - size // 4 - 1, size // 4, size // 4, size - size // 4 - 1, WHITE, w)
    return cv


def sample_photo(w, h):
    """The advanced dialog's sample picture: sky, sun, hills, a portrait disc, a grey ramp."""
    cv = Canvas(w, h)
    cv.photo(0, 0, w, h)
    cv.disc(w * 0.3, h * 0.45, h * 0.18, (224, 172, 140))
    cv.disc(w * 0.3, h * 0.2, h * 0.08, (90, 60, 40))
    for x in range(w):
        g = x * 255 // max(w - 1, 1)
        cv.fill(x, h - 6, x + 1, h, (g, g, g))
    return cv


def icon_canvas(k, size):
    cv = Canvas(size, size, KEY)
    s = size / 32
    if k == 0:  # main: a printer
        cv.fill(int(4 * s), int(12 * s), int(28 * s), int(24 * s), (90, 90, 100))
        cv.fill(int(8 * s), int(4 * s), int(24 * s), int(13 * s), WHITE)
        cv.frame(int(8 * s), int(4 * s), int(24 * s), int(13 * s), DARK)
        cv.fill(int(8 * s), int(20 * s), int(24 * s), int(30 * s), WHITE)
        cv.frame(int(8 * s), int(20 * s), int(24 * s), int(30 * s), DARK)
        cv.fill(int(22 * s), int(15 * s), int(25 * s), int(17 * s), GREEN)
    elif k == 1:  # paper
        cv.sheet(int(7 * s), int(3 * s), int(25 * s), int(29 * s))
    elif k == 2:  # layout: two pages on a sheet
        cv.sheet(int(4 * s), int(5 * s), int(28 * s), int(27 * s), fold=False)
        cv.fill(int(7 * s), int(8 * s), int(15 * s), int(24 * s), CYAN)
        cv.fill(int(17 * s), int(8 * s), int(25 * s), int(24 * s), MAGENTA)
    else:  # utility: a wrench
        cv.line(int(8 * s), int(24 * s), int(20 * s), int(12 * s), DARK, max(1, int(4 * s)))
        cv.disc(22 * s, 10 * s, 6 * s, DARK)
        cv.disc(24 * s, 8 * s, 2.5 * s, KEY)
    return cv
