// The colour job of the correction tests.
#include "testkit/tonvar/correction_job.h"

namespace testkit {

ColourTableSpec CorrectionTableSpec(const CorrectionJobSpec& spec) {
  ColourTableSpec table;
  table.grid = 5;
  table.channels = spec.channels;
  table.with_tone = spec.tone_table;
  return table;
}

ColourJob CorrectionJob(const CorrectionJobSpec& spec) {
  ColourJob job;
  ModeTableSpec desc;
  desc.version = spec.version;
  ModeRowSpec row;
  row.table_id = static_cast<int32_t>(kCorrectionTableId);
  row.bits_per_dot = static_cast<int32_t>(spec.bits_per_dot);
  job.job.bits_per_dot = spec.bits_per_dot;
  if (spec.version >= 500) {
    desc.ink_set_column = spec.version >= 501;
    desc.micro_column = true;
    row.correction_offset = spec.correction_offset;
    row.colour_dot_curve_id = spec.smb_id;
    row.micro = spec.micro;
    row.ink_set = spec.ink_set_name;
  }
  desc.rows = {row};
  job.resources[0] = TextBytes(BuildModeTable(desc));
  const ColourTableSpec table = CorrectionTableSpec(spec);
  job.resources[kCorrectionTableId] =
      spec.version >= 500 ? BuildTaggedColourTable(table) : BuildFixedColourTable(table);
  return job;
}

}  // namespace testkit
