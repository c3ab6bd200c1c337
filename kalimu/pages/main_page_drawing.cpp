// The main page's owner-drawn items: the mode picture and the combo items.
#include <windows.h>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/page_helpers.h"

namespace kalimu::pages {
namespace {

constexpr uint32_t kModelToneFlag = 0x8000;

bool IsMainCombo(UINT id) {
  return id == kPresetList || id == kMainMediaCombo || id == kModeVariantCombo || id == kTonePresetCombo;
}

void DrawModePicture(const DRAWITEMSTRUCT* item, PageParam& param) {
  const int16_t picture = param.shared->mode_picture_id;
  if (picture == -1) return;
  HBITMAP bitmap = LoadBitmapA(ResourceModuleOf(param), MAKEINTRESOURCEA(static_cast<uint16_t>(picture)));
  if (bitmap == nullptr) return;
  DrawItemBitmap(item, bitmap, kPictureKey);
  DeleteObject(bitmap);
}

// The preset list's separator sits on its first user preset.
bool IsFirstUserPreset(PageParam& param, LPARAM data) {
  JobSettings& s = *param.settings;
  uint32_t presets = 0;
  uint32_t users = 0;
  s.GetPresetCount(&presets);
  s.GetSettingsCount(&users);
  for (uint32_t u = users; u-- > 0;) {
    if (s.UserPresetAllowsSource(static_cast<uint16_t>(u), static_cast<int32_t>(s.GetDefaultSource()))) {
      return data == static_cast<LPARAM>(presets + u);
    }
  }
  return false;
}

void DrawComboItem(HWND window, const DRAWITEMSTRUCT* item, PageParam& param) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  JobSettings& s = *param.settings;
  DRAWITEMSTRUCT drawn = *item;
  if (s.TestModelHeaderFlags24(kModelToneFlag)) {
    if (item->CtlID == kModeVariantCombo) {
      const uint32_t offered = s.GetPrintModeType() == 1 ? GetMediaPresetFlags(s) : GetMediaVariantFlags(s);
      const uint32_t bit = item->itemData == 0 ? 1u : item->itemData == 1 ? 2u : 4u;
      if ((offered & bit) == 0) drawn.itemState |= ODS_DISABLED;
    } else if (item->CtlID == kMainMediaCombo &&
               IsMediaSelectable(window, param, s, static_cast<uint16_t>(item->itemData)) == 0) {
      drawn.itemState |= ODS_DISABLED;
    }
  }
  DrawComboItemText(window, &drawn);
  if (item->CtlID == kPresetList && (item->itemState & ODS_COMBOBOXEDIT) == 0 &&
      IsFirstUserPreset(param, static_cast<LPARAM>(item->itemData))) {
    DrawItemSeparator(item, 0);
  }
}

}  // namespace

void MeasureMainPageItem(HWND window, MEASUREITEMSTRUCT* item) {
  if (item != nullptr && IsMainCombo(item->CtlID)) MeasureComboItem(window, item);
}

void DrawMainPageItem(HWND window, const DRAWITEMSTRUCT* item, PageParam& param) {
  if (item == nullptr) return;
  if (item->CtlID == kModePicture) {
    if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) DrawModePicture(item, param);
  } else if (IsMainCombo(item->CtlID)) {
    DrawComboItem(window, item, param);
  }
}

}  // namespace kalimu::pages
