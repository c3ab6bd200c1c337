// The layout decisions of the page geometry: the layout flag word and the scaling formula it
// selects, the binding offsets, the margins of a paper on the current source and the size of the
// watermark box.
#include <algorithm>
#include <cstdint>

#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {
namespace {

constexpr uint32_t kModelLargeFormat = 0x200;  // model header word 28
constexpr int32_t kCustomMarginUnit = 1;       // CustomPaperUnit 1: 0.1 mm

// Layout flag words and the formula each selects; any other word falls back to the device
// resolution and an empty image.
enum class Formula { kPlainFit, kPercent, kHalfFit, kHalfPercent, kGridA, kGridB, kFit, kBindingFit,
                     kBindingPercent, kCover };
struct FormulaRow {
  uint16_t flags;
  Formula formula;
};
constexpr FormulaRow kFormulaRows[] = {
    {0, Formula::kPlainFit},      {1, Formula::kPlainFit},      {128, Formula::kPlainFit},
    {384, Formula::kPlainFit},    {640, Formula::kPlainFit},    {1152, Formula::kPlainFit},
    {1408, Formula::kPlainFit},   {1664, Formula::kPlainFit},   {2176, Formula::kPlainFit},
    {2432, Formula::kPlainFit},   {2688, Formula::kPlainFit},   {4224, Formula::kPlainFit},
    {4480, Formula::kPlainFit},   {4736, Formula::kPlainFit},   {16448, Formula::kPlainFit},
    {17280, Formula::kPlainFit},  {18304, Formula::kPlainFit},  {19328, Formula::kPlainFit},
    {21376, Formula::kPlainFit},  {2, Formula::kPercent},       {18, Formula::kPercent},
    {8210, Formula::kPercent},    {4, Formula::kHalfFit},       {5, Formula::kHalfFit},
    {20, Formula::kHalfFit},      {21, Formula::kHalfFit},      {8212, Formula::kHalfFit},
    {8213, Formula::kHalfFit},    {6, Formula::kHalfPercent},   {22, Formula::kHalfPercent},
    {8214, Formula::kHalfPercent}, {8, Formula::kGridA},        {9, Formula::kGridA},
    {10, Formula::kGridB},        {16, Formula::kFit},          {17, Formula::kFit},
    {8208, Formula::kFit},        {8209, Formula::kFit},        {32, Formula::kBindingFit},
    {33, Formula::kBindingFit},   {8224, Formula::kBindingFit}, {8225, Formula::kBindingFit},
    {34, Formula::kBindingPercent}, {8226, Formula::kBindingPercent}, {64, Formula::kCover},
    {65, Formula::kCover},        {896, Formula::kCover},       {897, Formula::kCover},
    {1920, Formula::kCover},      {1921, Formula::kCover},      {2944, Formula::kCover},
    {2945, Formula::kCover},      {4992, Formula::kCover},      {4993, Formula::kCover}};

// The cut bits of the flag word from the CutOptions word.
uint16_t CutBits(uint32_t cut) {
  if (!(cut & 1) || (cut & 8 && cut & 2)) return 0;
  if (cut & 8) return 0x1000;
  if (cut & 2) return 0x800;
  return 0x400;
}

}  // namespace

uint16_t JobSettings::GetLayoutFlags() {
  uint32_t f = 0;
  if (TestScalingOptionBits(1)) f = TestScalingOptionBits(2) ? 1 : 2;
  const int32_t pages = GetPagesPerSheet();
  if (pages != 1) f |= pages < 1 ? 8 : 4;
  if (IsDuplexWithoutOption1()) {
    f |= 0x10;
    if (TestDuplexOptionBits(4)) f |= 0x2010;
  } else if (IsDuplexWithOption1()) {
    f |= 0x20;
  }
  const uint32_t paper = GetPaperOptions();
  const bool feed_auto = GetPaperFeedAuto() != 0;
  const bool large_format = TestModelHeaderFlags28(kModelLargeFormat) != 0;
  if (large_format) {
    if ((paper & 8) && !(paper & 1) && !(paper & 0x80)) f |= feed_auto ? 0x4040 : 0x40;
    if (f & 0x40) return static_cast<uint16_t>(f);
    if (!(((paper & 1) && !(paper & 0x80)) || (paper & 8))) return static_cast<uint16_t>(f);
  } else {
    if (TestLayoutOptionBits(4)) f |= 0x40;
    if (!(paper & (1 | 8))) return static_cast<uint16_t>(f);
  }
  f |= 0x80;
  if (!(paper & 0x100)) f |= 0x100;
  if (paper & 8) f |= 0x200;
  if (large_format && (f & 0x100) && (f & 0x200) && feed_auto) f |= 0x4000;
  f |= CutBits(GetCutOptions());
  return static_cast<uint16_t>(f);
}

