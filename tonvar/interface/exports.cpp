// Tonvar's exported functions. Each forwards to one internal operation; nothing throws across.
// The .def file gives each a second name with the prefix "A_" at the same address.
#include "tonvar/interface/dispatch.h"

using tonvar::CmHandle;
using tonvar::CmLutInfo;
using tonvar::CmParams;
using tonvar::EngineStatus;
using tonvar::HalftoneHandle;
using tonvar::RasterJob;
using tonvar::ResourceId;

namespace {

// Last resort: an exception escaping an engine is most likely an allocation failure.
template <typename Call>
EngineStatus Guarded(Call call) {
  try {
    return call();
  } catch (...) {
    return tonvar::kStatusAllocFailed;
  }
}

}  // namespace

extern "C" {

EngineStatus CmNew(const CmParams* params, const RasterJob* job, uint64_t reserved,
                   ResourceId* first_id, CmHandle** out_handle) {
  return Guarded([&] { return tonvar::NewCmHandle(params, job, reserved, first_id, out_handle); });
}

EngineStatus CmSetResource(CmHandle* handle, const uint8_t* resource, ResourceId* next_id) {
  return Guarded([&] { return tonvar::ApplyCmResource(handle, resource, next_id); });
}

CmLutInfo* CmGetLut(CmHandle* handle) {
  try {
    return tonvar::GetCmLutInfo(handle);
  } catch (...) {
    return nullptr;
  }
}

EngineStatus CmDelete(CmHandle* handle) {
  return Guarded([&] { return tonvar::DeleteCmHandle(handle); });
}

EngineStatus HalftoneNew(const RasterJob* job, CmLutInfo* const* luts, uint64_t reserved,
                         ResourceId* first_id, HalftoneHandle** out_handle) {
  return Guarded(
      [&] { return tonvar::NewHalftoneHandle(job, luts, reserved, first_id, out_handle); });
}

EngineStatus HalftoneSetResource(HalftoneHandle* handle, const uint8_t* resource,
                                 ResourceId* next_id) {
  return Guarded([&] { return tonvar::ApplyHalftoneResource(handle, resource, next_id); });
}

EngineStatus Halftone(HalftoneHandle* handle, const uint8_t* const* input_rows,
                      uint8_t* const* output_rows, int64_t plane_stride, uint32_t first_bit,
                      uint32_t count, uint32_t x_start, uint32_t row_count, uint32_t line_number,
                      uint32_t mode_word, uint64_t spare) {
  const tonvar::HalftoneBand band{input_rows, output_rows, plane_stride, first_bit, count,
                                  x_start,    row_count,   line_number,  mode_word, spare};
  return Guarded([&] { return tonvar::RunHalftone(handle, band); });
}

EngineStatus HalftoneDelete(HalftoneHandle* handle) {
  return Guarded([&] { return tonvar::DeleteHalftoneHandle(handle); });
}

}  // extern "C"
