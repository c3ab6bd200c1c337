// Font fitting, enumeration callbacks, face lists and default fonts of text watermarks.
#include "kalimu/watermark/watermark_fonts.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "kalimu/platform/text_helpers.h"

namespace kalimu::watermark {
namespace {

constexpr int kMaxFitSteps = 30;

struct Extent {
  double width;  // with two average character widths
  double height;
};

// Creates the record's font in the DC and measures the whole text.
Extent Measure(HDC dc, const LOGFONTA& font, const char* text) {
  HFONT created = CreateFontIndirectA(&font);
  if (created == nullptr) return {0, 0};
  HGDIOBJ old = SelectObject(dc, created);
  SIZE size{};
  if (!GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size)) size = {0, 0};
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  DeleteObject(created);
  return {static_cast<double>(size.cx) + 2.0 * metrics.tmAveCharWidth, static_cast<double>(size.cy)};
}

void Zero(double* a, double* b, double* c, double* d) { *a = *b = *c = *d = 0; }

bool AddFace(FontCollection* collection, const LOGFONTA* font) {
  if (collection->count >= collection->capacity) {
    ++collection->missed;
    return false;
  }
  collection->faces[collection->count++] = *font;
  return true;
}

}  // namespace

int FitTextFontHeight(HDC dc, LOGFONTA* font, int fixed_height, int diagonal, double* width, double* height,
                      double* text_width, double* text_height, const char* text) {
  Zero(width, height, text_width, text_height);
  if (text == nullptr || text[0] == '\0' || font == nullptr) return 0;
  const LONG height_passed = font->lfHeight;
  const double theta = font->lfEscapement * 3.141592653589793 / 1800;
  const double c = std::fabs(std::cos(theta)), s = std::fabs(std::sin(theta));
  const double dpi = GetDeviceCaps(dc, LOGPIXELSX);
  const double u = c <= 0.5 ? s : c;
  double current = fixed_height >= 1 ? fixed_height : (u / dpi) * diagonal * 72;
  font->lfHeight = static_cast<LONG>(current);

  Extent e = Measure(dc, *font, text);
  if (e.width <= 0 || e.height <= 0 || dpi <= 0) {
    font->lfHeight = height_passed;
    return 0;
  }
  const double r = e.height / e.width;
  const double a = r * s + c, b = r * c + s;
  const double k = std::sqrt(1 / (r * r) + 1);
  auto step_for = [&](const Extent& m) { return (u / dpi) * ((diagonal - std::sqrt(m.width * m.width + m.height * m.height)) / k) * 72; };
  auto fitted = [&](const Extent& m, double step) {
    return (step > -1 && step < 1) ||
           static_cast<int>(std::sqrt(m.width * m.width + m.height * m.height)) == diagonal;
  };
  double step = step_for(e);
  double accepted = step;
  for (int i = 0; i < kMaxFitSteps && !fitted(e, step); ++i) {
    if (-step >= font->lfHeight) {
      // The step would leave no height: nothing fits; the record keeps the first height.
      font->lfHeight = static_cast<LONG>(fixed_height >= 1 ? fixed_height : (u / dpi) * diagonal * 72);
      return 0;
    }
    current += step;
    font->lfHeight = static_cast<LONG>(current);
    e = Measure(dc, *font, text);
    step = step_for(e);
    if (fitted(e, step)) break;
    if (std::fabs(step) > std::fabs(accepted)) {
      step /= 2;
    } else {
      accepted = step;
    }
  }
  *width = a * e.width;
  *height = b * e.width;
  *text_width = e.width;
  *text_height = e.height;
  const int result = font->lfHeight;
  font->lfHeight = height_passed;
  return result;
}

int CALLBACK CountFontsProc(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM record) {
  auto* counts = reinterpret_cast<FontCounts*>(record);
  if (type & RASTER_FONTTYPE) {
    ++counts->raster;
  } else if (type & TRUETYPE_FONTTYPE) {
    ++counts->true_type;
  } else {
    ++counts->other;
  }
  return 1;
}

