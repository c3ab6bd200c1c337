// The rules that run when the paper source changes: cutting and paper handling, collation and
// reverse order, margins, scaling, the watermark, and the paper and output paper the source
// allows.
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/length_units.h"

#include <windows.h>

namespace kalimu::settings {

namespace {

// Paper-source capability word (+8): bits, and the three small fields it holds.
constexpr uint32_t kCapCutSheet = 1;
constexpr uint32_t kCapSinglePage = 0x1000;
constexpr uint32_t kCapFitOnly = 0x2000;
constexpr uint32_t kCapRoll = 0x4000;
constexpr uint32_t kCapNoWatermark = 0x10000;
constexpr uint32_t kCapNoMargin2 = 0x20000;
constexpr uint32_t kCapRollCut = 0x40000;
constexpr uint32_t kCapAutoCut = 0x80000;
constexpr uint32_t kCapFeedType = 0x400000;
constexpr uint32_t kCapNoRotate = 0x800000;
constexpr uint32_t kCapNoDuplexOption4 = 0x4000000;
constexpr uint32_t kCapSinglePaperPage = 0x10000000;
constexpr uint32_t kCollateRule = 0xF;
constexpr uint32_t kReverseRule = 0xF0;
constexpr uint32_t kMarginClass = 0xF00;
constexpr uint32_t kFeedStraight = 4;  // feed word (+12)
// Model header word 28.
constexpr uint32_t kModelCutter = 0x10 | 0x20;
constexpr uint32_t kModelRollOptions = 0x100;
constexpr uint32_t kModelRollFeeds = 0x200;

constexpr int32_t kSourceRollCut = 268;
constexpr int32_t kSourceRollA = 530;
constexpr int32_t kSourceMain = 257;
constexpr int32_t kSourceAuto = 256;
constexpr int32_t kUserPaperFirstId = 768;

// Paper sizes are stored in 1/360 inch; the device mode holds 0.1 mm.

}  // namespace

uint32_t JobSettings::GetSourceCapability() {
  return ReadSourceWord(static_cast<uint16_t>(GetPaperSourceIndex()), SourceWord::kCapabilityWord);
}

uint32_t JobSettings::GetSourceFeedWord() {
  return ReadSourceWord(static_cast<uint16_t>(GetPaperSourceIndex()), SourceWord::kFeedWord);
}

uint32_t JobSettings::GetSourceCapabilityById(int32_t source_id) {
  uint16_t index = 0;
  return LocateSource(source_id, &index) ? ReadSourceWord(index, SourceWord::kCapabilityWord) : 0;
}

void JobSettings::TakeModelPaper(uint16_t index) {
  int32_t id = 0;
  struct {
    int32_t width;
    int32_t length;
  } extent{};
  GetPaperSizeId(index, &id);
  GetPaperSizeExtent(index, &extent, sizeof(extent));
  SetPaperSizeIndex(index);
  SetPaperSize(id);
  const int32_t length = From360To01mm(extent.length);
  const int32_t width = From360To01mm(extent.width);
  if (FitsPublicPaperFields(width, length)) {
    SetPaperLength(length);
    SetPaperWidth(width);
    return;
  }
  // A paper longer than the 16-bit public fields is known by its id alone, as when it is selected.
  SetPaperLength(0);
  SetPaperWidth(0);
  SetFields(GetFields() & ~static_cast<uint32_t>(DM_PAPERLENGTH | DM_PAPERWIDTH));
}

void JobSettings::ApplyCutterRules() {
  if (TestModelHeaderFlags28(kModelCutter)) {
    uint32_t state = 0;
    if (!GetCutterState(&state) || state == 0) SetCutOptionBits(1 | 2, 0);
  }
  const uint32_t cap = GetSourceCapability();
  if (cap & (kCapRoll | kCapCutSheet)) {
    SetPaperOptionBits(1, 1);
  } else {
    SetPaperOptionBits(1 | 0x100 | 0x20 | 0x40, 0);
    SetCutOptionBits(1 | 2 | 8, 0);
  }
  SetPaperOptionBits(8, (cap & kCapRollCut) != 0 || GetDefaultSource() == kSourceRollCut);
  SetPaperOptionBits(0x80, (cap & kCapAutoCut) != 0);
  if (cap & kCapNoWatermark) SetWatermarkEnabled(0);
  SetLayoutOptionBits(4, (cap & kCapFeedType) != 0);
}

void JobSettings::ApplyRollSourceRules(int keep) {
  if (!TestModelHeaderFlags28(kModelRollOptions)) {
    if (GetDefaultSource() != kSourceRollA) SetPaperOptionBits(4, 0);
    return;
  }
  if (!TestPaperOptionBits(1) || TestPaperOptionBits(0x80)) SetPaperOptionBits(0x20, 0);
  const int32_t source = GetDefaultSource();
  const bool straight_without_cut = SourceIdHasFeedBit4(source) && !SourceIdHasTypeBit40000(source);
  if (straight_without_cut) {
    SetCutOptionBits(1, 0);
    SetPaperOptionBits(2, 0);
  }
  if ((TestPaperOptionBits(1) && !TestPaperOptionBits(0x80)) || straight_without_cut) SetPaperOptionBits(4, 0);
  if (keep == 0 && TestPaperOptionBits(1 | 0x80)) {
    SetCutOptionBits(1, 1);
    SetPaperOptionBits(2, 0);
  }
}

void JobSettings::ApplyCollateRule(int apply) {
  switch (GetSourceCapability() & kCollateRule) {
    case 1:
      if (apply == 1) SetCollate(1);
      break;
    case 2:
      if (apply == 1) SetCollate(0);
      break;
    case 3: SetCollate(1); break;
    case 4: SetCollate(0); break;
    default: break;
  }
}

void JobSettings::ApplySourceFeedNibble(int apply) { ApplyCollateRule(apply); }

void JobSettings::ApplySourceMarginClass(int apply) {
  const auto clear_bit2_without_roll_feeds = [this] {
    if (!TestModelHeaderFlags28(kModelRollFeeds)) SetMarginOptionBits(2, 0);
  };
  switch (GetSourceCapability() & kMarginClass) {
    case 0x100:
      if (apply == 1) SetMarginOptionBits(1, 1);
      break;
    case 0x200:
      if (apply == 1) SetMarginOptionBits(1, 0);
      break;
    case 0x300:
      SetMarginOptionBits(1, 1);
      clear_bit2_without_roll_feeds();
      break;
    case 0x400:
      SetMarginOptionBits(1, 0);
      clear_bit2_without_roll_feeds();
      break;
    default: break;
  }
  ApplySourceMargins();
}

void JobSettings::ApplySourceScalingLimits() {
  if (GetSourceCapability() & kCapFitOnly) SetScalingOptionBits(1 | 8 | 2 | 4, 0);
  const int32_t source = GetDefaultSource();
  if (TestModelHeaderFlags28(kModelRollFeeds) && (source == 258 || source == 264 || source == 531) &&
      GetPaperFeedAuto() == 1) {
    ChangeScalingMode(-2);
  }
}

void JobSettings::ApplySourceChangeRules(int changed) {
  const int32_t source = GetDefaultSource();
  if (!TestModelHeaderFlags28(kModelRollFeeds)) {
    if (!TestModelHeaderFlags28(kModelRollOptions) && TestPaperOptionBits(1) && changed != 0) {
      SetPaperOptionBits(0x100 | 0x20 | 0x40, 0);
    }
    return;
  }
  const bool special_feed = IsSpecialFeedSourceById(source) != 0;
  const bool roll = SourceIdHasTypeBit4000(source) != 0;
  const bool roll_cut = SourceIdHasTypeBit40000(source) != 0;
  if (special_feed) ChangeMarginOption(3);
  if (roll) {
    SetPaperOptionBits(TestPaperOptionBits(0x100) ? 4 : 0x20, 0);
    if (roll_cut) SetPaperOptionBits(0x20 | 2 | 4, 0);
  } else {
    SetPaperOptionBits(0x20 | 2 | 4, 0);
  }
  if (changed == 0) return;
  if (roll) {
    SetPaperOptionBits(0x20 | 2, 0);
    if (roll_cut) {
      SetLayoutOptionBits(0x80, 0);
      if (source == kSourceMain) {
        SetPaperFeedAuto(1);
        SetPaperFeedIndex(DerivePaperFeedIndex());
      } else {
        SetPaperFeedAuto(0);
      }
    }
  } else if (special_feed) {
    SetMarginOptionBits(2, 1);
    SetPaperFeedAuto(0);
  } else {
    ChangeMarginOption(2);
  }
  ChangeRotate180(0);
  if (source != kSourceAuto && IsDuplexOn()) ChangeDuplex(1);
}

void JobSettings::ApplyDuplexSourceRules(int apply) {
  const uint32_t cap = GetSourceCapability();
  const bool one_sided_path = !IsDuplexOn() || (GetSourceFeedWord() & kFeedStraight) != 0;
  if (one_sided_path) {
    ApplyCollateRule(apply);
    if (!TestModelHeaderFlags28(kModelRollOptions)) {
      switch (cap & kReverseRule) {
        case 0x10:
          if (apply == 1) SetLayoutOptionBits(0x80, 1);
          break;
        case 0x20:
          if (apply == 1) SetLayoutOptionBits(0x80, 0);
          break;
        case 0x30: SetLayoutOptionBits(0x80, 1); break;
        case 0x40: SetLayoutOptionBits(0x80, 0); break;
        default: break;
      }
    }
  }
  ApplySourceMarginClass(apply);
  if (apply != 0 && (cap & kCapSinglePage)) {
    SetPagesPerSheet(1);
    SetPosterOptions(0);
    SetLayoutOptionBits(0x80, 0);
  }
  CheckSourceBorderless();
  ApplySourceScalingLimits();
  if (cap & kCapNoWatermark) SetWatermarkEnabled(0);
  if (one_sided_path && (cap & kCapNoRotate)) ChangeRotate180(0);
  if (cap & kCapNoMargin2) SetMarginOptionBits(2, 0);
}

void JobSettings::ApplySourceWatermarkRules() {
  const uint32_t cap = GetSourceCapability();
  if (cap & kCapNoWatermark) SetWatermarkEnabled(0);
  const int32_t kind = GetPaperKind();
  const int32_t output_kind = GetOutputPaperKind();
  if ((cap & kCapSinglePage) || kind == 2 || kind == 3 || output_kind == 2 || output_kind == 3) {
    SetLayoutOptionBits(0x40, 0);
    SetPagesPerSheet(1);
    SetPosterOptions(0);
  }
  if (cap & kCapFitOnly) SetScalingOptionBits(1, 0);
}

void JobSettings::EnsurePaperAllowedBySource() {
  if (TestScalingOptionBits(2 | 8)) return;
  const uint32_t mask = GetSourceMask();
  uint32_t paper_mask = 0;
  if (IsUserPaperSelected()) {
    GetPaperValue16(GetUserPaperIndex(), &paper_mask);
  } else {
    GetPaperSizeValue16(static_cast<uint16_t>(GetPaperSizeIndex()), &paper_mask);
  }
  if ((paper_mask & mask) == 0) TakeModelPaper(ApplySourceMask());
}

void JobSettings::EnsureOutputPaperAllowed() {
  const uint32_t mask = GetSourceMask();
  const int32_t output = static_cast<int32_t>(GetOutputPaperSize());
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t paper_mask = 0;
    if (IsPaperIdAt(output, static_cast<uint16_t>(i)) && GetPaperSizeValue16(static_cast<uint16_t>(i), &paper_mask) &&
        (paper_mask & mask) != 0) {
      return;
    }
  }
  uint32_t user_count = 0;
  GetPaperCount(&user_count);
  for (uint32_t j = 0; j < user_count; ++j) {
    int32_t id = 0;
    uint32_t paper_mask = 0;
    if (GetPaperId(static_cast<uint16_t>(j), &id) && id == output && GetPaperValue16(static_cast<uint16_t>(j), &paper_mask) &&
        (paper_mask & mask) != 0) {
      return;
    }
  }
  int32_t id = 0;
  GetPaperSizeId(ApplySourceMask(), &id);
  SetOutputPaperSize(static_cast<uint32_t>(id));
  RecomputePageGeometry();
}

