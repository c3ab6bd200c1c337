"""Small pictures of the driver options dialog's drive list and folder tree: drives 2-6 by kind
(3 a fixed drive) and folders 10 (a subfolder), 11 (an open ancestor) and 12 (the current
folder). Pure blue (0, 0, 255) is their transparent colour."""

import pictures as P

TRANSPARENT = (0, 0, 255)
FOLDER = (230, 190, 60)
FOLDER_DARK = (150, 110, 20)


def drive(kind):
    cv = P.Canvas(16, 12, TRANSPARENT)
    cv.fill(1, 3, 14, 9, P.GREY if kind != 3 else (170, 170, 170))
    cv.frame(1, 3, 14, 9, P.DARK)
    cv.fill(3, 6, 4, 7, P.GREEN if kind == 3 else P.RED)
    return cv


def folder(kind):
    cv = P.Canvas(16, 12, TRANSPARENT)
    cv.fill(1, 1, 6, 2, FOLDER_DARK)
    cv.fill(1, 2, 14, 10, FOLDER)
    cv.frame(1, 2, 14, 10, FOLDER_DARK)
    if kind == 11:    # open: a lighter front flap
        cv.fill(3, 5, 15, 10, (250, 225, 120))
        cv.frame(3, 5, 15, 10, FOLDER_DARK)
    elif kind == 12:  # current: an open folder with a sheet inside
        cv.fill(4, 3, 11, 7, P.WHITE)
        cv.fill(3, 6, 15, 10, (250, 225, 120))
        cv.frame(3, 6, 15, 10, FOLDER_DARK)
    return cv


def pictures():
    """id -> canvas."""
    out = {k: drive(k) for k in range(2, 7)}
    out.update({k: folder(k) for k in (10, 11, 12)})
    return out
