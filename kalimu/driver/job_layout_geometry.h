// The page geometry of the job layout record: margin records of the output paper, edge margins,
// printable extents and the output paper id, from one job's settings at its device resolution.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "kalimu/model/cfg_records.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::driver {

// Feed selector of the margin record that paper value 32 names.
inline constexpr uint32_t kPaperValue32Selector = 0xFFFF;
// Feed selector of the margin record of the job's stored feed (any selector but 0xFFFF).
inline constexpr uint32_t kStoredFeedSelector = 0;

// 1/360 inch to dots at a resolution, rounded: (v * resolution + 180) / 360.
int32_t ToDots(int32_t v, uint32_t resolution);

bool IsOneOf(uint32_t value, std::initializer_list<uint32_t> list);

// A print-mode value by the variant rule: the value of the first getter on the variant-2 mode
// when the model reads variant 2 and the job uses it, else of the second on the variant-1 mode
// for a colour job, else of the third on the variant-0 mode.
template <class Out>
Out ModeValueByVariant(settings::JobSettings& s, int (model::ModelCapabilities::*variant2)(uint16_t, Out*),
                       int (model::ModelCapabilities::*variant1)(uint16_t, Out*),
                       int (model::ModelCapabilities::*variant0)(uint16_t, Out*)) {
  const uint16_t mode = s.GetCurrentModeIndex();
  Out value{};
  if (s.TestModelHeaderFlags24(0x8000) && s.GetModeVariant() == 2) {
    (s.*variant2)(s.FindModeIndexForVariant2(mode), &value);
  } else if (s.GetColor() == 2) {
    (s.*variant1)(s.FindModeIndexForVariant1(mode), &value);
  } else {
    (s.*variant0)(s.FindModeIndexForVariant0(mode), &value);
  }
  return value;
}

struct PrintableExtents {
  int32_t width_a, height_a, width_b, height_b;
};

class JobLayoutGeometry {
 public:
  explicit JobLayoutGeometry(settings::JobSettings& settings);

  settings::JobSettings& settings() { return s_; }
  uint32_t xres() const { return resolution_.x; }
  uint32_t yres() const { return resolution_.y; }
  uint16_t layout_flags() const { return layout_flags_; }
  uint16_t output_paper_index() const { return output_index_; }
  int16_t source_index() const { return source_; }

  // The margin record of the output paper (1/360 inch), and scaled to dots with the x
  // resolution: the one paper value 32 names for kPaperValue32Selector, for any other selector
  // the one of the job's stored feed.
  model::CapTable2Record MarginRecord(uint32_t selector);
  model::CapTable2Record ScaledMarginRecord(uint32_t selector);
  // The margin record of the settings' own feed.
  model::CapTable2Record FeedMarginRecord() { return MarginRecord(kStoredFeedSelector); }
  // All 0 unless the model has roll margins and the layout is a roll layout.
  model::CapTable2Record RollMarginRecord();
  // The margin record a paper value of the output paper names (zero for a negative number).
  model::CapTable2Record MarginRecordAt(int32_t number);

  int32_t EdgeX();
  int32_t EdgeY();
  PrintableExtents Printable();
  void SnapCustomWidth(PrintableExtents& extents);
  void TrimRoll(PrintableExtents& extents);
  void ClampToSource(PrintableExtents& extents);
  int32_t TopMargin();
  int32_t OutputPaperId();
  int32_t RollLeftMargin();

  bool HasFlag20(uint32_t mask) { return s_.TestModelHeaderFlags20(mask) != 0; }
  bool HasFlag24(uint32_t mask) { return s_.TestModelHeaderFlags24(mask) != 0; }
  bool HasFlag28(uint32_t mask) { return s_.TestModelHeaderFlags28(mask) != 0; }
  bool LargeFormat() { return HasFlag28(0x200); }
  bool RollLayout() const { return IsOneOf(layout_flags_, {0x40, 0x41, 0x4040}); }

 private:
  // A model paper allowed at the current source, other than the custom size.
  bool PaperAllowedAtSource(uint16_t index, int32_t* id, int32_t* width);

  settings::JobSettings& s_;
  settings::ResolutionPair resolution_{};
  uint16_t layout_flags_ = 0;
  uint16_t output_index_ = 0;
  int16_t source_ = 0;
  uint32_t paper_count_ = 0;
};

}  // namespace kalimu::driver
