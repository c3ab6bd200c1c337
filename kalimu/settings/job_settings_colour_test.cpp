// The settings object's colour-management operations: they reach the object's record, its
// profile lists, its intent rule and media, and the user presets' profile choice, with profiles
// installed into the system's colour directory.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "kalimu/settings/colour_management.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "kalimu/storage/user_settings_records.h"
#include "testkit/kalimu/icc_profile_builder.h"

namespace kalimu::settings::test {
namespace {

// Every colour-management operation of the object exists under its name (a compile-time check).
#define KALIMU_JOB_SETTINGS_HAS(name)                                                       \
  static_assert(std::is_member_function_pointer_v<decltype(&JobSettings::name)> ||        \
                    std::is_function_v<std::remove_pointer_t<decltype(&JobSettings::name)>>, \
                #name " is missing")
KALIMU_JOB_SETTINGS_HAS(GetSourceProfile1);
KALIMU_JOB_SETTINGS_HAS(SetSourceProfile1);
KALIMU_JOB_SETTINGS_HAS(GetSourceProfile2);
KALIMU_JOB_SETTINGS_HAS(SetSourceProfile2);
KALIMU_JOB_SETTINGS_HAS(GetSourceProfile3);
KALIMU_JOB_SETTINGS_HAS(SetSourceProfile3);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfile1);
KALIMU_JOB_SETTINGS_HAS(SetPrinterProfile1Name);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfile2);
KALIMU_JOB_SETTINGS_HAS(SetPrinterProfile2Name);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfile3);
KALIMU_JOB_SETTINGS_HAS(SetPrinterProfile3Name);
KALIMU_JOB_SETTINGS_HAS(GetPresetSourceProfile1);
KALIMU_JOB_SETTINGS_HAS(SetPresetSourceProfile1);
KALIMU_JOB_SETTINGS_HAS(GetPresetSourceProfile2);
KALIMU_JOB_SETTINGS_HAS(SetPresetSourceProfile2);
KALIMU_JOB_SETTINGS_HAS(GetPresetSourceProfile3);
KALIMU_JOB_SETTINGS_HAS(SetPresetSourceProfile3);
KALIMU_JOB_SETTINGS_HAS(GetPresetPrinterProfile1);
KALIMU_JOB_SETTINGS_HAS(SetPresetPrinterProfile1Name);
KALIMU_JOB_SETTINGS_HAS(GetPresetPrinterProfile2);
KALIMU_JOB_SETTINGS_HAS(SetPresetPrinterProfile2Name);
KALIMU_JOB_SETTINGS_HAS(GetPresetPrinterProfile3);
KALIMU_JOB_SETTINGS_HAS(SetPresetPrinterProfile3Name);
KALIMU_JOB_SETTINGS_HAS(RefreshProfileLists);
KALIMU_JOB_SETTINGS_HAS(IsProfileSelectionValid);
KALIMU_JOB_SETTINGS_HAS(SetNoColorManagement);
KALIMU_JOB_SETTINGS_HAS(SetHostIcmMode);
KALIMU_JOB_SETTINGS_HAS(SetPerObjectIcmMode);
KALIMU_JOB_SETTINGS_HAS(SetDriverIcmMode);
KALIMU_JOB_SETTINGS_HAS(GetSourceProfileCount);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfileCount);
KALIMU_JOB_SETTINGS_HAS(GetSourceProfilePath);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfilePath);
KALIMU_JOB_SETTINGS_HAS(SourceProfileHasFlags);
KALIMU_JOB_SETTINGS_HAS(PrinterProfileHasFlags);
KALIMU_JOB_SETTINGS_HAS(SetSourceProfileFlags);
KALIMU_JOB_SETTINGS_HAS(SetPrinterProfileFlags);
KALIMU_JOB_SETTINGS_HAS(GetSourceProfileName);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfileName);
KALIMU_JOB_SETTINGS_HAS(GetSourceProfileNameByPath);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfileNameByPath);
KALIMU_JOB_SETTINGS_HAS(IsPrinterProfileUsable);
KALIMU_JOB_SETTINGS_HAS(GetRenderingIntent);
KALIMU_JOB_SETTINGS_HAS(GetSelectedSourceProfile);
KALIMU_JOB_SETTINGS_HAS(GetSelectedPrinterProfile);
KALIMU_JOB_SETTINGS_HAS(GetDefaultSourceProfile);
KALIMU_JOB_SETTINGS_HAS(FindPrinterProfileForMedia);
KALIMU_JOB_SETTINGS_HAS(SelectDefaultSourceProfiles);
KALIMU_JOB_SETTINGS_HAS(SelectPrinterProfilesForMedia);
KALIMU_JOB_SETTINGS_HAS(IsGenericPrinterProfile);
KALIMU_JOB_SETTINGS_HAS(FindSourceProfile);
KALIMU_JOB_SETTINGS_HAS(FindPrinterProfile);
KALIMU_JOB_SETTINGS_HAS(CheckProfilesMissing);
KALIMU_JOB_SETTINGS_HAS(CheckPresetProfiles);
KALIMU_JOB_SETTINGS_HAS(PrinterProfileMatchesMedia);
KALIMU_JOB_SETTINGS_HAS(ReadProfileDescription);
KALIMU_JOB_SETTINGS_HAS(FindSrgbProfile);
KALIMU_JOB_SETTINGS_HAS(FindAdobeRgbProfile);
KALIMU_JOB_SETTINGS_HAS(FindColorMatchRgbProfile);
KALIMU_JOB_SETTINGS_HAS(GetPrinterProfileAnsiPath);
KALIMU_JOB_SETTINGS_HAS(SetPrinterProfile1);
KALIMU_JOB_SETTINGS_HAS(SetPrinterProfile2);
KALIMU_JOB_SETTINGS_HAS(SetPrinterProfile3);
KALIMU_JOB_SETTINGS_HAS(SetPresetPrinterProfile1);
KALIMU_JOB_SETTINGS_HAS(SetPresetPrinterProfile2);
KALIMU_JOB_SETTINGS_HAS(SetPresetPrinterProfile3);
KALIMU_JOB_SETTINGS_HAS(IsPrinterProfileForInkSet);
KALIMU_JOB_SETTINGS_HAS(IsPrinterProfileAssociated);
KALIMU_JOB_SETTINGS_HAS(IsSourceProfileListed);
KALIMU_JOB_SETTINGS_HAS(IsPrinterProfileListed);
#undef KALIMU_JOB_SETTINGS_HAS

