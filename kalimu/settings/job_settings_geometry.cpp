// Page geometry: paper sizes and printable margins in 1/360 inch, their conversion to device
// dots, the scaling formulas and the geometry fields of the device mode. Products of lengths and
// resolutions are taken in 64 bits: a long roll at a fine resolution exceeds 32 bits.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "kalimu/platform/driver_file.h"
#include "kalimu/platform/resource_library.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/length_units.h"

namespace kalimu::settings {
namespace {

constexpr int32_t kFirstUserPaperId = 768;
constexpr uint32_t kModelLargeFormat = 0x200;  // model header word 28
constexpr uint32_t kModelRollWidth = 0x300;    // model header word 28: the roll record sets the width
constexpr uint32_t kSourceCutter = 0x80000;    // source capability word
constexpr int32_t kRollSourceId = 530;
constexpr int32_t kKindThreeBottom = 42;       // 1/360 inch kept at the bottom of a kind-3 paper
constexpr int32_t kMaxScalePercent = 650;
constexpr int32_t kMinScalePercent = 10;
constexpr uint16_t kFirstWatermarkBitmapId = 16001;

constexpr uint16_t kWidthExtensionFlags[] = {0x280, 0x680, 0xA80, 0x1280, 0x4040, 0x4380, 0x4780, 0x4B80, 0x5380};
constexpr uint16_t kFullExtensionFlags[] = {0x40, 0x41, 0x380, 0x381, 0x780, 0x781, 0xB80, 0xB81, 0x1380, 0x1381};
// Flag words whose scaled right and bottom margins are left at 0.
constexpr uint16_t kNoScaledFarMargins[] = {6, 22, 33, 34};
// Flag words whose scale percentage is measured against a fitted copy of the settings.
constexpr uint16_t kPercentFromFittedCopy[] = {4, 5, 8, 9, 20, 21, 24, 25, 32, 33};

template <size_t N>
bool IsOneOf(uint16_t value, const uint16_t (&set)[N]) {
  return std::find(std::begin(set), std::end(set), value) != std::end(set);
}

int32_t ToDots(int64_t v, int64_t resolution) { return static_cast<int32_t>(v * resolution / 360); }
int32_t Nearest(int64_t x, int64_t y) { return y == 0 ? 0 : static_cast<int32_t>((x + y / 2) / y); }
uint32_t AsResolution(int64_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v); }

}  // namespace

int JobSettings::GetPaperSize360(int32_t paper_id, ExtentPair* out, int selector) {
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  uint16_t k = static_cast<uint16_t>(GetPaperSizeIndex());
  const uint16_t last = static_cast<uint16_t>(count == 0 ? 0 : count - 1);
  bool found = false;
  int kind = kNoPaper;
  if (paper_id == model::kCustomPaperId) {
    const uint16_t index = FindPaperById(paper_id, &kind);
    if (kind == kModelPaper) {
      k = index;
      ExtentPair custom{};
      GetCustomPaperSize(&custom);
      *out = GetCustomPaperUnit() == 1 ? ExtentPair{From01mmTo360(custom.width), From01mmTo360(custom.height)}
                                       : ExtentPair{FromInch100To360(custom.width), FromInch100To360(custom.height)};
      found = true;
    }
  } else if (paper_id < kFirstUserPaperId) {
    const uint16_t index = FindPaperById(paper_id, &kind);
    if (kind == kModelPaper) {
      GetPaperSizeExtent(index, out, sizeof(*out));
      if (TestModelHeaderFlags28(kModelLargeFormat)) k = index;
      found = true;
    }
  } else {
    const uint16_t index = FindPaperById(paper_id, &kind);
    if (kind == kUserPaper) {
      ExtentPair extent{};
      GetPaperExtent(index, &extent, sizeof(extent));
      *out = TestPaperFlags4(index, 1) ? ExtentPair{From01mmTo360(extent.width), From01mmTo360(extent.height)}
                                       : ExtentPair{FromInch100To360(extent.width), FromInch100To360(extent.height)};
      k = last;
      found = true;
    }
  }
  if (!found) {
    ExtentPair custom{};
    GetCustomPaperSize(&custom);
    *out = {From01mmTo360(custom.width), From01mmTo360(custom.height)};
    k = last;
  }
  const model::CapTable2Record extension = PaperExtension(k, 1);
  const uint16_t flags = GetLayoutFlags();
  if (IsOneOf(flags, kWidthExtensionFlags)) {
    out->width += extension.left + extension.right;
  }
  if (selector == kOutputPaper && IsOneOf(flags, kFullExtensionFlags)) {
    out->width += extension.left + extension.right;
    out->height += extension.top + extension.bottom;
  }
  return 1;
}

