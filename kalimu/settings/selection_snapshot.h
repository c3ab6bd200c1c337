// The selection checked against one paper source: which preset, papers, media and print mode a
// page or an incoming record is about to use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kalimu::settings {

#pragma pack(push, 1)
struct SelectionSnapshot {
  uint16_t keep;  // SelectionKeep bits: the fields given by the caller
  uint16_t preset_index;
  uint16_t user_preset_index;
  uint16_t paper_index;
  uint16_t user_paper_index;
  uint16_t media_index;
  uint16_t mode_index;
  uint16_t source_index;
};
#pragma pack(pop)
static_assert(sizeof(SelectionSnapshot) == 16);
static_assert(offsetof(SelectionSnapshot, paper_index) == 6);
static_assert(offsetof(SelectionSnapshot, source_index) == 14);

// Keep bits of a snapshot. A field whose bit is clear is taken from the current settings.
enum SelectionKeep : uint16_t {
  kKeepPreset = 1,
  kCheckUserPreset = 2,
  kKeepPaper = 4,
  kKeepUserPaper = 8,
  kKeepMedia = 0x10,
  kKeepMode = 0x20,
  kKeepSource = 0x40,
};

// Conflict bits answered by the check: the part of the selection the source does not take.
enum SelectionConflict : uint32_t {
  kConflictPreset = 1,
  kConflictUserPreset = 2,
  kConflictPaper = 4,
  kConflictUserPaper = 8,
  kConflictMedia = 0x10,
  kConflictMode = 0x20,
};

}  // namespace kalimu::settings
