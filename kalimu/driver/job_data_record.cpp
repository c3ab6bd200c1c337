// DRVUIGetJobDataEx2: the page margins, the print length along the feed, the edge adjustments
// and the paper-handling codes of a job, in device dots, for the rendering library. The
// caller's record is only read.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "kalimu/driver/caller_settings.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/driver/render_records.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {
namespace {

using model::CapTable2Record;

constexpr uint32_t kSourceCopiesSecond = 0x80000;  // paper-source word 8
constexpr uint32_t kSourceHandling = 0x10000;      // paper-source word 8
constexpr int32_t kBalanceBottom = 42;             // 1/360 inch
constexpr uint16_t kBalanceKind = 3;
constexpr uint32_t kMaskSources = 16;              // a source mask holds two bits for each of 16 sources

bool IsRollFeed(int32_t sid) { return sid == 258 || sid == 264; }

class JobDataBuilder {
 public:
  explicit JobDataBuilder(settings::JobSettings& s) : s_(s) {
    s_.GetDeviceResolution(&res_);
    source_ = static_cast<uint16_t>(s_.GetPaperSourceIndex());
    s_.GetPaperSourceId(source_, &sid_);
    uint32_t word8 = 0;
    s_.GetPaperSourceValue8(source_, &word8);
    f_ = (word8 & kSourceCopiesSecond) != 0;
    handling_ = (word8 & kSourceHandling) != 0;
    s_.GetOutputPaperRecord(&out_, sizeof(out_));
    s_.GetPaperDotExtent(&paper_);
    s_.GetPaperMargins(&m_);
    s_.GetMarginAdditions(&a_);
    i_ = s_.TestPaperOptionBits(8) != 0;
    e4_ = s_.TestLayoutOptionBits(4) != 0;
    r1_ = s_.TestPaperOptionBits(1) && s_.TestPaperOptionBits(0x100);
    fa_ = s_.GetPaperFeedAuto();
    scaled_ = s_.TestScalingOptionBits(2 | 8) != 0;
    portrait_ = s_.GetOrientation() == 1;
  }

  bool HasResolution() const { return res_.x != 0 && res_.y != 0; }

  void Fill(JobDataEx2Info* info) {
    int32_t margins[4] = {};
    PageMargins(margins);
    for (int i = 0; i < 4; ++i) info->margins[i] = margins[i];
    int32_t length = 0;
    int32_t edges[4] = {};
    PrintLength(margins, &length, edges);
    info->print_length = length;
    for (int i = 0; i < 4; ++i) info->edges[i] = edges[i];
    int32_t handling = 0;
    if (s_.TestPaperOptionBits(1)) handling = (sid_ == 256 || sid_ == 257) ? 3 : 2;
    if (f_) handling |= 2;
    info->paper_handling = handling;
    info->flag = (s_.TestModelHeaderFlags20(0x80) || s_.TestPaperOptionBits(1) || i_ || e4_ || handling_) ? 1 : 0;
    info->output_paper = static_cast<uint16_t>(s_.GetOutputPaperSize());
  }

 private:
  int32_t X() const { return static_cast<int32_t>(res_.x); }
  int32_t Y() const { return static_cast<int32_t>(res_.y); }

  CapTable2Record MarginRecordAt(int32_t number) {
    CapTable2Record record{};
    if (number >= 0) s_.GetTable2Record(static_cast<uint16_t>(number), &record, sizeof(record));
    return record;
  }

