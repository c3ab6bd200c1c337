// Rendering text watermarks into their ".WBF" files.
#include "kalimu/watermark/watermark_bitmap_file.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/watermark/gdi_scope.h"
#include "kalimu/watermark/shared_files.h"
#include "kalimu/watermark/watermark_file_layout.h"
#include "kalimu/watermark/watermark_fonts.h"
#include "kalimu/watermark/watermark_geometry.h"

namespace kalimu::watermark {
namespace {

static_assert(sizeof(LOGFONTA) == 60 && sizeof(storage::WatermarkEntry::font) >= sizeof(LOGFONTA));

void DrawStamp(HDC dc, int fitted, int width, int height) {
  UniqueGdiObject pen(CreatePen(PS_SOLID, fitted * 10 / 100, RGB(0, 0, 0)));
  Selected with_pen(dc, pen.get());
  Selected with_brush(dc, GetStockObject(WHITE_BRUSH));
  const int inset = fitted * 10 / 200;
  Ellipse(dc, inset, inset, width - inset, height - inset);
}

void DrawFrame(HDC dc, const WatermarkTextStyle& style, int fitted, SIZE extent, int ave_char_width, int width,
               int height) {
  const int pen_width = fitted * 10 / 100;
  UniqueGdiObject pen(CreatePen(PS_SOLID, pen_width, RGB(0, 0, 0)));
  Selected with_pen(dc, pen.get());
  const double wide = extent.cx + 2.0 * ave_char_width;
  const int frame_width =
      static_cast<int16_t>(static_cast<int>(wide - (style.font.lfHeight * 10) / 100)) - pen_width;
  const int frame_height = extent.cy - pen_width;
  WatermarkBox box{};
  box.centre_x = width / 2;
  box.centre_y = height / 2;
  ComputeRotatedBox(box, frame_width, frame_height, style.angle, false);
  const POINT corners[5] = {{box.left_top_x, box.left_top_y}, {box.right_top_x, box.right_top_y},
                            {box.right_bottom_x, box.right_bottom_y}, {box.left_bottom_x, box.left_bottom_y},
                            {box.left_top_x, box.left_top_y}};
  Polyline(dc, corners, 5);
}

// Writes header and rows into the file at path (created when missing, then cut to length).
int WriteBitmapFile(const char* path, int width, int height, const WbfLayout& layout, const uint8_t* rows) {
  if (!FileExists(path) && !CreateSharedFile(path)) return 0;
  platform::UniqueFileHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  std::vector<uint8_t> bytes(layout.file_bytes, 0);
  const auto header = BuildWbfHeader(width, height, layout);
  std::memcpy(bytes.data(), header.data(), header.size());
  std::memcpy(bytes.data() + header.size(), rows, size_t{layout.row_stride} * height);
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), layout.file_bytes, &written, nullptr) && written == layout.file_bytes
             ? 1
             : 0;
}

}  // namespace

LOGFONTA EntryFont(const storage::WatermarkEntry& entry) {
  LOGFONTA font;
  std::memcpy(&font, entry.font, sizeof(font));
  font.lfFaceName[LF_FACESIZE - 1] = '\0';
  return font;
}

void SetEntryFont(storage::WatermarkEntry& entry, const LOGFONTA& font) {
  std::memset(entry.font, 0, sizeof(entry.font));
  std::memcpy(entry.font, &font, sizeof(font));
}

int RenderWatermarkBitmapFile(const WatermarkTextStyle& style, char* path, const char* folder) {
  if (path == nullptr) return 0;
  UniqueDc info(CreateICA("DISPLAY", nullptr, nullptr, nullptr));
  UniqueDc dc(CreateCompatibleDC(info.get()));
  if (!dc) return 0;
  LOGFONTA fit_font = style.font;
  if (style.stamp) fit_font.lfEscapement = 1;
  double box_width = 0, box_height = 0, text_width = 0, text_height = 0;
  const int fitted = FitTextFontHeight(dc.get(), &fit_font, 0, kWbfDiagonal, &box_width, &box_height, &text_width,
                                       &text_height, style.text);
  const int width = style.stamp ? kWbfDiagonal : static_cast<int>(box_width);
  const int height = style.stamp ? kWbfDiagonal : static_cast<int>(box_height);
  const auto layout = WbfLayoutFor(width, height);
  if (fitted == 0 || !layout) return 0;  // nothing to print: no 0 x 0 file

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info_block{{sizeof(BITMAPINFOHEADER), width, height, 1, 1, BI_RGB, 0, 0, 0, 2, 0},
               {{0, 0, 0, 0}, {255, 255, 255, 0}}};
  void* bits = nullptr;
  UniqueGdiObject section(CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO*>(&info_block), DIB_RGB_COLORS,
                                           &bits, nullptr, 0));
  if (!section || bits == nullptr) return 0;
  {
    Selected with_section(dc.get(), section.get());
    PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
    if (style.stamp) DrawStamp(dc.get(), fitted, width, height);

    LOGFONTA draw_font = style.font;
    draw_font.lfHeight = fitted;
    UniqueGdiObject font(CreateFontIndirectA(&draw_font));
    Selected with_font(dc.get(), font.get());
    SetTextAlign(dc.get(), TA_CENTER | TA_TOP);
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(0, 0, 0));
    const int length = static_cast<int>(std::strlen(style.text));
    SIZE extent{};
    if (!GetTextExtentPoint32A(dc.get(), style.text, length, &extent)) extent = {0, 0};
    const int half = static_cast<int>(extent.cy * 0.5);
    TextOutA(dc.get(), width / 2 + static_cast<int>(std::sin(style.angle) * half),
             height / 2 - static_cast<int>(std::cos(style.angle) * half), style.text, length);
    if (style.frame) {
      TEXTMETRICA metrics{};
      GetTextMetricsA(dc.get(), &metrics);
      DrawFrame(dc.get(), style, fitted, extent, metrics.tmAveCharWidth, width, height);
    }
    GdiFlush();
  }
  if (path[0] == '\0' && !MakeUniqueFileName(path, kWbfPrefix, kWbfExtension, folder)) return 0;
  return WriteBitmapFile(path, width, height, *layout, static_cast<const uint8_t*>(bits));
}

int RenderEntryBitmapFile(const storage::WatermarkEntry& entry, char* path) {
  if (path == nullptr || path[0] == '\0') return 0;
  WatermarkTextStyle style{};
  style.font = EntryFont(entry);
  platform::CopyStringNA(style.text, sizeof(style.text), entry.text, sizeof(entry.text));
  style.angle = entry.angle;
  style.stamp = entry.stamp;
  style.frame = entry.frame;
  char folder[MAX_PATH];
  if (!GetFolderOfPath(path, folder, sizeof(folder))) return 0;
  return RenderWatermarkBitmapFile(style, path, folder);
}

}  // namespace kalimu::watermark
