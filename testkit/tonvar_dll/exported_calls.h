// The DLL's eight exports as the engine calls that the band scenarios run on, and the test
// fixture that holds them.
#pragma once

#include "testkit/tonvar/screening_bands.h"
#include "testkit/tonvar_dll/tonvar_client.h"
#include "testkit/tonvar_dll/tonvar_dll_test.h"

namespace testkit {

inline EngineCalls ExportedCalls(const TonvarExports& e) {
  return {e.CmNew, e.CmSetResource, e.CmGetLut, e.CmDelete, e.HalftoneNew, e.HalftoneSetResource, e.Halftone,
          e.HalftoneDelete};
}

// A Tonvar.dll test whose scenarios run on the DLL's exports (calls_).
class EngineCallsDllTest : public TonvarDllTest {
 protected:
  void SetUp() override {
    TonvarDllTest::SetUp();
    if (HasFatalFailure()) return;
    calls_ = ExportedCalls(dll());
  }
  EngineCalls calls_{};
};

}  // namespace testkit
