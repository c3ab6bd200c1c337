"""Controls, a small box layout in dialog units, and the templates' .rc text.

A template is a Dialog holding one layout tree: Row and Col place their items side by side or one
under the other, Group draws a group box around its content, At places an item at a fixed spot.
Every control kind maps to one window class and style, so that a row of the table says only what
its Part says: the id, the kind and a text.
"""

# Window styles (winuser.h).
WS_CHILD, WS_VISIBLE, WS_DISABLED = 0x40000000, 0x10000000, 0x08000000
WS_BORDER, WS_VSCROLL, WS_HSCROLL = 0x00800000, 0x00200000, 0x00100000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
WS_CAPTION, WS_SYSMENU, WS_POPUP = 0x00C00000, 0x00080000, 0x80000000
DS_MODALFRAME, DS_SETFONT, DS_3DLOOK, DS_CONTROL = 0x80, 0x40, 0x4, 0x400
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_GROUPBOX = 0, 1, 3, 7
BS_AUTORADIOBUTTON, BS_OWNERDRAW = 9, 0xB
SS_LEFT, SS_RIGHT, SS_CENTER, SS_ETCHEDFRAME, SS_SUNKEN, SS_NOPREFIX = 0, 2, 1, 0x12, 0x1000, 0x80
SS_WHITERECT, SS_CENTERIMAGE = 6, 0x200
ES_AUTOHSCROLL, ES_READONLY, ES_RIGHT = 0x80, 0x800, 2
CBS_DROPDOWNLIST, CBS_OWNERDRAWFIXED, CBS_HASSTRINGS = 3, 0x10, 0x200
LBS_NOTIFY, LBS_OWNERDRAWFIXED, LBS_HASSTRINGS, LBS_EXTENDEDSEL = 1, 0x10, 0x40, 0x800
LBS_NOINTEGRALHEIGHT, LBS_SORT = 0x100, 2
SBS_VERT = 1
TBS_AUTOTICKS = 1

BASE = WS_CHILD | WS_VISIBLE

# kind -> (window class, style, default width, default height, layout height or None)
KINDS = {
    "label": ("Static", BASE | SS_LEFT | SS_NOPREFIX, None, 8, None),
    "rlabel": ("Static", BASE | SS_RIGHT | SS_NOPREFIX, None, 8, None),
    "clabel": ("Static", BASE | SS_CENTER | SS_NOPREFIX, None, 8, None),
    "text": ("Static", BASE | SS_LEFT | SS_NOPREFIX, None, 8, None),  # text the program sets
    "frame": ("Static", BASE | SS_ETCHEDFRAME, 60, 40, None),
    "placeholder": ("Static", BASE | SS_LEFT, 4, 4, None),
    "group": ("Button", BASE | BS_GROUPBOX, 100, 40, None),
    "button": ("Button", BASE | BS_PUSHBUTTON | WS_TABSTOP, 50, 14, None),
    "default": ("Button", BASE | BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 14, None),
    "check": ("Button", BASE | BS_AUTOCHECKBOX | WS_TABSTOP, None, 10, None),
    "radio": ("Button", BASE | BS_AUTORADIOBUTTON, None, 10, None),
    "radio1": ("Button", BASE | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, None, 10, None),
    "picture": ("Button", BASE | BS_OWNERDRAW, 40, 30, None),       # owner-drawn picture button
    "sign": ("Button", BASE | BS_OWNERDRAW | WS_TABSTOP, 10, 12, None),  # owner-drawn sign box
    "preview": ("Button", BASE | BS_OWNERDRAW, 100, 80, None),      # owner-drawn layout preview
    "staticbox": ("Static", BASE | SS_WHITERECT | SS_SUNKEN, 100, 80, None),
    "edit": ("Edit", BASE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 30, 12, None),
    "roedit": ("Edit", BASE | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, 100, 12, None),
    "combo": ("ComboBox", BASE | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 100, 12, 90),
    "odcombo": ("ComboBox", BASE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL
                | WS_TABSTOP, 100, 12, 90),
    "list": ("ListBox", BASE | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_BORDER | WS_VSCROLL
             | WS_TABSTOP, 100, 50, None),
    "multilist": ("ListBox", BASE | LBS_NOTIFY | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT
                  | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, 100, 50, None),
    "odlist": ("ListBox", BASE | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT
               | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 100, 50, None),
    "hiddenlist": ("ListBox", WS_CHILD | LBS_HASSTRINGS | LBS_SORT, 20, 10, None),
    "spin": ("ScrollBar", BASE | SBS_VERT, 9, 12, None),            # SB_LINEUP / SB_LINEDOWN arrows
    "trackbar": ("KVTrackBarLIB", BASE | WS_TABSTOP, 120, 15, None),
    "inkmeter": ("KVInkMeterLIB", BASE, 16, 48, None),
}