model::CapTable2Record JobSettings::PaperExtension(uint16_t paper_index, int model_paper) {
  model::CapTable2Record extension{};
  int32_t feed = -1;
  GetPaperFeedValue(&feed, paper_index, model_paper);
  if (feed >= 0) GetTable2Record(static_cast<uint16_t>(feed), &extension, sizeof(extension));
  return extension;
}

void JobSettings::GetSourceMarginRecord(const model::PaperSizeRecord& record, EdgeValues* out) {
  const uint32_t paper = GetPaperOptions();
  const bool second = TestMarginOptionBits(2) || (paper & 0x80);
  const int16_t index = record.margin_index[second ? 1 : 0];
  model::CapTable2Record margins{};
  if (index >= 0) GetTable2Record(static_cast<uint16_t>(index), &margins, sizeof(margins));
  *out = {margins.left, margins.top, margins.right, margins.bottom};
  if ((paper & 8) || TestLayoutOptionBits(4)) out->left = out->right = 0;
  bool no_top_bottom = false;
  if (!TestModelHeaderFlags28(kModelLargeFormat)) {
    no_top_bottom = (paper & 1) || TestLayoutOptionBits(4);
  } else {
    const bool feed_auto = GetPaperFeedAuto() != 0;
    const bool cutter = TestPaperSourceFlags8(static_cast<int16_t>(GetPaperSourceIndex()), kSourceCutter) != 0;
    no_top_bottom = ((paper & 8) && !feed_auto) || ((paper & 8) && (paper & 0x80)) || ((paper & 1) && !cutter) ||
                    (TestLayoutOptionBits(4) && !feed_auto);
  }
  if (no_top_bottom) out->top = out->bottom = 0;
}

void JobSettings::GetOutputPaperMargins(int32_t width, uint32_t source_mask, EdgeValues* margins) {
  int kind = kNoPaper;
  const uint16_t paper = FindPaperById(static_cast<int32_t>(GetOutputPaperSize()), &kind);
  const model::CapTable2Record extension =
      kind == kNoPaper ? model::CapTable2Record{} : PaperExtension(paper, kind == kModelPaper ? 1 : 0);
  uint16_t source = 0;
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  int64_t limit = 0;
  uint32_t s = count;
  if (LocateSource(GetDefaultSource(), &source)) {
    s = source;
    int32_t value = 0;
    if (GetDefaultSource() == kRollSourceId && TestModelHeaderFlags28(kModelRollWidth) && TestPaperOptionBits(4)) {
      GetLfpValue4(static_cast<uint16_t>(GetLfpIndex()), &value);
    } else {
      GetPaperSourceValue48(source, &value);
    }
    limit = value;
    if (TestPaperOptionBits(8) || TestLayoutOptionBits(4)) limit += int64_t{extension.left} + extension.right;
  }
  const bool has_bit = s < 16 && (source_mask & (1u << (2 * s))) != 0;
  if (has_bit && limit < int64_t{width} - margins->left - margins->right) {
    margins->right = static_cast<int32_t>(width - margins->left - limit);
  }
}

int32_t JobSettings::GetPrintableMargins(EdgeValues* margins, int32_t paper_id, int selector) {
  const int kind_three = GetPaperMarginsForSource(margins, paper_id, static_cast<uint16_t>(GetPaperSourceIndex()));
  int32_t balance = 0;
  if (TestMarginOptionBits(1) || (selector == kOutputPaper && IsDuplexWithOption1()) || IsDuplexWithOption4()) {
    balance = margins->right - margins->left;
    margins->left = margins->right = std::max(margins->left, margins->right);
    if (kind_three) {
      if (margins->bottom >= kKindThreeBottom) {
        margins->top += margins->bottom - kKindThreeBottom;
      } else {
        margins->bottom = margins->top;
      }
    } else {
      margins->top = margins->bottom = std::max(margins->top, margins->bottom);
    }
  }
  if (IsRotated180()) {
    std::swap(margins->left, margins->right);
    std::swap(margins->top, margins->bottom);
  }
  return balance;
}

