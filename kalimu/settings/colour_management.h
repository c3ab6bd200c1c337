// Colour management of a job: the four modes, the three profile pairs kept in the device mode,
// the choice of default source profiles and of media-specific printer profiles, and the checks
// of a stored choice against the profiles that are installed.
//
// ColourManagement works over the record, the profile lists its settings object holds and the
// few rules of that object it needs (ColourRuleHooks); it holds nothing of its own beyond the
// colour directory, so the settings object makes one whenever it is asked.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "kalimu/settings/dev_mode_accessor.h"
#include "kalimu/settings/profile_list.h"

namespace kalimu::settings {

// ColorManagementMode values.
inline constexpr uint32_t kNoColorManagement = 0;
inline constexpr uint32_t kHostColorManagement = 1;      // dmICMMethod DMICMMETHOD_SYSTEM
inline constexpr uint32_t kPerObjectColorManagement = 2;  // three pairs, one per kind of object
inline constexpr uint32_t kDriverColorManagement = 3;     // one pair

// ProfileFlags bits.
inline constexpr uint32_t kProfileChoiceUnrestricted = 0x4;
inline constexpr uint32_t kProfilePairInUse[3] = {0x8, 0x10, 0x20};
inline constexpr uint32_t kProfilePairAutomatic[3] = {0x40, 0x80, 0x100};
inline constexpr uint32_t kAllProfilePairBits = 0x8 | 0x10 | 0x20;

// The intent set with every generic printer profile and when colour management is switched off.
inline constexpr uint32_t kGenericRenderingIntent = DMICM_CONTRAST;
inline constexpr uint32_t kProfileNameChars = MAX_PATH;

// The settings object's own rules that colour management calls.
class ColourRuleHooks {
 public:
  // Intent of pair 1 (also dmICMIntent, and pairs 2 and 3 in per-object mode), pair 2, pair 3.
  virtual void SetRenderingIntent(uint32_t intent) = 0;
  virtual void SetRenderingIntent2(uint32_t intent) = 0;
  virtual void SetRenderingIntent3(uint32_t intent) = 0;
  // Stores the quality level the current print mode prescribes, with its rules.
  virtual void ApplyModeQualityLevel() = 0;
  // The media id of the current media record.
  virtual uint32_t GetCurrentMediaTypeId() = 0;
  // The model's selected ink codes: up to count bytes; answers the number copied.
  virtual uint32_t GetSelectedInkCodes(uint8_t* buffer, uint16_t count) = 0;

 protected:
  ~ColourRuleHooks() = default;
};

// The six profile names of a stored choice, as long file names (pair n at index n - 1).
struct ProfileChoice {
  std::wstring source[3];
  std::wstring printer[3];
};

// The operations the settings object offers under the same names and arguments, one row each:
// X(result, name, (parameters), (arguments)). full / refresh 1 asks the list build (done once)
// for descriptions and association marks; an index at or beyond a list's count leaves the
// buffers untouched and answers 0.
#define KALIMU_COLOUR_OPERATIONS(X)                                                                  \
  /* Modes */                                                                                        \
  X(void, SetNoColorManagement, (), ())                                                              \
  X(void, SetHostIcmMode, (int32_t full), (full))                                                    \
  X(void, SetPerObjectIcmMode, (int32_t full), (full))                                               \
  X(void, SetDriverIcmMode, (int32_t full), (full))                                                  \
  /* Lists and entries */                                                                            \
  X(int, RefreshProfileLists, (int32_t full), (full))                                                \
  X(uint32_t, GetSourceProfileCount, (int32_t refresh), (refresh))                                   \
  X(uint32_t, GetPrinterProfileCount, (int32_t refresh), (refresh))                                  \
  X(int, GetSourceProfilePath, (uint32_t index, wchar_t* buffer, uint32_t capacity, int32_t refresh), \
    (index, buffer, capacity, refresh))                                                              \
  X(int, GetPrinterProfilePath, (uint32_t index, wchar_t* buffer, uint32_t capacity, int32_t refresh), \
    (index, buffer, capacity, refresh))                                                              \
  X(int, GetSourceProfileName, (uint32_t index, wchar_t* buffer, uint32_t capacity), (index, buffer, capacity)) \
  X(int, GetPrinterProfileName, (uint32_t index, wchar_t* buffer, uint32_t capacity), (index, buffer, capacity)) \
  X(int, SourceProfileHasFlags, (uint32_t index, uint32_t mask), (index, mask))                      \
  X(int, PrinterProfileHasFlags, (uint32_t index, uint32_t mask), (index, mask))                     \
  X(int, SetSourceProfileFlags, (uint32_t index, uint32_t mask, int32_t on, int32_t refresh),        \
    (index, mask, on, refresh))                                                                      \
  X(int, SetPrinterProfileFlags, (uint32_t index, uint32_t mask, int32_t on, int32_t refresh),       \
    (index, mask, on, refresh))                                                                      \
  X(int, GetSourceProfileNameByPath, (const wchar_t* file_name, wchar_t* buffer, uint32_t capacity), \
    (file_name, buffer, capacity))                                                                   \
  X(int, GetPrinterProfileNameByPath, (const wchar_t* file_name, wchar_t* buffer, uint32_t capacity), \
    (file_name, buffer, capacity))                                                                   \
  /* The index of the first entry with that name; 0 when none (as for a match at index 0). */      \
  X(uint32_t, FindSourceProfile, (const wchar_t* file_name), (file_name))                            \
  X(uint32_t, FindPrinterProfile, (const wchar_t* file_name), (file_name))                           \
  X(int, FindSrgbProfile, (uint32_t* index), (index))                                                \
  X(int, FindAdobeRgbProfile, (uint32_t* index), (index))                                            \
  X(int, FindColorMatchRgbProfile, (uint32_t* index), (index))                                       \
  X(int, PrinterProfileMatchesMedia, (uint32_t index), (index))                                      \
  X(int, IsPrinterProfileUsable, (const wchar_t* file_name, int32_t need_associated),                \
    (file_name, need_associated))                                                                    \
  X(int, IsPrinterProfileAssociated, (const wchar_t* file_name), (file_name))                        \
  X(int, IsPrinterProfileForInkSet, (const wchar_t* file_name), (file_name))                         \
  X(int, IsGenericPrinterProfile, (const wchar_t* file_name), (file_name))                           \
  X(int, IsSourceProfileListed, (const wchar_t* file_name, int32_t unrestricted), (file_name, unrestricted)) \
  X(int, IsPrinterProfileListed, (const wchar_t* file_name, int32_t unrestricted, int32_t automatic), \
    (file_name, unrestricted, automatic))                                                            \
  /* Selection; GetSelectedPrinterProfile answers 1 for a profile chosen automatically for */       \
  /* the media, FindPrinterProfileForMedia 1 for a driver profile. */                                \
  X(uint32_t, GetRenderingIntent, (), ())                                                            \
  X(int, GetSelectedSourceProfile, (wchar_t* buffer, uint32_t capacity), (buffer, capacity))         \
  X(int, GetSelectedPrinterProfile, (wchar_t* buffer, uint32_t capacity), (buffer, capacity))        \
  X(int, GetDefaultSourceProfile, (wchar_t* buffer, uint32_t capacity), (buffer, capacity))          \
  X(int, FindPrinterProfileForMedia, (wchar_t* buffer, uint32_t capacity, int32_t full),             \
    (buffer, capacity, full))                                                                        \
  X(void, SelectDefaultSourceProfiles, (), ())                                                       \
  X(void, SelectPrinterProfilesForMedia, (int32_t full), (full))                                     \
  X(int, GetPrinterProfileAnsiPath, (uint32_t media_id, char* buffer, uint64_t* length),             \
    (media_id, buffer, length))                                                                      \
  /* Checks */                                                                                       \
  X(int, CheckProfilesMissing, (), ())                                                               \
  X(int, IsProfileSelectionValid, (), ())

class ColourManagement {
 public:
  // colour_directory empty: the system's colour directory.
  ColourManagement(DevModeAccessor& record, ProfileLists lists, ColourRuleHooks& hooks,
                   const char* printer_name, std::wstring colour_directory = {});

#define KALIMU_COLOUR_DECLARATION(Result, Name, Parameters, Arguments) Result Name Parameters;
  KALIMU_COLOUR_OPERATIONS(KALIMU_COLOUR_DECLARATION)
#undef KALIMU_COLOUR_DECLARATION

