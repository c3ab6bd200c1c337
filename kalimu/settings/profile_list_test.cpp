// The source and printer lists built from a colour directory of generated profiles: which files
// they hold, each entry's flags, description, media ids and ink codes, and that they are built
// once.
#include "kalimu/settings/profile_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/kalimu/icc_profile_builder.h"

namespace kalimu::settings {
namespace {

using testkit::IccCode;
using testkit::IccProfileBuilder;
using testkit::IccTagWriter;
using Bytes = std::vector<uint8_t>;

constexpr char kDriver[] = "Kalimu WF-7000";
const Bytes kModelCodes = {0x11, 0x22, 0x33, 0x44};

// A list pair with its own storage, as a settings object holds it.
struct ListStorage {
  int32_t source_count = 0;
  platform::GlobalBlock source_block;
  int32_t printer_count = 0;
  platform::GlobalBlock printer_block;
  ProfileLists lists{ProfileList(source_count, source_block), ProfileList(printer_count, printer_block)};
};

class ProfileListTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(files_.InstallDriverProfileSet(kDriver, kModelCodes)); }

  ProfileScan Scan(bool describe) const {
    ProfileScan scan;
    scan.directory = files_.directory();
    scan.driver_name = kDriver;
    scan.model_ink_codes = kModelCodes;
    scan.describe = describe;
    return scan;
  }
  int Refresh(int32_t full) { return storage_.lists.RefreshProfileLists(full, Scan(full != 0), "No Such Printer"); }

  testkit::InstalledProfiles files_ = testkit::InstalledProfiles::InScratchFolder();
  ListStorage storage_;
};

struct EntryCase {
  const wchar_t* file;
  bool in_printer_list;
  uint32_t flags;
  const wchar_t* description;
  std::vector<uint32_t> media_ids;
  uint16_t ink_code_length;
};

TEST_F(ProfileListTest, EveryValidProfileIsListedWithItsFlagsDescriptionAndMediaIds) {
  ASSERT_EQ(Refresh(1), 1);
  constexpr uint32_t kPrtr = kEntryValid | kEntryOutputDevice;
  const EntryCase cases[] = {
      {L"sRGB Color Space Profile.icm", false, kEntryValid | kEntryStandardRgb | kEntrySrgb, L"sRGB IEC61966-2.1", {}, 0},
      {L"AdobeRGB1998.icc", false, kEntryValid | kEntryStandardRgb, L"Adobe RGB (1998)", {}, 0},
      {L"ColorMatchRGB.icc", false, kEntryValid | kEntryStandardRgb, L"ColorMatch RGB", {}, 0},
      {L"Scanner.icm", false, kEntryValid, L"Flatbed", {}, 0},
      {L"Glossy.icc", true, kPrtr | kEntryNamesDriver | kEntryHasMediaIds | kEntryInkSetMatches, L"Glossy photo", {5, 7}, 4},
      {L"Generic.icc", true, kPrtr | kEntryNamesDriver, L"Any paper", {}, 0},
      {L"OtherInk.icc", true, kPrtr | kEntryNamesDriver | kEntryHasMediaIds, L"Other inks", {5}, 5},
      // Media ids and inks are read whenever the profile names drivers, ours or not.
      {L"OtherDriver.icc", true, kPrtr | kEntryHasMediaIds | kEntryInkSetMatches, L"Not ours", {5}, 4},
      // Without a driver-name tag the private tags are not read.
      {L"Foreign.icc", true, kPrtr, L"Foreign", {}, 0},
      // Seventeen ink codes do not fit: not kept, never matching.
      {L"LongInks.icc", true, kPrtr | kEntryNamesDriver | kEntryHasMediaIds, L"Long inks", {5}, 0},
  };
  EXPECT_EQ(storage_.lists.source().count(), std::size(cases));
  EXPECT_EQ(storage_.lists.printer().count(), 6u);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)));
    const ProfileEntry* source = storage_.lists.source().Find(c.file);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->Flags, c.flags);
    EXPECT_STREQ(source->Description, c.description);
    std::vector<uint32_t> ids(c.media_ids);
    ids.resize(kProfileMediaIdCount, 0);
    EXPECT_EQ(std::vector<uint32_t>(std::begin(source->MediaIds), std::end(source->MediaIds)), ids);
    EXPECT_EQ(source->InkCodeLength, c.ink_code_length);
    const ProfileEntry* printer = storage_.lists.printer().Find(c.file);
    ASSERT_EQ(printer != nullptr, c.in_printer_list);
    if (printer != nullptr) {
      EXPECT_EQ(0, memcmp(printer, source, sizeof(ProfileEntry)));
    }
  }
  for (const wchar_t* skipped : {L"readme.txt", L"Broken.icc", L"Folder.icc"})
    EXPECT_EQ(storage_.lists.source().Find(skipped), nullptr);
  // File names compare without regard to case.
  EXPECT_NE(storage_.lists.printer().Find(L"GLOSSY.ICC"), nullptr);
}

