// Colour management over a record: the mode switches, the profile choices for the media, the
// stored names and the checks, against a colour directory of generated profiles.
#include "kalimu/settings/colour_management.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "testkit/kalimu/icc_profile_builder.h"

namespace kalimu::settings {
namespace {

constexpr char kDriver[] = "Kalimu WF-7000";
const std::vector<uint8_t> kModelCodes = {0x11, 0x22, 0x33, 0x44};
constexpr uint32_t kMediaTypeId = 77;

// The settings object's rules, as colour management sees them.
class RecordingRules : public ColourRuleHooks {
 public:
  explicit RecordingRules(DevModeAccessor& record) : record_(record) {}
  void SetRenderingIntent(uint32_t intent) override {
    record_.SetIntent1(intent);
    record_.SetICMIntent(intent);
    if (record_.GetColorManagementMode() == kPerObjectColorManagement) {
      record_.SetIntent2(intent);
      record_.SetIntent3(intent);
    }
  }
  void SetRenderingIntent2(uint32_t intent) override { record_.SetIntent2(intent); }
  void SetRenderingIntent3(uint32_t intent) override { record_.SetIntent3(intent); }
  void ApplyModeQualityLevel() override { ++quality_level_calls; }
  uint32_t GetCurrentMediaTypeId() override { return kMediaTypeId; }
  uint32_t GetSelectedInkCodes(uint8_t* buffer, uint16_t count) override {
    ++ink_code_calls;
    const uint32_t n = std::min<uint32_t>(count, static_cast<uint32_t>(kModelCodes.size()));
    std::memcpy(buffer, kModelCodes.data(), n);
    return n;
  }
  int quality_level_calls = 0;
  int ink_code_calls = 0;

 private:
  DevModeAccessor& record_;
};

// A record, its rules and the two lists, with colour management over a directory (empty: the
// system's colour directory).
struct ColourBench {
  explicit ColourBench(std::wstring colour_directory) : directory(std::move(colour_directory)) {
    record.SetDriverName(kDriver);
    record.SetMediaId(5);
  }
  ColourManagement Colour() {
    return ColourManagement(record, ProfileLists(ProfileList(source_count, source_block),
                                                 ProfileList(printer_count, printer_block)),
                            rules, "No Such Printer", directory);
  }
  void ForgetLists() {
    source_count = printer_count = 0;
    source_block.Reset();
    printer_block.Reset();
  }

  std::wstring directory;
  DriverDevMode bytes{};
  DevModeAccessor record{&bytes};
  RecordingRules rules{record};
  int32_t source_count = 0;
  platform::GlobalBlock source_block;
  int32_t printer_count = 0;
  platform::GlobalBlock printer_block;
};

class ColourManagementTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(files_.InstallDriverProfileSet(kDriver, kModelCodes)); }

  ColourManagement Colour() { return bench_.Colour(); }
  // Marks printer entries as associated with the printer, as the enumeration would.
  void Associate(const std::vector<const wchar_t*>& names) {
    ColourManagement colour = Colour();
    colour.RefreshProfileLists(1);
    for (const wchar_t* name : names) {
      const uint32_t index = colour.FindPrinterProfile(name);
      ASSERT_EQ(colour.SetPrinterProfileFlags(index, kEntryAssociated, 1, 0), 1);
    }
  }
  std::wstring Source(int pair) {
    wchar_t name[MAX_PATH] = L"?";
    Colour().GetSourceProfile(pair, name, MAX_PATH);
    return name;
  }
  std::wstring Printer(int pair) {
    wchar_t name[MAX_PATH] = L"?";
    Colour().GetPrinterProfile(pair, name, MAX_PATH);
    return name;
  }
  void Choose(uint32_t mode, uint32_t flags, const wchar_t* source, const wchar_t* printer) {
    record_.SetColorManagementMode(mode);
    record_.SetProfileFlags(flags);
    Colour().SetSourceProfile(1, source);
    Colour().SetPrinterProfileName(1, printer);
  }

  testkit::InstalledProfiles files_ = testkit::InstalledProfiles::InScratchFolder();
  ColourBench bench_{files_.directory()};
  DriverDevMode& bytes_ = bench_.bytes;
  DevModeAccessor& record_ = bench_.record;
  RecordingRules& rules_ = bench_.rules;
};

// --- Modes ------------------------------------------------------------------------------------

struct ModeCase {
  const char* name;
  void (ColourManagement::*set)(int32_t);
  uint32_t mode;
  uint32_t icm_method;
  uint32_t flags;
  std::array<const wchar_t*, 3> sources;
  std::array<const wchar_t*, 3> printers;
};

