#include "kalimu/settings/profile_list.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::settings {
namespace {

struct FindTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE find) { FindClose(find); }
};
using UniqueFind = platform::UniqueHandle<FindTraits>;

struct DcTraits {
  using Handle = HDC;
  static HDC Empty() { return nullptr; }
  static void Close(HDC dc) { DeleteDC(dc); }
};
using UniqueDc = platform::UniqueHandle<DcTraits>;

void ReadInkCodes(HPROFILE profile, ProfileEntry& entry, std::span<const uint8_t> model_codes) {
  std::fill(std::begin(entry.InkCodes), std::end(entry.InkCodes), uint8_t{0});
  entry.InkCodeLength = 0;
  const auto tag = ReadProfileTag(profile, kTagInkCodes);
  if (!tag) return;
  const auto codes = ParseInkCodesTag(*tag);
  if (!codes) return;
  std::copy(codes->begin(), codes->end(), entry.InkCodes);
  entry.InkCodeLength = static_cast<uint16_t>(codes->size());
  // Codes beyond those the model supplied have no value to compare with: such a tag never matches.
  if (codes->size() <= model_codes.size() &&
      std::equal(codes->begin(), codes->end(), model_codes.begin()))
    entry.Flags |= kEntryInkSetMatches;
}

void ReadMediaIds(HPROFILE profile, ProfileEntry& entry) {
  const auto tag = ReadProfileTag(profile, kTagMediaIds);
  if (!tag) return;
  const auto ids = ParseMediaIdTag(*tag);
  std::copy(ids.begin(), ids.end(), entry.MediaIds);
  entry.Flags |= kEntryHasMediaIds;
}

// Whether the profile carries a "drvn" tag; sets kEntryNamesDriver when it names the driver.
bool ReadDriverNames(HPROFILE profile, ProfileEntry& entry, const char* driver_name) {
  const auto tag = ReadProfileTag(profile, kTagDriverNames);
  if (!tag) return false;
  if (DriverNamesTagNames(*tag, driver_name)) entry.Flags |= kEntryNamesDriver;
  return true;
}

void ReadDescription(HPROFILE profile, ProfileEntry& entry) {
  char text[MAX_PATH] = {};
  ReadProfileDescription(profile, text, sizeof(text));
  const auto wide = platform::WideFromAnsi(text);
  platform::CopyStringW(entry.Description, MAX_PATH, wide ? wide->c_str() : L"");
}

}  // namespace

bool SameProfileName(const wchar_t* a, const wchar_t* b) {
  return a != nullptr && b != nullptr && _wcsicmp(a, b) == 0;
}

std::wstring FileNameOfPath(const wchar_t* path) {
  if (path == nullptr) return {};
  wchar_t name[_MAX_FNAME] = {};
  wchar_t extension[_MAX_EXT] = {};
  if (_wsplitpath_s(path, nullptr, 0, nullptr, 0, name, _MAX_FNAME, extension, _MAX_EXT) != 0) return {};
  return std::wstring(name) + extension;
}

std::wstring SystemColourDirectory() {
  wchar_t directory[MAX_PATH] = {};
  DWORD size = sizeof(directory);
  if (!GetColorDirectoryW(nullptr, directory, &size)) return {};
  directory[MAX_PATH - 1] = L'\0';
  return directory;
}

ProfileEntry* ProfileList::At(uint32_t index) const {
  if (index >= count() || !block_->held()) return nullptr;
  if ((size_t{index} + 1) * sizeof(ProfileEntry) > block_->size()) return nullptr;
  return reinterpret_cast<ProfileEntry*>(block_->data()) + index;
}

ProfileEntry* ProfileList::Find(const wchar_t* file_name, uint32_t* index) const {
  for (uint32_t i = 0; ProfileEntry* entry = At(i); ++i) {
    if (SameProfileName(entry->FileName, file_name)) {
      if (index != nullptr) *index = i;
      return entry;
    }
  }
  return nullptr;
}

