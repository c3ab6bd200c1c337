// Painting the layout preview: the caption font, pictures through the sheet's shared palette,
// the caption lines and the paper picture with its orientation mark, drawn off screen and
// copied to the control in one piece.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/layout_preview.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {
namespace {

constexpr UINT kFaceString = 8048;
constexpr UINT kPointsString = 8049;
constexpr int kScaleMark = 7504;
constexpr uint32_t kFeedMarginsCapability = 0x8000;
constexpr uint32_t kModeOptionCaptions = 0x400;  // model header word 24
constexpr uint32_t kColourTableBytes = 1024;

template <size_t N>
void LoadText(const PageParam& param, UINT id, char (&out)[N]) {
  LoadPageString(param, id, out, static_cast<int>(N));
}

// The model source whose id is the default source, or -1.
int DefaultSourceIndex(JobSettings& s) {
  uint32_t count = 0;
  s.GetPaperSourceCount(&count);
  const int32_t source = s.GetDefaultSource();
  for (uint32_t i = 0; i < count; ++i) {
    int32_t id = 0;
    if (s.GetPaperSourceId(static_cast<uint16_t>(i), &id) && id == source) return static_cast<int>(i);
  }
  return -1;
}

// The name of a paper id: the model's string for a model paper, else the user paper's own.
void PaperNameOf(const PageParam& param, int32_t id, char (&out)[128]) {
  JobSettings& s = *param.settings;
  out[0] = '\0';
  uint32_t count = 0;
  s.GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    if (s.IsPaperIdAt(id, static_cast<uint16_t>(i))) {
      LoadText(param, static_cast<UINT>(id), out);
      return;
    }
  }
  uint32_t user_papers = 0;
  s.GetPaperCount(&user_papers);
  for (uint32_t i = 0; i < user_papers; ++i) {
    int32_t user_id = 0;
    if (s.GetPaperId(static_cast<uint16_t>(i), &user_id) && user_id == id) {
      s.GetPaperName(static_cast<uint16_t>(i), out, sizeof(out));
      return;
    }
  }
}

UINT ColourCaption(int32_t colour_mode) {
  switch (colour_mode) {
    case 0:
    case 7:
      return 8009;
    case 1:
      return 8008;
    case 2:
      return 8010;
    case 3:
      return 8054;
    case 4:
      return 8063;
    case 6:
      return 8139;
    default:
      return 0;
  }
}

void MediaCaption(PageParam* param, char (&out)[128]) {
  JobSettings& s = *param->settings;
  int32_t mode = s.FindModeForMediaValue(s.GetModeId());
  if (s.GetPrintModeType() == 2) {
    mode = s.FindPresetForMedia(mode);
  } else if (s.GetPrintModeType() == 1) {
    mode = s.FindPresetForMediaGroup0(mode);
  }
  s.SetModeId(mode);
  const uint16_t mode_index = s.GetCurrentModeIndex2();
  int32_t table5 = 0;
  int32_t media = 0;
  s.GetPrintModeValue4(mode_index, &table5);
  if (table5 >= 0) s.GetTable5Value0(static_cast<uint16_t>(table5), &media);
  LoadText(*param, static_cast<UINT>(1200 + media), out);
  if (media != 16 && s.TestPrintModeFlags20(static_cast<int16_t>(mode_index), 0x8000)) {
    char suffix[64] = {};
    LoadText(*param, 1250, suffix);
    platform::AppendStringA(out, sizeof(out), suffix);
  }
}

// Draws a line cut to the control with an ellipsis.
void DrawFitted(HWND dialog, HDC dc, int control_id, int x, int y, char* text, size_t size) {
  FitTextWithEllipsis(dialog, dc, text, size, control_id);
  ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(std::strlen(text)), nullptr);
}

HBITMAP LoadPreviewPicture(PageParam* param, int id, HDC dc) {
  HBITMAP bitmap = nullptr;
  if (LoadSharedPaletteBitmap(param, id, &bitmap, dc)) return bitmap;
  return LoadBitmapA(ResourceModuleOf(*param), MAKEINTRESOURCEA(id));
}

