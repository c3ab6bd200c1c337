// Preview geometry of the watermark edit dialog.
#include "kalimu/watermark/preview_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kalimu::watermark {
namespace {

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// a / b rounded to the nearest integer, halves away from zero; b > 0.
int64_t RoundDiv(int64_t a, int64_t b) {
  const int64_t q = a / b, r = a % b;
  if (2 * r >= b) return q + 1;
  if (2 * r <= -b) return q - 1;
  return q;
}

constexpr int kCodeToCell[2][10] = {{4, 0, 1, 2, 3, 5, 6, 7, 8, -1}, {4, 2, 1, 0, 5, 3, 8, 7, 6, -1}};
constexpr int kCellToCode[2][9] = {{1, 2, 3, 4, 0, 5, 6, 7, 8}, {3, 2, 1, 5, 0, 4, 8, 7, 6}};

}  // namespace

PixelRect ComputePaperRect(const PreviewPage& page) {
  const int64_t w = page.client_width, h = page.client_height;
  const int64_t a = w != 0 ? h * 1000 / w : -1;
  const int64_t c = page.extent.width != 0 ? int64_t{page.extent.height} * 1000 / page.extent.width : -1;
  int64_t pw, ph;
  if (c < a || c <= 0) {
    pw = w - 8;
    ph = c > 0 ? c * pw / 1000 : 0;
  } else {
    ph = h - 8;
    pw = (h - 8) * 1000 / c;
  }
  const int64_t left = (w - pw) / 2, top = (h - ph) / 2;
  return {Clamp32(left), Clamp32(top), Clamp32(left + pw), Clamp32(top + ph)};
}

PixelRect ComputePreviewPrintableRect(const PreviewPage& page) {
  return ComputePrintableRect(page.extent, ComputePaperRect(page), page.margins);
}

double PrintableDiagonal(const PixelRect& area) {
  const double w = static_cast<double>(area.right) - area.left, h = static_cast<double>(area.bottom) - area.top;
  return std::sqrt(w * w + h * h);
}

std::array<PreviewPoint, 9> BuildPositionAnchors(const PixelRect& area) {
  const int32_t step_x = static_cast<int16_t>((area.right - area.left) / 2);
  const int32_t step_y = static_cast<int16_t>((area.bottom - area.top) / 2);
  std::array<PreviewPoint, 9> anchors{};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) anchors[r * 3 + c] = {area.left + c * step_x, area.top + r * step_y};
  }
  return anchors;
}

int CellOfCode(int code, bool mirrored) { return code < 0 || code > 9 ? -1 : kCodeToCell[mirrored][code]; }
int CodeOfCell(int cell, bool mirrored) { return cell < 0 || cell > 8 ? kFreePosition : kCellToCode[mirrored][cell]; }

bool ComputeBitmapBox(BoxShape& shape, double diagonal, int32_t dib_width16, int32_t dib_height) {
  const int32_t bw = static_cast<int16_t>(dib_width16);
  const int32_t bh = static_cast<int16_t>(dib_height < 0 ? -dib_height : dib_height);
  if (bw <= 0 || bh <= 0) return false;
  const int32_t r = bh * 100 / bw;
  const int32_t side = static_cast<int32_t>(diagonal * shape.size / 100);
  int32_t width, height;
  if (bh > bw) {
    height = side;
    width = r != 0 ? height * 100 / r : 0;
  } else {
    width = side;
    height = r * width / 100;
  }
  shape.box_width = static_cast<int16_t>(width);
  shape.box_height = static_cast<int16_t>(height);
  WatermarkBox& b = shape.box;
  const int32_t left = b.centre_x - width / 2, right = b.centre_x + width / 2;
  const int32_t top = b.centre_y - height / 2, bottom = b.centre_y + height / 2;
  b.right_top_x = right, b.right_top_y = top;
  b.left_top_x = left, b.left_top_y = top;
  b.left_bottom_x = left, b.left_bottom_y = bottom;
  b.right_bottom_x = right, b.right_bottom_y = bottom;
  return true;
}