  // Margin records A and B of paper p (1/360 inch).
  void PaperMarginRecords(int32_t p, CapTable2Record* a, CapTable2Record* b) {
    *a = {};
    *b = {};
    uint32_t source_count = 0;
    s_.GetPaperSourceCount(&source_count);
    uint32_t s = source_count;
    int32_t limit = 0;
    bool copy = false;
    const int32_t wanted_source = s_.GetDefaultSource();
    for (uint32_t i = 0; i < source_count; ++i) {
      int32_t id = 0;
      if (!s_.GetPaperSourceId(static_cast<uint16_t>(i), &id) || id != wanted_source) continue;
      s = i;
      if (s_.TestJobOptionBits(0x200)) {
        s_.GetLfpValue4(static_cast<uint16_t>(s_.GetLfpIndex()), &limit);
      } else {
        s_.GetPaperSourceValue48(static_cast<uint16_t>(i), &limit);
      }
      if (i_) limit += out_.left + out_.right;
      uint32_t word8 = 0;
      s_.GetPaperSourceValue8(static_cast<uint16_t>(i), &word8);
      copy = (word8 & kSourceCopiesSecond) != 0;
      break;
    }
    uint16_t k = 0;
    if (!FindPaper(p, &k) && !FindPaper(model::kCustomPaperId, &k)) return;  // no paper: all margins 0
    int32_t na = -1;
    int32_t nb = -1;
    uint32_t mask = 0;
    uint32_t kind = 0;
    s_.GetPaperSizeValue28(k, &na);
    s_.GetPaperSizeValue30(k, &nb);
    s_.GetPaperSizeValue16(k, &mask);
    s_.GetPaperSizeValue6(k, &kind);
    *a = MarginRecordAt(na);
    *b = MarginRecordAt(nb);
    int32_t w = 0;
    int32_t id = 0;
    s_.GetPaperSizeId(k, &id);
    if (id == model::kCustomPaperId) {
      const int64_t width = s_.GetCustomPaperWidth();
      w = static_cast<int32_t>(width * 360 / ((s_.GetCustomPaperUnit() & 2) ? 100 : 254));
    } else {
      s_.GetPaperSizeValue42(k, &w);
    }
    for (CapTable2Record* r : {a, b}) {
      if (r1_ || e4_) r->top = r->bottom = 0;
      if (i_ || e4_) r->left = r->right = 0;
      const bool roll = sid_ == 530 || sid_ == 531 || sid_ == 256 || sid_ == 257;
      if ((i_ && (fa_ == 0 || (roll && fa_ == 1))) || (!i_ && roll && fa_ == 1)) r->top = r->bottom = 0;
    }
    // A source past the sixteen of the mask has no bit in it.
    if (s < kMaskSources && (mask & (1u << (2 * s)))) {
      for (CapTable2Record* r : {a, b}) {
        if (w - r->right - r->left > limit) r->right = w - r->left - limit;
      }
    }
    if (copy) *a = *b;
    const uint32_t mo = s_.GetMarginOptions();
    const int32_t duplex = s_.GetDuplex();
    if ((mo & 1) || ((duplex == 2 || duplex == 3) && s_.TestDuplexOptionBits(1))) {
      Balance(a, kind, (mo & 2) == 0);
      Balance(b, kind, true);
    }
  }

  static void Balance(CapTable2Record* r, uint32_t kind, bool vertical) {
    r->left = r->right = std::max(r->left, r->right);
    if (!vertical) return;
    if (kind == kBalanceKind) {
      if (r->bottom >= kBalanceBottom) r->top += r->bottom - kBalanceBottom;
      else r->bottom = kBalanceBottom;
    } else {
      r->top = r->bottom = std::max(r->top, r->bottom);
    }
  }

  bool FindPaper(int32_t id, uint16_t* index) {
    uint32_t count = 0;
    s_.GetPaperSizeCount(&count);
    for (uint32_t i = 0; i < count; ++i) {
      int32_t paper_id = 0;
      if (s_.GetPaperSizeId(static_cast<uint16_t>(i), &paper_id) && paper_id == id) {
        *index = static_cast<uint16_t>(i);
        return true;
      }
    }
    return false;
  }

