// Geometry of watermarks on the page: the printable rectangle in preview pixels, a rotated
// box's corners, the box of a new list entry and the size of a thumbnail. Plain C++.
#pragma once

#include <cstdint>
#include <type_traits>

namespace kalimu::watermark {

struct PixelRect {
  int32_t left, top, right, bottom;
};
// The page in the caller's unit, and the distances of the printable area from its edges.
struct PageExtent {
  int32_t width, height;
};
struct PageMargins {
  int32_t left, top, right, bottom;
};

// Corners and centre of a watermark in preview pixels, in the stored order. The names refer to
// the unrotated rectangle; after rotation they keep their roles.
struct WatermarkBox {
  int32_t left_top_x, left_top_y;
  int32_t right_top_x, right_top_y;
  int32_t left_bottom_x, left_bottom_y;
  int32_t right_bottom_x, right_bottom_y;
  int32_t centre_x, centre_y;
};
static_assert(sizeof(WatermarkBox) == 40 && std::is_trivially_copyable_v<WatermarkBox>);

// A box's place in 1/10000 of the printable area's width (left, right) and height (top,
// bottom), from its left-top corner.
struct EntryBox {
  int32_t left, top, right, bottom;
};

// The printable area inside `paper` (pixels) for a page extent and margins in one unit: the
// margins scaled by paper pixels per unit; the paper itself when the extent has a zero side.
// Intermediate products in 64 bits.
PixelRect ComputePrintableRect(PageExtent extent, PixelRect paper, PageMargins margins);

// Places the corners of a w x h box rotated by `angle` (radians, clockwise on screen; negated
// on a mirrored page) around the box's centre.
void ComputeRotatedBox(WatermarkBox& box, double width, double height, double angle, bool mirrored);

// The box of a watermark added in the list dialog: centred, half the printable area on its
// limiting side, with the bitmap's aspect kept (bw = 5000 g / f when the bitmap is relatively
// taller than the area, f = its height / width and g = the area's; else bh = 5000 f / g).
// All zeros when the bitmap or the area has no width or height.
EntryBox ComputeNewEntryBox(PageExtent extent, PageMargins margins, int32_t dib_width, int32_t dib_height);

// A thumbnail's sides: 128 on the longer side of the source, the other in proportion (integer
// division), never below 1.
struct ThumbnailSize {
  int32_t width, height;
};
inline constexpr int32_t kThumbnailSide = 128;
ThumbnailSize ThumbnailSizeFor(int32_t source_width, int32_t source_height);

}  // namespace kalimu::watermark