class Control:
    def __init__(self, kind, cid, text="", w=None, h=None, style=0, hidden=False, disabled=False):
        if kind not in KINDS:
            raise ValueError("unknown control kind %r" % kind)
        cls, base_style, dw, dh, _ = KINDS[kind]
        self.kind, self.id, self.text = kind, cid, text
        self.cls = cls
        self.style = base_style | style
        if hidden:
            self.style &= ~WS_VISIBLE
        if disabled:
            self.style |= WS_DISABLED
        self.w = w if w is not None else (dw if dw is not None else text_width(kind, text))
        self.h = h if h is not None else dh

    def measure(self):
        return self.w, self.h

    def place(self, x, y, out):
        out.append((self, x, y))


def text_width(kind, text):
    """A generous estimate of a text's width in dialog units at 8-point MS Shell Dlg."""
    n = len(text)
    base = int(n * 4.2) + 2
    if kind in ("check", "radio", "radio1"):
        base += 14
    return max(base, 8)


class Space:
    def __init__(self, w=0, h=0):
        self.w, self.h = w, h

    def measure(self):
        return self.w, self.h

    def place(self, x, y, out):
        pass


class Row:
    """Items side by side, centred vertically on the row unless align='top'."""

    def __init__(self, *items, gap=4, align="center"):
        self.items, self.gap, self.align = [i for i in items if i is not None], gap, align

    def measure(self):
        sizes = [i.measure() for i in self.items]
        w = sum(s[0] for s in sizes) + self.gap * max(len(sizes) - 1, 0)
        h = max((s[1] for s in sizes), default=0)
        return w, h

    def place(self, x, y, out):
        _, h = self.measure()
        for item in self.items:
            iw, ih = item.measure()
            dy = 0 if self.align == "top" else (h - ih) // 2
            item.place(x, y + dy, out)
            x += iw + self.gap


class Col:
    """Items one under the other, left-aligned."""

    def __init__(self, *items, gap=3, width=None):
        self.items, self.gap, self.width = [i for i in items if i is not None], gap, width

    def measure(self):
        sizes = [i.measure() for i in self.items]
        w = max((s[0] for s in sizes), default=0)
        if self.width is not None:
            w = max(w, self.width)
        h = sum(s[1] for s in sizes) + self.gap * max(len(sizes) - 1, 0)
        return w, h

    def place(self, x, y, out):
        for item in self.items:
            item.place(x, y, out)
            y += item.measure()[1] + self.gap


class Group:
    """A group box (or, with cid None and no text, an etched-free plain box) around content."""

    def __init__(self, cid, text, content, width=None, height=None, pad=6, hidden=False):
        self.box = Control("group", cid if cid is not None else -1, text, hidden=hidden)
        self.content, self.width, self.height, self.pad = content, width, height, pad

    def measure(self):
        cw, ch = self.content.measure()
        w = cw + 2 * self.pad
        h = ch + self.pad + 11
        if self.width is not None:
            w = max(w, self.width)
        if self.height is not None:
            h = max(h, self.height)
        return w, h

    def place(self, x, y, out):
        w, h = self.measure()
        self.box.w, self.box.h = w, h
        out.append((self.box, x, y))
        self.content.place(x + self.pad, y + 11, out)


