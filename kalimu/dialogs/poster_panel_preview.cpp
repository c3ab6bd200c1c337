// The poster panel dialog's preview: the panels on a pale background, each with its tile of the
// picture, its number, its margin rectangle and, when the panels are joined by cut lines, the
// lines along the sides that face another panel. Drawn into a memory bitmap in the control's
// client coordinates and copied inside the control's one-pixel frame.
#include <cstdio>

#include "kalimu/dialogs/poster_panel_dialog.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/page_access.h"

namespace kalimu::dialogs {
namespace {

using pages::DrawLine;
using pages::MakePen;
using pages::PosterPanels;
using pages::PreviewLayout;
using pages::Selection;
using pages::UniqueGdiObject;
using pages::UniqueMemoryDc;

constexpr COLORREF kBackground = 0xFFFFF0;
constexpr COLORREF kLeftOut = RGB(128, 128, 128);
constexpr COLORREF kPrinted = RGB(255, 255, 255);
constexpr COLORREF kNumber = 0xFF0000;
constexpr COLORREF kMarginLine = RGB(160, 160, 160);
constexpr int kTallPicture = 9174;
constexpr int kWidePicture = 9175;

bool LeftOut(uint32_t mask, int panel) { return panel < 32 && (mask & (1u << panel)) != 0; }

void FillBox(HDC dc, const RECT& box, COLORREF colour) {
  UniqueGdiObject brush(CreateSolidBrush(colour));
  FillRect(dc, &box, static_cast<HBRUSH>(brush.get()));
}

void DrawPanels(HDC dc, const PreviewLayout& layout, const PosterPanels& panels, uint32_t mask) {
  UniqueGdiObject black = MakePen(RGB(0, 0, 0));
  Selection pen(dc, black.get());
  for (int i = 0; i < panels.count; ++i) {
    const RECT& c = layout.cells[i];
    const POINT corners[] = {{c.left, c.top}, {c.right, c.top}, {c.right, c.bottom}, {c.left, c.bottom}, {c.left, c.top}};
    Polyline(dc, corners, 5);
    FillBox(dc, RECT{c.left + 1, c.top + 1, c.right, c.bottom}, LeftOut(mask, i) ? kLeftOut : kPrinted);
  }
}

void DrawTiles(HDC dc, PageParam& param, const PreviewLayout& layout, const PosterPanels& panels) {
  HMODULE module = pages::ResourceModuleOf(param);
  if (module == nullptr) return;
  UniqueGdiObject picture(LoadBitmapA(module, MAKEINTRESOURCEA(PosterPictureId(*param.settings))));
  BITMAP info{};
  if (picture.get() == nullptr || GetObjectA(picture.get(), sizeof(info), &info) == 0) return;
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (source.get() == nullptr) return;
  Selection selected(source.get(), picture.get());
  const bool overlap = (param.settings->GetPosterOptions() & kPosterOverlapBit) != 0;
  SetStretchBltMode(dc, COLORONCOLOR);
  for (int i = 0; i < panels.count; ++i) {
    const RECT tile = PosterTileRect(info.bmWidth, info.bmHeight, panels, i, overlap);
    const RECT& to = layout.printable[i];
    const RECT& cell = layout.cells[i];
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
    StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, source.get(), tile.left, tile.top,
               tile.right, tile.bottom, SRCAND);
    RestoreDC(dc, saved);
  }
}

void DrawNumbers(HDC dc, PageParam& param, const PreviewLayout& layout, const PosterPanels& panels, uint32_t mask) {
  UniqueGdiObject font(pages::CreatePreviewFont(dc, param));
  Selection selected(dc, font.get());
  SetTextColor(dc, kNumber);
  SetBkMode(dc, OPAQUE);
  const int dx = panels.elongated ? 2 : 5;
  const int dy = panels.elongated ? 1 : 5;
  for (int i = 0; i < panels.count; ++i) {
    char number[4];
    const int length = std::snprintf(number, sizeof(number), "%d", i + 1);
    SetBkColor(dc, LeftOut(mask, i) ? kLeftOut : kPrinted);
    TextOutA(dc, layout.cells[i].left + dx, layout.cells[i].top + dy, number, length);
  }
}

void DrawMargins(HDC dc, const PreviewLayout& layout, const PosterPanels& panels) {
  UniqueGdiObject dotted = MakePen(kMarginLine, PS_DOT);
  Selection pen(dc, dotted.get());
  Selection hollow(dc, GetStockObject(NULL_BRUSH));
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < panels.count; ++i) {
    const RECT& m = layout.printable[i];
    Rectangle(dc, m.left, m.top, m.right, m.bottom);
  }
}

