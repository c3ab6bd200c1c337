// The engines' contract: what every colour-matching and halftoning engine provides to the
// interface, and what the interface promises it in return. An engine is a folder with an
// engine_operations.h declaring these operations, plus one row in interface/engine_table.cpp.
#pragma once

#include <cstdint>

#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/halftone_band.h"
#include "tonvar/interface/status.h"

namespace tonvar {

// What an engine is created from; the interface has checked every pointer it passes.
struct EngineCreateArgs {
  const CmParams* params = nullptr;      // colour matching; null for halftoning engines
  const RasterJob* job = nullptr;        // always set
  const void* tables[2] = {};            // halftoning: the first table and the second (or null)
  uint64_t reserved = 0;                 // the client's reserved argument, passed on unread
};

// Creation. On success *engine holds the engine's state and *first_id the first resource it
// wants. On refusal the engine has released everything it allocated and *engine stays null;
// *first_id is then unspecified (the colour engine writes 0 before anything can fail).
using EngineCreateFn = EngineStatus (*)(const EngineCreateArgs& args, ResourceId* first_id,
                                        void** engine);
// One resource step, after the container reader: the bytes and the next id wanted (the
// interface refuses a missing next_id before the step). A null engine is refused with 512.
using EngineSetResourceFn = EngineStatus (*)(void* engine, common::ResourceBytes resource,
                                             ResourceId* next_id);
// Colour-matching engines: the table CmGetLut hands out (LutDescriptor or GreyLut), or null.
using EngineGetTableFn = void* (*)(void* engine);
// Halftoning engines: one band of rows.
using EngineHalftoneFn = EngineStatus (*)(void* engine, const HalftoneBand& band);
// Deletion: releases everything the engine owns and clears *engine, also on failure; a null
// *engine is not an error for a built engine. 259 / 260 report a failed unlock / free.
using EngineDeleteFn = EngineStatus (*)(void** engine);

}  // namespace tonvar
