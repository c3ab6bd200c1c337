// JobSettings: the object through which every entry point, page and dialog reads and changes a
// print job's settings. One object stands for one open printer and one DriverDevMode record
// (the caller's, used in place, or its own); it combines the record's accessor, the model's
// capability database and the user files.
//
// The operations are split by concern over several files:
//   job_settings.cpp            construction, the factory, names and the object's own state
//   job_settings_predicates.cpp questions about the settings, lookups by id, option bits
//   job_settings_files.cpp      driver data file, sibling modules and numbered stored values
//   job_settings_presets.cpp    presets, current mode and media, paper indexes, adjustments
//   job_settings_lists.cpp      name lists, the output paper and the scale computations
//   job_settings_printer.cpp    the printer's stored record, the ink-set switch, watermarks
//   job_settings_options.cpp    stored options and the driver data file's other settings
//   job_settings_defaults.cpp   the default record and the watermark defaults
//   job_settings_colour.cpp     colour management and the profile lists
//   job_settings_sources.cpp    paper-source compatibility and the check of a selection
//   job_settings_papers.cpp     paper lists per source, paper lookups, the custom paper size
//   job_settings_layout.cpp     layout flags, scaling choice, binding offsets, watermark box
//   job_settings_geometry.cpp   page geometry, the scaling formulas, resolution from the mode
//   job_settings_presets_select.cpp  preset selection by change, source and search window
//   job_settings_mode_rules.cpp print-mode, colour-mode and quality rules, the best-mode search
//   job_settings_dispatch.cpp   the change dispatcher and the mode-change handlers
//   job_settings_source_rules.cpp the rules of a paper-source change
//   job_settings_paper_rules.cpp  paper-change, duplex, binding and layout-option rules
//   job_settings_changes.cpp    paper, source, scaling, pages-per-sheet and orientation changes
//   job_settings_merge.cpp      the merge of an incoming record
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "kalimu/model/cfg_records.h"
#include "kalimu/model/model_capabilities.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/settings/colour_management.h"
#include "kalimu/settings/dev_mode_accessor.h"
#include "kalimu/settings/mode_option_record.h"
#include "kalimu/settings/page_layout.h"
#include "kalimu/settings/selection_snapshot.h"
#include "kalimu/settings/settings_stores.h"
#include "kalimu/storage/watermark_records.h"

namespace kalimu::settings {

inline constexpr size_t kPrinterNameChars = MAX_PATH;  // the printer-name field
inline constexpr size_t kSourceNameChars = 24;         // one slot of GetSourceNames
inline constexpr size_t kMediaNameChars = 64;          // one slot of GetMediaNames
inline constexpr size_t kPaperNameChars = 64;          // GetCurrentPaperName
inline constexpr char kIniMissingDefault[] = "ERROR_DEFAULT";

// Where the rules look for a paper: FindPaperForCurrentSource's kind.
enum PaperKind : int { kNoPaper = 0, kModelPaper = 1, kUserPaper = 2 };

class JobSettings : public DevModeAccessor, public SettingsStores, public virtual model::ModelCapabilities {
 public:
  // dev_mode: a whole 1048-byte record to use in place, or null for a record of the object's
  // own. printer: an open printer handle (never closed here). Null names are taken from the
  // printer. Check IsValid before use; CreateJobSettings hands out valid objects only.
  JobSettings(void* dev_mode, HANDLE printer, const char* printer_name, const char* driver_name);
  ~JobSettings() override;
  JobSettings(const JobSettings&) = delete;
  JobSettings& operator=(const JobSettings&) = delete;

  // --- The object (job_settings.cpp) --------------------------------------------------------
  int IsValid() const { return valid_; }
  char* GetPrinterName() { return printer_name_; }
  const char* GetPrinterName() const { return printer_name_; }
  void SetPrinterName(const char* name);
  uint32_t GetSheetState() const { return sheet_state_; }
  void SetSheetState(uint32_t state) { sheet_state_ = static_cast<uint16_t>(state); }
  HANDLE GetPrinterHandle() const { return printer_; }
  // 1 when the printer's stored record has this driver's header and name and was taken whole.
  int AdoptPrinterDevMode(HANDLE printer);
  // The defaults for the record's own driver name, then dmDeviceName = the printer name.
  int ResetToDefaults();
  int SetDefaults(const char* driver_name);
  void NoOperation() {}
  int GetHiddenModes() const { return hidden_modes_; }
  void SetHiddenModes(int on) { hidden_modes_ = on != 0 ? 1 : 0; }

  // --- Predicates, lookups and option bits (job_settings_predicates.cpp) --------------------
  void SetCutOptionBit1(int on) { SetCutOptionBits(1, on); }
  void SetCutOptionBit2(int on) { SetCutOptionBits(2, on); }
  void SetCutOptionBit8(int on) { SetCutOptionBits(8, on); }
  void SetPaperOptionBit2(int on) { SetPaperOptionBits(2, on); }
  void SetPaperOptionBit4(int on) { SetPaperOptionBits(4, on); }
  void SetPaperOptionBit32(int on) { SetPaperOptionBits(32, on); }
  void SetPaperOptionBit64(int on) { SetPaperOptionBits(64, on); }
  void SetPaperOptionBit256Inverted(int on);
  void SetLayoutOptionBit64(int on) { SetLayoutOptionBits(64, on); }
  int HasLayoutOptionBit16() const { return TestLayoutOptionBits(16); }
  int HasLayoutOptionBit32() const { return TestLayoutOptionBits(32); }
  int HasLayoutOptionBit64() const { return TestLayoutOptionBits(64); }
  int HasJobOptionBit256() const { return TestJobOptionBits(256); }
  int IsReverseOrder() const { return TestLayoutOptionBits(128); }
  int IsRotated180() const;
  int IsWatermarkOn() const { return TestWatermarkFlagBits(1); }
  int IsCollateOn() const { return GetCollate() == 1 ? 1 : 0; }
  int IsCorrectionOptionOn() const { return GetCorrectionOption() != 0 ? 1 : 0; }
  int IsPosterLayout() const { return GetPagesPerSheet() < 0 ? 1 : 0; }