void JobSettings::GetPaperGeometry(ExtentPair* size, EdgeValues* margins, EdgeValues* additions, int32_t* balance,
                                   int selector) {
  *balance = 0;
  *margins = {};
  *additions = {};
  if (selector == kNoPaperSelected) return;
  int32_t paper = 0;
  if (selector != kDocumentPaper) {
    paper = static_cast<int32_t>(GetOutputPaperSize());
    GetPaperSize360(paper, size, selector);
  } else {
    paper = GetPaperSize();
    GetPaperSize360(paper, size, kDocumentPaper);
    if (TestScalingOptionBits(2 | 8) && GetPagesPerSheet() > 0) return;
  }
  *balance = GetPrintableMargins(margins, paper, selector);
  GetBindingOffsets(*size, margins, additions);
}

int32_t JobSettings::GetBindingMargin360() const {
  const int64_t margin = GetBindingMargin();
  return static_cast<int32_t>(IsBindingUnitInch() ? margin * 360 / 100 : margin * 360 / 254);
}

uint32_t JobSettings::GetPaperKind() {
  uint32_t count = 0;
  uint32_t users = 0;
  GetPaperSizeCount(&count);
  GetPaperCount(&users);
  const int32_t index = GetPaperSizeIndex();
  uint32_t kind = 0;
  if (index >= 0 && static_cast<uint32_t>(index) < count) {
    GetPaperSizeValue6(static_cast<uint16_t>(index), &kind);
  } else if (index >= 0 && static_cast<uint32_t>(index) - count < users) {
    GetPaperValue6(static_cast<uint16_t>(index - count), &kind);
  } else {
    int found = kNoPaper;
    const uint16_t custom = FindPaperById(model::kCustomPaperId, &found);
    if (found == kModelPaper) GetPaperSizeValue6(custom, &kind);
  }
  return kind;
}

uint32_t JobSettings::GetOutputPaperKind() {
  int found = kNoPaper;
  const uint16_t index = FindPaperById(static_cast<int32_t>(GetOutputPaperSize()), &found);
  uint32_t kind = 0;
  if (found == kModelPaper) GetPaperSizeValue6(index, &kind);
  if (found == kUserPaper) GetPaperValue6(index, &kind);
  return kind;
}

int JobSettings::ComputePaperMetrics(ExtentPair* size, EdgeValues* margins, EdgeValues* additions, int32_t* balance,
                                     int selector) {
  ExtentPair paper{};
  GetPaperGeometry(&paper, margins, additions, balance, selector);
  ResolutionPair device{};
  GetDeviceResolution(&device);
  const int64_t rx = device.x;
  const int64_t ry = device.y;
  *size = {ToDots(paper.width, rx), ToDots(paper.height, ry)};
  for (EdgeValues* edges : {margins, additions}) {
    *edges = {ToDots(edges->left, rx), ToDots(edges->top, ry), ToDots(edges->right, rx), ToDots(edges->bottom, ry)};
  }
  *balance = ToDots(*balance, ry);
  return 1;
}

