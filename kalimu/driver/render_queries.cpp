// The ink set and the output paper's data for the rendering library, and the three exports.
#include "kalimu/driver/render_queries.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/model/cfg_records.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/platform/win32_helpers.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {
namespace {

using settings::JobSettings;
using settings::JobSettingsPtr;

constexpr int kDefaultView = 0;
constexpr int32_t kRollSourceIds[] = {4, 7, 258, 264};
constexpr uint32_t kPaperOptionRollMargins = 8;
constexpr uint32_t kScalingOptionFit = 2;

// A settings object on the caller's record in place; none for a record that is not one of this
// driver's whole records (the settings would read and write past its end).
JobSettingsPtr SettingsOnRecord(DEVMODEW* dev_mode, HANDLE printer) {
  if (dev_mode == nullptr || printer == nullptr ||
      size_t{dev_mode->dmSize} + dev_mode->dmDriverExtra < settings::kDevModeSize ||
      dev_mode->dmSize != settings::kDevModePublicSize) {
    return nullptr;
  }
  return JobSettingsPtr(settings::CreateJobSettings(dev_mode, printer, nullptr, nullptr));
}

// Runs body on the settings of a printer opened by its ANSI name; nothing when either fails.
template <class Body>
void WithNamedPrinter(DEVMODEW* dev_mode, const char* printer_name, Body body) {
  if (printer_name == nullptr) return;
  platform::UniquePrinter printer;
  if (!platform::OpenPrinterByAnsiName(printer_name, printer.Receive())) return;
  JobSettingsPtr settings = SettingsOnRecord(dev_mode, printer.get());
  if (settings != nullptr) body(*settings);
}

// v · 360 / 254 for tenths of a millimetre (unit 1), v · 360 / 100 for hundredths of an inch.
int32_t To360(int64_t value, int32_t unit) {
  return static_cast<int32_t>(value * 360 / (unit == settings::kCustomPaperUnitTenthMm ? 254 : 100));
}

}  // namespace

void FillInkSetInfo(settings::JobSettings& settings, InkSetInfo* out) {
  std::memset(out, 0, sizeof *out);
  model::InkInfoValue stored = {};
  DWORD size = sizeof stored;
  if (settings.ReadRegistryValue(nullptr, nullptr, storage::kValueInkInf, &stored, &size, kDefaultView) !=
          ERROR_SUCCESS ||
      size != sizeof stored || stored.ink_id_length > kInkSetEntries) {
    return;
  }
  uint32_t mask = 0;
  settings.GetInkCodeMask(&mask);
  uint8_t model_codes[model::kInkCodeCount] = {};
  settings.GetModelId(model_codes, sizeof model_codes);
  out->count = static_cast<uint16_t>(stored.ink_id_length);
  // Both lists hold 16 codes: the entries past them are 0.
  const uint32_t known = std::min<uint32_t>(stored.ink_id_length, model::kInkCodeCount);
  for (uint32_t i = 0; i < known; ++i) {
    out->codes[i] = (mask >> i) & 1u ? model_codes[i] : stored.codes[i];
  }
}