BITMAP SizeOf(HBITMAP bitmap) {
  BITMAP info = {};
  if (bitmap != nullptr) GetObjectA(bitmap, sizeof(info), &info);
  return info;
}

void DrawTopCaptions(HWND dialog, HDC dc, PageParam* param, int control_id, const RECT& area,
                     const PreviewCaptions& captions) {
  UniqueGdiObject font(CreatePreviewFont(dc, *param));
  Selection selected(dc, font.get());
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  HRGN clip = CreateRectRgnIndirect(&area);
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
  const int x = area.left + 1;
  int y = area.top + 1;
  const int step = metrics.tmHeight + 1;
  char line[128];
  std::memcpy(line, captions.paper, sizeof(line));
  DrawFitted(dialog, dc, control_id, x, y, line, sizeof(line));
  y += step;
  if (captions.scaled) {
    UniqueGdiObject mark(LoadPreviewPicture(param, kScaleMark, dc));
    if (mark) {
      const BITMAP size = SizeOf(static_cast<HBITMAP>(mark.get()));
      UniqueMemoryDc source(CreateCompatibleDC(dc));
      Selection picked(source.get(), mark.get());
      StretchBlt(dc, x + 1, y + 1, 3 * metrics.tmAveCharWidth, metrics.tmHeight, source.get(), 0, 0, size.bmWidth,
                 size.bmHeight, SRCAND);
    }
    std::memcpy(line, captions.second, sizeof(line));
    DrawFitted(dialog, dc, control_id, x + 4 * metrics.tmAveCharWidth, y, line, sizeof(line));
    y += step;
    std::memcpy(line, captions.third, sizeof(line));
    DrawFitted(dialog, dc, control_id, x, y, line, sizeof(line));
  } else {
    std::memcpy(line, captions.second, sizeof(line));
    DrawFitted(dialog, dc, control_id, x, y, line, sizeof(line));
  }
  SelectClipRgn(dc, nullptr);
}

void DrawSourceCaptions(HWND dialog, HDC dc, PageParam* param, int control_id, const RECT& area,
                        const PreviewCaptions& captions) {
  UniqueGdiObject font(CreatePreviewFont(dc, *param));
  Selection selected(dc, font.get());
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  char line[128];
  const int x = area.left + 5;
  std::memcpy(line, captions.source, sizeof(line));
  DrawFitted(dialog, dc, control_id, x, area.top + 4 * metrics.tmHeight, line, sizeof(line));
  std::memcpy(line, captions.cut, sizeof(line));
  DrawFitted(dialog, dc, control_id, x, area.top + 5 * metrics.tmHeight, line, sizeof(line));
}

void DrawPaperPicture(HDC dc, PageParam* param, const RECT& area) {
  UniqueGdiObject picture(LoadPreviewPicture(param, PreviewPaperPictureId(param), dc));
  if (!picture) return;
  const BITMAP size = SizeOf(static_cast<HBITMAP>(picture.get()));
  const int x = (area.right - area.left - size.bmWidth) / 2;
  const int y = (area.bottom - area.top - size.bmHeight) / 2 + 5;
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  {
    Selection picked(source.get(), picture.get());
    BitBlt(dc, x, y, size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY);
  }
  UniqueGdiObject mark(LoadPreviewPicture(param, PreviewOrientationMarkId(param), dc));
  if (mark) {
    const BITMAP mark_size = SizeOf(static_cast<HBITMAP>(mark.get()));
    Selection picked(source.get(), mark.get());
    BitBlt(dc, x + size.bmWidth - mark_size.bmWidth, y + size.bmHeight - mark_size.bmHeight, mark_size.bmWidth,
           mark_size.bmHeight, source.get(), 0, 0, SRCAND);
  }
}