void FillProfileEntry(HPROFILE profile, ProfileEntry& entry, bool read_private_tags, const ProfileScan& scan) {
  entry.Flags = 0;
  std::fill(std::begin(entry.MediaIds), std::end(entry.MediaIds), 0u);
  if (profile == nullptr) return;
  if (ReadProfileClass(profile) == kClassOutputDevice) entry.Flags |= kEntryOutputDevice;
  entry.Flags |= kEntryValid;
  if (read_private_tags && ReadDriverNames(profile, entry, scan.driver_name.c_str())) {
    ReadInkCodes(profile, entry, scan.model_ink_codes);
    ReadMediaIds(profile, entry);
  }
  if (scan.describe) ReadDescription(profile, entry);
  if (SameProfileName(entry.FileName, kSrgbProfileName)) {
    entry.Flags |= kEntrySrgb | kEntryStandardRgb;
  } else if (SameProfileName(entry.FileName, kAdobeRgbProfileName) ||
             SameProfileName(entry.FileName, kColorMatchRgbProfileName)) {
    entry.Flags |= kEntryStandardRgb;
  }
}

ScanResult ScanColorDirectory(const ProfileScan& scan, std::span<ProfileEntry> entries) {
  ScanResult result;
  if (scan.directory.empty()) return result;
  WIN32_FIND_DATAW found{};
  UniqueFind find(FindFirstFileW((scan.directory + L"\\*.*").c_str(), &found));
  if (!find.valid()) return result;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;  // also "." and ".."
    found.cFileName[MAX_PATH - 1] = L'\0';
    const std::wstring path = scan.directory + L"\\" + found.cFileName;
    const UniqueColorProfile profile = OpenProfileFile(path.c_str());
    if (!profile.valid() || !IsProfileValid(profile.get())) continue;
    if (!entries.empty()) {
      if (result.valid >= entries.size()) break;
      ProfileEntry& entry = entries[result.valid];
      platform::CopyStringW(entry.FileName, MAX_PATH, found.cFileName);
      FillProfileEntry(profile.get(), entry, true, scan);
      if (entry.Flags & kEntryValid) ++result.source;
      if (entry.Flags & kEntryOutputDevice) ++result.printer;
    }
    ++result.valid;
  } while (FindNextFileW(find.get(), &found));
  return result;
}

int ProfileLists::BuildProfileLists(const ProfileScan& scan) {
  if (built()) return 3;
  const uint32_t valid = ScanColorDirectory(scan, {}).valid;
  if (valid == 0) return 0;
  platform::GlobalBlock scratch;
  if (!scratch.Allocate(size_t{valid} * sizeof(ProfileEntry))) return 0;
  const std::span<ProfileEntry> entries(reinterpret_cast<ProfileEntry*>(scratch.data()), valid);
  const ScanResult filled = ScanColorDirectory(scan, entries);
  *source_.count_ = static_cast<int32_t>(filled.source);
  *printer_.count_ = static_cast<int32_t>(filled.printer);

  // A failed allocation keeps the counts the scan set, without blocks.
  if (filled.source != 0 && !source_.block_->Allocate(size_t{filled.source} * sizeof(ProfileEntry))) return 0;
  if (filled.printer != 0 && !printer_.block_->Allocate(size_t{filled.printer} * sizeof(ProfileEntry))) {
    source_.block_->Reset();
    return 0;
  }
  auto* source_entries = reinterpret_cast<ProfileEntry*>(source_.block_->data());
  auto* printer_entries = reinterpret_cast<ProfileEntry*>(printer_.block_->data());
  for (const ProfileEntry& entry : entries.first(filled.valid)) {
    if (entry.Flags & kEntryValid) *source_entries++ = entry;
    if (entry.Flags & kEntryOutputDevice) *printer_entries++ = entry;
  }
  return 1;
}

int ProfileLists::RefreshProfileLists(int32_t full, const ProfileScan& scan, const char* printer_name) {
  const int built = BuildProfileLists(scan);
  if (built == 0 || built == 3) return built;
  if (full == 0) return 2;
  if (printer_.count() != 0) {
    const UniqueDc context(CreateICA("WINSPOOL", printer_name, nullptr, nullptr));
    if (context.valid()) EnumICMProfilesW(context.get(), MarkAssociatedProfile, reinterpret_cast<LPARAM>(this));
  }
  return 1;
}

void ProfileLists::MarkAssociated(const wchar_t* path) const {
  const std::wstring name = FileNameOfPath(path);
  if (ProfileEntry* entry = printer_.Find(name.c_str())) entry->Flags |= kEntryAssociated;
}

int CALLBACK MarkAssociatedProfile(LPWSTR path, LPARAM data) {
  if (data != 0) reinterpret_cast<const ProfileLists*>(data)->MarkAssociated(path);
  return 1;
}

}  // namespace kalimu::settings
