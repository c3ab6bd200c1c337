// A colour job whose mode table names the correction resources: the colour-table id 3100 (id base
// 3000), a correction offset, a dot-curve id (SMB-ID), a Micro name and an ink_set name. Tests
// add the correction options and resources to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"

namespace testkit {

inline constexpr uint32_t kCorrectionTableId = 3100;
inline constexpr uint32_t kCorrectionIdBase = 3000;

struct CorrectionJobShape {
  int version = 501;                // below 500: fixed-form table without the named columns
  uint32_t channels = 4;
  int32_t correction_offset = 50;
  int32_t smb_id = 7000;            // the row's dot-curve id
  std::string micro = "MIC";
  std::string ink_set_name = "IS9";
  bool tone_table = false;          // tagged form: an "egry" tone table of two channels
  uint32_t bits_per_dot = 2;        // the job's, and the row's
};

// The colour table of the job (its body before any correction is RampBody of it).
ColourTableShape CorrectionTableShape(const CorrectionJobShape& shape);
ColourJob CorrectionJob(const CorrectionJobShape& shape = {});

}  // namespace testkit
