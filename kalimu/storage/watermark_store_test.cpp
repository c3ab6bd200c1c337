// Watermark list: built from the resource library, saved and reloaded, migrated on a language
// change, bitmap aspect ratios, and damaged or oversized list files.
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/platform/resource_library.h"
#include "kalimu/storage/watermark_store.h"
#include "testkit/kalimu/model_printer.h"
#include "testkit/kalimu/user_files_builder.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::storage {
namespace {

class Watermarks : public ::testing::Test {
 protected:
  Watermarks() : printer_(testkit::RollPaperModel()) {}
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    ASSERT_TRUE(printer_.InstallResourceLibrary());
  }
  std::unique_ptr<WatermarkStore> NewStore() {
    auto store = std::make_unique<WatermarkStore>();
    printer_.Attach(*store);
    return store;
  }
  std::string ListPath() {
    auto store = NewStore();
    char path[MAX_PATH] = {};
    store->locator().GetWatermarkFilePath(path, MAX_PATH);
    return path;
  }
  static std::string DriverFilesDirectory() {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof(dir), &needed);
    return std::string(dir) + "\\3\\";
  }
  static std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of("\\/") + 1); }

  testkit::ModelPrinter printer_;
};

TEST_F(Watermarks, FirstUseBuildsTheListFromTheResourceLibrary) {
  testkit::MessageBoxWatcher watcher;
  auto store = NewStore();
  uint32_t total = 0, built_in = 0, user = 9, capacity = 0;
  ASSERT_EQ(store->GetEntryCount(&total), 1);
  store->GetBuiltInCount(&built_in);
  store->GetUserCount(&user);
  store->GetUserCapacity(&capacity);
  EXPECT_EQ(total, 3u);
  EXPECT_EQ(built_in, 3u);
  EXPECT_EQ(user, 0u);
  EXPECT_EQ(capacity, 6u);  // model header word 62
  EXPECT_TRUE(watcher.shown().empty());

  const std::string list = ListPath();
  const auto file = testkit::ReadBytes(list);
  ASSERT_EQ(file.size(), 18u + 816 * 3);
  WatFileHeader header;
  std::memcpy(&header, file.data(), sizeof(header));
  EXPECT_EQ(header.language, 0x0409);
  EXPECT_EQ(header.version, 1808);

  const char* names[] = {"CONFIDENTIAL", "DRAFT", "A watermark name longer than th"};
  const uint8_t colors[3][4] = {{0xFF, 0xFF, 0x00, 0}, {0xFF, 0x00, 0x00, 0}, {0xFF, 0x00, 0xFF, 0}};
  const char* bitmaps[] = {"KVWM01.BMP", "KVWM02.BMP", "KVWM.03.BMP"};
  const char* thumbnails[] = {"KVWM01.MWB", "KVWM02.MWB", "KVWM.03.MWB"};
  const int ratios[] = {200, 300, 200};  // core 200x100, info 300x100, top-down 100x50
  for (uint16_t i = 0; i < 3; ++i) {
    char text[MAX_PATH];
    ASSERT_EQ(store->GetEntryName(i, text, sizeof(text)), 1);
    EXPECT_STREQ(text, names[i]);
    uint8_t color[4];
    ASSERT_EQ(store->GetEntryColor(i, color, 4), 1);
    EXPECT_EQ(std::memcmp(color, colors[i], 4), 0) << i;
    ASSERT_EQ(store->GetBitmapPath(i, text, sizeof(text)), 1);
    EXPECT_EQ(std::string(text), DriverFilesDirectory() + bitmaps[i]);
    ASSERT_EQ(store->GetThumbnailPath(i, text, sizeof(text)), 1);
    EXPECT_EQ(std::string(text), Folder(list) + thumbnails[i]);
    int32_t value = 0;
    ASSERT_EQ(store->GetAspectRatio(i, &value), 1);
    EXPECT_EQ(value, ratios[i]);
    store->GetBitmapId(i, &value);
    EXPECT_EQ(value, 16001 + i);
    store->GetEntryValue6(i, &value);
    EXPECT_EQ(value, 2);
    store->GetEntryValue266(i, &value);
    EXPECT_EQ(value, 50);
    store->GetEntryValue280(i, &value);
    EXPECT_EQ(value, 20);
  }
  int32_t value = 0;
  EXPECT_EQ(store->GetEntryValue90(3, &value), 0);
}

