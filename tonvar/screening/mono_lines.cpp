// Monochrome error-diffusion lines: threshold-modulated diffusion over one error row, with the
// spread pattern chosen by the grey value's tone; the 2-bit members place their larger dots by
// the threshold matrix and diffuse the rest. The members differ only in their data below.
#include <array>
#include <climits>

#include "tonvar/screening/mono_patterns.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

constexpr uint32_t kReplicatePairs = 0xFFFFFFFF;
constexpr int32_t kDotAmount = 65535;

// ---- Members --------------------------------------------------------------------------

enum class Kind { kOneBit, kTwoBitB, kTwoBitA };

// A band applies when the tone is above `above` (signed); the last band of a list always does.
struct Band {
  int32_t above;
  const Pattern* pattern;
};
constexpr int32_t kElse = INT32_MIN;

struct Member {
  Kind kind;
  bool pairs;  // replication -1 averages two input bytes (A1x2 only)
  std::array<Band, 4> no_dot;
  std::array<Band, 6> dot;
};

constexpr Member kMembers[] = {
    {},  // kNone
    {Kind::kOneBit, false, {{{3072, &kN8}, {kElse, &kN16}}}, {{{6144, &kD8}, {768, &kD32}, {kElse, &kD64}}}},
    {Kind::kOneBit, false, {{{1280, &kN8}, {kElse, &kN16}}}, {{{2560, &kD8}, {256, &kD32}, {kElse, &kD64}}}},
    {Kind::kTwoBitA, true,
     {{{28416, &kA12_1}, {1024, &kA12_2}, {kElse, &kA12_3}}},
     {{{3328, &kA12_1}, {2048, &kA12_5}, {1024, &kA12_6}, {512, &kA12_7}, {kElse, &kA12_8}}}},
    {Kind::kTwoBitA, false,
     {{{kElse, &kA_1}}},
     {{{3840, &kA_2}, {1280, &kA_3}, {512, &kA_4}, {kElse, &kA_5}}}},
    {Kind::kTwoBitB, false,
     {{{384, &kN8}, {kElse, &kN16}}},
     {{{2880, &kB4_4}, {1152, &kB28_2}, {384, &kB28_3}, {128, &kB28_4}, {64, &kB28_5}, {kElse, &kB28_6}}}},
    {Kind::kTwoBitB, false, {{{3072, &kN8}, {kElse, &kN16}}}, {{{6144, &kD8}, {768, &kD32}, {kElse, &kD64}}}},
    {Kind::kTwoBitB, false,
     {{{2048, &kB4_1}, {1536, &kB4_2}, {768, &kB4_3}, {kElse, &kB4_4}}},
     {{{2048, &kB4_5}, {1536, &kD64}, {768, &kB4_6}, {kElse, &kB4_7}}}},
};
static_assert(std::size(kMembers) == static_cast<size_t>(MonoLine::k2BitB4x1) + 1);

template <size_t N>
inline const Pattern& PickBand(const std::array<Band, N>& bands, int32_t tone) {
  for (const Band& band : bands) {
    if (band.above == kElse || tone > band.above) return *band.pattern;
  }
  return *bands[N - 1].pattern;
}

// The threshold offset of a matrix value, in tone units / 256.
constexpr std::array<int32_t, 256> MakeThresholdOffsets() {
  std::array<int32_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = i <= 7 ? 24 : i <= 128 ? 20 : i <= 247 ? -20 : -24;
  return t;
}
constexpr std::array<int32_t, 256> kThresholdOffsetTable = MakeThresholdOffsets();

// A dot placed by the matrix: an eighth of the carry goes to the next row.
inline void KeepOrderedError(int32_t* row, int64_t x, int32_t* carry) {
  const int32_t old = row[x + 1];
  row[x + 1] = *carry >> 3;
  *carry = *carry - (*carry >> 3) + old;
}

// A white or fully ordered grey diffuses nothing: the carry is the previous row's entry.
inline void DropError(int32_t* row, int64_t x, int32_t* carry) {
  *carry = row[x + 1];
  row[x + 1] = 0;
}

