// Geometry rules of the job layout record. Lengths of the capability tables are 1/360 inch; the
// record holds device dots.
#include "kalimu/driver/job_layout_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace kalimu::driver {
namespace {

constexpr uint32_t kSourceNoMarginCompare = 0x20000;  // paper-source word 8
constexpr uint32_t kMediaRollExtra = 0x200000;        // media word 8
constexpr int32_t kSnapTolerance = 42;                // 1/360 inch
constexpr int32_t kRollExtra = 156;                   // 1/360 inch
constexpr int32_t kSheetEdge = 142;                   // 1/360 inch
constexpr int32_t kShortPaperLimit = 1500;            // 0.1 mm
constexpr int32_t kCustomPaperId = model::kCustomPaperId;
constexpr int32_t kFirstUserPaperId = 768;

}  // namespace

int32_t ToDots(int32_t v, uint32_t resolution) {
  return static_cast<int32_t>((static_cast<int64_t>(v) * static_cast<int32_t>(resolution) + 180) / 360);
}

bool IsOneOf(uint32_t value, std::initializer_list<uint32_t> list) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

JobLayoutGeometry::JobLayoutGeometry(settings::JobSettings& settings) : s_(settings) {
  s_.GetDeviceResolution(&resolution_);
  layout_flags_ = s_.GetLayoutFlags();
  source_ = static_cast<int16_t>(s_.GetPaperSourceIndex());
  s_.GetPaperSizeCount(&paper_count_);
  // The output paper: the first paper allowed at the source with the output paper's id, else
  // the last paper record.
  const uint32_t mask = s_.GetSourceMask();
  const auto wanted = static_cast<int32_t>(s_.GetOutputPaperSize());
  output_index_ = paper_count_ > 0 ? static_cast<uint16_t>(paper_count_ - 1) : 0;
  for (uint32_t i = 0; i < paper_count_; ++i) {
    int32_t id = 0;
    if (s_.TestPaperFlags(static_cast<int16_t>(i), mask) && s_.GetPaperSizeId(static_cast<uint16_t>(i), &id) &&
        id == wanted) {
      output_index_ = static_cast<uint16_t>(i);
      break;
    }
  }
}

model::CapTable2Record JobLayoutGeometry::MarginRecordAt(int32_t number) {
  model::CapTable2Record record{};
  if (number >= 0) s_.GetTable2Record(static_cast<uint16_t>(number), &record, sizeof(record));
  return record;
}

model::CapTable2Record JobLayoutGeometry::MarginRecord(uint32_t selector) {
  int32_t number = -1;
  if (selector == kPaperValue32Selector) {
    s_.GetPaperSizeValue32(output_index_, &number);
  } else {
    s_.GetPaperFeedValue(&number, output_index_, 1);
  }
  return MarginRecordAt(number);
}

model::CapTable2Record JobLayoutGeometry::ScaledMarginRecord(uint32_t selector) {
  model::CapTable2Record r = MarginRecord(selector);
  return {ToDots(r.left, xres()), ToDots(r.top, xres()), ToDots(r.right, xres()), ToDots(r.bottom, xres())};
}

model::CapTable2Record JobLayoutGeometry::RollMarginRecord() {
  if (!HasFlag24(4) || !RollLayout()) return {};
  int32_t number = -1;
  s_.GetPaperSizeValue44(output_index_, &number);
  model::CapTable2Record r = MarginRecordAt(number);
  return {ToDots(r.left, xres()), ToDots(r.top, xres()), ToDots(r.right, xres()), ToDots(r.bottom, xres())};
}

int32_t JobLayoutGeometry::EdgeX() {
  const bool listed = IsOneOf(layout_flags_, {0x40, 0x41, 0x280, 0x380, 0x381, 0x680, 0x780, 0x781, 0xA80, 0xB80, 0xB81}) ||
                      (LargeFormat() && IsOneOf(layout_flags_, {0x1280, 0x1380, 0x1381, 0x4040, 0x4380, 0x4780,
                                                                0x4B80, 0x5380}));
  if (!listed) return 0;
  const model::CapTable2Record r = FeedMarginRecord();
  return ToDots(r.left + r.right, xres());
}

