// The edit dialog's preview: the page picture, the composite the watermark is drawn into, the
// square text buffer the text is rendered in, and the drawing of text, bitmap and outline.
#include <cmath>
#include <cstring>
#include <numbers>

#include "kalimu/watermark/dib_format.h"
#include "kalimu/watermark/dib_loading.h"
#include "kalimu/watermark/display_caps.h"
#include "kalimu/watermark/watermark_edit_state.h"

namespace kalimu::watermark {
namespace {

constexpr COLORREF kPreviewBackground = 0xFFFFF0;
constexpr COLORREF kOutlineColour = RGB(100, 100, 100);

bool IsAxisAligned(double angle) {
  const double s = std::sin(angle), c = std::cos(angle);
  return s == 0 || c == 0 || std::fabs(s) == 1 || std::fabs(c) == 1;
}

int32_t Escapement(double angle) { return static_cast<int32_t>(angle * (-1800 / std::numbers::pi)); }

// The font of the text watermark as it is fitted and drawn.
LOGFONTA PreparedFont(const WatermarkEditState& state) {
  LOGFONTA font = state.font;
  font.lfWidth = 0;
  font.lfQuality = PROOF_QUALITY;
  font.lfOutPrecision = state.raster_faces ? OUT_TT_ONLY_PRECIS : OUT_TT_PRECIS;
  font.lfItalic = state.italic ? 1 : 0;
  font.lfUnderline = state.underline ? 1 : 0;
  font.lfWeight = state.bold ? FW_BOLD : FW_NORMAL;
  font.lfEscapement = Escapement(state.shape.angle);
  std::memcpy(font.lfFaceName, state.face_name, sizeof(font.lfFaceName) - 1);
  font.lfFaceName[sizeof(font.lfFaceName) - 1] = '\0';
  return font;
}

// Clips the composite to the printable rect less a pixel on every side.
void ClipToPrintable(const WatermarkEditState& state) {
  const PixelRect& a = state.printable;
  UniqueGdiObject region(CreateRectRgn(a.left + 1, a.top + 1, a.right - 1, a.bottom - 1));
  SelectClipRgn(state.composite.dc.get(), static_cast<HRGN>(region.get()));
}

void StretchTextIntoComposite(WatermarkEditState* state) {
  HDC composite = state->composite.dc.get();
  const int32_t side = state->text_buffer.width;
  if (composite == nullptr || side <= 0) return;
  ClipToPrintable(*state);
  const int32_t dest = static_cast<int32_t>(Diagonal(*state) * state->shape.size / 100);
  SetStretchBltMode(composite, BLACKONWHITE);
  const int32_t x = static_cast<int32_t>(state->shape.box.centre_x - dest * 0.5);
  const int32_t y = static_cast<int32_t>(state->shape.box.centre_y - dest * 0.5);
  if (state->Mirrored()) {
    StretchBlt(composite, x, y, dest, dest, state->text_buffer.dc.get(), side - 1, 0, -side, side, SRCCOPY);
  } else {
    StretchBlt(composite, x, y, dest, dest, state->text_buffer.dc.get(), 0, 0, side, side, SRCCOPY);
  }
  SelectClipRgn(composite, nullptr);
}

}  // namespace

bool PreviewBuffer::Create(HDC compatible, int32_t w, int32_t h) {
  Reset();
  dc.Reset(CreateCompatibleDC(compatible));
  bitmap.Reset(CreateCompatibleBitmap(compatible, w, h));
  if (!dc || !bitmap) {
    Reset();
    return false;
  }
  old = SelectObject(dc.get(), bitmap.get());
  width = w;
  height = h;
  return true;
}

void PreviewBuffer::Reset() {
  if (dc && old != nullptr) SelectObject(dc.get(), old);
  old = nullptr;
  bitmap.Reset();
  dc.Reset();
  width = height = 0;
}

PreviewPage PreviewPageOf(HWND dialog, const WatermarkEditState& state) {
  RECT client{};
  GetClientRect(GetDlgItem(dialog, kEditPreview), &client);
  return {client.right - client.left, client.bottom - client.top, state.extent, state.margins, state.Mirrored()};
}

void RefreshPreviewRects(HWND dialog, WatermarkEditState* state) {
  const PreviewPage page = PreviewPageOf(dialog, *state);
  state->paper = ComputePaperRect(page);
  state->printable = ComputePreviewPrintableRect(page);
}

double Diagonal(const WatermarkEditState& state) { return PrintableDiagonal(state.printable); }

int32_t DibWidth16(const WatermarkEditState& state) {
  return state.bitmaps.loaded.held() ? GetDibWidth16(state.bitmaps.loaded.data()) : 0;
}

int32_t DibHeight(const WatermarkEditState& state) {
  return state.bitmaps.loaded.held() ? GetDibHeight(state.bitmaps.loaded.data()) : 0;
}

bool CreatePreviewBuffers(HWND dialog, WatermarkEditState* state) {
  HWND preview = GetDlgItem(dialog, kEditPreview);
  WindowDc dc(preview);
  RECT client{};
  GetClientRect(preview, &client);
  const int32_t w = client.right, h = client.bottom;
  if (dc.get() == nullptr || w <= 0 || h <= 0) return false;
  if (!state->page.Create(dc.get(), w, h)) return false;
  HDC page = state->page.dc.get();
  UniqueGdiObject background(CreateSolidBrush(kPreviewBackground));
  FillRect(page, &client, static_cast<HBRUSH>(background.get()));
  RefreshPreviewRects(dialog, state);
  const RECT paper{state->paper.left, state->paper.top, state->paper.right, state->paper.bottom};
  const RECT printable{state->printable.left, state->printable.top, state->printable.right, state->printable.bottom};
  FillRect(page, &paper, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FrameRect(page, &paper, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FrameRect(page, &printable, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
  if (!state->composite.Create(dc.get(), w, h)) return false;
  const int32_t side = 2 * (w > h ? w : h);
  if (!state->text_buffer.Create(dc.get(), side, side)) return false;
  SetStretchBltMode(state->text_buffer.dc.get(), COLORONCOLOR);
  PatBlt(state->text_buffer.dc.get(), 0, 0, side, side, WHITENESS);
  ResetCompositeFromPage(state);
  return true;
}

void ResetCompositeFromPage(WatermarkEditState* state) {
  if (!state->composite.dc || !state->page.dc) return;
  BitBlt(state->composite.dc.get(), 0, 0, state->page.width, state->page.height, state->page.dc.get(), 0, 0, SRCCOPY);
}

void DeleteTemporaryPalette(WatermarkEditState* state) {
  if (state->temporary_palette != nullptr) DeleteObject(state->temporary_palette);
  state->temporary_palette = nullptr;
}

void PresentPreview(HWND dialog, WatermarkEditState* state) {
  if (!state->composite.dc) return;
  HWND preview = GetDlgItem(dialog, kEditPreview);
  {
    WindowDc dc(preview);
    if (dc.get() != nullptr) {
      HPALETTE old = nullptr;
      if (state->temporary_palette != nullptr && QueryDisplayCaps(dc.get()).IsPaletteDisplay()) {
        old = SelectPalette(dc.get(), state->temporary_palette, TRUE);
        RealizePalette(dc.get());
      }
      BitBlt(dc.get(), 0, 0, state->composite.width, state->composite.height, state->composite.dc.get(), 0, 0,
             SRCCOPY);
      if (old != nullptr) SelectPalette(dc.get(), old, TRUE);
    }
  }
  DeleteTemporaryPalette(state);
  ResetCompositeFromPage(state);
}

const TextFit& CurrentFit(const WatermarkEditState& state) {
  return IsAxisAligned(state.shape.angle) ? state.axis_fit : state.slanted_fit;
}

void FitWatermarkFont(HWND /*dialog*/, WatermarkEditState* state) {
  HDC dc = state->text_buffer.dc.get();
  if (dc == nullptr) return;
  LOGFONTA font = PreparedFont(*state);
  const int32_t side = state->text_buffer.width;
  double w = 0, h = 0;
  TextFit* fits[2] = {&state->slanted_fit, &state->axis_fit};
  const LONG escapements[2] = {1, 0};
  for (int k = 0; k < 2; ++k) {
    font.lfEscapement = escapements[k];
    TextFit& fit = *fits[k];
    fit.height = FitTextFontHeight(dc, &font, 0, side, &w, &h, &fit.text_width, &fit.text_height, state->text);
  }
  state->font.lfWidth = 0;
  state->font.lfQuality = font.lfQuality;
  state->font.lfOutPrecision = font.lfOutPrecision;
  state->font.lfItalic = font.lfItalic;
  state->font.lfUnderline = font.lfUnderline;
  state->font.lfWeight = font.lfWeight;
  state->font.lfEscapement = Escapement(state->shape.angle);
}

void UpdateTextBox(HWND dialog, WatermarkEditState* state) {
  RefreshPreviewRects(dialog, state);
  const TextFit& fit = CurrentFit(*state);
  state->shape.bitmap = state->IsBitmap();
  UpdateTextBoxSize(state->shape, Diagonal(*state), state->text_buffer.width, fit.text_width, fit.text_height,
                    state->text[0] == '\0', state->Mirrored());
}

void ComputeBoxCorners(HWND dialog, WatermarkEditState* state) {
  RefreshPreviewRects(dialog, state);
  state->shape.bitmap = state->IsBitmap();
  if (state->IsBitmap()) {
    ComputeBitmapBox(state->shape, Diagonal(*state), DibWidth16(*state), DibHeight(*state));
  } else {
    ComputeRotatedBox(state->shape.box, state->shape.box_width, state->shape.box_height, state->shape.angle,
                      state->Mirrored());
  }
}

void SnapToSelectedPosition(HWND dialog, WatermarkEditState* state) {
  if (state->resources == nullptr) return;
  const LRESULT selection = SendDlgItemMessageA(dialog, kEditPosition, CB_GETCURSEL, 0, 0);
  if (selection >= 0 && selection <= kFreePosition) state->position_code = static_cast<int16_t>(selection);
  const int cell = CellOfCode(state->position_code, state->Mirrored());
  if (cell < 0) return;
  state->shape.bitmap = state->IsBitmap();
  const int code = SnapToPosition(state->shape, cell, state->anchors, Diagonal(*state), DibWidth16(*state),
                                  DibHeight(*state), state->Mirrored());
  state->position_code = static_cast<int16_t>(code);
  SendDlgItemMessageA(dialog, kEditPosition, CB_SETCURSEL, static_cast<WPARAM>(code), 0);
}

void RenderWatermarkText(WatermarkEditState* state, int32_t text_height) {
  HDC dc = state->text_buffer.dc.get();
  if (dc == nullptr) return;
  const int32_t side = state->text_buffer.width;
  LOGFONTA font = PreparedFont(*state);
  font.lfHeight = CurrentFit(*state).height;
  const Bgr faded = state->faded;
  COLORREF colour = RGB(faded.red, faded.green, faded.blue);
  HPALETTE old_palette = nullptr;
  if (QueryDisplayCaps(dc).IsPaletteDisplay()) {
    DeleteTemporaryPalette(state);
    LOGPALETTE one{0x300, 1, {{faded.red, faded.green, faded.blue, 0}}};
    state->temporary_palette = CreatePalette(&one);
    if (state->temporary_palette != nullptr) {
      old_palette = SelectPalette(dc, state->temporary_palette, TRUE);
      RealizePalette(dc);
    }
    colour = PALETTERGB(faded.red, faded.green, faded.blue);
  }
  UniqueGdiObject font_object(CreateFontIndirectA(&font));
  Selected font_selection(dc, font_object.get());
  const size_t length = std::strlen(state->text);
  const int32_t pen_width = font.lfHeight * 10 / 100;
  UniqueGdiObject pen, brush;
  if (state->shape.stamp || state->shape.frame) {
    pen.Reset(CreatePen(PS_SOLID, pen_width, colour));
    brush.Reset(CreateSolidBrush(RGB(255, 255, 255)));
  }
  Selected pen_selection(dc, pen.get());
  Selected brush_selection(dc, brush.get());
  if (state->shape.stamp && length > 0) {
    const int32_t l = font.lfHeight * 10 / 200;
    Ellipse(dc, l, l, side - l, side - l);
  }
  const UINT old_align = SetTextAlign(dc, TA_CENTER | TA_TOP);
  SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = SetTextColor(dc, colour);
  const double angle = state->shape.angle;
  const int32_t half_text = text_height / 2, half_side = side / 2;
  const int32_t x = static_cast<int32_t>(half_text * std::sin(angle) + half_side);
  const int32_t y = static_cast<int32_t>(half_side - std::cos(angle) * half_text);
  TextOutA(dc, static_cast<int16_t>(x), static_cast<int16_t>(y), state->text, static_cast<int>(length));
  SIZE extent{};
  if (!GetTextExtentPoint32A(dc, state->text, static_cast<int>(length), &extent)) extent = {};
  if (state->shape.frame && length > 0) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    WatermarkBox frame{};
    frame.centre_x = frame.centre_y = half_side;
    ComputeRotatedBox(frame, extent.cx + 2 * metrics.tmAveCharWidth - pen_width, extent.cy - pen_width, angle, false);
    MoveToEx(dc, frame.left_top_x, frame.left_top_y, nullptr);
    LineTo(dc, frame.right_top_x, frame.right_top_y);
    LineTo(dc, frame.right_bottom_x, frame.right_bottom_y);
    LineTo(dc, frame.left_bottom_x, frame.left_bottom_y);
    LineTo(dc, frame.left_top_x, frame.left_top_y);
  }
  SetTextColor(dc, old_colour);
  SetTextAlign(dc, old_align);
  if (old_palette != nullptr) SelectPalette(dc, old_palette, TRUE);
}

void RedrawTextWatermark(HWND dialog, WatermarkEditState* state, bool rerender) {
  RefreshPreviewRects(dialog, state);
  SnapToSelectedPosition(dialog, state);
  const int32_t text_height = static_cast<int32_t>(CurrentFit(*state).text_height);
  HDC text_dc = state->text_buffer.dc.get();
  if (text_dc == nullptr) return;
  if (rerender || QueryDisplayCaps(text_dc).bits_per_pixel <= 8) {
    PatBlt(text_dc, 0, 0, state->text_buffer.width, state->text_buffer.height, WHITENESS);
    RenderWatermarkText(state, text_height);
  }
  StretchTextIntoComposite(state);
}

void RedrawBitmapWatermark(HWND dialog, WatermarkEditState* state) {
  HDC composite = state->composite.dc.get();
  if (composite == nullptr) return;
  RefreshPreviewRects(dialog, state);
  ClipToPrintable(*state);
  SetStretchBltMode(composite, COLORONCOLOR);
  ComputeBoxCorners(dialog, state);
  SnapToSelectedPosition(dialog, state);
  if (state->bitmaps.display.held() && CheckPackedDib({state->bitmaps.display.data(), state->bitmaps.display.size()}) ==
                                           DibStatus::kDibLoaded) {
    const uint8_t* header = state->bitmaps.display.data();
    const int32_t width = GetDibWidth(header), height = GetDibHeight(header);
    HPALETTE old = nullptr;
    if (QueryDisplayCaps(composite).IsPaletteDisplay()) {
      DeleteTemporaryPalette(state);
      state->temporary_palette = CreateWatermarkPalette(header, state->bitmaps.display.size());
      if (state->temporary_palette != nullptr) {
        old = SelectPalette(composite, state->temporary_palette, FALSE);
        RealizePalette(composite);
      }
    }
    const WatermarkBox& box = state->shape.box;
    const bool mirrored = state->Mirrored();
    StretchDIBits(composite, box.left_top_x, box.left_top_y, state->shape.box_width, state->shape.box_height,
                  mirrored ? width - 1 : 0, 0, mirrored ? -width : width, height, header + GetDibBitsOffset(header),
                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS, SRCCOPY);
    if (old != nullptr) SelectPalette(composite, old, TRUE);
  }
  SelectClipRgn(composite, nullptr);
}

void RedrawWatermark(HWND dialog, WatermarkEditState* state, bool rerender) {
  if (!state->Loaded()) return;
  if (state->IsBitmap()) {
    RedrawBitmapWatermark(dialog, state);
  } else {
    RedrawTextWatermark(dialog, state, rerender);
  }
}

void FadeWatermarkBitmap(HWND dialog, WatermarkEditState* state) {
  WindowDc dc(GetDlgItem(dialog, kEditPreview));
  const int bits = dc.get() != nullptr ? QueryDisplayCaps(dc.get()).bits_per_pixel : 32;
  PrepareDisplayCopy(state->bitmaps, state->colour, state->density, bits);
}

void DrawBoxOutline(HWND dialog, WatermarkEditState* state) {
  HDC dc = state->composite.dc.get();
  if (dc == nullptr) return;
  UniqueGdiObject clip(CreateRectRgn(0, 0, state->composite.width, state->composite.height));
  SelectClipRgn(dc, static_cast<HRGN>(clip.get()));
  UniqueGdiObject pen(CreatePen(PS_DOT, 1, kOutlineColour));
  UniqueGdiObject brush(CreateSolidBrush(kOutlineColour));
  Selected pen_selection(dc, pen.get());
  Selected brush_selection(dc, brush.get());
  ComputeRotatedBox(state->shape.box, state->shape.box_width, state->shape.box_height, state->shape.angle,
                    state->Mirrored());
  (void)dialog;
  const WatermarkBox& b = state->shape.box;
  if (state->mode == kModeMove || state->mode == kModeResize) {
    for (const HandlePolygon& handle : CreateCornerHandles(b, state->shape.angle, state->Mirrored())) {
      POINT points[4];
      for (int k = 0; k < 4; ++k) points[k] = {handle[k].x, handle[k].y};
      UniqueGdiObject region(CreatePolygonRgn(points, 4, WINDING));
      FrameRgn(dc, static_cast<HRGN>(region.get()), static_cast<HBRUSH>(brush.get()), 1, 1);
    }
  } else if (state->mode == kModeRotate) {
    const PreviewPoint corners[4] = {{b.right_top_x, b.right_top_y},
                                     {b.right_bottom_x, b.right_bottom_y},
                                     {b.left_bottom_x, b.left_bottom_y},
                                     {b.left_top_x, b.left_top_y}};
    for (const PreviewPoint& c : corners) Ellipse(dc, c.x - 5, c.y - 5, c.x + 5, c.y + 5);
  }
  MoveToEx(dc, b.left_top_x, b.left_top_y, nullptr);
  LineTo(dc, b.right_top_x, b.right_top_y);
  LineTo(dc, b.right_bottom_x, b.right_bottom_y);
  LineTo(dc, b.left_bottom_x, b.left_bottom_y);
  LineTo(dc, b.left_top_x, b.left_top_y);
  SelectClipRgn(dc, nullptr);
}

SIZE MeasureTextAt200(WatermarkEditState* state) {
  HDC dc = state->text_buffer.dc.get();
  SIZE extent{};
  if (dc == nullptr) return extent;
  LOGFONTA font = PreparedFont(*state);
  font.lfEscapement = IsAxisAligned(state->shape.angle) ? 0 : 1;
  font.lfHeight = 200;
  UniqueGdiObject object(CreateFontIndirectA(&font));
  Selected selection(dc, object.get());
  const int length = static_cast<int>(std::strlen(state->text));
  if (!GetTextExtentPoint32A(dc, state->text, length, &extent)) return SIZE{};
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  extent.cx += 2 * metrics.tmAveCharWidth;
  return extent;
}

}  // namespace kalimu::watermark
