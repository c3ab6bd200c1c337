#include "testkit/kalimu/rule_models.h"

#include <cstring>

namespace testkit {
namespace {

uint32_t ResolutionWord(uint16_t h, uint16_t v) { return h | (uint32_t{v} << 16); }

void SetLimits(km::PaperSourceRecord& source, int32_t max_w, int32_t max_l, int32_t min_w, int32_t min_l) {
  const int32_t maximum[2] = {max_w, max_l};
  const int32_t minimum[2] = {min_w, min_l};
  std::memcpy(source.value32, maximum, sizeof(maximum));
  std::memcpy(source.value40, minimum, sizeof(minimum));
}

}  // namespace

ModelDescription RuleModel(uint32_t header_word28) {
  ModelDescription m = RollPaperModel();
  m.header.flags20 &= ~0x8000u;  // papers carry no feed values
  m.header.flags28 = header_word28;
  const uint16_t resolutions[][2] = {{360, 360}, {720, 720}, {720, 720}, {1440, 720}, {1440, 1440}};
  for (size_t i = 0; i < m.modes.size(); ++i) {
    m.modes[i].value32 = static_cast<int32_t>(ResolutionWord(resolutions[i][0], resolutions[i][1]));
  }
  // Limits in 0.1 mm: the sheet feeder takes A3+ at most, the rolls 24 inch by 15 m.
  SetLimits(m.sources[0], 3290, 4830, 890, 1270);
  SetLimits(m.sources[1], 3290, 6000, 1000, 1480);
  SetLimits(m.sources[2], 6100, 150000, 2540, 1270);
  SetLimits(m.sources[3], 6100, 150000, 2540, 1270);
  // Margin record 3: the borderless extension of the A4 borderless paper (words 32-44).
  m.margins.push_back({30, 40, 50, 60});
  for (int k = 2; k < 9; ++k) m.papers[3].margin_index[k] = 3;
  // Kind bits (+4): 1 metric, 2 inch; the custom size is neither. Paper kind (+6): 3 for the
  // borderless A4 only.
  const int16_t kind_bits[] = {1, 1, 2, 1, 2, 0};
  for (size_t i = 0; i < m.papers.size(); ++i) {
    m.papers[i].value4 = kind_bits[i];
    m.papers[i].kind = 0;
  }
  m.papers[3].kind = 3;
  auto second_bit = m.papers[0];
  second_bit.id = kSecondBitPaperId;
  second_bit.source_flags = 0x0A;
  auto long_roll = m.papers[4];
  long_roll.id = kLongRollPaperId;
  long_roll.length = kLongRollLength;
  m.papers.insert(m.papers.end() - 1, {second_bit, long_roll});  // the custom size stays last
  return m;
}

ModelDescription SixteenSourceModel(uint32_t header_word28) {
  ModelDescription m = RuleModel(header_word28);
  const struct {
    uint32_t capability;
    uint32_t feed;
  } kinds[16] = {{0x2000, 0x01},   {0, 0x01},        {0x4000, 0x02},  {0x44000, 0x0A},
                 {0x84000, 0x08},  {0x400000, 0x10}, {0x40000, 0x10}, {0x400000, 0x04},
                 {0, 0x04},        {0x40000, 0x04},  {0x400000, 0x40}, {0x40000, 0x50},
                 {0x400000, 0x80}, {0, 0x80},        {0x2000, 0x03},  {0xC4000, 0x08}};
  const km::PaperSourceRecord base = m.sources[0];
  m.sources.clear();
  for (int i = 0; i < 16; ++i) {
    km::PaperSourceRecord source = base;
    source.id = static_cast<int16_t>(300 + i);
    source.flags8 = kinds[i].capability;
    source.flags12 = kinds[i].feed;
    m.sources.push_back(source);
  }
  for (auto& paper : m.papers) paper.source_flags = 0xFFFFFFFFu;
  for (auto& media : m.media) media.flags4 = 0xFFFFFFFFu;
  for (auto& mode : m.modes) mode.flags16 = 0xFFFFFFFFu;
  for (auto& group : m.presets) {
    for (auto& preset : group) preset.value96 = 0xFFFFFFFFu;
  }
  return m;
}

}  // namespace testkit
