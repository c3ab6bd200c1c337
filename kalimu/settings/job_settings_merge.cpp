// Taking over a device mode that comes from elsewhere (an application, the spooler, an older
// document): the private part whole when this driver wrote it in this layout, each announced
// public field after the model has accepted it. The incoming record is only read.
#include "kalimu/settings/job_settings.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "kalimu/platform/global_block.h"
#include "kalimu/settings/length_units.h"
#include "kalimu/settings/printer_info.h"

namespace kalimu::settings {

namespace {

// Model header word 28.
constexpr uint32_t kModelMediaSources = 128;
constexpr uint32_t kModelCutterStandard = 256;
constexpr uint32_t kModelRollFeeds = 512;
// Model header word 20.
constexpr uint32_t kModelFeedByPaper = 0x8000;
constexpr uint32_t kModelCorrection1 = 0x10000;
constexpr uint32_t kModelCorrection2 = 0x20000;
constexpr uint32_t kModelPrePrint40 = 0x10000000;
// Model header word 24.
constexpr uint32_t kModelMonoColor1 = 0x800;
constexpr uint32_t kModelPaperCheck = 0x1002100;
constexpr uint32_t kModelPaperCheckMedia = 0x1000000;

constexpr uint32_t kScalingRollFit = 0x40;
constexpr uint32_t kScalingRollBits = 0x4F;
constexpr int16_t kStatusProbe = 5;
constexpr int16_t kMonitorAnswersMode1 = 3;
constexpr int16_t kMonitorAnswersMode2 = 4;
constexpr uint32_t kPersistentNoMonitor = 16;
constexpr int32_t kSourceMain = 257;
constexpr DWORD kIcmByDriver = DMICMMETHOD_DRIVER;

// The bytes of the incoming public header up to dmDriverExtra: enough to learn its sizes.
constexpr size_t kSizedHeaderBytes = offsetof(DEVMODEW, dmDriverExtra) + sizeof(WORD);

}  // namespace

int JobSettings::IsPrivatePartCompatible(const JobSettings& other) const {
  const auto* own = GetDriverDevMode();
  const auto* incoming = other.GetDriverDevMode();
  if (own == nullptr || incoming == nullptr) return 0;
  return AcceptsIncomingPrivatePart(*own, incoming, kDevModeSize) ? 1 : 0;
}

int JobSettings::StoreDriverIcmOnPrinter(HANDLE printer) {
  if (printer == nullptr) return 0;
  platform::GlobalBlock block;
  PRINTER_INFO_2W* info = ReadPrinterInfo2(printer, block);
  if (info == nullptr || info->pDevMode == nullptr) return 0;
  if (info->pDevMode->dmICMMethod == kIcmByDriver) return 1;
  info->pDevMode->dmICMMethod = kIcmByDriver;
  info->pSecurityDescriptor = nullptr;  // left as it is on the printer
  return SetPrinterW(printer, 2, reinterpret_cast<BYTE*>(info), 0) ? 1 : 0;
}

void JobSettings::MergeCustomPaperSize(JobSettings& other) {
  const int32_t length = other.GetPaperLength();
  const int32_t width = other.GetPaperWidth();
  const uint32_t fields = other.GetFields();
  if (length != GetPaperLength() && (fields & DM_PAPERLENGTH)) SetPaperLength(length);
  if (width != GetPaperWidth() && (fields & DM_PAPERWIDTH)) SetPaperWidth(width);

  struct SizePair {
    int32_t width;
    int32_t length;
  };
  SizePair maximum{};
  SizePair minimum{};
  const auto source = static_cast<uint16_t>(GetPaperSourceIndex());
  if (GetPaperSourceValue32(source, &maximum, sizeof(maximum)) && GetPaperSourceValue40(source, &minimum, sizeof(minimum))) {
    if (width > maximum.width) SetPaperWidth(maximum.width);
    if (width < minimum.width) SetPaperWidth(minimum.width);
    if (length > maximum.length) SetPaperLength(maximum.length);
    if (length < minimum.length) SetPaperLength(minimum.length);
  }

  if (length < 1 || width < 1) {
    SetPaperLength(0);
    SetPaperWidth(0);
    SetFields(fields & ~(DM_PAPERLENGTH | DM_PAPERWIDTH));
  } else {
    SetFields(fields | DM_PAPERLENGTH | DM_PAPERWIDTH);
  }

  const bool inch = GetCustomPaperUnit() == kCustomPaperUnitHundredthInch;
  if (TestDeviceOptionBits(2)) {
    const int32_t custom_length = GetCustomPaperLength();
    const int32_t custom_width = GetCustomPaperWidth();
    SetPaperLength(inch ? FromInch100To01mm(custom_length) : custom_length);
    SetPaperWidth(inch ? FromInch100To01mm(custom_width) : custom_width);
  } else if (GetPaperLength() >= 1 && GetPaperWidth() >= 1) {
    const int32_t own_length = GetPaperLength();
    const int32_t own_width = GetPaperWidth();
    const ExtentPair size{inch ? From01mmToInch100(own_width) : own_width, inch ? From01mmToInch100(own_length) : own_length};
    SetCustomPaperSize(size);
  }
}

// The status monitor's answer to the probe request, asked once per merge.
void JobSettings::SetPrivatePart(const DriverDevMode* record) {
  // The whole record is taken and the own public part put back over it.
  DEVMODEW public_part{};
  std::memcpy(&public_part, GetDriverDevMode(), sizeof(public_part));
  SetDriverDevMode(record);
  SetPublicDevMode(&public_part);
}

int16_t JobSettings::MergeState::MonitorAnswer(JobSettings& own) {
  if (!monitor_asked) {
    monitor_answer = own.BuildUtilityCommandLine(nullptr, 0, kStatusProbe, nullptr);
    monitor_asked = true;
  }
  return monitor_answer;
}

int JobSettings::MergeDevMode(const void* dev_mode, HANDLE printer) {
  if (dev_mode == nullptr || GetDriverDevMode() == nullptr) return 0;

  // The incoming record is copied, bounded by the sizes it declares, into a zeroed scratch
  // record of this driver's size; the caller's bytes are never written.
  DEVMODEW header{};
  std::memcpy(&header, dev_mode, kSizedHeaderBytes);
  const size_t declared = size_t{header.dmSize} + header.dmDriverExtra;
  const size_t available = std::max(declared, kSizedHeaderBytes);
  const bool private_part = AcceptsIncomingPrivatePart(*GetDriverDevMode(), dev_mode, available);
  platform::GlobalBlock scratch;
  if (!scratch.Allocate(kDevModeSize)) return 0;
  std::memcpy(scratch.data(), dev_mode, std::min(available, kDevModeSize));
  // A public part shorter than this driver's holds nothing past its end; a private part of
  // another driver or layout is not read at all.
  if (header.dmSize < kDevModePublicSize) {
    std::memset(reinterpret_cast<std::byte*>(scratch.data()) + std::min<size_t>(header.dmSize, kDevModePublicSize), 0,
                kDevModePublicSize - std::min<size_t>(header.dmSize, kDevModePublicSize));
  }
  if (!private_part) std::memset(reinterpret_cast<std::byte*>(scratch.data()) + kDevModePublicSize, 0, kDevModePrivateSize);

  std::unique_ptr<JobSettings> incoming(new (std::nothrow)
                                            JobSettings(scratch.data(), printer_, printer_name_, GetDriverName()));
  if (incoming == nullptr || !incoming->IsValid()) return 0;
  incoming->locator().ShareDriverFiles(locator());
  JobSettings& in = *incoming;
  MergeState state;

  if (private_part && !TestModelHeaderFlags28(kModelRollFeeds) && in.TestScalingOptionBits(kScalingRollFit)) {
    in.SetScalingOptionBits(kScalingRollBits, 0);
  }
  const uint32_t fields = in.GetFields();

  // 5: the private part whole, with what follows from it.
  if (private_part) {
    SetPrivatePart(in.GetDriverDevMode());
    ResolutionPair resolution{};
    GetDeviceResolution(&resolution);
    SetPrintQuality(static_cast<int32_t>(resolution.x));
    SetYResolution(static_cast<int32_t>(resolution.y));
    if (in.GetColorMode() != 1 && in.GetICMMethod() == DMICMMETHOD_SYSTEM) {
      StoreDriverIcmOnPrinter(printer);
      if (fields & DM_ICMMETHOD) SetICMMethod(kIcmByDriver);
    } else if (in.GetColorMode() != 1) {
      SetICMMethod(kIcmByDriver);
    } else if (fields & DM_ICMMETHOD) {
      SetICMMethod(in.GetColorManagementMode() == 1 ? DMICMMETHOD_SYSTEM : kIcmByDriver);
    }
    if (fields & DM_ICMINTENT) SetRenderingIntent(in.GetICMIntent());
    if (fields & DM_MEDIATYPE) SetMediaType(in.GetMediaType());
    if (fields & DM_DITHERTYPE) SetDitherType(in.GetDitherType());
  }

  // 6-7: the ink set of the model, and the media the mode record names.
  uint32_t ink_set = 0;
  uint8_t codes[model::kInkCodeCount] = {};
  GetModelHeaderValue112(&ink_set);
  if (GetInkSetCodes(static_cast<uint16_t>(ink_set), codes, sizeof(codes))) SetModelId(codes, sizeof(codes));
  int32_t media_id = 0;
  GetMediaTypeId(GetCurrentMediaIndex(), &media_id);
  const bool variant_unsupported = !IsModeVariantSupported();
  if (static_cast<uint32_t>(media_id) != GetMediaType() || variant_unsupported) {
    OnSettingChanged(5, GetCurrentMediaIndex());
  }
  SetMediaType(static_cast<uint32_t>(media_id));

  // 8-11: orientation, copies, source and paper.
  if (fields & DM_ORIENTATION) ChangeOrientation(in.GetOrientation());
  if (fields & DM_COPIES) SetCopies(in.GetCopies());
  if (fields & DM_DEFAULTSOURCE) MergeSource(in, private_part);
  if (fields & DM_PAPERSIZE) MergePaper(in, private_part);

  // 12-13.
  uint32_t output_value46 = 0;
  if (OutputPaperHasFlags(0x400)) {
    uint16_t index = 0;
    if (FindModelPaperForSource(0, static_cast<int32_t>(GetOutputPaperSize()), &index)) GetPaperSizeValue46(index, &output_value46);
    if (output_value46 == 0 || output_value46 == 3) {
      if (private_part) SetMarginOptions(in.GetMarginOptions());
      RecomputeLayout();
    }
  }
  if (TestModelHeaderFlags28(kModelCutterStandard | kModelRollFeeds)) {
    uint32_t count = 0;
    GetPaperSourceCount(&count);
    int32_t limit = 0;
    for (uint32_t i = 0; i < count; ++i) {
      int32_t id = 0;
      if (GetPaperSourceId(static_cast<uint16_t>(i), &id) && id == GetDefaultSource()) {
        limit = GetSourceLimitValue(static_cast<uint16_t>(i));
        break;
      }
    }
    UpdateRollFitFlag(limit);
  }

  // 14-16: collation, duplex, the watermark.
  if (fields & DM_COLLATE) {
    SetCollate(in.GetCollate() == 1 ? 1 : 0);
    ApplySourceFeedNibble(0);
  }
  if (fields & DM_DUPLEX) {
    const auto duplex = static_cast<int32_t>(in.GetDuplex());
    if (TestModelHeaderFlags28(kModelMediaSources)) {
      if (SourceAllowsDuplexType(duplex)) ChangeDuplex(duplex);
    } else {
      ChangeDuplex(TestPaperSourceFlags8(static_cast<int16_t>(GetPaperSourceIndex()), 0x100000) ? duplex : 1);
    }
    if (!TestPersistentOptionBits(kPersistentNoMonitor) && IsDuplexOn() &&
        state.MonitorAnswer(*this) != kMonitorAnswersMode2) {
      SetDuplex(DMDUP_SIMPLEX);
      SetDuplexOptionBits(1, 0);
    }
  }
  if (IsWatermarkOn()) {
    SelectWatermarkByIndex();
    GetWatermarkRect();
  }

  // 17: colour and the mode variant, only from a private part of this driver.
  if ((fields & DM_COLOR) && private_part) MergeColor(in, variant_unsupported);

  // 18-28.
  if (!IsHalftoneOptionOn()) SetModeOption3Bits(0x20, 0);
  ApplySourceMargins();
  if (TestModelHeaderFlags28(kModelRollFeeds)) ApplyRollScaling();
  UpdateModeFlag512();
  if (!TestPersistentOptionBits(kPersistentNoMonitor)) {
    const int16_t answer = state.MonitorAnswer(*this);
    uint32_t ink_check = 0;
    DWORD size = sizeof(ink_check);
    const bool checks = (answer == kMonitorAnswersMode1 || answer == kMonitorAnswersMode2) &&
                        ReadRegistryValueById(storage::kValueInkCheck, &ink_check, &size, 0) == ERROR_SUCCESS &&
                        ink_check == 1;
    SetPrePrintStatusBits(16, checks);
  }
  if (TestModelHeaderFlags20(kModelFeedByPaper)) {
    uint32_t feed_limit = 0;
    GetModelHeaderByte76(&feed_limit);
    if (!IsFeedTypeSourceById(GetDefaultSource()) || GetPaperFeedIndex() > feed_limit) {
      SetPaperFeedIndex(DerivePaperFeedIndex());
    }
  }
  MergeCorrectionFlags();
  if (TestModelHeaderFlags20(kModelPrePrint40)) {
    const int16_t answer = state.MonitorAnswer(*this);
    const bool on = (answer == kMonitorAnswersMode1 || answer == kMonitorAnswersMode2) &&
                    TestPrintModeFlags20(static_cast<int16_t>(GetCurrentModeIndex()), 0x10000000);
    SetPrePrintStatusBits(0x40, on);
  } else {
    SetPrePrintStatusBits(0x40, 0);
  }
  MergePaperCheck();
  SetLayoutOptionBits(1024, 0);
  if (TestModelHeaderFlags28(kModelRollFeeds)) {
    const int32_t source = GetDefaultSource();
    SetJobOptionBits(1024, TestMediaTypeFlags8(static_cast<int16_t>(FindMediaIndexById(static_cast<int32_t>(GetMediaId()))),
                                               0x200000) &&
                               (source == 258 || source == 264));
    const auto index = static_cast<int16_t>(GetPaperSourceIndex());
    if (TestPaperSourceFlags12(index, 4 | 0x10) && TestPaperSourceFlags8(index, 0x40000)) SetLayoutOptionBits(1024, 1);
    uint32_t media_flags = 0;
    GetMediaTypeValue8(GetCurrentMediaIndex(), &media_flags);
    if (media_flags & 4) SetCutOptionBits(0xF, 0);
  } else {
    SetJobOptionBits(1024, 0);
  }
  SetPaperOptionBits(0x10, TestPaperOptionBits(1) && !TestPaperOptionBits(0x100));
  return 1;
}

void JobSettings::MergeSource(JobSettings& in, bool private_part) {
  int32_t source = in.GetDefaultSource();
  if (source == 0) source = GetDefaultSource();
  bool accepted = false;
  uint16_t source_index = 0;
  const bool known = LocateSource(source, &source_index) != 0;
  if (TestModelHeaderFlags28(kModelMediaSources)) {
    accepted = IsSourceUsableForMedia(source) != 0;
  } else if (known) {
    SelectionSnapshot snapshot{};
    snapshot.keep = kKeepSource;
    snapshot.source_index = source_index;
    accepted = (CheckSelection(&snapshot) & ~(kConflictPaper | kConflictUserPaper)) == 0;
  }
  if (accepted) {
    ChangeDefaultSource(source, 1);
  } else {
    int32_t id = 0;
    GetPaperSourceId(FindSourceForMedia(), &id);
    ChangeDefaultSource(id, 1);
  }
  RecomputeLayout();
  if (!IsFeedTypeSourceById(GetDefaultSource())) StorePaperFeedIndex();
  if (TestModelHeaderFlags28(kModelRollFeeds)) {
    if (GetDefaultSource() == kSourceMain) ApplySourceChangeRules(1);
    SetDeviceOptionBits(4, TestPaperSourceFlags12(static_cast<int16_t>(GetPaperSourceIndex()), 16));
    // The incoming source index is a private field: read only from this driver's own layout.
    if (private_part && in.GetPaperSourceIndex() != GetPaperSourceIndex()) ApplyRollCutDefault();
  }
}

void JobSettings::MergePaper(JobSettings& in, bool private_part) {
  const int32_t paper = in.GetPaperSize();
  if (paper != 0) {
    MergePaperSelection(in);
    ChangePaperSize(paper);
    if (TestModelHeaderFlags28(kModelMediaSources)) ApplyPaperIdLimits(paper);
  }
  if (paper == model::kCustomPaperId) MergeCustomPaperSize(in);
  if (private_part && in.IsInkSetChanged() && paper >= 768) {
    int32_t id = 0;
    GetPaperSizeId(ApplySourceMask(), &id);
    ChangePaperSize(id);
  }
  RecomputeLayout();
}

void JobSettings::MergeColor(JobSettings& in, bool variant_unsupported) {
  int32_t color = in.GetColor();
  uint32_t media_flags = 0;
  GetMediaTypeValue8(GetCurrentMediaIndex(), &media_flags);
  if ((TestModelHeaderFlags24(kModelMonoColor1) && color == 1) || (media_flags & 0x80) ||
      (IsFeedTypeSourceById(GetDefaultSource()) && (media_flags & 0x10000)) ||
      TestPrintModeFlags24(static_cast<int16_t>(GetCurrentModeIndex()), 0x20)) {
    color = 2;
  }
  int32_t variant = in.GetModeVariant();
  if (color == 2) {
    if (variant != 1 && variant != 2) variant = 1;
  } else {
    variant = 0;
  }
  if (!variant_unsupported) ChangeModeVariant(variant);
  const uint32_t request = TestModeOptionBits(0x200)   ? 0x10
                           : TestModeOptionBits(0x400) ? 0x20
                           : TestModeOptionBits(0x800) ? 0x40
                                                       : 0x80;
  uint32_t choice = 3;
  GetModeOptionChoices(request, &choice, nullptr);
  OnSettingChanged(20, static_cast<int32_t>(choice));
}

void JobSettings::ApplyRollScaling() {
  const auto index = static_cast<int16_t>(GetPaperSourceIndex());
  const bool feed_roll = TestPaperSourceFlags12(index, 16 | 4) != 0;
  const int32_t source = GetDefaultSource();
  const bool roll_source = source == 530 || source == 531;
  const bool manual_feed = GetPaperFeedAuto() == 0;
  if ((TestLayoutOptionBits(4) || TestPaperOptionBits(8)) && manual_feed) {
    if (TestPaperOptionBits(8) && !TestPaperOptionBits(0x100)) {
      SetScalingOptionBits(0x40, 1);
    } else if (TestScalingOptionBits(0x40)) {
      SetScalingOptionBits(0x4F, 0);
    }
  }
  SetScalingOptionBits(0x30, 0);
  if (TestPaperOptionBits(8) && feed_roll && (TestScalingOptionBits(2) || manual_feed)) {
    SetScalingOptionBits(0x20, 1);
  } else if (TestPaperOptionBits(8) && roll_source && (manual_feed || TestScalingOptionBits(2))) {
    SetScalingOptionBits(0x10, 1);
  }
}

void JobSettings::MergeCorrectionFlags() {
  const bool first = TestModelHeaderFlags20(kModelCorrection1) != 0;
  const bool second = TestModelHeaderFlags20(kModelCorrection2) != 0;
  if ((GetPresetCode() & 0x7FFF) != 3 || (!first && !second)) return;
  const uint32_t correction = GetCorrectionMode();
  const bool on = GetColor() == 2 && GetColorMode() == 2 && correction <= 2;
  if (first) SetCorrectionFlagBits(1, on);
  if (second) SetCorrectionFlagBits(2, on);
}

void JobSettings::MergePaperCheck() {
  if (!TestModelHeaderFlags24(kModelPaperCheck)) return;
  int kind = kNoPaper;
  const uint16_t paper = FindPaperForCurrentSource(&kind);
  bool qualifies = false;
  if (kind == kModelPaper) {
    qualifies = TestPaperSizeFlags20(static_cast<int16_t>(paper), 0x200) != 0;
  } else if (kind == kUserPaper) {
    qualifies = TestPaperFlags20(paper, 0x200) != 0;
  }
  bool on = qualifies;
  if (TestModelHeaderFlags24(kModelPaperCheckMedia)) {
    on = qualifies && TestMediaTypeFlags8(static_cast<int16_t>(GetCurrentMediaIndex()), 0x8000000);
  }
  SetPrePrintStatusBits(0x200, on);
}

}  // namespace kalimu::settings