TEST_F(ProfileListTest, ListsAreBuiltOnceAndKeptForTheObject) {
  ASSERT_EQ(Refresh(1), 1);
  const uint32_t sources = storage_.lists.source().count();
  files_.Install(L"Later.icc", testkit::PrinterProfile("Later", {kDriver}, {}, {}));
  EXPECT_EQ(Refresh(1), 3);
  EXPECT_EQ(Refresh(0), 3);
  EXPECT_EQ(storage_.lists.source().count(), sources);
  EXPECT_EQ(storage_.lists.printer().Find(L"Later.icc"), nullptr);
}

TEST_F(ProfileListTest, FirstBuildWithoutFullKeepsEmptyDescriptionsAndNoMarks) {
  ASSERT_EQ(Refresh(0), 2);
  ASSERT_EQ(Refresh(1), 3);
  for (uint32_t i = 0; const ProfileEntry* entry = storage_.lists.source().At(i); ++i) {
    EXPECT_STREQ(entry->Description, L"");
    EXPECT_EQ(entry->Flags & kEntryAssociated, 0u);
  }
  // Everything but the descriptions is read all the same.
  EXPECT_EQ(storage_.lists.printer().Find(L"Glossy.icc")->Flags & kEntryInkSetMatches, kEntryInkSetMatches);
}

TEST_F(ProfileListTest, AssociatedProfilesAreMarkedByFileNameInThePrinterListOnly) {
  ASSERT_EQ(Refresh(1), 1);
  wchar_t glossy[] = L"C:\\windows\\system32\\spool\\drivers\\color\\GLOSSY.icc";
  wchar_t srgb[] = L"C:\\elsewhere\\sRGB Color Space Profile.icm";
  wchar_t unknown[] = L"C:\\elsewhere\\Unknown.icc";
  const LPARAM lists = reinterpret_cast<LPARAM>(&storage_.lists);
  EXPECT_EQ(MarkAssociatedProfile(glossy, lists), 1);
  EXPECT_EQ(MarkAssociatedProfile(srgb, lists), 1);
  EXPECT_EQ(MarkAssociatedProfile(unknown, lists), 1);
  EXPECT_EQ(MarkAssociatedProfile(glossy, 0), 1);
  EXPECT_EQ(storage_.lists.printer().Find(L"Glossy.icc")->Flags & kEntryAssociated, kEntryAssociated);
  EXPECT_EQ(storage_.lists.source().Find(L"Glossy.icc")->Flags & kEntryAssociated, 0u);
  uint32_t marked = 0;
  for (uint32_t i = 0; const ProfileEntry* entry = storage_.lists.printer().At(i); ++i)
    marked += (entry->Flags & kEntryAssociated) ? 1 : 0;
  EXPECT_EQ(marked, 1u);
}

TEST_F(ProfileListTest, EntriesBeyondTheCountAreNotServed) {
  ASSERT_EQ(Refresh(1), 1);
  EXPECT_NE(storage_.lists.printer().At(storage_.lists.printer().count() - 1), nullptr);
  EXPECT_EQ(storage_.lists.printer().At(storage_.lists.printer().count()), nullptr);
  EXPECT_EQ(storage_.lists.printer().At(0xFFFFFFFFu), nullptr);
  EXPECT_EQ(storage_.lists.source().Find(nullptr), nullptr);
  // A count without a block (a build whose allocation failed) serves nothing either.
  int32_t count = 3;
  platform::GlobalBlock none;
  EXPECT_EQ(ProfileList(count, none).At(0), nullptr);
}

TEST(ProfileListDirectory, NoValidProfileLeavesBothListsEmptyUntilOneIsInstalled) {
  auto files = testkit::InstalledProfiles::InScratchFolder();
  files.Install(L"readme.txt", Bytes(10, 'x'));
  ListStorage storage;
  ProfileScan scan;
  scan.directory = files.directory();
  scan.driver_name = kDriver;
  EXPECT_EQ(storage.lists.RefreshProfileLists(1, scan, nullptr), 0);
  EXPECT_EQ(storage.lists.RefreshProfileLists(1, scan, nullptr), 0);
  EXPECT_FALSE(storage.lists.built());
  EXPECT_EQ(storage.lists.source().At(0), nullptr);

  files.Install(L"Monitor.icm", testkit::StandardRgbProfile("A monitor"));
  EXPECT_EQ(storage.lists.RefreshProfileLists(1, scan, nullptr), 1);
  EXPECT_EQ(storage.lists.source().count(), 1u);
  // No output-device profile: the printer list stays empty, without a block.
  EXPECT_EQ(storage.lists.printer().count(), 0u);
  EXPECT_FALSE(storage.lists.printer().has_block());

  scan.directory = files.directory() + L"\\missing";
  ListStorage missing;
  EXPECT_EQ(missing.lists.RefreshProfileLists(1, scan, nullptr), 0);
}

