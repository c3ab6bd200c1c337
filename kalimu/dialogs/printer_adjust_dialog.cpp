// The printer adjustment dialog: opening, polling for the printer's reply, commands and OK.
#include "kalimu/dialogs/printer_adjust_dialog.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/dialogs/remote_command_send.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/pages/utility_page.h"
#include "kalimu/settings/printer_reg_values.h"

namespace kalimu::dialogs {
namespace {

constexpr UINT kFirstPoll = 5;  // milliseconds
constexpr UINT kNextPoll = 1;
constexpr int kInkSetChangedMessage = 22;
constexpr int kPlatenWideMessage = 26;
constexpr DWORD kNoHelp = static_cast<DWORD>(-1);

using StatusPtr = std::unique_ptr<status::PrinterStatus>;

AdjustClock& Clock() {
  static AdjustClock clock = &GetTickCount64;
  return clock;
}

// The help table: control ranges with their contexts.
struct HelpRange {
  DWORD first, last, context;
};
constexpr HelpRange kHelpRanges[] = {
    {2350, 2350, 4864}, {2351, 2365, 4869}, {2396, 2396, 4869}, {2398, 2398, 4869}, {2376, 2389, 4869},
    {2397, 2397, 4869}, {2399, 2399, 4869}, {8255, 8270, 4869}, {2366, 2366, 4880}, {2367, 2369, 4885},
    {2373, 2374, 4896}, {2375, 2375, 4901}, {2390, 2391, 4912}, {2393, 2393, 4917}, {2394, 2394, 4928},
    {2395, 2395, 4933}, {8252, 8252, 4960}, {8253, 8253, 4965}, {2392, 2392, kNoHelp}, {2370, 2372, kNoHelp},
};
constexpr size_t HelpRowCount() {
  size_t n = 0;
  for (const HelpRange& r : kHelpRanges) n += r.last - r.first + 1;
  return n;
}
static_assert(HelpRowCount() + 1 == kPrinterAdjustHelpRows);

constexpr std::array<DWORD, 2 * kPrinterAdjustHelpRows> MakeHelpTable() {
  std::array<DWORD, 2 * kPrinterAdjustHelpRows> table{};
  size_t n = 0;
  for (const HelpRange& r : kHelpRanges) {
    for (DWORD id = r.first; id <= r.last; ++id) {
      table[n++] = id;
      table[n++] = r.context;
    }
  }
  return table;  // the last pair stays {0, 0}
}

PrinterAdjustState* StateOf(HWND dialog) {
  return reinterpret_cast<PrinterAdjustState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

// Ends the dialog: notifications sent while it closes (the focus moving away from a field)
// change and show nothing.
void EndAdjustDialog(HWND dialog, PrinterAdjustState& state, INT_PTR result) {
  state.ending = true;
  pages::RemoveToolTipHook(kAdjustToolTipKind);
  EndDialog(dialog, result);
}

// The values from the store: the send button prints the sheet to read them from.
void AnswerFromStore(HWND dialog, PrinterAdjustState& state, status::PrinterStatus* status) {
  settings::JobSettings& settings = *state.param->settings;
  if (!state.shape.no_adjustment) FillAdjustFieldsFromStore(dialog, settings, state.shape);
  SetAdjustControlsAfterStatus(dialog, state.shape, 1);
  SelectInkSetListItem(dialog, settings, status, 1);
  if (state.cutter) UpdateCutterCheck(dialog, state, false);
}

// The values of the printer's stored reply; false when they do not fit the model.
bool AnswerFromPrinter(HWND dialog, PrinterAdjustState& state, status::PrinterStatus& status) {
  settings::JobSettings& settings = *state.param->settings;
  if (!state.shape.no_adjustment && !ShowPrinterAdjustValues(dialog, settings, state.shape, status)) return false;
  SetAdjustControlsAfterStatus(dialog, state.shape, 0);
  SelectInkSetListItem(dialog, settings, &status, 0);
  if (state.cutter) UpdateCutterCheck(dialog, state, true);
  return true;
}

void StartWaiting(HWND dialog, PrinterAdjustState& state) {
  state.wait_started = PrinterAdjustNow();
  SetTimer(dialog, kAdjustTimer, kFirstPoll, nullptr);
  if (!state.shape.no_adjustment) DisableAdjustControlsWhileWaiting(dialog, state.shape);
}

// OK's ink-set step: the user's line, or the ink set the printer reported.
void ApplyInkSetChoice(HWND dialog, PrinterAdjustState& state) {
  settings::JobSettings& settings = *state.param->settings;
  model::InkInfoValue printer{};
  StatusPtr status(state.printer_talk ? status::CreatePrinterStatus(settings) : nullptr);
  bool changed = false;
  if (status == nullptr || !status->GetInkSet(&printer)) {
    const LRESULT line = SendDlgItemMessageA(dialog, kAdjustInkList, LB_GETCURSEL, 0, 0);
    if (line != 0 && line != 1) return;  // no line chosen: nothing changes
    const uint16_t standard = settings.GetDefaultInkSetIndex();
    const uint16_t index = line == 0 ? standard : static_cast<uint16_t>(standard == 0 ? 1 : 0);
    changed = settings.SelectInkSet(index) != 0;
  } else if (pages::IsInkSetDifferent(settings, printer)) {
    settings.WriteInkInfo(&printer);
    changed = true;
  }
  if (!changed) return;
  pages::ShowSettingsMessage(dialog, *state.param, MB_OK, kInkSetChangedMessage);
  model::InkInfoValue stored{};
  settings.ReadInkInfo(&stored);
  settings.CreateForModel(&stored);
  if (state.param->shared != nullptr) state.param->shared->ink_set_changed = 1;
}

void SavePlatenChecks(HWND dialog, PrinterAdjustState& state) {
  if (!state.platen1 && !state.platen2) return;
  uint32_t value = 0;
  state.param->settings->ReadPlatenInfo(&value);
  if (state.platen1) value = (value & ~1u) | (IsDlgButtonChecked(dialog, kAdjustPlaten1) == BST_CHECKED ? 1u : 0u);
  if (state.platen2) value = (value & ~2u) | (IsDlgButtonChecked(dialog, kAdjustPlaten2) == BST_CHECKED ? 2u : 0u);
  state.param->settings->WritePlatenInfo(value);
}

void ShowHelp(HWND window, const PrinterAdjustState& state, UINT command, ULONG_PTR data) {
  ShowDialogHelp(window, *state.param, command, data);
}

}  // namespace

const std::array<DWORD, 2 * kPrinterAdjustHelpRows> kPrinterAdjustHelpTable = MakeHelpTable();

AdjustClock SetPrinterAdjustClock(AdjustClock clock) {
  return std::exchange(Clock(), clock != nullptr ? clock : &GetTickCount64);
}

ULONGLONG PrinterAdjustNow() { return Clock()(); }

void InitPrinterAdjustDialog(HWND dialog, PrinterAdjustState* state) {
  pages::StorePageParam(dialog, state->param);
  SetWindowLongPtrA(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  settings::JobSettings& settings = *state->param->settings;
  state->shape = AskAdjustShape(settings);
  state->printer_talk = !settings.TestNoBidiFlagBits(4);
  state->cutter = settings.TestModelHeaderFlags28(16) && !settings.TestModelHeaderFlags28(32);
  state->maintenance = settings.TestModelHeaderFlags28(48) != 0;
  state->platen1 = settings.SupportsAdjustItem8() != 0;
  state->platen2 = settings.SupportsAdjustItem32() != 0;
  settings::EnsurePrinterRegRootKey(&settings, 3);

  if (state->shape.counts.channels != 0) {
    HeadAdjustRecord record{};
    if (!ReadAdjustRecord(settings, &record)) {
      MakeDefaultAdjustRecord(state->shape, nullptr, &record);
      WriteAdjustRecord(settings, record);
    }
  }
  LayOutAdjustFields(dialog, state->shape);

  // One refresh at most: RefreshStatus starts one unless a fresh reply is stored or pending.
  StatusPtr status(state->printer_talk ? status::CreatePrinterStatus(settings) : nullptr);
  const int32_t flag = status != nullptr ? status->GetRequestFlag() : 0;
  const int refresh = status != nullptr ? status->RefreshStatus() : static_cast<int>(status::kRefreshNotStarted);

  if (state->param->shared != nullptr) state->param->shared->ink_set_changed = 0;
  FillInkSetList(dialog, *state->param);
  if (state->cutter) {
    UpdateCutterCheck(dialog, *state, flag == status::kRequestReplyStored);
  } else {
    for (int control : {kAdjustCutter, kAdjustMaintenance1, kAdjustMaintenance2}) {
      EnableWindow(GetDlgItem(dialog, control), FALSE);
    }
  }
  uint32_t platen = 0;
  if (state->platen1 || state->platen2) state->param->settings->ReadPlatenInfo(&platen);
  CheckDlgButton(dialog, kAdjustPlaten1, state->platen1 && (platen & 1) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kAdjustPlaten2, state->platen2 && (platen & 2) ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(GetDlgItem(dialog, kAdjustPlaten1), state->platen1);
  EnableWindow(GetDlgItem(dialog, kAdjustPlaten2), state->platen2);
  pages::InstallToolTips(dialog, kAdjustToolTipKind);

  switch (DecideAdjustOpening(state->printer_talk && status != nullptr, refresh)) {
    case AdjustRoad::kWait:
      StartWaiting(dialog, *state);
      break;
    case AdjustRoad::kPrinter:
      // A reply that does not fit the model is no better than none.
      if (!AnswerFromPrinter(dialog, *state, *status)) AnswerFromStore(dialog, *state, nullptr);
      break;
    default:
      AnswerFromStore(dialog, *state, nullptr);
      break;
  }
}

void OnPrinterAdjustTimer(HWND dialog, PrinterAdjustState& state, UINT_PTR timer) {
  if (timer != kAdjustTimer) return;
  KillTimer(dialog, kAdjustTimer);
  StatusPtr status(status::CreatePrinterStatus(*state.param->settings));
  if (status == nullptr) return;  // the dialog stays waiting; Cancel closes it
  const int32_t flag = status->GetRequestFlag();
  const ULONGLONG waited = PrinterAdjustNow() - state.wait_started;
  switch (DecideAdjustTick(flag, static_cast<uint32_t>(std::min<ULONGLONG>(waited, UINT32_MAX)))) {
    case AdjustRoad::kWait:
      SetTimer(dialog, kAdjustTimer, kNextPoll, nullptr);
      return;
    case AdjustRoad::kPrinter: {
      model::InkInfoValue ink{};
      if (status->GetInkSet(&ink)) {
        status->LoadStoredStatus();
        if (AnswerFromPrinter(dialog, state, *status)) return;
      }
      AnswerFromStore(dialog, state, status.get());
      return;
    }
    case AdjustRoad::kStore:
      AnswerFromStore(dialog, state, status.get());
      return;
    default:
      return;  // a flag of no known meaning: polling ends, the dialog stays as it is
  }
}

int ApplyPrinterAdjustDialog(HWND dialog, PrinterAdjustState& state) {
  const pages::PageParam& param = *state.param;
  AdjustFieldTexts texts;
  if (!state.shape.no_adjustment) {
    ReadAdjustFieldTexts(dialog, state.shape, &texts);
    if (const uint32_t limit = ValidateAdjustFields(state.shape, texts); limit != 0) {
      ShowAdjustRangeError(dialog, param, limit);
      return 0;
    }
  }
  ApplyInkSetChoice(dialog, state);
  if (state.cutter) SaveCutterSetting(*param.settings, IsDlgButtonChecked(dialog, kAdjustCutter) == BST_CHECKED);
  if (!state.shape.no_adjustment) {
    uint32_t limit = 0;
    if (!SaveAdjustValues(*param.settings, state.shape, texts, &limit)) {
      ShowAdjustRangeError(dialog, param, limit);
      return 0;
    }
  }
  SavePlatenChecks(dialog, state);
  return 1;
}

void OnPrinterAdjustCommand(HWND dialog, PrinterAdjustState& state, int control, int code) {
  if (state.ending) return;
  if (code == EN_KILLFOCUS) {
    // The range message takes the focus from whatever field had it: that is not checked again
    // while the message is up.
    if (state.checking) return;
    if (const uint32_t limit = CheckAdjustField(dialog, control); limit != 0) {
      state.checking = true;
      ShowAdjustRangeError(dialog, *state.param, limit);
      state.checking = false;
    }
    return;
  }
  switch (control) {
    case kAdjustSend:
      SendRemoteCommandPacket(state.param);
      EnableAdjustValueFields(dialog, state.shape);
      return;
    case kAdjustCutter:
      if (state.maintenance) {
        const BOOL on = IsDlgButtonChecked(dialog, kAdjustCutter) == BST_CHECKED;
        EnableWindow(GetDlgItem(dialog, kAdjustMaintenance1), on);
        EnableWindow(GetDlgItem(dialog, kAdjustMaintenance2), on);
      }
      return;
    case kAdjustMaintenance1:
    case kAdjustMaintenance2:
      if (state.maintenance) pages::RunMaintenanceUtility(dialog, state.param, control);
      return;
    case kAdjustPlaten2:
      if (IsDlgButtonChecked(dialog, kAdjustPlaten2) == BST_CHECKED) {
        pages::ShowSettingsMessage(dialog, *state.param, MB_OK, kPlatenWideMessage);
      }
      return;
    case kAdjustHelp:
      ShowHelp(dialog, state, HELP_CONTEXT, kAdjustHelpTopic);
      return;
    case IDOK:
    case kAdjustOk:
      if (ApplyPrinterAdjustDialog(dialog, state)) EndAdjustDialog(dialog, state, 1);
      return;
    case IDCANCEL:
    case kAdjustCancel:
      EndAdjustDialog(dialog, state, 0);
      return;
    default:
      return;
  }
}

INT_PTR CALLBACK PrinterAdjustDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* param = reinterpret_cast<pages::PageParam*>(lparam);
    if (param == nullptr || param->settings == nullptr) {
      EndDialog(dialog, 0);
      return TRUE;
    }
    auto* state = new (std::nothrow) PrinterAdjustState;
    if (state == nullptr) {
      EndDialog(dialog, 0);
      return TRUE;
    }
    state->param = param;
    InitPrinterAdjustDialog(dialog, state);
    return TRUE;
  }
  PrinterAdjustState* state = StateOf(dialog);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
    delete state;
    return FALSE;
  }
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      OnPrinterAdjustCommand(dialog, *state, LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_TIMER:
      OnPrinterAdjustTimer(dialog, *state, wparam);
      return TRUE;
    case WM_NOTIFY:
      pages::HandleToolTipNotifyA(reinterpret_cast<NMHDR*>(lparam), *state->param, kAdjustToolTipKind);
      return TRUE;
    case WM_HELP:
      ShowHelp(static_cast<HWND>(reinterpret_cast<HELPINFO*>(lparam)->hItemHandle), *state, HELP_WM_HELP,
               reinterpret_cast<ULONG_PTR>(kPrinterAdjustHelpTable.data()));
      return TRUE;
    case WM_CONTEXTMENU:
      ShowHelp(dialog, *state, HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(kPrinterAdjustHelpTable.data()));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
