// Watermark geometry: printable rectangle, rotated boxes, new-entry boxes, thumbnail sides.
#include "kalimu/watermark/watermark_geometry.h"

#include <algorithm>
#include <cmath>

namespace kalimu::watermark {

PixelRect ComputePrintableRect(PageExtent extent, PixelRect paper, PageMargins margins) {
  if (extent.width == 0 || extent.height == 0) return paper;
  const int64_t pw = int64_t{paper.right} - paper.left;
  const int64_t ph = int64_t{paper.bottom} - paper.top;
  auto scaled = [](int64_t margin, int64_t extent_side, int64_t pixels) {
    return (margin * 10000 / extent_side) * pixels / 10000;
  };
  auto narrow = [](int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  return {narrow(paper.left + scaled(margins.left, extent.width, pw)),
          narrow(paper.top + scaled(margins.top, extent.height, ph)),
          narrow(paper.right - scaled(margins.right, extent.width, pw)),
          narrow(paper.bottom - scaled(margins.bottom, extent.height, ph))};
}

void ComputeRotatedBox(WatermarkBox& box, double width, double height, double angle, bool mirrored) {
  const double hw = static_cast<int32_t>(width) / 2;
  const double hh = static_cast<int32_t>(height) / 2;
  const double theta = mirrored ? -angle : angle;
  const double c = std::cos(theta), s = std::sin(theta);
  const double cx = box.centre_x, cy = box.centre_y;
  auto place = [&](double ox, double oy, int32_t& x, int32_t& y) {
    x = static_cast<int32_t>(cx + (ox * c - oy * s));
    y = static_cast<int32_t>(cy + (oy * c + ox * s));
  };
  place(hw, -hh, box.right_top_x, box.right_top_y);
  place(-hw, -hh, box.left_top_x, box.left_top_y);
  place(-hw, hh, box.left_bottom_x, box.left_bottom_y);
  place(hw, hh, box.right_bottom_x, box.right_bottom_y);
}

EntryBox ComputeNewEntryBox(PageExtent extent, PageMargins margins, int32_t dib_width, int32_t dib_height) {
  const PixelRect area = ComputePrintableRect(extent, {0, 0, extent.width, extent.height}, margins);
  const double area_width = static_cast<double>(area.right) - area.left;
  const double area_height = static_cast<double>(area.bottom) - area.top;
  if (dib_width <= 0 || dib_height == 0 || area_width <= 0 || area_height <= 0) return {};
  const double f = std::fabs(static_cast<double>(dib_height)) / dib_width;
  const double g = area_height / area_width;
  double bw = 5000, bh = 5000;
  if (f > g) {
    bw = 5000 * g / f;
  } else {
    bh = 5000 * f / g;
  }
  EntryBox box;
  box.top = static_cast<int32_t>(5000 - bh * 0.5);
  box.left = static_cast<int32_t>(5000 - bw * 0.5);
  box.right = static_cast<int32_t>(bw) + box.left;
  box.bottom = static_cast<int32_t>(bh) + box.top;
  return box;
}

ThumbnailSize ThumbnailSizeFor(int32_t source_width, int32_t source_height) {
  const int64_t w = std::max<int64_t>(std::llabs(source_width), 1);
  const int64_t h = std::max<int64_t>(std::llabs(source_height), 1);
  ThumbnailSize size;
  if (w > h) {
    size = {kThumbnailSide, static_cast<int32_t>(h * kThumbnailSide / w)};
  } else {
    size = {static_cast<int32_t>(w * kThumbnailSide / h), kThumbnailSide};
  }
  size.width = std::max(size.width, 1);
  size.height = std::max(size.height, 1);
  return size;
}

}  // namespace kalimu::watermark