int JobSettings::ComputePageLayout(PageLayout* out) {
  PageLayout& l = *out;
  l = {};
  EdgeValues unused_additions{};
  int32_t unused_balance = 0;
  ComputePaperMetrics(&l.document_size, &l.document_margins, &unused_additions, &unused_balance, kDocumentPaper);
  const ExtentPair page{l.document_size.width - l.document_margins.right - l.document_margins.left,
                        l.document_size.height - l.document_margins.bottom - l.document_margins.top};
  ComputePaperMetrics(&l.output_size, &l.output_margins, &l.margin_additions, &l.margin_balance, kOutputPaper);
  const ExtentPair area{l.output_size.width - l.output_margins.right - l.output_margins.left,
                        l.output_size.height - l.output_margins.bottom - l.output_margins.top};
  ComputeLayoutScale(page, area, l.output_size, &l.render, &l.image);
  ResolutionPair device{};
  GetDeviceResolution(&device);
  if (l.render.x == device.x && l.render.y == device.y) {
    l.scaled_size = l.document_size;
    l.scaled_margins = l.document_margins;
    return 1;
  }
  const int64_t rx = device.x == 0 ? 1 : device.x;
  const int64_t ry = device.y == 0 ? 1 : device.y;
  l.scaled_size = {static_cast<int32_t>(l.document_size.width * int64_t{l.render.x} / rx),
                   static_cast<int32_t>(l.document_size.height * int64_t{l.render.y} / ry)};
  l.scaled_margins.left = Nearest(l.document_margins.left * int64_t{l.render.x}, rx);
  l.scaled_margins.top = Nearest(l.document_margins.top * int64_t{l.render.y}, ry);
  if (IsOneOf(GetLayoutFlags(), kNoScaledFarMargins)) {
    l.scaled_margins.right = l.scaled_margins.bottom = 0;
  } else {
    l.scaled_margins.right = std::max(0, l.scaled_size.width - l.image.width - l.scaled_margins.left);
    l.scaled_margins.bottom = std::max(0, l.scaled_size.height - l.image.height - l.scaled_margins.top);
  }
  return 1;
}

void JobSettings::ModeResolution(uint32_t* h, uint32_t* v) {
  int32_t pair = 0;
  GetPrintModeValue32(GetCurrentModeIndex(), &pair);
  *h = static_cast<uint32_t>(pair) & 0xFFFF;
  *v = static_cast<uint32_t>(pair) >> 16;
  SetPrintQuality(static_cast<int32_t>(*h));
  SetYResolution(static_cast<int32_t>(*v));
  if (GetPagesPerSheet() < 0 && *h == 720 && *v == 720) {
    SetPrintQuality(360);
    SetYResolution(360);
  }
}

void JobSettings::ApplyModeResolution() {
  uint32_t h = 0;
  uint32_t v = 0;
  ModeResolution(&h, &v);
  SetDeviceResolution(h, v);
  const ResolutionPair render{h, v};
  SetRenderResolution(&render);
}

void JobSettings::RecomputePageGeometry() {
  uint32_t h = 0;
  uint32_t v = 0;
  ModeResolution(&h, &v);
  SetDeviceResolution(static_cast<uint32_t>(GetPrintQuality()), static_cast<uint32_t>(GetYResolution()));
  PageLayout layout{};
  ComputePageLayout(&layout);
  SetImageWidth(layout.image.width);
  SetImageHeight(layout.image.height);
  SetPaperDotExtent(&layout.output_size);
  SetPaperMargins(&layout.output_margins);
  SetMarginBalance(layout.margin_balance);
  SetMarginAdditions(&layout.margin_additions);
  SetOutputExtent(&layout.scaled_size);
  SetOutputMargins(&layout.scaled_margins);
  SetRenderResolution(&layout.render);

  if (TestScalingOptionBits(8)) {
    const int32_t percent = static_cast<int16_t>(GetScalePercent());
    if (percent > kMaxScalePercent) SetScalePercent(kMaxScalePercent);
    if (percent < kMinScalePercent) SetScalePercent(kMinScalePercent);
    return;
  }
  int64_t a = 0;
  int64_t b = 0;
  const ResolutionPair render = layout.render;
  if (IsOneOf(GetLayoutFlags(), kPercentFromFittedCopy)) {
    DriverDevMode copy = *GetDriverDevMode();
    JobSettings fitted(&copy, GetPrinterHandle(), printer_name_, GetDriverName());
    if (!fitted.IsValid()) return;
    fitted.locator().ShareDriverFiles(locator());
    fitted.SetScalePercent(100);
    fitted.SetScalingOptionBits(2 | 4, 0);
    fitted.SetScalingOptionBits(8, 1);
    PageLayout fitted_layout{};
    fitted.ComputePageLayout(&fitted_layout);
    if (fitted_layout.render.x == 0 || fitted_layout.render.y == 0) return;
    a = Nearest(int64_t{render.x} * 100, fitted_layout.render.x);
    b = Nearest(int64_t{render.y} * 100, fitted_layout.render.y);
  } else {
    ResolutionPair device{};
    GetDeviceResolution(&device);
    a = Nearest(int64_t{render.x} * 100, device.x);
    b = Nearest(int64_t{render.y} * 100, device.y);
  }
  const auto percent = static_cast<int16_t>(std::min(a, b));
  SetScalePercent(percent > 0 ? percent : 1);
}

