// The layout preview of the document pages: the picture of the sheet the job prints on, its
// orientation mark and the caption lines, and PreviewLayout, the geometry record whose paper
// extents (1/360 inch) and margins the three size routines fill.
//
//   layout_preview_geometry.cpp  paper records, extents, margin sets, orientation
//   layout_preview_paint.cpp     fonts, shared-palette pictures, painting
//   layout_preview_poster.cpp    the panels of a poster's preview
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/model/cfg_records.h"
#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

struct PreviewExtent {
  int32_t width;
  int32_t height;
};

struct PreviewMargins {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
  bool operator==(const PreviewMargins&) const = default;
};

inline constexpr int kPreviewCells = 16;

// Owned by the caller; nothing in it is freed. Rectangles in pixels of the preview control,
// extents in 1/360 inch, margins in the unit of the model's margin table. The size routines fill
// the extents and margins; a poster's preview (LayoutPosterPanels) fills control, paper_area,
// cells and printable; the pages' own preview paints from the control rectangle alone.
struct PreviewLayout {
  RECT control;     // a poster: the centred square of the control's client area
  RECT paper_area;  // a poster: the paper box the panels share
  PreviewExtent output_paper;
  PreviewExtent page;
  PreviewExtent document_paper;
  PreviewMargins output_margins;
  PreviewMargins printable_margins;
  PreviewMargins document_margins;
  RECT cells[kPreviewCells];             // a poster: its panels, row by row from the top left
  POINT page_outlines[kPreviewCells][6];  // page outline with one folded corner
  RECT printable[kPreviewCells];          // a poster: each panel's margin rectangle
  RECT page_slots[kPreviewCells];
  RECT image_rects[kPreviewCells];
};

// ---- Paper sizes ------------------------------------------------------------------------------

// Output paper extent and margins; 1, or 0 (nothing written) when the paper is not found.
int GetPreviewPaperSize(const PageParam& param, int32_t paper_id, PreviewLayout* layout);
// Page extent and printable margins; 1 (also for a pages-per-sheet code it does not serve,
// with nothing written), or 0 when the paper is not found.
int GetPreviewPrintableArea(const PageParam& param, int32_t paper_id, PreviewLayout* layout);
// Document paper extent and margins; 1, or 0 when the paper is not found.
int GetPreviewMargins(const PageParam& param, int32_t paper_id, PreviewLayout* layout);

// The plain rules behind the three routines.
enum class PreviewPart : uint8_t { kPaperSize, kPrintableArea, kMargins };
// A user paper's extent value in its unit (1: 0.1 mm, else 1/100 inch) as 1/360 inch; the
// custom size (0.1 mm) takes unit 1.
int32_t PreviewExtentFromUnit(int32_t value, int32_t unit);
// Margin option 1: left and right the larger of the two; kind 3 grows the top by bottom - 42
// (or takes the top as bottom when the bottom is below 42); other kinds take the larger of top
// and bottom for both.
PreviewMargins EvenPreviewMargins(PreviewMargins margins, uint16_t paper_kind);
// Whether extent and margins are stored as they are (else turned) for orientation o (1 portrait),
// pages-per-sheet code n and the paper's own extent; nothing is stored (answer empty) for the
// printable area under a code it does not serve.
enum class PreviewTurn : uint8_t { kAsTheyAre, kTurned, kNone };
PreviewTurn PreviewOrientation(PreviewPart part, int32_t orientation, int32_t pages_per_sheet, bool wide,
                               PreviewExtent extent);

// ---- Poster panels --------------------------------------------------------------------------------

// The panels of a poster (pages-per-sheet -1 to -4): -1, -2, -3 cut the page into a 2 x 2, 3 x 3
// or 4 x 4 grid; -4 into two panels, side by side on a wide page and one above the other
// otherwise. The picture of the preview is cut into tiles of the same grid.
struct PosterPanels {
  int count;          // 0: not a poster, or a paper without extent (nothing laid out)
  int columns, rows;
  bool elongated;     // the paper's longer side is 3 times its shorter one (after the cap)
};
PosterPanels PosterPanelsOf(int32_t pages_per_sheet, bool wide);

// Lays a poster's panels out over `client` (the preview control's client rectangle) from the
// output paper extent already in the layout: the centred square, the paper box (a paper longer
// than 3 times its width is shown as 3:1) and the panels, 5 pixels apart; each panel's margin
// rectangle is inset 2 at the sides, and at the top 4 with margin option 1, at the bottom 4,
// both 2 with margin option 2. Answers what was laid out (count 0: nothing).
PosterPanels LayoutPosterPanels(const RECT& client, int32_t pages_per_sheet, bool wide, uint32_t margin_options,
                                PreviewLayout* layout);
// The job's poster preview: the output paper's extent and page, the document paper's margins
// (each pair turned for two panels on a wide page), then the panels.
PosterPanels FillPosterPreviewLayout(const PageParam& param, const RECT& client, PreviewLayout* layout);
// The panel whose rectangle, moved by `origin`, holds the point; -1 when none does.
int PosterPanelAt(const PreviewLayout& layout, const PosterPanels& panels, POINT origin, POINT point);

// ---- Painting -----------------------------------------------------------------------------------

// Paints the preview control `control_id` of the dialog.
void PaintLayoutPreview(HWND dialog, PageParam* param, int control_id);
// The caption font (face string 8048, points string 8049) in the context's character set; the
// caller deletes it.
HFONT CreateCaptionFont(HDC dc, const PageParam& param, int weight, BOOL underline);
HFONT CreatePreviewFont(HDC dc, const PageParam& param);
// A 256-colour picture of the resource library through the sheet's shared palette (made from
// the first such picture); 1 with the bitmap, 0 for any other picture (no bitmap).
int LoadSharedPaletteBitmap(PageParam* param, int bitmap_id, HBITMAP* bitmap, HDC dc);

// The caption lines the preview draws above and below the paper picture, top to bottom.
struct PreviewCaptions {
  char paper[128];
  char second[128];   // source caption, or the scale percentage when scaled
  char third[128];    // the output paper's name when scaled
  bool scaled;
  char source[128];
  char cut[128];
  char mode_option[128];  // empty when the model has none
  char finish[128];
  char direction[128];
  char colour[128];
  char media[128];
};
void BuildPreviewCaptions(PageParam* param, PreviewCaptions* captions);
// The ids of the paper picture and of its orientation mark.
int PreviewPaperPictureId(PageParam* param);
int PreviewOrientationMarkId(PageParam* param);

}  // namespace kalimu::pages
