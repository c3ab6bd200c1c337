// User-settings file: defaults on a missing or wrong file, save and reload, paper deletion,
// bounded counts and short or damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/storage/user_settings_store.h"
#include "testkit/kalimu/model_printer.h"
#include "testkit/kalimu/user_files_builder.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::storage {
namespace {

class UserSettings : public ::testing::Test {
 protected:
  UserSettings() : printer_(testkit::RollPaperModel()) {}
  void SetUp() override { ASSERT_TRUE(printer_.ok()) << printer_.error(); }

  // A new store on the test printer; its file path in path.
  std::unique_ptr<UserSettingsStore> NewStore() {
    auto store = std::make_unique<UserSettingsStore>();
    printer_.Attach(*store);
    return store;
  }
  std::string UcfPath() {
    auto store = NewStore();
    char path[MAX_PATH] = {};
    store->GetUcfFilePath(path, MAX_PATH);
    return path;
  }

  testkit::ModelPrinter printer_;
};

TEST_F(UserSettings, MissingFileIsCreatedWithFreePaperSlots) {
  testkit::MessageBoxWatcher watcher;
  auto store = NewStore();
  uint32_t count = 9;
  ASSERT_EQ(store->GetPaperCount(&count), 1);
  EXPECT_EQ(count, 0u);
  EXPECT_TRUE(watcher.shown().empty());
  const std::vector<uint8_t> file = testkit::ReadBytes(UcfPath());
  ASSERT_EQ(file.size(), 5922u);  // 10 settings and 20 papers
  EXPECT_EQ(file[0], 0x10);
  EXPECT_EQ(file[1], 0x07);
  const auto& custom = printer_.model().papers.back();  // the sample's custom size
  ASSERT_EQ(custom.id, model::kCustomPaperId);
  for (int j = 0; j < 20; ++j) {
    UserPaperEntry entry;
    std::memcpy(&entry, file.data() + 2 + 4080 + 92 * j, sizeof(entry));
    EXPECT_EQ(entry.paper.id, 768 + j);
    EXPECT_EQ(entry.slot, -1);
    EXPECT_EQ(entry.state, kEntryFree);
    EXPECT_EQ(entry.name[0], '\0');
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&entry.paper) + 2,
                          reinterpret_cast<const uint8_t*>(&custom) + 2, 54), 0);
  }
  EXPECT_TRUE(std::all_of(file.begin() + 2, file.begin() + 2 + 4080, [](uint8_t b) { return b == 0; }));
}

TEST_F(UserSettings, SavedEntriesComeBackAfterReload) {
  const auto settings = testkit::UserSettings(L"Poster matte", 3);
  const auto paper = testkit::UserPaper(0, "Banner", 7200, 36000);
  {
    auto store = NewStore();
    uint32_t one = 1, two = 2;
    ASSERT_EQ(store->SetSettingsCount(&one), 1);
    ASSERT_EQ(store->SetSettingsEntry(0, &settings, sizeof(settings)), 1);
    ASSERT_EQ(store->SetPaperCount(&two), 1);
    ASSERT_EQ(store->SetPaperEntry(0, &paper, sizeof(paper)), 1);
    int32_t in_use = kEntryInUse;
    ASSERT_EQ(store->SetPaperState(1, &in_use), 1);
    ASSERT_EQ(store->SetPaperName(1, "A very long paper name of more than 31 characters", 60), 1);
    ASSERT_EQ(store->SetSettingsText2(0, L"SRGB.ICM", 8), 1);
    ASSERT_EQ(store->Save(), 1);
  }
  auto store = NewStore();
  uint32_t count = 0;
  ASSERT_EQ(store->GetSettingsCount(&count), 1);
  EXPECT_EQ(count, 1u);
  ASSERT_EQ(store->GetPaperCount(&count), 1);
  EXPECT_EQ(count, 2u);
  UserSettingsEntry read{};
  ASSERT_EQ(store->GetSettingsEntry(0, &read, sizeof(read)), 1);
  EXPECT_EQ(std::memcmp(read.name, settings.name, 64), 0);
  wchar_t name[33];
  ASSERT_EQ(store->GetSettingsName(0, name, 33), 1);
  EXPECT_STREQ(name, L"Poster matte");
  wchar_t text[17];
  ASSERT_EQ(store->GetSettingsText2(0, text, 17), 1);
  EXPECT_STREQ(text, L"SRGB.ICM");
  int32_t mode = 0;
  ASSERT_EQ(store->GetSettingsValue286(0, &mode), 1);
  EXPECT_EQ(mode, settings.preset.mode_id);
  EXPECT_EQ(store->CompareSettingsEntry(0, &read, sizeof(read)), 1);
  char paper_name[40];
  ASSERT_EQ(store->GetPaperName(0, paper_name, sizeof(paper_name)), 1);
  EXPECT_STREQ(paper_name, "Banner");
  ASSERT_EQ(store->GetPaperName(1, paper_name, sizeof(paper_name)), 1);
  EXPECT_EQ(std::string(paper_name), std::string("A very long paper name of more than 31 characters").substr(0, 31));
  uint8_t extent[8];
  ASSERT_EQ(store->GetPaperExtent(0, extent, 8), 1);
  int32_t width;
  std::memcpy(&width, extent, 4);
  EXPECT_EQ(width, 7200);
  EXPECT_EQ(store->TestPaperFlags16(0, 0x40), 1);
  EXPECT_EQ(store->TestPaperFlags16(0, 0x2), 0);
}

