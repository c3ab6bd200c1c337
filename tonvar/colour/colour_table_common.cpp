// What both colour-table forms share once their header is read: the body and grey-axis
// blocks, the black axis of the neutral greys and the tone-table release.
#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

// Forward density table of the four-input black line and its inverse; false when a divisor
// of the inverse is 0 (the table cannot be used).
bool BuildBlackInverse(int32_t b, int32_t a, uint8_t* t2) {
  uint8_t t1[256];
  for (uint64_t i = 0; i < 256; ++i) {
    const uint64_t d = (255 - i) * (255 - i) * static_cast<uint64_t>(static_cast<int64_t>(b) - a);
    t1[i] = static_cast<uint8_t>(((d + 1) / 255 + 255 * static_cast<uint64_t>(static_cast<int64_t>(a))) / 100);
  }
  for (int x = 1; x < 256; ++x) {
    if (t1[x] == 0) return false;
  }
  auto f = [&](int x) { return x == 0 ? 0.0 : 255.0 * x / t1[x]; };
  t2[0] = 0;
  int x = 0;
  for (int u = 1; u < 256; ++u) {
    while (f(x) < u && x < 255) ++x;
    if (x == 255) {
      t2[u] = 255;
    } else {
      const double fx = f(x), fx1 = f(x - 1);
      t2[u] = static_cast<uint8_t>(static_cast<int64_t>(((fx - u) * (x - 1) + (u - fx1) * x) / (fx - fx1)));
    }
  }
  return true;
}

}  // namespace

uint32_t NeutralAxisFlag(const CmColorEngine* engine) {
  if (engine->params.mode_modifier == 1) return 1;
  if (engine->job.channel_order == 0) return 0;
  return engine->params.neutral_axis == 50 ? 0 : 1;
}

int32_t DensityDivisor(int32_t v, int32_t b, int32_t a) {
  const int32_t d = 255 - v;
  const int64_t s = ((static_cast<int64_t>(d) * d * (static_cast<int64_t>(b) - a) + 1) / 255 +
                     int64_t{255} * a) / 100;
  return static_cast<int32_t>(s);
}

EngineStatus UseResourceBody(CmColorEngine* engine, const uint8_t* body) {
  LutDescriptor* lut = engine->lut;
  const EngineStatus status = common::ReleaseBlock(&lut->body_handle);
  // Nothing writes through this pointer: writers take a copy first (OwnLutBody).
  lut->body = const_cast<uint8_t*>(body);
  return status;
}

EngineStatus OwnLutBody(CmColorEngine* engine) {
  LutDescriptor* lut = engine->lut;
  if (lut->body == nullptr || lut->body_handle != nullptr) return kStatusOk;
  const uint8_t* source = lut->body;
  lut->body = nullptr;
  const uint64_t size = uint64_t{lut->grid_points[0]} * lut->grid_points[1] * lut->grid_points[2] *
                        lut->grid_points[3] * lut->channel_count;
  const EngineStatus status = common::ReplaceBlock(&lut->body_handle, size, false, &lut->body);
  if (status != kStatusOk) return status;
  std::memcpy(lut->body, source, size);
  return kStatusOk;
}

EngineStatus AllocGreyAxis(CmColorEngine* engine, uint64_t size) {
  engine->grey_axis_loaded = false;
  return common::ReplaceBlock(&engine->grey_axis_handle, size, true, &engine->grey_axis);
}

EngineStatus ReleaseToneTable(LutDescriptor* lut) {
  if (lut->tone_table == nullptr) return kStatusOk;
  EngineStatus status = common::ReleaseBlock(&lut->tone_table->values_handle);
  lut->tone_table->values = nullptr;
  EngineStatus record = common::ReleaseBlock(&lut->tone_table_handle);
  lut->tone_table = nullptr;
  return status != kStatusOk ? status : record;
}

EngineStatus ApplyBlackAxis(CmColorEngine* engine, const uint8_t* black_values) {
  LutDescriptor* lut = engine->lut;
  const uint32_t cls = lut->table_class;
  if (lut->neutral_axis != 0 || !(cls == 1 || (cls >= 3 && cls <= 10))) return kStatusOk;
  const uint32_t g = lut->grid_points[0];
  const uint32_t ch = lut->channel_count;
  const int32_t b = lut->density_b, a = lut->density_a;

  if (engine->format == kFormatFourInputs) {
    uint8_t t2[256];
    if (!BuildBlackInverse(b, a, t2)) return kStatusBadResource;
    const EngineStatus owned = OwnLutBody(engine);
    if (owned != kStatusOk) return owned;
    for (uint32_t p = 0; p < g; ++p) {
      uint8_t* entry = lut->body + uint64_t{p} * ch;
      std::memset(entry, 0, ch - 1);
      entry[ch - 1] = t2[entry[ch - 1]];
    }
    return kStatusOk;
  }

  if (black_values == nullptr || engine->black_channel < 0) return kStatusOk;
  const EngineStatus owned = OwnLutBody(engine);
  if (owned != kStatusOk) return owned;
  const bool rescale = cls >= 3 && engine->job.ink_set != 0;
  for (uint32_t i = 0; i < g; ++i) {
    uint8_t* entry = lut->body + ((uint64_t{i} * g + i) * g + i) * ch;
    std::memset(entry, 0, ch);
    int32_t v = black_values[i];
    if (rescale) {
      const int32_t s = DensityDivisor(v, b, a);
      if (s == 0) return kStatusBadResource;
      v = (s / 2 + 255 * v) / s;
    }
    entry[engine->black_channel] = static_cast<uint8_t>(v);
  }
  return kStatusOk;
}

}  // namespace tonvar::colour
