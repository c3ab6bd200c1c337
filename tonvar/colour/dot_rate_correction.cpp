// Dot-rate correction: initialisation, the step machine, the rate header block and the rate
// table.
#include "tonvar/colour/dot_rate_correction.h"

#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/common/byte_readers.h"
#include "tonvar/common/resource_view.h"

namespace tonvar::colour {
namespace {

enum DotRateStep : uint32_t { kStepRateHeader = 1, kStepDotCurves = 3, kStepRateCurves = 4,
                              kStepDone = 5 };

enum RateRecord : uint8_t { kRecordShape = 0, kRecordOrder = 1, kRecordAxes = 2,
                            kRecordInkSlots = 3, kRecordMicro = 4, kRecordEnd = 255 };

constexpr uint32_t kRecordHead = 3;   // 16-bit length and the type byte
constexpr uint32_t kMaxSlotName = 14;

// Length of a NUL-terminated name within `limit` bytes, or -1 when it is not terminated.
int32_t NameLength(const uint8_t* p, uint32_t limit) {
  for (uint32_t i = 0; i < limit; ++i) {
    if (p[i] == 0) return static_cast<int32_t>(i);
  }
  return -1;
}

bool NameEquals(const uint8_t* name, int32_t length, const char* expected) {
  return std::strlen(expected) == static_cast<size_t>(length) &&
         std::memcmp(name, expected, static_cast<size_t>(length)) == 0;
}

void ClearCurves(DotRateCorrection* state) {
  if (state->curves_valid != nullptr) *state->curves_valid = 0;
}

}  // namespace

uint32_t InitDotRateCorrection(DotRateCorrection* state, ResourceId* next_id,
                               CmColorEngine* engine, const RasterJob* job, const uint8_t* rates) {
  state->step = kStepRateHeader;
  *next_id = kRateHeaderId;
  state->correction_offset = engine->correction_offset;
  state->smb_id = engine->dot_curve_id;
  state->curves = engine->lut->ink_curves;
  state->curves_valid = &engine->lut->ink_curves_valid;
  std::memcpy(state->micro_name, engine->micro_name, sizeof state->micro_name);
  std::memcpy(state->ink_set_name, engine->ink_set_name, sizeof state->ink_set_name);
  state->micro_name[15] = state->ink_set_name[15] = 0;
  if (state->micro_name[0] == 0) return 2;
  state->ink_set = job->ink_set;
  state->bits_per_dot = job->bits_per_dot;
  const uint32_t count = uint32_t{rates[1]} - 1;
  if (rates[1] == 0 || count < 1 || count > kRateMaxCount) return 1;
  state->rate_count = count;
  std::memcpy(state->rates, rates + 3, count);
  return 0;
}

bool AllRatesZero(const DotRateCorrection* state) {
  for (uint32_t i = 0; i < state->rate_count; ++i) {
    if (state->rates[i] != 0) return false;
  }
  return true;
}

int32_t ReadInkSlotRecord(DotRateCorrection* state, uint32_t length, const uint8_t* payload) {
  if (length < 1) return 1;
  if (payload[0] != state->ink_set) return -1;
  const int32_t name_length = NameLength(payload + 1, length - 1);
  if (name_length < 0 || name_length > static_cast<int32_t>(kMaxSlotName)) return 1;
  if (name_length != 0 && !NameEquals(payload + 1, name_length, state->ink_set_name)) return -1;
  uint32_t at = 1 + static_cast<uint32_t>(name_length) + 1;
  if (at + 2 > length) return 1;
  const uint32_t n = payload[at];
  const uint32_t m = payload[at + 1];
  at += 2;
  if (n > kRateMaxInks || n > state->group_size) return 1;
  if (m != 1 && m != 2) return 1;
  if (at + n * (1 + m) > length) return 1;
  for (uint32_t& id : state->ink_ids) id = 255;
  for (uint32_t i = 0; i < n; ++i) {
    state->ink_ids[i] = payload[at++];
    for (uint32_t j = 0; j < m; ++j) {
      // A slot indexes the rates of one group: it must lie inside the group.
      const uint8_t slot = payload[at++];
      if (slot >= kRateMaxGroup || slot >= state->group_size) return 1;
      state->slots[i][j] = slot;
    }
  }
  state->ink_count = n;
  state->slots_per_ink = m;
  return 0;
}

int32_t ReadRateHeaderBlock(DotRateCorrection* state, common::ResourceBytes data) {
  const common::ResourceView r(data);
  if (!r.Matches(0, "HL<c", 4) || !r.Has(0, 12)) return 1;
  if (r.U16(8) != 1) return 4;
  const uint32_t records = r.U16(10);
  uint64_t at = 12;
  for (uint32_t k = 0; k < records; ++k) {
    if (!r.Has(at, kRecordHead)) return 2;
    const uint32_t length = r.U16(at);
    const uint8_t type = r.U8(at + 2);
    if (length < kRecordHead || !r.Has(at, length)) return 2;
    const uint8_t* payload = r.At(at + kRecordHead);
    const uint32_t payload_length = length - kRecordHead;
    switch (type) {
      case kRecordShape:
        if (length != 7 || payload[0] != 1) return 2;
        state->group_size = payload[1];
        state->set_count = payload[2];
        state->column_count = payload[3];
        break;
      case kRecordOrder:
        if (length != 6 || payload[0] != 2 || payload[1] != 0 || payload[2] != 1) return 2;
        break;
      case kRecordAxes:
        if (length != 6 || payload[0] != 0 || payload[1] != 1 || payload[2] != 2) return 2;
        break;
      case kRecordInkSlots:
        if (ReadInkSlotRecord(state, payload_length, payload) == 1) return 2;
        break;
      case kRecordMicro: {
        if (payload_length < 2) return 2;
        const uint32_t count = common::ReadWord(payload);
        if (count < 1) return 2;
        uint32_t p = 2;
        bool found = false;
        for (uint32_t e = 0; e < count && !found; ++e) {
          const int32_t name_length = NameLength(payload + p, payload_length - p);
          if (name_length < 0 || p + static_cast<uint32_t>(name_length) + 2 > payload_length) return 2;
          const uint8_t value = payload[p + name_length + 1];
          if (NameEquals(payload + p, name_length, state->micro_name)) {
            if (value == 0xFF) return -1;
            state->selected_set = value & 0x0F;
            state->selected_column = value >> 4;
            if (state->selected_set > 6) return 2;
            found = true;
          }
          p += static_cast<uint32_t>(name_length) + 2;
        }
        if (!found) return 2;
        break;
      }
      case kRecordEnd:
        if (k + 1 != records) return 3;
        break;
      default:
        return 2;
    }
    at += length;
  }
  if (state->group_size < 1 || state->group_size > kRateMaxGroup) return 2;
  if (state->set_count < 1 || state->set_count > kRateMaxSets) return 2;
  if (state->column_count < 1 || state->column_count > kRateMaxColumns) return 2;
  if (state->selected_set >= state->set_count) return 2;
  // The ink slots were checked against the group size of their time; a later shape record may
  // have made the group smaller.
  if (state->ink_count > state->group_size) return 2;
  for (uint32_t i = 0; i < state->ink_count; ++i) {
    for (uint32_t j = 0; j < state->slots_per_ink; ++j) {
      if (state->slots[i][j] >= state->group_size) return 2;
    }
  }
  return 0;
}

uint32_t BuildRateTable(DotRateCorrection* state) {
  const uint32_t a = state->group_size, b = state->set_count, c = state->column_count;
  if (state->rate_count != a * b * c) return 1;
  const uint32_t m = state->slots_per_ink;
  for (uint32_t col = 0; col < c; ++col) {
    for (uint32_t set = 0; set < b; ++set) {
      for (uint32_t i = 0; i < state->ink_count; ++i) {
        uint32_t sum = 0;
        for (uint32_t j = 0; j < m; ++j) sum += state->rates[(col * b + set) * a + state->slots[i][j]];
        state->rate_table[set][i][col] = static_cast<int32_t>((sum + m / 2) / m);
      }
    }
  }
  if (state->bits_per_dot == 1) {
    const uint32_t t = state->selected_column;
    if (t >= c) return 1;
    for (uint32_t set = 0; set < b; ++set) {
      for (uint32_t i = 0; i < state->ink_count; ++i) {
        for (uint32_t col = 0; col < c; ++col) state->rate_table[set][i][col] = state->rate_table[set][i][t];
      }
    }
  }
  return 0;
}

uint32_t StepDotRateCorrection(DotRateCorrection* state, ResourceId* next_id, common::ResourceBytes data) {
  *next_id = kNoMoreResources;
  switch (state->step) {
    case kStepRateHeader: {
      const int32_t read = ReadRateHeaderBlock(state, data);
      if (read == -1 || (read == 0 && state->slots_per_ink == 0)) {
        // No correction for this printer or ink set: not a failure.
        ClearCurves(state);
        state->step = kStepDone;
        return 0;
      }
      if (read != 0) return static_cast<uint32_t>(read);
      if (BuildRateTable(state) != 0) return 1;
      // The two blocks still to come must be named by the row (-1 would read as the end).
      if (state->smb_id == -1 || state->correction_offset == -1) return 1;
      state->step = kStepDotCurves;
      *next_id = static_cast<ResourceId>(state->smb_id);
      return 0;
    }
    case kStepDotCurves: {
      const EngineStatus status = ReadDotTableBlock(&state->dot_tables, data);
      if (status != kStatusOk) return status;
      if (!HalveDotTableLevels(&state->dot_tables, 256)) return 1;
      state->step = kStepRateCurves;
      *next_id = static_cast<ResourceId>(state->correction_offset);
      return 0;
    }
    case kStepRateCurves: {
      uint32_t status = ReadRateCurveBlock(&state->rate_curves, data);
      if (status == 0) status = BuildDotRateCurves(state);
      if (status == 0) status = AddSubstituteInkCurve(state);
      if (status != 0) return status;
      state->step = kStepDone;
      return 0;
    }
    default:
      return 1;
  }
}

}  // namespace tonvar::colour
