// DrvDeviceCapabilities: what the printer can do, answered from the printer's settings with the
// caller's record merged in. The answers are one table keyed by capability index.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "kalimu/driver/driver_ui_types.h"
#include "kalimu/driver/export_guard.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {
namespace {

using settings::JobSettings;

constexpr DWORD kUnsupported = GDI_ERROR;
constexpr int32_t kExtentLimit = 0x7FFF;
constexpr uint32_t kSourceNoNup = 0x1000;  // source capability word: one page per sheet only
constexpr size_t kPersonalityChars = 32;
constexpr wchar_t kPersonality[] = L"XCMDL2";

struct ExtentValues {
  int32_t first;
  int32_t second;
};

DWORD PackExtent(int32_t first, int32_t second) {
  return static_cast<DWORD>(static_cast<uint16_t>(first)) | (static_cast<DWORD>(static_cast<uint16_t>(second)) << 16);
}

uint16_t CurrentSource(JobSettings& s) { return static_cast<uint16_t>(s.GetPaperSourceIndex()); }

DWORD FieldBit(JobSettings& s, DWORD bit) { return (s.GetFields() & bit) != 0 ? 1 : 0; }

DWORD PaperSizes(JobSettings& s, void* out) {
  if (out == nullptr) return s.GetPaperIdsForDefaultSource(nullptr);
  uint32_t records = 0;
  if (!s.GetPaperSizeCount(&records) || records == 0) return kUnsupported;
  return s.GetPaperSizesForDefaultSource(static_cast<settings::ExtentPair*>(out));
}

DWORD MinExtent(JobSettings& s, void*) {
  ExtentValues extent{};
  s.GetPaperSourceValue40(CurrentSource(s), &extent, sizeof(extent));
  return PackExtent(extent.first, extent.second);
}

DWORD MaxExtent(JobSettings& s, void*) {
  ExtentValues extent{};
  s.GetPaperSourceValue32(CurrentSource(s), &extent, sizeof(extent));
  return PackExtent(std::min(extent.first, kExtentLimit), std::min(extent.second, kExtentLimit));
}

DWORD Personality(JobSettings&, void* out) {
  if (out != nullptr) {
    auto* slot = static_cast<wchar_t*>(out);
    std::memset(slot, 0, kPersonalityChars * sizeof(wchar_t));
    std::memcpy(slot, kPersonality, sizeof(kPersonality));
  }
  return 1;
}

using Answer = DWORD (*)(JobSettings& settings, void* out);

struct Capability {
  WORD index;
  Answer answer;
};

// Every capability this driver answers; any other index is not supported.
constexpr Capability kCapabilities[] = {
    {DC_FIELDS, [](JobSettings& s, void*) -> DWORD { return s.GetFields(); }},
    {DC_PAPERS, [](JobSettings& s, void* out) -> DWORD { return s.GetPaperIdsForDefaultSource(static_cast<int16_t*>(out)); }},
    {DC_PAPERSIZE, PaperSizes},
    {DC_MINEXTENT, MinExtent},
    {DC_MAXEXTENT, MaxExtent},
    {DC_BINS, [](JobSettings& s, void* out) -> DWORD { return s.GetSourceIds(static_cast<int16_t*>(out)); }},
    {DC_DUPLEX, [](JobSettings& s, void*) { return FieldBit(s, DM_DUPLEX); }},
    {DC_SIZE, [](JobSettings& s, void*) -> DWORD { return s.GetSize(); }},
    {DC_EXTRA, [](JobSettings& s, void*) -> DWORD { return s.GetDriverExtra(); }},
    {DC_VERSION, [](JobSettings& s, void*) -> DWORD { return s.GetSpecVersion(); }},
    {DC_DRIVER, [](JobSettings& s, void*) -> DWORD { return s.GetDriverVersion(); }},
    {DC_BINNAMES,
     [](JobSettings& s, void* out) -> DWORD {
       if (out == nullptr) return s.GetSourceIds(nullptr);
       return s.GetSourceNames(static_cast<wchar_t(*)[settings::kSourceNameChars]>(out), nullptr);
     }},
    {DC_FILEDEPENDENCIES,
     [](JobSettings&, void* out) -> DWORD {
       if (out != nullptr) *static_cast<wchar_t*>(out) = L'\0';  // an empty list
       return 0;
     }},
    {DC_TRUETYPE, [](JobSettings&, void*) -> DWORD { return 0; }},
    {DC_PAPERNAMES,
     [](JobSettings& s, void* out) -> DWORD {
       if (out == nullptr) return s.GetPaperIdsForDefaultSource(nullptr);
       return s.GetPaperNamesForDefaultSource(static_cast<wchar_t(*)[settings::kPaperNameChars]>(out), nullptr);
     }},
    {DC_ORIENTATION, [](JobSettings&, void*) -> DWORD { return 270; }},
    {DC_COPIES, [](JobSettings&, void*) -> DWORD { return 9999; }},
    {DC_BINADJUST, [](JobSettings&, void*) -> DWORD { return 2; }},
    {DC_EMF_COMPLIANT, [](JobSettings&, void*) -> DWORD { return 1; }},
    {DC_COLLATE, [](JobSettings& s, void*) { return FieldBit(s, DM_COLLATE); }},
    {DC_PERSONALITY, Personality},
    {DC_MEDIAREADY,
     [](JobSettings& s, void* out) -> DWORD {
       if (out != nullptr) s.GetCurrentPaperName(static_cast<wchar_t*>(out), nullptr);
       return 1;
     }},
    {DC_STAPLE, [](JobSettings&, void*) -> DWORD { return 0; }},
    {DC_COLORDEVICE, [](JobSettings&, void*) -> DWORD { return 1; }},
    {DC_NUP,
     [](JobSettings& s, void*) -> DWORD {
       return s.TestPaperSourceFlags8(static_cast<int16_t>(CurrentSource(s)), kSourceNoNup) ? 0 : 4;
     }},
    {DC_MEDIATYPENAMES,
     [](JobSettings& s, void* out) -> DWORD {
       if (out == nullptr) return s.GetMediaIds(nullptr);
       return s.GetMediaNames(static_cast<wchar_t(*)[settings::kMediaNameChars]>(out), nullptr);
     }},
    {DC_MEDIATYPES, [](JobSettings& s, void* out) -> DWORD { return s.GetMediaIds(static_cast<int32_t*>(out)); }},
};

}  // namespace
}  // namespace kalimu::driver

extern "C" {

DWORD WINAPI DrvDeviceCapabilities(HANDLE printer, PWSTR, WORD capability, PVOID out, PDEVMODEW dev_mode) {
  using namespace kalimu;
  const auto* row = std::find_if(std::begin(driver::kCapabilities), std::end(driver::kCapabilities),
                                 [capability](const driver::Capability& c) { return c.index == capability; });
  if (row == std::end(driver::kCapabilities)) return driver::kUnsupported;
  return driver::Guarded<DWORD>(driver::kUnsupported, [&]() -> DWORD {
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer, nullptr, nullptr));
    if (settings == nullptr) return driver::kUnsupported;
    if (dev_mode != nullptr && !settings->MergeDevMode(dev_mode, printer)) return driver::kUnsupported;
    return row->answer(*settings, out);
  });
}

}  // extern "C"
