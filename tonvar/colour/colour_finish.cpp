// Finishing of a read colour table, in its fixed order: ink balance and rebuild, density
// rescaling, the neutral grey table, the job's pixel layout, the correction hand-over and the
// ink-scale and channel-clearing options.
#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/colour/correction_engine.h"
#include "tonvar/colour/ink_scale.h"
#include "tonvar/common/resource_view.h"

namespace tonvar::colour {
namespace {

uint64_t BodyEntries(const LutDescriptor* lut) {
  return uint64_t{lut->grid_points[0]} * lut->grid_points[1] * lut->grid_points[2] *
         lut->grid_points[3];
}

PixelLayout LayoutForOrder(uint32_t order) {
  switch (order) {
    case 1: return {3, {0, 1, 2}};
    case 2: return {3, {2, 1, 0}};
    case 7: return {4, {0, 1, 2}};
    default: return {4, {1, 2, 3}};
  }
}

// Option 560 fills the curve set at once (a table it cannot read leaves the set invalid);
// otherwise the correction sub-engine is attached and may ask for resources of its own.
EngineStatus AttachCorrection(CmColorEngine* engine, ResourceId* next_id) {
  *next_id = kNoMoreResources;
  LutDescriptor* lut = engine->lut;
  lut->ink_curves_valid = 0;
  const auto* table = static_cast<const uint8_t*>(FindParamOption(&engine->params, kOptionCurveTable));
  if (table != nullptr) {
    lut->ink_curves_valid = ReadMemoryCurveTable(lut->ink_curves, table) == 0 ? 1 : 0;
    return kStatusOk;
  }
  const EngineStatus status =
      CreateCorrectionEngine(engine, &engine->params, &engine->job, next_id, &engine->correction);
  if (status != kStatusOk) {
    *next_id = kNoMoreResources;
    return status;
  }
  engine->correcting = *next_id != kNoMoreResources;
  return kStatusOk;
}

// The closing steps: the ink scale, then the clearing of ink 10's channel.
EngineStatus ApplyClosingOptions(CmColorEngine* engine) {
  const EngineStatus status = ApplyInkScaleOption(engine);
  if (status != kStatusOk) return status;
  return ApplyClearOption(engine);
}

}  // namespace

EngineStatus ScaleTableDensity(CmColorEngine* engine) {
  LutDescriptor* lut = engine->lut;
  int32_t s[256];
  for (int32_t v = 0; v < 256; ++v) s[v] = DensityDivisor(v, lut->density_b, lut->density_a);
  const uint64_t size = BodyEntries(lut) * lut->channel_count;
  for (uint64_t i = 0; i < size; ++i) {
    if (s[lut->body[i]] == 0) return kStatusBadResource;
  }
  uint8_t map[256];
  for (int32_t v = 0; v < 256; ++v) {
    map[v] = s[v] == 0 ? static_cast<uint8_t>(v) : static_cast<uint8_t>((s[v] / 2 + 255 * v) / s[v]);
  }
  for (uint64_t i = 0; i < size; ++i) lut->body[i] = map[lut->body[i]];
  return kStatusOk;
}

EngineStatus BuildNeutralGreyTable(CmColorEngine* engine) {
  LutDescriptor* lut = engine->lut;
  const uint32_t ch = lut->channel_count;
  const int32_t black = engine->black_channel;
  if (engine->format == kFormatFourInputs) {
    uint8_t out[kLutMaxChannels];
    for (uint32_t i = 0; i < 256; ++i) {
      InterpolateColor4(lut, 0, 0, 0, i, out);
      lut->grey_table[255 - i] = black >= 0 ? out[black] : 0;
    }
  } else {
    uint8_t pixels[256 * 4];
    uint8_t out[256 * kLutMaxChannels];
    for (uint32_t i = 0; i < 256; ++i) {
      pixels[4 * i] = 0;
      pixels[4 * i + 1] = pixels[4 * i + 2] = pixels[4 * i + 3] = static_cast<uint8_t>(i);
    }
    InterpolateColor3(engine, 256, pixels, out);
    for (uint32_t i = 0; i < 256; ++i) lut->grey_table[i] = black >= 0 ? out[i * ch + black] : 0;
    // Greys of a three-input table below white keep some black; class 0 never reaches full
    // black below level 255. A four-input table's black line is taken as it stands.
    for (uint32_t i = 0; i < 255; ++i) {
      if (lut->table_class != 0 && lut->grey_table[i] == 0) lut->grey_table[i] = 1;
      if (lut->table_class == 0 && lut->grey_table[i] == 255) lut->grey_table[i] = 254;
    }
  }
  return kStatusOk;
}

EngineStatus ApplyInkScaleOption(CmColorEngine* engine) {
  LutDescriptor* lut = engine->lut;
  const void* option = FindParamOption(&engine->params, kOptionInkScale);
  if (option == nullptr) return kStatusOk;
  int32_t scale;
  std::memcpy(&scale, option, sizeof scale);
  if (scale == kInkScaleOne) return kStatusOk;
  if (lut->table_class == 0) return kStatusBadResource;
  int32_t flag = lut->ink_scale_flag;
  if (flag == -1) flag = lut->table_class == 1 ? 1 : 0;
  uint16_t* tone = nullptr;
  uint64_t tone_count = 0;
  uint32_t tone_mode = 0;
  if (lut->tone_table != nullptr && lut->tone_table->values != nullptr) {
    tone = lut->tone_table->values;
    tone_count = uint64_t{lut->tone_table->point_count} * lut->tone_table->channel_count;
    tone_mode = lut->tone_table->tone_mode;
  }
  return ApplyInkScale(lut->body, BodyEntries(lut) * lut->channel_count, flag, lut->grey_table,
                       256, tone, tone_count, tone_mode, scale, lut->density_a, lut->density_b);
}

EngineStatus ApplyClearOption(CmColorEngine* engine) {
  LutDescriptor* lut = engine->lut;
  const void* option = FindParamOption(&engine->params, kOptionClearInk10);
  if (option == nullptr || *static_cast<const uint8_t*>(option) != 1) return kStatusOk;
  int32_t channel = -1;
  for (uint32_t k = 0; k < kLutMaxChannels; ++k) {
    if (lut->ink_ids[k] == 10) {
      channel = static_cast<int32_t>(k);
      break;
    }
  }
  if (channel < 0 || static_cast<uint32_t>(channel) >= lut->channel_count) return kStatusOk;
  const uint64_t entries = BodyEntries(lut);
  for (uint64_t e = 0; e < entries; ++e) lut->body[e * lut->channel_count + channel] = 0;
  ToneTable* tone = lut->tone_table;
  if (tone != nullptr && tone->values != nullptr && static_cast<uint32_t>(channel) < tone->channel_count) {
    for (uint32_t p = 0; p < tone->point_count; ++p) tone->values[p * tone->channel_count + channel] = 0;
  }
  return kStatusOk;
}

EngineStatus FinishColorTable(CmColorEngine* engine, ResourceId* next_id) {
  *next_id = kNoMoreResources;
  engine->layout = {4, {1, 2, 3}};
  EngineStatus status = kStatusOk;
  if (engine->format != kFormatFourInputs) {
    if (engine->params.document_type == 2) {
      status = BalanceInksOnGrid(engine);
      if (status != kStatusOk) return status;
    }
    status = RebuildColorTable(engine);
    if (status != kStatusOk) return status;
  }
  // The steps below write the body in place.
  status = OwnLutBody(engine);
  if (status != kStatusOk) return status;
  if (engine->first_halftone_id >= 300 && engine->first_halftone_id <= 399 &&
      engine->job.sub_mode < 2 && engine->job.method == 3) {
    status = ScaleTableDensity(engine);
    if (status != kStatusOk) return status;
  }
  BuildNeutralGreyTable(engine);
  engine->layout = LayoutForOrder(engine->job.channel_order);
  status = AttachCorrection(engine, next_id);
  if (status != kStatusOk || engine->correcting) return status;
  return ApplyClosingOptions(engine);
}

EngineStatus StepCorrection(CmColorEngine* engine, common::ResourceBytes resource, ResourceId* next_id) {
  ++engine->step;
  *next_id = kNoMoreResources;
  // Past the end of the protocol, or after a correction that asked for nothing.
  if (!engine->correcting || engine->correction == nullptr) return kStatusBadArgument;
  EngineStatus status = StepCorrectionEngine(engine->correction, resource, next_id);
  if (status != kStatusOk) {
    engine->correction = nullptr;  // a failed step released it
    engine->correcting = false;
    return status;
  }
  if (*next_id != kNoMoreResources) return kStatusOk;
  engine->correcting = false;
  status = DeleteCorrectionEngine(engine->correction);
  engine->correction = nullptr;
  if (status != kStatusOk) return status;
  return ApplyClosingOptions(engine);
}

}  // namespace tonvar::colour
