// Multi-level bands through Tonvar.dll's exports: the same bands, model and golden checksums as
// the host build; two handles interleaved agree; rows placed against no-access pages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "testkit/tonvar/multi_level_bands.h"
#include "testkit/tonvar_dll/exported_calls.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace {

using MultiLevelBandsDll = testkit::EngineCallsDllTest;

TEST_F(MultiLevelBandsDll, EngineEqualsTheModelAndTheGoldenChecksumsAndBlankSetsNoDot) {
  testkit::ExpectMultiLevelBands(calls_);
}

TEST_F(MultiLevelBandsDll, TwoHandlesInterleavedAgree) {
  const std::vector<testkit::MultiLevelBand> bands = testkit::MultiLevelBands();
  for (const testkit::MultiLevelBand& band : {bands[5], bands[8], bands[11]}) {
    SCOPED_TRACE(band.name);
    testkit::MultiLevelChain a(calls_, band), b(calls_, band);
    ASSERT_EQ(a.Open(), 0u);
    ASSERT_EQ(b.Open(), 0u);
    const auto input = testkit::MultiLevelInput(band, false);
    std::vector<std::vector<uint8_t>> out_a(band.lines, std::vector<uint8_t>(band.RowBytes())), out_b = out_a;
    const uint32_t step = band.rows_per_call;
    for (uint32_t line = 0; line + step <= band.lines; line += step) {
      const uint8_t* in[2] = {input[line].data(), input[line + step - 1].data()};
      uint8_t* ra[2] = {out_a[line].data(), out_a[line + step - 1].data()};
      uint8_t* rb[2] = {out_b[line].data(), out_b[line + step - 1].data()};
      ASSERT_EQ(a.Call(in, ra, line, step), 0u);
      ASSERT_EQ(b.Call(in, rb, line, step), 0u);
    }
    EXPECT_EQ(out_a, out_b);
  }
}

// Pages of which the last is no-access; a region of `size` bytes ends right before it, and the
// rest of the accessible pages holds poison.
class GuardedRegion {
 public:
  explicit GuardedRegion(size_t size) : size_(size) {
    const size_t pages = (size + 4095) / 4096 + 1;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, pages * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    if (base_ != nullptr) VirtualProtect(base_ + (pages - 1) * 4096, 4096, PAGE_NOACCESS, &old);
    accessible_ = (pages - 1) * 4096;
    if (base_ != nullptr) std::memset(base_, testkit::kOutputPoison, accessible_);
  }
  ~GuardedRegion() {
    if (base_ != nullptr) VirtualFree(base_, 0, MEM_RELEASE);
  }
  uint8_t* data() const { return base_ + accessible_ - size_; }
  // The poison before the region is intact.
  bool PrefixIntact() const {
    for (size_t i = 0; i < accessible_ - size_; ++i) {
      if (base_[i] != testkit::kOutputPoison) return false;
    }
    return true;
  }

 private:
  size_t size_;
  size_t accessible_ = 0;
  uint8_t* base_ = nullptr;
};

// The rows end against no-access pages: the input rows hold exactly the pixels a call reads, the
// output rows the band's bytes of each plane with poison between the planes; the call gives the
// bytes of an ordinary band and changes nothing around them.
TEST_F(MultiLevelBandsDll, RowsAgainstNoAccessPagesAreReadAndWrittenOnlyWithinTheBand) {
  for (const testkit::MultiLevelBand& band : testkit::MultiLevelBands()) {
    if (band.negative_stride) continue;
    SCOPED_TRACE(band.name);
    testkit::BandRows expected;
    ASSERT_EQ(testkit::RunMultiLevelBand(calls_, band, false, &expected), 0u);
    testkit::MultiLevelChain chain(calls_, band);
    ASSERT_EQ(chain.Open(), 0u);

    const uint32_t rows = band.rows_per_call;
    const size_t pixels = band.replication == -1 ? 2 * size_t{band.count} : band.count;
    const auto input = testkit::MultiLevelInput(band, false);
    const uint32_t band_bytes = (band.first_dot + band.count + 3) / 4;
    const size_t stride = band_bytes + 5;
    const size_t out_size = (band.inks - 1) * stride + band_bytes;
    std::vector<std::unique_ptr<GuardedRegion>> in_regions, out_regions;
    const uint8_t* in[2];
    uint8_t* out[2];
    for (uint32_t r = 0; r < rows; ++r) {
      in_regions.push_back(std::make_unique<GuardedRegion>(4 * pixels));
      std::memcpy(in_regions[r]->data(), input[r].data(), 4 * pixels);
      in[r] = in_regions[r]->data();
      out_regions.push_back(std::make_unique<GuardedRegion>(out_size));
      out[r] = out_regions[r]->data();
    }
    const uint32_t status = calls_.halftone(chain.Handle(), in, out, static_cast<int64_t>(stride), band.first_dot,
                                            band.count, band.x_start, rows, 0, 0, 0);
    ASSERT_EQ(status, 0u);
    for (uint32_t r = 0; r < rows; ++r) {
      EXPECT_TRUE(out_regions[r]->PrefixIntact());
      for (int k = 0; k < band.inks; ++k) {
        const uint8_t* plane = out[r] + k * stride;
        const uint8_t* want = expected[r].data() + size_t(k) * band.PlaneBytes();
        EXPECT_EQ(std::vector<uint8_t>(plane, plane + band_bytes), std::vector<uint8_t>(want, want + band_bytes))
            << "row " << r << " plane " << k;
        if (k + 1 < band.inks) {
          EXPECT_EQ(std::vector<uint8_t>(plane + band_bytes, plane + stride),
                    std::vector<uint8_t>(stride - band_bytes, testkit::kOutputPoison));
        }
      }
    }
  }
}

}  // namespace
