// Whole bands through the multi-level engine as the rendering library runs them: colour chain,
// HalftoneNew, the halftone resources, Halftone per row or row pair. Beside the engine runs a
// small model of ordered dither written from the engine's description (cube look-up through
// the tone ramp, flat cells and their smoothing, replication, the leading partial byte, matrix
// positions, edge and interior tables with their vertical and horizontal blends, and the
// four-level decision), which every band is checked against. The golden
// checksums are shared by the host build and the Windows DLL, so both agree byte for byte.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "testkit/tonvar/screening_bands.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/lut_descriptor.h"

namespace testkit {

struct MultiLevelBand {
  std::string name;
  uint32_t h_dpi = 720, v_dpi = 720;
  int inks = 4;                 // 4 (ink set 1) or 8 (ink set 9)
  int32_t replication = 0;      // -1, 0, 1 or 3
  uint32_t first_dot = 0;       // 0..3
  uint32_t rows_per_call = 2;
  uint32_t width = 101;         // the job's width
  uint32_t x_start = 0;         // every call's run
  uint32_t count = 101;
  uint32_t lines = 6;
  bool negative_stride = false; // output rows point at the last plane
  uint32_t method = 3;          // of the halftoning job: 3 ordered dither, 1 cell error diffusion
  uint32_t bits_per_dot = 2;    // of the halftoning job
  // Edges (edge unit 16: in dots) and the colour table's transition widths beside them.
  uint32_t edge_mask = 0;       // 8 top, 4 bottom, 2 left, 1 right
  int32_t edges[4] = {};        // top, bottom, left, right
  int32_t transitions[4] = {};  // upper, lower, left, right
  uint64_t golden = 0;          // checksum of every output row after the band

  // Band bytes, then 3 spare.
  uint32_t PlaneBytes() const { return (first_dot + count + 8 / bits_per_dot - 1) / (8 / bits_per_dot) + 3; }
  int64_t Stride() const { return negative_stride ? -int64_t{PlaneBytes()} : int64_t{PlaneBytes()}; }
  uint32_t RowBytes() const { return static_cast<uint32_t>(inks) * PlaneBytes(); }
  // Input pixels each row needs (2:1 reduction reads two per output pixel).
  uint32_t InputPixels() const { return 2 * (count + 2); }
  tonvar::RasterJob Job() const;
};

std::vector<MultiLevelBand> MultiLevelBands();

// The band's colour and halftoning resources, by id: the mode table, the colour table, the cube
// step's block, a matrix for each resolution class, the interior and edge dot curves.
std::map<uint32_t, std::vector<uint8_t>> MultiLevelResources(const MultiLevelBand& band);

// Rows of 4-byte pixels (components and tag): gradients, flat patches and texture; or white.
std::vector<std::vector<uint8_t>> MultiLevelInput(const MultiLevelBand& band, bool blank);

inline constexpr uint8_t kOutputPoison = 0xA5;

// One open chain: colour-matching and halftoning handles, both fed.
class MultiLevelChain {
 public:
  MultiLevelChain(const EngineCalls& calls, const MultiLevelBand& band);
  ~MultiLevelChain();
  MultiLevelChain(const MultiLevelChain&) = delete;
  MultiLevelChain& operator=(const MultiLevelChain&) = delete;

  uint32_t Open();  // 0 when both handles are complete
  // Halftone of the band's run on line `line` (`rows` rows), output rows pointing at plane 0.
  uint32_t Call(const uint8_t* const* input, uint8_t* const* plane0, uint32_t line, uint32_t rows);
  const tonvar::LutDescriptor* Table() const;
  void* Handle() const { return halftone_; }

 private:
  uint32_t Feed(uint32_t (*set)(void*, const uint8_t*, uint32_t*), void* handle, uint32_t id);
  const EngineCalls& calls_;
  const MultiLevelBand& band_;
  std::map<uint32_t, std::vector<uint8_t>> resources_;
  tonvar::RasterJob job_{};
  void* cm_ = nullptr;
  void* halftone_ = nullptr;
};

// Output rows of a band (one per line), every byte poisoned before the band.
using BandRows = std::vector<std::vector<uint8_t>>;

// Runs the band on an open chain, every output row poisoned first; 0, or the first failing status.
uint32_t RunOnChain(MultiLevelChain& chain, const MultiLevelBand& band, bool blank, BandRows* out);
// Runs the band through the engine; 0 and the rows, or the first failing status.
uint32_t RunMultiLevelBand(const EngineCalls& calls, const MultiLevelBand& band, bool blank, BandRows* out);
// The same band by the model, from the colour table the chain's colour handle hands out.
BandRows ModelMultiLevelBand(const MultiLevelBand& band, const tonvar::LutDescriptor& table, bool blank);
uint64_t BandChecksum(const BandRows& rows);

// GoogleTest expectations (multi_level_band_checks.cpp) over every band: the engine's rows equal the model's, their checksum
// is the golden one, and blank input sets no dot.
void ExpectMultiLevelBands(const EngineCalls& calls);

}  // namespace testkit
