// The layout page's dialog procedure, start-up and refresh, the layout, duplex and scale
// controls, drawing, paint and Apply.
#include "kalimu/pages/layout_page.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/paper_source_internal.h"
#include "kalimu/pages/spin_steps.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/watermark/layout_bitmaps.h"

namespace kalimu::pages {

using namespace paper_source;

namespace {

constexpr int kPosterRadios[] = {2446, 2447, 2448, 2449};
constexpr uint32_t kSourceNormalSizeOnly = 0x2000;  // source code word
constexpr uint32_t kSourceNoWatermark = 0x10000;
constexpr uint32_t kSourceDuplex = 0x100000;

int32_t Code(settings::JobSettings& s) { return s.GetPagesPerSheet(); }

void SelectRadio(HWND page, int first, int last, int chosen) {
  CheckRadioButton(page, first, last, chosen);
}

void FreeWatermarkBuffers(PageShared& shared) {
  for (void** buffer : {&shared.watermark_bitmap, &shared.watermark_display}) {
    if (*buffer != nullptr) platform::GlobalBlock::FreeLocked(*buffer);
    *buffer = nullptr;
  }
  shared.watermark_bytes = 0;
}

// Hands the pair of blocks over to the shared record, in place of the ones it held.
void KeepWatermarkBuffers(PageShared& shared, watermark::WatermarkBitmaps& bitmaps) {
  FreeWatermarkBuffers(shared);
  shared.watermark_bytes = bitmaps.size;
  shared.watermark_bitmap = bitmaps.loaded.Release();
  shared.watermark_display = bitmaps.display.Release();
}

// The selected watermark's picture into the shared record's two buffers.
void LoadWatermarkPicture(HWND page, const PageParam& param) {
  watermark::WatermarkBitmaps bitmaps;
  const watermark::LayoutWatermarkContext context{param.settings, ResourceModuleOf(param), &bitmaps, nullptr};
  watermark::LoadCurrentWatermarkBitmap(page, context);
  KeepWatermarkBuffers(*param.shared, bitmaps);
}

}  // namespace

void ReloadEditedWatermark(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  watermark::WatermarkBitmaps bitmaps;
  const watermark::LayoutWatermarkContext context{param.settings, ResourceModuleOf(param), &bitmaps, nullptr};
  const auto index = static_cast<uint16_t>(s.GetWatermarkIndex());
  char path[MAX_PATH] = {};
  s.GetBitmapPath(index, path, sizeof(path));
  if (watermark::LoadWatermarkBitmap(page, path, context, index) == watermark::kDibTooLarge) {
    ShowSettingsMessage(page, param, 0, 10);
  }
  RefillWatermarkList(page, param, static_cast<int32_t>(s.GetWatermarkIndex()));
  watermark::PrepareWatermarkPreview(page, context);
  KeepWatermarkBuffers(*param.shared, bitmaps);
}

void RepaintLayoutPreview(HWND page) { InvalidateRect(GetDlgItem(page, kLayoutPreview), nullptr, TRUE); }

void ApplyPosterRadioRule(HWND page, const PageParam& param) {
  for (int radio : {kPoster1Radio, kPoster2Radio, kPoster3Radio}) Enable(page, radio, true);
  Enable(page, kPoster4Radio, param.settings->IsNearlySquarePaper() == 1);
}

void UpdateLayoutControls(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const int32_t p = Code(s);
  if (p == 2 || p == 3) {
    for (int control : {kPageOrderButton, kPageFrameCheck, kPagesPerSheetRadio, kPosterRadio}) {
      Enable(page, control, true);
    }
  } else {
    Enable(page, kPageOrderButton, false);
    Enable(page, kPageFrameCheck, false);
    Enable(page, kPagesPerSheetRadio, p != 1);
    Enable(page, kPosterRadio, p != 1);
  }
  if (p == 1) {
    for (int control : {kMultiPageCheck, kPagesPerSheetRadio, kPosterRadio}) Check(page, control, false);
    for (int control : {kTwoPagesRadio, kFourPagesRadio, kPoster1Radio, kPoster2Radio, kPoster3Radio, kPoster4Radio, kPageFrameCheck, kPageOrderButton,
                        kPosterPanelButton}) {
      EnableShow(page, control, false);
    }
  } else if (p == 2 || p == 3) {
    Check(page, kMultiPageCheck, true);
    SelectRadio(page, kPagesPerSheetRadio, kPosterRadio, kPagesPerSheetRadio);
    Check(page, kPosterRadio, false);
    SelectRadio(page, kTwoPagesRadio, kFourPagesRadio, p == 2 ? kTwoPagesRadio : kFourPagesRadio);
  }
  Check(page, kPageFrameCheck, s.HasLayoutOptionBit64() != 0);
  HWND skip = GetDlgItem(page, kSkipBlankCheck);
  if (!s.TestModelHeaderFlags24(0xC00000)) {
    s.SetJobOptions(s.GetJobOptions() & ~0x4000u);
    if (skip != nullptr) EnableShow(page, kSkipBlankCheck, false);
  } else if (skip == nullptr) {
    s.SetJobOptions(s.GetJobOptions() & ~0x4000u);
  } else {
    EnableShow(page, kSkipBlankCheck, true);
    Check(page, kSkipBlankCheck, s.TestJobOptionBits(0x4000) != 0);
  }
}

void UpdateDuplexControls(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  if (param.shared->monitor_present == 0) {
    s.ChangeDuplex(1);
    Check(page, kDuplexCheck, false);
    Check(page, kDuplexOptionCheck, false);
    for (int control : {kDuplexCheck, kBindingMarginButton, kDuplexOptionCheck}) Enable(page, control, false);
    Enable(page, kMultiPageCheck, true);
  }
  if (GetCurrentPaperFlags(param) & 0x10000) {
    s.ChangeDuplex(1);
    Check(page, kDuplexCheck, false);
    Check(page, kDuplexOptionCheck, false);
    for (int control : {kDuplexCheck, kDuplexOptionCheck, kBindingMarginButton}) Enable(page, control, false);
    if (param.shared->monitor_present == 0 && s.CheckSourceBorderless() != 0) Enable(page, kMultiPageCheck, false);
    return;
  }
  if (!s.IsDuplexOn()) {
    Check(page, kDuplexCheck, false);
    Check(page, kDuplexOptionCheck, false);
    Enable(page, kBindingMarginButton, false);
    Enable(page, kDuplexOptionCheck, false);
    Enable(page, kMultiPageCheck, true);
    return;
  }
  Check(page, kDuplexCheck, true);
  Enable(page, kBindingMarginButton, true);
  Enable(page, kPosterRadio, false);
  const bool without_option = s.IsDuplexWithoutOption1() != 0;
  Check(page, kDuplexOptionCheck, !without_option);
  Enable(page, kMultiPageCheck, without_option);
}

void UpdateScaleControls(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  const int32_t id = SourceId(s);
  const bool no_percentage = id == 258 || id == 264 || id == 531;
  const bool forbidden = no_percentage && s.GetPaperFeedAuto() == 1;
  if (forbidden) {
    s.ChangeScalingMode(-2);
    Check(page, kScaledPrintingCheck, false);
    Enable(page, kScaledPrintingCheck, false);
  }
  const bool fit = s.TestScalingOptionBits(2) != 0;
  const bool percent = s.TestScalingOptionBits(8) != 0;
  if (forbidden || (!fit && !percent)) {
    Check(page, kFitToPaperRadio, false);
    Check(page, kScaleRadio, false);
    Enable(page, kFitToPaperRadio, false);
    Enable(page, kScaleRadio, false);
    SetDlgItemTextA(page, kScaleEdit, "");
    for (int control : {kScaleEdit, kScaleArrows, kScaleRangeLabel, kOutputPaperLabel, kOutputPaperList, kScaleLabel}) {
      Enable(page, control, false);
    }
    SendDlgItemMessageA(page, kOutputPaperList, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  } else {
    Enable(page, kFitToPaperRadio, true);
    Enable(page, kScaleRadio, !no_percentage);
    for (int control : {kScaleEdit, kOutputPaperLabel, kOutputPaperList}) Enable(page, control, true);
    const bool arrows = !fit && !no_percentage;
    for (int control : {kScaleRangeLabel, kScaleArrows, kScaleLabel}) Enable(page, control, arrows);
  }
  Enable(page, kScaleEdit, percent && !fit && !forbidden);
}

void UpdateLayoutState(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  uint32_t v = 0;
  s.GetPaperSourceValue8(static_cast<uint16_t>(Current(s)), &v);
  const int32_t p = Code(s);
  // 1: the watermark group.
  if (v & kSourceNoWatermark) {
    s.SetWatermarkEnabled(0);
    for (int control : {kWatermarkList, kWatermarkManageButton, kWatermarkEditButton, kWatermarkLabel}) {
      Enable(page, control, false);
    }
  } else {
    uint32_t entries = 0;
    s.GetEntryCount(&entries);
    for (int control : {kWatermarkList, kWatermarkManageButton, kWatermarkLabel}) Enable(page, control, entries != 0);
  }
  // 2-3: the multi-page controls.
  if (s.CheckSourceBorderless() == 0) {
    for (int control : {kMultiPageCheck, kTwoPagesRadio, kFourPagesRadio}) Enable(page, control, true);
    if (s.IsDuplexWithOption1()) Enable(page, kMultiPageCheck, false);
    if (p == 1) {
      for (int control : {kMultiPageCheck, kPagesPerSheetRadio, kPosterRadio}) Check(page, control, false);
      Enable(page, kPagesPerSheetRadio, false);
      Enable(page, kPosterRadio, false);
    } else if (p == 2 || p == 3) {
      SelectRadio(page, kTwoPagesRadio, kFourPagesRadio, p == 2 ? kTwoPagesRadio : kFourPagesRadio);
      Check(page, kMultiPageCheck, true);
    } else if (p >= -4 && p <= -1) {
      SelectRadio(page, 2446, 2449, 2446 + (-p - 1));
      Check(page, kMultiPageCheck, true);
    }
    if (p >= -4 && p < 0) {
      SelectRadio(page, kPagesPerSheetRadio, kPosterRadio, kPosterRadio);
      Check(page, kPagesPerSheetRadio, false);
      EnableShow(page, kTwoPagesRadio, false);
      EnableShow(page, kFourPagesRadio, false);
      for (int radio : kPosterRadios) EnableShow(page, radio, true);
      ApplyPosterRadioRule(page, param);
      EnableShow(page, kPageFrameCheck, false);
      EnableShow(page, kPageOrderButton, false);
      EnableShow(page, kPosterPanelButton, true);
    } else if (p == 1) {
      for (int control : {kTwoPagesRadio, kFourPagesRadio, kPoster1Radio, kPoster2Radio, kPoster3Radio, kPoster4Radio, kPageFrameCheck, kPageOrderButton,
                          kPosterPanelButton}) {
        EnableShow(page, control, false);
      }
    } else if (p == 2 || p == 3) {
      SelectRadio(page, kPagesPerSheetRadio, kPosterRadio, kPagesPerSheetRadio);
      Check(page, kPosterRadio, false);
      EnableShow(page, kTwoPagesRadio, true);
      EnableShow(page, kFourPagesRadio, true);
      for (int radio : kPosterRadios) EnableShow(page, radio, false);
      EnableShow(page, kPageFrameCheck, true);
      EnableShow(page, kPageOrderButton, true);
      EnableShow(page, kPosterPanelButton, false);
    }
  } else {
    for (int control : {kMultiPageCheck, kPagesPerSheetRadio, kPosterRadio, kPageFrameCheck}) Check(page, control, false);
    for (int control : {kPagesPerSheetRadio, kPosterRadio, kMultiPageCheck}) Enable(page, control, false);
    for (int control : {kPageOrderButton, kTwoPagesRadio, kFourPagesRadio, kPageFrameCheck, kPoster1Radio, kPoster2Radio, kPoster3Radio, kPoster4Radio,
                        kPosterPanelButton}) {
      EnableShow(page, control, false);
    }
  }
  // 4-5: scaling and duplex of the source.
  if (v & kSourceNormalSizeOnly) {
    s.ChangeScalingMode(-2);
    for (int control : {kFitToPaperRadio, kScaleRadio, kScaleEdit, kScaleArrows, kScaleRangeLabel, kOutputPaperLabel,
                        kOutputPaperList, kScaleLabel, kScaledPrintingCheck}) {
      Enable(page, control, false);
    }
    Check(page, kScaledPrintingCheck, false);
    Check(page, kFitToPaperRadio, false);
    s.ChangeDuplex(1);
    Check(page, kDuplexCheck, false);
    Check(page, kDuplexOptionCheck, false);
    for (int control : {kDuplexOptionCheck, kBindingMarginButton, kDuplexCheck}) Enable(page, control, false);
    Enable(page, kPosterRadio, Code(s) != 1);
    return;
  }
  for (int control : {kFitToPaperRadio, kScaleRadio, kScaledPrintingCheck}) Enable(page, control, true);
  UpdateScaleControls(page, param);
  if (param.shared->monitor_present != 0) {
    if (!(v & kSourceDuplex) || (GetCurrentPaperFlags(param) & 0x10000)) {
      Check(page, kDuplexCheck, false);
      Check(page, kDuplexOptionCheck, false);
      s.ChangeDuplex(1);
      Enable(page, kDuplexCheck, false);
      Enable(page, kDuplexOptionCheck, false);
    } else {
      Enable(page, kDuplexCheck, true);
    }
  }
}

void RefreshLayoutPage(HWND page, const PageParam& param) {
  settings::JobSettings& s = *param.settings;
  SendDlgItemMessageA(page, kScaleEdit, EM_LIMITTEXT, 3, 0);
  WriteEditNumber(page, kScaleEdit, static_cast<int32_t>(s.GetScalePercent()));
  PrepareSpin(GetDlgItem(page, kScaleArrows));
  const bool watermarks = s.GetWatermarkFlags() != 0;
  for (int control : {kWatermarkEditButton, kWatermarkManageButton, kWatermarkList, kWatermarkLabel}) {
    Enable(page, control, watermarks);
  }
  UpdateLayoutControls(page, param);
  const bool fit = s.TestScalingOptionBits(2) != 0;
  const bool percent = s.TestScalingOptionBits(8) != 0;
  if (!fit && !percent) {
    for (int control : {kScaledPrintingCheck, kFitToPaperRadio, kScaleRadio}) Check(page, control, false);
    Check(page, kNormalSizeRadio, true);
  } else {
    Check(page, kScaledPrintingCheck, true);
    Check(page, kNormalSizeRadio, false);
    SelectRadio(page, kFitToPaperRadio, kScaleRadio, fit ? kFitToPaperRadio : kScaleRadio);
  }
  UpdateDuplexControls(page, param);
  UpdateLayoutState(page, param);
  if (Code(s) < 0) ApplyPosterRadioRule(page, param);
  FillOutputPaperList(page, param);
  if (!s.TestModelHeaderFlags20(0x80)) {
    FillWatermarkCombo(page, const_cast<PageParam*>(&param));
    LoadWatermarkPicture(page, param);
  }
  RepaintLayoutPreview(page);
  param.shared->preview_placement = static_cast<uint16_t>(s.GetPlacement() & 0xF);
  ShowDriverVersionText(GetDlgItem(page, kLayoutVersionText), &param);
}

void FillLayoutPageControls(HWND page, PageParam& param) {
  RefreshLayoutPage(page, param);
  param.settings->SetSheetState(2);
}

void CommitLayoutPage(HWND page, const PageParam& param) {
  if (param.settings->TestScalingOptionBits(8)) CheckScalePercent(page, param);
  static_cast<storage::WatermarkStore&>(*param.settings).Save();
}

void DrawLayoutPageItem(HWND page, const PageParam& param, const DRAWITEMSTRUCT* item) {
  if (item == nullptr) return;
  settings::JobSettings& s = *param.settings;
  if (item->CtlType == ODT_BUTTON) {
    if (item->CtlID == kLayoutPicture && (item->itemAction == ODA_DRAWENTIRE || item->itemAction == ODA_SELECT)) {
      UniqueGdiObject bitmap(LoadBitmapA(ResourceModuleOf(param), MAKEINTRESOURCEA(7300)));
      if (bitmap) DrawItemBitmap(item, static_cast<HBITMAP>(bitmap.get()), kPictureKey);
    }
    return;
  }
  if (item->CtlType != ODT_COMBOBOX || item->itemID == static_cast<UINT>(-1)) return;
  char text[256] = {};
  const bool in_list = (item->itemState & ODS_COMBOBOXEDIT) == 0;
  if (item->CtlID == kOutputPaperList) {
    DrawComboItemText(page, item);
    if (!in_list) return;
    SendMessageA(item->hwndItem, CB_GETLBTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
    char separator[256] = {};
    LoadPageString(param, 256, separator, sizeof(separator));
    uint32_t users = 0;
    s.GetPaperCount(&users);
    if (separator[0] != '\0' && std::strcmp(text, separator) == 0 && users != 0) DrawItemSeparator(item, 1);
  } else if (item->CtlID == kWatermarkList && !s.TestModelHeaderFlags20(0x80)) {
    DrawComboItemText(page, item);
    if (!in_list) return;
    uint32_t built_in = 0;
    uint32_t entries = 0;
    s.GetBuiltInCount(&built_in);
    s.GetEntryCount(&entries);
    if (built_in == 0 || built_in == entries) return;
    SendMessageA(item->hwndItem, CB_GETLBTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
    char last[64] = {};
    s.GetEntryName(static_cast<uint16_t>(built_in - 1), last, sizeof(last));
    if (std::strcmp(text, last) == 0) DrawItemSeparator(item, 1);
  }
}

}  // namespace kalimu::pages