int JobSettings::GetBindingMarginLimits(uint16_t out[2]) {
  const bool metric = IsBindingUnitMetric() != 0;
  const auto store = [&](int32_t low_metric, int32_t high_metric, int32_t low_inch, int32_t high_inch) {
    out[0] = static_cast<uint16_t>(metric ? low_metric : low_inch);
    out[1] = static_cast<uint16_t>(metric ? high_metric : high_inch);
    return 1;
  };
  if (IsDuplexWithOption1()) return store(30, 300, 12, 118);
  EdgeValues margins{};
  GetPrintableMargins(&margins, static_cast<int32_t>(GetOutputPaperSize()), kOutputPaper);
  const int32_t m[4] = {margins.left, margins.top, margins.right, margins.bottom};
  const int32_t pages = GetPagesPerSheet();
  const int32_t orientation = GetOrientation();
  const bool turned =
      (orientation == DMORIENT_LANDSCAPE && pages != 2) || (orientation == DMORIENT_PORTRAIT && pages == 2);
  int32_t margin = 0;
  if (IsDuplexOn() && GetBindingEdge() == 1) {
    margin = turned ? m[3] : m[2];
  } else if (IsDuplexOn() && GetBindingEdge() == 2) {
    margin = turned ? m[2] : m[1];
  } else {
    margin = turned ? m[1] : m[0];
  }
  const int32_t tenths = static_cast<int32_t>((int64_t{margin} * 254 + 180) / 360);
  const int32_t hundredths = static_cast<int32_t>((int64_t{tenths} * 100 + 127) / 254);
  if (tenths < 30) return store(30, 300, 12, 118);
  if (tenths <= 300) return store(tenths, 300, hundredths, 118);
  return store(tenths, tenths, hundredths, hundredths);
}

// --- The scaling formulas -----------------------------------------------------------------

void JobSettings::ComputeScaleToCover(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                      ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t pw = page.width, ph = page.height, rx = d.x, ry = d.y;
  const int64_t s = std::max((area.width * rx + pw - 1) / pw, (area.height * ry + ph - 1) / ph);
  *scale = {AsResolution(s), AsResolution(s)};
  *size = {static_cast<int32_t>(pw * s / rx), static_cast<int32_t>(ph * s / ry)};
}

void JobSettings::ComputeScaleToFit(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                    ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t pw = page.width, ph = page.height, rx = d.x, ry = d.y;
  const int64_t s = std::min(area.width * rx / pw, area.height * ry / ph);
  *scale = {AsResolution(s), AsResolution(s)};
  *size = {Nearest(s * pw, rx), Nearest(ph * s, ry)};
}

void JobSettings::ComputeScaleByPercent(const ExtentPair& page, const ExtentPair&, const ExtentPair&,
                                        ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t p = GetScalePercent(), rx = d.x, ry = d.y;
  const int64_t sx = (p * rx + 50) / 100;
  const int64_t sy = (p * ry + 50) / 100;
  *scale = {AsResolution(sx), AsResolution(sy)};
  *size = {Nearest(sx * page.width, rx), Nearest(sy * page.height, ry)};
}

ExtentPair JobSettings::HalfSheetCell(const ExtentPair& area) const {
  if (GetPagesPerSheet() == 2) {
    return area.width < area.height ? ExtentPair{area.height / 2, area.width} : ExtentPair{area.width / 2, area.height};
  }
  return {area.width / 2, area.height / 2};
}