  void SetPresetKind0() { SetPresetKind(0); }
  void SetPresetKind1() { SetPresetKind(1); }
  void SetPresetKind2() { SetPresetKind(2); }
  void SetPresetKind3() { SetPresetKind(3); }
  void SetPresetKind4() { SetPresetKind(4); }
  void SetPresetKind5() { SetPresetKind(5); }
  int IsPresetKind0() const { return GetPresetKind() == 0 ? 1 : 0; }
  int IsPresetKind2() const { return GetPresetKind() == 2 ? 1 : 0; }
  int IsPresetKind5() const { return GetPresetKind() == 5 ? 1 : 0; }
  int IsPresetKind1Or4() const;

  int IsDuplexOn() const;
  int IsDuplexWithOption1() const { return IsDuplexOn() && TestDuplexOptionBits(1) ? 1 : 0; }
  int IsDuplexWithoutOption1() const { return IsDuplexOn() && !TestDuplexOptionBits(1) ? 1 : 0; }
  int IsDuplexWithOption4() const { return IsDuplexOn() && TestDuplexOptionBits(4) ? 1 : 0; }
  void SetDuplexOption4(int on) { SetDuplexOptionBits(4, on); }
  void SetBindingEdge0();
  void SetBindingEdge1();
  void SetBindingEdge2();
  int IsBindingEdge0() const { return IsBindingEdge(0); }
  int IsBindingEdge1() const { return IsBindingEdge(1); }
  int IsBindingEdge2() const { return IsBindingEdge(2); }
  int IsBindingUnitMetric() const { return TestDuplexOptionBits(kDuplexOptionBindingMarginMetric); }
  int IsBindingUnitInch() const { return IsBindingUnitMetric() ? 0 : 1; }
  static int IsMetricLocale();

  int TestPaperFlags(int16_t index, uint32_t mask);
  int UserPaperAllowsSource(uint16_t index, uint32_t mask);
  int PaperMatchesFeed(uint16_t index, uint32_t kinds);
  int IsUserPaperSelected();
  int IsPaperIdAt(int32_t id, uint16_t index);
  int32_t GetPaperDimension(int selector, uint16_t index);
  void StorePaperFeedIndex();
  uint16_t FindSourceIndexById(int32_t id);
  int HasHeadIdFlags();

  uint16_t FindMediaIndexById(int32_t id);
  int IsKnownMediaId(int32_t id);
  uint16_t FindMediaIndexOfMode(uint16_t mode_index);
  void SelectVisibleModeByIndex(uint16_t mode_index);
  // The visible mode of the current media that mode record mode_index names for a variant.
  uint16_t FindModeIndexForVariant0(uint16_t mode_index) { return FindAlternativeMode(mode_index, 0); }
  uint16_t FindModeIndexForVariant1(uint16_t mode_index) { return FindAlternativeMode(mode_index, 1); }
  uint16_t FindModeIndexForVariant2(uint16_t mode_index) { return FindAlternativeMode(mode_index, 2); }
  int32_t FindModeForMediaValue(int32_t mode_id);
  int32_t FindPresetForMedia(int32_t mode_id);
  int32_t FindPresetForMediaGroup0(int32_t mode_id);

  uint16_t GetColorAdjustMethod() const;
  void GetPageFrame(ExtentPair* size, EdgeValues* margins, int paper) const;
  void GetResolutionPair(uint16_t out[2], int device) const;
  int SupportsAdjustItem8() { return TestModelHeaderFlags24(8 | 16); }
  int SupportsAdjustItem32() { return TestModelHeaderFlags24(32 | 64); }
  int SupportsRtInfo() { return TestModelHeaderFlags24(0x4000); }

  void SetWatermarkEnabled(uint32_t on);
  void SelectWatermarkByIndex();
  void StoreUiLanguage();
  int IsSameDevMode(const JobSettings& other, int mode) const;

  // --- Driver files, driver-data values and stored values (job_settings_files.cpp) ----------
  int ReadDriverIniString(const char* section, const char* key, char* out, uint32_t size,
                          const char* default_text, const char* file);
  int ReadDriverIniStringW(const wchar_t* section, const wchar_t* key, wchar_t* out, uint32_t size,
                           const wchar_t* default_text, const char* file);
  int ReadDriverIniInt(const char* section, const char* key, int default_value, const char* file);
  int ReadDriverIniIntW(const wchar_t* section, const wchar_t* key, int default_value, const char* file);
  int GetDriverVersionText(char* out, size_t size);
  int IsLocaleInAvoidClipList(const char* locale, size_t size);

  // Paths of the driver's files and sibling modules: (out, size) → the locator's answer.
#define KALIMU_JOB_SETTINGS_PATHS(X)                                       \
  X(GetDriverDataFilePath, GetDriverDataFilePath)                          \
  X(GetUiResourceModulePath, GetUiResourceModulePath)                      \
  X(LocateUiResourceModule, GetUiResourceModulePath)                       \
  X(GetHelpFilePath, GetHelpFilePathAlt)                                   \
  X(GetStatusModulePath, GetStatusModulePath)                              \
  X(LocateStatusModule, GetStatusModulePath)                               \
  X(GetModelName, GetModelName)                                            \
  X(GetWatermarkFilePath, GetWatermarkFilePath)                            \
  X(GetOutputModulePath, GetOutputModulePath)                              \
  X(GetXcmdOutputModulePath, GetXcmdOutputModulePath)                      \
  X(GetMwModulePath, GetMwModulePath)                                      \
  X(GetHalftoneEngineModulePath, GetHalftoneEngineModulePath)              \
  X(GetWatermarkDialogModule, GetWatermarkDialogModulePath)                \
  X(GetInkDisplayModule, GetInkDisplayModulePath)                          \
  X(GetPrePrintModule, GetPrePrintProgramPath)                             \
  X(GetPreviewUiModule, GetPreviewModulePath)                              \
  X(GetUtilityModulePath, GetUtilityModulePath)                            \
  X(GetUtilityProgramPath, GetUtilityExePath)                              \
  X(GetBrsModulePath, GetBrsModulePath)
#define KALIMU_JOB_SETTINGS_PATH(Name, LocatorName) \
  int Name(char* out, size_t size) { return locator().LocatorName(out, size); }
  KALIMU_JOB_SETTINGS_PATHS(KALIMU_JOB_SETTINGS_PATH)
#undef KALIMU_JOB_SETTINGS_PATH
  int FindHelpFilePath(char* out, size_t size) { return locator().GetHelpFilePath(out, size) ? 1 : 0; }
  int GetDriverFilePath(int key, char* out, size_t size) { return locator().GetDriverInfoPath(key, out, size); }
  int GetUiModulePath(char* out, size_t size, int full) { return locator().GetUiModulePath(out, size, full); }
  int GetOutputResourceCount(int* count) { return locator().GetOutputResourceCount(count); }
  int GetOutputResourcePath(char* out, size_t size);
  int16_t GetWatermarkBitmapAspect(const storage::WatermarkEntry* entry, uint16_t index);