// Solid lines over the sides of the margin rectangles that face another panel.
void DrawCutLines(HDC dc, const PreviewLayout& layout, const PosterPanels& panels) {
  UniqueGdiObject black = MakePen(RGB(0, 0, 0));
  for (int i = 0; i < panels.count; ++i) {
    const int column = i % panels.columns;
    const int row = i / panels.columns;
    const RECT& m = layout.printable[i];
    if (column > 0) DrawLine(dc, black.get(), m.left, m.top, m.left, m.bottom);
    if (column + 1 < panels.columns) DrawLine(dc, black.get(), m.right - 1, m.top, m.right - 1, m.bottom);
    if (row > 0) DrawLine(dc, black.get(), m.left, m.top, m.right, m.top);
    if (row + 1 < panels.rows) DrawLine(dc, black.get(), m.left, m.bottom - 1, m.right, m.bottom - 1);
  }
}

}  // namespace

int PosterPictureId(settings::JobSettings& settings) {
  const bool wide = settings.IsPortraitPaper() == 0;
  const bool portrait = settings.GetOrientation() == DMORIENT_PORTRAIT;
  return portrait != wide ? kTallPicture : kWidePicture;
}

RECT PosterTileRect(int picture_width, int picture_height, const pages::PosterPanels& panels, int panel,
                    bool overlap) {
  if (panels.columns < 1 || panels.rows < 1) return RECT{0, 0, picture_width, picture_height};
  const auto axis = [overlap](int side, int tiles, int index, LONG* start, LONG* length) {
    if (tiles == 1) {
      *start = 0;
      *length = side;
      return;
    }
    const int share = side / tiles;
    if (!overlap) {
      *start = index * share;
      *length = share;
      return;
    }
    const int widened = share * 21 / 20;
    const int inset = share / 20;
    *start = index * (widened - 2 * inset);
    *length = widened;
  };
  RECT tile{};
  axis(picture_width, panels.columns, panel % panels.columns, &tile.left, &tile.right);
  axis(picture_height, panels.rows, panel / panels.columns, &tile.top, &tile.bottom);
  return tile;
}

void DrawPosterPreview(HWND dialog, PageParam& param) {
  HWND control = GetDlgItem(dialog, kPosterPreview);
  RECT client{};
  if (control == nullptr || !GetClientRect(control, &client)) return;
  const int width = client.right - client.left - 2;
  const int height = client.bottom - client.top - 2;
  if (width < 1 || height < 1) return;
  PreviewLayout layout;
  const PosterPanels panels = pages::FillPosterPreviewLayout(param, client, &layout);
  settings::JobSettings& s = *param.settings;
  const uint32_t mask = s.GetPosterPanelMask();
  const uint32_t options = s.GetPosterOptions();

  pages::WindowDc window(control);
  if (window.get() == nullptr) return;
  UniqueMemoryDc memory(CreateCompatibleDC(window.get()));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(window.get(), width, height));
  if (memory.get() == nullptr || bitmap.get() == nullptr) return;
  HDC dc = memory.get();
  Selection canvas(dc, bitmap.get());
  // Drawn in client coordinates: the bitmap's first pixel is the client's (1, 1).
  SetViewportOrgEx(dc, -(client.left + 1), -(client.top + 1), nullptr);
  FillBox(dc, client, kBackground);
  DrawPanels(dc, layout, panels, mask);
  DrawTiles(dc, param, layout, panels);
  DrawNumbers(dc, param, layout, panels, mask);
  DrawMargins(dc, layout, panels);
  if ((options & kPosterCutLineBit) != 0 && (options & (kPosterJoinBit | kPosterDialogOpenBit)) != 0) {
    DrawCutLines(dc, layout, panels);
  }
  BitBlt(window.get(), client.left + 1, client.top + 1, width, height, dc, client.left + 1, client.top + 1, SRCCOPY);
}

}  // namespace kalimu::dialogs
