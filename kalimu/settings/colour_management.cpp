#include "kalimu/settings/colour_management.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <vector>

#include "kalimu/platform/text_helpers.h"

namespace kalimu::settings {
namespace {

constexpr size_t kStoredNameChars = std::extent_v<decltype(DevModeColorSettings::SourceProfile1ShortName)>;

using NameGetter = wchar_t* (DevModeAccessor::*)() const;
using NameSetter = void (DevModeAccessor::*)(const wchar_t*);
struct NameField {
  NameGetter get;
  NameSetter set;
};
constexpr NameField kSourceNameFields[3] = {
    {&DevModeAccessor::GetSourceProfile1ShortName, &DevModeAccessor::SetSourceProfile1ShortName},
    {&DevModeAccessor::GetSourceProfile2ShortName, &DevModeAccessor::SetSourceProfile2ShortName},
    {&DevModeAccessor::GetSourceProfile3ShortName, &DevModeAccessor::SetSourceProfile3ShortName},
};
constexpr NameField kPrinterNameFields[3] = {
    {&DevModeAccessor::GetPrinterProfile1ShortName, &DevModeAccessor::SetPrinterProfile1ShortName},
    {&DevModeAccessor::GetPrinterProfile2ShortName, &DevModeAccessor::SetPrinterProfile2ShortName},
    {&DevModeAccessor::GetPrinterProfile3ShortName, &DevModeAccessor::SetPrinterProfile3ShortName},
};
using IntentSetter = void (ColourRuleHooks::*)(uint32_t);
constexpr IntentSetter kIntentSetters[3] = {&ColourRuleHooks::SetRenderingIntent,
                                            &ColourRuleHooks::SetRenderingIntent2,
                                            &ColourRuleHooks::SetRenderingIntent3};

bool ValidPair(int pair) { return pair >= 1 && pair <= 3; }

// A stored field need not be terminated when the record came from elsewhere.
std::wstring FieldText(const wchar_t* field) { return std::wstring(field, wcsnlen(field, kStoredNameChars)); }

int CopyOut(wchar_t* buffer, uint32_t capacity, const wchar_t* text) {
  if (buffer == nullptr || capacity == 0) return 0;
  platform::CopyStringW(buffer, capacity, text);
  return 1;
}

bool HasAll(const ProfileEntry& entry, uint32_t flags) { return (entry.Flags & flags) == flags; }

bool HoldsMediaId(const ProfileEntry& entry, uint32_t media_id) {
  for (uint32_t id : entry.MediaIds)
    if (id == media_id) return true;
  return false;
}

}  // namespace

ColourManagement::ColourManagement(DevModeAccessor& record, ProfileLists lists, ColourRuleHooks& hooks,
                                   const char* printer_name, std::wstring colour_directory)
    : record_(record),
      lists_(lists),
      hooks_(hooks),
      printer_name_(printer_name),
      directory_(colour_directory.empty() ? SystemColourDirectory() : std::move(colour_directory)) {}

// --- Modes ----------------------------------------------------------------------------------

void ColourManagement::SetNoColorManagement() {
  if (Mode() == kNoColorManagement) return;
  record_.SetColorManagementMode(kNoColorManagement);
  record_.SetICMMethod(DMICMMETHOD_DRIVER);
  record_.SetProfileFlags(0);
  for (int pair = 0; pair < 3; ++pair) {
    (record_.*kSourceNameFields[pair].set)(L"");
    (record_.*kPrinterNameFields[pair].set)(L"");
  }
  for (IntentSetter set : kIntentSetters) (hooks_.*set)(kGenericRenderingIntent);
}

bool ColourManagement::EnterMode(uint32_t mode, uint32_t icm_method) {
  if (Mode() == mode) return false;
  record_.SetColorMode(1);
  record_.SetColorManagementMode(mode);
  record_.SetICMMethod(icm_method);
  return true;
}

void ColourManagement::SetHostIcmMode(int32_t full) {
  if (!EnterMode(kHostColorManagement, DMICMMETHOD_SYSTEM)) return;
  record_.SetProfileFlagBits(kProfilePairInUse[0], 1);
  record_.SetProfileFlagBits(kProfilePairInUse[1] | kProfilePairInUse[2] | kProfileChoiceUnrestricted, 0);
  CommonModeTail(full);
}

void ColourManagement::SetPerObjectIcmMode(int32_t full) {
  if (!EnterMode(kPerObjectColorManagement, DMICMMETHOD_DRIVER)) return;
  record_.SetProfileFlagBits(kAllProfilePairBits, 1);
  record_.SetSourceProfile2ShortName(L"");
  record_.SetSourceProfile3ShortName(L"");
  record_.SetProfileFlagBits(kProfilePairAutomatic[1] | kProfilePairAutomatic[2], 0);
  SetPrinterProfileName(2, L"");
  SetPrinterProfileName(3, L"");
  CommonModeTail(full);
}

void ColourManagement::SetDriverIcmMode(int32_t full) {
  if (!EnterMode(kDriverColorManagement, DMICMMETHOD_DRIVER)) return;
  record_.SetProfileFlagBits(kProfilePairInUse[0], 1);
  record_.SetProfileFlagBits(kProfilePairInUse[1] | kProfilePairInUse[2], 0);
  CommonModeTail(full);
}

void ColourManagement::CommonModeTail(int32_t full) {
  RefreshProfileLists(full);
  SelectDefaultSourceProfiles();
  SelectPrinterProfilesForMedia(full);
  hooks_.ApplyModeQualityLevel();
  record_.SetModeVariant(1);
  record_.SetMediaType(hooks_.GetCurrentMediaTypeId());
}

// --- Lists and entries ----------------------------------------------------------------------

int ColourManagement::RefreshProfileLists(int32_t full) {
  if (lists_.built()) return 3;  // the answer of every refresh after the first build
  uint8_t codes[kProfileInkCodeCapacity] = {};
  const uint32_t code_count = std::min<uint32_t>(hooks_.GetSelectedInkCodes(codes, kProfileInkCodeCapacity),
                                                 kProfileInkCodeCapacity);
  ProfileScan scan;
  scan.directory = directory_;
  // A record from elsewhere need not terminate the name within its field.
  const char* driver_name = record_.GetDriverName();
  scan.driver_name.assign(driver_name, strnlen(driver_name, kDriverNameBytes));
  scan.model_ink_codes = std::span<const uint8_t>(codes, code_count);
  scan.describe = full != 0;
  return lists_.RefreshProfileLists(full, scan, printer_name_);
}

uint32_t ColourManagement::GetSourceProfileCount(int32_t refresh) {
  if (refresh == 1) RefreshForUse();
  return lists_.source().count();
}

uint32_t ColourManagement::GetPrinterProfileCount(int32_t refresh) {
  if (refresh == 1) RefreshForUse();
  return lists_.printer().count();
}

int ColourManagement::CopyEntryText(const ProfileList& list, uint32_t index, bool description, wchar_t* buffer,
                                    uint32_t capacity) {
  const ProfileEntry* entry = list.At(index);
  if (entry == nullptr) return 0;
  return CopyOut(buffer, capacity, description ? entry->Description : entry->FileName);
}

int ColourManagement::GetSourceProfilePath(uint32_t index, wchar_t* buffer, uint32_t capacity, int32_t refresh) {
  if (refresh == 1) RefreshForUse();
  return CopyEntryText(lists_.source(), index, false, buffer, capacity);
}

int ColourManagement::GetPrinterProfilePath(uint32_t index, wchar_t* buffer, uint32_t capacity, int32_t refresh) {
  if (refresh == 1) RefreshForUse();
  return CopyEntryText(lists_.printer(), index, false, buffer, capacity);
}

int ColourManagement::GetSourceProfileName(uint32_t index, wchar_t* buffer, uint32_t capacity) {
  RefreshForUse();
  return CopyEntryText(lists_.source(), index, true, buffer, capacity);
}

int ColourManagement::GetPrinterProfileName(uint32_t index, wchar_t* buffer, uint32_t capacity) {
  RefreshForUse();
  return CopyEntryText(lists_.printer(), index, true, buffer, capacity);
}

int ColourManagement::EntryHasFlags(const ProfileList& list, uint32_t index, uint32_t mask) {
  RefreshForUse();
  const ProfileEntry* entry = list.At(index);
  return entry != nullptr && (entry->Flags & mask) != 0 ? 1 : 0;
}

int ColourManagement::SetEntryFlags(const ProfileList& list, uint32_t index, uint32_t mask, int32_t on,
                                    int32_t refresh) {
  if (refresh == 1) RefreshForUse();
  ProfileEntry* entry = list.At(index);
  if (entry == nullptr) return 0;
  entry->Flags = on != 0 ? (entry->Flags | mask) : (entry->Flags & ~mask);
  return 1;
}

int ColourManagement::DescriptionByName(const ProfileList& list, const wchar_t* file_name, wchar_t* buffer,
                                        uint32_t capacity) {
  RefreshForUse();
  const ProfileEntry* entry = list.Find(file_name);
  return entry != nullptr ? CopyOut(buffer, capacity, entry->Description) : 0;
}

uint32_t ColourManagement::IndexByName(const ProfileList& list, const wchar_t* file_name) {
  RefreshForUse();
  uint32_t index = 0;
  return list.Find(file_name, &index) != nullptr ? index : 0;
}

int ColourManagement::SourceProfileHasFlags(uint32_t index, uint32_t mask) {
  return EntryHasFlags(lists_.source(), index, mask);
}
int ColourManagement::PrinterProfileHasFlags(uint32_t index, uint32_t mask) {
  return EntryHasFlags(lists_.printer(), index, mask);
}
int ColourManagement::SetSourceProfileFlags(uint32_t index, uint32_t mask, int32_t on, int32_t refresh) {
  return SetEntryFlags(lists_.source(), index, mask, on, refresh);
}
int ColourManagement::SetPrinterProfileFlags(uint32_t index, uint32_t mask, int32_t on, int32_t refresh) {
  return SetEntryFlags(lists_.printer(), index, mask, on, refresh);
}
int ColourManagement::GetSourceProfileNameByPath(const wchar_t* file_name, wchar_t* buffer, uint32_t capacity) {
  return DescriptionByName(lists_.source(), file_name, buffer, capacity);
}
int ColourManagement::GetPrinterProfileNameByPath(const wchar_t* file_name, wchar_t* buffer, uint32_t capacity) {
  return DescriptionByName(lists_.printer(), file_name, buffer, capacity);
}
uint32_t ColourManagement::FindSourceProfile(const wchar_t* file_name) { return IndexByName(lists_.source(), file_name); }
uint32_t ColourManagement::FindPrinterProfile(const wchar_t* file_name) {
  return IndexByName(lists_.printer(), file_name);
}

int ColourManagement::FindStandardProfile(const wchar_t* file_name, uint32_t* index) {
  RefreshForUse();
  uint32_t found = 0;
  if (lists_.source().Find(file_name, &found) == nullptr) return 0;
  if (index != nullptr) *index = found;
  return 1;
}

int ColourManagement::FindSrgbProfile(uint32_t* index) { return FindStandardProfile(kSrgbProfileName, index); }
int ColourManagement::FindAdobeRgbProfile(uint32_t* index) { return FindStandardProfile(kAdobeRgbProfileName, index); }
int ColourManagement::FindColorMatchRgbProfile(uint32_t* index) {
  return FindStandardProfile(kColorMatchRgbProfileName, index);
}

int ColourManagement::PrinterProfileMatchesMedia(uint32_t index) {
  RefreshForUse();
  const ProfileEntry* entry = lists_.printer().At(index);
  return entry != nullptr && (entry->Flags & kEntryInkSetMatches) && HoldsMediaId(*entry, record_.GetMediaId()) ? 1 : 0;
}

int ColourManagement::IsPrinterProfileUsable(const wchar_t* file_name, int32_t need_associated) {
  RefreshForUse();
  const ProfileEntry* entry = lists_.printer().Find(file_name);
  if (entry == nullptr || !(entry->Flags & kEntryNamesDriver)) return 0;
  return need_associated == 0 || (entry->Flags & kEntryAssociated) ? 1 : 0;
}

int ColourManagement::IsPrinterProfileAssociated(const wchar_t* file_name) {
  RefreshForUse();
  const ProfileEntry* entry = lists_.printer().Find(file_name);
  return entry != nullptr && (entry->Flags & kEntryAssociated) ? 1 : 0;
}

int ColourManagement::IsPrinterProfileForInkSet(const wchar_t* file_name) {
  RefreshForUse();
  const ProfileEntry* entry = lists_.printer().Find(file_name);
  if (entry == nullptr) return 0;
  if (!(entry->Flags & kEntryHasMediaIds)) return 1;
  return (entry->Flags & kEntryInkSetMatches) ? 1 : 0;
}

int ColourManagement::IsGenericPrinterProfile(const wchar_t* file_name) {
  RefreshForUse();
  const ProfileEntry* entry = lists_.printer().Find(file_name);
  return entry != nullptr && (entry->Flags & (kEntryNamesDriver | kEntryHasMediaIds)) == kEntryNamesDriver ? 1 : 0;
}

int ColourManagement::IsSourceProfileListed(const wchar_t* file_name, int32_t unrestricted) {
  const ProfileEntry* entry = lists_.source().Find(file_name);
  if (entry == nullptr) return 0;
  if (unrestricted != 0) return 1;
  return (entry->Flags & kEntryStandardRgb) ? 1 : 0;
}

int ColourManagement::IsPrinterProfileListed(const wchar_t* file_name, int32_t unrestricted, int32_t automatic) {
  const ProfileEntry* entry = lists_.printer().Find(file_name);
  if (entry == nullptr) return 0;
  if (unrestricted != 0 && automatic != 1) return 1;
  return (entry->Flags & kEntryAssociated) ? 1 : 0;
}

// --- Selection ------------------------------------------------------------------------------

uint32_t ColourManagement::GetRenderingIntent() {
  return record_.TestProfileFlagBits(kProfilePairInUse[0]) ? record_.GetIntent1() : kGenericRenderingIntent;
}

int ColourManagement::GetSelectedSourceProfile(wchar_t* buffer, uint32_t capacity) {
  RefreshForUse();
  if (record_.TestProfileFlagBits(kProfilePairInUse[0])) {
    const std::wstring stored = StoredSourceProfile(1);
    if (lists_.source().Find(stored.c_str()) != nullptr) return CopyOut(buffer, capacity, stored.c_str());
  }
  return GetDefaultSourceProfile(buffer, capacity);
}

int ColourManagement::GetSelectedPrinterProfile(wchar_t* buffer, uint32_t capacity) {
  RefreshForUse();
  if (record_.TestProfileFlagBits(kProfilePairInUse[0])) {
    const std::wstring stored = StoredPrinterProfile(1);
    if (lists_.printer().Find(stored.c_str()) != nullptr) {
      CopyOut(buffer, capacity, stored.c_str());
      return record_.TestProfileFlagBits(kProfilePairAutomatic[0]);
    }
  }
  return FindPrinterProfileForMedia(buffer, capacity, 1);
}

int ColourManagement::GetDefaultSourceProfile(wchar_t* buffer, uint32_t capacity) {
  RefreshForUse();
  const ProfileList& list = lists_.source();
  const ProfileEntry* entry = list.FindIf([](const ProfileEntry& e) { return (e.Flags & kEntrySrgb) != 0; });
  if (entry == nullptr) entry = list.FindIf([](const ProfileEntry& e) { return (e.Flags & kEntryStandardRgb) != 0; });
  if (entry == nullptr) entry = list.At(0);
  if (entry == nullptr) return 0;
  return CopyOut(buffer, capacity, entry->FileName);
}

ProfileEntry* ColourManagement::FindPrinterEntryForMedia(uint32_t media_id, bool associated_only,
                                                         bool allow_foreign) {
  const ProfileList& list = lists_.printer();
  const auto considered = [associated_only](const ProfileEntry& e) {
    return !associated_only || (e.Flags & kEntryAssociated) != 0;
  };
  constexpr uint32_t kForMedia = kEntryNamesDriver | kEntryHasMediaIds | kEntryInkSetMatches;
  if (ProfileEntry* entry = list.FindIf([&](const ProfileEntry& e) {
        return considered(e) && HasAll(e, kForMedia) && HoldsMediaId(e, media_id);
      }))
    return entry;
  if (ProfileEntry* entry = list.FindIf([&](const ProfileEntry& e) {
        return considered(e) && (e.Flags & (kEntryNamesDriver | kEntryHasMediaIds)) == kEntryNamesDriver;
      }))
    return entry;
  if (!allow_foreign) return nullptr;
  return list.FindIf([&](const ProfileEntry& e) { return considered(e) && !(e.Flags & kEntryNamesDriver); });
}

int ColourManagement::FindPrinterProfileForMedia(wchar_t* buffer, uint32_t capacity, int32_t full) {
  RefreshProfileLists(full);
  if (!lists_.printer().has_block()) return 0;
  const ProfileEntry* entry = FindPrinterEntryForMedia(record_.GetMediaId(), full == 1, true);
  if (entry == nullptr) {
    CopyOut(buffer, capacity, L"");
    return 0;
  }
  CopyOut(buffer, capacity, entry->FileName);
  return (entry->Flags & kEntryNamesDriver) ? 1 : 0;
}

void ColourManagement::SelectDefaultSourceProfiles() {
  RefreshForUse();
  for (int pair = 1; pair <= 3; ++pair) {
    if (!record_.TestProfileFlagBits(kProfilePairInUse[pair - 1])) {
      SetSourceProfile(pair, L"");
      continue;
    }
    const std::wstring stored = StoredSourceProfile(pair);
    const ProfileEntry* entry = stored.empty() ? nullptr : lists_.source().Find(stored.c_str());
    if (entry != nullptr &&
        (record_.TestProfileFlagBits(kProfileChoiceUnrestricted) || (entry->Flags & kEntryStandardRgb)))
      continue;
    wchar_t name[kProfileNameChars] = {};
    if (GetDefaultSourceProfile(name, kProfileNameChars)) SetSourceProfile(pair, name);
  }
}

void ColourManagement::SelectPrinterProfilesForMedia(int32_t full) {
  RefreshProfileLists(full);
  wchar_t candidate[kProfileNameChars] = {};
  const int automatic = FindPrinterProfileForMedia(candidate, kProfileNameChars, full);
  for (int pair = 1; pair <= 3; ++pair) {
    const uint32_t automatic_bit = kProfilePairAutomatic[pair - 1];
    if (!record_.TestProfileFlagBits(kProfilePairInUse[pair - 1])) {
      record_.SetProfileFlagBits(automatic_bit, 0);
      SetPrinterProfileName(pair, L"");
      continue;
    }
    const std::wstring stored = StoredPrinterProfile(pair);
    const ProfileEntry* entry = stored.empty() ? nullptr : lists_.printer().Find(stored.c_str());
    if (entry != nullptr && !record_.TestProfileFlagBits(automatic_bit) &&
        (record_.TestProfileFlagBits(kProfileChoiceUnrestricted) ||
         (entry->Flags & (kEntryAssociated | kEntryNamesDriver)) == kEntryAssociated))
      continue;
    record_.SetProfileFlagBits(automatic_bit, automatic);
    SetPrinterProfile(pair, candidate);
  }
}

void ColourManagement::SetPrinterProfile(int pair, const wchar_t* file_name) {
  if (!ValidPair(pair)) return;
  if (IsGenericPrinterProfile(file_name) == 1) (hooks_.*kIntentSetters[pair - 1])(kGenericRenderingIntent);
  SetPrinterProfileName(pair, file_name);
  if (pair == 1 && Mode() == kPerObjectColorManagement) {
    const int automatic = record_.TestProfileFlagBits(kProfilePairAutomatic[0]);
    record_.SetProfileFlagBits(kProfilePairAutomatic[1] | kProfilePairAutomatic[2], automatic);
    SetPrinterProfileName(2, file_name);
    SetPrinterProfileName(3, file_name);
  }
}

int ColourManagement::GetPrinterProfileAnsiPath(uint32_t media_id, char* buffer, uint64_t* length) {
  if (length == nullptr) return 0;
  RefreshForUse();
  const ProfileEntry* entry = FindPrinterEntryForMedia(media_id, false, false);
  if (entry == nullptr) return 0;
  const std::wstring path = directory_ + L"\\" + entry->FileName;
  const int needed = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return 0;
  if (buffer == nullptr) {
    *length = static_cast<uint64_t>(needed) + 1;
    return 1;
  }
  if (static_cast<uint64_t>(needed) >= *length) return 0;
  return WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, buffer, needed, nullptr, nullptr) > 0 ? 1 : 0;
}

