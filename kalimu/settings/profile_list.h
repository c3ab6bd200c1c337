// The two lists of ICC profiles found in the colour directory: the source list (every valid
// profile) and the printer list (the output-device profiles). Each list is a count and one
// block of ProfileEntry records in movable global memory, held by the settings object; the
// lists are built once and then kept for the life of that object.
#pragma once

#include <windows.h>
#include <icm.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "kalimu/platform/global_block.h"
#include "kalimu/settings/icc_profile.h"

namespace kalimu::settings {

struct ProfileEntry {
  wchar_t FileName[MAX_PATH];     // file name in the colour directory, no directory part
  wchar_t Description[MAX_PATH];  // the "desc" text; empty when built without descriptions
  uint32_t Flags;                 // kEntry* below
  uint32_t MediaIds[kProfileMediaIdCount];  // from "mdea"; unused slots 0
  uint8_t InkCodes[kProfileInkCodeCapacity];  // from "inks", when they fit
  uint16_t InkCodeLength;
};
static_assert(sizeof(ProfileEntry) == 1104);
static_assert(offsetof(ProfileEntry, FileName) == 0);
static_assert(offsetof(ProfileEntry, Description) == 520);
static_assert(offsetof(ProfileEntry, Flags) == 1040);
static_assert(offsetof(ProfileEntry, MediaIds) == 1044);
static_assert(offsetof(ProfileEntry, InkCodes) == 1084);
static_assert(offsetof(ProfileEntry, InkCodeLength) == 1100);

// Entry flags.
inline constexpr uint32_t kEntryAssociated = 0x1;       // associated with the printer (printer list)
inline constexpr uint32_t kEntryStandardRgb = 0x2;      // a standard RGB source profile
inline constexpr uint32_t kEntrySrgb = 0x4;             // the sRGB profile (with kEntryStandardRgb)
inline constexpr uint32_t kEntryNamesDriver = 0x8;      // "drvn" names this driver
inline constexpr uint32_t kEntryHasMediaIds = 0x10;     // has an "mdea" tag
inline constexpr uint32_t kEntryInkSetMatches = 0x20;   // "inks" matches the model's ink codes
inline constexpr uint32_t kEntryValid = 0x100;          // a valid profile: in the source list
inline constexpr uint32_t kEntryOutputDevice = 0x200;   // class 'prtr': in the printer list

// The standard RGB source profiles, by file name.
inline constexpr wchar_t kSrgbProfileName[] = L"sRGB Color Space Profile.icm";
inline constexpr wchar_t kAdobeRgbProfileName[] = L"AdobeRGB1998.icc";
inline constexpr wchar_t kColorMatchRgbProfileName[] = L"ColorMatchRGB.icc";

// File names compare without regard to case.
bool SameProfileName(const wchar_t* a, const wchar_t* b);

// One list, over the count and block its owner holds.
class ProfileList {
 public:
  ProfileList(int32_t& count, platform::GlobalBlock& block) : count_(&count), block_(&block) {}

  uint32_t count() const { return static_cast<uint32_t>(*count_); }
  bool has_block() const { return block_->held(); }
  // The entry at index; null at or beyond the count or past the block.
  ProfileEntry* At(uint32_t index) const;
  // The first entry with that file name and its index; null when none.
  ProfileEntry* Find(const wchar_t* file_name, uint32_t* index = nullptr) const;
  // The first entry for which accept(entry) holds; null when none.
  template <class Accept>
  ProfileEntry* FindIf(Accept accept) const {
    for (uint32_t i = 0; ProfileEntry* entry = At(i); ++i)
      if (accept(*entry)) return entry;
    return nullptr;
  }

 private:
  friend class ProfileLists;
  int32_t* count_;
  platform::GlobalBlock* block_;
};

// What a scan of the colour directory needs to fill an entry.
struct ProfileScan {
  std::wstring directory;                // the colour directory, without a closing separator
  std::string driver_name;               // the record's DriverName, compared with "drvn"
  std::span<const uint8_t> model_ink_codes;  // the model's selected ink codes
  bool describe = false;                 // read descriptions
};

// Fills entry (its FileName already set) from an open profile; a null profile leaves Flags and
// MediaIds cleared. Private tags are read only when read_private_tags is set and the profile
// carries a "drvn" tag.
void FillProfileEntry(HPROFILE profile, ProfileEntry& entry, bool read_private_tags, const ProfileScan& scan);

struct ScanResult {
  uint32_t valid = 0;    // valid profiles found
  uint32_t source = 0;   // entries filled with kEntryValid
  uint32_t printer = 0;  // entries filled with kEntryOutputDevice
};
// Lists the directory's valid profiles; with entries given, fills one entry per valid profile
// (at most entries.size(): a directory that grew since it was counted is cut there).
ScanResult ScanColorDirectory(const ProfileScan& scan, std::span<ProfileEntry> entries);

// The pair of lists.
class ProfileLists {
 public:
  ProfileLists(ProfileList source, ProfileList printer) : source_(source), printer_(printer) {}

  const ProfileList& source() const { return source_; }
  const ProfileList& printer() const { return printer_; }
  // Whether a build has left a count or a block: the lists are then never built again.
  bool built() const {
    return source_.count() != 0 || printer_.count() != 0 || source_.has_block() || printer_.has_block();
  }

  // Builds both lists once: 3 (nothing changed) when either list already has a count or a
  // block; 0 when there is no valid profile or memory fails; 1 when built.
  int BuildProfileLists(const ProfileScan& scan);
  // Builds the lists (BuildProfileLists); when they were built now and full is non-zero, marks
  // the profiles associated with the printer. 0 or 3 as the build answers, else 2 when full is
  // 0 and 1 when it is not.
  int RefreshProfileLists(int32_t full, const ProfileScan& scan, const char* printer_name);
  // Sets kEntryAssociated on the first printer entry named as the file part of path.
  void MarkAssociated(const wchar_t* path) const;

 private:
  ProfileList source_;
  ProfileList printer_;
};

// The enumeration callback of the printer's associated profiles; data is the ProfileLists.
// Always asks for the enumeration to go on.
int CALLBACK MarkAssociatedProfile(LPWSTR path, LPARAM data);

// The system's colour directory (empty when it cannot be had).
std::wstring SystemColourDirectory();
// The file name and extension of path.
std::wstring FileNameOfPath(const wchar_t* path);

}  // namespace kalimu::settings