template <Kind kKind>
void RunMember(const Member& member, ScreenEngine* e, const uint8_t* input, uint8_t* output,
               uint32_t first_bit, uint32_t count, uint32_t x_start, uint32_t line) {
  const uint32_t prev_line = e->last_line;
  const uint64_t prev_end = e->last_end;
  const uint64_t end = uint64_t{x_start} + count;
  e->last_end = static_cast<uint32_t>(end);
  e->last_line = line;
  int32_t* row = GetErrorRow(e, 0);
  ClearErrorRowEdges(prev_line, line, prev_end, x_start, e->stored_width, row);

  constexpr int kBits = kKind == Kind::kOneBit ? 1 : 2;
  int shift = 8 - kBits - kBits * static_cast<int>(first_bit);  // position of this pixel's code
  uint8_t byte = first_bit == 0 ? 0 : static_cast<uint8_t>(output[0] & ~(0xFFu >> (kBits * first_bit)));
  if (count == 0) {
    if (first_bit != 0) output[0] = byte;
    return;
  }

  const uint32_t width_mask = e->matrix_width - 1;
  const uint32_t* matrix = GetScreenMatrix(e) + uint64_t{line % e->matrix_height} * e->matrix_width;
  const auto* levels = reinterpret_cast<const MonoLevel*>(e->buffers[kBufferLevelTable].data);
  const uint32_t* dots = e->dot_thresholds;
  const uint32_t replication = e->job.replication;
  const bool pairs = replication == kReplicatePairs && member.pairs;
  const uint32_t reuse = replication == kReplicatePairs ? 0 : replication;
  uint32_t uses = 0;
  int32_t carry = 0;
  uint64_t out = 0;
  for (uint64_t x = x_start; x < end; ++x) {
    const uint32_t m = matrix[x & width_mask];
    const int32_t threshold = kThresholdOffsetTable[m & 0xFE] * 256;
    uint32_t g;
    if (pairs) {
      g = (input[0] + input[1] + 1u) >> 1;
      input += 2;
    } else {
      g = *input;
      if (++uses > reuse) {
        ++input;
        uses = 0;
      }
    }
    const int32_t level = levels[g].level;
    const int32_t tone = levels[g].tone;
    const int64_t xi = static_cast<int64_t>(x);
    uint32_t code = 0;
    if constexpr (kKind == Kind::kOneBit) {
      if (carry + level >= threshold) {
        code = 1;
        Diffuse(row, xi, tone + carry - kDotAmount, PickBand(member.dot, tone), &carry);
      } else {
        Diffuse(row, xi, tone + carry, PickBand(member.no_dot, tone), &carry);
      }
    } else {
      const uint32_t d = dots[g];
      const uint32_t large = kKind == Kind::kTwoBitA ? d & 0xFFFF : d;
      const uint32_t medium = kKind == Kind::kTwoBitA ? d >> 16 : 0;
      if (tone == 0) {
        code = large > m ? 3 : medium > m ? 2 : 0;
        DropError(row, xi, &carry);
      } else if (large > m) {
        code = 3;
        KeepOrderedError(row, xi, &carry);
      } else if (medium > m) {
        code = 2;
        KeepOrderedError(row, xi, &carry);
      } else if (carry + level >= threshold) {
        code = kKind == Kind::kTwoBitA ? 1 : 2;
        Diffuse(row, xi, tone + carry - kDotAmount, PickBand(member.dot, tone), &carry);
      } else {
        Diffuse(row, xi, tone + carry, PickBand(member.no_dot, tone), &carry);
      }
    }
    byte = static_cast<uint8_t>(byte | (code << shift));
    shift -= kBits;
    if (shift < 0) {
      output[out++] = byte;
      byte = 0;
      shift = 8 - kBits;
    }
  }
  if (shift != 8 - kBits) output[out] = byte;
}

}  // namespace

void ClearErrorRowEdges(uint32_t prev_line, uint32_t line, uint64_t prev_end, uint64_t x_start,
                        uint64_t stored_width, int32_t* row) {
  auto clear = [row](uint64_t from, uint64_t to) {
    for (uint64_t x = from; x < to; ++x) row[x] = 0;
  };
  if (line == prev_line) {
    clear(prev_end + 1, x_start);
  } else if (uint64_t{line} == uint64_t{prev_line} + 1) {
    clear(0, x_start);
    clear(prev_end, stored_width);
  } else {
    clear(0, stored_width);
  }
}

MonoLine ChooseMonoLine(uint32_t bits_per_dot, uint32_t block_mode, int32_t h_dpi, int32_t v_dpi) {
  const int64_t h = h_dpi;
  const int64_t v = v_dpi;
  if (bits_per_dot == 1) return h == 2 * v ? MonoLine::k1Bit2x1 : MonoLine::k1Bit;
  if (bits_per_dot != 2) return MonoLine::kNone;
  if (block_mode == kBlockModeThreeSizes) return v == 2 * h ? MonoLine::k2BitA1x2 : MonoLine::k2BitA;
  if (block_mode != kBlockModeTwoSizes) return MonoLine::kNone;
  if (h == 2880 && v == 1440) return MonoLine::k2BitB2880;
  if (h == 2 * v) return MonoLine::k2BitB2x1;
  if (h == 4 * v) return MonoLine::k2BitB4x1;
  return MonoLine::kNone;
}

void RunMonoLine(MonoLine member, ScreenEngine* e, const uint8_t* input, uint8_t* output,
                 uint32_t first_bit, uint32_t count, uint32_t x_start, uint32_t line) {
  const Member& m = kMembers[static_cast<size_t>(member)];
  switch (m.kind) {
    case Kind::kOneBit:
      return RunMember<Kind::kOneBit>(m, e, input, output, first_bit, count, x_start, line);
    case Kind::kTwoBitB:
      return RunMember<Kind::kTwoBitB>(m, e, input, output, first_bit, count, x_start, line);
    case Kind::kTwoBitA:
      return RunMember<Kind::kTwoBitA>(m, e, input, output, first_bit, count, x_start, line);
  }
}

}  // namespace tonvar::screening