void FillUiData2Info(settings::JobSettings& settings, UiData2Info* out) {
  const int32_t output_id = static_cast<int32_t>(settings.GetOutputPaperSize());
  uint32_t paper_count = 0;
  settings.GetPaperSizeCount(&paper_count);
  bool model_paper = false;
  uint16_t paper = paper_count > 0 ? static_cast<uint16_t>(paper_count - 1) : 0;
  for (uint32_t i = 0; i < paper_count; ++i) {
    int32_t id = 0;
    if (settings.GetPaperSizeId(static_cast<uint16_t>(i), &id) && id == output_id) {
      paper = static_cast<uint16_t>(i);
      model_paper = true;
      break;
    }
  }
  model::CapTable2Record margins = {};
  const int32_t margin_index = settings.GetPaperDimension(settings.DerivePaperFeedIndex(), paper);
  if (margin_index < 0 || !settings.GetTable2Record(static_cast<uint16_t>(margin_index), &margins, sizeof margins)) {
    margins = {};
  }

  int32_t source_id = 0;
  settings.GetPaperSourceId(static_cast<uint16_t>(settings.GetPaperSourceIndex()), &source_id);
  const bool roll = std::find(std::begin(kRollSourceIds), std::end(kRollSourceIds), source_id) !=
                    std::end(kRollSourceIds);
  const bool roll_margins = settings.TestPaperOptionBits(kPaperOptionRollMargins) && roll &&
                            ((settings.GetPaperFeedAuto() & 1) == 0 || settings.TestScalingOptionBits(kScalingOptionFit));
  out->zero0 = 0;
  out->top_margin = roll_margins ? margins.top : 0;
  out->zero8 = 0;
  out->bottom_margin = roll_margins ? margins.bottom : 0;
  out->one = 1;
  out->zero28 = 0;
  out->zero32 = 0;
  out->zero36 = 0;
  out->zero40 = 0;

  int32_t extent[2] = {};  // width, length
  if (model_paper && output_id == model::kCustomPaperId) {
    const int32_t unit = static_cast<int32_t>(settings.GetCustomPaperUnit());
    extent[0] = To360(settings.GetCustomPaperWidth(), unit);
    extent[1] = To360(settings.GetCustomPaperLength(), unit);
  } else if (model_paper) {
    settings.GetPaperSizeExtent(paper, extent, sizeof extent);
  } else {
    // A user paper of that id, or no paper at all: extent 0.
    uint32_t user_count = 0;
    settings.GetPaperCount(&user_count);
    for (uint32_t i = 0; i < user_count; ++i) {
      int32_t id = 0;
      if (!settings.GetPaperId(static_cast<uint16_t>(i), &id) || id != output_id) continue;
      int32_t size[2] = {};
      int32_t unit = 0;
      if (settings.GetPaperExtent(static_cast<uint16_t>(i), size, sizeof size) &&
          settings.GetPaperValue4(static_cast<uint16_t>(i), &unit)) {
        extent[0] = To360(size[0], unit);
        extent[1] = To360(size[1], unit);
      }
      break;
    }
  }
  out->paper_width = extent[0];
  out->paper_length = extent[1];
}

}  // namespace kalimu::driver

extern "C" {

DWORD WINAPI DRVUIGetInkSet(DEVMODEW* dev_mode, void* ink_set_info, const char* printer_name) {
  using namespace kalimu::driver;
  return Guarded<DWORD>(1, [&]() -> DWORD {
    if (ink_set_info == nullptr) return 1;
    WithNamedPrinter(dev_mode, printer_name,
                     [&](JobSettings& settings) { FillInkSetInfo(settings, static_cast<InkSetInfo*>(ink_set_info)); });
    return 1;
  });
}

DWORD WINAPI DRVUIGetUIData2(DEVMODEW* dev_mode, void* ui_data, void*, const char* printer_name) {
  using namespace kalimu::driver;
  return Guarded<DWORD>(1, [&]() -> DWORD {
    if (ui_data == nullptr) return 1;
    WithNamedPrinter(dev_mode, printer_name,
                     [&](JobSettings& settings) { FillUiData2Info(settings, static_cast<UiData2Info*>(ui_data)); });
    return 1;
  });
}

DWORD WINAPI DRVUIGetPrePrintStatus(DEVMODEW* dev_mode, HANDLE printer) {
  using namespace kalimu::driver;
  return Guarded<DWORD>(0, [&]() -> DWORD {
    JobSettingsPtr settings = SettingsOnRecord(dev_mode, printer);
    if (settings == nullptr) return 0;
    const uint32_t kept = settings->GetPrePrintStatus();
    const uint32_t word = BuildPrePrintStatus(*settings, printer);
    settings->SetPrePrintStatus(kept);
    return word;
  });
}

}  // extern "C"