  // The roll record: the margin record of the output paper for the derived feed index.
  CapTable2Record RollRecord() {
    uint32_t count = 0;
    s_.GetPaperSizeCount(&count);
    uint16_t index = static_cast<uint16_t>(count > 0 ? count - 1 : 0);
    FindPaper(static_cast<int32_t>(s_.GetOutputPaperSize()), &index);
    return MarginRecordAt(s_.GetPaperDimension(s_.DerivePaperFeedIndex(), index));
  }

  void PageMargins(int32_t out[4]) {
    const int32_t p = s_.TestScalingOptionBits(1) ? static_cast<int32_t>(s_.GetOutputPaperSize()) : s_.GetPaperSize();
    CapTable2Record a{};
    CapTable2Record b{};
    PaperMarginRecords(p, &a, &b);
    const bool second = s_.TestMarginOptionBits(2) != 0;
    if (IsRollFeed(sid_) && fa_ == 0) {
      const CapTable2Record roll = RollRecord();
      CapTable2Record& target = second ? b : a;
      target.top = roll.top;
      target.bottom = roll.bottom;
    }
    CapTable2Record r = second ? b : a;
    int32_t l = r.left, t = r.top, rt = r.right, bt = r.bottom;
    const bool x = s_.GetPagesPerSheet() == 2 || s_.TestDuplexOptionBits(1);
    if ((portrait_ && x) || (!portrait_ && !x)) {
      const int32_t old_left = l;
      l = t;
      t = rt;
      rt = bt;
      bt = old_left;
    }
    if (s_.IsRotated180()) {
      std::swap(l, rt);
      std::swap(t, bt);
    }
    if (s_.TestModeOptionBits(8)) std::swap(l, rt);
    out[0] = l * X() / 360;
    out[1] = t * Y() / 360;
    out[2] = rt * X() / 360;
    out[3] = bt * Y() / 360;
  }

  void PrintLength(const int32_t margins[4], int32_t* length, int32_t edges[4]) {
    const int32_t l4 = margins[0], t8 = margins[1], r12 = margins[2], b16 = margins[3];
    const int32_t pw = (paper_.width + a_.left + a_.right - m_.left - m_.right) * 360 / X();
    const int32_t ph = (paper_.height + a_.top + a_.bottom - m_.top - m_.bottom) * 360 / Y();
    const int32_t fw = paper_.width * 360 / X();
    const int32_t fh = paper_.height * 360 / Y();
    const int32_t nl = -out_.left * Y() / 360;
    const int32_t nt = -out_.top * Y() / 360;
    const int32_t nr = -out_.right * Y() / 360;
    const int32_t nb = -out_.bottom * Y() / 360;
    const int32_t n = -((out_.left + out_.right) / 2) * X() / 360;
    const bool landscape = s_.GetOrientation() == 2;
    int32_t base = 0;
    if (scaled_) {
      base = landscape ? Y() * ph / 360 + t8 + b16 : X() * pw / 360 + l4 + r12;
    } else {
      base = landscape ? Y() * fh / 360 : X() * fw / 360;
    }
    int32_t& left = edges[0];
    int32_t& top = edges[1];
    int32_t& right = edges[2];
    int32_t& bottom = edges[3];
    if ((i_ || e4_) && !f_) {
      *length = base;
      if (fa_ == 0) *length += landscape ? nb + nt : nr + nl;
      if (portrait_) {
        if (fa_ != 0) *length += -(out_.left + out_.right) * X() / 360;
        left = right = n;
      } else {
        if (fa_ != 0) *length += -(out_.top + out_.bottom) * X() / 360;
        top = bottom = n;
      }
      return;
    }
    if (!r1_ && !f_) return;
    if (f_ && !r1_ && s_.TestJobOptionBits(0x200)) {
      RollFit(fh, ph, fw, pw, l4, t8, r12, b16, nl, nt, nr, nb, length, edges);
      return;
    }
    *length = base;
    if (!i_) return;
    if (fa_ == 0) *length += landscape ? nb + nt : nr + nl;
    if (portrait_) {
      left = right = n;
      if (fa_ != 0) *length += 2 * n;
    } else {
      top = bottom = n;
      if (fa_ != 0) *length += (out_.top + out_.bottom) * X() / 360 + 2 * n;
    }
  }