void JobSettings::ComputeHalfSheetFit(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                      ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t pw = page.width, ph = page.height, rx = d.x, ry = d.y;
  const int64_t g = rx * 20 / 360;
  const ExtentPair cell = HalfSheetCell(area);
  const int64_t s = std::min((cell.width - g) * rx / pw, (cell.height - g) * ry / ph);
  *scale = {AsResolution(s), AsResolution(s)};
  *size = {Nearest(pw * s, rx), Nearest(s * ph, ry)};
}

void JobSettings::ComputeHalfSheetPercent(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                          ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t pw = page.width, ph = page.height, rx = d.x, ry = d.y, p = GetScalePercent();
  const int64_t g = rx * 20 / 360;
  const ExtentPair cell = HalfSheetCell(area);
  const int64_t t =
      std::min((p * ((cell.width - g) * rx / pw) + 50) / 100, (p * ((cell.height - g) * ry / ph) + 50) / 100);
  *scale = {AsResolution(t), AsResolution(t)};
  *size = {static_cast<int32_t>(cell.width - g), static_cast<int32_t>(cell.height - g)};
}

int64_t JobSettings::PosterGridValue(const ExtentPair& page, const ExtentPair& area) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t pw = page.width, ph = page.height, rx = d.x, ry = d.y;
  const int64_t aw = area.width, ah = area.height;
  const int64_t g = rx * 20 / 360;
  const int64_t u = TestPosterOptionBits(1) && TestPosterOptionBits(8) ? g : 0;
  const bool edges = TestPosterOptionBits(2) && TestPosterOptionBits(8);
  const int64_t o = edges ? rx * 142 / 360 : 0;
  const int64_t e = edges ? rx * 98 / 360 : 0;
  const int64_t n = std::abs(static_cast<int64_t>(GetPagesPerSheet()));
  if (n == 4) {
    const int64_t t2 = 2 * (u + e);
    double s1 = 0;
    double s2 = 0;
    if (aw > ah) {
      s1 = static_cast<double>((ah - t2) * 2 - o) / static_cast<double>(pw) * 360.0;
      s2 = static_cast<double>(aw - t2) / static_cast<double>(ph) * 360.0;
    } else {
      s1 = static_cast<double>((aw - t2) * 2 - o) / static_cast<double>(ph) * 360.0;
      s2 = static_cast<double>(ah - t2) / static_cast<double>(pw) * 360.0;
    }
    return std::min(static_cast<int64_t>(std::trunc(s1)), static_cast<int64_t>(std::trunc(s2)));
  }
  const int64_t k = n + 1;
  const int64_t used = 2 * (n * u + k * e) + n * o;
  return std::min((aw * k - used) * rx / pw, (ah * k - used) * ry / ph);
}

void JobSettings::ComputePageGridA(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                   ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t s = PosterGridValue(page, area);
  *scale = {AsResolution(s), AsResolution(s)};
  *size = {static_cast<int32_t>(page.width * s / d.x), static_cast<int32_t>(s * page.height / d.y)};
}

void JobSettings::ComputePageGridB(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                   ResolutionPair* scale, ExtentPair* size) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  const int64_t t = (PosterGridValue(page, area) * GetScalePercent() + 50) / 100;
  *scale = {AsResolution(t), AsResolution(t)};
  *size = {static_cast<int32_t>(page.width * t / d.x), static_cast<int32_t>(t * page.height / d.y)};
}

JobSettings::BindingCell JobSettings::BindingHalves(const ExtentPair& page, const ExtentPair& area) {
  ResolutionPair d{};
  GetDeviceResolution(&d);
  BindingCell cell{};
  cell.rx = d.x;
  cell.ry = d.y;
  const int64_t m = cell.rx * GetBindingMargin360() / 360;
  if (area.width < area.height) {
    cell.half = area.height / 2 - m;
    cell.other = area.width;
  } else {
    cell.half = area.width / 2;
    cell.other = area.height - m;
  }
  cell.scale_x = cell.half * cell.rx / page.width;
  cell.scale_y = cell.other * cell.ry / page.height;
  return cell;
}

