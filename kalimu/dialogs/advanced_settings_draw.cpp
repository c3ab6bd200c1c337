// The owner-drawn items of the advanced settings dialog: the combo items of media and mode
// variants, the sign boxes, the pictures of the print-mode controls, the toning circle and the
// two sample pictures, both rebuilt at every repaint from the current settings.
#include <cstring>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/imaging/mono_preview.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/global_block.h"

namespace kalimu::dialogs::advanced {
namespace {

constexpr int kCorrectedSample = 2181;
constexpr int kMonoSample = 8546;
constexpr int kToningCircle = 8547;
constexpr int kCorrectedSource = 7803;
constexpr int kMonoSource = 8548;
constexpr uint32_t kMonoSampleFormat = 0x80002;  // BGR, 24 bits

struct PictureOf {
  int control;
  int bitmap;
};
constexpr PictureOf kPictures[] = {
    {2126, 7404}, {2129, 7407}, {2131, 7401}, {2132, 7408}, {2136, 7406}, {2138, 7402},
    {2151, 7412}, {2152, 7409}, {2155, 7405}, {2156, 7413}, {2157, 7414}, {2181, 7803},
    {2187, 7419}, {2194, 7432}, {8122, 7433}, {8546, 8548}, {8547, 8549},
};

bool IsSignBox(int id, bool toning) { return (id >= 2090 && id <= 2095) || (toning && id >= 8540 && id <= 8544); }

void DrawComboItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item) {
  JobSettings& s = *param.settings;
  DRAWITEMSTRUCT copy = *item;
  if (HasToning(s) && item->itemID != static_cast<UINT>(-1)) {
    const int id = static_cast<int>(item->CtlID);
    if (id == 8120) {
      const uint32_t flags = pages::GetMediaVariantFlags(s);
      const auto data = static_cast<int32_t>(item->itemData);
      const uint32_t needed = data == 0 ? 1u : data == 1 ? 2u : data == 2 ? 4u : 0u;
      if ((flags & needed) == 0) copy.itemState |= ODS_DISABLED;
    } else if (id == 2125) {
      if (static_cast<LONG_PTR>(item->itemData) != -1 &&
          !pages::IsMediaSelectable(dialog, param, s, static_cast<uint16_t>(item->itemData))) {
        copy.itemState |= ODS_DISABLED;
      }
    } else if (id != 2128) {
      return;
    }
  }
  pages::DrawComboItemText(dialog, &copy);
}

void DrawSignBox(const PageParam& param, const DRAWITEMSTRUCT* item) {
  COLORREF old_background = 0;
  char sign = '+';
  PageParam& mutable_param = const_cast<PageParam&>(param);
  pages::PrepareAdjustSignItem(item, &mutable_param, &old_background, &sign);
  // A lone minus sign is shown as typed, and the row keeps its negative sign.
  if (ShownAdjustValue(param, static_cast<int>(item->CtlID)) == kAdjustMinusMarker) {
    sign = '-';
    pages::ColorAdjustItem adjust{};
    pages::GetColorAdjustItem(&mutable_param, static_cast<int>(item->CtlID), &adjust);
    pages::SetColorAdjustState(&mutable_param, static_cast<int>(item->CtlID),
                               static_cast<uint16_t>(adjust.edit_state | pages::kEditNegative));
  }
  TEXTMETRICA metrics{};
  GetTextMetricsA(item->hDC, &metrics);
  const int x = LOWORD(GetDialogBaseUnits()) / 4 * 2;
  const int y = (item->rcItem.top + item->rcItem.bottom - metrics.tmHeight) / 2;
  ExtTextOutA(item->hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &item->rcItem, &sign, 1, nullptr);
  pages::DrawItemFrame(item, old_background, FALSE);
}

// Copies the bitmap centred into the item, the rest of the item in the dialog's face colour.
void DrawCentred(const DRAWITEMSTRUCT* item, HBITMAP bitmap) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof(info), &info);
  FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
  HDC memory = CreateCompatibleDC(item->hDC);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const int width = item->rcItem.right - item->rcItem.left;
  const int height = item->rcItem.bottom - item->rcItem.top;
  BitBlt(item->hDC, item->rcItem.left + (width - info.bmWidth) / 2, item->rcItem.top + (height - info.bmHeight) / 2,
         info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

}  // namespace

