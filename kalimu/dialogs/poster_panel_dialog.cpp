// The poster panel dialog: opening, the joining options, panel clicks, OK and Cancel.
#include "kalimu/dialogs/poster_panel_dialog.h"

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::dialogs {
namespace {

constexpr uint16_t kTips = pages::kPosterPanelTips;
constexpr DWORD kDialogHelpContext = 1792;
constexpr DWORD kHelpTable[] = {2950, 1792, 2954, 1797, 2952, 1808, 2953, 1813, 2956, 1824, 2957, 1824,
                                2958, 1824, 2959, 1824, 2955, kNoHelp, 2951, kNoHelp, 0, 0};

bool OptionSet(const settings::JobSettings& s, uint32_t bit) { return (s.GetPosterOptions() & bit) != 0; }
void SetOption(settings::JobSettings& s, uint32_t bit, bool on) { s.ChangePosterOptionBits(bit, on ? 1 : 0); }

void EnableRadios(HWND dialog, bool on) {
  EnableWindow(GetDlgItem(dialog, kPosterCutLines), on ? TRUE : FALSE);
  EnableWindow(GetDlgItem(dialog, kPosterOverlap), on ? TRUE : FALSE);
}

// The joining style on: the overlap bit follows the cut-line bit, and the radio shows which.
void ShowJoiningStyle(HWND dialog, settings::JobSettings& s) {
  const bool cut_lines = OptionSet(s, kPosterCutLineBit);
  SetOption(s, kPosterOverlapBit, !cut_lines);
  CheckRadioButton(dialog, kPosterCutLines, kPosterOverlap, cut_lines ? kPosterCutLines : kPosterOverlap);
}

}  // namespace

uint32_t TogglePosterPanel(uint32_t mask, int panel, int count) {
  if (panel < 0 || panel >= count || count > 32) return mask;
  const uint32_t every = count == 32 ? 0xFFFFFFFFu : (1u << count) - 1u;
  const uint32_t flipped = mask ^ (1u << panel);
  return (flipped & every) == every ? mask : flipped;
}

void InitPosterPanelDialog(HWND dialog, PageParam& param) {
  settings::JobSettings& s = *param.settings;
  pages::StorePageParam(dialog, &param);
  TakeDevModeSnapshot(param, &param.shared->dialog_snapshot);
  SetOption(s, kPosterDialogOpenBit, true);
  if (OptionSet(s, kPosterCutLineBit) || OptionSet(s, kPosterJoinBit)) {
    CheckDlgButton(dialog, kPosterJoinCheck, BST_CHECKED);
    EnableRadios(dialog, true);
    ShowJoiningStyle(dialog, s);
    SetOption(s, kPosterJoinBit, true);
  } else {
    CheckDlgButton(dialog, kPosterJoinCheck, BST_UNCHECKED);
    EnableRadios(dialog, false);
    SetOption(s, kPosterOverlapBit | kPosterCutLineBit, false);
  }
  pages::InstallToolTips(dialog, kTips);
}

void OnPosterJoinCheck(HWND dialog, PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const bool on = IsDlgButtonChecked(dialog, kPosterJoinCheck) == BST_CHECKED;
  EnableRadios(dialog, on);
  SetOption(s, kPosterJoinBit, on);
  if (on) {
    ShowJoiningStyle(dialog, s);
  } else {
    CheckDlgButton(dialog, kPosterCutLines, BST_UNCHECKED);
    CheckDlgButton(dialog, kPosterOverlap, BST_UNCHECKED);
    SetOption(s, kPosterCutLineBit | kPosterOverlapBit, false);
  }
  DrawPosterPreview(dialog, param);
}

void ChoosePosterCutLines(HWND dialog, PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (OptionSet(s, kPosterCutLineBit)) return;
  SetOption(s, kPosterCutLineBit, true);
  SetOption(s, kPosterOverlapBit | kPosterJoinBit, false);
  DrawPosterPreview(dialog, param);
}

void ChoosePosterOverlap(HWND dialog, PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (!OptionSet(s, kPosterCutLineBit)) return;
  SetOption(s, kPosterCutLineBit, false);
  SetOption(s, kPosterOverlapBit | kPosterJoinBit, true);
  DrawPosterPreview(dialog, param);
}

int ClickPosterPanel(HWND dialog, PageParam& param, POINT screen) {
  settings::JobSettings& s = *param.settings;
  HWND preview = GetDlgItem(dialog, kPosterPreview);
  RECT window{};
  RECT client{};
  if (preview == nullptr || !GetWindowRect(preview, &window) || !GetClientRect(preview, &client)) return -1;
  pages::PreviewLayout layout;
  const pages::PosterPanels panels = pages::FillPosterPreviewLayout(param, client, &layout);
  const int panel = pages::PosterPanelAt(layout, panels, POINT{window.left, window.top}, screen);
  if (panel < 0) return -1;
  s.SetPosterPanelMask(TogglePosterPanel(s.GetPosterPanelMask(), panel, panels.count));
  DrawPosterPreview(dialog, param);
  return panel;
}

void ConfirmPosterPanels(HWND dialog, PageParam& param) {
  settings::JobSettings& s = *param.settings;
  SetOption(s, kPosterDialogOpenBit, false);
  if (!OptionSet(s, kPosterOverlapBit)) SetOption(s, kPosterJoinBit, false);
  FreeDevModeSnapshot(&param.shared->dialog_snapshot);
  pages::RemoveToolTipHook(kTips);
  EndSettingsDialog(dialog, 1);
}

void CancelPosterPanels(HWND dialog, PageParam& param) {
  CancelDialogSnapshot(dialog, param, &param.shared->dialog_snapshot, kTips, 0);
}

INT_PTR CALLBACK PosterPanelDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitPosterPanelDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return FALSE;
  if (HandleTipsAndHelp(dialog, message, wparam, lparam, *param, kTips, kHelpTable)) return TRUE;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(dialog, &paint);
      DrawPosterPreview(dialog, *param);
      EndPaint(dialog, &paint);
      return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT cursor{};
      if (GetCursorPos(&cursor)) ClickPosterPanel(dialog, *param, cursor);
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (HIWORD(wparam) != BN_CLICKED) return FALSE;
      switch (id) {
        case kPosterJoinCheck: OnPosterJoinCheck(dialog, *param); break;
        case kPosterCutLines: ChoosePosterCutLines(dialog, *param); break;
        case kPosterOverlap: ChoosePosterOverlap(dialog, *param); break;
        case kPosterHelp: ShowHelpTopic(dialog, *param, kDialogHelpContext); break;
        case IDOK: ConfirmPosterPanels(dialog, *param); break;
        case IDCANCEL: CancelPosterPanels(dialog, *param); break;
        default: return FALSE;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