constexpr wchar_t kForMedia[] = L"Kalimu Job Test Media.icc";
constexpr wchar_t kGeneric[] = L"Kalimu Job Test Generic.icc";

class JobSettingsColourTest : public RollPrinterTest {
 protected:
  void SetUp() override {
    RollPrinterTest::SetUp();
    JobSettings& settings = fixture_.settings();
    ASSERT_TRUE(settings.GetMediaTypeId(0, &media_id_));
    settings.SetMediaId(static_cast<uint32_t>(media_id_));
    uint8_t codes[16] = {};
    const uint32_t count = settings.GetSelectedInkCodes(codes, sizeof(codes));
    const std::vector<uint8_t> ink_codes(codes, codes + count);
    const std::string driver = settings.GetDriverName();
    ASSERT_TRUE(profiles_.Install(kForMedia, testkit::PrinterProfile("For the media", {driver},
                                                                      {static_cast<uint32_t>(media_id_)}, ink_codes)));
    ASSERT_TRUE(profiles_.Install(kGeneric, testkit::PrinterProfile("Any media", {driver}, {}, {})));
  }
  std::wstring Printer(int pair) {
    wchar_t name[MAX_PATH] = L"?";
    JobSettings& settings = fixture_.settings();
    if (pair == 1) settings.GetPrinterProfile1(name, MAX_PATH);
    if (pair == 2) settings.GetPrinterProfile2(name, MAX_PATH);
    if (pair == 3) settings.GetPrinterProfile3(name, MAX_PATH);
    return name;
  }

  testkit::InstalledProfiles profiles_;
  int32_t media_id_ = 0;
};

TEST_F(JobSettingsColourTest, ModesChooseTheMediasProfileThroughTheObject) {
  JobSettings& settings = fixture_.settings();
  settings.SetHostIcmMode(0);
  EXPECT_EQ(settings.GetColorManagementMode(), kHostColorManagement);
  EXPECT_EQ(settings.GetICMMethod(), static_cast<uint32_t>(DMICMMETHOD_SYSTEM));
  EXPECT_EQ(settings.GetProfileFlags(), 0x8u | 0x40u);
  EXPECT_EQ(Printer(1), kForMedia);
  wchar_t source[MAX_PATH] = {};
  settings.GetSourceProfile1(source, MAX_PATH);
  EXPECT_TRUE(SameProfileName(source, L"sRGB Color Space Profile.icm"));
  EXPECT_EQ(settings.GetMediaType(), static_cast<uint32_t>(media_id_));
  EXPECT_EQ(settings.GetModeVariant(), 1);

  // Per object: the object's intent rule sets all three intents for a generic profile.
  settings.SetPerObjectIcmMode(0);
  settings.SetIntent1(0);
  settings.SetIntent2(0);
  settings.SetIntent3(0);
  settings.SetPrinterProfile1(kGeneric);
  for (int pair = 1; pair <= 3; ++pair) EXPECT_EQ(Printer(pair), kGeneric);
  EXPECT_EQ(settings.GetIntent1(), kGenericRenderingIntent);
  EXPECT_EQ(settings.GetIntent3(), kGenericRenderingIntent);
  EXPECT_EQ(settings.GetICMIntent(), kGenericRenderingIntent);

  settings.SetNoColorManagement();
  EXPECT_EQ(Printer(1), L"");
  EXPECT_EQ(settings.GetProfileFlags(), 0u);
}

