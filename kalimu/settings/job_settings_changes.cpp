// The change operations of the paper, the output paper, the paper source, the scaling mode,
// the pages-per-sheet code and the orientation: each stores its value and then runs, in a
// fixed order, the rules that depend on it.
#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {

namespace {

constexpr int kPaperSizeSet = 12;
constexpr int kPaperIndexSet = 13;
constexpr int kOutputPaperSet = 14;
constexpr int kSourceIdSet = 11;
constexpr int kSourceIndexSet = 15;
constexpr uint32_t kModelRollOptions = 0x100;  // model header word 28
constexpr uint32_t kModelRollFeeds = 0x200;
constexpr uint32_t kCapRoll = 0x4000;  // paper-source capability word
constexpr uint32_t kCapAutoCut = 0x80000;
constexpr uint32_t kCapFitOnly = 0x2000;
constexpr uint32_t kScaleFit = 2;  // ScalingOptions
constexpr uint32_t kScaleToPaper = 8;
constexpr uint32_t kScaleOutputPaper = 1;
constexpr uint32_t kScaleFitFlag = 4;

}  // namespace

void JobSettings::ChangePaperSize(int32_t paper_id) {
  SetPaperSize(paper_id);
  ApplyPaperChange(kPaperSizeSet);
}

void JobSettings::ChangeOutputPaperSize(int32_t paper_id) {
  SetOutputPaperSize(static_cast<uint32_t>(paper_id));
  ApplyPaperChange(kOutputPaperSet);
}

void JobSettings::ChangePaperSizeIndex(int32_t index) {
  SetPaperSizeIndex(index);
  ApplyPaperChange(kPaperIndexSet);
}

uint16_t JobSettings::ApplySourceMask() { return FindFirstPaperForSourceMask(GetSourceMask()); }

void JobSettings::ChangeDefaultSource(int32_t source_id, int flags) {
  const int32_t old = GetDefaultSource();
  SetDefaultSource(source_id);
  OnSourceChanged(kSourceIdSet, old, flags);
}

void JobSettings::ChangePaperSourceIndex(int32_t index, int flags) {
  const int32_t old = GetPaperSourceIndex();
  if (index == old) return;
  SetPaperSourceIndex(index);
  OnSourceChanged(kSourceIndexSet, old, flags);
}

void JobSettings::OnSourceChanged(int change_type, int32_t old_value, int flags) {
  ClampSourceIndex(change_type);
  if (change_type == kSourceIndexSet) {
    int32_t id = 0;
    GetPaperSourceId(static_cast<uint16_t>(GetPaperSourceIndex()), &id);
    SetDefaultSource(id);
  } else if (change_type == kSourceIdSet) {
    uint32_t count = 0;
    GetPaperSourceCount(&count);
    for (uint32_t i = 0; i < count; ++i) {
      int32_t id = 0;
      if (GetPaperSourceId(static_cast<uint16_t>(i), &id) && id == GetDefaultSource()) {
        SetPaperSourceIndex(static_cast<int32_t>(i));
        break;
      }
    }
  }
  ApplyCutterRules();

  const auto source = static_cast<int16_t>(GetPaperSourceIndex());
  const bool roll = TestPaperSourceFlags8(source, kCapRoll) != 0;
  if (TestModelHeaderFlags28(kModelRollFeeds)) {
    SetPaperOptionBits(0x100, roll && !TestPaperSourceFlags8(source, kCapAutoCut));
  } else if (!roll) {
    SetPaperOptionBits(0x100, 0);
  }
  if (TestModelHeaderFlags28(kModelRollFeeds) && TestScalingOptionBits(kScaleToPaper) &&
      (IsSpecialFeedSourceById(GetDefaultSource()) || IsSourceFlag4000With40000(GetDefaultSource()))) {
    ChangeScalingMode(-2);
  }
  if (change_type == kSourceIndexSet) ApplyRollSourceRules(IsSourceValueMatch(static_cast<uint16_t>(old_value)));
  if (GetDefaultSource() != 4 && GetDefaultSource() != 259) ClampCustomSizeToSource();
  ApplyDuplexSourceRules(flags);
  ReselectUserPaper(GetSourceMaskBit(static_cast<uint16_t>(GetPaperSourceIndex())));
  RecomputePageGeometry();
  EnsureOutputPaperAllowed();
  if (!TestModelHeaderFlags28(kModelRollOptions)) ApplySourceChangeRules(flags);
  CommitPaperFlags();
  if (GetSourceCapability() & kCapFitOnly) {
    ChangeScalingMode(-2);
    ChangeDuplex(1);
  }
}