void DrawBottomCaptions(HWND dialog, HDC dc, PageParam* param, int control_id, const RECT& area,
                        const PreviewCaptions& captions) {
  const char* const lines[] = {captions.mode_option, captions.finish, captions.direction, captions.colour,
                               captions.media};
  bool first = true;
  int y = 0;
  for (size_t i = 0; i < std::size(lines); ++i) {
    if (i == 0 && !param->settings->TestModelHeaderFlags24(kModeOptionCaptions)) continue;
    UniqueGdiObject font(CreatePreviewFont(dc, *param));
    Selection selected(dc, font.get());
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    y = first ? area.bottom - 5 - metrics.tmHeight : y - (metrics.tmHeight + 5);
    first = false;
    char line[128];
    platform::CopyStringA(line, sizeof(line), lines[i]);
    if (i == 0) {
      ExtTextOutA(dc, area.left + 5, y, 0, nullptr, line, static_cast<UINT>(std::strlen(line)), nullptr);
    } else {
      DrawFitted(dialog, dc, control_id, area.left + 5, y, line, sizeof(line));
    }
  }
}

}  // namespace

HFONT CreateCaptionFont(HDC dc, const PageParam& param, int weight, BOOL underline) {
  LOGFONTA font = {};
  char face[32] = {};
  LoadText(param, kFaceString, face);
  platform::CopyStringA(font.lfFaceName, sizeof(font.lfFaceName), face);
  char points[16] = {};
  LoadText(param, kPointsString, points);
  font.lfHeight = -MulDiv(std::atoi(points), GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfCharSet = static_cast<BYTE>(GetTextCharset(dc));
  font.lfWeight = weight;
  font.lfUnderline = underline != FALSE ? 1 : 0;
  return CreateFontIndirectA(&font);
}

HFONT CreatePreviewFont(HDC dc, const PageParam& param) { return CreateCaptionFont(dc, param, FW_NORMAL, FALSE); }

int LoadSharedPaletteBitmap(PageParam* param, int bitmap_id, HBITMAP* bitmap, HDC dc) {
  if (param == nullptr || param->shared == nullptr || bitmap == nullptr) return 0;
  HMODULE module = ResourceModuleOf(*param);
  HRSRC found = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(bitmap_id), MAKEINTRESOURCEA(2)) : nullptr;
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const auto* data = static_cast<const uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (data == nullptr) return 0;
  const PackedDib dib = {data, SizeofResource(module, found)};
  const uint32_t header_size = GetDibHeaderSize(dib);
  if (GetDibColorCount(dib) != 256 || header_size + kColourTableBytes > dib.size) return 0;
  if (param->shared->preview_palette == nullptr) param->shared->preview_palette = CreateDibPalette(dib);
  PaletteSelection palette(dc, param->shared->preview_palette, FALSE);
  *bitmap = CreateDIBitmap(dc, reinterpret_cast<const BITMAPINFOHEADER*>(data), CBM_INIT,
                           data + header_size + kColourTableBytes, reinterpret_cast<const BITMAPINFO*>(data),
                           DIB_RGB_COLORS);
  return 1;
}

int PreviewPaperPictureId(PageParam* param) {
  JobSettings& s = *param->settings;
  if (!s.TestPaperOptionBits(1)) return 9500;
  if (s.TestPaperOptionBits(256)) return 9700;
  UpdateRollFit(s);
  return s.TestJobOptionBits(512) ? 9800 : 9600;
}

int PreviewOrientationMarkId(PageParam* param) {
  JobSettings& s = *param->settings;
  int id = 9491 + 10 * s.GetOrientation() + (s.IsRotated180() ? 5 : 0);
  if (s.TestPaperOptionBits(1)) {
    if (s.TestPaperOptionBits(256)) {
      id += 200;
    } else {
      UpdateRollFit(s);
      id += s.TestJobOptionBits(512) ? 300 : 100;
    }
  }
  return id;
}