TEST_F(UserSettings, IndexAtTheCountInUseIsRefused) {
  testkit::WriteBytes(UcfPath(), testkit::BuildUcfFile(
      {testkit::UserSettings(L"One", 1), testkit::UserSettings(L"Two", 2)}, {}));
  auto store = NewStore();
  uint32_t count = 0;
  store->GetSettingsCount(&count);
  ASSERT_EQ(count, 2u);
  int32_t value = 77;
  EXPECT_EQ(store->GetSettingsValue286(1, &value), 1);
  uint32_t one = 1;
  store->SetSettingsCount(&one);
  value = 77;
  EXPECT_EQ(store->GetSettingsValue286(1, &value), 0);  // the array still holds it
  EXPECT_EQ(value, 77);
  UserSettingsEntry entry{};
  EXPECT_EQ(store->GetSettingsEntry(0, &entry, 407), 0);
}

TEST_F(UserSettings, CountsAreClampedToTheCapacity) {
  auto store = NewStore();
  uint32_t many = 500, count = 0;
  ASSERT_EQ(store->SetPaperCount(&many), 1);
  store->GetPaperCount(&count);
  EXPECT_EQ(count, 20u);
  ASSERT_EQ(store->SetSettingsCount(&many), 1);
  store->GetSettingsCount(&count);
  EXPECT_EQ(count, 10u);
  int32_t id = 0;
  EXPECT_EQ(store->GetPaperId(19, &id), 1);
  EXPECT_EQ(id, 787);
  EXPECT_EQ(store->GetPaperId(20, &id), 0);
}

TEST_F(UserSettings, DeletingMovesLaterPapersDown) {
  std::vector<UserPaperEntry> papers = {testkit::UserPaper(0, "A", 1, 1), testkit::UserPaper(1, "B", 2, 2),
                                        testkit::UserPaper(2, "C", 3, 3)};
  for (int j = 3; j < 20; ++j) papers.push_back(testkit::FreePaper(j));
  testkit::WriteBytes(UcfPath(), testkit::BuildUcfFile(std::vector<UserSettingsEntry>(10), papers));
  auto store = NewStore();
  ASSERT_EQ(store->DeletePaperEntry(0), 1);
  uint32_t count = 0;
  store->GetPaperCount(&count);
  EXPECT_EQ(count, 2u);
  int32_t id = 0;
  store->GetPaperId(0, &id);
  EXPECT_EQ(id, 769);
  store->GetPaperId(1, &id);
  EXPECT_EQ(id, 770);
  // The last slot is freed; its id travelled down from slot 19 and stays.
  uint32_t twenty = 20;
  store->SetPaperCount(&twenty);
  UserPaperEntry last{};
  ASSERT_EQ(store->GetPaperEntry(19, &last, sizeof(last)), 1);
  EXPECT_EQ(last.state, kEntryFree);
  EXPECT_EQ(last.slot, -1);
  EXPECT_EQ(last.paper.id, 787);
  uint32_t zero = 0;
  store->SetPaperCount(&zero);
  EXPECT_EQ(store->DeletePaperEntry(0), 0);  // nothing in use: nothing to delete
  store->GetPaperCount(&count);
  EXPECT_EQ(count, 0u);
}

