"""The string table of the resource set, by number. ENGLISH holds every string; GERMAN replaces the
ones the German library words differently (the built-in watermarks and a few captions)."""

ENGLISH = {
    # Paper names (the paper's id), source names (1500 + name code), media names (1100 + n, or
    # 4700 + n from 100), captions of media (1200 + v).
    1: "Letter", 8: "A3", 9: "A4", 11: "A5", 256: "User Defined", 300: "A4 (Borderless)",
    301: "Roll Paper 24 in",
    1501: "Sheet Feeder", 1502: "Manual Feed", 1503: "Roll Paper", 1504: "Roll Paper (Auto Cut)",
    1500: "Auto Select", 1505: "Rear Tray", 1520: "Front Feed", 1521: "Rear Feed", 1542: "Manual Feed (Front)",
    1101: "Plain Paper", 1102: "Photo Paper", 1103: "Matte Paper", 4805: "Canvas",
    **{1200 + v: t for v, t in enumerate(["Plain Paper", "Photo Paper", "Matte Paper", "Fine Art Paper",
                                          "Proofing Paper", "Glossy Film", "Canvas", "Backlight Film",
                                          "Synthetic Paper", "Banner", "Poster Board", "Coated Paper",
                                          "Semigloss Paper", "Luster Paper", "Velvet Paper", "Watercolour Paper",
                                          "Other"])},
    1250: " (Media Settings)",
    # Rendering methods, print quality, roll widths, LFP records, paper options.
    1300: "Standard", 1301: "Vivid", 1302: "Fine Gradation", 1303: "Photo", 1304: "Graphics",
    1350: "Standard", 1351: "Vivid", 1352: "Fine", 1353: "Photo",
    1400: "Draft", 1401: "Normal", 1402: "Fine", 1403: "Superfine", 1404: "Photo", 1405: "Best Photo",
    1406: "Max Quality",
    1450: "24 in (610 mm)", 1451: "36 in (914 mm)", 1452: "44 in (1118 mm)", 1453: "17 in (432 mm)",
    1454: "64 in (1626 mm)",
    1580: "Normal", 1581: "Thick Paper", 1582: "Thin Paper", 1583: "Board",
    # Preset names (1600 + n), the custom entry, slider end labels, correction modes and intents.
    **{1600 + n: t for n, t in enumerate(["Speed", "Normal", "Quality", "Photo", "Best Photo", "Text",
                                          "Graphics", "Poster", "Fine Art", "Proof", "CAD", "Draft",
                                          "Vivid Photo", "Soft Photo", "Black Text", "Presentation",
                                          "Banner", "Signage", "Canvas Print", "Economy"])},
    1650: "Custom Settings",
    1700: "Speed", 1701: "Fast", 1702: "Draft", 1710: "Quality", 1711: "Fine", 1712: "Best",
    1723: "Automatic", 1724: "Portrait", 1725: "Landscape", 1726: "People", 1727: "Night Scene",
    1728: "Sharp", 1729: "Soft Focus", 1759: "(none)",
    1770: "Perceptual", 1771: "Relative Colorimetric", 1772: "Saturation", 1773: "Absolute Colorimetric",
    1774: "Automatic (by media)",
    1880: "(none)",
    1900: "Left to Right", 1901: "Right to Left", 1902: "Top to Bottom",
    1910: "Left to Right, then Down", 1911: "Down, then Left to Right", 1912: "Right to Left, then Down",
    1913: "Down, then Right to Left",
    # Messages and captions of the pages.
    1280: "Media Information", 1281: "This media needs the take-up reel. Load the media before you print.",
    2035: "Colour Management", 2036: "The colour profiles of these settings are not installed.",
    2037: "The paper size does not fit the roll width.", 2039: "The paper source cannot print this size.",
    2049: "Support", 2050: "The support information could not be opened (error %d).",
    2051: "Support", 2052: "Open the support page on the Internet?",
    2198: "Ink Set", 2199: "The ink set of the printer has changed.",
    2234: "Automatic", 2235: "By Hand",
    2255: "Paper Feed", 2258: "Paper Source",
    2293: "Thick", 2294: "Standard", 2295: "Thin", 2296: "Choose how far the paper is lifted:",
    2297: "The program could not be started.",
    2438: "Watermark", 2439: "The watermark file is too large.",
    2515: "Status Monitor", 2516: "The status monitor will no longer be used for this printer. Continue?",
    3024: "Matte Black", 3025: "Photo Black",
    # Table messages (captions 5000-5004, texts 5010-5024) and the export/import rows.
    5000: "Printer Driver", 5001: "Paper Settings", 5002: "Layout Settings", 5003: "Print Quality",
    5004: "Ink",
    **{5010 + i: t for i, t in enumerate([
        "The settings were changed to fit the paper.", "The print quality was changed.",
        "The media type was changed.", "Change the settings to fit the paper?",
        "Use the recommended settings?", "The paper size was changed.", "The paper source was changed.",
        "The margins were changed.", "The layout was changed.", "The scaling was changed.",
        "The page order was changed.", "Change the print quality?", "The ink set was changed.",
        "Use the new ink set?", "The paper option was changed."])},
    5036: "Custom Settings Files (*.csf)\x00*.csf\x00All Files (*.*)\x00*.*\x00",
    5037: "Export", 5038: "Import", 5039: "The settings could not be written.",
    5040: "The settings were written.", 5041: "The settings could not be read.",
    5042: "The file belongs to another printer model.", 5043: "The file belongs to another driver.",
    5044: "The file was made for another ink set.", 5045: "There is not enough room for these settings.",
    5046: "\"%s\" cannot be imported.",
    # Settings messages and captions (8000-8160).
    # Layout preview captions: print direction by mode options 1 and 2 (8003-8005), mode option 4
    # (8006, 8007), colour mode (8008-8010, 8054, 8063, 8139), as the advanced dialog names them.
    8003: "High Speed", 8004: "Normal Speed", 8005: "Edge Smoothing", 8006: "Thick Paper",
    8007: "Standard Paper", 8008: "ICM", 8009: "Colour Controls", 8010: "Photo Enhance",
    8013: "The program could not be found.", 8014: "Utility",
    8017: "The list of custom settings is full.", 8018: "Custom Settings",
    8019: "Delete the selected entry?", 8020: "Custom Settings",
    8021: "An entry of this name exists. Overwrite it?", 8022: "Custom Settings",
    8024: "The layout does not fit the paper.", 8025: "Layout",
    8027: "This name is reserved for the new size.", 8028: "User Defined Paper",
    8029: "The list of user paper sizes is full.", 8030: "A paper of this name exists. Overwrite it?",
    8031: "Margins", 8032: "Maximum margins may lower the print quality at the edges.",
    8036: "Duplex", 8037: "Duplex printing needs sheets.", 8038: "The binding margin was changed.",
    8041: "The paper source cannot take this size. Choose the paper to print on:",
    8048: "Tahoma", 8049: "7", 8052: "The watermark picture is too large.",
    8053: "Duplex printing was switched off.",
    8054: "No Adjustment", 8055: "This media cannot be used with the paper source.", 8056: "Media",
    8063: "Black Enhance",
    8064: "Driver Version",
    8069: "Auto Cut", 8070: "No Cut", 8072: "Cut Sheet",
    8077: "Enter a value from 0 to %d.", 8079: "Printer Adjustment",
    8080: "Reading the adjustment values from the printer...",
    8087: "No Cut", 8088: "Auto Cut", 8089: "Cut Line", 8091: "Print the adjustment sheet and enter its values.",
    8092: "The values were read from the printer.",
    8093: "Check the media before you print.", 8094: "Check the media and the print mode before you print.",
    8095: "Load the paper before you print.", 8098: "The paper must be loaded by hand.", 8099: "Manual Feed",
    8101: "The paper source was changed.", 8102: "Cut at the End", 8103: "Cut per Page",
    8104: "This media needs special handling.", 8105: "Media", 8106: "This media is not recommended.",
    8109: "Colour", 8110: "Advanced Black", 8111: "Black", 8112: "Monochrome Photo",
    8114: "Neutral", 8115: "Cool", 8116: "Warm", 8117: "Sepia", 8118: "Custom",
    8121: "Colour",
    8137: "Load this media in the roll unit.", 8138: "This media needs a longer drying time.",
    8139: "Grey", 8140: "Standard", 8141: "Fast", 8142: "Fine", 8143: "Super Fine",
    8145: "Paper", 8146: "Source", 8147: "Media", 8148: "Mode",
    8150: "The ink set of the printer differs from the driver's.", 8151: "Ink Set",
    8152: "Standard", 8153: "Low", 8155: "Check the ink set before you print.", 8156: "High", 8157: "Highest",
    8162: "Host ICM", 8163: "Driver ICM (Basic)", 8164: "Driver ICM (Advanced)",
    **{8204 + i: t for i, t in enumerate(["Automatic", "Standard", "Low", "High", "Highest"])},
    **{8210 + i: t for i, t in enumerate(["Off", "Low", "Standard", "High"])},
    8254: "The platen gap option changes the head height.",
    # Watermark list dialog (the rest of its messages share ids with the settings above).
    2949: "BMP Files (*.bmp)\x00*.bmp\x00DIB Files (*.dib)\x00*.dib\x00All Files (*.*)\x00*.*\x00",
    8035: "Open Watermark Picture",
    8065: "This name belongs to a built-in watermark. Choose another name.",
    8066: "Enter a name for the watermark.", 8067: "Enter the watermark's text or picture file.",
    # Messages of the page helpers: scale notice, media ids, source captions and more captions.
    8033: "The scale was limited to the range the paper allows:", 8034: " %",
    8068: "Media ids: photo paper.", 8071: "Media ids: matte paper.", 8073: "Media ids: fine art paper.",
    8136: "Paper Loading", 2257: "Paper Source", 2259: "Roll Paper",
    1544: "Rear Tray", 1548: "Front Tray", 1549: "Roll Unit",
    # Ink names by ink index (3024 and 3025 above are the two blacks).
    **{3017 + i: t for i, t in enumerate(["Black", "Cyan", "Magenta", "Yellow", "Light Cyan", "Light Magenta",
                                          "Dark Yellow"])},
    **{3026 + i: t for i, t in enumerate(["Light Black", "Red", "Blue", "Clear", "Light Light Black"])},
    # Tooltips of the pages and dialogs.
    **{3000 + i: t for i, t in enumerate([
        "Choose the colour mode.", "Choose the print mode.", "Open the advanced settings.",
        "Choose the print quality.", "Choose the media type.", "Print without asking the status monitor.",
        "Choose the colour type.", "Reserved", "Choose the colour settings.", "Shows the printer's ink levels.",
        "Choose a preset.", "Choose the preset group.", "Move to choose between speed and quality.",
        "Save the current settings.", "Open the support page.", "Reserved", "Open the colour settings."])},
    3040: "Print silently.", 3041: "Choose the colour correction.", 3042: "Choose the print mode type.",
    3043: "Choose the black ink.", 3110: "Choose the rendering method.",
    **{3200 + i: f"Paper page tip {i}." for i in range(27)}, 3321: "Choose the paper thickness.",
    3219: "Choose the paper size; the roll options apply.", 3200: "Choose the paper size.",
    **{3300 + i: f"Start maintenance tool {i + 1}." for i in range(9)},
    **{3800 + i: f"Layout page tip {i}." for i in range(26)}, 3899: "Choose where the watermark stands.",
    **{3950 + i: f"Binding margin tip {i}." for i in range(7)},
    **{8600 + i: t for i, t in enumerate(["Darker (1.6)", "Dark (1.8)", "Normal (2.0)", "Light (2.2)",
                                          "Lighter (2.4)"])},
}

ENGLISH.update(__import__("strings_paper_layout").STRINGS)  # paper and layout pages
ENGLISH.update(__import__("strings_poster").STRINGS)  # poster panel dialog

# The strings that differ by language: the built-in watermarks (count, colour list, names, files).
LANGUAGE = {
    "english": {1830: "3", 1831: "ABF", 1840: "CONFIDENTIAL", 1841: "DRAFT",
                1842: "A watermark name longer than thirty-one characters",
                1860: "KVWM01.BMP", 1861: "KVWM02.BMP", 1862: "KVWM.03.BMP"},
    "german": {1830: "2", 1831: "RL", 1840: "VERTRAULICH", 1841: "ENTWURF",
               1860: "KVWMDE01.BMP", 1861: "KVWMDE02",
               8003: "Hohe Geschwindigkeit", 8004: "Normale Geschwindigkeit", 8064: "Treiberversion", 1650: "Benutzerdefiniert"},
}


def strings_for(language):
    table = dict(ENGLISH)
    table.update(LANGUAGE[language])
    return table
