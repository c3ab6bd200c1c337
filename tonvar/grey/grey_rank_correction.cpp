// The grey engine's rank correction: the client's "CW:" groups (option 512) against the
// markup's reference rows, turned into rows of the correction block's curves, ink by ink.
#include "tonvar/grey/grey_rank_correction.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/resource_view.h"

namespace tonvar::grey {
namespace {

constexpr int kCwMaxGroupBytes = 128;
constexpr int kCwMaxGroupLength = 20;  // "CW:", the method byte and up to 16 values
constexpr uint8_t kGroupEnd = 0xFE;
constexpr uint8_t kListEnd = 0xFF;

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// X(P, j): the ink's rank values weighted by the dot amounts. A rank value (up to 31 bits)
// times a dot amount times its weight (up to 35 bits) times a rate (up to 31 bits) needs more
// than 64 bits; the result is kept within 62 bits so that two of them add safely.
int64_t WeightedRank(const RankTriples& set, int32_t j, const int64_t q[3], const int32_t* rates) {
  const __int128 d = __int128{q[0]} + q[1] + q[2];
  if (d == 0) return 0;
  __int128 sum = 0;
  for (int k = 0; k < 3; ++k) sum += __int128{set.ink[j][k]} * q[k] * (rates != nullptr ? rates[k] : 1);
  if (rates != nullptr) sum = static_cast<__int128>(std::trunc(static_cast<double>(sum) * 0.01));
  constexpr __int128 kLimit = int64_t{1} << 62;
  return static_cast<int64_t>(std::clamp<__int128>(sum / d, -kLimit, kLimit));
}

int32_t Difference(int32_t a, int32_t b, const int64_t q[3], const int32_t* rates,
                   const RankTriples& set_a, const RankTriples& set_b) {
  if (a == b) return Saturate(WeightedRank(set_b, a, q, rates) - WeightedRank(set_a, a, q, rates));
  return Saturate((WeightedRank(set_b, b, q, rates) + WeightedRank(set_b, a, q, rates)) / 2 -
                  (WeightedRank(set_a, b, q, rates) + WeightedRank(set_a, a, q, rates)) / 2);
}

// Dot amount k of an ink amount v, interpolated between the two dot-table levels around it.
int64_t DotAmount(const uint32_t (*table)[3], int32_t v, int k) {
  const int32_t n = v / 128;
  const int32_t upper = std::min<int32_t>(n + 1, common::kDotCurveLevels - 1);
  const int64_t low = static_cast<int32_t>(table[n][k]);
  const int64_t high = static_cast<int32_t>(table[upper][k]);
  return low + (v - 128 * n) * (high - low) / 128;
}

}  // namespace

EngineStatus ParseGreyCwList(const uint8_t* data, GreyCwList* list) {
  list->method = kUnset;
  list->values_per_group = kUnset;
  list->group_count = 0;
  const uint8_t* group = data;
  for (int g = 0;; ++g) {
    int size = 0;
    while (group[size] != kGroupEnd) {
      if (++size > kCwMaxGroupBytes) return kStatusBadArgument;
    }
    if (size < 4 || group[0] != 'C' || group[1] != 'W' || group[2] != ':')
      return kStatusBadArgument;
    int length = 0;
    while (length < size && group[length] != 0) ++length;
    if (length > kCwMaxGroupLength || length < 4) return kStatusBadArgument;
    if (g >= kCwMaxGroups) return kStatusBadArgument;
    const int32_t count = length - 4;
    if (g == 0) {
      list->method = group[3];
      list->values_per_group = count;
    } else if (group[3] != list->method || count != list->values_per_group) {
      return kStatusBadArgument;
    }
    for (int i = 0; i < count; ++i) list->groups[g][i] = static_cast<int8_t>(group[4 + i]);
    list->group_count = g + 1;
    group += size + 1;
    if (*group == kListEnd) return kStatusOk;
  }
}

EngineStatus ComputeGreyRankValues(const GreyMarkup& markup, const int32_t (*rows)[kCwMaxValues],
                                   int32_t row_count, RankTriples* triples) {
  *triples = RankTriples{};
  const int32_t n = markup.ink_count;
  if (n < 1) return kStatusOk;
  const GreyModeRecord& mode = markup.mode;
  if (mode.kind != kModeSingle && mode.kind != kModeDual && mode.kind != kModeSmbRate) {
    return kStatusBadResource;
  }
  const int pairs = mode.kind == kModeDual ? 3 : 1;
  for (int p = 0; p < pairs; ++p) {
    const int32_t row_number = mode.rows[p];
    if (row_number < 1 || row_number > row_count) return kStatusBadResource;
    const int32_t* row = rows[row_number - 1];
    int64_t sum = 0;
    for (int32_t i = 0; i < n; ++i) sum += row[i];
    for (int32_t i = 0; i < n; ++i) {
      int64_t value;
      switch (mode.letters[p]) {
        case 'a':
          value = row[i] + (50 * n - sum) / n;
          break;
        case 'm':
          value = row[i] - sum / n + 50;
          break;
        case 'n':
          value = row[i];
          break;
        default:
          return kStatusBadResource;
      }
      if (value < 0) return kStatusBadResource;
      for (int k = (pairs == 1 ? 0 : p); k < (pairs == 1 ? 3 : p + 1); ++k) {
        triples->ink[i][k] = Saturate(value);
      }
    }
  }
  return kStatusOk;
}

int32_t GreyRankDifference(int32_t a, int32_t b, const int64_t q[3], const RankTriples& set_a,
                           const RankTriples& set_b) {
  return Difference(a, b, q, nullptr, set_a, set_b);
}

int32_t GreyRankDifferenceWithRates(int32_t a, int32_t b, const int64_t q[3],
                                    const int32_t rates[3], const RankTriples& set_a,
                                    const RankTriples& set_b) {
  return Difference(a, b, q, rates, set_a, set_b);
}

EngineStatus InterpolateGreyCorrectionCurve(const GreyCorrectionCurves& curves, int32_t x,
                                            int32_t row, uint16_t* amount) {
  *amount = 0;
  const int32_t c = curves.knot_count;
  auto knot = [&](int32_t i) {
    return static_cast<int32_t>(common::ReadWord(curves.knots + 2 * i));
  };
  auto value = [&](int32_t i) {
    return static_cast<int32_t>(common::ReadWord(curves.rows + 2 * (int64_t{row} * c + i)));
  };
  if (x > knot(c - 1)) return kStatusBadResource;
  if (row < 0 || (curves.row_count >= 0 && row >= curves.row_count)) return kStatusBadResource;
  int32_t s = 0;
  while (s < c - 1 && !(x < knot(s + 1))) ++s;
  if (s == c - 1) {
    *amount = static_cast<uint16_t>(value(c - 1));
    return kStatusOk;
  }
  const int32_t width = knot(s + 1) - knot(s);
  if (width == 0) return kStatusBadResource;
  const double v = static_cast<double>(value(s + 1) - value(s)) * (x - knot(s)) / width + value(s);
  *amount = static_cast<uint16_t>(std::clamp(std::trunc(v), 0.0, 65535.0));
  return kStatusOk;
}

EngineStatus ApplyGreyRankCorrection(CmGreyEngine* engine, common::ResourceBytes block) {
  const common::ResourceView r(block);
  if (!r.Has(0, 6)) return kStatusBadResource;
  GreyCorrectionCurves curves{};
  curves.knot_count = r.S16(4);
  if (curves.knot_count < 2) return kStatusBadResource;
  const uint64_t row_bytes = 2ull * static_cast<uint32_t>(curves.knot_count);
  if (!r.Has(6, row_bytes)) return kStatusBadResource;
  curves.knots = r.At(6);
  curves.rows = r.At(6 + row_bytes);
  curves.row_count = block.size == common::kUnboundedSize
                         ? -1
                         : static_cast<int64_t>((block.size - 6 - row_bytes) / row_bytes);

  const GreyMarkup& markup = engine->markup;
  RankTriples set_a, set_b;
  if (ComputeGreyRankValues(markup, markup.rows, markup.row_count, &set_a) != kStatusOk ||
      ComputeGreyRankValues(markup, engine->cw.groups, engine->cw.group_count, &set_b) !=
          kStatusOk) {
    return kStatusBadResource;
  }
  const int32_t n = markup.ink_count;
  if (n < 1) return kStatusOk;
  // The table holds I amounts per level; the correction walks its first N columns.
  const int32_t inks = TableInks(engine->lut);
  if (n > inks) return kStatusBadResource;
  const int32_t kind = markup.mode.kind;
  if (kind != kModeSingle && kind != kModeDual && kind != kModeSmbRate) return kStatusBadResource;
  const int32_t* rates = kind == kModeSmbRate ? markup.mode.rates : nullptr;

  for (int32_t level = 0; level < static_cast<int32_t>(kGreyMaxLevels); ++level) {
    uint16_t* amounts = engine->lut.table.amounts + level * inks;
    for (int32_t i = 0; i < n; ++i) {
      const int32_t a = markup.pair_first[i];
      const int32_t b = markup.pair_second[i];
      if (a < 0 || a > kMarkupMaxInks || b < 0 || b > kMarkupMaxInks) return kStatusBadResource;
      const int32_t v = amounts[i];
      int64_t q[3];
      for (int k = 0; k < 3; ++k) {
        q[k] = DotAmount(engine->dot_tables.group[i], v, k) * engine->weights[k];
      }
      const int32_t difference = Difference(a, b, q, rates, set_a, set_b);
      if (std::llabs(difference) < markup.nc_range) continue;
      int64_t rank = int64_t{difference} + markup.id_lowest_value;
      rank = std::min<int64_t>(rank, markup.rank_upper_limit);
      rank = std::max<int64_t>(rank, markup.rank_lower_limit);
      if (markup.id_step == 0) return kStatusBadResource;
      const int64_t row = rank / markup.id_step;
      if (row < 0 || row > INT32_MAX) return kStatusBadResource;
      const EngineStatus curve =
          InterpolateGreyCorrectionCurve(curves, v, static_cast<int32_t>(row), &amounts[i]);
      if (curve != kStatusOk) return curve;
    }
  }
  return kStatusOk;
}

}  // namespace tonvar::grey
