// Whole grey bands through the engine interface's internal operations: the same scenarios and
// golden checksums as the Windows DLL's test, so both builds are held to the same bytes.
#include <gtest/gtest.h>

#include "testkit/tonvar/grey_halftone_bands.h"
#include "tonvar/interface/dispatch.h"

namespace tonvar::grey_input {
namespace {

// The internal operations with the exports' types.
const testkit::EngineCalls kInternal = {
    [](const CmParams* p, const RasterJob* j, uint64_t r, uint32_t* id, void** h) -> uint32_t {
      return NewCmHandle(p, j, r, id, reinterpret_cast<CmHandle**>(h));
    },
    [](void* h, const uint8_t* res, uint32_t* id) -> uint32_t {
      return ApplyCmResource(static_cast<CmHandle*>(h), res, id);
    },
    [](void* h) { return GetCmLutInfo(static_cast<CmHandle*>(h)); },
    [](void* h) -> uint32_t { return DeleteCmHandle(static_cast<CmHandle*>(h)); },
    [](const RasterJob* j, CmLutInfo* const* luts, uint64_t r, uint32_t* id, void** h) -> uint32_t {
      return NewHalftoneHandle(j, luts, r, id, reinterpret_cast<HalftoneHandle**>(h));
    },
    [](void* h, const uint8_t* res, uint32_t* id) -> uint32_t {
      return ApplyHalftoneResource(static_cast<HalftoneHandle*>(h), res, id);
    },
    [](void* h, const uint8_t* const* in, uint8_t* const* out, int64_t stride, uint32_t first_bit,
       uint32_t count, uint32_t x_start, uint32_t rows, uint32_t line, uint32_t mode,
       uint64_t spare) -> uint32_t {
      const HalftoneBand band{in, out, stride, first_bit, count, x_start, rows, line, mode, spare};
      return RunHalftone(static_cast<HalftoneHandle*>(h), band);
    },
    [](void* h) -> uint32_t { return DeleteHalftoneHandle(static_cast<HalftoneHandle*>(h)); },
};

TEST(GreyBands, GoldenChecksumsAndBlankInput) {
  testkit::ExpectGreyGoldenBands(kInternal);
}

}  // namespace
}  // namespace tonvar::grey_input
