// Test fixture of the line routines' unit tests: a work block with its own cubes, tone ramp,
// error rows, cell planes and matrix, without resources.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "testkit/tonvar/halftone_resources.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

class LineTestState {
 public:
  // A job line of `width` pixels, 4 or 8 inks, two cubes whose every node is `node` (per word).
  explicit LineTestState(int32_t width = 64, int32_t inks = 4, uint32_t node = 0)
      : state_(std::make_unique<MultiLevelState>()) {
    MultiLevelState& s = *state_;
    std::memset(&s, 0, sizeof(s));
    s.ink_count = inks;
    s.width = width;
    const std::vector<uint8_t> levels = ::testkit::CubeNodeLevels();
    BuildToneRamp(levels.data(), s.tone_ramp);
    for (auto& cube : cubes_) cube.assign(size_t{kCubeNodes} * 2, node);
    s.cubes[0] = reinterpret_cast<uint8_t*>(cubes_[0].data());
    s.cubes[1] = reinterpret_cast<uint8_t*>(cubes_[1].data());
    const size_t row_words = ((size_t(width) + 60) & ~size_t{3}) + 4;
    errors_.assign(16 * row_words, 0);
    s.error_block = errors_.data();
    s.error_block_size = static_cast<uint32_t>(errors_.size() * 4);
    for (int k = 0; k < kMaxInks; ++k) {
      s.error_rows0[k] = errors_.data() + 30 + 2 * k * row_words;
      s.error_rows1[k] = errors_.data() + 30 + (2 * k + 1) * row_words;
    }
    cells_.assign(size_t(width) / 2 + 2 + (width / 64 + 2) + 8 * (size_t(width) / 2 + 2), 0);
    s.flat_cells = reinterpret_cast<uint8_t*>(cells_.data());
    for (int k = 0; k < kMaxInks; ++k) {
      s.cell_planes[k] = reinterpret_cast<uint8_t*>(cells_.data() + (width / 64 + 2) + k * (size_t(width) / 2 + 2));
    }
    const uint32_t key[4] = {0x123, 0x234, 0x345, 0x456};
    common::RandomInitByArray(key, 4, &s.random);
    s.row_count = 2;
    s.method = 3;
    s.bits_per_dot = 2;
  }

  MultiLevelState& operator*() { return *state_; }
  MultiLevelState* operator->() { return state_.get(); }
  MultiLevelState* get() { return state_.get(); }
  // The node words of cube 0 (or 1) at grid position (i, j, k).
  uint32_t* Node(int cube, uint32_t i, uint32_t j, uint32_t k) {
    const size_t words = state_->ink_count == 4 ? 1 : 2;
    return cubes_[cube].data() + ((size_t(i) * kCubeAxis + j) * kCubeAxis + k) * words;
  }
  const uint32_t* Plane(int ink) const { return reinterpret_cast<const uint32_t*>(state_->cell_planes[ink]); }
  const uint32_t* FlatWords() const { return reinterpret_cast<const uint32_t*>(state_->flat_cells); }

 private:
  std::unique_ptr<MultiLevelState> state_;
  std::vector<uint32_t> cubes_[2];
  std::vector<int32_t> errors_;
  std::vector<uint32_t> cells_;
};

}  // namespace tonvar::multi_level