void JobSettings::ChangeScalingOptions(uint32_t word) {
  const uint32_t old = GetScalingOptions();
  SetScalingOptions(word);
  ApplyScaling(word & kScaleFit ? 2 : word & kScaleToPaper ? 8 : 0, old);
}

void JobSettings::ApplyScalingMode(uint32_t old_word) {
  const uint32_t word = GetScalingOptions();
  ApplyScaling(word & kScaleFit ? 2 : word & kScaleToPaper ? 8 : 0, old_word);
}

void JobSettings::ChangeScalingMode(int32_t mode) { ApplyScaling(mode, GetScalingOptions()); }

// The scaling rules: fit to the output paper (2), scaled to it (8), or reset (any other mode).
void JobSettings::ApplyScaling(int32_t mode, uint32_t old_word) {
  if (mode == 2 || mode == 8) {
    if (mode == 2) {
      SetScalingOptionBits(kScaleToPaper, 0);
      SetScalingOptionBits(kScaleFit | kScaleFitFlag, 1);
    } else {
      SetScalingOptionBits(kScaleFit | kScaleFitFlag, 0);
      SetScalingOptionBits(kScaleToPaper, 1);
    }
    if ((old_word & kScaleOutputPaper) == 0) {
      SetOutputPaperSize(static_cast<uint32_t>(GetPaperSize()));
    } else if ((old_word & (kScaleFit | kScaleToPaper)) == 0) {
      FindLocalePaperIndex();
    }
    SetScalingOptionBits(kScaleOutputPaper, 1);
  } else {
    SetScalingOptions(0);
    SetScalePercent(100);
    if ((GetPaperSourceMask() & GetSourceMask()) == 0) ChangePaperSize(static_cast<int32_t>(GetOutputPaperSize()));
    SetOutputPaperSize(static_cast<uint32_t>(GetPaperSize()));
    ApplyOutputPaperRotation();
    if (IsDuplexWithOption1()) EnableDuplexOption1();
  }
  RecomputePageGeometry();
  ApplySourceWatermarkRules();
}

void JobSettings::ChangePagesPerSheet(int32_t code) {
  const int32_t old = GetPagesPerSheet();
  if (code == old) return;
  SetPagesPerSheet(code);
  OnPagesPerSheetChanged(old);
}

void JobSettings::OnPagesPerSheetChanged(int32_t old_code) {
  const int32_t code = GetPagesPerSheet();
  if (code >= -4 && code <= -1) {
    SetPosterPanelMask(0);
    SetLayoutOptionBit64(0);
    RecomputePageGeometry();
    ClampScaleToRange();
  } else if (code == 1) {
    OnSinglePageLayout(old_code);
  } else if (code == 2 || code == 3) {
    OnTwoPageLayout(old_code);
  }
}

void JobSettings::OnSinglePageLayout(int32_t old_code) {
  SetLayoutOptionBit64(0);
  if (old_code == 2 && (GetPlacement() & 0xF) == 2) ChangePlacement(0);
  SetPosterOptions(0);
  SetPosterPanelMask(0);
  ApplySourceWatermarkRules();
  RecomputePageGeometry();
  ClampScaleToRange();
}

void JobSettings::OnTwoPageLayout(int32_t old_code) {
  const uint32_t choice = GetPlacement() & 0xF;
  if (GetPagesPerSheet() == 2) {
    ChangePlacement(!IsPaperOrientationNatural() ? 2 : choice == 1 || choice == 3 ? 1 : 0);
  } else if (old_code == 2 && choice == 2) {
    ChangePlacement(0);
  }
  RecomputePageGeometry();
  ApplySourceWatermarkRules();
}

void JobSettings::ChangeOrientation(int32_t orientation) {
  if (orientation != 1 && orientation != 2) return;
  SetOrientation(orientation);
  ApplyOrientationRules();
}

}  // namespace kalimu::settings