// The first model paper whose mask has a bit of mask and, unless kinds is 0, whose kind bits
// (+4) have one of kinds; -1 when none.
int32_t JobSettings::FindModelPaperByMask(uint32_t mask, uint32_t kinds, int32_t id) {
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    uint32_t paper_mask = 0;
    GetPaperSizeValue16(index, &paper_mask);
    if ((paper_mask & mask) == 0) continue;
    if (kinds != 0 && !PaperMatchesFeed(index, kinds)) continue;
    if (id != kAnyPaperId && !IsPaperIdAt(id, index)) continue;
    return static_cast<int32_t>(i);
  }
  return -1;
}

// The first user paper in slots [0, end) whose mask has a bit of mask and whose id is id; -1.
int32_t JobSettings::FindUserPaperByMask(uint32_t mask, int32_t id, uint32_t end) {
  uint32_t count = 0;
  GetPaperCount(&count);
  if (end > count) end = count;
  for (uint32_t j = 0; j < end; ++j) {
    int32_t user_id = 0;
    uint32_t paper_mask = 0;
    if (GetPaperId(static_cast<uint16_t>(j), &user_id) && user_id == id &&
        GetPaperValue16(static_cast<uint16_t>(j), &paper_mask) && (paper_mask & mask) != 0) {
      return static_cast<int32_t>(j);
    }
  }
  return -1;
}