int GetAdvancedPictureId(const PageParam& param, int control_id) {
  if (control_id == 2116) return param.shared->mode_variant_picture_id;
  if (control_id == 2135) return 1350 + param.settings->GetRenderMethod();
  for (const PictureOf& p : kPictures) {
    if (p.control == control_id) return p.bitmap;
  }
  return -1;
}

int RenderMonoSample(const PageParam& param, HBITMAP* bitmap, HDC dc) {
  JobSettings& s = *param.settings;
  if (!HasToning(s)) return 0;
  HMODULE module = pages::ResourceModuleOf(param);
  HRSRC found = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(kMonoSource), MAKEINTRESOURCEA(2)) : nullptr;
  if (found == nullptr) return 0;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  MonoSampleDib dib{};
  if (!CheckMonoSampleDib(data, SizeofResource(module, found), &dib)) return 0;
  const auto* bytes = static_cast<const uint8_t*>(data);
  const int32_t rows = dib.height < 0 ? -dib.height : dib.height;
  platform::GlobalBlock destination;
  platform::GlobalBlock descriptor;
  if (!destination.Allocate(static_cast<size_t>(dib.stride) * rows) ||
      !descriptor.Allocate(sizeof(imaging::ImageDescriptor))) {
    return 0;
  }
  auto* image = reinterpret_cast<imaging::ImageDescriptor*>(descriptor.data());
  image->Width = dib.width;
  image->Height = rows;
  image->BitCount = 24;
  image->Format = kMonoSampleFormat;
  image->Stride = static_cast<int32_t>(dib.stride);
  int32_t items[12] = {};
  for (int i = 0; i < 12; ++i) items[i] = s.GetAdjustment(i);
  const imaging::MonoPreviewParams params = MonoPreviewParamsFrom(items, static_cast<int32_t>(s.GetGamma()));
  imaging::MonoPreviewContext* context = nullptr;
  imaging::MonoPreviewCreate(image, bytes + dib.bits_offset, &context);
  // A refused parameter leaves the zero-filled picture: the sample shows black.
  imaging::MonoPreviewProcess(context, &params, image, destination.data());
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  HBITMAP made = CreateDIBitmap(dc, header, CBM_INIT, destination.data(), reinterpret_cast<const BITMAPINFO*>(header),
                                DIB_RGB_COLORS);
  if (context != nullptr) imaging::MonoPreviewDestroy(context);
  if (made == nullptr) return 0;
  *bitmap = made;
  return 1;
}

void DrawAdvancedItem(HWND dialog, const PageParam& param, const DRAWITEMSTRUCT* item) {
  JobSettings& s = *param.settings;
  const int id = static_cast<int>(item->CtlID);
  if (item->CtlType != ODT_BUTTON) {
    DrawComboItem(dialog, param, item);
    return;
  }
  const bool toning = HasToning(s);
  if (IsSignBox(id, toning)) {
    DrawSignBox(param, item);
    return;
  }
  const int picture = GetAdvancedPictureId(param, id);
  if (picture < 0) return;
  const bool whole = (item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0;
  HBITMAP bitmap = nullptr;
  if (id == kCorrectedSample) {
    if (pages::RenderCorrectedSample(kCorrectedSource, const_cast<PageParam*>(&param), &bitmap, item->hDC) &&
        bitmap != nullptr && whole) {
      DrawCentred(item, bitmap);
    }
  } else if (id == kMonoSample) {
    if (toning && RenderMonoSample(param, &bitmap, item->hDC)) DrawCentred(item, bitmap);
  } else {
    bitmap = LoadBitmapA(pages::ResourceModuleOf(param), MAKEINTRESOURCEA(picture));
    if (bitmap != nullptr && whole) {
      if (id == kToningCircle) {
        pages::DrawItemBitmapFixedKey(item, bitmap);
      } else {
        pages::DrawItemBitmap(item, bitmap, pages::kPictureKey);
      }
    }
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
}

}  // namespace kalimu::dialogs::advanced
