// Every numeric result of the engine interface and its engines, and the resource-id protocol.
#pragma once

#include <cstdint>

namespace tonvar {

using EngineStatus = uint32_t;

constexpr EngineStatus kStatusOk = 0;

// The screening engine's halftone call: the job's bits, method and resolutions name no line
// routine it has.
constexpr EngineStatus kStatusNoLineRoutine = 2;

// Memory: the block wrappers' failures, the same on every path that allocates or releases.
constexpr EngineStatus kStatusAllocFailed = 257;
constexpr EngineStatus kStatusLockFailed = 258;
constexpr EngineStatus kStatusUnlockFailed = 259;
constexpr EngineStatus kStatusFreeFailed = 260;
// The screening engine's delete: the engine records no allocation of its own.
constexpr EngineStatus kStatusNoAllocation = 272;

constexpr EngineStatus kStatusBadArgument = 512;  // null or wrong-kind handle, refused state or argument

// The colour adjustments.
constexpr EngineStatus kStatusAdjustmentRefused = 513;    // reserved value, or a value outside -50..50
constexpr EngineStatus kStatusGammaOutOfRange = 514;      // gamma outside 100..300, or no usable base
constexpr EngineStatus kStatusChannelOrderRefused = 515;  // channel-order code not 1, 2, 3 or 7

// The screening engine uses 513 to 515 for its own refusals, and 518 and 522 for its calls.
constexpr EngineStatus kStatusBadJob = 513;            // job or table the engine cannot screen
constexpr EngineStatus kStatusBadTable = 514;          // a colour or grid table it cannot use
constexpr EngineStatus kStatusBadReserved = 515;       // reserved argument not 0
constexpr EngineStatus kStatusBadRegion = 518;         // span outside the job's width
constexpr EngineStatus kStatusBadModeWord = 522;       // call's mode word not the job's

constexpr EngineStatus kStatusBadResource = 768;  // a resource or step the engine cannot use

// Curve blocks (dot-curve tables and the screening engine's curve blocks): a form that cannot be
// read (format code, signature, columns, sample width), and values that cannot be used
// (reserved fields, shift, level or entry counts).
constexpr EngineStatus kStatusDotCurveFormat = 992;
constexpr EngineStatus kStatusDotCurveValues = 993;
constexpr EngineStatus kStatusBadSecondTable = 994;  // screening: a second table it cannot use

// Threshold matrices and screens: a "0123" block of more than 0x20002 samples, and a block of
// neither form.
constexpr EngineStatus kStatusMatrixCount = 1022;
constexpr EngineStatus kStatusMatrixMagic = 1023;

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