int32_t JobLayoutGeometry::EdgeY() {
  const bool large = LargeFormat();
  if (IsOneOf(layout_flags_, {0x40, 0x41, 0x380, 0x381, 0x780, 0x781}) ||
      (large && IsOneOf(layout_flags_, {0xB80, 0xB81, 0x1380, 0x1381}))) {
    const model::CapTable2Record r = FeedMarginRecord();
    return ToDots(r.top + r.bottom, yres());
  }
  if (!large && IsOneOf(layout_flags_, {0xB80, 0x4B80})) return -ToDots(kSheetEdge, yres());
  return 0;
}

PrintableExtents JobLayoutGeometry::Printable() {
  settings::ExtentPair paper{};
  settings::EdgeValues m{};
  settings::EdgeValues a{};
  s_.GetPaperDotExtent(&paper);
  s_.GetPaperMargins(&m);
  s_.GetMarginAdditions(&a);
  const int32_t width = paper.width - (m.right - a.right) - (m.left - a.left);
  const int32_t height = paper.height - (m.bottom - a.bottom) - (m.top - a.top);
  PrintableExtents e{width, height, width, height};
  if (LargeFormat() && RollLayout()) return e;

  if (s_.TestMarginOptionBits(2) && !s_.TestPaperSourceFlags8(source_, kSourceNoMarginCompare)) {
    int32_t n30 = -1;
    int32_t n28 = -1;
    s_.GetPaperSizeValue30(output_index_, &n30);
    s_.GetPaperSizeValue28(output_index_, &n28);
    const int32_t d = MarginRecordAt(n28).bottom - MarginRecordAt(n30).bottom;
    if (d > 0) e.height_a -= ToDots(d, yres());
  }
  const int32_t edge_y = EdgeY();
  e.height_a -= edge_y;
  if (HasFlag20(0x40000) && RollLayout()) {
    int32_t n32 = -1;
    int32_t n42 = -1;
    s_.GetPaperSizeValue32(output_index_, &n32);
    s_.GetPaperSizeValue42(output_index_, &n42);
    e.height_a += ToDots(MarginRecordAt(n32).top - MarginRecordAt(n42).bottom, xres());
  }
  if (IsOneOf(layout_flags_, {0x380, 0x381, 0x780, 0x781, 0xB80, 0xB81, 0x1380, 0x1381})) e.height_b -= edge_y;
  return e;
}

bool JobLayoutGeometry::PaperAllowedAtSource(uint16_t index, int32_t* id, int32_t* width) {
  if (!s_.TestPaperFlags(static_cast<int16_t>(index), s_.GetSourceMask())) return false;
  if (!s_.GetPaperSizeId(index, id) || *id == kCustomPaperId) return false;
  settings::ExtentPair extent{};
  s_.GetPaperSizeExtent(index, &extent, sizeof(extent));
  *width = extent.width;
  return true;
}

void JobLayoutGeometry::SnapCustomWidth(PrintableExtents& e) {
  if (LargeFormat() || !(s_.TestPaperOptionBits(8) || s_.TestLayoutOptionBits(4))) return;
  const int32_t paper = s_.GetPaperSize();
  uint32_t user_papers = 0;
  s_.GetPaperCount(&user_papers);
  if (paper != kCustomPaperId &&
      !(paper >= kFirstUserPaperId && paper <= kFirstUserPaperId + static_cast<int32_t>(user_papers))) {
    return;
  }
  const model::CapTable2Record r = FeedMarginRecord();
  const int32_t m = ToDots(r.left + r.right, xres());
  const int32_t w = e.width_a - m;
  const int32_t tolerance = ToDots(kSnapTolerance, xres());
  for (uint32_t i = 0; i < paper_count_; ++i) {
    int32_t id = 0;
    int32_t width = 0;
    if (PaperAllowedAtSource(static_cast<uint16_t>(i), &id, &width) &&
        std::abs(ToDots(width, xres()) - w) <= tolerance) {
      return;
    }
  }
  e.width_a -= m / 2 + tolerance;
  e.width_b -= m / 2 + tolerance;
}