// --- Stored names ---------------------------------------------------------------------------

// The file part of the colour directory's path for name in the other form (long or short); the
// name as given when the file system cannot give that form.
std::wstring ColourManagement::ProfileNameForm(PathForm form, const wchar_t* name) const {
  if (name == nullptr || name[0] == L'\0') return {};
  std::wstring path = directory_ + L"\\" + name;
  wchar_t converted[MAX_PATH] = {};
  const DWORD written = form(path.c_str(), converted, MAX_PATH);
  if (written != 0 && written < MAX_PATH) path = converted;
  return FileNameOfPath(path.c_str());
}

std::wstring ColourManagement::LongProfileName(const wchar_t* short_name) const {
  return ProfileNameForm(GetLongPathNameW, short_name);
}

std::wstring ColourManagement::ShortProfileName(const wchar_t* file_name) const {
  return ProfileNameForm(GetShortPathNameW, file_name);
}

std::wstring ColourManagement::StoredSourceProfile(int pair) const {
  return LongProfileName(FieldText((record_.*kSourceNameFields[pair - 1].get)()).c_str());
}

std::wstring ColourManagement::StoredPrinterProfile(int pair) const {
  return LongProfileName(FieldText((record_.*kPrinterNameFields[pair - 1].get)()).c_str());
}

