// The preview of a poster: its panels laid out over the preview control from the paper's extent,
// in integer arithmetic so that a click finds the panel that was drawn.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "kalimu/pages/layout_preview.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {
namespace {

constexpr int kInner = 5;  // the square's inset, and the gap between panels
constexpr int64_t kMostElongated = 3;

void SwapPair(PreviewExtent* extent) { std::swap(extent->width, extent->height); }

// The paper box inside the square's inner area, before it is moved to the control's centre.
RECT PaperBox(const RECT& inner, int64_t w, int64_t h) {
  const int64_t inner_width = inner.right - inner.left;
  const int64_t inner_height = inner.bottom - inner.top;
  int64_t box_width = inner_width;
  int64_t box_height = inner_height;
  if (w > h) {
    if (w / h > kMostElongated) w = kMostElongated * h;
    box_height = (h * 1000 / w) * inner_width / 1000;
  } else {
    if (w != h && h / w > kMostElongated) h = kMostElongated * w;
    const int64_t computed = (w * 1000 / h) * inner_height / 1000;
    box_width = std::min(inner_width, computed);
    if (computed > inner_width) box_height = inner_width;
  }
  return RECT{inner.left, inner.top, static_cast<LONG>(inner.left + box_width),
              static_cast<LONG>(inner.top + box_height)};
}

}  // namespace

PosterPanels PosterPanelsOf(int32_t pages_per_sheet, bool wide) {
  switch (pages_per_sheet) {
    case -1: return {4, 2, 2, false};
    case -2: return {9, 3, 3, false};
    case -3: return {16, 4, 4, false};
    case -4: return wide ? PosterPanels{2, 2, 1, false} : PosterPanels{2, 1, 2, false};
    default: return {0, 0, 0, false};
  }
}

PosterPanels LayoutPosterPanels(const RECT& client, int32_t pages_per_sheet, bool wide, uint32_t margin_options,
                                PreviewLayout* layout) {
  PosterPanels panels = PosterPanelsOf(pages_per_sheet, wide);
  const int64_t w = layout->output_paper.width;
  const int64_t h = layout->output_paper.height;
  if (panels.count == 0 || w < 1 || h < 1) return PosterPanels{};
  panels.elongated = std::max(w, h) / std::min(w, h) >= kMostElongated;

  // 1. The centred square.
  const LONG client_width = client.right - client.left;
  const LONG client_height = client.bottom - client.top;
  RECT square = client;
  if (client_width > client_height) {
    square.left += (client_width - client_height) / 2;
    square.right = square.left + client_height;
  } else {
    square.top += (client_height - client_width) / 2;
    square.bottom = square.top + client_width;
  }
  layout->control = square;
  // 3, 4. The paper box in the inner area, moved to the control's centre.
  const RECT inner{square.left + kInner, square.top + kInner, square.right - kInner, square.bottom - kInner};
  RECT box = PaperBox(inner, w, h);
  const LONG a = box.right - box.left;
  const LONG b = box.bottom - box.top;
  box.left = client.left + (client_width - a + kInner) / 2;
  box.top = client.top + (client_height - b + kInner) / 2;
  box.right = box.left + a;
  box.bottom = box.top + b;
  layout->paper_area = box;

  // 5. The panels.
  const LONG x0 = box.left;
  const LONG y0 = box.top;
  if (pages_per_sheet == -4) {
    for (LONG i = 0; i < 2; ++i) {
      layout->cells[i] = wide ? RECT{x0 + a * i / 2, y0 + b / 4, x0 + a * (i + 1) / 2 - kInner, y0 + 3 * b / 4}
                              : RECT{x0 + a / 4, y0 + b * i / 2, x0 + 3 * a / 4, y0 + b * (i + 1) / 2 - kInner};
    }
  } else {
    const LONG n = panels.columns;
    for (LONG j = 0; j < n; ++j) {
      for (LONG k = 0; k < n; ++k) {
        layout->cells[j * n + k] = RECT{x0 + a * k / n, y0 + b * j / n, x0 + a * (k + 1) / n - kInner,
                                        y0 + b * (j + 1) / n - kInner};
      }
    }
  }
  const bool flat = layout->cells[0].bottom <= layout->cells[0].top;
  const bool narrow = layout->cells[0].right <= layout->cells[0].left;
  const LONG top_inset = (margin_options & 2) != 0 ? 2 : ((margin_options & 1) != 0 ? 4 : 2);
  const LONG bottom_inset = (margin_options & 2) != 0 ? 2 : 4;
  for (int i = 0; i < panels.count; ++i) {
    RECT& cell = layout->cells[i];
    if (flat) cell.bottom = cell.top + 1;
    if (narrow) cell.right = cell.left + 1;
    layout->printable[i] = RECT{cell.left + 2, cell.top + top_inset, cell.right - 2, cell.bottom - bottom_inset};
  }
  return panels;
}

PosterPanels FillPosterPreviewLayout(const PageParam& param, const RECT& client, PreviewLayout* layout) {
  settings::JobSettings& s = *param.settings;
  *layout = PreviewLayout{};
  layout->control = client;
  const int32_t output = static_cast<int32_t>(s.GetOutputPaperSize());
  const int32_t document = static_cast<int32_t>(s.GetPaperSize());
  GetPreviewPaperSize(param, output, layout);
  GetPreviewPrintableArea(param, output, layout);
  GetPreviewMargins(param, document, layout);
  const int32_t kind = s.GetPagesPerSheet();
  const bool wide = s.IsPaperWiderThanLong() == 1;
  if (kind == -4 && wide) {
    SwapPair(&layout->output_paper);
    SwapPair(&layout->page);
    SwapPair(&layout->document_paper);
  }
  return LayoutPosterPanels(client, kind, wide, s.GetMarginOptions(), layout);
}

int PosterPanelAt(const PreviewLayout& layout, const PosterPanels& panels, POINT origin, POINT point) {
  for (int i = 0; i < panels.count && i < kPreviewCells; ++i) {
    RECT cell = layout.cells[i];
    OffsetRect(&cell, origin.x, origin.y);
    if (PtInRect(&cell, point)) return i;
  }
  return -1;
}

}  // namespace kalimu::pages
