// Handles, moves, resizing and rotation of the watermark on the preview.
#include "kalimu/watermark/pointer_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kalimu::watermark {
namespace {

constexpr double kSnap = 0.017453292519943295;  // 1 degree

PreviewPoint Corner(const WatermarkBox& b, int handle) {
  switch (handle) {
    case 0: return {b.right_top_x, b.right_top_y};
    case 1: return {b.right_bottom_x, b.right_bottom_y};
    case 2: return {b.left_bottom_x, b.left_bottom_y};
    default: return {b.left_top_x, b.left_top_y};
  }
}

}  // namespace

int32_t RoundTwentieth(int32_t v) {
  const int32_t q = v / 20, r = v % 20;
  if (r > 10) return q + 1;
  if (r < -10) return q - 1;
  return q;
}

std::array<HandlePolygon, 4> CreateCornerHandles(const WatermarkBox& box, double angle, bool mirrored) {
  const double theta = mirrored ? -angle : angle;
  const double c = std::cos(theta), s = std::sin(theta);
  std::array<PreviewPoint, 4> offsets = {{{-100, 100}, {-100, -100}, {100, -100}, {100, 100}}};
  std::array<HandlePolygon, 4> handles{};
  for (int h = 0; h < 4; ++h) {
    const PreviewPoint corner = Corner(box, h);
    for (int k = 0; k < 4; ++k) {
      const double ox = offsets[k].x, oy = offsets[k].y;
      handles[h][k] = {corner.x + RoundTwentieth(static_cast<int32_t>(ox * c)) - RoundTwentieth(static_cast<int32_t>(oy * s)),
                       corner.y + RoundTwentieth(static_cast<int32_t>(oy * c)) + RoundTwentieth(static_cast<int32_t>(ox * s))};
    }
    for (PreviewPoint& o : offsets) o = {-o.y, o.x};  // a quarter turn for the next corner
  }
  return handles;
}

WatermarkBox MoveBoxClamped(const WatermarkBox& at_button, int32_t dx, int32_t dy, const PixelRect& area) {
  auto axis = [](int32_t centre, int32_t delta, int32_t low, int32_t high) {
    const int64_t moved = int64_t{centre} + delta;
    if (moved <= low) return static_cast<int32_t>(low - centre);
    if (moved >= high) return static_cast<int32_t>(high - centre);
    return delta;
  };
  const int32_t mx = axis(at_button.centre_x, dx, area.left, area.right);
  const int32_t my = axis(at_button.centre_y, dy, area.top, area.bottom);
  WatermarkBox b = at_button;
  int32_t* xs[5] = {&b.left_top_x, &b.right_top_x, &b.left_bottom_x, &b.right_bottom_x, &b.centre_x};
  int32_t* ys[5] = {&b.left_top_y, &b.right_top_y, &b.left_bottom_y, &b.right_bottom_y, &b.centre_y};
  for (int i = 0; i < 5; ++i) *xs[i] += mx, *ys[i] += my;
  return b;
}

double ResizeBoxByCorner(BoxShape& shape, const WatermarkBox& at_button, int corner, int32_t dx, int32_t dy,
                         bool height_driven, bool mirrored, double maximum_size) {
  const int32_t w = shape.box_width, h = shape.box_height;
  if (w == 0 || h == 0) return shape.size;
  // The handle's neighbour across the box's width (0 and 3, 1 and 2), relative to the centre.
  const PreviewPoint far = Corner(at_button, 3 - corner);
  double f = far.x - at_button.centre_x, e = far.y - at_button.centre_y;
  if (!height_driven) f = -f, e = -e;
  const double phi = mirrored ? shape.angle : -shape.angle;
  const double g = std::cos(phi), l = std::sin(phi);
  double size = shape.size;
  if (height_driven) {
    const int32_t t = static_cast<int32_t>(std::fabs(l * (f + dx) + g * (e + dy)) * 2);
    shape.box_height = static_cast<int16_t>(t);
    shape.box_width = static_cast<int16_t>(w * 1000 / h * t / 1000);
    size = t * static_cast<int32_t>(size * 1000 / h) / 1000.0;
  } else {
    const int32_t u = static_cast<int32_t>(std::fabs(g * (f + dx) - l * (e + dy)) * 2);
    shape.box_width = static_cast<int16_t>(u);
    shape.box_height = static_cast<int16_t>(h * 1000 / w * u / 1000);
    size = u * (static_cast<int32_t>(size * 1000) / w) / 1000.0;
  }
  size = std::clamp(size, kMinimumSize, std::max(kMinimumSize, maximum_size));
  shape.size = size;
  return size;
}

double DragRotationAngle(PreviewPoint pointer, PreviewPoint button, PreviewPoint centre, bool mirrored) {
  const double px = pointer.x - centre.x, py = pointer.y - centre.y;
  const double sx = button.x - centre.x, sy = button.y - centre.y;
  const double d = std::sqrt(px * px + py * py), h = std::sqrt(sx * sx + sy * sy);
  if (d == 0 || h == 0) return 0;
  double a = std::acos(std::clamp((sx * px + sy * py) / (h * d), -1.0, 1.0));
  if (sx * py - sy * px < 0) a = -a;
  return mirrored ? -a : a;
}

double NormaliseAndSnapAngle(double angle) {
  constexpr double pi = std::numbers::pi;
  const double folded = std::acos(std::clamp(std::cos(angle), -1.0, 1.0));
  const double wrapped = std::fmod(angle, 2 * pi);
  const bool negative = (wrapped < 0 && wrapped >= -pi) || (wrapped > pi && wrapped < 2 * pi);
  double a = negative ? -folded : folded;
  for (double target : {0.0, pi / 2, -pi / 2, pi, -pi}) {
    if (std::fabs(a - target) < kSnap) a = target == -pi ? pi : target;
  }
  return a;
}

PreviewCursor ChoosePreviewCursor(bool on_handle, int hit_corner, bool in_box, bool in_preview, int mode,
                                  int button_state) {
  const PreviewCursor sizing = hit_corner % 2 == 0 ? PreviewCursor::kSizeNeSw : PreviewCursor::kSizeNwSe;
  const bool rotating = mode == 3 && button_state == 0;
  if (on_handle) {
    if (rotating) return PreviewCursor::kRotate;
    if (mode == 1 || mode == 2) return sizing;
    return PreviewCursor::kArrow;
  }
  if ((in_box || in_preview) && rotating) return PreviewCursor::kRotate;
  if (in_preview && mode == 2) return sizing;
  return PreviewCursor::kArrow;
}

}  // namespace kalimu::watermark