TEST_F(ColourManagementTest, ModesSetTheirPairsWithTheDefaultSourceAndTheMediasPrinterProfile) {
  const ModeCase cases[] = {
      {"host", &ColourManagement::SetHostIcmMode, 1, DMICMMETHOD_SYSTEM, 0x8 | 0x40,
       {L"sRGB Color Space Profile.icm", L"", L""}, {L"Glossy.icc", L"", L""}},
      // Only the host mode gives up the unrestricted choice.
      {"per object", &ColourManagement::SetPerObjectIcmMode, 2, DMICMMETHOD_DRIVER, 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100,
       {L"sRGB Color Space Profile.icm", L"sRGB Color Space Profile.icm", L"sRGB Color Space Profile.icm"},
       {L"Glossy.icc", L"Glossy.icc", L"Glossy.icc"}},
      {"driver", &ColourManagement::SetDriverIcmMode, 3, DMICMMETHOD_DRIVER, 0x4 | 0x8 | 0x40,
       {L"sRGB Color Space Profile.icm", L"", L""}, {L"Glossy.icc", L"", L""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bytes_ = {};
    record_.SetDriverName(kDriver);
    record_.SetMediaId(5);
    record_.SetProfileFlags(kProfileChoiceUnrestricted);
    rules_.quality_level_calls = 0;
    ColourManagement colour = Colour();
    (colour.*c.set)(0);
    EXPECT_EQ(record_.GetColorManagementMode(), c.mode);
    EXPECT_EQ(record_.GetColorMode(), 1u);
    EXPECT_EQ(record_.GetICMMethod(), c.icm_method);
    EXPECT_EQ(record_.GetProfileFlags(), c.flags);
    for (int pair = 1; pair <= 3; ++pair) {
      EXPECT_EQ(Source(pair), c.sources[pair - 1]) << pair;
      EXPECT_EQ(Printer(pair), c.printers[pair - 1]) << pair;
    }
    EXPECT_EQ(record_.GetModeVariant(), 1);
    EXPECT_EQ(record_.GetMediaType(), kMediaTypeId);
    EXPECT_EQ(rules_.quality_level_calls, 1);
  }
}

TEST_F(ColourManagementTest, FullChoiceConsidersOnlyProfilesAssociatedWithThePrinter) {
  // Nothing associated (as under a printer with no profiles): no printer profile.
  Colour().SetDriverIcmMode(1);
  EXPECT_EQ(Printer(1), L"");
  EXPECT_EQ(record_.GetProfileFlags(), 0x8u);

  Associate({L"Glossy.icc"});
  Colour().SetNoColorManagement();
  Colour().SetDriverIcmMode(1);
  EXPECT_EQ(Printer(1), L"Glossy.icc");
  EXPECT_EQ(record_.GetProfileFlags(), 0x8u | 0x40u);
}

TEST_F(ColourManagementTest, ModeAlreadySetChangesNothing) {
  ColourManagement colour = Colour();
  colour.SetHostIcmMode(0);
  colour.SetPrinterProfileName(1, L"Foreign.icc");
  record_.SetProfileFlagBits(0x40, 0);
  const DriverDevMode before = bytes_;
  colour.SetHostIcmMode(1);
  EXPECT_EQ(0, std::memcmp(&before, &bytes_, sizeof(bytes_)));
  EXPECT_EQ(rules_.quality_level_calls, 1);

  record_.SetColorManagementMode(kNoColorManagement);
  const DriverDevMode off = bytes_;
  colour.SetNoColorManagement();
  EXPECT_EQ(0, std::memcmp(&off, &bytes_, sizeof(bytes_)));
}

TEST_F(ColourManagementTest, SwitchingOffLosesTheChoiceAndSwitchingOnTakesTheDefaults) {
  ColourManagement colour = Colour();
  colour.SetPerObjectIcmMode(0);
  colour.SetSourceProfile(1, L"AdobeRGB1998.icc");
  colour.SetPrinterProfile(1, L"OtherDriver.icc");
  record_.SetIntent1(0);
  record_.SetIntent2(1);
  record_.SetIntent3(3);
  colour.SetNoColorManagement();
  EXPECT_EQ(record_.GetColorManagementMode(), kNoColorManagement);
  EXPECT_EQ(record_.GetICMMethod(), static_cast<uint32_t>(DMICMMETHOD_DRIVER));
  EXPECT_EQ(record_.GetProfileFlags(), 0u);
  for (int pair = 1; pair <= 3; ++pair) {
    EXPECT_EQ(Source(pair), L"");
    EXPECT_EQ(Printer(pair), L"");
  }
  EXPECT_EQ(record_.GetIntent1(), kGenericRenderingIntent);
  EXPECT_EQ(record_.GetIntent2(), kGenericRenderingIntent);
  EXPECT_EQ(record_.GetIntent3(), kGenericRenderingIntent);
  EXPECT_EQ(record_.GetICMIntent(), kGenericRenderingIntent);

  colour.SetHostIcmMode(0);
  EXPECT_EQ(Source(1), L"sRGB Color Space Profile.icm");
  EXPECT_EQ(Printer(1), L"Glossy.icc");
}

TEST_F(ColourManagementTest, PerObjectModeCarriesPairOneToTheOtherPairs) {
  ColourManagement colour = Colour();
  colour.SetPerObjectIcmMode(0);
  colour.SetSourceProfile(1, L"AdobeRGB1998.icc");
  for (int pair = 1; pair <= 3; ++pair) EXPECT_EQ(Source(pair), L"AdobeRGB1998.icc");

  record_.SetProfileFlagBits(0x40, 0);
  record_.SetIntent1(0);
  record_.SetIntent2(0);
  record_.SetIntent3(0);
  colour.SetPrinterProfile(1, L"Generic.icc");
  for (int pair = 1; pair <= 3; ++pair) EXPECT_EQ(Printer(pair), L"Generic.icc");
  EXPECT_EQ(record_.GetProfileFlags() & 0x1C0, 0u);
  // A generic driver profile sets the intent (every pair's, in this mode).
  EXPECT_EQ(record_.GetIntent1(), kGenericRenderingIntent);
  EXPECT_EQ(record_.GetIntent3(), kGenericRenderingIntent);

  record_.SetProfileFlagBits(0x40, 1);
  colour.SetPrinterProfile(1, L"Glossy.icc");
  EXPECT_EQ(record_.GetProfileFlags() & 0x1C0, 0x1C0u);
}

struct IntentCase {
  const char* name;
  int pair;
  bool name_only;
  const wchar_t* profile;
  std::array<uint32_t, 3> intents;
};

TEST_F(ColourManagementTest, GenericDriverProfilesSetTheirPairsIntent) {
  const IntentCase cases[] = {
      {"pair 1 generic", 1, false, L"Generic.icc", {2, 0, 0}},
      {"pair 2 generic", 2, false, L"Generic.icc", {0, 2, 0}},
      {"pair 3 generic", 3, false, L"Generic.icc", {0, 0, 2}},
      {"media-specific", 1, false, L"Glossy.icc", {0, 0, 0}},
      {"foreign", 2, false, L"Foreign.icc", {0, 0, 0}},
      {"name only", 1, true, L"Generic.icc", {0, 0, 0}},
  };
  record_.SetColorManagementMode(kDriverColorManagement);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    record_.SetIntent1(0);
    record_.SetIntent2(0);
    record_.SetIntent3(0);
    ColourManagement colour = Colour();
    if (c.name_only) {
      colour.SetPrinterProfileName(c.pair, c.profile);
    } else {
      colour.SetPrinterProfile(c.pair, c.profile);
    }
    EXPECT_EQ(Printer(c.pair), c.profile);
    EXPECT_EQ(record_.GetIntent1(), c.intents[0]);
    EXPECT_EQ(record_.GetIntent2(), c.intents[1]);
    EXPECT_EQ(record_.GetIntent3(), c.intents[2]);
  }
}

// --- Choices ------------------------------------------------------------------------------------

struct DefaultSourceCase {
  const char* name;
  std::vector<std::wstring> files;
  int answer;
  const wchar_t* chosen;
};

TEST(ColourManagementDefaults, DefaultSourceIsSrgbThenAStandardRgbProfileThenTheFirst) {
  const DefaultSourceCase cases[] = {
      {"sRGB first", {L"Scanner.icm", L"AdobeRGB1998.icc", testkit::kSrgbFileName}, 1, testkit::kSrgbFileName},
      {"a standard RGB profile", {L"Scanner.icm", L"ColorMatchRGB.icc"}, 1, L"ColorMatchRGB.icc"},
      {"neither: the first", {L"Scanner.icm"}, 1, L"Scanner.icm"},
      {"no profile", {}, 0, L"unchanged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto files = testkit::InstalledProfiles::InScratchFolder();
    for (const std::wstring& file : c.files) files.Install(file, testkit::StandardRgbProfile("RGB"));
    ColourBench bench(files.directory());
    ColourManagement colour = bench.Colour();
    wchar_t chosen[MAX_PATH] = L"unchanged";
    EXPECT_EQ(colour.GetDefaultSourceProfile(chosen, MAX_PATH), c.answer);
    EXPECT_STREQ(chosen, c.chosen);
  }
}

struct MediaChoiceCase {
  const char* name;
  uint32_t media_id;
  int32_t full;
  std::vector<const wchar_t*> associated;
  int answer;
  const wchar_t* chosen;
};

TEST_F(ColourManagementTest, PrinterProfileForTheMediaIsSpecificThenGenericThenForeign) {
  const MediaChoiceCase cases[] = {
      {"media 5: the profile for it and our inks", 5, 0, {}, 1, L"Glossy.icc"},
      {"media 7", 7, 0, {}, 1, L"Glossy.icc"},
      {"unknown media: the generic driver profile", 99, 0, {}, 1, L"Generic.icc"},
      {"full, nothing associated", 5, 1, {}, 0, L""},
      {"full, the specific one associated", 5, 1, {L"Glossy.icc"}, 1, L"Glossy.icc"},
      {"full, generic and foreign associated", 5, 1, {L"Generic.icc", L"Foreign.icc"}, 1, L"Generic.icc"},
      {"full, only foreign associated", 5, 1, {L"Foreign.icc"}, 0, L"Foreign.icc"},
      {"full, only another ink set's", 5, 1, {L"OtherInk.icc"}, 0, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bench_.ForgetLists();
    Associate(c.associated);
    record_.SetMediaId(c.media_id);
    wchar_t chosen[MAX_PATH] = L"unchanged";
    EXPECT_EQ(Colour().FindPrinterProfileForMedia(chosen, MAX_PATH, c.full), c.answer);
    EXPECT_STREQ(chosen, c.chosen);
  }
}

TEST(ColourManagementDefaults, WithoutPrinterProfilesNothingIsChosen) {
  auto files = testkit::InstalledProfiles::InScratchFolder();
  files.Install(L"Monitor.icm", testkit::StandardRgbProfile("Monitor"));
  ColourBench bench(files.directory());
  DevModeAccessor& record = bench.record;
  ColourManagement colour = bench.Colour();
  wchar_t chosen[MAX_PATH] = L"unchanged";
  EXPECT_EQ(colour.FindPrinterProfileForMedia(chosen, MAX_PATH, 0), 0);
  EXPECT_STREQ(chosen, L"unchanged");
  // The pairs in use lose their printer profiles and automatic bits.
  record.SetProfileFlags(0x8 | 0x40);
  record.SetPrinterProfile1ShortName(L"OLD.ICC");
  colour.SelectPrinterProfilesForMedia(1);
  EXPECT_STREQ(record.GetPrinterProfile1ShortName(), L"");
  EXPECT_EQ(record.GetProfileFlags(), 0x8u);
  EXPECT_EQ(colour.IsProfileSelectionValid(), 0);
}

struct KeepCase {
  const char* name;
  const wchar_t* stored;
  uint32_t flags;  // besides pair 1 in use
  std::vector<const wchar_t*> associated;
  const wchar_t* after;
  uint32_t automatic;
};

TEST_F(ColourManagementTest, HandChosenPrinterProfileStaysOnlyWhenAssociatedAndNotTheDrivers) {
  const KeepCase cases[] = {
      {"associated foreign profile stays", L"Foreign.icc", 0, {L"Foreign.icc"}, L"Foreign.icc", 0},
      {"foreign profile not associated is replaced", L"Foreign.icc", 0, {}, L"Glossy.icc", 0x40},
      {"a driver profile is replaced", L"Generic.icc", 0, {L"Generic.icc"}, L"Glossy.icc", 0x40},
      {"unrestricted keeps any listed profile", L"OtherDriver.icc", 0x4, {}, L"OtherDriver.icc", 0},
      {"automatic choice is renewed even when unrestricted", L"OtherInk.icc", 0x4 | 0x40, {}, L"Glossy.icc", 0x40},
      {"a profile that is gone is replaced", L"Gone.icc", 0x4, {}, L"Glossy.icc", 0x40},
      {"an empty choice is replaced", L"", 0x4, {}, L"Glossy.icc", 0x40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bench_.ForgetLists();
    Associate(c.associated);
    Choose(kDriverColorManagement, 0x8 | c.flags, L"sRGB Color Space Profile.icm", c.stored);
    Colour().SelectPrinterProfilesForMedia(0);
    EXPECT_EQ(Printer(1), c.after);
    EXPECT_EQ(record_.GetProfileFlags() & 0x40, c.automatic);
  }
}

TEST_F(ColourManagementTest, StoredSourceStaysWhenStandardOrUnrestricted) {
  struct {
    const wchar_t* stored;
    uint32_t flags;
    const wchar_t* after;
  } const cases[] = {
      {L"AdobeRGB1998.icc", 0x8, L"AdobeRGB1998.icc"},
      {L"Scanner.icm", 0x8, L"sRGB Color Space Profile.icm"},
      {L"Scanner.icm", 0x8 | 0x4, L"Scanner.icm"},
      {L"Gone.icm", 0x8 | 0x4, L"sRGB Color Space Profile.icm"},
  };
  for (const auto& c : cases) {
    Choose(kDriverColorManagement, c.flags, c.stored, L"");
    record_.SetSourceProfile2ShortName(L"X.ICM");
    Colour().SelectDefaultSourceProfiles();
    EXPECT_EQ(Source(1), c.after);
    EXPECT_EQ(Source(2), L"");  // pair 2 not in use
  }
}

// --- Entries and lookups -----------------------------------------------------------------------

TEST_F(ColourManagementTest, EntryOperationsServeOnlyEntriesInTheLists) {
  ColourManagement colour = Colour();
  const uint32_t sources = colour.GetSourceProfileCount(1);
  const uint32_t printers = colour.GetPrinterProfileCount(0);
  EXPECT_EQ(sources, 10u);
  EXPECT_EQ(printers, 6u);

  wchar_t text[MAX_PATH] = L"untouched";
  EXPECT_EQ(colour.GetSourceProfilePath(sources, text, MAX_PATH, 1), 0);
  EXPECT_EQ(colour.GetPrinterProfileName(printers, text, MAX_PATH), 0);
  EXPECT_EQ(colour.SetPrinterProfileFlags(printers, 1, 1, 1), 0);
  EXPECT_EQ(colour.PrinterProfileHasFlags(0xFFFFFFFF, ~0u), 0);
  EXPECT_EQ(colour.GetSourceProfileNameByPath(L"Gone.icc", text, MAX_PATH), 0);
  EXPECT_STREQ(text, L"untouched");

  const uint32_t glossy = colour.FindPrinterProfile(L"glossy.ICC");
  EXPECT_EQ(colour.GetPrinterProfilePath(glossy, text, MAX_PATH, 0), 1);
  EXPECT_STREQ(text, L"Glossy.icc");
  EXPECT_EQ(colour.GetPrinterProfileName(glossy, text, MAX_PATH), 1);
  EXPECT_STREQ(text, L"Glossy photo");
  EXPECT_EQ(colour.GetPrinterProfileNameByPath(L"GLOSSY.icc", text, MAX_PATH), 1);
  EXPECT_STREQ(text, L"Glossy photo");
  wchar_t small[4];
  EXPECT_EQ(colour.GetPrinterProfilePath(glossy, small, 4, 0), 1);
  EXPECT_STREQ(small, L"Glo");
  EXPECT_EQ(colour.PrinterProfileHasFlags(glossy, kEntryHasMediaIds | kEntryAssociated), 1);
  EXPECT_EQ(colour.PrinterProfileHasFlags(glossy, kEntryAssociated), 0);
  EXPECT_EQ(colour.SetPrinterProfileFlags(glossy, kEntryAssociated | kEntryHasMediaIds, 0, 0), 1);
  EXPECT_EQ(colour.PrinterProfileHasFlags(glossy, kEntryHasMediaIds), 0);

  // Index 0 is also the answer for no match.
  uint32_t first = 0;
  wchar_t first_name[MAX_PATH];
  colour.GetSourceProfilePath(0, first_name, MAX_PATH, 0);
  EXPECT_EQ(colour.FindSourceProfile(first_name), 0u);
  EXPECT_EQ(colour.FindSourceProfile(L"Gone.icc"), 0u);
  EXPECT_EQ(colour.FindSrgbProfile(&first), 1);
  colour.GetSourceProfilePath(first, text, MAX_PATH, 0);
  EXPECT_STREQ(text, L"sRGB Color Space Profile.icm");
  EXPECT_EQ(colour.FindAdobeRgbProfile(&first), 1);
  EXPECT_EQ(colour.FindColorMatchRgbProfile(nullptr), 1);
}

struct PredicateCase {
  const wchar_t* file;
  int usable;             // IsPrinterProfileUsable (need associated 0)
  int usable_associated;  // IsPrinterProfileUsable (need associated 1)
  int for_ink_set;
  int generic;
  int matches_media_5;
};

TEST_F(ColourManagementTest, PrinterProfilePredicates) {
  Associate({L"Glossy.icc"});
  const PredicateCase cases[] = {
      {L"Glossy.icc", 1, 1, 1, 0, 1},
      {L"Generic.icc", 1, 0, 1, 1, 0},
      {L"OtherInk.icc", 1, 0, 0, 0, 0},
      {L"LongInks.icc", 1, 0, 0, 0, 0},
      {L"OtherDriver.icc", 0, 0, 1, 0, 1},
      {L"Foreign.icc", 0, 0, 1, 0, 0},
      {L"Scanner.icm", 0, 0, 0, 0, 0},
      {L"Gone.icc", 0, 0, 0, 0, 0},
  };
  ColourManagement colour = Colour();
  record_.SetMediaId(5);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)));
    EXPECT_EQ(colour.IsPrinterProfileUsable(c.file, 0), c.usable);
    EXPECT_EQ(colour.IsPrinterProfileUsable(c.file, 1), c.usable_associated);
    EXPECT_EQ(colour.IsPrinterProfileAssociated(c.file), c.usable_associated && c.file == std::wstring(L"Glossy.icc"));
    EXPECT_EQ(colour.IsPrinterProfileForInkSet(c.file), c.for_ink_set);
    EXPECT_EQ(colour.IsGenericPrinterProfile(c.file), c.generic);
    const uint32_t index = colour.FindPrinterProfile(c.file);
    if (colour.IsPrinterProfileListed(c.file, 1, 0)) {
      EXPECT_EQ(colour.PrinterProfileMatchesMedia(index), c.matches_media_5);
    }
  }
}