TEST_F(JobSettingsColourTest, ListsAreTheObjectsAndBuiltOnce) {
  JobSettings& settings = fixture_.settings();
  const uint32_t printers = settings.GetPrinterProfileCount(1);
  EXPECT_GE(printers, 2u);
  EXPECT_EQ(settings.RefreshProfileLists(1), 3);
  const uint32_t index = settings.FindPrinterProfile(kForMedia);
  wchar_t text[MAX_PATH] = {};
  EXPECT_EQ(settings.GetPrinterProfileName(index, text, MAX_PATH), 1);
  EXPECT_STREQ(text, L"For the media");
  EXPECT_EQ(settings.PrinterProfileMatchesMedia(index), 1);
  EXPECT_EQ(settings.IsGenericPrinterProfile(kGeneric), 1);
  EXPECT_EQ(settings.IsPrinterProfileForInkSet(kForMedia), 1);
  // A second object over the same record has lists of its own.
  JobSettings other(&fixture_.record(), fixture_.handle(), nullptr, nullptr);
  ASSERT_TRUE(other.IsValid());
  profiles_.Install(L"Kalimu Job Test Later.icc", testkit::PrinterProfile("Later", {settings.GetDriverName()}, {}, {}));
  EXPECT_EQ(other.GetPrinterProfileCount(1), printers + 1);
  EXPECT_EQ(settings.GetPrinterProfileCount(1), printers);

  uint64_t length = 0;
  EXPECT_EQ(settings.GetPrinterProfileAnsiPath(static_cast<uint32_t>(media_id_), nullptr, &length), 1);
  std::vector<char> path(length);
  ASSERT_EQ(settings.GetPrinterProfileAnsiPath(static_cast<uint32_t>(media_id_), path.data(), &length), 1);
  EXPECT_NE(std::string(path.data()).find("Kalimu Job Test Media.icc"), std::string::npos);
}

TEST_F(JobSettingsColourTest, UserPresetsKeepShortNamesAndAreChecked) {
  JobSettings& settings = fixture_.settings();
  const uint32_t in_use = 2;
  ASSERT_TRUE(settings.SetSettingsCount(&in_use));
  storage::UserSettingsEntry entry{};
  entry.color_management_mode = kDriverColorManagement;
  entry.profile_flags = 0x8 | 0x4;
  entry.intents[0] = 0;
  ASSERT_TRUE(settings.SetSettingsEntry(1, &entry, sizeof(entry)));

  EXPECT_EQ(settings.SetPresetSourceProfile1(1, L"sRGB Color Space Profile.icm"), 1);
  EXPECT_EQ(settings.SetPresetPrinterProfile1(1, kGeneric), 1);
  ASSERT_TRUE(settings.GetSettingsEntry(1, &entry, sizeof(entry)));
  EXPECT_LE(wcslen(entry.profile_names[3]), 12u);  // stored as an 8.3 name
  EXPECT_EQ(entry.intents[0], kGenericRenderingIntent);
  wchar_t name[MAX_PATH] = {};
  EXPECT_EQ(settings.GetPresetPrinterProfile1(1, name, MAX_PATH), 1);
  EXPECT_STREQ(name, kGeneric);
  EXPECT_EQ(settings.GetPresetSourceProfile1(1, name, MAX_PATH), 1);
  EXPECT_TRUE(SameProfileName(name, L"sRGB Color Space Profile.icm"));
  EXPECT_EQ(settings.CheckPresetProfiles(1), 0);

  // The name-only setter leaves the intent; a profile that is gone is missing.
  uint32_t intent = 0;
  ASSERT_TRUE(settings.SetSettingsValue256(1, &intent));
  EXPECT_EQ(settings.SetPresetPrinterProfile1Name(1, L"Kalimu Job Test Gone.icc"), 1);
  EXPECT_TRUE(settings.GetSettingsValue256(1, &intent));
  EXPECT_EQ(intent, 0u);
  EXPECT_EQ(settings.CheckPresetProfiles(1), 1);
  // A preset without colour management has nothing missing; a preset not in use neither.
  EXPECT_EQ(settings.CheckPresetProfiles(0), 0);
  EXPECT_EQ(settings.GetPresetSourceProfile2(5, name, MAX_PATH), 0);
}

}  // namespace
}  // namespace kalimu::settings::test
