// The pre-print status word: the stored readings refreshed through the status monitor, then
// one bit after another from the readings the model has.
#include <algorithm>
#include <cstring>

#include "kalimu/driver/render_queries.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/status/job_settings_status.h"
#include "kalimu/status/monitor_link.h"
#include "kalimu/status/printer_status.h"
#include "kalimu/status/status_publication.h"
#include "kalimu/status/stored_readings.h"

namespace kalimu::driver {
namespace {

using settings::JobSettings;
using namespace storage;  // value ids

// Model header words.
constexpr uint32_t kH20CartridgeFlag = 0x1;
constexpr uint32_t kH20PaperPathFlag = 0x2;
constexpr uint32_t kH20InkLevel = 0x10000000;
constexpr uint32_t kH24Stacker = 0x2;
constexpr uint32_t kH24PlatenKinds = 0x20 | 0x40;
constexpr uint32_t kH24PagePositionSwitch = 0x100;
constexpr uint32_t kH24OverTemperature = 0x1000;
constexpr uint32_t kH24PagePosition = 0x1000000 | 0x2000;
constexpr uint32_t kH24PaperRemain = 0x80000;
constexpr uint32_t kH28BinInfo = 0x4;
constexpr uint32_t kH36HeadId = 0x100;
constexpr uint32_t kH36HeadIdAlways = 0x400 | 0x1000;
constexpr uint32_t kH36SecondBlock = 0x400000;
constexpr uint32_t kH36Mkiwt = 0x1000;
constexpr uint32_t kH40DoubleHeads = 0x400000;

constexpr uint32_t kDefaultHeadValue = 50;
constexpr uint32_t kHeadBlockEntries = 10;
constexpr uint32_t kSourceFlagNoBinInfo = 0x80;
constexpr uint32_t kPlatenWithMonitor = 0x2;

bool IsMonitorMode(int answer) { return answer == 3 || answer == 4; }

// Asks the status monitor for its mode (request 5 or 6).
int MonitorMode(JobSettings& settings, HANDLE printer, int16_t request) {
  char command[status::kMonitorCommandFileBytes] = {};
  return status::BuildMonitorCommand(command, sizeof command, printer, request, nullptr, &settings);
}

class StatusWord {
 public:
  explicit StatusWord(JobSettings& settings) : settings_(settings) {}
  uint32_t Get() const { return settings_.GetPrePrintStatus(); }
  void Set(uint32_t bits, bool on) { settings_.SetPrePrintStatus(on ? Get() | bits : Get() & ~bits); }
  void Add(uint32_t bits) { Set(bits, true); }