void ColourManagement::GetSourceProfile(int pair, wchar_t* buffer, uint32_t capacity) {
  if (ValidPair(pair)) CopyOut(buffer, capacity, StoredSourceProfile(pair).c_str());
}

void ColourManagement::GetPrinterProfile(int pair, wchar_t* buffer, uint32_t capacity) {
  if (ValidPair(pair)) CopyOut(buffer, capacity, StoredPrinterProfile(pair).c_str());
}

void ColourManagement::SetSourceProfile(int pair, const wchar_t* file_name) {
  if (!ValidPair(pair)) return;
  const std::wstring stored = ShortProfileName(file_name);
  (record_.*kSourceNameFields[pair - 1].set)(stored.c_str());
  if (pair == 1 && Mode() == kPerObjectColorManagement) {
    record_.SetSourceProfile2ShortName(stored.c_str());
    record_.SetSourceProfile3ShortName(stored.c_str());
  }
}

void ColourManagement::SetPrinterProfileName(int pair, const wchar_t* file_name) {
  if (!ValidPair(pair)) return;
  (record_.*kPrinterNameFields[pair - 1].set)(ShortProfileName(file_name).c_str());
}

// --- Checks ---------------------------------------------------------------------------------

bool ColourManagement::PairListed(const std::wstring& printer, const std::wstring& source, uint32_t flags, int pair) {
  const int32_t unrestricted = (flags & kProfileChoiceUnrestricted) ? 1 : 0;
  const int32_t automatic = (flags & kProfilePairAutomatic[pair - 1]) ? 1 : 0;
  return IsPrinterProfileListed(printer.c_str(), unrestricted, automatic) != 0 &&
         IsSourceProfileListed(source.c_str(), unrestricted) != 0;
}

