// Test rig of the diffusion kernels: one ink's call with its tables, matrix, cell plane, error
// rows and output rows, run through a product kernel and through the literal model on equal
// copies.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tonvar/multi_level/diffusion_kernels.h"
#include "tonvar/multi_level/diffusion_model_test.h"

namespace tonvar::multi_level {

struct KernelCase {
  const char* name;
  model::Kernel kernel;
  DiffuseCellsKernel product;
  bool one_bit;
};

inline const KernelCase kKernelCases[] = {
    {"1x1Ink4", model::Kernel::k1x1Ink4, &DiffuseCells1x1Ink4, false},
    {"1x1Ink8", model::Kernel::k1x1Ink8, &DiffuseCells1x1Ink8, false},
    {"1x2", model::Kernel::k1x2, &DiffuseCells1x2, false},
    {"2x1Ink4", model::Kernel::k2x1Ink4, &DiffuseCells2x1Ink4, false},
    {"2x1Ink8", model::Kernel::k2x1Ink8, &DiffuseCells2x1Ink8, false},
    {"4x1", model::Kernel::k4x1, &DiffuseCells4x1, false},
    {"OneBit", model::Kernel::kOneBit, &DiffuseCellsOneBit, true},
};

// What a call leaves behind.
struct KernelResult {
  std::vector<uint8_t> rows[2];
  std::vector<int32_t> errors[2];
  uint32_t next_draw;
  bool operator==(const KernelResult&) const = default;
};

class KernelRig {
 public:
  static constexpr int kMargin = 30;
  static constexpr int kMatrixSide = 16;

  explicit KernelRig(int32_t width = 64) : width_(width), state_(std::make_unique<MultiLevelState>()) {
    slot_ = std::make_unique<DotTableSlot>();
    const uint32_t key[] = {0x123, 0x234, 0x345, 0x456};
    common::RandomInitByArray(key, 4, &state_->random);
    samples_.assign(kMatrixSide * kMatrixSide + 2, 0);
    for (size_t i = 0; i < samples_.size(); ++i) samples_[i] = static_cast<int16_t>((i * 997) % 4080);
    state_->matrix.width = kMatrixSide;
    state_->matrix.height = kMatrixSide;
    state_->matrix.samples = samples_.data();
    for (uint32_t i = 0; i < 256; ++i) state_->diffusion_thresholds.value[i] = 400 + 4 * i;
    for (int z = 0; z < 5; ++z) run_[z] = zones_[z] = {0, 0, 0, 1};
    run_[2] = zones_[2] = {0, width, width, 1};
    for (auto& row : errors_) row.assign(static_cast<size_t>(width + 2 * kMargin + 8), 0);
  }

  MultiLevelState& State() { return *state_; }
  DotTableSlot& Slot() { return *slot_; }
  HorizontalZone* RunZones() { return run_; }
  HorizontalZone* JobZones() { return zones_; }
  std::vector<int16_t>& Samples() { return samples_; }
  std::vector<int32_t>& Errors(int pass) { return errors_[pass]; }
  int32_t* ErrorAt(int pass, int column) { return errors_[pass].data() + kMargin + column; }

  // Sets one table value (column: 0 small, 1 medium, 2 large) of a level in every table set.
  void SetValue(uint32_t level, int column, uint32_t value) {
    for (auto& set : slot_->set) set.level[2 * level][column] = value;
  }

  // The run: cells from column `start`, one plane word each, and the detailed-cell bits.
  void SetCells(int32_t start, std::vector<uint32_t> plane, std::vector<uint32_t> flat) {
    plane_ = std::move(plane);
    flat_ = std::move(flat);
    flat_.resize(plane_.size() / 32 + 2, 0);
    const int32_t end = start + 2 * static_cast<int32_t>(plane_.size());
    run_[2].start = start;
    run_[2].end = end;
    state_->count = static_cast<uint32_t>(end - start);
  }

  KernelResult RunProduct(const KernelCase& kernel, int table_set = 0, int dot_position = 0,
                          uint32_t words0 = 0, uint32_t words1 = 0) {
    const auto copy = std::make_unique<MultiLevelState>(*state_);
    MultiLevelState& state = *copy;
    std::vector<int32_t> errors[2] = {errors_[0], errors_[1]};
    std::vector<uint8_t> rows[2] = {std::vector<uint8_t>(OutBytes(), 0xEE), std::vector<uint8_t>(OutBytes(), 0xEE)};
    state.first_dot = static_cast<uint32_t>(dot_position);
    std::copy(zones_, zones_ + 5, state.zones);
    DiffusionCall call{&state,  run_, {words0, words1}, slot_.get(), table_set, dot_position, 8, plane_.data(),
                       flat_.data(), {rows[0].data(), rows[1].data()}, errors[0].data() + kMargin,
                       errors[1].data() + kMargin};
    kernel.product(call);
    return {{rows[0], rows[1]}, {errors[0], errors[1]}, common::RandomGenerate(&state.random)};
  }

  KernelResult RunModel(const KernelCase& kernel, int table_set = 0, int dot_position = 0, uint32_t words0 = 0,
                        uint32_t words1 = 0) {
    const auto copy = std::make_unique<MultiLevelState>(*state_);
    MultiLevelState& state = *copy;
    std::vector<int32_t> errors[2] = {errors_[0], errors_[1]};
    model::Job job{kernel.kernel, {}, {}, slot_.get(), table_set, state.diffusion_thresholds.value,
                   samples_.data(), kMatrixSide * kMatrixSide - 1, 8, dot_position,
                   static_cast<uint32_t>(dot_position), state.count, {words0, words1}, plane_, flat_};
    std::copy(run_, run_ + 5, job.run);
    std::copy(zones_, zones_ + 5, job.zones);
    model::Model m{job, errors[0].data() + kMargin, errors[1].data() + kMargin, &state.random, {}};
    std::vector<uint8_t> codes[2];
    m.Run(codes[0], codes[1]);
    KernelResult result{{}, {errors[0], errors[1]}, common::RandomGenerate(&state.random)};
    for (int row = 0; row < 2; ++row) {
      result.rows[row] = model::PackRow(job, codes[row]);
      result.rows[row].resize(OutBytes(), 0xEE);
    }
    return result;
  }

 private:
  size_t OutBytes() const { return static_cast<size_t>(width_) / 2 + 16; }

  int32_t width_;
  std::unique_ptr<MultiLevelState> state_;
  std::unique_ptr<DotTableSlot> slot_;
  std::vector<int16_t> samples_;
  HorizontalZone run_[5];
  HorizontalZone zones_[5];
  std::vector<uint32_t> plane_, flat_;
  std::vector<int32_t> errors_[2];
};

}  // namespace tonvar::multi_level