  // The registry store of the object: each answers the store's Win32 code (0 = success).
  LONG ReadRegistryValue(const char* sub_key, const char* value_name, int id, void* data, DWORD* size, int view);
  LONG WriteRegistryValue(const char* sub_key, const char* value_name, int id, DWORD type, const void* data,
                          DWORD size, int view);
  LONG ReadRegistryValueById(int id, void* data, DWORD* size, int view);
  LONG WriteRegistryValueById(int id, const void* data, DWORD size, int view);
  LONG QueryRegistryValue(const char* sub_key, const char* value_name, int id, void* data, DWORD* size, int view);
  LONG WriteRegistryValues(const char* sub_key, const char* value_name, int id, DWORD type, const void* data,
                           DWORD size, int view);
  LONG CreateRegistryKey(const char* sub_key, int id, DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security,
                         DWORD* disposition);
  LONG DeleteRegistryKey(const char* sub_key, int id, int view);
  LONG DeleteRegistryTree(const char* sub_key, int id, int view);
  LONG DeleteRegistryValue(const char* sub_key, const char* value_name, int id, int view);

  int GetCutterState(uint32_t* out);
  int IsPmFlagBit1Set();
  int WriteDefaultInkInfo();

  // --- Presets, mode and media, paper indexes, adjustments (job_settings_presets.cpp) -------
  int32_t GetAdjustment(int number) const;
  void SetAdjustment(int number, int32_t value);
  void ApplyPresetRecord(uint16_t index);
  uint32_t GetSelectedPresetId() const { return GetSelectedPresetWord() & 0x7FFFu; }
  uint16_t GetPresetMediaIndex(uint16_t preset_index);
  uint16_t FindPresetForCurrent();
  uint16_t FindPresetById(int32_t id);
  int FindPresetInGroup(int group, uint16_t* out);
  int GetUserPresetName(wchar_t* out, size_t size);
  int GetUserPresetNameA(char* out, size_t size);

  uint16_t FindModeIndex(int32_t media_id, int32_t mode_id);
  uint16_t GetCurrentModeIndex() { return FindModeIndex(GetMediaId(), GetModeId()); }
  uint16_t GetCurrentModeIndex2() { return GetCurrentModeIndex(); }
  uint16_t GetCurrentMediaIndex() { return FindMediaIndexById(static_cast<int32_t>(GetMediaId())); }
  int32_t GetMediaNameIdOfMode(uint16_t mode_index);
  int32_t GetCurrentMediaNameId();

  uint16_t GetUserPaperIndex();
  int32_t GetPaperIdByIndex(uint16_t index);
  uint16_t DerivePaperFeedIndex();
  int GetPaperFeedValue(int32_t* out, uint16_t index, int model_paper);
  uint32_t GetSourceMask();
  uint32_t GetSourceMaskByIndex(uint16_t index);
  uint32_t GetSourceMaskById(int32_t id);
  int IsPaperOrientationNatural() const;
  int32_t GetPosterCode() const;
  int32_t GetPosterGrid() const;
  int GetSourceSizeLimits(int kind, ExtentPair* out);

  // --- Name lists, output paper and scale (job_settings_lists.cpp) --------------------------
  uint32_t GetSourceIds(int16_t* ids);
  uint32_t GetSourceNames(wchar_t (*names)[kSourceNameChars], HINSTANCE instance);
  uint32_t GetMediaIds(int32_t* ids);
  uint32_t GetMediaNames(wchar_t (*names)[kMediaNameChars], HINSTANCE instance);
  uint32_t GetCurrentPaperName(wchar_t* name, HINSTANCE instance);
  int GetOutputPaperRecord(model::CapTable2Record* out, uint32_t size);
  uint32_t GetFitToPaperScale();
  uint16_t FindPaperForCurrentSource(int* kind);
  int32_t GetSourceLimitValue(uint16_t source_index);
  int ComputeOutputArea(int32_t paper_id, ExtentPair* out);
  int32_t GetCurrentModeValue();
  uint32_t GetModeOptionChoices(uint32_t request, uint32_t* choice, uint32_t* flags);

  // --- The printer's stored record, ink sets, watermark and intents (job_settings_printer.cpp)
  int ReadPrinterDevMode(void* buffer, uint32_t size);
  int WritePrinterDevMode(const void* dev_mode, uint32_t size);
  int GetPrinterAndDriverNames(char* printer_name, size_t printer_size, char* driver_name, size_t driver_size);
  void CreateForModel(const model::InkInfoValue* record);
  int BuildDefaultDevMode(void* buffer);
  void RestoreDefaultDevMode();
  int SelectInkSet(uint16_t index);
  int IsInkSetChanged();
  void SelectWatermark(int16_t index);
  void SetRenderingIntent(uint32_t intent);
  void SetRenderingIntent2(uint32_t intent) { SetIntent2(intent); }
  void SetRenderingIntent3(uint32_t intent) { SetIntent3(intent); }
  int SaveUserStore() { return UserSettingsStore::Save(); }
  static int LookupDriverIniKey(int key, char* out, size_t size, const char* data_file, int join);
  static int IsValueTwo(int32_t value) { return value == 2 ? 1 : 0; }
  static int32_t MapOneOrTwoToTwo(int32_t value) { return value == 1 || value == 2 ? 2 : 1; }

