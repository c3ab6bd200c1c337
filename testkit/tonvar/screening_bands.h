// Whole bands through the screening engine, as the rendering library runs them: colour chain,
// HalftoneNew, the screening resources, Halftone per pair of rows. The same scenarios and
// golden checksums serve the host build (through the interface's internal operations) and the
// Windows DLL (through its exports), so that both are shown to agree byte for byte.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tonvar/interface/client_records.h"

namespace testkit {

// The eight operations with the exports' types; handles are opaque.
struct EngineCalls {
  uint32_t (*cm_new)(const tonvar::CmParams*, const tonvar::RasterJob*, uint64_t, uint32_t*, void**);
  uint32_t (*cm_set_resource)(void*, const uint8_t*, uint32_t*);
  tonvar::CmLutInfo* (*cm_get_lut)(void*);
  uint32_t (*cm_delete)(void*);
  uint32_t (*halftone_new)(const tonvar::RasterJob*, tonvar::CmLutInfo* const*, uint64_t, uint32_t*, void**);
  uint32_t (*halftone_set_resource)(void*, const uint8_t*, uint32_t*);
  uint32_t (*halftone)(void*, const uint8_t* const*, uint8_t* const*, int64_t, uint32_t, uint32_t,
                       uint32_t, uint32_t, uint32_t, uint32_t, uint64_t);
  uint32_t (*halftone_delete)(void*);
};

struct BandScenario {
  std::string name;
  tonvar::CmParams params{};
  tonvar::RasterJob job{};
  std::map<uint32_t, std::vector<uint8_t>> resources;  // colour and screening, by id
  uint32_t width = 0;         // pixels
  uint32_t lines = 0;         // rows of the band
  uint32_t planes = 1;
  uint32_t bytes_per_pixel = 1;
  uint64_t golden = 0;        // checksum of every output row of the band
  std::vector<uint32_t> halftone_ids;  // the screening resources asked for, in order

  uint32_t PlaneBytes() const { return (width * job.bits_per_dot + 7) / 8; }
  uint32_t RowBytes() const { return planes * PlaneBytes(); }
};

// Monochrome at 1 and 2 bits in each routed resolution, four inks at 2 bits.
std::vector<BandScenario> ScreeningBandScenarios();

// The band's input rows: a gradient with texture, or white (blank) everywhere.
std::vector<std::vector<uint8_t>> BandInput(const BandScenario& s, bool blank);

// One open chain: colour-matching handle, halftoning handle, both fed.
class ScreeningChain {
 public:
  ScreeningChain(const EngineCalls& calls, const BandScenario& scenario);
  ~ScreeningChain();
  ScreeningChain(const ScreeningChain&) = delete;
  ScreeningChain& operator=(const ScreeningChain&) = delete;

  // The statuses of the two feeds; 0 when both handles are complete.
  uint32_t Open();
  // Halftone of rows [line, line + rows) of the whole width, from and into the given rows.
  uint32_t Band(const uint8_t* const* input, uint8_t* const* output, uint32_t line, uint32_t rows,
                uint32_t x_start = 0, uint32_t count = UINT32_MAX);
  std::vector<uint32_t> halftone_ids;

 private:
  uint32_t Feed(uint32_t (*set)(void*, const uint8_t*, uint32_t*), void* handle, uint32_t id,
                std::vector<uint32_t>* ids);
  const EngineCalls& calls_;
  const BandScenario& scenario_;
  void* cm_ = nullptr;
  void* halftone_ = nullptr;
};

// Runs the whole band two rows per call into fresh rows; answers the checksum, or 0 with the
// failing status in *status.
uint64_t RunBand(const EngineCalls& calls, const BandScenario& scenario, bool blank, uint32_t* status,
                 std::vector<std::vector<uint8_t>>* output = nullptr);

// GoogleTest expectations over every scenario: the screening resources asked for, the golden
// checksum of the band, and no dot from a blank band.
void ExpectGoldenBands(const EngineCalls& calls);

// GoogleTest expectations: two handles opened on the same scenario and fed the same rows, the
// calls interleaved, give the same output (each handle keeps its own error rows and noise).
void ExpectTwoHandlesAgree(const EngineCalls& calls, const BandScenario& scenario);

}  // namespace testkit