int ColourManagement::CheckProfilesMissing() {
  if (Mode() == kNoColorManagement) return 0;
  if (RefreshProfileLists(1) == 0) return 1;
  for (int pair = 1; pair <= 3; ++pair) {
    if (!record_.TestProfileFlagBits(kProfilePairInUse[pair - 1])) continue;
    const uint32_t automatic_bit = kProfilePairAutomatic[pair - 1];
    std::wstring printer = StoredPrinterProfile(pair);
    if (record_.TestProfileFlagBits(automatic_bit) && IsPrinterProfileForInkSet(printer.c_str()) == 0) {
      wchar_t renewed[kProfileNameChars] = {};
      platform::CopyStringW(renewed, kProfileNameChars, printer.c_str());
      record_.SetProfileFlagBits(automatic_bit, FindPrinterProfileForMedia(renewed, kProfileNameChars, 1));
      SetPrinterProfile(pair, renewed);
      printer = renewed;
    }
    if (!PairListed(printer, StoredSourceProfile(pair), record_.GetProfileFlags(), pair)) return 1;
  }
  return 0;
}

int ColourManagement::CheckStoredProfiles(uint32_t mode, uint32_t profile_flags, const ProfileChoice& choice) {
  if (mode == kNoColorManagement) return 0;
  if (RefreshProfileLists(1) == 0) return 1;
  for (int pair = 1; pair <= 3; ++pair) {
    if (!(profile_flags & kProfilePairInUse[pair - 1])) continue;
    if (!PairListed(choice.printer[pair - 1], choice.source[pair - 1], profile_flags, pair)) return 1;
  }
  return 0;
}

int ColourManagement::IsProfileSelectionValid() {
  if (Mode() == kNoColorManagement) return 0;
  if (RefreshProfileLists(0) == 0) return 0;
  for (int pair = 1; pair <= 3; ++pair) {
    if (!record_.TestProfileFlagBits(kProfilePairInUse[pair - 1])) continue;
    const std::wstring printer = StoredPrinterProfile(pair);
    const ProfileEntry* entry = printer.empty() ? nullptr : lists_.printer().Find(printer.c_str());
    if (entry != nullptr && (!(entry->Flags & kEntryNamesDriver) || (entry->Flags & kEntryHasMediaIds))) return 1;
  }
  return 0;
}

}  // namespace kalimu::settings
