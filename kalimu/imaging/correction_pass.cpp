// The correction pass: plan, tables, then every row through the per-pixel correction.
#include "kalimu/imaging/correct_row.h"
#include "kalimu/imaging/photo_correct_context.h"

namespace kalimu::imaging {

size_t WorkingRowBytes(int32_t width) { return 3 * size_t(width < 0 ? 0 : width) + 15; }

void UnpackRow(const PixelLayout& pixel, const uint8_t* picture_row, int32_t width, uint8_t* working_row) {
  for (int32_t i = 0; i < width; ++i) {
    const uint8_t* p = picture_row + size_t(i) * pixel.bytes;
    working_row[3 * i] = p[pixel.red];
    working_row[3 * i + 1] = p[pixel.green];
    working_row[3 * i + 2] = p[pixel.blue];
  }
}

void PackRow(const PixelLayout& pixel, const uint8_t* working_row, int32_t width, uint8_t* picture_row) {
  for (int32_t i = 0; i < width; ++i) {
    uint8_t* p = picture_row + size_t(i) * pixel.bytes;
    p[pixel.red] = working_row[3 * i];
    p[pixel.green] = working_row[3 * i + 1];
    p[pixel.blue] = working_row[3 * i + 2];
  }
}

int32_t PrepareCorrection(PhotoCorrectContext* context) {
  PhotoCorrectContext& c = *context;
  const int32_t channel_order = c.row.channel_order;
  const int32_t noise = c.plan.noise;
  c.row.channel_order = 0;
  if (c.settings.Option == 2) c.plan.noise = 0;
  FillCorrectionParameters(&c.row, &c.plan, &c.parameters);
  const PhotoCorrectOverride empty{};
  MergeCorrectionOverride(&c.parameters, &empty);
  // The planner's status is not acted on: the tables are built from the amounts as they stand.
  PlanCorrection(&c.row, &c.parameters, &c.plan, &c.statistics, &c.amounts);
  AdjustNoiseAndSharpness(c.settings, c.plan, &c.amounts);
  const int32_t status = BuildCorrectionTables(&c.row, &c.parameters, &c.amounts, &c.tables);
  c.row.channel_order = channel_order;
  c.plan.noise = noise;
  return status == kInnerTablesNoMemory ? status : kInnerOk;
}

void CopyRowsUnchanged(PhotoCorrectContext* context) {
  PhotoCorrectContext& c = *context;
  const uint8_t* source = c.source_bits;
  uint8_t* destination = c.destination_bits;
  for (int32_t y = 0; y < c.source.Height; ++y) {
    UnpackRow(c.pixel, source, c.source.Width, c.input_row);
    PackRow(c.pixel, c.input_row, c.source.Width, destination);
    source += c.source.Stride;
    destination += c.destination.Stride;
  }
}

int32_t RunCorrectionPass(PhotoCorrectContext* context) {
  PhotoCorrectContext& c = *context;
  // Without tables there is nothing to correct with: the rows go across unchanged.
  if (PrepareCorrection(context) != kInnerOk) {
    CopyRowsUnchanged(context);
    return kImageNoMemory;
  }
  const uint8_t* source = c.source_bits;
  uint8_t* destination = c.destination_bits;
  for (int32_t y = 0; y < c.source.Height; ++y) {
    UnpackRow(c.pixel, source, c.source.Width, c.input_row);
    CorrectRow(c.row, c.parameters, &c.tables, c.input_row, c.output_row);
    PackRow(c.pixel, c.output_row, c.source.Width, destination);
    source += c.source.Stride;
    destination += c.destination.Stride;
  }
  FreeCorrectionTables(&c.tables);
  return kImageOk;
}

}  // namespace kalimu::imaging
