// Fonts of text watermarks: the fitted font height, the font enumeration callbacks, the face
// list of the edit dialog and the default font of a new watermark.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kalimu::watermark {

// Fits the record's font height so that the text's rotated box (lfEscapement, tenths of a
// degree) has the given diagonal in pixels of the DC, starting from fixed_height when it is 1
// or more. Outputs: the rotated box's width and height, the text width (with two average
// character widths) and height. Answers the fitted height; 0 with four zero outputs for an
// empty or unmeasurable text, or when a step would make the height zero or less. lfHeight is
// used as working space and set back to the value passed in.
int FitTextFontHeight(HDC dc, LOGFONTA* font, int fixed_height, int diagonal, double* width, double* height,
                      double* text_width, double* text_height, const char* text);

// Records of the enumeration callbacks (EnumFontFamiliesA, lParam = the record's address).
struct FontCounts {
  int raster;
  int other;
  int true_type;
};
// A face array of fixed capacity: faces beyond it are counted as missed, never written.
struct FontCollection {
  LOGFONTA* faces;
  int capacity;
  int count;
  int missed;
};
int CALLBACK CountFontsProc(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM record);
int CALLBACK CollectTrueTypeFontProc(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM record);
int CALLBACK CollectScalableFontProc(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM record);
int CALLBACK IsTrueTypeProc(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM record);
int CALLBACK IsRasterProc(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM record);

// The screen's character set and the first TrueType face of that set (empty when none):
// writes lfCharSet and lfFaceName only.
void GetDefaultFaceName(LOGFONTA* font);

// The font block of a new list-dialog entry: text entries height -200, escapement 300,
// weight 400, TrueType preferred, proof quality; bitmap entries zeros and draft quality; both
// with the default face. The entry's 92-byte font block holds the LOGFONTA first.
LOGFONTA MakeDefaultWatermarkFont(bool bitmap_entry);

// The face list of the edit dialog: every non-raster face, one LOGFONTA each, in enumeration
// order.
struct WatermarkFontList {
  std::vector<LOGFONTA> faces;
};
// Rebuilds the list and fills combo box `combo_id` of the dialog with its face names (item
// data = list index); face_name (MAX_PATH) takes the text of combo item 0.
void FillFontCombo(HWND dialog, int combo_id, WatermarkFontList* list, char* face_name);

}  // namespace kalimu::watermark