TEST_F(Watermarks, UserEntriesAreSavedAndReloaded) {
  {
    auto store = NewStore();
    WatermarkEntry* entries = store->GetEntries();
    ASSERT_NE(entries, nullptr);
    entries[3] = testkit::UserWatermark(3, "MINE");
    uint32_t total = 4, user = 1;
    ASSERT_EQ(store->SetEntryCount(&total), 1);
    ASSERT_EQ(store->SetUserCount(&user), 1);
    const int32_t box[4] = {100, 200, 300, 400};
    ASSERT_EQ(store->SetEntryBlock94(3, box, 16), 1);
    EXPECT_EQ(store->SetEntryBlock94(3, box, 15), 0);
    const int32_t code = 7;
    ASSERT_EQ(store->SetEntryValue90(3, &code), 1);
    ASSERT_EQ(store->Save(), 1);
  }
  auto store = NewStore();
  uint32_t total = 0, user = 0;
  store->GetEntryCount(&total);
  store->GetUserCount(&user);
  EXPECT_EQ(total, 4u);
  EXPECT_EQ(user, 1u);
  char name[40];
  ASSERT_EQ(store->GetEntryName(3, name, sizeof(name)), 1);
  EXPECT_STREQ(name, "MINE");
  int32_t box[4] = {};
  ASSERT_EQ(store->GetEntryBlock94(3, box, 16), 1);
  EXPECT_EQ(box[3], 400);
  int32_t code = 0;
  store->GetEntryValue90(3, &code);
  EXPECT_EQ(code, 7);
}

TEST_F(Watermarks, CountsAndEntryArrayAreBoundedByTheCapacity) {
  auto store = NewStore();
  uint32_t many = 1000, value = 0;
  ASSERT_EQ(store->SetUserCount(&many), 1);
  store->GetUserCount(&value);
  EXPECT_EQ(value, 6u);
  ASSERT_EQ(store->SetEntryCount(&many), 1);
  store->GetEntryCount(&value);
  EXPECT_EQ(value, 9u);
  std::vector<uint8_t> bytes((6 + 3) * 816 + 1);
  EXPECT_EQ(store->SetEntries(bytes.data(), static_cast<uint32_t>(bytes.size())), 0);
  EXPECT_EQ(store->SetEntries(bytes.data(), static_cast<uint32_t>(bytes.size() - 1)), 1);
  EXPECT_EQ(store->SetEntries(bytes.data(), 0), 0);
}

TEST_F(Watermarks, LanguageChangeRebuildsBuiltInsAndKeepsUserEntries) {
  {
    auto store = NewStore();
    WatermarkEntry* entries = store->GetEntries();
    ASSERT_NE(entries, nullptr);
    entries[3] = testkit::UserWatermark(3, "FIRST");
    entries[4] = testkit::UserWatermark(4, "SECOND");
    uint32_t total = 5, user = 2;
    store->SetEntryCount(&total);
    store->SetUserCount(&user);
    ASSERT_EQ(store->Save(), 1);
  }
  ASSERT_TRUE(printer_.InstallResourceLibrary("testkit_resources_german.dll"));
  auto store = NewStore();
  uint32_t total = 0, built_in = 0, user = 0;
  store->GetEntryCount(&total);
  store->GetBuiltInCount(&built_in);
  store->GetUserCount(&user);
  EXPECT_EQ(built_in, 2u);
  EXPECT_EQ(user, 2u);
  EXPECT_EQ(total, 4u);
  char name[40];
  store->GetEntryName(0, name, sizeof(name));
  EXPECT_STREQ(name, "VERTRAULICH");
  store->GetEntryName(2, name, sizeof(name));
  EXPECT_STREQ(name, "FIRST");
  store->GetEntryName(3, name, sizeof(name));
  EXPECT_STREQ(name, "SECOND");
  EXPECT_EQ(store->GetEntries()[2].position, 2);
  EXPECT_EQ(store->GetEntries()[3].position, 3);
  char thumbnail[MAX_PATH];
  store->GetThumbnailPath(1, thumbnail, sizeof(thumbnail));
  EXPECT_EQ(std::string(thumbnail).substr(std::string(thumbnail).size() - 8), "KVWMDE02");  // no dot: kept
  // The migrated list was written back.
  const auto file = testkit::ReadBytes(ListPath());
  WatFileHeader header;
  std::memcpy(&header, file.data(), sizeof(header));
  EXPECT_EQ(header.language, 0x0407);
  EXPECT_EQ(header.built_in_count, 2);
  EXPECT_EQ(header.user_count, 2);
}

