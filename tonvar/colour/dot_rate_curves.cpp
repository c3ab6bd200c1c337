// The dot-rate correction's last resource, the rate curve block, and the per-ink curves built
// from it: each dot column's amount is scaled by the factor its rate selects, and the scaled
// amount is found again on the unscaled amount curve.
#include <cmath>
#include <cstring>

#include "tonvar/colour/dot_rate_correction.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

constexpr uint8_t kRateCurveMagic[8] = {0xA9, 0x81, 0x55, 0x27, 0x40, 0xAA, 0x35, 0x4A};
constexpr uint32_t kFormTable = 0;
constexpr uint32_t kFormSegment = 1;
constexpr uint32_t kLevels = 256;
constexpr uint32_t kSubstituteA = 12;   // inks whose curve also serves ink 0
constexpr uint32_t kSubstituteB = 13;

constexpr double kMinFactor = 0.5;
constexpr double kMaxFactor = 1.49609375;

// Factor of one column of a curve for a rate; -1 when none can be given.
double Factor(const RateCurveBlock& block, const RateCurve& curve, uint32_t column, int32_t rate) {
  if (block.form == kFormTable) {
    if (rate > 255) return -1;
    return curve.samples[column][rate] / 256.0 + 0.5;
  }
  if (block.form == kFormSegment) {
    const double x0 = curve.segment[column][0], x1 = curve.segment[column][2];
    const double y0 = curve.segment[column][1] / 256.0 + 0.5;
    const double y1 = curve.segment[column][3] / 256.0 + 0.5;
    double f = (y1 - y0) * (rate - x0) / (x1 - x0) + y0;
    if (f < kMinFactor) f = kMinFactor;
    if (f > kMaxFactor) f = kMaxFactor;
    return f;
  }
  return -1;
}

int32_t InkPosition(const DotRateCorrection* state, uint32_t ink_id) {
  for (uint32_t i = 0; i < state->ink_count; ++i) {
    if (state->ink_ids[i] == ink_id) return static_cast<int32_t>(i);
  }
  return -1;
}

// Output level (8 fraction bits) whose amount on W equals x.
uint32_t InvertAmount(const double* w, double x) {
  uint32_t j = 0;
  while (j < kLevels && !(w[j] > x)) ++j;
  if (j == 0) return 0;
  if (j == kLevels) return 0xFF00;
  const uint32_t p = j - 1;
  if (x == w[p]) return p * 256;
  return p * 256 + static_cast<uint32_t>((x - w[p]) / (w[p + 1] - w[p]) * 256 + 0.5);
}

}  // namespace

uint32_t ReadRateCurveBlock(RateCurveBlock* block, common::ResourceBytes data) {
  std::memset(block, 0, sizeof *block);
  const common::ResourceView r(data);
  if (!r.Matches(0, kRateCurveMagic, sizeof kRateCurveMagic) || !r.Has(0, 32)) return 3;
  if (r.U16(8) != 1 || r.U16(14) != 1 || r.U16(16) != 2) return 1;
  block->count = r.U8(18);
  block->columns = r.U8(19);
  block->form = r.U8(20);
  if (block->count > kRateMaxCurves || block->columns > kRateMaxColumns) return 1;
  if (block->form != kFormTable && block->form != kFormSegment) return 1;
  const uint64_t entry = 2 * uint64_t{block->columns} + 2;
  if (!r.Has(32, entry * block->count)) return 2;
  for (uint32_t e = 0; e < block->count; ++e) {
    RateCurve& curve = block->curves[e];
    const uint64_t at = 32 + e * entry;
    curve.ink_id = r.U16(at);
    for (uint32_t c = 0; c < block->columns; ++c) {
      const uint64_t values = r.U16(at + 2 + 2 * c);
      if (block->form == kFormTable) {
        if (!r.Has(values, 2 * kLevels)) return 2;
        for (uint32_t v = 0; v < kLevels; ++v) curve.samples[c][v] = static_cast<uint16_t>(r.U16(values + 2 * v));
      } else {
        if (!r.Has(values, 8)) return 2;
        for (uint32_t v = 0; v < 4; ++v) curve.segment[c][v] = static_cast<uint16_t>(r.U16(values + 2 * v));
        if (curve.segment[c][0] == curve.segment[c][2]) return 2;
      }
    }
  }
  return 0;
}

uint32_t BuildDotRateCurves(DotRateCorrection* state) {
  InkCurveSet* set = state->curves;
  const RateCurveBlock& block = state->rate_curves;
  common::ScopedBlock work;
  const EngineStatus status = work.Allocate(2 * kLevels * sizeof(double), false);
  if (status != kStatusOk) return status;
  double* w = work.data<double>();
  double* v = w + kLevels;
  set->fraction_bits = 8;
  uint32_t stored = 0;
  uint32_t result = 0;
  for (uint32_t e = 0; e < block.count && result == 0; ++e) {
    const uint32_t ink = block.curves[e].ink_id;
    const int32_t i = InkPosition(state, ink);
    if (i < 0) continue;
    const RateCurve* first = &block.curves[e];
    for (uint32_t k = 0; k < e; ++k) {
      if (block.curves[k].ink_id == ink) {
        first = &block.curves[k];
        break;
      }
    }
    double f[kRateMaxColumns];
    for (uint32_t c = 0; c < block.columns && result == 0; ++c) {
      if (c >= state->column_count || state->selected_set >= state->set_count) result = 1;
      const int32_t rate = result == 0 ? state->rate_table[state->selected_set][i][c] : -1;
      f[c] = rate < 0 ? -1 : Factor(block, *first, c, rate);
      if (f[c] < 0) result = 1;
    }
    // Every column of the ink's table needs its factor.
    const RateDotTable* table = FindDotTable(&state->dot_tables, InkSlotOf(ink));
    if (result == 0 && (table == nullptr || table->columns > block.columns)) result = 1;
    if (result != 0) break;
    for (uint32_t l = 0; l < kLevels; ++l) {
      double amount = 0, scaled = 0;
      for (uint32_t c = 0; c < table->columns; ++c) {
        const uint32_t product = table->weights[c] * table->values[l][c];
        amount += product;
        scaled += product * f[c];
      }
      w[l] = amount;
      v[l] = scaled;
    }
    for (uint32_t l = 0; l < kLevels; ++l) set->curves[stored][l] = InvertAmount(w, v[l]);
    set->ink_ids[stored] = static_cast<int32_t>(ink);
    ++stored;
  }
  if (result != 0) return result;
  *state->curves_valid = 1;
  set->count = static_cast<int32_t>(stored);
  return 0;
}

uint32_t AddSubstituteInkCurve(DotRateCorrection* state) {
  const bool has_a = InkPosition(state, kSubstituteA) >= 0;
  const bool has_b = InkPosition(state, kSubstituteB) >= 0;
  if (has_a == has_b) return 0;
  const int32_t x = static_cast<int32_t>(has_a ? kSubstituteA : kSubstituteB);
  InkCurveSet* set = state->curves;
  if (set->count < 1 || set->count > static_cast<int32_t>(kInkCurveMax)) return 1;
  int32_t source = -1;
  for (int32_t k = 0; k < set->count; ++k) {
    if (set->ink_ids[k] == 0) return 0;
    if (set->ink_ids[k] == x) source = k;
  }
  // The copy needs a free place in the set.
  if (source < 0 || set->count == static_cast<int32_t>(kInkCurveMax)) return 1;
  std::memcpy(set->curves[set->count], set->curves[source], sizeof set->curves[0]);
  set->ink_ids[set->count] = 0;
  ++set->count;
  return 0;
}

}  // namespace tonvar::colour
