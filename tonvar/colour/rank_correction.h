// Rank correction (correction kind 1): the printer reports per-ink values in option 512's
// "CW:" lists; each is compared with a reference value, and the difference picks, per ink, one
// row ("rank") of a table of 256-byte curves that then remaps the ink's output bytes in the
// colour table and its column of the tone table. Resources: the ink map (980), the reference
// block (990, binary or "ic_data" markup), for some modes a header table or a dot-curve block,
// and the rank curve table.
#pragma once

#include <cstdint>

#include "tonvar/colour/correction_engine.h"

namespace tonvar::colour {

inline constexpr uint32_t kRankMaxInks = 20;
inline constexpr uint32_t kRankMaxSets = 4;
inline constexpr uint32_t kRankLevels = 256;

enum RankMode : int32_t { kRankModeNone = 0, kRankSingle = 1, kRankDual = 2, kRankMode3 = 3,
                          kRankSmbRate = 4 };

enum RankStep : uint32_t { kRankIdle = 0, kRankInkMap = 1, kRankReference = 2,
                           kRankHeaderTable = 3, kRankDotCurves = 4, kRankCurves = 10 };

// A list of up to 20 values per ink, in up to four sets.
struct RankValueSets {
  uint32_t count;
  uint32_t set_count;
  uint8_t values[kRankMaxSets][kRankMaxInks];
};

struct RankCorrection {
  common::MemHandle self;
  uint32_t step;                 // RankStep
  CmColorEngine* engine;
  LutDescriptor* lut;
  CwLists lists;
  uint8_t map[kRankMaxInks];     // colour-table channel that value position i corrects
  RankValueSets value_sets;
  RankValueSets id_rows;         // count: values per id row; set_count unused
  int32_t id_row_limit;
  RankValueSets references;
  uint8_t measured[kRankMaxInks][kRankLevels];
  int32_t mode;                  // RankMode
  bool color_cnv;
  uint8_t pairs[kRankMaxInks][2];
  int32_t smbrate_weights[3];
  uint8_t* remap;                // one 256-byte curve per channel, n channels
  common::MemHandle remap_handle;
  int32_t id_step;
  int32_t nc_range;
  int32_t lowest;
  int32_t upper;
  int32_t lower;
};

EngineStatus NewRankCorrection(CmColorEngine* engine, const CmParams* params, const RasterJob* job,
                               ResourceId* next_id, RankCorrection** out);
EngineStatus StepRankCorrection(RankCorrection* state, common::ResourceBytes data, ResourceId* next_id);
EngineStatus DeleteRankCorrection(RankCorrection* state);

EngineStatus ReadInkMap(RankCorrection* state, common::ResourceBytes data);
EngineStatus ReadRankBlockStart(RankCorrection* state, common::ResourceBytes data);
void ReadBinaryReferences(RankCorrection* state, common::ResourceBytes data);
EngineStatus ReadRankHeaderTable(ResourceId* next_id, const CmColorEngine* engine, common::ResourceBytes data);

// "ic_data" markup (from `start`): 1 read completely, 0 failed.
int32_t ReadIcDataBlock(RankCorrection* state, common::ResourceBytes data, uint64_t start = 4);
void ShiftToMean50(uint8_t* dst, const uint8_t* src, uint32_t count);
void ScaleAboutMean50(uint8_t* dst, const uint8_t* src, uint32_t count);
// 1, or 0 when a pair names a channel the correction does not have.
int32_t ApplyChannelPairs(RankCorrection* state);

// The last resources.
EngineStatus ReadMeasuredValues(RankCorrection* state, common::ResourceBytes data);
// 0, or 768 when a chosen rank lies past the end of the curve table.
EngineStatus ApplyRankCorrection(LutDescriptor* lut, common::ResourceBytes table, RankCorrection* state,
                                 int32_t mode);
void RemapToneTable(ToneTable* tone, const uint8_t* remap, uint32_t count);

}  // namespace tonvar::colour