void BuildPreviewCaptions(PageParam* param, PreviewCaptions* c) {
  std::memset(c, 0, sizeof(*c));
  JobSettings& s = *param->settings;
  if (s.IsUserPaperSelected()) {
    s.GetPaperName(s.GetUserPaperIndex(), c->paper, sizeof(c->paper));
  } else {
    LoadText(*param, static_cast<UINT>(s.GetPaperSize()), c->paper);
  }
  c->scaled = (s.GetScalingOptions() & (2 | 8)) != 0;
  const auto source_index = static_cast<uint16_t>(s.GetPaperSourceIndex());
  if (c->scaled) {
    std::snprintf(c->second, sizeof(c->second), "%d%%", static_cast<int>(s.GetScalePercent()));
    PaperNameOf(*param, s.GetOutputPaperSize(), c->third);
  } else {
    uint32_t source_flags = 0;
    s.GetPaperSourceValue8(source_index, &source_flags);
    if ((source_flags & 0x400000) != 0) {
      LoadText(*param, 1521, c->second);
    } else if ((source_flags & 0x40000) != 0) {
      LoadText(*param, 1520, c->second);
    }
    if (s.TestModelHeaderFlags20(kFeedMarginsCapability) && (source_flags & 0x40000) != 0) {
      constexpr UINT kFeedCaptions[] = {2295, 2294, 2293};
      const int32_t feed = s.GetPaperFeedIndex();
      if (feed >= 0 && feed < 3) {
        char feed_text[64] = {};
        LoadText(*param, kFeedCaptions[feed], feed_text);
        char joined[128];
        std::snprintf(joined, sizeof(joined), "%s(%s)", c->second, feed_text);
        std::memcpy(c->second, joined, sizeof(joined));
      }
    }
  }
  if (const int source = DefaultSourceIndex(s); source >= 0) {
    int32_t name = 0;
    s.GetPaperSourceValue2(static_cast<uint16_t>(source), &name);
    LoadText(*param, static_cast<UINT>(1500 + name), c->source);
  }
  LoadText(*param, s.TestCutOptionBits(1) ? 8069 : 8070, c->cut);

  if (s.TestModelHeaderFlags24(kModeOptionCaptions)) {
    const uint32_t options = s.GetModeOptions();
    const UINT id = (options & 0x200) != 0 ? 8141 : (options & 0x400) != 0 ? 8142 : (options & 0x800) != 0 ? 8143 : 8140;
    LoadText(*param, id, c->mode_option);
  }
  if (!s.TestPaperSourceFlags12(static_cast<int16_t>(source_index), 512)) {
    LoadText(*param, s.TestModeOptionBits(4) ? 8006 : 8007, c->finish);
  }
  const uint16_t mode = s.GetCurrentModeIndex();
  UINT direction = 8004;
  if (s.TestPrintModeFlags20(static_cast<int16_t>(mode), 256)) {
    direction = 8003;
  } else if (s.TestModeOptionBits(2)) {
    direction = 8005;
  } else if (s.TestModeOptionBits(1)) {
    direction = 8003;
  }
  LoadText(*param, direction, c->direction);
  if (const UINT colour = ColourCaption(s.GetColorMode()); colour != 0) LoadText(*param, colour, c->colour);
  MediaCaption(param, c->media);
}

void PaintLayoutPreview(HWND dialog, PageParam* param, int control_id) {
  if (param == nullptr || param->settings == nullptr) return;
  HWND control = GetDlgItem(dialog, control_id);
  if (control == nullptr) return;
  JobSettings& s = *param->settings;
  s.RecomputePageGeometry();
  PreviewLayout layout = {};
  GetClientRect(control, &layout.control);
  const RECT& area = layout.control;
  const int width = static_cast<int16_t>(area.right - area.left);
  const int height = static_cast<int16_t>(area.bottom - area.top);
  WindowDc screen(control);
  if (screen.get() == nullptr) return;
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  UniqueGdiObject canvas(CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !canvas) return;
  HDC dc = memory.get();
  Selection drawn_on(dc, canvas.get());
  Selection white(dc, GetStockObject(WHITE_BRUSH));
  PatBlt(dc, 0, 0, width, height, PATCOPY);

  s.CheckSourceBorderless();
  SetBkColor(dc, RGB(255, 255, 255));
  SetTextColor(dc, RGB(0, 0, 0));
  PreviewCaptions captions;
  BuildPreviewCaptions(param, &captions);
  DrawTopCaptions(dialog, dc, param, control_id, area, captions);
  DrawSourceCaptions(dialog, dc, param, control_id, area, captions);
  DrawPaperPicture(dc, param, area);
  DrawBottomCaptions(dialog, dc, param, control_id, area, captions);

  BitBlt(screen.get(), area.left + 1, area.top + 1, area.right - 2, area.bottom - 2, dc, area.left + 1, area.top + 1,
         SRCCOPY);
}

}  // namespace kalimu::pages
