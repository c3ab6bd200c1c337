// The default record of a printer's model: every value chosen from the model's capability
// tables, the user's locale and the driver data file, through the same change operations a
// user's change runs, so that the record is consistent.
#include "kalimu/settings/job_settings.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "kalimu/platform/file_cache.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/length_units.h"

namespace kalimu::settings {

namespace {

// Model header word 28.
constexpr uint32_t kModelMediaCutter = 128;
constexpr uint32_t kModelCutterStandard = 256;
constexpr uint32_t kModelRollFeeds = 512;
constexpr uint32_t kModelNoBidi = 1;
constexpr uint32_t kModelPlainJobOptions = 0x800000;  // model header word 24
constexpr uint32_t kModelLayout16 = 0x200000;          // model header word 20
constexpr uint32_t kSourceKeepsCut = 0x2000000;        // paper-source word 8
constexpr uint32_t kCutBits = 0xF;
constexpr uint32_t kRollCut = 1 | 8;
constexpr int kDriverUiModuleKey = 4;  // "UIModuleI"
constexpr char kDllNamePrefix[] = "DLLName32=";
constexpr UINT kWatermarkColorString = 1831;
constexpr size_t kCachedLibraries = 8;  // resource libraries of a few drivers in use at once

// Watermark colours by their letter in the resource library's colour string.
struct WatermarkColorLetter {
  char letter;
  uint8_t blue;
  uint8_t green;
  uint8_t red;
};
constexpr WatermarkColorLetter kWatermarkColors[] = {
    {'A', 255, 255, 0}, {'B', 255, 0, 0}, {'F', 255, 0, 255}, {'R', 0, 0, 255}, {'L', 0, 255, 0}, {'Y', 0, 255, 255},
};

uint32_t WatermarkColorForLetter(char letter) {
  for (const auto& entry : kWatermarkColors) {
    if (entry.letter == letter) {
      return uint32_t{entry.blue} | (uint32_t{entry.green} << 8) | (uint32_t{entry.red} << 16);
    }
  }
  return 0;  // black
}

// The resource library's colour letters of the built-in watermarks; null when the library or
// its string cannot be loaded. Loading a library is costly: read once per version of it.
std::shared_ptr<const std::string> WatermarkColorLetters(const char* path) {
  static platform::FileCache<std::string> cache(kCachedLibraries);
  return cache.GetFromPath(path, [path]() -> std::shared_ptr<const std::string> {
    platform::UniqueModule library(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!library) return nullptr;
    char letters[32] = {};
    if (LoadStringA(library.get(), kWatermarkColorString, letters, sizeof(letters)) <= 0) return nullptr;
    return std::make_shared<const std::string>(letters);
  });
}

}  // namespace

// Step 10 of the defaults, also run by the merge: a roll source without the keep flag cuts
// after every page.
void JobSettings::ApplyRollCutDefault() {
  SetCutOptionBits(kCutBits, 0);
  if (SourceIdHasTypeBit4000(GetDefaultSource()) &&
      !TestPaperSourceFlags8(static_cast<int16_t>(GetPaperSourceIndex()), kSourceKeepsCut)) {
    SetCutOptionBits(kRollCut, 1);
  }
}

int JobSettings::SetDefaults(const char* driver_name) {
  // The name may live in this very record: keep a copy before the record is cleared.
  char name[kDriverNameBytes] = {};
  if (driver_name != nullptr) platform::CopyStringA(name, sizeof(name), driver_name);
  auto* record = GetDriverDevMode();
  if (record == nullptr) return 0;
  std::memset(record, 0, kDevModeSize);

  // 1-2: the header and the fields the model announces.
  SetDriverName(name);
  StampDevModeHeader(*record);
  uint32_t fields = 0;
  GetModelHeaderValue12(&fields);
  SetFields(fields);

  // 3-4: portrait, the first source and the first paper it takes.
  ChangeOrientation(DMORIENT_PORTRAIT);
  int32_t first_source = 0;
  GetPaperSourceId(0, &first_source);
  int32_t first_paper = 0;
  GetPaperSizeId(FindFirstPaperForSourceMask(GetSourceMaskByIndex(0)), &first_paper);
  SetPaperSize(first_paper);
  SetPaperSizeIndex(0);
  ChangeDefaultSource(first_source, 1);

  // 5: the paper of the user's measurement system and the custom size seeded from it.
  const bool metric = IsMetricLocale() != 0;
  uint32_t paper_count = 0;
  GetPaperSizeCount(&paper_count);
  for (uint32_t i = 0; i < paper_count; ++i) {
    if (!PaperMatchesFeed(static_cast<uint16_t>(i), metric ? 1 : 2)) continue;
    ChangePaperSize(GetPaperIdByIndex(static_cast<uint16_t>(i)));
    ChangePaperSizeIndex(static_cast<int32_t>(i));
    break;
  }
  // Without a paper of the locale's kind the first paper of the source stays.
  ExtentPair custom{GetPaperWidth(), GetPaperLength()};
  if (custom.width < 1 || custom.height < 1) GetPaperSize01mm(&custom);
  if (!metric) custom = {From01mmToInch100(custom.width), From01mmToInch100(custom.height)};
  SetCustomPaperSize(custom);
  SetCustomPaperUnit(metric ? kCustomPaperUnitTenthMm : kCustomPaperUnitHundredthInch);
  if (metric) {
    SetBindingMarginInMetric(30);
  } else {
    SetBindingMarginInInch(12);
  }

  // 6-7.
  SetCopies(1);
  SetCollate(0);
  SetScale(100);
  SetWatermarkDefaults();

  // 8-13: the layout, cutting and scaling words.
  ChangeRotate180(0);
  ChangePagesPerSheet(1);
  SetPrivateVersion(kDevModePrivateVersion);
  SetPrivateTrailer(kDevModePrivateVersion);
  ChangePaperSourceIndex(0, 1);
  SetMarginOptions(0);
  ChangePagesPerSheet(1);
  SetPaperOptions(0);
  SetCutOptions(0);
  RecomputeLayout();
  if (TestModelHeaderFlags28(kModelCutterStandard)) {
    SetCutOptionBits(1, 1);
    RecomputeLayout();
  }
  if (TestModelHeaderFlags28(kModelRollFeeds)) ApplyRollCutDefault();
  if (TestModelHeaderFlags28(kModelRollFeeds | kModelCutterStandard)) SetLfpIndex(0);
  ApplyCutterRules();
  ChangeScalingOptions(0);
  ChangeOutputPaperSize(GetPaperSize());
  SetImageHeight(0);
  SetImageWidth(0);
  SetWatermarkAspect(0);
  SetPosterPanelMask(0);
  ChangePosterOptions(0);
  ChangeDuplex(DMDUP_SIMPLEX);

  // 14: the tag naming the UI module.
  char module_path[MAX_PATH] = {};
  GetDriverFilePath(kDriverUiModuleKey, module_path, sizeof(module_path));
  const char* file = module_path;
  for (const char* p = module_path; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') file = p + 1;
  }
  const std::string tag = std::string(kDllNamePrefix) + file;
  char cut_tag[kDriverNameBytes] = {};
  CutDriverName(tag.c_str(), cut_tag);
  SetDllNameTag(cut_tag);

  // 15-17: the print mode from the default preset, the ink set, the resolution.
  ChangePrintModeType(1);
  ApplyPresetRecord(FindDefaultPresetIndex());
  uint32_t ink_set = 0;
  uint8_t codes[model::kInkCodeCount] = {};
  GetModelHeaderValue112(&ink_set);
  if (GetInkSetCodes(static_cast<uint16_t>(ink_set), codes, sizeof(codes))) SetModelId(codes, sizeof(codes));
  ApplyModeResolution();
  RecomputePageGeometry();

  // 18-22: colour management, names, dithering, media and the variant's colour.
  SetProfileFlags(0);
  SetSourceProfile1ShortName(nullptr);
  SetSourceProfile2ShortName(nullptr);
  SetSourceProfile3ShortName(nullptr);
  SetPrinterProfile1ShortName(nullptr);
  SetPrinterProfile2ShortName(nullptr);
  SetPrinterProfile3ShortName(nullptr);
  SetRenderingIntent(2);
  SetRenderingIntent2(2);
  SetRenderingIntent3(2);
  if (GetColorMode() == 1) {
    RefreshProfileLists(1);
    SetHostIcmMode(1);
  } else {
    // A new record reads as without colour management already; its method is stated here.
    SetICMMethod(DMICMMETHOD_DRIVER);
    SetNoColorManagement();
  }
  SetPresetName(nullptr);
  SetReservedName(nullptr);
  SetDitherType(5);
  int32_t media_id = 0;
  GetMediaTypeId(GetCurrentMediaIndex(), &media_id);
  SetMediaType(static_cast<uint32_t>(media_id));
  ChangeModeVariant(GetModeVariant());

  // 23: talking to the printer.
  SetNoBidiFlags(TestModelHeaderFlags28(kModelNoBidi) ? 1 : 0);
  SetJobOptions(0x50);
  if (ReadNoBidComm() == 1) {
    SetNoBidiFlagBits(0xF, 1);
    SetJobOptions(0x10);
  }
  if (TestModelHeaderFlags24(kModelPlainJobOptions)) SetJobOptionBits(0x4000, 1);
  SetPrePrintStatus(0);

  // 24-29.
  RecomputeLayout();
  ReloadInkSetTable();
  StorePaperFeedIndex();
  if (TestModelHeaderFlags28(kModelRollFeeds)) {
    SetPaperFeedAuto(0);
    SetMediaTuning8(0);
    SetMediaTuning9(0);
  }
  if (TestModelHeaderFlags28(kModelMediaCutter)) {
    SetPaperPageOption(1);
    SetLayoutOptionBits(16, TestModelHeaderFlags20(kModelLayout16));
    SetLayoutOptionBits(32, 0);
  }
  StoreUiLanguage();
  ApplySourceMargins();
  if (!TestModelHeaderFlags28(kModelRollFeeds)) ChangeMarginOption(3);
  UpdateModeFlag512();
  return 1;
}

void JobSettings::SetWatermarkDefaults() {
  SetWatermarkIndex(0);
  SetWatermarkPosition(0);
  SetWatermarkEnabled(0);
  SetWatermarkSize(50);
  const EdgeValues box{};
  SetWatermarkBox(&box);
  SetWatermarkDensity(20);
  SetWatermarkAspect(0);
  SetWatermarkColor(0);

  char path[MAX_PATH] = {};
  if (!GetUiResourceModulePath(path, sizeof(path))) return;
  const std::shared_ptr<const std::string> letters = WatermarkColorLetters(path);
  if (letters == nullptr) return;
  const int32_t index = GetWatermarkIndex();
  if (index < 0 || index >= static_cast<int32_t>(letters->size())) return;
  SetWatermarkColor(WatermarkColorForLetter((*letters)[index]));
}

}  // namespace kalimu::settings