void JobSettings::ReselectUserPaper(uint32_t mask) {
  uint32_t model_count = 0;
  GetPaperSizeCount(&model_count);
  const int32_t paper_id = GetPaperSize();
  const auto take_user = [&](int32_t j) { SetPaperSizeIndex(static_cast<int32_t>(model_count) + j); };

  int32_t found = FindModelPaperByMask(mask, 0, paper_id);
  if (found >= 0) {
    SetPaperSizeIndex(found);
  } else {
    const int32_t last_user = GetPaperSizeIndex() - static_cast<int32_t>(model_count);
    const int32_t user = last_user >= 0 ? FindUserPaperByMask(mask, paper_id, static_cast<uint32_t>(last_user) + 1) : -1;
    if (user >= 0) {
      take_user(user);
    } else {
      char measure[4] = {};
      GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, sizeof(measure));
      found = FindModelPaperByMask(mask, measure[0] == '1' && measure[1] == '\0' ? 2 : 1, kAnyPaperId);
      if (found < 0) found = FindModelPaperByMask(mask, 0, kAnyPaperId);
      if (found >= 0) TakeModelPaper(static_cast<uint16_t>(found));
    }
  }
  const int32_t user = FindUserPaperByMask(mask, GetPaperSize(), UINT32_MAX);
  if (user >= 0) take_user(user);
  EnsurePaperAllowedBySource();
}

