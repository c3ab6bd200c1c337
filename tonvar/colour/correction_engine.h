// Correction engine: the colour engine's sub-engine that corrects every ink's output levels
// for the printer at hand once the colour table is finished. Kind 1 ranks the inks against
// reference values and remaps the colour table in place; kind 2 builds per-ink curves from
// measured dot rates into the descriptor's InkCurveSet. Option 560 fills that set directly.
#pragma once

#include <cstdint>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/dot_rate_correction.h"

namespace tonvar::colour {

struct RankCorrection;

enum CorrectionKind : uint32_t { kCorrectionNone = 0, kCorrectionRank = 1, kCorrectionDotRate = 2 };

// First resource ids of the two kinds.
inline constexpr ResourceId kInkMapId = 980;
inline constexpr ResourceId kReferenceBlockId = 990;

struct CorrectionEngine {
  common::MemHandle self;
  uint32_t kind;                 // CorrectionKind
  RankCorrection* rank;          // kind 1
  DotRateCorrection dot_rate;    // kind 2
};

// Option 512: up to four "CW:" lists of one code and one length.
inline constexpr uint32_t kCwMaxValues = 20;
inline constexpr uint32_t kCwMaxLists = 4;

struct CwLists {
  uint32_t code;
  uint32_t values_per_list;      // n, 1..20
  uint32_t list_count;           // 1..4
  uint8_t values[kCwMaxLists][kCwMaxValues];
};

// False when the lists are missing or malformed (the correction is then skipped).
bool ParseCwLists(const uint8_t* option, CwLists* lists);

// Option 560 into the curve set: 0 accepted; 1 (size, format) or 2 (levels, count, maximum).
uint32_t ReadMemoryCurveTable(InkCurveSet* set, const uint8_t* table);

EngineStatus CreateCorrectionEngine(CmColorEngine* engine, const CmParams* params,
                                    const RasterJob* job, ResourceId* next_id,
                                    CorrectionEngine** out);
// One correction resource; a failed step releases the engine before it returns.
EngineStatus StepCorrectionEngine(CorrectionEngine* ce, common::ResourceBytes data, ResourceId* next_id);
EngineStatus DeleteCorrectionEngine(CorrectionEngine* ce);

}  // namespace tonvar::colour
