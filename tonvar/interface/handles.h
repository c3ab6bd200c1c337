// The two opaque handles the client holds. Both are zero-filled blocks from the memory
// wrappers that record their own allocation, the kind of handle and the engine's row; the
// kind is checked on every use, so a handle of the other kind is refused (512), not misread.
#pragma once

#include <cstdint>

#include "tonvar/common/memory.h"
#include "tonvar/interface/client_records.h"

namespace tonvar {

enum HandleKind : uint32_t {
  kHandleReleased = 0,
  kHandleColourMatching = 0x6D436E54,  // "TnCm"
  kHandleHalftoning = 0x74486E54,      // "TnHt"
};

// Index of an engine's row in the engine table (interface/engine_table.h).
enum EngineId : uint32_t {
  kEngineColour,
  kEngineGrey,
  kEngineScreening,
  kEngineMultiLevel,
  kEngineGreyInput,
  kEngineCount,
};

struct EngineHandle {
  uint32_t kind;       // HandleKind
  uint32_t engine_id;  // EngineId
  void* engine;        // the engine's state, owned by the engine
  common::MemHandle self;
  CmLutInfo lut;       // colour matching: kind set at creation, table refreshed by CmGetLut
};

struct CmHandle : EngineHandle {};
struct HalftoneHandle : EngineHandle {};

}  // namespace tonvar