 private:
  JobSettings& settings_;
};

}  // namespace

void RefreshStoredReadings(settings::JobSettings& settings, HANDLE printer) {
  if (!IsMonitorMode(MonitorMode(settings, printer, 6))) {
    settings::NormalizeBrsInfo(&settings);
    return;
  }
  status::HeadInfoRecord head = {};
  if (settings.TestModelHeaderFlags36(kH36HeadId)) {
    head.valid = 1;
    head.ink_count = settings.GetInkIdLength();
  }
  uint32_t n = head.ink_count * (settings.TestModelHeaderFlags40(kH40DoubleHeads) ? 2 : 1);
  if (head.valid != 1 && !settings.TestModelHeaderFlags36(kH36HeadIdAlways)) return;

  const DriverRegistry& registry = settings.registry();
  DWORD size = sizeof head;
  if (registry.ReadValue(nullptr, nullptr, kValueRxHeadId, &head, &size, kViewDefault) != ERROR_SUCCESS) {
    // Each block holds ten entries, whatever the ink count says.
    n = std::min(n, kHeadBlockEntries);
    std::fill_n(head.first_block, n, kDefaultHeadValue);
    if (settings.TestModelHeaderFlags36(kH36SecondBlock)) std::fill_n(head.second_block, n, kDefaultHeadValue);
    head.cartridge_flag = settings.TestModelHeaderFlags20(kH20CartridgeFlag) ? 1 : 0;
    head.paper_path_flag = settings.TestModelHeaderFlags20(kH20PaperPathFlag) ? 1 : 0;
  }
  status::PrinterStatusRecord state = {};
  if (!status::StoreStatusReadings(status::PublicationTargetOf(settings), &head, &state)) return;
  head.valid = 1;
  registry.WriteValue(nullptr, nullptr, kValueRxHeadId, REG_BINARY, &head, sizeof head, kViewBoth);
  if (settings.TestModelHeaderFlags36(kH36Mkiwt)) {
    registry.WriteValue(nullptr, nullptr, kValueRxPrnStatus, REG_BINARY, &state, sizeof state, kViewBoth);
    status::WriteStoredNumber(registry, kValueRxPaperFlag, 1);
  }
}

uint32_t BuildPrePrintStatus(settings::JobSettings& settings, HANDLE printer) {
  RefreshStoredReadings(settings, printer);
  const DriverRegistry& registry = settings.registry();
  StatusWord word(settings);

  if (settings.TestModelHeaderFlags36(kH36Mkiwt)) {
    status::PrinterStatusRecord state = {};
    DWORD size = sizeof state;
    const bool stored = registry.ReadValue(nullptr, nullptr, kValueRxPrnStatus, &state, &size, kViewDefault) ==
                        ERROR_SUCCESS;
    word.Set(kPrePrintPaperCheck, status::ReadStoredNumber(registry, kValueRxPaperFlag, 0) == 1 && stored &&
                                      state.mkiwt_status == 1);
  }
  word.Set(kPrePrintInkCheck, status::ReadStoredNumber(registry, kValueInkCheck, 0) == 1);

  if (settings.TestModelHeaderFlags28(kH28BinInfo)) {
    word.Set(kPrePrintBinInfo1 | kPrePrintBinInfo2, false);
    const int32_t bin = status::ReadBinInfo(registry);
    const int32_t default_source = settings.GetDefaultSource();
    if (bin == 1 && !settings.SourceHasFlag4000ById(default_source) &&
        !settings.TestPaperSourceFlags8(static_cast<int16_t>(settings.GetPaperSourceIndex()), kSourceFlagNoBinInfo)) {
      word.Add(kPrePrintBinInfo1);
    } else if (bin == 2 && !settings.SourceHasFlag1ById(default_source)) {
      word.Add(kPrePrintBinInfo2);
    }
  }

  const int32_t ink_level = status::ReadInkLevel(registry);
  if (settings.TestModelHeaderFlags20(kH20InkLevel) && (word.Get() & kPrePrintInkLevelLow) && ink_level != -1) {
    const uint32_t low = static_cast<uint32_t>(ink_level) & 0xFFFF;
    const uint32_t high = static_cast<uint32_t>(ink_level) >> 16;
    if (low == 0 || high == 1) word.Set(kPrePrintInkLevelLow, false);
    word.Set(kPrePrintInkLevelOut, low == 0);
  } else {
    word.Set(kPrePrintInkLevelLow | kPrePrintInkLevelOut, false);
  }

  word.Set(kPrePrintStacker,
           settings.TestModelHeaderFlags24(kH24Stacker) && status::ReadStackerState(registry) == 1);

  const bool had_position = (word.Get() & kPrePrintPagePosition) != 0;
  const int32_t position = status::ReadPagePosition(registry);
  if (settings.TestModelHeaderFlags24(kH24PagePosition)) {
    word.Set(kPrePrintPagePosition | kPrePrintPageStart | kPrePrintPageOther, false);
    if (position == 1 && had_position) word.Add(kPrePrintPagePosition);
    if (position == 0 && !had_position) word.Add(kPrePrintPageStart);
  } else {
    word.Set(kPrePrintPagePosition, settings.TestModelHeaderFlags24(kH24PagePositionSwitch) && position == 1 &&
                                        had_position);
  }

  word.Set(kPrePrintPlatenMonitor, settings.TestModelHeaderFlags24(kH24PlatenKinds) &&
                                       (status::ReadPlatenInfo(registry) & kPlatenWithMonitor) != 0 &&
                                       IsMonitorMode(MonitorMode(settings, printer, 5)));
  word.Set(kPrePrintOverTemperature,
           settings.TestModelHeaderFlags24(kH24OverTemperature) && status::ReadOverTemperature(registry) == 1);
  word.Set(kPrePrintPaperRemain,
           settings.TestModelHeaderFlags24(kH24PaperRemain) && status::ReadPaperRemain(registry) == 1);
  word.Add(static_cast<uint32_t>(status::ReadStoredNumber(registry, kValuePpck, 0)));
  return word.Get();
}

}  // namespace kalimu::driver