void UpdateTextBoxSize(BoxShape& shape, double diagonal, int32_t buffer_side, double text_width, double text_height,
                       bool empty_text, bool mirrored) {
  if (empty_text || shape.bitmap || buffer_side <= 0) {
    shape.box_width = shape.box_height = 0;
  } else {
    const double e = (diagonal / buffer_side) * shape.size / 100;
    shape.box_width = static_cast<int16_t>(static_cast<int32_t>(e * text_width) + 2);
    shape.box_height = static_cast<int16_t>(static_cast<int32_t>(e * text_height) + 2);
  }
  ComputeRotatedBox(shape.box, shape.box_width, shape.box_height, shape.angle, mirrored);
}

void ComputeShapeCorners(BoxShape& shape, double diagonal, int32_t dib_width16, int32_t dib_height, bool mirrored) {
  if (shape.bitmap) {
    ComputeBitmapBox(shape, diagonal, dib_width16, dib_height);
  } else {
    ComputeRotatedBox(shape.box, shape.box_width, shape.box_height, shape.angle, mirrored);
  }
}

PixelRect BoxBounds(const WatermarkBox& b) {
  const int32_t xs[4] = {b.left_top_x, b.right_top_x, b.left_bottom_x, b.right_bottom_x};
  const int32_t ys[4] = {b.left_top_y, b.right_top_y, b.left_bottom_y, b.right_bottom_y};
  return {*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4), *std::max_element(xs, xs + 4),
          *std::max_element(ys, ys + 4)};
}

int SnapToPosition(BoxShape& shape, int cell, const std::array<PreviewPoint, 9>& anchors, double diagonal,
                   int32_t dib_width16, int32_t dib_height, bool mirrored) {
  if (cell < 0 || cell > 8) return kFreePosition;
  ComputeShapeCorners(shape, diagonal, dib_width16, dib_height, mirrored);
  int32_t hx, hy;
  if (shape.stamp) {
    hx = hy = static_cast<int32_t>(diagonal * shape.size / 100) / 2;
  } else {
    const PixelRect bounds = BoxBounds(shape.box);
    hx = shape.box.centre_x - bounds.left;
    hy = shape.box.centre_y - bounds.top;
    if (shape.frame) {
      const int32_t pen = static_cast<int32_t>(shape.size * 10 / 100);
      hx += pen / 2;
      hy += pen / 2;
    }
  }
  const int column = cell % 3 == 0 ? 1 : cell % 3 == 2 ? -1 : 0;
  const int row = cell / 3 == 0 ? 1 : cell / 3 == 2 ? -1 : 0;
  shape.box.centre_x = anchors[cell].x + hx * column;
  shape.box.centre_y = anchors[cell].y + hy * row;
  ComputeShapeCorners(shape, diagonal, dib_width16, dib_height, mirrored);
  return CodeOfCell(cell, mirrored);
}

EntryBox BoxToPageUnits(const BoxShape& shape, const PixelRect& area, double diagonal, int32_t dib_width16,
                        int32_t dib_height, bool mirrored) {
  const int64_t aw = int64_t{area.right} - area.left, ah = int64_t{area.bottom} - area.top;
  if (aw <= 0 || ah <= 0) return {};
  BoxShape unmirrored = shape;
  if (mirrored) {
    unmirrored.box.centre_x = Clamp32(2 * (area.left + aw / 2) - shape.box.centre_x);
    ComputeShapeCorners(unmirrored, diagonal, dib_width16, dib_height, false);
  }
  PixelRect rect;
  if (shape.stamp) {
    const int32_t half = static_cast<int32_t>(diagonal * shape.size / 100) / 2;
    rect = {unmirrored.box.centre_x - half, unmirrored.box.centre_y - half, unmirrored.box.centre_x + half,
            unmirrored.box.centre_y + half};
  } else {
    rect = BoxBounds(unmirrored.box);
  }
  return {Clamp32((rect.left - area.left) * 10000 / aw), Clamp32((rect.top - area.top) * 10000 / ah),
          Clamp32((rect.right - area.left) * 10000 / aw), Clamp32((rect.bottom - area.top) * 10000 / ah)};
}

