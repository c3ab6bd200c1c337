// The colour job of the correction tests.
#include "testkit/tonvar/correction_job.h"

namespace testkit {

ColourTableShape CorrectionTableShape(const CorrectionJobShape& shape) {
  ColourTableShape table;
  table.grid = 5;
  table.channels = shape.channels;
  table.with_tone = shape.tone_table;
  return table;
}

ColourJob CorrectionJob(const CorrectionJobShape& shape) {
  ColourJob job;
  ModeTableShape desc;
  desc.version = shape.version;
  ModeRowShape row;
  row.table_id = static_cast<int32_t>(kCorrectionTableId);
  row.bits_per_dot = static_cast<int32_t>(shape.bits_per_dot);
  job.job.bits_per_dot = shape.bits_per_dot;
  if (shape.version >= 500) {
    desc.ink_set_column = shape.version >= 501;
    desc.micro_column = true;
    row.correction_offset = shape.correction_offset;
    row.colour_dot_curve_id = shape.smb_id;
    row.micro = shape.micro;
    row.ink_set = shape.ink_set_name;
  }
  desc.rows = {row};
  job.resources[0] = TextBytes(BuildModeTable(desc));
  const ColourTableShape table = CorrectionTableShape(shape);
  job.resources[kCorrectionTableId] =
      shape.version >= 500 ? BuildTaggedColourTable(table) : BuildFixedColourTable(table);
  return job;
}

}  // namespace testkit