struct ListedCase {
  const wchar_t* file;
  int32_t unrestricted;
  int32_t automatic;
  int source_listed;
  int printer_listed;
};

TEST_F(ColourManagementTest, ListedChecksFollowTheFreedomOfChoice) {
  Associate({L"Glossy.icc"});
  const ListedCase cases[] = {
      {L"sRGB Color Space Profile.icm", 0, 0, 1, 0},
      {L"Scanner.icm", 0, 0, 0, 0},
      {L"Scanner.icm", 1, 0, 1, 0},
      {L"Glossy.icc", 0, 0, 0, 1},
      {L"Glossy.icc", 0, 1, 0, 1},
      {L"Generic.icc", 0, 0, 0, 0},
      {L"Generic.icc", 1, 0, 1, 1},
      {L"Generic.icc", 1, 1, 1, 0},
      {L"Gone.icc", 1, 0, 0, 0},
  };
  ColourManagement colour = Colour();
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)) + " " + std::to_string(c.unrestricted) + std::to_string(c.automatic));
    EXPECT_EQ(colour.IsSourceProfileListed(c.file, c.unrestricted), c.source_listed);
    EXPECT_EQ(colour.IsPrinterProfileListed(c.file, c.unrestricted, c.automatic), c.printer_listed);
  }
}

