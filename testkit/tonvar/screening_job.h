// Drives a screening engine through its entry points as the engine interface does: a job, one
// or two colour tables, the resources by id, and halftone calls. The default resources complete
// a monochrome or a four-ink engine; tests change what they probe. Platform-neutral.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "testkit/tonvar/screening_resources.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/status.h"

namespace tonvar::screening {
struct ScreenEngine;
}

namespace testkit {

inline constexpr uint16_t kScreenIdList = 701;
inline constexpr uint16_t kScreenGridId = 10;
// Matrix ids by resolution class: square, wide, very wide, tall.
inline constexpr uint16_t kScreenMatrixIds[4] = {20, 30, 40, 50};
inline constexpr uint16_t kScreenFinalId = 900;

enum class ScreenKind { kMono, kFourInk };

class ScreenJob {
 public:
  // Method 3, width 64, 720 x 720 dpi; mono: ink set 0, channel order 0, 2 bits, a three-size
  // main block; four inks: ink set 5, channel order 2, 2 bits. 64 x 64 matrices everywhere.
  explicit ScreenJob(ScreenKind kind);
  ~ScreenJob();
  ScreenJob(const ScreenJob&) = delete;
  ScreenJob& operator=(const ScreenJob&) = delete;

  tonvar::RasterJob job{};
  ScreenLut lut0, lut1;
  bool two_luts = false;
  std::map<uint32_t, std::vector<uint8_t>> resources;
  std::vector<uint32_t> asked;  // ids asked for, in order

  // ScreenNew on the job and tables; the engine stays until the destructor (or Delete).
  tonvar::EngineStatus New();
  // One step with the resource of `id` (768 when the collection has none).
  tonvar::EngineStatus Step(uint32_t id, tonvar::ResourceId* next);
  // New, then every asked resource until the end marker or a failure.
  tonvar::EngineStatus Run();
  tonvar::EngineStatus Delete();

  // Halftone of `rows` rows: input rows of `input_stride` bytes, output rows of `planes` planes
  // of `plane_bytes` bytes (the plane stride), all kept here.
  tonvar::EngineStatus Halftone(uint32_t x_start, uint32_t count, uint32_t rows, uint32_t line,
                                uint32_t first_bit = 0, uint32_t mode_word = 0);

  tonvar::screening::ScreenEngine* engine() const { return engine_; }
  tonvar::ResourceId first_id = 0;

  std::vector<std::vector<uint8_t>> input;   // per row
  std::vector<std::vector<uint8_t>> output;  // per row: planes one after another
  uint32_t planes = 1;
  uint32_t plane_bytes = 32;

 private:
  tonvar::screening::ScreenEngine* engine_ = nullptr;
};

// The default blocks.
std::vector<uint8_t> DefaultMatrix();
std::vector<uint8_t> ThreeSizeMainBlock();   // kind 3, 8-bit: block mode 1
std::vector<uint8_t> TwoSizeMainBlock();     // kind 2 with a two-word second table: block mode 3
std::vector<uint8_t> OneSizeMainBlock();     // kind 2 with a one-word second table: block mode 2
std::vector<uint8_t> DefaultColourDotCurve();

}  // namespace testkit
