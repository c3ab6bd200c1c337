// The user-settings file read as plain bytes: the version word, then up to the model's number
// of settings entries and of paper entries. Separate from the file access so that damaged and
// cut files can be tried on any platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kalimu::storage {

enum class UcfImageStatus {
  kOk,       // every whole entry of the file is in the image
  kVersion,  // no version word, or not 1808
  kCut,      // the file ends inside an entry: the entries before it are in the image
};

struct UcfImage {
  std::span<const uint8_t> settings;  // whole settings entries in the file, at most the capacity
  std::span<const uint8_t> papers;    // whole paper entries in the file, at most the capacity
  uint32_t settings_count = 0;
  uint32_t paper_count = 0;
};

// A file shorter than the capacities ask for (one written for a model with fewer entries) is
// read as far as it goes; bytes after the last paper entry are not read.
UcfImageStatus ParseUcfImage(std::span<const uint8_t> file, uint32_t settings_capacity, uint32_t paper_capacity,
                             UcfImage* out);

// Entries whose state word says "in use" (2): settings entries of 408 bytes, paper entries of 92.
uint32_t CountSettingsInUse(std::span<const uint8_t> entries);
uint32_t CountPapersInUse(std::span<const uint8_t> entries);

}  // namespace kalimu::storage