TEST_F(ColourManagementTest, SelectedProfilesAndIntent) {
  ColourManagement colour = Colour();
  wchar_t name[MAX_PATH];
  EXPECT_EQ(colour.GetRenderingIntent(), kGenericRenderingIntent);
  // Nothing stored: the defaults (the printer profile from the associated ones only).
  Associate({L"Glossy.icc"});
  EXPECT_EQ(colour.GetSelectedSourceProfile(name, MAX_PATH), 1);
  EXPECT_STREQ(name, L"sRGB Color Space Profile.icm");
  EXPECT_EQ(colour.GetSelectedPrinterProfile(name, MAX_PATH), 1);
  EXPECT_STREQ(name, L"Glossy.icc");

  Choose(kDriverColorManagement, 0x8, L"Scanner.icm", L"Foreign.icc");
  record_.SetIntent1(3);
  EXPECT_EQ(colour.GetRenderingIntent(), 3u);
  EXPECT_EQ(colour.GetSelectedSourceProfile(name, MAX_PATH), 1);
  EXPECT_STREQ(name, L"Scanner.icm");
  EXPECT_EQ(colour.GetSelectedPrinterProfile(name, MAX_PATH), 0);
  EXPECT_STREQ(name, L"Foreign.icc");
  record_.SetProfileFlagBits(0x40, 1);
  EXPECT_EQ(colour.GetSelectedPrinterProfile(name, MAX_PATH), 1);
}

