// The diffusion inks of one row pair walked side by side. One ink after another, every ink draws
// its random words from the engine's generator where the ink before it stopped; an ink draws a
// word at set-up (kernels that do) and then, for each pass of a cell that is not idle, whenever
// its word has run out of 4-bit steps. How many words an ink takes therefore depends only on its
// idle cells and on the words themselves, so a dry run over the cells, drawing the same words,
// finds where each ink's stream starts; each ink then walks on a copy of the generator taken
// there, and the engine's generator ends where the last ink's would.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tonvar/multi_level/diffusion_walk.h"

namespace tonvar::multi_level::diffusion {

// A copy of a generator that draws the same words, independently of the original.
inline void CopyStream(const common::MtState& from, common::MtState* to) {
  *to = from;
  if (from.next != nullptr) to->next = to->words + (from.next - from.words);
}

// Draws from `random` the words one ink's walk would draw, and nothing else.
template <class Member>
void DrawInkWords(const DiffusionCall& call, common::MtState* random) {
  uint32_t r = Member::kDrawAtSetUp ? common::RandomGenerate(random) : 0;
  uint32_t cell = 0;
  for (int z = 0; z < halftone_lines::kZoneCount; ++z) {
    const HorizontalZone& zone = call.run_zones[z];
    for (int32_t c = zone.start; c < zone.end; c += 2, ++cell) {
      const bool detailed = ((call.flat_cells[cell >> 5] >> (cell & 31)) & 1) != 0;
      if (!detailed && (call.cell_plane[cell] & 0xFF) == 0) continue;
      for (int pass = 0; pass < 2; ++pass) {
        r >>= 4;
        if (r == 0) r = common::RandomGenerate(random);
      }
    }
  }
}

inline constexpr int kMaxInksTogether = 3;

// Walks `count` inks (1 to kMaxInksTogether) of one row pair, in order, with the output, error
// rows and generator the one-ink walk gives ink after ink.
template <class Member>
void WalkInks(const DiffusionCall* calls, int count) {
  common::MtState& random = calls[0].state->random;
  common::MtState streams[kMaxInksTogether];
  common::MtState* pointers[kMaxInksTogether];
  for (int i = 0; i < count; ++i) {
    CopyStream(random, &streams[i]);
    pointers[i] = &streams[i];
    DrawInkWords<Member>(calls[i], &random);
  }
  switch (count) {
    case 1: WalkCells<Member, 1>(calls, pointers); break;
    case 2: WalkCells<Member, 2>(calls, pointers); break;
    default: WalkCells<Member, 3>(calls, pointers); break;
  }
}

}  // namespace tonvar::multi_level::diffusion