int JobSettings::MediaAllowsSourceForDuplex(int32_t source_id) {
  const uint16_t media = GetCurrentMediaIndex();
  uint32_t flags = 0;
  GetMediaTypeValue8(media, &flags);
  if ((flags & 0x200) && IsDuplexWithOption4()) return 0;
  if ((flags & 0x2000) && source_id == 2) return 0;
  if (!MediaAllowsSource(media, source_id)) return 0;
  if ((flags & 0x800) && GetPaperPageOption() == 2) SetPaperPageOption(1);
  return 1;
}

int JobSettings::IsSourceUsableForMedia(int32_t source_id) {
  if (!MediaAllowsSourceForDuplex(source_id)) return 0;
  const uint32_t cap = GetSourceCapabilityById(source_id);
  if ((cap & kCapNoDuplexOption4) && IsDuplexWithOption4()) ApplyDuplexLimits();
  if ((cap & kCapSinglePaperPage) && GetPaperPageOption() == 2) SetPaperPageOption(1);
  return 1;
}

void JobSettings::ApplyPaperIdLimits(int32_t paper_id) {
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    if (!IsPaperIdAt(paper_id, static_cast<uint16_t>(i))) continue;
    uint32_t flags = 0;
    GetPaperSizeValue20(static_cast<uint16_t>(i), &flags);
    if ((flags & 0x10) && IsDuplexWithOption4()) ApplyDuplexLimits();
    if ((flags & 0x20) && GetPaperPageOption() == 2) SetPaperPageOption(1);
    if ((flags & 0x40) && GetMediaTuning8() == 1) SetMediaTuning8(0);
    return;
  }
}

int JobSettings::SourceAllowsDuplexType(int32_t duplex) {
  if (duplex == 1) return 1;
  uint32_t media_flags = 0;
  uint32_t paper_flags = 0;
  GetMediaTypeValue8(GetCurrentMediaIndex(), &media_flags);
  GetPaperSizeValue20(static_cast<uint16_t>(GetPaperSizeIndex()), &paper_flags);
  if ((GetSourceCapability() & kCapNoDuplexOption4) || (media_flags & 0x200) || (paper_flags & 0x10)) return 0;
  SetPaperPageOption(1);
  return 1;
}

void JobSettings::MergePaperSelection(JobSettings& other) {
  const int32_t id = TestScalingOptionBits(2 | 8) ? static_cast<int32_t>(other.GetOutputPaperSize()) : other.GetPaperSize();
  const auto find = [&](int kind) {
    uint16_t index = 0;
    return id >= kUserPaperFirstId ? FindUserPaperForSource(kind, id, &index) : FindModelPaperForSource(kind, id, &index);
  };
  if (find(2)) return;
  if (GetSourceCapability() & kCapFitOnly) {
    SetScalingOptionBits(1 | 8, 0);
    SetScalingOptionBits(2 | 4, 0);
  } else if (find(1)) {
    SetScalingOptionBits(1, 1);
    SetScalingOptionBits(8, 0);
    SetScalingOptionBits(2 | 4, 1);
  }
  int32_t output = 0;
  GetPaperSizeId(ApplySourceMask(), &output);
  SetOutputPaperSize(static_cast<uint32_t>(output));
}

}  // namespace kalimu::settings