  // --- Stored options and driver-data settings (job_settings_options.cpp) -------------------
  uint32_t GetSilentFlag();
  int IsHalftoneOptionOn();
  int SetHalftoneOption(uint16_t value);
  LONG ReadValue119(void* out);
  int WriteValue119(const void* in);
  int WriteInkInfo(const model::InkInfoValue* record);
  LONG ReadPlatenInfo(uint32_t* out);
  int WritePlatenInfo(uint32_t value);
  int WriteIwfInfo(const uint8_t in[8]);
  int ReadIwfInfo(uint8_t out[8]);
  int WriteHtInfo(const uint8_t in[8]);
  int ReadHtInfo(uint8_t out[8]);
  int WriteMessageDialogFlag(uint32_t value);
  LONG ReadMessageDialogFlag(uint32_t* out);
  uint32_t ReadRtInfo();
  int WriteRtInfo(uint32_t value);
  void LoadPmFlags();
  int GetBrsInfo(uint32_t* out);
  int SetBrsInfo(uint32_t value);
  int GetTempFolder(char* buffer, uint32_t size);
  int EnsurePrinterRootKey(int view);
  int CheckPrinterKeyAccess(const char* sub_key, int view);
  static DWORD GetPrinterDataValue(HANDLE printer, const char* value_name, DWORD* type, void* data, DWORD size,
                                   DWORD* needed);
  static DWORD SetPrinterDataValue(HANDLE printer, const char* value_name, DWORD type, const void* data,
                                   DWORD size);
  int ReadMakerKeyValue(const char* suffix, const char* value_name, char* out, size_t size, int view);
  int ReadSupportKey(char* out, size_t size, int view);
  int ReadSupportValue(const char* suffix, const char* value_name, char* out, size_t size, int view);
  int ReadKeyValueText(const char* key, const char* value_name, char* out, size_t size, int view);

  int IsHalftoneOptionChecked() const { return TestModeOption3Bits(0x20); }
  void SetHalftoneOptionChecked(int on) { SetModeOption3Bits(0x20, on); }
  void SetPersistentOptionBit8(int on) { SetPersistentOptionBits(8, on); }
  static int GetSystemDirectoryPath(char* out, size_t size);
  static int GetWindowsDirectoryPath(char* out, size_t size);
  int EnsureDriverFolder(char* out, size_t size);
  int GetRegion();
  int IsRegionA() { return GetRegion() == 1 ? 1 : 0; }
  int IsRegionWJP();
  int ReadNoBidComm();

  // --- Utility programs (job_settings_utility.cpp) ------------------------------------------
  // The command line (and, for some requests, the command file) that starts the status
  // monitor's program for a request; see status::BuildUtilityCommandLine for the answers.
  int16_t BuildUtilityCommandLine(char* text, size_t size, int16_t request, const int32_t* job_id);

  // --- Colour management and profile lists (job_settings_colour.cpp) ------------------------
  // The family of colour-management operations (colour_management.h), under its names.
#define KALIMU_JOB_SETTINGS_COLOUR_DECLARATION(Result, Name, Parameters, Arguments) Result Name Parameters;
  KALIMU_COLOUR_OPERATIONS(KALIMU_JOB_SETTINGS_COLOUR_DECLARATION)
#undef KALIMU_JOB_SETTINGS_COLOUR_DECLARATION
  // The description of an open profile into an ANSI buffer (null: only its byte count).
  static uint32_t ReadProfileDescription(HPROFILE profile, char* buffer, uint32_t capacity);
  // 1 when a profile of a pair that the user preset uses is not installed.
  int CheckPresetProfiles(uint16_t preset);
  // Profile pair n (1..3): long names out, 8.3 names stored, in the record and in a user preset;
  // SetPrinterProfile<n> and SetPresetPrinterProfile<n> set the pair's intent 2 first for a
  // generic driver profile.
#define KALIMU_PROFILE_PAIR_OPERATIONS(n)                                                   \
  void GetSourceProfile##n(wchar_t* buffer, uint32_t capacity);                            \
  void SetSourceProfile##n(const wchar_t* file_name);                                      \
  void GetPrinterProfile##n(wchar_t* buffer, uint32_t capacity);                           \
  void SetPrinterProfile##n##Name(const wchar_t* file_name);                               \
  void SetPrinterProfile##n(const wchar_t* file_name);                                     \
  int GetPresetSourceProfile##n(uint16_t preset, wchar_t* buffer, uint32_t capacity);      \
  int SetPresetSourceProfile##n(uint16_t preset, const wchar_t* file_name);                \
  int GetPresetPrinterProfile##n(uint16_t preset, wchar_t* buffer, uint32_t capacity);     \
  int SetPresetPrinterProfile##n##Name(uint16_t preset, const wchar_t* file_name);         \
  int SetPresetPrinterProfile##n(uint16_t preset, const wchar_t* file_name);
  KALIMU_PROFILE_PAIR_OPERATIONS(1)
  KALIMU_PROFILE_PAIR_OPERATIONS(2)
  KALIMU_PROFILE_PAIR_OPERATIONS(3)
#undef KALIMU_PROFILE_PAIR_OPERATIONS
  // The object's two profile lists (their counts and blocks stay the object's).
  ProfileLists ColourProfileLists();
  // --- Paper-source compatibility (job_settings_sources.cpp) --------------------------------
  int PresetAllowsSource(uint16_t preset_index, int32_t source_id);
  int PresetAllowsSourceSwapped(int32_t source_id, uint16_t preset_index) {
    return PresetAllowsSource(preset_index, source_id);
  }
  int UserPresetAllowsSource(uint16_t user_preset_index, int32_t source_id);
  int MediaAllowsSource(uint16_t media_index, int32_t source_id);
  int ModeAllowsSource(uint16_t mode_index, int32_t source_id);
  int MediaAllowsSourceIndex(uint16_t media_index, uint16_t source_index);
  int ModeAllowsSourceIndex(uint16_t mode_index, uint16_t source_index);
  int MediaHasFlag128(uint16_t media_index) { return TestMediaTypeFlags8(static_cast<int16_t>(media_index), 128); }
  int CheckMediaModeForSource(uint16_t media_index, int32_t source_id);
  int CheckPresetForSource(int32_t source_id);
  uint16_t FindSourceForMedia();
  void ClampSourceIndex(int change_type);
  uint16_t GetDefaultSourceIndex();
  uint16_t GetDefaultSourceIndex2() { return GetDefaultSourceIndex(); }
  static int32_t MapSourceAlias(int32_t source_id);
  int HasSourceId4();
  int IsSpecialFeedSourceById(int32_t source_id);
  int SourceHasFlag4000ById(int32_t source_id) { return SourceIdHasTypeBit4000(source_id); }
  int SourceHasFlag1ById(int32_t source_id) { return SourceIdHasFeedBit1(source_id); }
  int SourceHasFeedFlags(uint16_t source_index);
  int IsSourceFlag4000ById(int32_t source_id) {
    return IsSourceFlag4000With40000(source_id) || IsSourceFlag4000Without40000(source_id) ? 1 : 0;
  }
  int IsSourceFlag4000With40000(int32_t source_id);
  int IsSourceFlag4000Without40000(int32_t source_id);
  int IsFeedTypeSourceById(int32_t source_id);
  int IsSourceValueMatch(uint16_t source_index);
  // One bit of a source's feed word (+12) or capability word (+8), by source id.
#define KALIMU_SOURCE_ID_BIT_TESTS(X)      \
  X(SourceIdHasFeedBit1, kFeedWord, 1)       \
  X(SourceIdHasFeedBit2, kFeedWord, 2)       \
  X(SourceIdHasFeedBit4, kFeedWord, 4)       \
  X(SourceIdHasFeedBit8, kFeedWord, 8)       \
  X(SourceIdHasFeedBit16, kFeedWord, 0x10)   \
  X(SourceIdHasFeedBit64, kFeedWord, 0x40)   \
  X(SourceIdHasTypeBit4000, kCapabilityWord, 0x4000) \
  X(SourceIdHasTypeBit40000, kCapabilityWord, 0x40000) \
  X(SourceIdHasTypeBit400000, kCapabilityWord, 0x400000)
#define KALIMU_SOURCE_ID_BIT_TEST(Name, word, bit) \
  int Name(int32_t source_id) { return TestSourceWordById(source_id, SourceWord::word, bit); }
  KALIMU_SOURCE_ID_BIT_TESTS(KALIMU_SOURCE_ID_BIT_TEST)
#undef KALIMU_SOURCE_ID_BIT_TEST
  int SourceAllowsCustomSize(int32_t source_id);
  int UserPresetAllowsSpecialFeed(uint16_t user_preset_index);
  int ModeAllowsSpecialFeed(uint16_t mode_index);
  uint32_t GetSourceMaskBit(uint16_t source_index);
  uint32_t GetSourceFeedFlags(uint16_t source_index);
  int AreSourcesCompatible(uint16_t a, uint16_t b);
  uint16_t GetSourceFeedClass(uint16_t source_index);
  uint16_t GetDefaultSourceFeedClass() { return GetSourceFeedClass(GetDefaultSourceIndex2()); }
  int16_t MapPairedMediaCode(int16_t code);
  uint32_t CheckSelection(SelectionSnapshot* snapshot);

