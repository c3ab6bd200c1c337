// The layout preview's paper geometry: the paper record of an id (model paper, the custom size
// or a user paper), its extent in 1/360 inch, the margin sets and the orientation rules.
#include <algorithm>
#include <cstring>

#include "kalimu/pages/layout_preview.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/storage/user_settings_records.h"

namespace kalimu::pages {
namespace {

constexpr int32_t kCustomPaperId = 256;
constexpr uint32_t kFeedMarginsCapability = 0x8000;  // model header word 20
constexpr uint32_t kMediaOwnMargins = 0x200000;      // media capability: keeps the usual margins
constexpr int32_t kKind3BottomBase = 42;

struct PaperRecord {
  model::PaperSizeRecord record;
  bool user;
};

// The record of a paper id: a model paper (the custom size with the job's own extent, already
// in 1/360 inch), else a user paper; false when neither has it.
bool FindPaperRecord(JobSettings& s, int32_t id, PaperRecord* out) {
  uint32_t count = 0;
  s.GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    if (!s.IsPaperIdAt(id, static_cast<uint16_t>(i))) continue;
    if (!s.GetPaperSizeRecord(static_cast<uint16_t>(i), &out->record, sizeof(out->record))) return false;
    out->user = false;
    if (id == kCustomPaperId) {
      int32_t width = s.GetCustomPaperWidth();
      int32_t length = s.GetCustomPaperLength();
      if (s.GetCustomPaperUnit() != 1) {  // 1/100 inch into 0.1 mm
        width = width * 254 / 100;
        length = length * 254 / 100;
      }
      // The custom size is held in 0.1 mm; model extents are 1/360 inch.
      out->record.width = PreviewExtentFromUnit(width, 1);
      out->record.length = PreviewExtentFromUnit(length, 1);
    }
    return true;
  }
  uint32_t user_papers = 0;
  s.GetPaperCount(&user_papers);
  for (uint32_t i = 0; i < user_papers; ++i) {
    int32_t user_id = 0;
    if (!s.GetPaperId(static_cast<uint16_t>(i), &user_id) || user_id != id) continue;
    storage::UserPaperEntry entry{};
    if (!s.GetPaperEntry(static_cast<uint16_t>(i), &entry, sizeof(entry))) return false;
    out->record = entry.paper;
    out->user = true;
    return true;
  }
  return false;
}

PreviewMargins MarginRecord(JobSettings& s, int16_t index) {
  model::CapTable2Record margins = {};
  if (index < 0 || !s.GetTable2Record(static_cast<uint16_t>(index), &margins, sizeof(margins))) return {};
  return {margins.left, margins.top, margins.right, margins.bottom};
}

int32_t ToInch360(int32_t value) { return (value * 360 + 127) / 254; }

// The paper's extent and its feed margins' growth for the options that print over the edges.
PreviewExtent PaperExtent(JobSettings& s, const PaperRecord& paper) {
  const model::PaperSizeRecord& r = paper.record;
  PreviewExtent extent = {r.width, r.length};
  if (paper.user) {
    extent = {PreviewExtentFromUnit(r.width, r.value4), PreviewExtentFromUnit(r.length, r.value4)};
  }
  int feed_slot = 2;  // the word at 32
  if (s.TestModelHeaderFlags20(kFeedMarginsCapability)) {
    const int32_t feed = s.GetPaperFeedIndex();
    if (feed >= 0 && feed <= 4) feed_slot += feed;
  }
  const PreviewMargins feed_margins = MarginRecord(s, r.margin_index[feed_slot]);
  const bool layout_4 = s.TestLayoutOptionBits(4) != 0;
  if (s.TestPaperOptionBits(8) || layout_4) extent.width += ToInch360(feed_margins.left + feed_margins.right);
  if (layout_4) extent.height += ToInch360(feed_margins.top + feed_margins.bottom);
  return extent;
}

// The margins of the margin option in force (word 30 or 28 of the record).
PreviewMargins OptionMargins(JobSettings& s, const model::PaperSizeRecord& r) {
  const uint16_t media = s.GetCurrentMediaIndex();
  const bool own = s.TestMediaTypeFlags8(static_cast<int16_t>(media), kMediaOwnMargins) != 0;
  const bool option_2 = (s.GetMarginOptions() & 2) != 0;
  return MarginRecord(s, !own && option_2 ? r.margin_index[1] : r.margin_index[0]);
}

PreviewMargins Finish(JobSettings& s, PreviewMargins m, uint16_t kind) {
  if ((s.GetMarginOptions() & 1) != 0) m = EvenPreviewMargins(m, kind);
  if (s.IsRotated180()) m = {m.right, m.bottom, m.left, m.top};
  return m;
}

PreviewMargins PrintableMargins(JobSettings& s, const model::PaperSizeRecord& r, PreviewExtent extent) {
  PreviewMargins m = OptionMargins(s, r);
  const bool layout_4 = s.TestLayoutOptionBits(4) != 0;
  if (s.TestPaperOptionBits(8) || layout_4) m.left = m.right = 0;
  const int32_t source = s.GetDefaultSource();
  if (s.TestPaperOptionBits(1) || layout_4 || source == 530 || source == 531) m.top = m.bottom = 0;
  uint32_t sources = 0;
  s.GetPaperSourceCount(&sources);
  uint32_t i = 0;
  for (; i < sources; ++i) {
    int32_t id = 0;
    if (s.GetPaperSourceId(static_cast<uint16_t>(i), &id) && id == source) break;
  }
  int32_t limit = 0;
  if (i < sources) s.GetPaperSourceValue48(static_cast<uint16_t>(i), &limit);
  const int16_t sides = static_cast<int16_t>(static_cast<int16_t>(m.left) + static_cast<int16_t>(m.right));
  if (2 * i < 32 && (r.source_flags & (1u << (2 * i))) != 0 && limit < extent.width - sides) {
    m.right += extent.width - sides - limit;
  }
  return Finish(s, m, r.kind);
}

void Store(PreviewTurn turn, PreviewExtent extent, PreviewMargins m, PreviewExtent* out_extent,
           PreviewMargins* out_margins) {
  if (turn == PreviewTurn::kTurned) {
    extent = {extent.height, extent.width};
    m = {m.top, m.right, m.bottom, m.left};
  }
  *out_extent = extent;
  *out_margins = m;
}

PreviewTurn TurnFor(JobSettings& s, PreviewPart part, PreviewExtent extent) {
  return PreviewOrientation(part, s.GetOrientation(), s.GetPagesPerSheet(), IsPageWide(s) != 0, extent);
}

// A paper's extent and its margin set, as they are or turned by the part's orientation rule.
int FillPaperAndMargins(const PageParam& param, int32_t paper_id, PreviewPart part, PreviewExtent* extent_out,
                        PreviewMargins* margins_out) {
  JobSettings& s = *param.settings;
  PaperRecord paper{};
  if (!FindPaperRecord(s, paper_id, &paper)) return 0;
  const PreviewExtent extent = PaperExtent(s, paper);
  const PreviewMargins margins = Finish(s, OptionMargins(s, paper.record), paper.record.kind);
  Store(TurnFor(s, part, extent), extent, margins, extent_out, margins_out);
  return 1;
}

}  // namespace

