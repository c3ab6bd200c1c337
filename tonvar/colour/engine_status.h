// Numeric results of the engine interface and the resource-id protocol.
#pragma once

#include <cstdint>

namespace tonvar {

using EngineStatus = uint32_t;

constexpr EngineStatus kStatusOk = 0;
constexpr EngineStatus kStatusAllocFailed = 257;
constexpr EngineStatus kStatusLockFailed = 258;
constexpr EngineStatus kStatusUnlockFailed = 259;
constexpr EngineStatus kStatusFreeFailed = 260;
constexpr EngineStatus kStatusBadArgument = 512;  // null handle, refused state or argument
constexpr EngineStatus kStatusBadResource = 768;  // a resource or step the engine cannot use
constexpr EngineStatus kStatusContainerDamaged = 0xFFFFFF38;     // -200
constexpr EngineStatus kStatusTableHeaderDamaged = 0xFFFFFED4;   // -300

// Identifier of the next resource an engine wants; kNoMoreResources ends the protocol.
using ResourceId = uint32_t;
constexpr ResourceId kNoMoreResources = 0xFFFFFFFF;

}  // namespace tonvar
