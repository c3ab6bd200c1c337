// Colour mode table: the text resource (id 0) that names, for each kind of job,
// the resources that make up its colour table; parse and row choice.
#pragma once

#include <cstdint>

#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/status.h"

namespace tonvar::colour {

inline constexpr int kModeTableMaxRows = 300;
inline constexpr int kModeTableMaxLine = 511;
inline constexpr int kModeTableMaxToken = 255;
inline constexpr int kModeTableMaxNames = 21;       // method and mode names
inline constexpr int kModeTableMaxMedia = 256;
inline constexpr int kModeTableMaxNameBytes = 11;   // method and mode list names
inline constexpr int kModeTableMaxMediaBytes = 49;
inline constexpr int kModeTableMaxShortName = 15;   // ink-set, Micro, row method names

// What a job matches rows on; `mode` is the engine's matching mode.
struct ModeTableJob {
  int32_t method;          // RasterJob method, 0 already taken as 3
  int32_t mode;
  int32_t media;           // CmParams media number
  int32_t sub_type;        // CmParams sub-type
  uint32_t h_res;
  uint32_t v_res;
  uint32_t bits_per_dot;
  uint32_t channel_order;  // 0 = monochrome
};

// Values of the chosen row, and the table-wide values the engine keeps.
struct ModeTableChoice {
  int16_t version;
  int32_t default_mono_mode;
  int32_t table_a_offsets[4];   // [0] = 0, then the offsets for option-288 values 1..3
  int32_t row_count;
  bool matched;
  int32_t table_id;
  int32_t first_halftone_id;    // -1 when the row holds 0
  int32_t table_a_id;
  int32_t table_b_id;
  int32_t gamma_matrix_id;
  int32_t correction_offset;
  int32_t dot_curve_id;
  int32_t row_values[5];        // "bSMB-ID", "upper", "lower", "left", "right"
  int32_t second_value;
  char ink_set_name[16];        // NUL-terminated; empty unless the row names one
  char micro_name[16];
};

// Parses the table and chooses the last row that matches `job`. 0 with
// choice->matched false when no row matches; 768 for a malformed text;
// 257/258/259/260 for the row block.
EngineStatus ReadModeTable(common::ResourceBytes text, const ModeTableJob& job, ModeTableChoice* choice);

}  // namespace tonvar::colour