TEST_F(UserSettings, WrongVersionIsReportedOnceAndRewritten) {
  const std::string path = UcfPath();
  testkit::WriteBytes(path, testkit::BuildUcfFile({testkit::UserSettings(L"Old", 1)}, {}, 1807));
  {
    testkit::MessageBoxWatcher watcher;
    auto store = NewStore();
    uint32_t count = 9;
    store->GetSettingsCount(&count);
    EXPECT_EQ(count, 0u);
    ASSERT_EQ(watcher.shown().size(), 1u);
    EXPECT_EQ(watcher.shown()[0].caption, "UI DLL Message");
    EXPECT_EQ(watcher.shown()[0].text, "Version Error of ucf file");
  }
  const auto file = testkit::ReadBytes(path);
  ASSERT_GE(file.size(), 2u);
  EXPECT_EQ(file[0], 0x10);
  testkit::MessageBoxWatcher watcher;
  auto store = NewStore();
  uint32_t count = 9;
  store->GetPaperCount(&count);
  EXPECT_TRUE(watcher.shown().empty());
}

TEST_F(UserSettings, ShortAndDamagedFiles) {
  const std::string path = UcfPath();
  // One byte: no version word at all.
  testkit::WriteBytes(path, {0x10});
  {
    testkit::MessageBoxWatcher watcher;
    auto store = NewStore();
    EXPECT_EQ(store->EnsureLoaded(), 1);
    EXPECT_EQ(watcher.shown().size(), 1u);
  }
  // A file cut inside the settings: reported; the cut entry is not taken, whole ones would be.
  auto bytes = testkit::BuildUcfFile({testkit::UserSettings(L"Cut", 5)}, {});
  bytes.resize(100);
  testkit::WriteBytes(path, bytes);
  {
    testkit::MessageBoxWatcher watcher;
    auto store = NewStore();
    uint32_t count = 9;
    store->GetSettingsCount(&count);
    EXPECT_EQ(count, 0u);  // its state word was cut off
    uint32_t one = 1;
    store->SetSettingsCount(&one);
    wchar_t name[33];
    ASSERT_EQ(store->GetSettingsName(0, name, 33), 1);
    EXPECT_STREQ(name, L"");
    EXPECT_EQ(watcher.shown().size(), 1u);
  }
  // A longer file than the capacities: only the capacities are read.
  std::vector<UserSettingsEntry> many(30, testkit::UserSettings(L"Many", 1));
  testkit::WriteBytes(path, testkit::BuildUcfFile(many, {}));
  auto store = NewStore();
  uint32_t count = 0;
  store->GetSettingsCount(&count);
  EXPECT_EQ(count, 10u);
}

TEST(UserSettingsModel, FileOfTheCurrentInkSetIsUsedWhenTheDataFileNamesOne) {
  testkit::ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  ASSERT_TRUE(printer.SetInfoKey("UcfFileI010B4", "KVUSERB.UCF"));
  char path[MAX_PATH] = {};
  {
    UserSettingsStore store;
    printer.Attach(store);
    store.GetUcfFilePath(path, MAX_PATH);
    EXPECT_EQ(std::string(path).substr(std::string(path).size() - 10), "KVUSER.UCF");
  }
  ASSERT_TRUE(printer.StoreInkSet(1));
  UserSettingsStore store;
  printer.Attach(store);
  store.GetUcfFilePath(path, MAX_PATH);
  EXPECT_EQ(std::string(path).substr(std::string(path).size() - 11), "KVUSERB.UCF");
  ASSERT_EQ(store.EnsureLoaded(), 1);
  EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
}

TEST(UserSettingsModel, WithoutCustomPaperDefaultsAreZeroButTheId) {
  auto model = testkit::SheetModel();
  model.papers.pop_back();  // the custom size
  testkit::ModelPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  UserSettingsStore store;
  printer.Attach(store);
  uint32_t six = 6;
  store.SetPaperCount(&six);
  UserPaperEntry entry;
  ASSERT_EQ(store.GetPaperEntry(5, &entry, sizeof(entry)), 1);
  EXPECT_EQ(entry.paper.id, 773);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&entry.paper);
  EXPECT_TRUE(std::all_of(bytes + 2, bytes + 56, [](uint8_t b) { return b == 0; }));
}

TEST(UserSettingsModel, NoCapacitiesMeansNoFileAndNoEntries) {
  auto model = testkit::SheetModel();
  model.user_settings_capacity = model.user_paper_capacity = 0;
  testkit::ModelPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  UserSettingsStore store;
  printer.Attach(store);
  EXPECT_EQ(store.EnsureLoaded(), 1);
  int32_t id = 0;
  EXPECT_EQ(store.GetPaperId(0, &id), 0);
  char path[MAX_PATH];
  store.GetUcfFilePath(path, MAX_PATH);
  EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace kalimu::storage
