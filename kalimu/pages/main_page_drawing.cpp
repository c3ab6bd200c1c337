// The main page's owner-drawn items: the mode picture and the combo items.
#include <windows.h>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/layout_preview.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/page_helpers.h"

namespace kalimu::pages {
namespace {

constexpr uint32_t kModelToneFlag = 0x8000;
constexpr uint32_t kModelModeOptions = 0x2000000;
constexpr int kToneOverlayPicture = 1099;
constexpr int kPreviewPaperPicture = 9500;

bool IsMainCombo(UINT id) {
  return id == kPresetList || id == kMainMediaCombo || id == kModeVariantCombo || id == kTonePresetCombo;
}

HBITMAP AsBitmap(const UniqueGdiObject& object) { return static_cast<HBITMAP>(object.get()); }

// The mode picture (with the tone overlay at its right when the tone option applies), then the
// preview's paper picture, which creates the sheet's preview palette on first use: the preview
// is drawn again in that palette.
void DrawModePicture(HWND window, const DRAWITEMSTRUCT* item, PageParam& param) {
  const int16_t picture = param.shared->mode_picture_id;
  if (picture == -1) return;
  HMODULE module = ResourceModuleOf(param);
  JobSettings& s = *param.settings;
  const UniqueGdiObject bitmap(LoadPictureBitmap(module, static_cast<uint16_t>(picture), item->hDC));
  if (s.TestModelHeaderFlags24(kModelModeOptions) && s.CanUseToneOption() == 1) {
    const UniqueGdiObject overlay(LoadPictureBitmap(module, kToneOverlayPicture, item->hDC));
    DrawItemBitmapLeft(item, AsBitmap(bitmap));
    DrawItemBitmapRight(item, AsBitmap(overlay));
  } else {
    DrawItemBitmap(item, AsBitmap(bitmap), kPictureKey);
  }
  HBITMAP paper = nullptr;
  if (LoadSharedPaletteBitmap(&param, kPreviewPaperPicture, &paper, item->hDC) == 0) {
    paper = LoadBitmapA(module, MAKEINTRESOURCEA(kPreviewPaperPicture));
  }
  if (paper != nullptr) {
    DeleteObject(paper);
    RedrawLayoutPreview(window);
  }
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

HBITMAP LoadPictureBitmap(HMODULE module, int bitmap_id, HDC dc) {
  if (module == nullptr) return nullptr;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(bitmap_id), MAKEINTRESOURCEA(2));
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data != nullptr && dc != nullptr) {
    const PackedDib dib = {data, SizeofResource(module, found)};
    const auto* header = static_cast<const BITMAPINFOHEADER*>(data);
    const uint8_t* bits = GetDibHeaderSize(dib) >= sizeof(BITMAPINFOHEADER) ? GetDibBitsPointer(dib) : nullptr;
    const int32_t width = GetDibWidth(dib);
    const int32_t height = GetDibHeight(dib);
    if (bits != nullptr && header->biPlanes == 1 && header->biBitCount == 8 && header->biCompression == BI_RGB &&
        width > 0 && height > 0) {
      // Rows of 8-bit pixels padded to 4 bytes (both factors below 2^31: no overflow).
      const size_t row = (static_cast<size_t>(width) + 3) & ~size_t{3};
      const size_t needed = row * static_cast<size_t>(height);
      const size_t available = dib.size - static_cast<size_t>(bits - static_cast<const uint8_t*>(data));
      const UniqueGdiObject palette(CreateDibPalette(dib));
      if (palette && needed <= available) {
        const PaletteSelection selected(dc, static_cast<HPALETTE>(palette.get()), FALSE);
        return CreateDIBitmap(dc, header, CBM_INIT, bits, static_cast<const BITMAPINFO*>(data), DIB_RGB_COLORS);
      }
    }
  }
  return LoadBitmapA(module, MAKEINTRESOURCEA(bitmap_id));
}

void DrawMainPageItem(HWND window, const DRAWITEMSTRUCT* item, PageParam& param) {
  if (item == nullptr) return;
  if (item->CtlID == kModePicture) {
    if (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) DrawModePicture(window, item, param);
  } else if (IsMainCombo(item->CtlID)) {
    DrawComboItem(window, item, param);
  }
}

}  // namespace kalimu::pages