void JobLayoutGeometry::TrimRoll(PrintableExtents& e) {
  if (!LargeFormat()) return;
  const bool media_extra =
      s_.TestMediaTypeFlags8(static_cast<int16_t>(s_.GetCurrentMediaIndex()), kMediaRollExtra) != 0;
  int32_t d = 0;
  if (IsOneOf(layout_flags_, {0x40, 0x41})) {
    const model::CapTable2Record own = FeedMarginRecord();
    const model::CapTable2Record named = MarginRecord(kPaperValue32Selector);
    d = own.top + own.bottom + named.top + named.bottom;
    d = ToDots(media_extra ? d + kRollExtra : d, yres());
  } else if (layout_flags_ == 0x4040) {
    d = media_extra && s_.TestMarginOptionBits(2) ? ToDots(kRollExtra, yres()) : 0;
  }
  e.height_a -= d;
  e.height_b -= d;
}

void JobLayoutGeometry::ClampToSource(PrintableExtents& e) {
  int32_t limit = 0;
  s_.GetPaperSourceValue48(static_cast<uint16_t>(source_), &limit);
  const int32_t max_width = ToDots(limit, xres());
  e.width_b = std::min(e.width_b, max_width);
  e.width_a = std::min(e.width_a, max_width);
}

int32_t JobLayoutGeometry::TopMargin() {
  if (RollLayout()) return HasFlag24(4) ? RollMarginRecord().top : ScaledMarginRecord(kPaperValue32Selector).top;
  settings::EdgeValues m{};
  s_.GetPaperMargins(&m);
  return s_.IsRotated180() ? m.bottom : m.top;
}

int32_t JobLayoutGeometry::OutputPaperId() {
  int32_t id = s_.GetOutputPaperSize();
  uint32_t capacity = 0;
  s_.GetUserPaperCapacity(&capacity);
  if (id >= kFirstUserPaperId && id <= kFirstUserPaperId + static_cast<int32_t>(capacity)) id = kCustomPaperId;
  if (id != kCustomPaperId) return id;
  if (!LargeFormat() && s_.TestPaperOptionBits(1)) {
    // The nearest model paper by width, in 0.1 mm.
    int32_t c = s_.GetPaperWidth();
    if (IsOneOf(layout_flags_, {0x280, 0x680, 0xA80, 0x1280})) {
      const model::CapTable2Record r = FeedMarginRecord();
      c -= ((r.left + r.right) * 254 + 180) / 360;
    }
    int32_t nearest = kCustomPaperId;
    int32_t best = INT32_MAX;
    for (uint32_t i = 0; i < paper_count_; ++i) {
      int32_t paper_id = 0;
      int32_t width = 0;
      if (!PaperAllowedAtSource(static_cast<uint16_t>(i), &paper_id, &width)) continue;
      const int32_t distance = std::abs(static_cast<int32_t>((static_cast<int64_t>(width) * 254 + 180) / 360) - c);
      if (distance < best) {
        best = distance;
        nearest = paper_id;
      }
    }
    return nearest;
  }
  if (yres() == 0) return kCustomPaperId;
  const int64_t height_01mm = static_cast<int64_t>(s_.GetPaperDotHeight()) * 254 / static_cast<int32_t>(yres());
  return height_01mm <= kShortPaperLimit ? kFirstUserPaperId : kCustomPaperId;
}

int32_t JobLayoutGeometry::RollLeftMargin() {
  if (!IsOneOf(layout_flags_, {0x40, 0x41, 0x280, 0x380, 0x381, 0x680, 0x780, 0x781, 0xA80, 0xB80, 0xB81, 0x1280,
                               0x1380, 0x1381, 0x4040, 0x4380, 0x4780, 0x4B80, 0x5380})) {
    return 0;
  }
  if (HasFlag24(4)) {
    int32_t number = -1;
    s_.GetPaperSizeValue44(output_index_, &number);
    return MarginRecordAt(number).left;
  }
  return MarginRecord(kPaperValue32Selector).left;
}

}  // namespace kalimu::driver