TEST_F(ColourManagementTest, AnsiPathOfTheMediasDriverProfile) {
  ColourManagement colour = Colour();
  EXPECT_EQ(colour.GetPrinterProfileAnsiPath(5, nullptr, nullptr), 0);
  uint64_t length = 0;
  ASSERT_EQ(colour.GetPrinterProfileAnsiPath(5, nullptr, &length), 1);
  const std::wstring wide = files_.PathOf(L"Glossy.icc");
  const std::string expected(wide.begin(), wide.end());  // the scratch path is ASCII
  EXPECT_EQ(length, expected.size() + 2);  // one more than the size with its zero

  std::vector<char> buffer(length, 'x');
  EXPECT_EQ(colour.GetPrinterProfileAnsiPath(5, buffer.data(), &length), 1);
  EXPECT_STREQ(buffer.data(), expected.c_str());
  uint64_t short_length = expected.size() + 1;
  EXPECT_EQ(colour.GetPrinterProfileAnsiPath(5, buffer.data(), &short_length), 0);

  // Unknown media: the generic driver profile.
  buffer.resize(MAX_PATH);
  uint64_t room = buffer.size();
  ASSERT_EQ(colour.GetPrinterProfileAnsiPath(99, buffer.data(), &room), 1);
  EXPECT_NE(std::string(buffer.data()).find("Generic.icc"), std::string::npos);
}

