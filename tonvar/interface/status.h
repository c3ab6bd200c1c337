// Every numeric result of the engine interface and its engines, and the resource-id protocol.
#pragma once

#include <cstdint>

namespace tonvar {

using EngineStatus = uint32_t;

constexpr EngineStatus kStatusOk = 0;

// Memory: the block wrappers' failures, the same on every path that allocates or releases.
constexpr EngineStatus kStatusAllocFailed = 257;
constexpr EngineStatus kStatusLockFailed = 258;
constexpr EngineStatus kStatusUnlockFailed = 259;
constexpr EngineStatus kStatusFreeFailed = 260;

constexpr EngineStatus kStatusBadArgument = 512;  // null or wrong-kind handle, refused state or argument

// The colour adjustments.
constexpr EngineStatus kStatusAdjustmentRefused = 513;    // reserved value, or a value outside -50..50
constexpr EngineStatus kStatusGammaOutOfRange = 514;      // gamma outside 100..300, or no usable base
constexpr EngineStatus kStatusChannelOrderRefused = 515;  // channel-order code not 1, 2, 3 or 7

constexpr EngineStatus kStatusBadResource = 768;  // a resource or step the engine cannot use

// The tone table is dropped. Two steps answer it: the tone-curve build, when the job also gives
// channel curves (a tone curve cannot follow them), and the tone-table rebuild, when the job's
// document type or colour offsets leave no tone table to rebuild. They coincide because the
// colour rebuild answers both the same way: it releases the tone table and carries on.
constexpr EngineStatus kStatusDropToneTable = 1024;

constexpr EngineStatus kStatusContainerDamaged = 0xFFFFFF38;     // -200
constexpr EngineStatus kStatusTableHeaderDamaged = 0xFFFFFED4;   // -300

// Identifier of the next resource an engine wants; kNoMoreResources ends the protocol.
using ResourceId = uint32_t;
constexpr ResourceId kNoMoreResources = 0xFFFFFFFF;

}  // namespace tonvar