  // --- Paper lists, paper lookups and the custom size (job_settings_papers.cpp) ------------
  uint16_t FindPaperIndexById(int32_t paper_id);
  int GetCurrentPaperIndex(uint16_t* out);
  int OutputPaperHasFlags(uint32_t mask);
  int GetOutputPaperValue46(uint8_t* out);
  // mask kind 1: the second bit of the current source's pair; 2: the first; other: either.
  int FindModelPaperForSource(int mask_kind, int32_t paper_id, uint16_t* out);
  int FindUserPaperForSource(int mask_kind, int32_t paper_id, uint16_t* out);
  uint32_t GetPaperIdsForSource(int16_t* ids);
  uint32_t GetPaperIdsForDefaultSource(int16_t* ids);
  // names: 128-byte slots; module: the resource module, or null to load the UI resources.
  uint32_t GetPaperNamesForDefaultSource(wchar_t (*names)[kPaperNameChars], HINSTANCE module);
  // sizes: width and length in 0.1 mm.
  uint32_t GetPaperSizesForDefaultSource(ExtentPair* sizes);
  uint32_t GetPaperSourceMask();
  uint16_t FindFirstPaperForSourceMask(uint32_t mask);
  void GetPaperSize01mm(ExtentPair* out);
  int IsPortraitPaper();
  int IsNearlySquarePaper() const;
  int IsPaperWiderThanLong() const;
  void ChangeCustomPaperUnit(int32_t unit);
  void ConvertCustomSize(int32_t unit);
  void GetCustomSizeLimits(int32_t* min_width, int32_t* max_width, int32_t* min_length, int32_t* max_length,
                           int32_t source_id);
  void GetCustomSizeLimitsForDefaultSource(int32_t* min_width, int32_t* max_width, int32_t* min_length,
                                           int32_t* max_length) {
    GetCustomSizeLimits(min_width, max_width, min_length, max_length, GetDefaultSource());
  }
  void ClampCustomSizeToSource();
  void SelectLocaleDefaultPaper();
  void FindLocalePaperIndex();
  void GetCustomPaperSize360();
  int ResetUserPapers();
  int16_t GetPosterValue();
  int16_t GetPosterPaperValue();
  // Makes model paper index the current paper (dmPaperSize, its extent, the output paper).
  void SelectModelPaper(uint16_t index);

  // --- Layout flags, scaling choice, watermark box and margins (job_settings_layout.cpp) ----
  uint16_t GetLayoutFlags();
  int ComputeLayoutScale(const ExtentPair& page, const ExtentPair& area, const ExtentPair& extra,
                         ResolutionPair* scale, ExtentPair* size);
  void GetWatermarkRect();
  void GetBindingOffsets(const ExtentPair& page, EdgeValues* margins, EdgeValues* out);
  int GetPaperMarginsForSource(EdgeValues* out, int32_t paper_id, uint16_t source_index);

