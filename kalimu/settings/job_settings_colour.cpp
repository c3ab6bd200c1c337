// JobSettings: colour management and the profile lists. The work is ColourManagement's, over the
// object's record, its two profile lists and the object's own intent and media rules; the user
// presets keep their profile choice in the user-settings store.
#include <windows.h>

#include <cstdint>
#include <string>

#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/colour_management.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {
namespace {

using storage::UserSettingsStore;

// The object's rules as colour management calls them.
class JobSettingsRules final : public ColourRuleHooks {
 public:
  explicit JobSettingsRules(JobSettings& settings) : settings_(settings) {}

  void SetRenderingIntent(uint32_t intent) override { settings_.SetRenderingIntent(intent); }
  void SetRenderingIntent2(uint32_t intent) override { settings_.SetRenderingIntent2(intent); }
  void SetRenderingIntent3(uint32_t intent) override { settings_.SetRenderingIntent3(intent); }
  void ApplyModeQualityLevel() override { settings_.ApplyModeQualityLevel(); }
  uint32_t GetCurrentMediaTypeId() override {
    int32_t id = 0;
    if (!settings_.GetMediaTypeId(settings_.GetCurrentMediaIndex(), &id)) return settings_.GetMediaId();
    return static_cast<uint32_t>(id);
  }
  uint32_t GetSelectedInkCodes(uint8_t* buffer, uint16_t count) override {
    return settings_.GetSelectedInkCodes(buffer, count);
  }

 private:
  JobSettings& settings_;
};

template <class Operation>
auto WithColour(JobSettings& settings, Operation operation) {
  JobSettingsRules rules(settings);
  ColourManagement colour(settings, settings.ColourProfileLists(), rules, settings.GetPrinterName());
  return operation(colour);
}

// The six profile names of a user preset: texts 0-2 the source profiles, 3-5 the printer
// profiles; intents 1-3 in values 256, 260, 264.
using PresetTextGetter = int (UserSettingsStore::*)(uint16_t, wchar_t*, size_t);
using PresetTextSetter = int (UserSettingsStore::*)(uint16_t, const wchar_t*, size_t);
struct PresetText {
  PresetTextGetter get;
  PresetTextSetter set;
};
constexpr PresetText kPresetSourceTexts[3] = {
    {&UserSettingsStore::GetSettingsText0, &UserSettingsStore::SetSettingsText0},
    {&UserSettingsStore::GetSettingsText1, &UserSettingsStore::SetSettingsText1},
    {&UserSettingsStore::GetSettingsText2, &UserSettingsStore::SetSettingsText2},
};
constexpr PresetText kPresetPrinterTexts[3] = {
    {&UserSettingsStore::GetSettingsText3, &UserSettingsStore::SetSettingsText3},
    {&UserSettingsStore::GetSettingsText4, &UserSettingsStore::SetSettingsText4},
    {&UserSettingsStore::GetSettingsText5, &UserSettingsStore::SetSettingsText5},
};
using PresetIntentSetter = int (UserSettingsStore::*)(uint16_t, const uint32_t*);
constexpr PresetIntentSetter kPresetIntentSetters[3] = {&UserSettingsStore::SetSettingsValue256,
                                                        &UserSettingsStore::SetSettingsValue260,
                                                        &UserSettingsStore::SetSettingsValue264};
// The profile-flag bits a preset's check reads.
constexpr uint32_t kPresetProfileFlagBits =
    kProfileChoiceUnrestricted | kAllProfilePairBits | 0x40 | 0x80 | 0x100;

// A preset's stored 8.3 name, as its long name.
int GetPresetProfile(JobSettings& settings, const PresetText& text, uint16_t preset, wchar_t* buffer,
                     uint32_t capacity) {
  wchar_t stored[kProfileNameChars] = {};
  if (buffer == nullptr || capacity == 0 || !(settings.*text.get)(preset, stored, kProfileNameChars)) return 0;
  const std::wstring name = WithColour(settings, [&](ColourManagement& c) { return c.LongProfileName(stored); });
  platform::CopyStringW(buffer, capacity, name.c_str());
  return 1;
}

int SetPresetProfile(JobSettings& settings, const PresetText& text, uint16_t preset, const wchar_t* file_name) {
  const std::wstring stored = WithColour(settings, [&](ColourManagement& c) { return c.ShortProfileName(file_name); });
  return (settings.*text.set)(preset, stored.c_str(), kProfileNameChars);
}

int SetPresetPrinterProfileWithIntent(JobSettings& settings, int pair, uint16_t preset, const wchar_t* file_name) {
  if (settings.IsGenericPrinterProfile(file_name) == 1) {
    const uint32_t intent = kGenericRenderingIntent;
    (settings.*kPresetIntentSetters[pair - 1])(preset, &intent);
  }
  return SetPresetProfile(settings, kPresetPrinterTexts[pair - 1], preset, file_name);
}

}  // namespace