  void RollFit(int32_t fh, int32_t ph, int32_t fw, int32_t pw, int32_t l4, int32_t t8, int32_t r12, int32_t b16,
               int32_t nl, int32_t nt, int32_t nr, int32_t nb, int32_t* length, int32_t edges[4]) {
    int32_t v = 0;
    if (sid_ == 530 || sid_ == 531) {
      s_.GetLfpValue4(static_cast<uint16_t>(s_.GetLfpIndex()), &v);
    } else {
      s_.GetPaperSourceValue48(source_, &v);
    }
    // Both sides of the comparison in dots.
    const int32_t q = std::max(v * Y() / 360, fh * Y() / 360);
    const int32_t rl = scaled_ ? Y() * ph / 360 + b16 + t8 : Y() * fh / 360;
    const int32_t sw = scaled_ ? X() * pw / 360 + r12 + l4 : X() * fw / 360;
    const int32_t d = q - rl;
    const bool r180 = s_.IsRotated180() != 0;
    // Landscape fits along x (edges left and right), portrait along y (top and bottom); the
    // difference goes to the far edge when the page is turned by 180 degrees, else the near one.
    const bool landscape = s_.GetOrientation() == 2;
    *length = landscape ? q : sw;
    const int near_edge = landscape ? 0 : 1;
    const int far_edge = near_edge + 2;
    const int32_t near_n = landscape ? nl : nt;
    const int32_t far_n = landscape ? nr : nb;
    if (r180) {
      edges[near_edge] = i_ ? near_n : 0;
      edges[far_edge] = i_ ? far_n + d : d;
    } else {
      edges[far_edge] = i_ ? far_n : 0;
      edges[near_edge] = i_ ? near_n + d : d;
    }
    if (landscape && s_.TestModeOptionBits(8)) std::swap(edges[0], edges[2]);
  }

  settings::JobSettings& s_;
  settings::ResolutionPair res_{};
  uint16_t source_ = 0;
  int32_t sid_ = 0;
  bool f_ = false;
  bool handling_ = false;
  CapTable2Record out_{};
  settings::ExtentPair paper_{};
  settings::EdgeValues m_{};
  settings::EdgeValues a_{};
  bool i_ = false;
  bool e4_ = false;
  bool r1_ = false;
  uint32_t fa_ = 0;
  bool scaled_ = false;
  bool portrait_ = true;
};

int GetJobDataEx2(const DEVMODEW* dev_mode, JobDataEx2Info* info, const char* printer_name) {
  if (info == nullptr || printer_name == nullptr) return 0;
  platform::UniquePrinter printer;
  {
    HANDLE opened = nullptr;
    if (!platform::OpenPrinterByAnsiName(printer_name, &opened) || opened == nullptr) return 0;
    printer.Reset(opened);
  }
  if (info->version != 1) return 0;
  settings::DriverDevMode copy;
  settings::JobSettingsPtr settings = SettingsForCallerRecord(printer.get(), dev_mode, copy);
  if (settings == nullptr) return 0;
  JobDataBuilder builder(*settings);
  // Lengths are divided by the device resolution: a record without one is not answered.
  if (!builder.HasResolution()) return 0;
  builder.Fill(info);
  return 1;
}

}  // namespace
}  // namespace kalimu::driver

extern "C" {

DWORD WINAPI DRVUIGetJobDataEx2(DEVMODEW* dev_mode, void* info, const char* printer_name) {
  using namespace kalimu::driver;
  Guarded<int>(0, [&] { return GetJobDataEx2(dev_mode, static_cast<JobDataEx2Info*>(info), printer_name); });
  return 1;
}

}  // extern "C"
