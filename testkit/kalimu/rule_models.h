// Sample models for the consistency rules of the job settings: the roll-paper model with every
// field the rules read set to a meaning, and a model with sixteen paper sources.
#pragma once

#include <cstdint>

#include "testkit/kalimu/model_cfg_builder.h"

namespace testkit {

// Paper ids the rule model adds to the roll-paper model's papers.
inline constexpr int16_t kSecondBitPaperId = 303;  // carries only the second bit of sources 0 and 1
inline constexpr int16_t kLongRollPaperId = 304;   // 24 inch by 400000/360 inch (about 28 m)
inline constexpr int32_t kLongRollLength = 400000;

// The roll-paper model with: header words 20 and 28 cleared (tests set their bits), print-mode
// resolutions 360 (mode id 1), 720 (id 2), 1440 x 720 (id 4) and 1440 (id 5), size limits on
// every source, a margin record used as a borderless extension, and the papers above.
// header_word28: model header word 28.
ModelDescription RuleModel(uint32_t header_word28 = 0);

// Sixteen sources (ids 300 + i) covering the combinations of capability and feed words the
// source rules tell apart; every paper, media, mode and preset allows every source.
ModelDescription SixteenSourceModel(uint32_t header_word28 = 0);

}  // namespace testkit
