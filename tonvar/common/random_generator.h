// MT19937 noise source shared by the halftoning engines; one state per handle.
#pragma once

#include <cstdint>

namespace tonvar::common {

inline constexpr uint32_t kMtWordCount = 624;

struct MtState {
  uint32_t words[kMtWordCount];
  uint32_t left;         // words still to hand out before the next regeneration
  uint32_t initialised;  // 0 until seeded
  uint32_t* next;        // next word to temper and return
};

// Seeds with the published init_by_array procedure; the next draw regenerates.
void RandomInitByArray(const uint32_t* key, uint32_t key_length, MtState* state);
// Regenerates all words; an unseeded state is first seeded with 5489.
void RandomReload(MtState* state);
uint32_t RandomGenerate(MtState* state);

}  // namespace tonvar::common