  // --- Page geometry and layout scaling (job_settings_geometry.cpp) -------------------------
  int GetPaperSize360(int32_t paper_id, ExtentPair* out, int selector);
  void GetPaperGeometry(ExtentPair* size, EdgeValues* margins, EdgeValues* additions, int32_t* balance,
                        int selector);
  int32_t GetBindingMargin360() const;
  int32_t GetPrintableMargins(EdgeValues* margins, int32_t paper_id, int selector);
  void GetSourceMarginRecord(const model::PaperSizeRecord& record, EdgeValues* out);
  void GetOutputPaperMargins(int32_t width, uint32_t source_mask, EdgeValues* margins);
  uint32_t GetPaperKind();
  uint32_t GetOutputPaperKind();
  int ComputePaperMetrics(ExtentPair* size, EdgeValues* margins, EdgeValues* additions, int32_t* balance,
                          int selector);
  int ComputePageLayout(PageLayout* out);
  void RecomputePageGeometry();
  void ApplyModeResolution();
  int ClampScaleToRange() { return 0; }
  int GetBindingMarginLimits(uint16_t out[2]);
  // The scaling formulas: page size and area in device dots; scale pair = rendering resolution.
#define KALIMU_LAYOUT_FORMULAS(X) \
  X(ComputeScaleToCover)          \
  X(ComputeScaleToFit)            \
  X(ComputeScaleByPercent)        \
  X(ComputeHalfSheetFit)          \
  X(ComputeHalfSheetPercent)      \
  X(ComputePageGridA)             \
  X(ComputePageGridB)             \
  X(ComputeBindingFit)            \
  X(ComputeBindingPercent)
#define KALIMU_LAYOUT_FORMULA(Name) \
  void Name(const ExtentPair& page, const ExtentPair& area, const ExtentPair& extra, ResolutionPair* scale, \
            ExtentPair* size);
  KALIMU_LAYOUT_FORMULAS(KALIMU_LAYOUT_FORMULA)
#undef KALIMU_LAYOUT_FORMULA
  void ComputeWatermarkPosition(int32_t width, int32_t height);
  void UpdateWatermarkAspectRatio();

  // --- Preset selection (job_settings_presets_select.cpp) -----------------------------------
  void ApplyPresetByIndex(uint16_t index);
  void ApplyPresetRecord2(uint16_t index) { ApplyPresetRecord(index); }
  int ApplyPresetIdFromRecord(uint16_t index);
  int IsPresetSkipped(uint16_t index) { return TestPresetFlags108(static_cast<int16_t>(index), kPresetSkipped); }
  uint16_t FindPresetWithFlag128();
  uint16_t FindDefaultPresetIndex();
  void GetPresetSearchWindow(uint32_t* up, uint32_t* down, uint16_t index);
  int FindNearestAllowedPreset(int32_t selected_id, uint16_t* index, int32_t source_id);
  void SyncPresetWithSelection(int32_t source_id);
  void SyncPresetForKind(int32_t source_id);
  void SelectPresetForChange(int32_t value, int change_type);
  int FillMediaSourceMask(model::PresetRecord* record);
  int FillMediaSourceMaskSimple(model::PresetRecord* record);
  // The mode variant before a change, restored when no preset fits the change.
  void SaveModeVariant() { saved_mode_variant_ = GetModeVariant(); }
  static constexpr uint32_t kPresetSkipped = 0x10000;  // preset word 108

  // --- Print-mode, colour-mode and quality rules (job_settings_mode_rules.cpp) --------------
  int GetQualityClass();
  int IsSpecialQualityLevel() const;
  int IsQualityLevel457() const;
  int32_t GetModeQualityLevel();
  void ApplyModeQualityLevel();
  void ApplyModeOptionBits();
  void ApplyModeDefaults(int change_type);
  void ApplyModeDefaultValue(int keep);
  void ApplyModeOptionRecord();
  void ApplyModeOptionBit8(const ModeOptionRecord& record);
  void RefreshModeOptions();
  int SelectDefaultModeForMedia();
  int ReselectCurrentMode();
  int SelectFirstModeForSource(int32_t variant);
  int IsModeVariantSupported();
  void SelectModeForMediaIndex(uint16_t media_index);
  void UpdateModeFlag512();
  int IsModeOption4Active();
  int CurrentModeHasFlag200();
  int CanUseModeOption();
  int CanUseToneOption();
  void UpdateMediaFeedValue();
  int CheckMediaOption448(int mode, int store);
  int IsModeValue122Default(uint16_t mode_index);
  void ApplyColorMode1Defaults();
  void ApplyGammaChoice(int32_t index);
  void ApplyColorModeChange(int32_t color_mode);
  void ApplyModeValue136();
  void ApplyOptionRecordFlags(const ModeOptionRecord& record);
  void SelectDefaultRenderMethod();
  void ChangeModeOptionChoice(int32_t choice);
  void ApplySavedModeVariant();
  // Selects the print mode that best matches the wishes; answers the level reached (0 to 6).
  // media_index, value4 and value6 of -1 match every mode.
  int FindBestModeMatch(uint32_t mask, uint32_t criteria, int16_t media_index, int16_t value4, int16_t value6,
                        uint16_t fallback);
  // A 16-bit value of a print mode's column group for a variant; offset within the group.
  int32_t GetModeColumn(uint16_t mode_index, int32_t variant, uint32_t offset);
  // The mode that stands for the current one under the current variant, and its column.
  uint16_t GetAlternativeModeIndex(uint16_t mode_index);
  int32_t GetAlternativeColumn(uint32_t offset) {
    return GetModeColumn(GetAlternativeModeIndex(GetCurrentModeIndex()), GetModeVariant(), offset);
  }

  // --- Change dispatcher and mode-change handlers (job_settings_dispatch.cpp) ---------------
  void OnSettingChanged(int change_type, int32_t value);
  void ChangeModeVariant(int32_t variant);
  void ChangePrintModeType(uint32_t type);
  void OnMediaTypeChanged(int32_t value);
  void OnModeOptionChange14(int32_t value);
  void OnModeOptionChange15(int32_t value);
  void OnModeOptionChange16(int32_t value);
  void OnModeOptionChange17(int32_t value);
  void ApplyVariantChange(int change_type, int32_t variant);
  void SelectBestMode(int change_type, int32_t value);
  void SelectRenderMethodFromModeOptions();
  int GetModeOptionRecord(ModeOptionRecord* out);
  void ApplyModeOptionPair(const ModeOptionRecord& record);
  void ApplyPresetColor(const DevModeSettingsRecord* record);
  void ApplyPresetForValue(int32_t variant, uint16_t media_index);
  void ApplyColorSettings();
  void ClearCorrectionFlags() { SetCorrectionFlags(0); }
  // Presets of groups 1 and 2 chosen for a change, and the model's preset row of the colour mode.
  void SelectPresetInGroup1(int32_t value, int change_type);
  void SelectPresetInGroup2(int32_t value, int change_type);
  void ApplyModelPresetRow();
  int GetSavedModeVariant() const { return saved_mode_variant_; }

