// The two opaque handles the client holds. Both are zero-filled blocks from MemAlloc that
// record their own allocation handle.
#pragma once

#include <cstdint>

#include "tonvar/interface/client_records.h"
#include "tonvar/common/memory.h"

namespace tonvar {

struct CmHandle {
  void* engine;     // CmColorEngine or the grey engine
  common::MemHandle self;
  CmLutInfo lut;    // kind set at creation, table pointer refreshed by CmGetLut
};

enum HalftoneEngineKind : uint32_t {
  kEngineScreen = 0,
  kEngineMultiLevel = 1,
  kEngineGreyInput = 2,
};

struct HalftoneHandle {
  uint32_t engine_kind;  // HalftoneEngineKind
  void* engine;
  common::MemHandle self;
};

}  // namespace tonvar
