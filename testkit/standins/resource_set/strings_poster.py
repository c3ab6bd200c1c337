"""Strings of the poster panel dialog: its tooltips."""

STRINGS = {
    3940: "Click a panel in the picture to leave it out of the print; click it again to print it.",
    3941: "Grey panels are left out of the print.",
    3942: "The page cut into the poster's panels.",
    3943: "Print guides for joining the panels.",
    3944: "Print overlapping edges to paste the panels together.",
    3945: "Print cut lines between the panels.",
}