void JobSettings::ComputeBindingFit(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                    ResolutionPair* scale, ExtentPair* size) {
  const BindingCell cell = BindingHalves(page, area);
  const int64_t s = std::min(cell.scale_x, cell.scale_y);
  *scale = {AsResolution(s), AsResolution(s)};
  *size = {Nearest(int64_t{page.width} * s, cell.rx), Nearest(s * page.height, cell.ry)};
}

void JobSettings::ComputeBindingPercent(const ExtentPair& page, const ExtentPair& area, const ExtentPair&,
                                        ResolutionPair* scale, ExtentPair* size) {
  const BindingCell cell = BindingHalves(page, area);
  const int64_t p = GetScalePercent();
  const int64_t t = std::min((p * cell.scale_x + 50) / 100, (p * cell.scale_y + 50) / 100);
  *scale = {AsResolution(t), AsResolution(t)};
  *size = {static_cast<int32_t>(cell.half), static_cast<int32_t>(cell.other)};
}

// --- The watermark box --------------------------------------------------------------------

void JobSettings::ComputeWatermarkPosition(int32_t width, int32_t height) {
  DevModeWatermarkSettings watermark{};
  GetWatermarkSettings(&watermark);
  // Taken in 64 bits: a stored box or a size from the record may lie anywhere in 32 bits, and
  // the box written back keeps every edge within them.
  const int64_t w = width;
  const int64_t h = height;
  const int64_t x0 = (10000 - w) / 2;
  const int64_t y0 = (10000 - h) / 2;
  EdgeValues& box = watermark.WatermarkBox;
  const auto store = [&box](int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const auto edge = [](int64_t v) {
      return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    box = {edge(left), edge(top), edge(right), edge(bottom)};
  };
  switch (watermark.WatermarkPosition) {
    case 1: store(0, 0, w, h); break;
    case 2: store(x0, 0, 10000 - x0, h); break;
    case 3: store(10000 - w, 0, 10000, h); break;
    case 4: store(0, y0, w, 10000 - y0); break;
    case 5: store(10000 - w, y0, 10000, 10000 - y0); break;
    case 6: store(0, 10000 - h, w, 10000); break;
    case 7: store(x0, 10000 - h, 10000 - x0, 10000); break;
    case 8: store(10000 - w, 10000 - h, 10000, 10000); break;
    case 9: {
      const int64_t left = box.left + (int64_t{box.right} - box.left) / 2 - w / 2;
      const int64_t top = box.top + (int64_t{box.bottom} - box.top) / 2 - h / 2;
      store(left, top, left + w, top + h);
      break;
    }
    default: store(x0, y0, 10000 - x0, 10000 - y0); break;
  }
  SetWatermarkSettings(&watermark);
}

void JobSettings::UpdateWatermarkAspectRatio() {
  DevModeWatermarkSettings watermark{};
  GetWatermarkSettings(&watermark);
  storage::WatermarkEntry entry{};
  if (watermark.WatermarkIndex < 0 ||
      !GetEntry(static_cast<uint16_t>(watermark.WatermarkIndex), &entry, sizeof(entry))) {
    return;
  }
  int16_t aspect = 0;
  if (entry.kind == 2) {
    char path[MAX_PATH] = {};
    platform::UniqueModule module;
    if (GetUiResourceModulePath(path, sizeof(path))) {
      module.Reset(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    }
    // The bitmap helpers check the resource's size before they read its headers.
    if (module.valid()) {
      aspect = platform::BitmapAspectRatio(platform::FindBuiltInBitmap(
          module.get(), static_cast<uint16_t>(kFirstWatermarkBitmapId + watermark.WatermarkIndex)));
    }
  } else {
    char path[sizeof(entry.bitmap_path) + 1] = {};
    platform::CopyStringNA(path, sizeof(path), entry.bitmap_path, sizeof(entry.bitmap_path));
    platform::DriverFile file(path);
    uint8_t bytes[54] = {};
    if (file.Open(0)) {
      const long read = file.Read(bytes, sizeof(bytes), nullptr);
      file.Close();
      if (read > 0) aspect = platform::BitmapAspectRatio(std::span<const uint8_t>(bytes, static_cast<size_t>(read)));
    }
  }
  watermark.WatermarkAspect = aspect;
  SetWatermarkSettings(&watermark);
}

}  // namespace kalimu::settings