ProfileLists JobSettings::ColourProfileLists() {
  return ProfileLists(ProfileList(source_profile_count_, source_profiles_),
                      ProfileList(printer_profile_count_, printer_profiles_));
}

uint32_t JobSettings::ReadProfileDescription(HPROFILE profile, char* buffer, uint32_t capacity) {
  return settings::ReadProfileDescription(profile, buffer, capacity);
}

#define KALIMU_COLOUR_FORWARD(Result, Name, Parameters, Arguments)                               \
  Result JobSettings::Name Parameters {                                                          \
    return WithColour(*this, [&](ColourManagement& colour) { return colour.Name Arguments; });  \
  }
KALIMU_COLOUR_OPERATIONS(KALIMU_COLOUR_FORWARD)
#undef KALIMU_COLOUR_FORWARD

// The operations of profile pair n.
#define KALIMU_PROFILE_PAIR_DEFINITIONS(n)                                                                  \
  void JobSettings::GetSourceProfile##n(wchar_t* buffer, uint32_t capacity) {                              \
    WithColour(*this, [&](ColourManagement& colour) { colour.GetSourceProfile(n, buffer, capacity); });    \
  }                                                                                                         \
  void JobSettings::SetSourceProfile##n(const wchar_t* file_name) {                                        \
    WithColour(*this, [&](ColourManagement& colour) { colour.SetSourceProfile(n, file_name); });           \
  }                                                                                                         \
  void JobSettings::GetPrinterProfile##n(wchar_t* buffer, uint32_t capacity) {                             \
    WithColour(*this, [&](ColourManagement& colour) { colour.GetPrinterProfile(n, buffer, capacity); });   \
  }                                                                                                         \
  void JobSettings::SetPrinterProfile##n##Name(const wchar_t* file_name) {                                 \
    WithColour(*this, [&](ColourManagement& colour) { colour.SetPrinterProfileName(n, file_name); });      \
  }                                                                                                         \
  void JobSettings::SetPrinterProfile##n(const wchar_t* file_name) {                                       \
    WithColour(*this, [&](ColourManagement& colour) { colour.SetPrinterProfile(n, file_name); });          \
  }                                                                                                         \
  int JobSettings::GetPresetSourceProfile##n(uint16_t preset, wchar_t* buffer, uint32_t capacity) {        \
    return GetPresetProfile(*this, kPresetSourceTexts[n - 1], preset, buffer, capacity);                   \
  }                                                                                                         \
  int JobSettings::SetPresetSourceProfile##n(uint16_t preset, const wchar_t* file_name) {                  \
    return SetPresetProfile(*this, kPresetSourceTexts[n - 1], preset, file_name);                          \
  }                                                                                                         \
  int JobSettings::GetPresetPrinterProfile##n(uint16_t preset, wchar_t* buffer, uint32_t capacity) {       \
    return GetPresetProfile(*this, kPresetPrinterTexts[n - 1], preset, buffer, capacity);                  \
  }                                                                                                         \
  int JobSettings::SetPresetPrinterProfile##n##Name(uint16_t preset, const wchar_t* file_name) {           \
    return SetPresetProfile(*this, kPresetPrinterTexts[n - 1], preset, file_name);                         \
  }                                                                                                         \
  int JobSettings::SetPresetPrinterProfile##n(uint16_t preset, const wchar_t* file_name) {                 \
    return SetPresetPrinterProfileWithIntent(*this, n, preset, file_name);                                 \
  }
KALIMU_PROFILE_PAIR_DEFINITIONS(1)
KALIMU_PROFILE_PAIR_DEFINITIONS(2)
KALIMU_PROFILE_PAIR_DEFINITIONS(3)
#undef KALIMU_PROFILE_PAIR_DEFINITIONS

int JobSettings::CheckPresetProfiles(uint16_t preset) {
  uint32_t mode = 0;
  if (!GetSettingsValue272(preset, &mode)) mode = kNoColorManagement;
  uint32_t flags = 0;
  for (uint32_t bit = 1; bit != 0; bit <<= 1) {
    if ((kPresetProfileFlagBits & bit) && TestSettingsFlags268(preset, bit)) flags |= bit;
  }
  ProfileChoice choice;
  for (int pair = 0; pair < 3; ++pair) {
    wchar_t name[kProfileNameChars] = {};
    if (GetPresetProfile(*this, kPresetSourceTexts[pair], preset, name, kProfileNameChars)) choice.source[pair] = name;
    name[0] = L'\0';
    if (GetPresetProfile(*this, kPresetPrinterTexts[pair], preset, name, kProfileNameChars)) choice.printer[pair] = name;
  }
  return WithColour(*this, [&](ColourManagement& colour) { return colour.CheckStoredProfiles(mode, flags, choice); });
}

}  // namespace kalimu::settings
