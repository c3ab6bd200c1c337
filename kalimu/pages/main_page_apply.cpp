// The main page's part of Apply.
#include "kalimu/pages/main_page.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::pages {
namespace {

constexpr int kBothViews = 0;  // the registry wrappers write both views for any other view

// Bits of value 107 ("PMFlag") and the JobOptions bits they mirror.
struct PmFlagBit {
  uint16_t bit;
  uint32_t job_option;
};
constexpr PmFlagBit kMainPagePmFlags[] = {{1, 64}, {2, 128}, {4, 2048}};

}  // namespace

void CommitMainPage(HWND, PageParam& param) {
  param.settings->RecomputePageGeometry();
  param.settings->CommitPaperFlags();
}

void StoreMainPageValues(HWND, PageParam& param) {
  settings::JobSettings* s = param.settings;
  const uint32_t silent = param.shared->silent_state;
  settings::WritePrinterRegValueById(s, storage::kValueSilent, &silent, sizeof(silent), kBothViews);
  if (param.context == nullptr) return;
  uint16_t flags = 0;
  DWORD bytes = sizeof(flags);
  if (!settings::ReadPrinterRegValueById(s, storage::kValuePmFlag, &flags, &bytes, kBothViews)) flags = 0;
  for (const PmFlagBit& mirror : kMainPagePmFlags) {
    flags = static_cast<uint16_t>(s->TestJobOptionBits(mirror.job_option) ? (flags | mirror.bit) : (flags & ~mirror.bit));
  }
  settings::WritePrinterRegValueById(s, storage::kValuePmFlag, &flags, sizeof(flags), kBothViews);
}

}  // namespace kalimu::pages
