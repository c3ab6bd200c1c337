// Test support of the user paper size dialog: the roll-paper model with size limits per paper
// source (0.1 mm): the sheet feeder takes 89..329 x 127..483, the manual feed 10..440 x
// 10..999.9, both rolls 254..1118 x 100..15000.
#pragma once

#include <cstring>

#include "kalimu/model/cfg_records.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "testkit/kalimu/model_cfg_builder.h"

namespace kalimu::dialogs::test {

inline testkit::ModelDescription LimitedModel(bool with_user_defined_paper = true) {
  testkit::ModelDescription m = testkit::RollPaperModel();
  const auto limits = [](model::PaperSourceRecord& s, settings::ExtentPair low, settings::ExtentPair high) {
    std::memcpy(s.value32, &high, sizeof(high));
    std::memcpy(s.value40, &low, sizeof(low));
  };
  limits(m.sources[0], {890, 1270}, {3290, 4830});
  limits(m.sources[1], {100, 100}, {4400, 9999});
  limits(m.sources[2], {2540, 1000}, {11180, 150000});
  limits(m.sources[3], {2540, 1000}, {11180, 150000});
  if (!with_user_defined_paper) {
    std::erase_if(m.papers, [](const model::PaperSizeRecord& p) { return p.id == model::kCustomPaperId; });
  } else {
    // The user-defined size is not offered on the roll with auto cut (source 3).
    for (model::PaperSizeRecord& p : m.papers) {
      if (p.id == model::kCustomPaperId) p.source_flags = 0x3F;
    }
  }
  return m;
}

}  // namespace kalimu::dialogs::test