void BoxFromPageUnits(BoxShape& shape, const EntryBox& units, const PixelRect& area, bool mirrored) {
  const int64_t aw = int64_t{area.right} - area.left, ah = int64_t{area.bottom} - area.top;
  const double half_w = static_cast<double>(int64_t{units.right} - units.left) * aw / 20000.0;
  const double half_h = static_cast<double>(int64_t{units.bottom} - units.top) * ah / 20000.0;
  int64_t cx = static_cast<int64_t>(half_w + static_cast<double>(area.left + RoundDiv(int64_t{units.left} * aw, 10000)));
  const int64_t cy = static_cast<int64_t>(half_h + static_cast<double>(area.top + RoundDiv(int64_t{units.top} * ah, 10000)));
  if (mirrored) cx = (aw / 2) * 2 + 2 * int64_t{area.left} - cx;
  shape.box.centre_x = Clamp32(cx);
  shape.box.centre_y = Clamp32(cy);
  if (shape.bitmap) {
    shape.box_width = static_cast<int16_t>((int64_t{units.right} - units.left) * aw / 10000);
    shape.box_height = static_cast<int16_t>((int64_t{units.bottom} - units.top) * ah / 10000);
  }
}

double SizeFromEntryBox(const BoxShape& shape, int32_t box_width, int32_t box_height, const PixelRect& area,
                        double measured_width, double measured_height) {
  const double diagonal = PrintableDiagonal(area);
  if (diagonal <= 0) return 0;
  const double e = static_cast<double>(box_width) * (static_cast<double>(area.right) - area.left) / 10000;
  const double d = static_cast<double>(box_height) * (static_cast<double>(area.bottom) - area.top) / 10000;
  const double m = std::max(e, d);
  if (shape.bitmap || shape.stamp) return m / diagonal * 100;
  if (measured_width <= 0) return 0;
  const double v = measured_height / measured_width;
  const double w = std::sqrt(v * v + 1);
  const double s = std::fabs(std::sin(shape.angle)), c = std::fabs(std::cos(shape.angle));
  const double across = e > d ? s * v + c : c * v + s;
  if (across <= 0) return 0;
  return m * w / across * 100 / diagonal;
}

double EntrySizePercent(int32_t box_width, int32_t box_height, const PixelRect& area) {
  const int64_t aw = int64_t{area.right} - area.left, ah = int64_t{area.bottom} - area.top;
  if (aw <= 0 || ah <= 0) return 0;
  const int64_t c = int64_t{box_height} * ah / 10000, e = int64_t{box_width} * aw / 10000;
  const double ratio = c > 0 && e > 0 ? static_cast<double>(c) / e : 1;
  return static_cast<double>(ah) / aw > ratio ? box_width / 100.0 : box_height / 100.0;
}

bool IsSameBox(const WatermarkBox& a, const WatermarkBox& b) {
  return a.left_top_x == b.left_top_x && a.left_top_y == b.left_top_y && a.right_top_x == b.right_top_x &&
         a.right_top_y == b.right_top_y && a.left_bottom_x == b.left_bottom_x && a.left_bottom_y == b.left_bottom_y &&
         a.right_bottom_x == b.right_bottom_x && a.right_bottom_y == b.right_bottom_y && a.centre_x == b.centre_x &&
         a.centre_y == b.centre_y;
}

int32_t DegreesOfAngle(double angle) {
  const double raw = angle * 18000 / std::numbers::pi;
  if (!(std::fabs(raw) < 1e9)) return 0;
  const int32_t v = static_cast<int32_t>(raw);
  const int32_t remainder = v % 100;
  return v / 100 + (remainder >= 50 ? 1 : remainder <= -50 ? -1 : 0);
}

}  // namespace kalimu::watermark
