// Internal operations of the engine interface behind the exports' types.
#include "testkit/tonvar/internal_calls.h"

#include "tonvar/interface/dispatch.h"

namespace testkit {

using namespace tonvar;

const EngineCalls& InternalEngineCalls() {
  static const EngineCalls calls = {
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
         uint32_t count, uint32_t x_start, uint32_t rows, uint32_t line, uint32_t mode, uint64_t spare) -> uint32_t {
        const HalftoneBand band{in, out, stride, first_bit, count, x_start, rows, line, mode, spare};
        return RunHalftone(static_cast<HalftoneHandle*>(h), band);
      },
      [](void* h) -> uint32_t { return DeleteHalftoneHandle(static_cast<HalftoneHandle*>(h)); },
  };
  return calls;
}

}  // namespace testkit
