// The rules of a paper change, of duplex printing with its binding edge and margin, and of the
// layout option words; every change ends with the page geometry recomputed.
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/length_units.h"

namespace kalimu::settings {

namespace {

constexpr int kPaperSizeSet = 12;
constexpr int kPaperIndexSet = 13;
constexpr uint32_t kMaxPublicExtent = 0x7FFF;  // dmPaperWidth and dmPaperLength are 16-bit
constexpr uint32_t kPaperFields = DM_PAPERLENGTH | DM_PAPERWIDTH;
constexpr int32_t kUserPaperFirstId = 768;
constexpr int32_t kCustomPaperId = 256;
constexpr uint32_t kCapFitOnly = 0x2000;     // paper-source capability word
constexpr uint32_t kCapMarginClass = 0xF00;
constexpr uint32_t kPaperOneSided = 0x10000;  // paper flags (+20)
constexpr uint32_t kPaperTurned = 0x8000;
constexpr uint32_t kPaperMarginRule = 0x400;
constexpr uint32_t kPaperCommitJob = 1;
constexpr uint32_t kDuplexOption1 = 1;  // DuplexOptions
constexpr uint32_t kDuplexOption4 = 4;

struct PaperExtent {
  int32_t width;
  int32_t length;
};

}  // namespace

// dmPaperWidth := width; both public sizes and their dmFields bits only while both fit.
void JobSettings::WritePaperWidth(int32_t width, int32_t length, uint32_t fields_before) {
  SetPaperWidth(width);
  if (static_cast<uint32_t>(width) <= kMaxPublicExtent && static_cast<uint32_t>(length) <= kMaxPublicExtent) {
    SetFields(fields_before | kPaperFields);
  } else {
    SetPaperWidth(0);
    SetPaperLength(0);
    SetFields(fields_before & ~kPaperFields);
  }
}

// 1 under the roll condition: the width of a roll comes from the paper itself.
int JobSettings::IsRollCondition() {
  return (GetDefaultSource() == 257 && TestPaperOptionBits(0x100)) || GetPaperFeedAuto() == 1 ? 1 : 0;
}

int32_t JobSettings::UserPaperWidth01mm(uint16_t user_index) {
  PaperExtent extent{};
  GetPaperExtent(user_index, &extent, sizeof(extent));
  return GetCustomPaperUnit() == kCustomPaperUnitHundredthInch ? FromInch100To01mm(extent.width) : extent.width;
}

int32_t JobSettings::ModelPaperWidth01mm(uint16_t index) {
  PaperExtent extent{};
  GetPaperSizeExtent(index, &extent, sizeof(extent));
  return From360To01mm(extent.width);
}

void JobSettings::RecomputeLayout() {
  RecomputePageGeometry();
  ClampScaleToRange();
}

void JobSettings::ChangeMarginOption(int type) {
  switch (type) {
    case 0: SetMarginOptionBits(1, 0); break;
    case 1: SetMarginOptionBits(1, 1); break;
    case 2: SetMarginOptionBits(2, 0); break;
    case 3: SetMarginOptionBits(2, 1); break;
    default: break;
  }
  RecomputeLayout();
}

void JobSettings::ChangeRotate180(uint32_t on) {
  SetLayoutOptionBits(0x100, on != 0);
  RecomputeLayout();
}

void JobSettings::ChangePosterOptions(uint32_t word) {
  SetPosterOptions(word);
  RecomputeLayout();
}

void JobSettings::ChangeCutOptions(uint32_t word) {
  SetCutOptions(word);
  RecomputeLayout();
}

void JobSettings::TogglePosterOptions(uint32_t bits) {
  SetPosterOptions(GetPosterOptions() ^ bits);
  RecomputePageGeometry();
}

void JobSettings::ChangePosterOptionBits(uint32_t mask, int on) {
  SetPosterOptionBits(mask, on == 1 ? 1 : 0);
  RecomputePageGeometry();
}

void JobSettings::ChangeBindingMargin(uint32_t margin) {
  uint16_t limits[2] = {};
  GetBindingMarginLimits(limits);
  if (margin < limits[0]) margin = limits[0];
  if (margin > limits[1]) margin = limits[1];
  SetBindingMargin(margin);
}

void JobSettings::SetBindingMarginToMinimum() {
  uint16_t limits[2] = {};
  GetBindingMarginLimits(limits);
  ChangeBindingMargin(limits[0]);
}

// The output paper as a model paper, else a user paper, that the current source allows with
// either bit: its paper flags (+20); 0 when neither holds it.
uint32_t JobSettings::GetOutputPaperFlagsForSource(bool user_too) {
  const int32_t id = static_cast<int32_t>(GetOutputPaperSize());
  uint16_t index = 0;
  uint32_t flags = 0;
  if (FindModelPaperForSource(0, id, &index)) {
    GetPaperSizeValue20(index, &flags);
  } else if (user_too && FindUserPaperForSource(0, id, &index)) {
    GetPaperValue20(index, &flags);
  }
  return flags;
}

void JobSettings::ChangeDuplex(int32_t duplex) {
  if (duplex == static_cast<int32_t>(GetDuplex())) {
    if (duplex == 2 || duplex == 3) {
      SetCollate(1);
    } else {
      SetDuplexOptionBits(kDuplexOption1, 0);
    }
    return;
  }
  // Resetting the scaling mode may turn the output paper to one that is printed on one side,
  // which asks for one-sided printing again: this change decides that below.
  if (changing_duplex_) return;
  changing_duplex_ = true;
  CheckSourceBorderless();
  if (GetSourceCapability() & kCapFitOnly) {
    ChangeScalingMode(-2);
    SetBindingMarginToMinimum();
  }
  changing_duplex_ = false;
  if (GetOutputPaperFlagsForSource(true) & kPaperOneSided) {
    duplex = 1;
  } else if (duplex < 1 || duplex > 3) {
    SetDuplex(1);
    SetBindingMarginToMinimum();
    ApplyDuplexRules();
    return;
  }
  SetDuplex(duplex);
  if (duplex == 1) SetBindingMarginToMinimum();
  ApplyDuplexRules();
}

void JobSettings::ApplyDuplexRules() {
  if (!IsDuplexOn()) {
    SetDuplexOptionBits(kDuplexOption1, 0);
    if ((GetSourceCapability() & kCapMarginClass) != 0x300) ChangeMarginOption(0);
    SetCollate(0);
    return;
  }
  SetCollate(1);
  ChangeRotate180(0);
  SetLayoutOptionBits(0x80, 0);
  if (IsPosterLayout()) ChangePagesPerSheet(1);
  if (TestDuplexOptionBits(kDuplexOption1)) MatchEdgeToOrientation();
  if (GetDuplex() == 3) {
    const uint32_t edge = GetBindingEdge();
    if (edge == 1) {
      SetBindingEdge1();
    } else {
      SetBindingEdge0();
    }
  } else if (GetDuplex() == 2) {
    SetBindingEdge2();
  }
  uint16_t limits[2] = {};
  GetBindingMarginLimits(limits);
  const uint32_t margin = GetBindingMargin();
  if (margin < limits[0] || margin > limits[1]) {
    // The limits change with the unit: the unit of the locale comes first, then the minimum in it.
    SetDuplexOptionBits(kDuplexOptionBindingMarginMetric, IsMetricLocale());
    GetBindingMarginLimits(limits);
    SetBindingMargin(limits[0]);
  }
}

// The binding edge that fits the paper's orientation; the margin returns to its minimum when
// the edge changes.
void JobSettings::MatchEdgeToOrientation() {
  const bool natural = IsPaperOrientationNatural() != 0;
  const uint32_t edge = GetBindingEdge();
  if (natural && edge == 2) {
    SetBindingEdge0();
  } else if (!natural && (edge == 0 || edge == 1)) {
    SetBindingEdge2();
  } else {
    return;
  }
  SetBindingMarginToMinimum();
}

void JobSettings::MatchBindingEdgeToOrientation() {
  if (IsDuplexWithOption1()) MatchEdgeToOrientation();
}

void JobSettings::CommitPaperFlags() {
  if (TestPaperOptionBits(1)) {
    SetJobOptionBits(8, 1);
  } else {
    uint32_t paper_flags = 0;
    if (IsUserPaperSelected()) {
      GetPaperValue20(GetUserPaperIndex(), &paper_flags);
    } else {
      GetPaperSizeValue20(static_cast<uint16_t>(GetPaperSizeIndex()), &paper_flags);
    }
    if (paper_flags & kPaperCommitJob) {
      SetJobOptionBits(8, 1);
      return;
    }
    uint32_t mode_flags = 0;
    GetPrintModeValue20(GetCurrentModeIndex(), &mode_flags);
    SetJobOptionBits(8, (mode_flags & 0x200) != 0);
  }
  UpdateModeFlag512();
}

void JobSettings::ApplyPaperChange(int kind) {
  if (kind == kPaperSizeSet) {
    ReselectPaperForSource();
  } else if (kind == kPaperIndexSet) {
    SetPaperSize(GetPaperIdByIndex(static_cast<uint16_t>(GetPaperSizeIndex())));
  }
  ApplyPaperLength();
  ValidatePaperSelection();
  if (!TestScalingOptionBits(1)) SetOutputPaperSize(static_cast<uint32_t>(GetPaperSize()));
  CheckSourceBorderless();
  ApplyPaperFlag1024Rule();
  ApplyOutputPaperRotation();
  RecomputePageGeometry();
  if (GetPagesPerSheet() == -4 && IsPaperWiderThanLong() != 1) ChangePagesPerSheet(1);
  if (IsWatermarkOn()) GetWatermarkRect();
  if (TestDuplexOptionBits(kDuplexOption1)) EnableDuplexOption1();
}

void JobSettings::ReselectPaperForSource() {
  const uint32_t mask = GetSourceMask() | (GetSourceMask() << 1);
  const int32_t id = GetPaperSize();
  const int32_t model = FindModelPaperByMask(mask, 0, id);
  if (model >= 0) {
    SetPaperSizeIndex(model);
    return;
  }
  const int32_t user = FindUserPaperByMask(mask, id, UINT32_MAX);
  uint32_t model_count = 0;
  GetPaperSizeCount(&model_count);
  if (user >= 0) {
    SetPaperSizeIndex(static_cast<int32_t>(model_count) + user);
    return;
  }
  const uint16_t first = ApplySourceMask();
  int32_t first_id = 0;
  GetPaperSizeId(first, &first_id);
  SetPaperSizeIndex(first);
  SetPaperSize(first_id);
}

// The width under the roll condition for the paper with id (model paper index or user paper
// index as found), else the standard width.
int32_t JobSettings::RollWidthFor(int32_t id, int32_t standard_width) {
  if (!IsRollCondition()) return standard_width;
  if (id == kCustomPaperId) {
    const int32_t width = GetCustomPaperWidth();
    return GetCustomPaperUnit() == kCustomPaperUnitHundredthInch ? FromInch100To01mm(width) : width;
  }
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(id, &kind);
  if (kind == kUserPaper) return UserPaperWidth01mm(index);
  if (kind == kModelPaper) return ModelPaperWidth01mm(index);
  return standard_width;
}

void JobSettings::ApplyPaperLength() {
  const uint32_t fields = GetFields();
  ExtentPair size{};
  GetPaperSize01mm(&size);
  SetPaperLength(size.height);
  WritePaperWidth(RollWidthFor(GetPaperSize(), size.width), size.height, fields);
  if (IsUserPaperSelected()) {
    ChangeCustomPaperUnit(TestPaperFlags4(GetUserPaperIndex(), 1) ? kCustomPaperUnitTenthMm
                                                                   : kCustomPaperUnitHundredthInch);
  }
}

void JobSettings::ValidatePaperSelection() {
  const uint32_t fields = GetFields();
  const uint32_t m = GetSourceMask();
  const uint32_t mm = m | (m << 1);
  const int32_t id = GetPaperSize();
  const auto output = static_cast<int32_t>(GetOutputPaperSize());
  uint32_t model_count = 0;
  GetPaperSizeCount(&model_count);

  bool taken = false;
  bool output_on_source = false;
  for (uint32_t i = 0; i < model_count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    uint32_t mask = 0;
    GetPaperSizeValue16(index, &mask);
    if (IsPaperIdAt(id, index) && (mask & mm) != 0) {
      SetPaperSizeIndex(index);  // the last such paper wins
      taken = true;
    }
    if (IsPaperIdAt(output, index) && (mask & m) != 0) output_on_source = true;
  }
  if (!taken) {
    const int32_t user = FindUserPaperByMask(0xFFFFFFFFu, id, UINT32_MAX);
    if (user >= 0 && UserPaperAllowsSource(static_cast<uint16_t>(user), mm)) {
      SetPaperSizeIndex(static_cast<int32_t>(model_count) + user);
      ExtentPair size{};
      GetPaperSize01mm(&size);
      SetPaperLength(size.height);
      const int32_t width = IsRollCondition() ? UserPaperWidth01mm(static_cast<uint16_t>(user)) : size.width;
      WritePaperWidth(width, size.height, fields);
      taken = true;
    }
  }
  if (!taken) {
    const int32_t first = FindModelPaperByMask(mm, 0, kAnyPaperId);
    if (first >= 0) {
      const auto index = static_cast<uint16_t>(first);
      int32_t first_id = 0;
      GetPaperSizeId(index, &first_id);
      SetPaperSizeIndex(index);
      SetPaperSize(first_id);
      ExtentPair size{};
      GetPaperSize01mm(&size);
      SetPaperLength(size.height);
      WritePaperWidth(IsRollCondition() ? ModelPaperWidth01mm(index) : size.width, size.height, fields);
    }
  }
  if (!output_on_source) {
    const int32_t user = FindUserPaperByMask(0xFFFFFFFFu, output, UINT32_MAX);
    if (user >= 0 && UserPaperAllowsSource(static_cast<uint16_t>(user), m)) return;
    const int32_t first = FindModelPaperByMask(m, 0, kAnyPaperId);
    if (first >= 0) SetOutputPaperSize(static_cast<uint32_t>(GetPaperIdByIndex(static_cast<uint16_t>(first))));
  }
}

void JobSettings::ApplyPaperFlag1024Rule() {
  uint16_t index = 0;
  uint32_t flags = 0;
  uint32_t option = 0;
  if (GetCurrentPaperIndex(&index)) {
    GetPaperSizeValue20(index, &flags);
    GetPaperSizeValue46(index, &option);
  } else {
    GetPaperValue20(index, &flags);
    GetPaperValue46(index, &option);
  }
  if ((flags & kPaperMarginRule) == 0) return;
  if ((GetSourceFeedWord() & (0x04 | 0x10 | 0x40 | 0x80)) == 0 || (GetSourceCapability() & 0x400000) != 0) {
    ChangeMarginOption(2);
  } else if (option == 0 || option == 1) {
    ChangeMarginOption(3);
  }
}

void JobSettings::ApplyOutputPaperRotation() {
  uint16_t index = 0;
  if (!FindModelPaperForSource(0, static_cast<int32_t>(GetOutputPaperSize()), &index)) return;
  uint32_t flags = 0;
  GetPaperSizeValue20(index, &flags);
  if (flags & kPaperOneSided) ChangeDuplex(1);
  if (flags & kPaperTurned) {
    if (!TestLayoutOptionBits(0x800)) SetLayoutOptionBits(0x100, 0);
    uint32_t kind = 0;
    GetPaperSizeValue6(index, &kind);
    SetLayoutOptionBits(0x800, 1);
    SetLayoutOptionBits(0x1000, kind == 3);
  } else {
    SetLayoutOptionBits(0x800 | 0x1000, 0);
  }
}

void JobSettings::ApplyOrientationRules() {
  if (TestDuplexOptionBits(kDuplexOption1)) EnableDuplexOption1();
  if (IsWatermarkOn()) GetWatermarkRect();
  const uint32_t placement = GetPlacement() & 0xF;
  const int32_t pages = GetPagesPerSheet();
  if (IsPaperOrientationNatural()) {
    if (placement == 2 && pages == 2) ChangePlacement(0);
  } else if (placement != 2 && pages == 2) {
    ChangePlacement(2);
  }
}

void JobSettings::UpdateRollFitFlag(int32_t limit) {
  ExtentPair area{};
  model::CapTable2Record margins{};
  ComputeOutputArea(static_cast<int32_t>(GetOutputPaperSize()), &area);
  GetOutputPaperRecord(&margins, sizeof(margins));
  const int64_t width = (int64_t{area.width} - margins.left - margins.right) * 254 + 180;
  const int64_t height = (int64_t{area.height} - margins.top - margins.bottom) * 254 + 180;
  const int64_t w = width / 360;
  const int64_t h = height / 360;
  SetJobOptionBits(0x200, w < h && TestPaperOptionBits(4) && h <= limit);
}

// --- Duplex and binding operations ------------------------------------------------------------

void JobSettings::EnableDuplexOption1() {
  SetDuplexOptionBits(kDuplexOption1, 1);
  ChangeRotate180(0);
  ChangePagesPerSheet(1);
  MatchBindingEdgeToOrientation();
  ApplyDuplexRules();
}

void JobSettings::ClearDuplexOption1() {
  if (IsDuplexWithOption1()) SetDuplexOptionBits(kDuplexOption1, 0);
  // Storing the edge again makes dmDuplex match it; one-sided printing stays one-sided.
  if (!IsDuplexOn()) {
  } else if (IsBindingEdge0()) {
    SetBindingEdge0();
  } else if (IsBindingEdge1()) {
    SetBindingEdge1();
  } else if (IsBindingEdge2()) {
    SetBindingEdge2();
  } else {
    SetBindingEdge0();
  }
  ApplyDuplexRules();
}

void JobSettings::ApplyDuplexLimits() {
  if (TestDuplexOptionBits(kDuplexOption4)) SetDuplexOptionBits(kDuplexOption4, 0);
  if (!IsDuplexOn()) return;
  SetDuplexOptionBits(kDuplexOption1, 0);
  ChangeDuplex(1);
  if (TestModelHeaderFlags28(128)) {
    SetCollate(0);
    ChangeRotate180(0);
    SetLayoutOptionBits(0x80, 0);
  }
}

uint32_t JobSettings::SetBindingMarginInInch(uint16_t tenth_mm) {
  SetDuplexOptionBits(kDuplexOptionBindingMarginMetric, 0);
  const auto v = static_cast<uint32_t>(From01mmToInch100(tenth_mm));
  ChangeBindingMargin(v);
  return v;
}

uint32_t JobSettings::SetBindingMarginInMetric(uint16_t hundredth_inch) {
  SetDuplexOptionBits(kDuplexOptionBindingMarginMetric, 1);
  const auto v = static_cast<uint32_t>(FromInch100To01mm(hundredth_inch));
  ChangeBindingMargin(v);
  return v;
}

int JobSettings::CheckSourceBorderless() {
  const int32_t kind = GetPaperKind();
  const int32_t output_kind = GetOutputPaperKind();
  if ((GetSourceCapability() & 0x1000) == 0 && kind != 2 && kind != 3 && output_kind != 2 && output_kind != 3) return 0;
  ChangePagesPerSheet(1);
  SetLayoutOptionBits(64, 0);
  return 1;
}

void JobSettings::ApplySourceMargins() {
  uint32_t values = 0;
  GetPaperSourceValue12(static_cast<uint16_t>(GetPaperSourceIndex()), &values);
  const bool flag = (values & 256) != 0;
  if (TestModelHeaderFlags20(0x800000)) {
    ChangeMarginOption(flag ? 2 : 3);
  } else if (flag) {
    ChangeMarginOption(2);
  }
}

}  // namespace kalimu::settings