int CALLBACK CollectTrueTypeFontProc(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM record) {
  if ((type & TRUETYPE_FONTTYPE) && !(type & RASTER_FONTTYPE)) AddFace(reinterpret_cast<FontCollection*>(record), font);
  return 1;
}

int CALLBACK CollectScalableFontProc(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM record) {
  if (!(type & RASTER_FONTTYPE)) AddFace(reinterpret_cast<FontCollection*>(record), font);
  return 1;
}

int CALLBACK IsTrueTypeProc(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM record) {
  const bool true_type = (type & TRUETYPE_FONTTYPE) != 0;
  *reinterpret_cast<int*>(record) = true_type ? 1 : 0;
  return true_type ? 0 : 1;
}

int CALLBACK IsRasterProc(const LOGFONTA*, const TEXTMETRICA*, DWORD type, LPARAM record) {
  const bool raster = (type & RASTER_FONTTYPE) != 0;
  *reinterpret_cast<int*>(record) = raster ? 1 : 0;
  return raster ? 0 : 1;
}

void GetDefaultFaceName(LOGFONTA* font) {
  HDC screen = GetDC(nullptr);
  TEXTMETRICA metrics{};
  GetTextMetricsA(screen, &metrics);
  font->lfCharSet = metrics.tmCharSet;
  font->lfFaceName[0] = '\0';
  FontCounts counts{};
  EnumFontFamiliesA(screen, nullptr, reinterpret_cast<FONTENUMPROCA>(CountFontsProc), reinterpret_cast<LPARAM>(&counts));
  std::vector<LOGFONTA> faces(static_cast<size_t>(counts.true_type + counts.other) + 1);
  FontCollection collection{faces.data(), static_cast<int>(faces.size()), 0, 0};
  EnumFontFamiliesA(screen, nullptr, reinterpret_cast<FONTENUMPROCA>(CollectTrueTypeFontProc),
                    reinterpret_cast<LPARAM>(&collection));
  ReleaseDC(nullptr, screen);
  for (int i = 0; i < collection.count; ++i) {
    if (faces[i].lfCharSet == font->lfCharSet) {
      platform::CopyStringA(font->lfFaceName, LF_FACESIZE, faces[i].lfFaceName);
      return;
    }
  }
}

LOGFONTA MakeDefaultWatermarkFont(bool bitmap_entry) {
  LOGFONTA font{};
  if (!bitmap_entry) {
    font.lfHeight = -200;
    font.lfEscapement = 300;
    font.lfOrientation = 300;
    font.lfWeight = FW_NORMAL;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = PROOF_QUALITY;
  } else {
    font.lfQuality = DRAFT_QUALITY;
  }
  GetDefaultFaceName(&font);
  return font;
}

void FillFontCombo(HWND dialog, int combo_id, WatermarkFontList* list, char* face_name) {
  HDC dc = GetDC(dialog);
  FontCounts counts{};
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(CountFontsProc), reinterpret_cast<LPARAM>(&counts));
  list->faces.assign(static_cast<size_t>(counts.true_type + counts.other), LOGFONTA{});
  FontCollection collection{list->faces.data(), static_cast<int>(list->faces.size()), 0, 0};
  EnumFontFamiliesA(dc, nullptr, reinterpret_cast<FONTENUMPROCA>(CollectScalableFontProc),
                    reinterpret_cast<LPARAM>(&collection));
  ReleaseDC(dialog, dc);
  list->faces.resize(static_cast<size_t>(collection.count));
  HWND combo = GetDlgItem(dialog, combo_id);
  for (int i = 0; i < collection.count; ++i) {
    const LRESULT item = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list->faces[i].lfFaceName));
    if (item >= 0) SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), i);
    if (face_name != nullptr) {
      const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, 0, 0);
      if (length >= 0 && length < MAX_PATH) SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(face_name));
    }
  }
}

}  // namespace kalimu::watermark