int32_t PreviewExtentFromUnit(int32_t value, int32_t unit) {
  return unit == 1 ? (value * 360 + 127) / 254 : (value * 360 + 50) / 100;
}

PreviewMargins EvenPreviewMargins(PreviewMargins m, uint16_t paper_kind) {
  m.left = m.right = std::max(m.left, m.right);
  if (paper_kind == 3) {
    if (m.bottom >= kKind3BottomBase) {
      m.top += m.bottom - kKind3BottomBase;
    } else {
      m.bottom = m.top;
    }
  } else {
    m.top = m.bottom = std::max(m.top, m.bottom);
  }
  return m;
}

PreviewTurn PreviewOrientation(PreviewPart part, int32_t o, int32_t n, bool wide, PreviewExtent extent) {
  const bool portrait = o == 1;
  const bool matches_paper = (portrait && wide) || (!portrait && !wide);
  bool as_they_are = portrait;
  switch (part) {
    case PreviewPart::kPaperSize:
      if (n == -4) {
        as_they_are = portrait && wide;
      } else if (n == 2) {
        as_they_are = (portrait && extent.width > extent.height) || (!portrait && extent.width <= extent.height);
      }
      break;
    case PreviewPart::kPrintableArea:
      if (n == 2) {
        as_they_are = !portrait;
      } else if (n == -4) {
        as_they_are = matches_paper;
      } else if (n < -4 || n == 0 || n > 3) {
        return PreviewTurn::kNone;
      }
      break;
    case PreviewPart::kMargins:
      if (n == -4) as_they_are = matches_paper;
      break;
  }
  return as_they_are ? PreviewTurn::kAsTheyAre : PreviewTurn::kTurned;
}

int GetPreviewPaperSize(const PageParam& param, int32_t paper_id, PreviewLayout* layout) {
  return layout != nullptr ? FillPaperAndMargins(param, paper_id, PreviewPart::kPaperSize, &layout->output_paper,
                                                 &layout->output_margins)
                           : 0;
}

int GetPreviewPrintableArea(const PageParam& param, int32_t paper_id, PreviewLayout* layout) {
  JobSettings& s = *param.settings;
  PaperRecord paper{};
  if (layout == nullptr || !FindPaperRecord(s, paper_id, &paper)) return 0;
  const PreviewExtent extent = PaperExtent(s, paper);
  const PreviewTurn turn = TurnFor(s, PreviewPart::kPrintableArea, extent);
  if (turn == PreviewTurn::kNone) return 1;
  Store(turn, extent, PrintableMargins(s, paper.record, extent), &layout->page, &layout->printable_margins);
  return 1;
}

int GetPreviewMargins(const PageParam& param, int32_t paper_id, PreviewLayout* layout) {
  return layout != nullptr ? FillPaperAndMargins(param, paper_id, PreviewPart::kMargins, &layout->document_paper,
                                                 &layout->document_margins)
                           : 0;
}

}  // namespace kalimu::pages