class At:
    """An item at a fixed offset from the template's top-left corner, outside the flow."""

    def __init__(self, x, y, item):
        self.x, self.y, self.item = x, y, item


class Stack:
    """Items drawn at the same spot (controls that replace one another)."""

    def __init__(self, *items):
        self.items = [i for i in items if i is not None]

    def measure(self):
        sizes = [i.measure() for i in self.items]
        return max(s[0] for s in sizes), max(s[1] for s in sizes)

    def place(self, x, y, out):
        for n, item in enumerate(self.items):
            first = len(out)
            item.place(x, y, out)
            if n > 0:  # later items take the place of the first one: no overlap between them
                for c, _, _ in out[first:]:
                    c.overlay = True


PAGE_STYLE = DS_SETFONT | DS_3DLOOK | WS_CHILD | WS_DISABLED | WS_CAPTION
DIALOG_STYLE = DS_SETFONT | DS_3DLOOK | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU


class Dialog:
    def __init__(self, tid, caption, body, page=False, width=None, height=None, extra=(), margin=7):
        self.id, self.caption, self.body, self.page = tid, caption, body, page
        self.width, self.height, self.extra, self.margin = width, height, list(extra), margin

    def layout(self):
        placed = []
        self.body.place(self.margin, self.margin, placed)
        bw, bh = self.body.measure()
        for at in self.extra:
            at.item.place(at.x, at.y, placed)
        w = self.width or bw + 2 * self.margin
        h = self.height or bh + 2 * self.margin
        return placed, w, h

    def controls(self):
        return [c for c, _, _ in self.layout()[0]]


def rc_quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '""') + '"'


def emit_dialog(d, font):
    placed, w, h = d.layout()
    style = PAGE_STYLE if d.page else DIALOG_STYLE
    lines = ["%d DIALOGEX 0, 0, %d, %d" % (d.id, w, h),
             "STYLE 0x%08X" % style,
             "CAPTION %s" % rc_quote(d.caption),
             "FONT 8, %s, 400, 0, 1" % rc_quote(font),
             "BEGIN"]
    for c, x, y in placed:
        ch = c.h
        layout_h = KINDS[c.kind][4]
        if layout_h is not None:
            ch = layout_h  # a drop-down list's height is that of its open list
        if c.id is None:
            cid = -1
        else:
            cid = c.id
        # The resource compiler ORs WS_CHILD | WS_VISIBLE into a control's style unless told NOT.
        style = "0x%08X" % c.style
        if not c.style & WS_VISIBLE:
            style += " | NOT WS_VISIBLE"
        lines.append("  CONTROL %s, %d, %s, %s, %d, %d, %d, %d" %
                     (rc_quote(c.text), cid, rc_quote(c.cls), style, x, y, c.w, ch))
    lines.append("END")
    return "\n".join(lines)


def check_dialog(d):
    """Every id once (except -1 and the statics that repeat 0xFFFF), inside the template, and no
    two visible controls overlapping unless one of them is a group box or frame."""
    placed, w, h = d.layout()
    seen = {}
    problems = []
    for c, x, y in placed:
        if c.id not in (-1, None):
            if c.id in seen:
                problems.append("template %d: id %d twice" % (d.id, c.id))
            seen[c.id] = c
        if x < 0 or y < 0 or x + c.w > w or y + c.h > h:
            problems.append("template %d: control %d (%d,%d %dx%d) outside %dx%d" %
                            (d.id, c.id, x, y, c.w, c.h, w, h))
    boxes = [(c, x, y) for c, x, y in placed
             if c.kind not in ("group", "frame", "placeholder", "hiddenlist") and c.style & WS_VISIBLE]
    for i, (a, ax, ay) in enumerate(boxes):
        for b, bx, by in boxes[i + 1:]:
            if ax < bx + b.w and bx < ax + a.w and ay < by + b.h and by < ay + a.h:
                if getattr(a, "overlay", False) or getattr(b, "overlay", False):
                    continue
                problems.append("template %d: controls %d and %d overlap" % (d.id, a.id, b.id))
    return problems
