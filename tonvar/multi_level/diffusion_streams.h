// The diffusion inks of one row pair walked side by side. One ink after another, every ink draws
// its random words from the engine's generator where the ink before it stopped; an ink draws a
// word at set-up (kernels that do) and then, for each pass of a cell that is not idle, whenever
// its word has run out of 4-bit steps. How many words an ink takes therefore depends only on its
// idle cells and on the words themselves, so a dry run over the cells draws each ink's words
// ahead, in order, into a buffer of the ink's; an ink that needs more than its buffer holds goes
// on with a copy of the generator taken where the buffer filled. The engine's generator ends
// where the last ink's would.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "tonvar/multi_level/diffusion_walk.h"

namespace tonvar::multi_level::diffusion {

// A copy of a generator that draws the same words, independently of the original.
inline void CopyStream(const common::MtState& from, common::MtState* to) {
  *to = from;
  if (from.next != nullptr) to->next = to->words + (from.next - from.words);
}

inline constexpr int kMaxInksTogether = 3;
inline constexpr uint32_t kWordsAhead = 1024;  // per ink: a line of some 3,000 busy cells

// One ink's words drawn ahead, and the generator it goes on with past them.
struct WordsAhead {
  uint32_t words[kWordsAhead];
  common::MtState rest;
};

// Draws from `random` the words one ink's walk would draw, and nothing else, into `ahead`; the
// ink's stream.
template <class Member>
InkStream DrawInkWords(const DiffusionCall& call, common::MtState* random, WordsAhead* ahead) {
  uint32_t drawn = 0;
  const auto draw = [&] {
    if (drawn == kWordsAhead) CopyStream(*random, &ahead->rest);
    const uint32_t word = common::RandomGenerate(random);
    if (drawn < kWordsAhead) ahead->words[drawn] = word;
    ++drawn;
    return word;
  };
  uint32_t r = Member::kDrawAtSetUp ? draw() : 0;
  uint32_t cell = 0;
  for (int z = 0; z < halftone_lines::kZoneCount; ++z) {
    const HorizontalZone& zone = call.run_zones[z];
    for (int32_t c = zone.start; c < zone.end; c += 2, ++cell) {
      const bool detailed = ((call.flat_cells[cell >> 5] >> (cell & 31)) & 1) != 0;
      if (!detailed && (call.cell_plane[cell] & 0xFF) == 0) continue;
      for (int pass = 0; pass < 2; ++pass) {
        r >>= 4;
        if (r == 0) r = draw();
      }
    }
  }
  return {ahead->words, std::min(drawn, kWordsAhead), 0, &ahead->rest};
}

// Walks `count` inks (1 to kMaxInksTogether) of one row pair, in order, with the output, error
// rows and generator the one-ink walk gives ink after ink.
template <class Member>
void WalkInks(const DiffusionCall* calls, int count) {
  common::MtState& random = calls[0].state->random;
  WordsAhead ahead[kMaxInksTogether];
  InkStream streams[kMaxInksTogether];
  for (int i = 0; i < count; ++i) streams[i] = DrawInkWords<Member>(calls[i], &random, &ahead[i]);
  switch (count) {
    case 1: WalkCells<Member, 1>(calls, streams); break;
    case 2: WalkCells<Member, 2>(calls, streams); break;
    default: WalkCells<Member, 3>(calls, streams); break;
  }
}

}  // namespace tonvar::multi_level::diffusion