  // --- Paper-source change rules (job_settings_source_rules.cpp) ----------------------------
  void ApplyCutterRules();
  void ApplyRollSourceRules(int keep);
  void ApplySourceFeedNibble(int apply);
  void ApplySourceMarginClass(int apply);
  void ApplySourceScalingLimits();
  void ApplySourceChangeRules(int changed);
  void ApplyDuplexSourceRules(int apply);
  void ApplySourceWatermarkRules();
  void EnsurePaperAllowedBySource();
  void EnsureOutputPaperAllowed();
  void ReselectUserPaper(uint32_t mask);
  int MediaAllowsSourceForDuplex(int32_t source_id);
  int IsSourceUsableForMedia(int32_t source_id);
  void ApplyPaperIdLimits(int32_t paper_id);
  int SourceAllowsDuplexType(int32_t duplex);
  void MergePaperSelection(JobSettings& other);
  // Takes model paper index as the paper: index, id and its size in 0.1 mm.
  void TakeModelPaper(uint16_t index);

  // --- Paper-change, duplex and layout-option rules (job_settings_paper_rules.cpp) ----------
  void RecomputeLayout();
  void ChangeMarginOption(int type);
  void ChangeRotate180(uint32_t on);
  void ChangePosterOptions(uint32_t word);
  void ChangeCutOptions(uint32_t word);
  void TogglePosterOptions(uint32_t bits);
  void ChangePosterOptionBits(uint32_t mask, int on);
  void ChangePlacement(uint32_t code) { SetPlacement(code); }
  void ChangeBindingMargin(uint32_t margin);
  void ChangeDuplex(int32_t duplex);
  void ApplyDuplexRules();
  void MatchBindingEdgeToOrientation();
  void CommitPaperFlags();
  void ApplyPaperChange(int kind);
  void ReselectPaperForSource();
  void ApplyPaperLength();
  void ValidatePaperSelection();
  void ApplyPaperFlag1024Rule();
  void ApplyOutputPaperRotation();
  void ApplyOrientationRules();
  void UpdateRollFitFlag(int32_t limit);
  // Duplex and binding operations of the settings that run the rules above.
  void EnableDuplexOption1();
  void ClearDuplexOption1();
  void ApplyDuplexLimits();
  uint32_t SetBindingMarginInInch(uint16_t tenth_mm);
  uint32_t SetBindingMarginInMetric(uint16_t hundredth_inch);
  int CheckSourceBorderless();
  void ApplySourceMargins();

  // --- Paper, source, scaling and layout changes (job_settings_changes.cpp) -----------------
  void ChangePaperSize(int32_t paper_id);
  void ChangeOutputPaperSize(int32_t paper_id);
  void ChangePaperSizeIndex(int32_t index);
  uint16_t ApplySourceMask();
  void ChangeDefaultSource(int32_t source_id, int flags);
  void ChangePaperSourceIndex(int32_t index, int flags);
  void OnSourceChanged(int change_type, int32_t old_value, int flags);
  void ChangeScalingOptions(uint32_t word);
  void ApplyScalingMode(uint32_t old_word);
  void ChangeScalingMode(int32_t mode);
  void ChangePagesPerSheet(int32_t code);
  void OnPagesPerSheetChanged(int32_t old_code);
  void OnSinglePageLayout(int32_t old_code);
  void OnTwoPageLayout(int32_t old_code);
  void ChangeOrientation(int32_t orientation);

  // --- Defaults and the merge of an incoming record (job_settings_defaults.cpp,
  //     job_settings_merge.cpp) -----------------------------------------------------------
  void SetWatermarkDefaults();
  int MergeDevMode(const void* dev_mode, HANDLE printer);
  void MergeCustomPaperSize(JobSettings& other);
  int IsPrivatePartCompatible(const JobSettings& other) const;
  static int StoreDriverIcmOnPrinter(HANDLE printer);

 private:
  // Rules of the print mode, the dispatcher and the changes (job_settings_mode_rules.cpp,
  // job_settings_dispatch.cpp, job_settings_source_rules.cpp, job_settings_paper_rules.cpp,
  // job_settings_changes.cpp, job_settings_merge.cpp).
  static constexpr int32_t kAnyPaperId = INT32_MIN;
  static uint32_t ChooseRenderMethod(uint32_t allowed, uint32_t current);
  std::optional<uint16_t> FindGroup0Preset(int32_t variant, int32_t media_index, int32_t quality);
  enum class PresetKey { kId, kQualityPosition };  // preset words 0 and 2
  std::optional<uint16_t> FindPresetInRange(uint32_t first, uint32_t count, int32_t variant, int32_t media_index,
                                            int32_t key, PresetKey key_field);
  void CheckCurrentMode();
  void ChangeVariant(int change_type, int32_t variant);
  int32_t GetAlternativeModeId(uint16_t mode_index, int32_t variant);
  void ChangeForPrintModeType();
  void ApplyPresetForMedia(int32_t variant, uint16_t media_index, int32_t quality);
  void ChangePresetOrMedia(int32_t value);
  int SearchModeForOption(uint32_t mask, uint32_t criteria, int16_t value6, uint16_t fallback);
  void ApplyModeOption4Default();
  int16_t CurrentModeValue6();
  uint32_t GetSourceCapability();
  uint32_t GetSourceFeedWord();
  uint32_t GetSourceCapabilityById(int32_t source_id);
  void ApplyCollateRule(int apply);
  int32_t FindModelPaperByMask(uint32_t mask, uint32_t kinds, int32_t id);
  int32_t FindUserPaperByMask(uint32_t mask, int32_t id, uint32_t end);
  void WritePaperWidth(int32_t width, int32_t length, uint32_t fields_before);
  int IsRollCondition();
  int32_t UserPaperWidth01mm(uint16_t user_index);
  int32_t ModelPaperWidth01mm(uint16_t index);
  int32_t RollWidthFor(int32_t id, int32_t standard_width);
  void SetBindingMarginToMinimum();
  uint32_t GetOutputPaperFlagsForSource(bool user_too);
  void MatchEdgeToOrientation();
  void ApplyScaling(int32_t mode, uint32_t old_word);
  void ApplyRollCutDefault();
  bool changing_duplex_ = false;  // a duplex change is resetting the scaling mode
  // What one merge has learnt: the status monitor is asked at most once.
  struct MergeState {
    bool monitor_asked = false;
    int16_t monitor_answer = -1;
    int16_t MonitorAnswer(JobSettings& own);
  };
  void SetPrivatePart(const DriverDevMode* record);
  void MergeSource(JobSettings& in, bool private_part);
  void MergePaper(JobSettings& in, bool private_part);
  void MergeColor(JobSettings& in, bool variant_unsupported);
  void ApplyRollScaling();
  void MergeCorrectionFlags();
  void MergePaperCheck();

