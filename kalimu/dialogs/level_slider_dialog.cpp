// The level slider dialog: the feed mode radios, the hand-set track bar, OK and Cancel.
#include "kalimu/dialogs/level_slider_dialog.h"

#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/pages/track_bar.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {
namespace {

constexpr uint16_t kTips = pages::kLevelSliderTips;
constexpr DWORD kDialogHelpContext = 6416;
constexpr DWORD kHelpTable[] = {2280, 6400, 2281, 6432, 2282, 6432, 2283, 6432, 2284, 6432, 2288, 6432, 2289, 6432,
                                2290, 6432, 2291, 6432, 2293, 6432, 2294, 6432, 2295, 6432, 2262, 6421, 2263, 6421,
                                2261, kNoHelp, 2264, kNoHelp, 2292, kNoHelp, 2296, kNoHelp, 2287, 6416, 2285, 5,
                                2286, 16, 0, 0};
constexpr int kHandSetGroup[] = {kFeedFrame, kFeedBar, kFeedLabel0 + 2, kFeedLabel0 + 1, kFeedLabel0, kFeedText};
constexpr int kLabelStrings = 2293;
constexpr int kTextString = 2296;
constexpr int kNoScaling = -2;

LRESULT Bar(HWND dialog, WPARAM command, LPARAM value = 0) {
  return SendDlgItemMessageA(dialog, kFeedBar, WM_USER, command, value);
}

void PlaceBar(HWND dialog, int position) { Bar(dialog, pages::kTrackSetPosition, position); }

void EnableGroup(HWND dialog, bool on) {
  for (int id : kHandSetGroup) EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

void Check(HWND dialog, int id) { CheckRadioButton(dialog, kFeedByHand, kFeedAutomatic, id); }

void DrawPicture(const PageParam& param, const DRAWITEMSTRUCT* item) {
  if ((item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) return;
  HMODULE module = pages::ResourceModuleOf(param);
  const int bitmap_id = item->CtlID == kFeedPicture0 ? kFeedPicture0 + 1 : kFeedPicture1 + 1;
  HBITMAP bitmap = module != nullptr ? LoadBitmapA(module, MAKEINTRESOURCEA(bitmap_id)) : nullptr;
  if (bitmap == nullptr) return;
  pages::DrawItemBitmap(item, bitmap, pages::kPictureKey);
  DeleteObject(bitmap);
}

}  // namespace

int FeedBarPosition(int index) { return index > 2 ? 0 : 2 - (index < 0 ? 0 : index); }

void InitLevelSliderDialog(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  pages::StorePageParam(dialog, &param);
  TakeDevModeSnapshot(param, &param.shared->inner_dialog_snapshot);
  if (param.context != nullptr && param.context->notification_style == 1) {
    Bar(dialog, pages::kTrackSetNotificationStyle, 0);
  }
  Bar(dialog, pages::kTrackSetRange, MAKELPARAM(0, 2));
  Bar(dialog, pages::kTrackSetPageStep, 1);
  Bar(dialog, pages::kTrackSetPosition, 1);
  Bar(dialog, pages::kTrackSetTickMarks, 0);
  Bar(dialog, pages::kTrackSetMark, 1);
  const int stored = static_cast<int>(settings.GetPaperFeedIndex());
  PlaceBar(dialog, 2 - (stored > 2 ? 0 : stored));  // a stored index above 2 shows as 0
  for (int k = 0; k < 3; ++k) {
    char text[64] = {};
    pages::LoadPageString(param, kLabelStrings + k, text, sizeof(text));
    SetDlgItemTextA(dialog, kFeedLabel0 + k, text);
  }
  char text[256] = {};
  pages::LoadPageString(param, kTextString, text, sizeof(text));
  SetDlgItemTextA(dialog, kFeedText, text);

  if (settings.TestScalingOptionBits(2 | 8)) {
    settings.SetPaperFeedAuto(0);
    EnableWindow(GetDlgItem(dialog, kFeedAutomatic), FALSE);
    Check(dialog, kFeedByHand);
    EnableGroup(dialog, true);
  } else if (settings.TestPaperOptionBits(1) && settings.TestPaperOptionBits(0x100)) {
    settings.SetPaperFeedAuto(1);
    EnableWindow(GetDlgItem(dialog, kFeedByHand), FALSE);
    Check(dialog, kFeedAutomatic);
    EnableGroup(dialog, false);
  } else if (settings.GetPaperFeedAuto() == 1) {
    Check(dialog, kFeedAutomatic);
    EnableGroup(dialog, false);
  } else {
    Check(dialog, kFeedByHand);
    EnableGroup(dialog, true);
  }
  pages::InstallToolTips(dialog, kTips);
}

void ChooseFeedByHand(HWND dialog, PageParam& param) {
  EnableGroup(dialog, true);
  param.settings->SetPaperFeedAuto(0);
}

void ChooseFeedAutomatic(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  const uint16_t index = settings.DerivePaperFeedIndex();
  settings.SetPaperFeedIndex(index);
  PlaceBar(dialog, FeedBarPosition(index));
  EnableGroup(dialog, false);
  settings.SetPaperFeedAuto(1);
  settings.ChangeScalingMode(kNoScaling);
}

void ConfirmLevelSlider(HWND dialog, PageParam& param) {
  settings::JobSettings& settings = *param.settings;
  const int position = static_cast<int>(Bar(dialog, pages::kTrackGetPosition));
  FreeDevModeSnapshot(&param.shared->inner_dialog_snapshot);
  pages::RemoveToolTipHook(kTips);
  // The automatic mode keeps the index derived from the paper (0 to 4, where the bar shows only
  // 0 to 2): the margins that depend on the feed follow it.
  if (settings.GetPaperFeedAuto() != 1 && static_cast<int>(settings.GetPaperFeedIndex()) != 2 - position) {
    settings.SetPaperFeedIndex(static_cast<uint32_t>(2 - position));
  }
  EndSettingsDialog(dialog, 1);
}

INT_PTR CALLBACK LevelSliderDlgProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    InitLevelSliderDialog(dialog, *reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  PageParam* param = pages::PageParamOf(dialog);
  if (param == nullptr) return FALSE;
  if (HandleTipsAndHelp(dialog, message, wparam, lparam, *param, kTips, kHelpTable)) return FALSE;
  switch (message) {
    case WM_COMMAND:
      // The whole wParam: only BN_CLICKED counts.
      switch (wparam) {
        case kFeedByHand: ChooseFeedByHand(dialog, *param); break;
        case kFeedAutomatic: ChooseFeedAutomatic(dialog, *param); break;
        case kFeedOk: ConfirmLevelSlider(dialog, *param); break;
        case kFeedCancel:
        case IDCANCEL:
          CancelDialogSnapshot(dialog, *param, &param->shared->inner_dialog_snapshot, kTips, 0);
          break;
        case kFeedHelp: ShowHelpTopic(dialog, *param, kDialogHelpContext); break;
        default: break;
      }
      return FALSE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlType == ODT_BUTTON && (item->CtlID == kFeedPicture0 || item->CtlID == kFeedPicture1)) {
        DrawPicture(*param, item);
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace kalimu::dialogs