// --- Checks --------------------------------------------------------------------------------------

struct MissingCase {
  const char* name;
  uint32_t mode;
  uint32_t flags;
  const wchar_t* source;
  const wchar_t* printer;
  int missing;
};

TEST_F(ColourManagementTest, MissingProfilesOfThePairsInUse) {
  Associate({L"Glossy.icc", L"Foreign.icc"});
  const MissingCase cases[] = {
      {"management off", 0, 0x8, L"Gone.icm", L"Gone.icc", 0},
      {"all installed and allowed", 3, 0x8, L"sRGB Color Space Profile.icm", L"Glossy.icc", 0},
      {"printer profile not associated", 3, 0x8, L"sRGB Color Space Profile.icm", L"Generic.icc", 1},
      {"unrestricted allows it", 3, 0x8 | 0x4, L"sRGB Color Space Profile.icm", L"Generic.icc", 0},
      {"an automatic choice must be associated", 3, 0x8 | 0x4 | 0x40, L"sRGB Color Space Profile.icm", L"Generic.icc", 1},
      {"source not a standard RGB profile", 3, 0x8, L"Scanner.icm", L"Foreign.icc", 1},
      {"unrestricted source", 3, 0x8 | 0x4, L"Scanner.icm", L"Foreign.icc", 0},
      {"printer profile gone", 3, 0x8 | 0x4, L"sRGB Color Space Profile.icm", L"Gone.icc", 1},
      {"no source profile", 1, 0x8, L"", L"Glossy.icc", 1},
      {"pair 2 in use and empty", 2, 0x8 | 0x10, L"sRGB Color Space Profile.icm", L"Glossy.icc", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Choose(c.mode, c.flags, c.source, c.printer);
    record_.SetSourceProfile2ShortName(L"");
    record_.SetPrinterProfile2ShortName(L"");
    EXPECT_EQ(Colour().CheckProfilesMissing(), c.missing);

    ProfileChoice preset;
    preset.source[0] = c.source;
    preset.printer[0] = c.printer;
    EXPECT_EQ(Colour().CheckStoredProfiles(c.mode, c.flags, preset), c.missing);
  }
}

TEST_F(ColourManagementTest, AutomaticChoiceForAnotherInkSetIsRenewedBeforeTheCheck) {
  Associate({L"Glossy.icc"});
  Choose(kDriverColorManagement, 0x8 | 0x40, L"sRGB Color Space Profile.icm", L"OtherInk.icc");
  EXPECT_EQ(Colour().CheckProfilesMissing(), 0);
  EXPECT_EQ(Printer(1), L"Glossy.icc");
  EXPECT_EQ(record_.GetProfileFlags(), 0x8u | 0x40u);

  // A stored preset is checked as it is.
  ProfileChoice preset;
  preset.source[0] = L"sRGB Color Space Profile.icm";
  preset.printer[0] = L"OtherInk.icc";
  EXPECT_EQ(Colour().CheckStoredProfiles(kDriverColorManagement, 0x8 | 0x40, preset), 1);
}

TEST(ColourManagementChecks, NoProfileInstalledIsMissingWhenManagementIsOn) {
  auto files = testkit::InstalledProfiles::InScratchFolder();
  ColourBench bench(files.directory());
  DevModeAccessor& record = bench.record;
  ColourManagement colour = bench.Colour();
  EXPECT_EQ(colour.CheckProfilesMissing(), 0);
  record.SetColorManagementMode(kHostColorManagement);
  record.SetProfileFlags(0x8);
  EXPECT_EQ(colour.CheckProfilesMissing(), 1);
  EXPECT_EQ(colour.CheckStoredProfiles(kHostColorManagement, 0x8, {}), 1);
  EXPECT_EQ(colour.IsProfileSelectionValid(), 0);
  // The stored source profiles stay as they are.
  record.SetSourceProfile1ShortName(L"KEEP.ICM");
  colour.SelectDefaultSourceProfiles();
  EXPECT_STREQ(record.GetSourceProfile1ShortName(), L"KEEP.ICM");
}

struct SelectionCase {
  const char* name;
  uint32_t mode;
  uint32_t flags;
  const wchar_t* printer1;
  const wchar_t* printer2;
  int valid;
};

TEST_F(ColourManagementTest, SelectionIsValidWithAMediaSpecificOrForeignProfile) {
  const SelectionCase cases[] = {
      {"media-specific driver profile", 3, 0x8, L"Glossy.icc", L"", 1},
      {"generic driver profile", 3, 0x8, L"Generic.icc", L"", 0},
      {"foreign profile", 3, 0x8, L"Foreign.icc", L"", 1},
      {"another driver's profile", 3, 0x8, L"OtherDriver.icc", L"", 1},
      {"empty", 3, 0x8, L"", L"", 0},
      {"gone", 3, 0x8, L"Gone.icc", L"", 0},
      {"pair 2 decides", 2, 0x8 | 0x10, L"Generic.icc", L"Glossy.icc", 1},
      {"pair 2 not in use", 3, 0x8, L"Generic.icc", L"Glossy.icc", 0},
      {"management off", 0, 0x8, L"Glossy.icc", L"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Choose(c.mode, c.flags, L"", c.printer1);
    Colour().SetPrinterProfileName(2, c.printer2);
    EXPECT_EQ(Colour().IsProfileSelectionValid(), c.valid);
  }
}

TEST_F(ColourManagementTest, ListsFirstBuiltWithoutFullKeepThatForm) {
  // As a media change builds them: no descriptions, no association marks, answered 2.
  ColourManagement colour = Colour();
  EXPECT_EQ(colour.RefreshProfileLists(0), 2);
  colour.SelectPrinterProfilesForMedia(0);
  EXPECT_EQ(rules_.ink_code_calls, 1);
  colour.SetHostIcmMode(1);
  EXPECT_EQ(colour.RefreshProfileLists(1), 3);
  EXPECT_EQ(rules_.ink_code_calls, 1);
  wchar_t description[MAX_PATH] = L"untouched";
  EXPECT_EQ(colour.GetSourceProfileName(0, description, MAX_PATH), 1);
  EXPECT_STREQ(description, L"");
  for (uint32_t i = 0; i < colour.GetPrinterProfileCount(0); ++i)
    EXPECT_EQ(colour.PrinterProfileHasFlags(i, kEntryAssociated), 0);
}

TEST(ColourManagementRecord, DriverNameOfAForeignRecordIsReadWithinItsField) {
  auto files = testkit::InstalledProfiles::InScratchFolder();
  const std::string whole_field(kDriverNameBytes, 'A');
  files.Install(L"Field.icc", testkit::PrinterProfile("Field", {whole_field}, {}, {}));
  files.Install(L"Beyond.icc", testkit::PrinterProfile("Beyond", {whole_field + "BBBB"}, {}, {}));
  ColourBench bench(files.directory());
  std::memset(bench.bytes.DriverName, 'A', sizeof(bench.bytes.DriverName));
  std::memset(bench.bytes.DllNameTag, 'B', sizeof(bench.bytes.DllNameTag));
  ColourManagement colour = bench.Colour();
  EXPECT_EQ(colour.IsGenericPrinterProfile(L"Field.icc"), 1);
  EXPECT_EQ(colour.IsGenericPrinterProfile(L"Beyond.icc"), 0);
}

// --- Stored names ------------------------------------------------------------------------------

TEST_F(ColourManagementTest, NamesAreStoredShortAndReadBackLong) {
  ColourManagement colour = Colour();
  for (const wchar_t* name : {L"sRGB Color Space Profile.icm", L"OtherDriver.icc", L"Glossy.icc"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(name)));
    colour.SetSourceProfile(3, name);
    const std::wstring stored = record_.GetSourceProfile3ShortName();
    EXPECT_LE(stored.size(), 12u);
    EXPECT_EQ(Source(3), name);
  }
  // A stored name whose file is gone comes back as stored; empty stays empty.
  record_.SetPrinterProfile2ShortName(L"GONE~1.ICC");
  EXPECT_EQ(Printer(2), L"GONE~1.ICC");
  colour.SetPrinterProfileName(2, nullptr);
  EXPECT_EQ(Printer(2), L"");
  // A name that has no file is stored as given, cut to the field.
  colour.SetPrinterProfileName(3, L"A very long name of no file.icc");
  EXPECT_STREQ(record_.GetPrinterProfile3ShortName(), L"A very long nam");
  // A foreign record's unterminated field is read within the field.
  std::fill(std::begin(bytes_.ColorSettingsBlock.PrinterProfile1ShortName),
            std::end(bytes_.ColorSettingsBlock.PrinterProfile1ShortName), L'Z');
  EXPECT_EQ(Printer(1), std::wstring(16, L'Z'));
  wchar_t small[3] = L"xx";
  colour.GetSourceProfile(3, small, 3);
  EXPECT_STREQ(small, L"Gl");
}

// The profiles a test prefix holds: the sRGB profile it comes with and generated ones, installed
// into the system's colour directory.
TEST(ColourManagementPrefix, SystemColourDirectoryServesTheInstalledProfiles) {
  testkit::InstalledProfiles files;
  ASSERT_FALSE(files.directory().empty());
  ASSERT_TRUE(files.InstallStandardRgbProfiles());
  ASSERT_TRUE(files.Install(L"Kalimu Test Glossy.icc", testkit::PrinterProfile("Test glossy", {kDriver}, {5}, kModelCodes)));
  ColourBench bench(L"");
  DevModeAccessor& record = bench.record;
  ColourManagement colour = bench.Colour();
  EXPECT_EQ(colour.colour_directory(), testkit::ColourDirectory());
  colour.SetDriverIcmMode(0);
  wchar_t name[MAX_PATH];
  colour.GetSourceProfile(1, name, MAX_PATH);
  EXPECT_TRUE(SameProfileName(name, L"sRGB Color Space Profile.icm")) << testing::PrintToString(std::wstring(name));
  colour.GetPrinterProfile(1, name, MAX_PATH);
  EXPECT_STREQ(name, L"Kalimu Test Glossy.icc");
  EXPECT_EQ(record.GetProfileFlags(), 0x8u | 0x40u);
  uint32_t index = 0;
  EXPECT_EQ(colour.FindAdobeRgbProfile(&index), 1);
  EXPECT_EQ(colour.FindColorMatchRgbProfile(&index), 1);
  colour.SetSourceProfile(1, L"AdobeRGB1998.icc");
  colour.GetSourceProfile(1, name, MAX_PATH);
  EXPECT_STREQ(name, L"AdobeRGB1998.icc");
  // Under no printer the enumeration marks nothing: the automatic choice is not associated.
  EXPECT_EQ(colour.IsPrinterProfileAssociated(L"Kalimu Test Glossy.icc"), 0);
}

}  // namespace
}  // namespace kalimu::settings
