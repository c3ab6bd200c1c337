// The main page's ink levels: a status reading at start-up and the polling of a started refresh.
#include <windows.h>

#include <memory>

#include "kalimu/pages/ink_display.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/status/printer_status.h"

namespace kalimu::pages {
namespace {

// When the page started waiting for a refresh is kept as a window property of the page, so
// that a refresh helper that never answers does not keep the page polling for the sheet's life.
constexpr const char* kPollStartProperty = kStatusPollStartProperty;
constexpr UINT kOwnInkSetString = 3025;
constexpr UINT kOtherInkSetString = 3024;
constexpr int kFirstInkLabel = 1989;
constexpr int kMeterSlots = 8;
constexpr int kInkSetFrame = 2014;

using StatusPtr = std::unique_ptr<status::PrinterStatus>;

StatusPtr NewStatus(PageParam& param) { return StatusPtr(status::CreatePrinterStatus(*param.settings)); }

void ArmPoll(HWND window, UINT delay_ms) { SetTimer(window, kStatusPollTimer, delay_ms, nullptr); }

void StartWaiting(HWND window) {
  SetPropA(window, kPollStartProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(GetTickCount()) | 1u));
}
void StopWaiting(HWND window) { RemovePropA(window, kPollStartProperty); }
bool WaitedTooLong(HWND window) {
  const auto start = static_cast<DWORD>(reinterpret_cast<uintptr_t>(GetPropA(window, kPollStartProperty)));
  // The start is kept with its low bit set (0 means none): clear it again, or a start one above
  // the clock would count as some 49 days of waiting.
  return start == 0 || GetTickCount() - (start & ~DWORD{1}) > kStatusPollLimitMs;
}

void HideMeters(HWND window, PageParam& param) {
  ShowWindow(GetDlgItem(window, kInkSetFrame), SW_HIDE);
  if (HasMeterPerInk(param)) {
    for (int i = 0; i < kMeterSlots; ++i) ShowWindow(GetDlgItem(window, kFirstInkMeter + i), SW_HIDE);
  } else {
    for (int id : {kBlackMeter, kColourMeter, kBlackLabel, kColourLabel, kBlackFrame, kColourFrame}) {
      ShowWindow(GetDlgItem(window, id), SW_HIDE);
    }
  }
}

// The levels of a read status; 1 when a refresh has to be waited for.
bool ShowLevels(HWND window, PageParam& param, status::PrinterStatus& reading, uint32_t warnings, bool ink_set_read) {
  if (!HasMeterPerInk(param)) {
    ShowInkStatusTwoMeters(window, param, warnings, reading);
    return false;
  }
  if (!ink_set_read) {
    ShowInkSetText(window, param);
    return false;
  }
  const uint32_t inks = param.settings->GetInkCount();
  for (uint32_t i = 1; i <= inks; ++i) {
    if ((reading.GetInkState(i) & 0x8000) != 0) return true;
  }
  ShowInkStatus(window, param, reading);
  return false;
}

}  // namespace

void StartStatusPolling(HWND window, PageParam& param) {
  if (param.settings->TestNoBidiFlagBits(8)) {
    HideMeters(window, param);
    return;
  }
  StatusPtr reading = NewStatus(param);
  if (reading == nullptr) return;
  bool poll = false;
  switch (reading->RefreshStatus()) {
    case status::kRefreshLoaded: {
      const uint32_t warnings = reading->GetWarningBits();
      model::InkInfoValue ink_set = {};
      const bool ink_set_read = reading->GetInkSet(&ink_set) != 0;
      if (ink_set_read && IsInkSetDifferent(*param.settings, ink_set)) {
        ShowSettingsMessage(window, param, MB_ICONINFORMATION, 22);
        param.settings->WriteInkInfo(&ink_set);
      }
      if (status::PrinterStatus::HasAnyStatusBit(warnings)) {
        // A refresh that does not start is not waited for.
        poll = reading->StartStatusRefresh() == 1;
      } else {
        poll = ShowLevels(window, param, *reading, warnings, ink_set_read) && reading->StartStatusRefresh() == 1;
      }
      break;
    }
    case status::kRefreshNotStarted:
      break;  // the helper did not start: nobody will answer
    default:
      poll = true;
      break;
  }
  if (poll) {
    StartWaiting(window);
    ArmPoll(window, kFirstPollMs);
  }
}

void PollPrinterStatus(HWND window, PageParam& param, UINT_PTR timer_id) {
  if (timer_id != kStatusPollTimer) return;
  KillTimer(window, kStatusPollTimer);
  StatusPtr reading = NewStatus(param);
  if (reading == nullptr) {
    StopWaiting(window);
    return;
  }
  const int32_t flag = reading->GetRequestFlag();
  if (flag == status::kRequestReplyStored) {
    StopWaiting(window);
    reading->LoadStoredStatus();
    const uint32_t warnings = reading->GetWarningBits();
    model::InkInfoValue ink_set = {};
    const bool ink_set_read = reading->GetInkSet(&ink_set) != 0;
    if (ink_set_read) param.settings->WriteInkInfo(&ink_set);
    if (!HasMeterPerInk(param)) {
      ShowInkStatusTwoMeters(window, param, warnings, *reading);
    } else if (ink_set_read) {
      ShowInkStatus(window, param, *reading);
    } else {
      ShowInkSetText(window, param);
    }
  } else if (flag == status::kRequestNoReply) {
    StopWaiting(window);
    ShowInkSetText(window, param);
  } else if ((flag == status::kRequestPending || flag == status::kRequestNone) && !WaitedTooLong(window)) {
    ArmPoll(window, kRepollMs);
  } else {
    StopWaiting(window);
  }
}

void ShowInkSetText(HWND window, PageParam& param) {
  for (int i = 0; i < kMeterSlots; ++i) {
    ShowWindow(GetDlgItem(window, kFirstInkMeter + i), SW_HIDE);
    ShowWindow(GetDlgItem(window, kFirstInkLabel + i), SW_HIDE);
  }
  ShowWindow(GetDlgItem(window, kInkSetFrame), SW_HIDE);
  ShowWindow(GetDlgItem(window, kBlackInkTextA), SW_SHOW);
  ShowWindow(GetDlgItem(window, kBlackInkTextB), SW_SHOW);
  JobSettings& s = *param.settings;
  uint32_t stored = 0;
  uint32_t fallback = 0;
  s.GetModelHeaderValue112(&stored);
  s.GetDefaultInkSetIndex(&fallback);
  const bool own = stored == fallback;
  char name[64] = {};
  LoadPageString(param, own ? kOwnInkSetString : kOtherInkSetString, name, sizeof(name));
  char ink[kInkInfoChars] = {};
  GetInkInfoText(own ? 7 : 8, param, ink, sizeof(ink));
  char joined[64] = {};
  platform::CopyStringA(joined, sizeof(joined), name);
  platform::AppendStringA(joined, sizeof(joined), " : ");
  platform::AppendStringA(joined, sizeof(joined), ink);
  char text[80] = "\n\n  ";
  platform::AppendStringA(text, sizeof(text), joined);
  SetDlgItemTextA(window, kBlackInkTextB, text);
}

void RefreshInkSetText(HWND window, PageParam& param) {
  StatusPtr reading = NewStatus(param);
  if (reading != nullptr && reading->GetRequestFlag() == status::kRequestNoReply) ShowInkSetText(window, param);
}

}  // namespace kalimu::pages
