// One raster row of four-ink screening: colour bytes through the 32-point colour table, each
// ink value against the threshold matrix at two positions and their complements.
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

constexpr uint32_t kReplicatePairs = 0xFFFFFFFF;
constexpr uint32_t kWhiteSum = 765;
constexpr uint32_t kSecondColumn = 48;  // offset of the second matrix position
constexpr uint32_t kInks = 4;

struct Pixel {
  uint32_t c[3];
  uint32_t tag;
};

// Reads the output pixel's colour and advances the input: pairs of pixels are averaged, any
// other replication code reuses each input pixel code + 1 times.
class PixelReader {
 public:
  PixelReader(const uint8_t* input, uint32_t replication) : in_(input), replication_(replication) {}

  Pixel Next() {
    Pixel p;
    if (replication_ == kReplicatePairs) {
      const uint8_t* a = in_;
      const uint8_t* b = in_ + 4;
      const bool a_black = a[0] + a[1] + a[2] == 0;
      const bool b_black = b[0] + b[1] + b[2] == 0;
      for (int i = 0; i < 3; ++i) p.c[i] = a_black != b_black ? 0 : (a[i] + b[i] + 1u) >> 1;
      p.tag = 3;
      in_ += 8;
      return p;
    }
    for (int i = 0; i < 3; ++i) p.c[i] = in_[i];
    p.tag = in_[3];
    if (++uses_ > replication_) {
      in_ += 4;
      uses_ = 0;
    }
    return p;
  }

 private:
  const uint8_t* in_;
  uint32_t replication_;
  uint32_t uses_ = 0;
};

inline uint32_t DotCode(uint32_t e, uint32_t q, const uint32_t* t0, const uint32_t* t1) {
  if (t1[e] <= q) return 0;
  if ((t0[e] >> 16) <= q) return 1;
  if ((t0[e] & 0xFFFF) <= q) return 2;
  return 3;
}

}  // namespace

EngineStatus ScreenColorLine(ScreenEngine* e, const uint8_t* input, uint8_t* output,
                             int64_t plane_stride, uint32_t first_bit, uint32_t count,
                             uint32_t x_start, uint32_t line) {
  if (e->stored_width < uint64_t{x_start} + count) return kStatusBadRegion;
  e->last_line = line;
  const uint32_t width = e->matrix_width;
  const uint32_t* matrix = GetScreenMatrix(e) + uint64_t{line % e->matrix_height} * width;
  const uint32_t n1 = e->matrix_cells - 1;
  const ColourInkTables t = InkTables(e);
  const uint8_t* table0 = e->luts[0].body;
  const uint8_t* table1 = e->luts[1].body;
  uint8_t* planes[kInks];
  for (uint32_t k = 0; k < kInks; ++k) planes[k] = output + k * plane_stride;

  uint32_t mask = 0xC0u >> (2 * first_bit);
  uint8_t bytes[kInks] = {};
  if (first_bit != 0) {
    const uint8_t keep = static_cast<uint8_t>(~(0xFFu >> (2 * first_bit)));
    for (uint32_t k = 0; k < kInks; ++k) bytes[k] = planes[k][0] & keep;
  }
  if (count == 0) {
    if (first_bit != 0) {
      for (uint32_t k = 0; k < kInks; ++k) planes[k][0] = bytes[k];
    }
    return kStatusOk;
  }

  PixelReader reader(input, e->job.replication);
  bool have_previous = false;
  uint32_t previous_index[3] = {};
  uint32_t previous_ink[kInks] = {};
  uint64_t out = 0;
  const uint64_t end = uint64_t{x_start} + count;
  for (uint64_t x = x_start; x < end; ++x) {
    const Pixel p = reader.Next();
    if (p.c[0] + p.c[1] + p.c[2] != kWhiteSum) {
      const uint32_t m = matrix[x & (width - 1)];
      const uint32_t m2 = matrix[(x + kSecondColumn) & (width - 1)];
      const uint32_t threshold = m & 0xFE;
      uint32_t index[3];
      bool near = have_previous;
      for (int i = 0; i < 3; ++i) {
        const uint8_t* pair = t.index_map[p.c[i]];
        index[i] = pair[0] + (pair[1] <= threshold ? 1u : 0u);
        const uint32_t step = index[i] > previous_index[i] ? index[i] - previous_index[i]
                                                           : previous_index[i] - index[i];
        near = near && step <= 1;
      }
      const uint8_t* node =
          (p.tag == 3 ? table0 : table1) + ((index[0] * kColourGrid + index[1]) * kColourGrid + index[2]) * 4;
      uint32_t ink[kInks] = {node[0], node[1], node[2], node[3]};
      if (near) {
        const uint32_t d = (m & 1) == 0 ? 1 : 0;
        for (uint32_t k = 0; k < kInks; ++k) ink[k] = (ink[k] + previous_ink[k] + d) >> 1;
      }
      have_previous = true;
      for (uint32_t k = 0; k < kInks; ++k) previous_ink[k] = ink[k];
      for (int i = 0; i < 3; ++i) previous_index[i] = index[i];

      const uint32_t q[kInks] = {m, n1 - m, n1 - m2, m2};
      for (uint32_t k = 0; k < kInks; ++k) {
        const uint32_t code = DotCode(ink[k], q[k], t.t0, t.t1);
        bytes[k] = static_cast<uint8_t>(bytes[k] | (code * (mask / 3)));
      }
    }
    mask >>= 2;
    if (mask == 0) {
      for (uint32_t k = 0; k < kInks; ++k) planes[k][out] = bytes[k], bytes[k] = 0;
      ++out;
      mask = 0xC0;
    }
  }
  if (mask != 0xC0) {
    for (uint32_t k = 0; k < kInks; ++k) planes[k][out] = bytes[k];
  }
  return kStatusOk;
}

}  // namespace tonvar::screening