  // Pair 1..3: chooses the printer profile (intent 2 for a generic driver profile; in per-object
  // mode pair 1 carries its name and automatic bit to pairs 2 and 3).
  void SetPrinterProfile(int pair, const wchar_t* file_name);

  // --- Stored names (long names out, 8.3 names stored) -------------------------------------
  void GetSourceProfile(int pair, wchar_t* buffer, uint32_t capacity);
  // Pair 1 in per-object mode also stores the name as pairs 2 and 3.
  void SetSourceProfile(int pair, const wchar_t* file_name);
  void GetPrinterProfile(int pair, wchar_t* buffer, uint32_t capacity);
  void SetPrinterProfileName(int pair, const wchar_t* file_name);
  // The long name of a stored 8.3 name: empty stays empty, a name whose file is gone comes back
  // as stored. The short form of a file name, as it is stored.
  std::wstring LongProfileName(const wchar_t* short_name) const;
  std::wstring ShortProfileName(const wchar_t* file_name) const;

  // The check of CheckProfilesMissing for a stored choice (a user preset's), renewing nothing.
  int CheckStoredProfiles(uint32_t mode, uint32_t profile_flags, const ProfileChoice& choice);

  const std::wstring& colour_directory() const { return directory_; }

 private:
  uint32_t Mode() const { return record_.GetColorManagementMode(); }
  void RefreshForUse() { RefreshProfileLists(1); }
  // Switches to an on mode with its ICM method; false (nothing done) when it is the mode already.
  bool EnterMode(uint32_t mode, uint32_t icm_method);
  void CommonModeTail(int32_t full);
  int EntryHasFlags(const ProfileList& list, uint32_t index, uint32_t mask);
  int SetEntryFlags(const ProfileList& list, uint32_t index, uint32_t mask, int32_t on, int32_t refresh);
  int DescriptionByName(const ProfileList& list, const wchar_t* file_name, wchar_t* buffer, uint32_t capacity);
  uint32_t IndexByName(const ProfileList& list, const wchar_t* file_name);
  // Whether a pair's stored profiles are listed (steps shared by both checks).
  bool PairListed(const std::wstring& printer, const std::wstring& source, uint32_t flags, int pair);
  int CopyEntryText(const ProfileList& list, uint32_t index, bool description, wchar_t* buffer,
                    uint32_t capacity);
  int FindStandardProfile(const wchar_t* file_name, uint32_t* index);
  ProfileEntry* FindPrinterEntryForMedia(uint32_t media_id, bool associated_only, bool allow_foreign);
  using PathForm = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
  std::wstring ProfileNameForm(PathForm form, const wchar_t* name) const;
  std::wstring StoredSourceProfile(int pair) const;
  std::wstring StoredPrinterProfile(int pair) const;

  DevModeAccessor& record_;
  ProfileLists lists_;
  ColourRuleHooks& hooks_;
  const char* printer_name_;
  std::wstring directory_;
};

}  // namespace kalimu::settings