TEST_F(Watermarks, MigrationRefusesMoreUserEntriesThanTheModelHolds) {
  const std::string list = ListPath();
  std::vector<WatermarkEntry> entries;
  for (int i = 0; i < 9; ++i) entries.push_back(testkit::UserWatermark(i, std::string(1, static_cast<char>('A' + i))));
  // Valid by its own capacity (10), but the model holds only 6 user entries.
  const auto bytes = testkit::BuildWatFile(0x409, 1, 8, 10, entries);
  ASSERT_TRUE(testkit::WriteBytes(list, bytes));
  ASSERT_TRUE(printer_.InstallResourceLibrary("testkit_resources_german.dll"));
  testkit::MessageBoxWatcher watcher;
  auto store = NewStore();
  uint32_t total = 0;
  EXPECT_EQ(store->GetEntryCount(&total), 0);
  ASSERT_FALSE(watcher.shown().empty());
  EXPECT_EQ(watcher.shown()[0].text, "Version Error of wat file");
  EXPECT_EQ(testkit::ReadBytes(list), bytes);  // the user's entries are not thrown away
}

TEST_F(Watermarks, FailedRebuildDuringMigrationLeavesTheStoreEmpty) {
  {
    auto store = NewStore();
    uint32_t total = 0;
    ASSERT_EQ(store->GetEntryCount(&total), 1);
  }
  const std::string list = ListPath();
  // Held open without write sharing: the list reads, but the rebuild cannot write it.
  HANDLE held = CreateFileA(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(printer_.InstallResourceLibrary("testkit_resources_german.dll"));
  {
    auto store = NewStore();
    uint32_t total = 9;
    EXPECT_EQ(store->GetEntryCount(&total), 0);
    EXPECT_EQ(store->GetEntries(), nullptr);
    EXPECT_EQ(store->Save(), 0);
  }
  CloseHandle(held);
  auto store = NewStore();
  uint32_t built_in = 0;
  EXPECT_EQ(store->GetBuiltInCount(&built_in), 1);
  EXPECT_EQ(built_in, 2u);
}

TEST_F(Watermarks, DamagedListFilesAreRefusedWithTheMessage) {
  const std::string list = ListPath();
  const std::vector<WatermarkEntry> two = {testkit::UserWatermark(0, "X"), testkit::UserWatermark(1, "Y")};
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> short_header = testkit::BuildWatFile(0x409, 1, 1, 6, {});
  short_header.resize(10);
  const Case cases[] = {
      {"version 1807", testkit::BuildWatFile(0x409, 1, 1, 6, two, 1807)},
      {"header cut", short_header},
      {"entries cut", testkit::BuildWatFile(0x409, 2, 1, 6, two)},
      {"user count over capacity", testkit::BuildWatFile(0x409, 1, 7, 6, two)},
      {"negative count", testkit::BuildWatFile(0x409, -1, 1, 6, two)},
      {"huge built-in count", testkit::BuildWatFile(0x409, 0x7FFFFFFF, 1, 6, two)},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(testkit::WriteBytes(list, c.bytes));
    testkit::MessageBoxWatcher watcher;
    auto store = NewStore();
    uint32_t total = 9;
    EXPECT_EQ(store->GetEntryCount(&total), 0) << c.what;
    EXPECT_EQ(store->GetEntries(), nullptr) << c.what;
    ASSERT_EQ(watcher.shown().size(), 2u) << c.what;  // once per operation
    EXPECT_EQ(watcher.shown()[0].caption, "UI DLL Message");
    EXPECT_EQ(watcher.shown()[0].text, "Version Error of wat file");
  }
  // A well-formed file of the same language is read as it stands.
  ASSERT_TRUE(testkit::WriteBytes(list, testkit::BuildWatFile(0x409, 1, 1, 6, two)));
  testkit::MessageBoxWatcher watcher;
  auto store = NewStore();
  uint32_t total = 0;
  EXPECT_EQ(store->GetEntryCount(&total), 1);
  EXPECT_EQ(total, 2u);
  EXPECT_TRUE(watcher.shown().empty());
}

TEST_F(Watermarks, BitmapFilesGiveTheRatioOfUserEntries) {
  auto store = NewStore();
  const std::string dir = Folder(ListPath());
  auto bmp = [](uint32_t header_size, int32_t w, int32_t h) {
    std::vector<uint8_t> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    std::memcpy(&b[14], &header_size, 4);
    if (header_size == 12) {
      const uint16_t w16 = static_cast<uint16_t>(w), h16 = static_cast<uint16_t>(h);
      std::memcpy(&b[18], &w16, 2);
      std::memcpy(&b[20], &h16, 2);
    } else {
      std::memcpy(&b[18], &w, 4);
      std::memcpy(&b[22], &h, 4);
    }
    return b;
  };
  struct Case {
    std::vector<uint8_t> bytes;
    int16_t ratio;
  };
  const Case cases[] = {{bmp(12, 200, 100), 200}, {bmp(40, -150, 100), 150}, {bmp(40, 100, 0), 0},
                        {std::vector<uint8_t>(20, 'B'), 0}};
  WatermarkEntry entry = testkit::UserWatermark(3, "FILE");
  const std::string path = dir + "user.bmp";
  std::strcpy(entry.bitmap_path, path.c_str());
  for (const Case& c : cases) {
    ASSERT_TRUE(testkit::WriteBytes(path, c.bytes));
    EXPECT_EQ(store->GetBitmapAspectRatio(&entry, 3, 1), c.ratio);
  }
  DeleteFileA(path.c_str());
  EXPECT_EQ(store->GetBitmapAspectRatio(&entry, 3, 1), 0);
}

TEST_F(Watermarks, SaveReportsAFileThatCannotBeWritten) {
  auto store = NewStore();
  uint32_t total = 0;
  ASSERT_EQ(store->GetEntryCount(&total), 1);
  const std::string list = ListPath();
  ASSERT_TRUE(DeleteFileA(list.c_str()));
  ASSERT_TRUE(CreateDirectoryA(list.c_str(), nullptr));
  EXPECT_EQ(store->Save(), 0);
  RemoveDirectoryA(list.c_str());
}

TEST(WatermarkModel, MissingResourceLibraryLeavesNoFileBehind) {
  testkit::ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  char list[MAX_PATH] = {};
  {
    testkit::MessageBoxWatcher watcher;
    WatermarkStore store;
    printer.Attach(store);
    uint32_t total = 9;
    EXPECT_EQ(store.GetEntryCount(&total), 0);
    store.locator().GetWatermarkFilePath(list, MAX_PATH);
    EXPECT_EQ(GetFileAttributesA(list), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(watcher.shown().empty());
  }
  // Once the library is there, the list is built.
  ASSERT_TRUE(printer.InstallResourceLibrary());
  WatermarkStore store;
  printer.Attach(store);
  uint32_t total = 0;
  EXPECT_EQ(store.GetEntryCount(&total), 1);
  EXPECT_EQ(total, 3u);
}

TEST(WatermarkModel, ModelWithoutWatermarksTouchesNoFile) {
  auto model = testkit::RollPaperModel();
  model.header.flags20 |= 0x80;
  testkit::ModelPrinter printer(model);
  ASSERT_TRUE(printer.ok()) << printer.error();
  ASSERT_TRUE(printer.InstallResourceLibrary());
  WatermarkStore store;
  printer.Attach(store);
  uint32_t total = 9;
  EXPECT_EQ(store.GetEntryCount(&total), 0);
  EXPECT_EQ(store.Save(), 0);
  char list[MAX_PATH] = {};
  store.locator().GetWatermarkFilePath(list, MAX_PATH);
  EXPECT_EQ(GetFileAttributesA(list), INVALID_FILE_ATTRIBUTES);
}

TEST(ResourceLibraryStandIn, LanguagesStringsAndBitmaps) {
  for (const auto& [name, language] : {std::pair{"testkit_resources_english.dll", 0x0409},
                                       std::pair{"testkit_resources_german.dll", 0x0407}}) {
    platform::ResourceLibrary library;
    ASSERT_TRUE(library.Load((testkit::TestProgramDirectory() + name).c_str())) << name;
    EXPECT_EQ(platform::GetResourceLanguage(library.module()), language);
    char text[64];
    ASSERT_GT(LoadStringA(library.module(), 1503, text, sizeof(text)), 0);
    EXPECT_STREQ(text, "Roll Paper");
  }
  platform::ResourceLibrary library;
  ASSERT_TRUE(library.Load((testkit::TestProgramDirectory() + "testkit_resources_english.dll").c_str()));
  EXPECT_EQ(platform::BitmapAspectRatio(platform::FindBuiltInBitmap(library.module(), 16002)), 300);
  EXPECT_TRUE(platform::FindBuiltInBitmap(library.module(), 16009).empty());
  EXPECT_FALSE(library.Load("no-such-library.dll"));
  EXPECT_EQ(platform::GetResourceLanguage(nullptr), 1033);
}

}  // namespace
}  // namespace kalimu::storage