struct DamagedTagCase {
  const char* name;
  uint32_t tag;
  Bytes data;
  uint32_t flags;  // beyond kEntryValid | kEntryOutputDevice
  std::vector<uint32_t> media_ids;
  uint16_t ink_code_length;
  const wchar_t* description;
};

TEST(ProfileListPrivateTags, WellFormedAndDamagedTagsGiveTheirFlagsIdsAndCodes) {
  const auto drvn = [] { return IccTagWriter(IccCode("drvn")); };
  const auto mdea = [] { return IccTagWriter(IccCode("mdea")); };
  const auto inks = [] { return IccTagWriter(IccCode("inks")); };
  const auto desc = [] { return IccTagWriter(IccCode("desc")); };
  constexpr uint32_t kOurs = kEntryNamesDriver | kEntryHasMediaIds | kEntryInkSetMatches;
  const DamagedTagCase cases[] = {
      {"inks longer than the tag", IccCode("inks"), inks().U16(16).U8(0x11).data(), kEntryNamesDriver | kEntryHasMediaIds, {5}, 0, L"Damaged"},
      {"inks of 200 codes", IccCode("inks"), inks().U16(200).Bytes(Bytes(200, 0x11)).data(), kEntryNamesDriver | kEntryHasMediaIds, {5}, 0, L"Damaged"},
      {"inks with more codes than the model", IccCode("inks"), testkit::InkCodesTag({0x11, 0x22, 0x33, 0x44, 0x55}),
       kEntryNamesDriver | kEntryHasMediaIds, {5}, 5, L"Damaged"},
      {"inks of no codes", IccCode("inks"), testkit::InkCodesTag({}), kOurs, {5}, 0, L"Damaged"},
      {"inks of the model's first two codes", IccCode("inks"), testkit::InkCodesTag({0x11, 0x22}), kOurs, {5}, 2, L"Damaged"},
      {"inks differing in the last code", IccCode("inks"), testkit::InkCodesTag({0x11, 0x22, 0x33, 0x45}),
       kEntryNamesDriver | kEntryHasMediaIds, {5}, 4, L"Damaged"},
      {"mdea cut in its ids", IccCode("mdea"), mdea().U16(0).U16(4).U32(8).U16(1).data(), kOurs, {8}, 4, L"Damaged"},
      {"mdea skipping past the tag", IccCode("mdea"), mdea().U16(500).U32(1).data(), kOurs, {}, 4, L"Damaged"},
      {"drvn name past the tag", IccCode("drvn"), drvn().U16(1).U16(300).Text(kDriver).data(),
       kEntryHasMediaIds | kEntryInkSetMatches, {5}, 4, L"Damaged"},
      {"drvn without names", IccCode("drvn"), drvn().U16(0).data(), kEntryHasMediaIds | kEntryInkSetMatches, {5}, 4, L"Damaged"},
      {"desc count past the tag", IccCode("desc"), desc().U32(9000).Text("Damaged").data(), kOurs, {5}, 4, L""},
      {"desc without terminator", IccCode("desc"), desc().U32(4).Text("Damaged").data(), kOurs, {5}, 4, L"Dama"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto files = testkit::InstalledProfiles::InScratchFolder();
    files.Install(L"Damaged.icc", IccProfileBuilder(testkit::kIccClassPrinter)
                                      .Description("Damaged")
                                      .DriverNames({kDriver})
                                      .MediaIds({5})
                                      .InkCodes(kModelCodes)
                                      .Tag(c.tag, c.data)
                                      .Build());
    ListStorage storage;
    ProfileScan scan{files.directory(), kDriver, kModelCodes, true};
    ASSERT_EQ(storage.lists.RefreshProfileLists(1, scan, nullptr), 1);
    const ProfileEntry* entry = storage.lists.printer().At(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Flags, kEntryValid | kEntryOutputDevice | c.flags);
    std::vector<uint32_t> ids(c.media_ids);
    ids.resize(kProfileMediaIdCount, 0);
    EXPECT_EQ(std::vector<uint32_t>(std::begin(entry->MediaIds), std::end(entry->MediaIds)), ids);
    EXPECT_EQ(entry->InkCodeLength, c.ink_code_length);
    EXPECT_STREQ(entry->Description, c.description);
  }
}

}  // namespace
}  // namespace kalimu::settings
