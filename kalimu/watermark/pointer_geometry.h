// Geometry of placing a watermark with the pointer: the corner handles, moving within the
// printable area, resizing about the centre, and the rotation drag's angle with its snapping.
// Plain C++; the dialog turns the answers into regions, cursors and redraws.
#pragma once

#include <array>
#include <cstdint>

#include "kalimu/watermark/preview_geometry.h"

namespace kalimu::watermark {

// Handles 0 right-top, 1 right-bottom, 2 left-bottom, 3 left-top: squares of side 10 around the
// corners, turned with the box (the angle negated on a mirrored page).
using HandlePolygon = std::array<PreviewPoint, 4>;
std::array<HandlePolygon, 4> CreateCornerHandles(const WatermarkBox& box, double angle, bool mirrored);
// v / 20 rounded to nearest, an exact half (remainder +-10) toward zero.
int32_t RoundTwentieth(int32_t v);

// The box at button moved by (dx, dy), its centre kept on the printable rect (an axis at or
// beyond an edge stops at that edge, the corners keeping their offsets).
WatermarkBox MoveBoxClamped(const WatermarkBox& at_button, int32_t dx, int32_t dy, const PixelRect& area);

// Resizing by dragging handle `corner` by (dx, dy) about the unchanged centre, proportions kept:
// height-driven when the text is at least as tall as wide. The new size, clamped to
// [5, maximum]; the box width and height are set. Nothing changes for a box of no width or height.
double ResizeBoxByCorner(BoxShape& shape, const WatermarkBox& at_button, int corner, int32_t dx, int32_t dy,
                         bool height_driven, bool mirrored, double maximum_size);
inline constexpr double kMinimumSize = 5;

// The angle the pointer turned about the centre since the press: 0 when either vector is empty;
// the acos argument clamped to [-1, 1]; negative when turned counter-clockwise on screen, negated
// once more on a mirrored page.
double DragRotationAngle(PreviewPoint pointer, PreviewPoint button, PreviewPoint centre, bool mirrored);
// An angle folded into [-pi, pi] and snapped to 0, +-90 or 180 degrees within 1 degree.
double NormaliseAndSnapAngle(double angle);

enum class PreviewCursor { kArrow, kRotate, kSizeNeSw, kSizeNwSe };
// The pointer shape: on a handle, in the box, in the preview, by mode and button state.
PreviewCursor ChoosePreviewCursor(bool on_handle, int hit_corner, bool in_box, bool in_preview, int mode,
                                  int button_state);

}  // namespace kalimu::watermark
