// Geometry of the watermark edit dialog's preview: the paper and printable rectangles in
// preview pixels, the nine fixed positions and their codes, snapping, the box of a text or
// bitmap watermark, and the conversions between preview pixels and the page units an entry
// stores. Plain C++ over the fields of the dialog's state (the records it embeds).
#pragma once

#include <array>
#include <cstdint>

#include "kalimu/watermark/watermark_geometry.h"

namespace kalimu::watermark {

struct PreviewPoint {
  int32_t x, y;
};

// Where the page lies in the preview: the control's client size, the page extent and margins
// in the caller's unit, and whether the page is mirrored.
struct PreviewPage {
  int32_t client_width;
  int32_t client_height;
  PageExtent extent;
  PageMargins margins;
  bool mirrored;
};

// The paper in the preview: the page's aspect, 4 pixels inside the control on its limiting
// side, centred. Ratios in 64 bits (an extent of a long roll at 1440 dpi does not wrap).
PixelRect ComputePaperRect(const PreviewPage& page);
// The printable area inside it (ComputePrintableRect of the page's margins).
PixelRect ComputePreviewPrintableRect(const PreviewPage& page);
// sqrt(Aw^2 + Ah^2) of a printable rect.
double PrintableDiagonal(const PixelRect& area);

// Anchors of the fixed positions: cells 0-8 row by row, the corners, edge middles and centre.
std::array<PreviewPoint, 9> BuildPositionAnchors(const PixelRect& area);
inline constexpr int kFreePosition = 9;
// Cell of a position code (-1 for the free position and codes outside 0..9), and back.
int CellOfCode(int code, bool mirrored);
int CodeOfCell(int cell, bool mirrored);

// What sizes a watermark's box: the box itself, its unrotated size, size and angle, and the
// kind and style flags.
struct BoxShape {
  WatermarkBox box;
  int16_t box_width;   // unrotated width and height in preview pixels
  int16_t box_height;
  double size;         // percent of the printable diagonal
  double angle;        // radians, clockwise
  bool bitmap;
  bool stamp;
  bool frame;
};

// A bitmap's box from its 16-bit width word and height: the longer side D x size / 100, the
// other in proportion, axis-aligned around the centre. False (nothing changed) for a width or
// height of 0.
bool ComputeBitmapBox(BoxShape& shape, double diagonal, int32_t dib_width16, int32_t dib_height);
// A text's box from its fitted extent in the text buffer of side S: (D / S) x size / 100 of the
// extent plus 2; 0 x 0 for an empty text. The corners follow the angle (negated when mirrored).
void UpdateTextBoxSize(BoxShape& shape, double diagonal, int32_t buffer_side, double text_width, double text_height,
                       bool empty_text, bool mirrored);
// The box's corners at its centre, as the kind draws them.
void ComputeShapeCorners(BoxShape& shape, double diagonal, int32_t dib_width16, int32_t dib_height, bool mirrored);

// Places the box at a fixed cell: touching the printable edges the cell names and centred on
// the others. Answers the position code of the cell.
int SnapToPosition(BoxShape& shape, int cell, const std::array<PreviewPoint, 9>& anchors, double diagonal,
                   int32_t dib_width16, int32_t dib_height, bool mirrored);

// Bounding rectangle of the box's four corners.
PixelRect BoxBounds(const WatermarkBox& box);

// The box in 1/10000 of the printable rect (zeros when it has no width or height). On a mirrored
// page the stored box is the unmirrored one.
EntryBox BoxToPageUnits(const BoxShape& shape, const PixelRect& area, double diagonal, int32_t dib_width16,
                        int32_t dib_height, bool mirrored);
// The centre (and for a bitmap the box size) from an entry's page units, each rounded to the
// nearest pixel; for text the caller then sizes the box (UpdateTextBoxSize).
void BoxFromPageUnits(BoxShape& shape, const EntryBox& units, const PixelRect& area, bool mirrored);
// The size of an entry whose page box is not empty: for bitmaps and stamps its larger side over
// the diagonal; for text through the text's shape measured at height 200 (width with two average
// character widths, height). 0 when the area or the measurement is empty.
double SizeFromEntryBox(const BoxShape& shape, int32_t box_width, int32_t box_height, const PixelRect& area,
                        double measured_width, double measured_height);
// The size stored in an entry: the box width or height in percent of the printable width or
// height, whichever limits.
double EntrySizePercent(int32_t box_width, int32_t box_height, const PixelRect& area);
bool IsSameBox(const WatermarkBox& a, const WatermarkBox& b);

// Degrees shown for an angle: v = int(angle x 18000 / pi), v / 100 rounded half away from zero.
// The degrees field, the angle edit and the track bar (degrees + 180) all take this one.
int32_t DegreesOfAngle(double angle);

}  // namespace kalimu::watermark