  // "PMFlag" keeps JobOptions bit 0x40 as its value 1, 0x80 as 2 and 0x800 as 4. The values
  // (1, 2 or 4) given decide which bits are taken over into the JobOptions word.
  static constexpr uint16_t kPmFlagJobBits = 1 | 2;
  static constexpr uint16_t kPmFlagLoadedBits = 1 | 4;
  static uint32_t MirrorPmFlag(uint32_t job_options, uint16_t pm_flag, uint16_t values);
  int ReadPmFlag(uint16_t* out);
  // AdoptPrinterDevMode on the printer's information already read into block.
  int AdoptStoredDevMode(const PRINTER_INFO_2W* info, const platform::GlobalBlock& block);
  int IsBindingEdge(uint32_t edge) const;
  int IsModeVisible(uint16_t mode_index);
  uint16_t FindAlternativeMode(uint16_t mode_index, int variant);
  // Indexes of the paper sources the lists offer, in table order.
  std::vector<uint16_t> ListedSources();
  // 1 and the index of the first media record with the id; 0 and index 0 when none has it.
  int FindMediaRecord(int32_t id, uint16_t* index);
  // The index of the first paper record with the id among the model papers (kind 1) or the user
  // papers (kind 2); kind 0 when neither holds it.
  uint16_t FindPaperById(int32_t id, int* kind);
  // The mask of two bits for source index, or 0 for an index outside the model's sources.
  uint32_t SourcePairMask(int32_t index);
  int32_t FindIdForCurrentMedia(int group_first, int group_count, int32_t wanted_mode_id);
  // A value of the store's own size; a two-byte value also reads when stored with four bytes.
  LONG ReadFixedValue(int id, void* out, DWORD size);
  LONG ReadTwoByteValue(int id, uint16_t* out);
  int ReadInfoValue(uint32_t model_bit, int id, uint8_t default_count, uint8_t default_fill, uint8_t out[8]);

  // Paper-source lookups (job_settings_sources.cpp).
  enum class SourceWord { kCapabilityWord, kFeedWord };
  // 1 and the index of the first source with the id; 0 and index 0 when none has it.
  int LocateSource(int32_t id, uint16_t* index);
  // As LocateSource, but the id of dmDefaultSource stands for the current source index.
  int LocateSourceOrCurrent(int32_t id, uint16_t* index);
  uint32_t ReadSourceWord(uint16_t index, SourceWord word);
  int TestSourceWordById(int32_t source_id, SourceWord word, uint32_t bit);

  // Paper lists and geometry (job_settings_papers.cpp, job_settings_geometry.cpp).
  struct ListedPaper {
    int kind;  // kModelPaper or kUserPaper
    uint16_t index;
  };
  // The current source's bits of a mask for FindModelPaperForSource's mask kind.
  uint32_t CurrentSourceBitsForKind(int mask_kind);
  // The model papers, then (when the source takes the custom size) the user papers of dmDefaultSource.
  std::vector<ListedPaper> PapersForDefaultSource();
  // The borderless extension of a paper: the margin record its feed value names.
  model::CapTable2Record PaperExtension(uint16_t paper_index, int model_paper);
  // dmPrintQuality and dmYResolution from the current print mode; (h, v) as the mode gives them.
  void ModeResolution(uint32_t* h, uint32_t* v);
  ExtentPair HalfSheetCell(const ExtentPair& area) const;
  int64_t PosterGridValue(const ExtentPair& page, const ExtentPair& area);
  // The binding formulas' halves of the area and the scale that fits the page into each.
  struct BindingCell {
    int64_t half, other, scale_x, scale_y, rx, ry;
  };
  BindingCell BindingHalves(const ExtentPair& page, const ExtentPair& area);

  uint16_t sheet_state_ = 0;
  char printer_name_[kPrinterNameChars] = {};
  bool owns_record_ = false;
  HANDLE printer_ = nullptr;
  int valid_ = 0;
  int saved_mode_variant_ = 0;  // written by the change dispatcher before it is read
  int hidden_modes_ = 0;
  // Colour-profile lists: ProfileEntry records, filled by colour management.
  int32_t source_profile_count_ = 0;
  platform::GlobalBlock source_profiles_;
  int32_t printer_profile_count_ = 0;
  platform::GlobalBlock printer_profiles_;
};

// A new valid object, or null (no printer, no memory, no acceptable record).
JobSettings* CreateJobSettings(void* dev_mode, HANDLE printer, const char* printer_name, const char* driver_name);
// Destroys an object made by CreateJobSettings; null is accepted. Answers 1.
int DestroyJobSettings(JobSettings* settings);

struct JobSettingsDeleter {
  void operator()(JobSettings* settings) const { DestroyJobSettings(settings); }
};
using JobSettingsPtr = std::unique_ptr<JobSettings, JobSettingsDeleter>;

// The language of a module's version resource (its first translation); 1033 without one.
uint16_t GetModuleLanguageId(const char* path);

}  // namespace kalimu::settings
