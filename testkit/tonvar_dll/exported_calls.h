// The DLL's eight exports as the engine calls that the band scenarios run on.
#pragma once

#include "testkit/tonvar/screening_bands.h"
#include "testkit/tonvar_dll/tonvar_client.h"

namespace testkit {

inline EngineCalls ExportedCalls(const TonvarExports& e) {
  return {e.CmNew, e.CmSetResource, e.CmGetLut, e.CmDelete, e.HalftoneNew, e.HalftoneSetResource, e.Halftone,
          e.HalftoneDelete};
}

}  // namespace testkit