int JobSettings::ComputeLayoutScale(const ExtentPair& page, const ExtentPair& area, const ExtentPair& extra,
                                    ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair device{};
  GetDeviceResolution(&device);
  const uint16_t flags = GetLayoutFlags();
  const FormulaRow* row = std::find_if(std::begin(kFormulaRows), std::end(kFormulaRows),
                                       [flags](const FormulaRow& r) { return r.flags == flags; });
  // Settings without a page, an area or a resolution have nothing to scale.
  if (row == std::end(kFormulaRows) || page.width <= 0 || page.height <= 0 || area.width <= 0 ||
      area.height <= 0 || device.x == 0 || device.y == 0) {
    *scale = device;
    *size = {0, 0};
    return row == std::end(kFormulaRows) ? 1 : 0;
  }
  switch (row->formula) {
    case Formula::kPlainFit: {
      const int64_t pw = page.width, ph = page.height, rx = device.x, ry = device.y;
      const int64_t s = std::min(area.width * rx / pw, area.height * ry / ph);
      *scale = {static_cast<uint32_t>(s), static_cast<uint32_t>(s)};
      *size = {static_cast<int32_t>((rx / 2 + s * pw) / rx), static_cast<int32_t>((ph * s + ry / 2) / ry)};
      break;
    }
    case Formula::kPercent: ComputeScaleByPercent(page, area, extra, scale, size); break;
    case Formula::kHalfFit: ComputeHalfSheetFit(page, area, extra, scale, size); break;
    case Formula::kHalfPercent: ComputeHalfSheetPercent(page, area, extra, scale, size); break;
    case Formula::kGridA: ComputePageGridA(page, area, extra, scale, size); break;
    case Formula::kGridB: ComputePageGridB(page, area, extra, scale, size); break;
    case Formula::kFit: ComputeScaleToFit(page, area, extra, scale, size); break;
    case Formula::kBindingFit: ComputeBindingFit(page, area, extra, scale, size); break;
    case Formula::kBindingPercent: ComputeBindingPercent(page, area, extra, scale, size); break;
    case Formula::kCover: ComputeScaleToCover(page, area, extra, scale, size); break;
  }
  return 1;
}

void JobSettings::GetWatermarkRect() {
  ExtentPair extent{};
  EdgeValues margins{};
  GetOutputExtent(&extent);
  GetOutputMargins(&margins);
  const int64_t across = int64_t{extent.width} - margins.right - margins.left;
  const int64_t down = int64_t{extent.height} - margins.bottom - margins.top;
  const bool landscape = GetOrientation() == DMORIENT_LANDSCAPE;
  const int64_t c = landscape ? down : across;
  const int64_t d = landscape ? across : down;
  UpdateWatermarkAspectRatio();
  DevModeWatermarkSettings watermark{};
  GetWatermarkSettings(&watermark);
  const int64_t a = watermark.WatermarkAspect;
  const int64_t z = watermark.WatermarkSize;
  // An empty printable area or an unknown bitmap shape gives a square box of the chosen size.
  if (c <= 0 || d <= 0 || a <= 0) {
    ComputeWatermarkPosition(static_cast<int32_t>(z * 100), static_cast<int32_t>(z * 100));
    return;
  }
  int64_t f = 0;
  int64_t g = 0;
  if (a < static_cast<int16_t>(c * 100 / d)) {
    g = z * 100;
    f = a * (g * d / c) / 100;
  } else {
    f = z * 100;
    g = f * c / d * 100 / a;
  }
  ComputeWatermarkPosition(static_cast<int32_t>(f), static_cast<int32_t>(g));
}

void JobSettings::GetBindingOffsets(const ExtentPair& page, EdgeValues* margins, EdgeValues* out) {
  *out = {};
  if (!IsDuplexWithoutOption1()) return;
  const int32_t binding = GetBindingMargin360();
  bool portrait = GetOrientation() == DMORIENT_PORTRAIT;
  if (GetPagesPerSheet() == 2 && int64_t{page.width} - margins->right - margins->left <
                                     int64_t{page.height} - margins->bottom - margins->top) {
    portrait = !portrait;
  }
  int32_t EdgeValues::*side = &EdgeValues::left;
  switch (GetBindingEdge()) {
    case 0: side = portrait ? &EdgeValues::left : &EdgeValues::top; break;
    case 1: side = portrait ? &EdgeValues::right : &EdgeValues::bottom; break;
    case 2: side = portrait ? &EdgeValues::top : &EdgeValues::right; break;
    default: break;
  }
  if (margins->*side < binding) {
    out->*side = binding - margins->*side;
    margins->*side = binding;
  }
}

int JobSettings::GetPaperMarginsForSource(EdgeValues* out, int32_t paper_id, uint16_t /*source_index*/) {
  *out = {};
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(paper_id, &kind);
  model::PaperSizeRecord record{};
  if (kind == kModelPaper && paper_id != model::kCustomPaperId) {
    GetPaperSizeRecord(index, &record, sizeof(record));
    GetSourceMarginRecord(record, out);
    GetOutputPaperMargins(record.width, record.source_flags, out);
    return record.kind == 3 ? 1 : 0;
  }
  int custom_kind = kNoPaper;
  const uint16_t custom = FindPaperById(model::kCustomPaperId, &custom_kind);
  model::PaperSizeRecord custom_record{};
  if (custom_kind == kModelPaper) GetPaperSizeRecord(custom, &custom_record, sizeof(custom_record));
  if (kind == kUserPaper) {
    GetPaperEntry(index, &record, sizeof(record));  // the entry starts with a paper record
    const bool millimetre = (record.value4 & 1) != 0;
    const int64_t width = record.width;
    GetSourceMarginRecord(record, out);
    GetOutputPaperMargins(static_cast<int32_t>(millimetre ? (width * 360 + 127) / 254 : (width * 360 + 50) / 100),
                          custom_kind == kModelPaper ? custom_record.source_flags : 0, out);
    return 0;
  }
  if (custom_kind != kModelPaper) return 0;
  GetSourceMarginRecord(custom_record, out);
  const int64_t width = GetCustomPaperWidth();
  GetOutputPaperMargins(static_cast<int32_t>(GetCustomPaperUnit() == kCustomMarginUnit ? (width * 360 + 127) / 254
                                                                                        : (width * 360 + 50) / 100),
                        custom_record.source_flags, out);
  return 0;
}

}  // namespace kalimu::settings
