// Export files written from and read into a test printer's user-settings store: the file's
// bytes, the round trip, refused and damaged files with nothing lost, and the name clash answers.
#include "kalimu/dialogs/user_settings_transfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/dialogs/dialog_test_support.h"
#include "testkit/kalimu/model_printer.h"
#include "testkit/kalimu/user_files_builder.h"

namespace kalimu::dialogs {
namespace {

// Scripted answers of the windows around an import, and what was shown.
class ScriptedPrompts : public ImportPrompts {
 public:
  void ShowRow(int row) override { rows.push_back(row); }
  void ShowRefusedRecord(const char* name) override { refused.push_back(name); }
  bool IsNameAllowed(const wchar_t* name) override { return std::wstring(name) != L"Reserved"; }
  int ResolveClash(wchar_t* name, size_t capacity) override {
    clashes.push_back(name);
    if (answer == kClashRename) lstrcpynW(name, rename_to.c_str(), static_cast<int>(capacity));
    return answer;
  }

  std::vector<int> rows;
  std::vector<std::string> refused;
  std::vector<std::wstring> clashes;
  int answer = kClashSkip;
  std::wstring rename_to;
};

class UserSettingsTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings_ = NewSettings();
    ASSERT_TRUE(settings_->IsValid());
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "kalimu_transfer_" + std::to_string(GetCurrentProcessId()) + ".csf";
    other_path_ = path_ + ".2.csf";
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    DeleteFileA(other_path_.c_str());
  }

  std::unique_ptr<settings::JobSettings> NewSettings() {
    return NewJobSettings(printer_, &record_);
  }

  static storage::UserSettingsEntry Entry(const wchar_t* name, uint8_t seed) {
    storage::UserSettingsEntry entry{};
    lstrcpynW(entry.name, name, 32);
    lstrcpynW(entry.profile_names[1], L"SRGB.ICM", 16);
    auto* preset = reinterpret_cast<uint8_t*>(&entry.preset);
    for (size_t i = 0; i < sizeof(entry.preset); ++i) preset[i] = static_cast<uint8_t>(seed + i);
    entry.preset.kind = storage::kEntryInUse;
    return entry;
  }

  // Store entries named as given, the first at the highest store index.
  void Fill(std::initializer_list<const wchar_t*> names) {
    uint8_t seed = 1;
    for (const wchar_t* name : names) ASSERT_EQ(InsertSettingsEntryFirst(*settings_, Entry(name, seed++)), 1);
    ASSERT_EQ(settings_->SaveUserStore(), 1);
  }

  std::vector<std::wstring> Names(settings::JobSettings& settings) {
    uint32_t count = 0;
    settings.GetSettingsCount(&count);
    std::vector<std::wstring> names;
    for (uint32_t i = 0; i < count; ++i) {
      wchar_t name[33] = {};
      settings.GetSettingsName(static_cast<uint16_t>(i), name, 33);
      names.push_back(name);
    }
    return names;
  }

  storage::UserSettingsEntry Stored(uint16_t index) {
    storage::UserSettingsEntry entry{};
    EXPECT_EQ(settings_->GetSettingsEntry(index, &entry, sizeof(entry)), 1);
    return entry;
  }

  std::vector<uint8_t> ExportOf(std::initializer_list<int> positions, const std::string& path) {
    const std::vector<int> p(positions);
    EXPECT_EQ(ExportUserSettings(*settings_, p, path.c_str()), 1);
    return testkit::ReadBytes(path);
  }

  testkit::ModelPrinter printer_{testkit::RollPaperModel()};
  settings::DriverDevMode record_{};
  std::unique_ptr<settings::JobSettings> settings_;
  std::string path_, other_path_;
};

TEST_F(UserSettingsTransferTest, ExportWritesTheSelectedEntriesIntoATruncatedFile) {
  Fill({L"Oldest", L"Middle", L"Newest"});  // store: Newest 0, Middle 1, Oldest 2; list: Oldest first
  ASSERT_TRUE(testkit::WriteBytes(path_, std::vector<uint8_t>(5000, 0xAB)));  // a longer old file
  const auto bytes = ExportOf({0, 2}, path_);
  ASSERT_EQ(bytes.size(), 1100u);
  SettingsExportHeader header{};
  ASSERT_EQ(ReadSettingsExportHeader(bytes, &header), ExportFileStatus::kOk);
  EXPECT_EQ(header.record_count, 2);
  EXPECT_EQ(header.refuse_flag, 0u);
  EXPECT_STREQ(header.driver_name, printer_.driver_name().c_str());
  SettingsExportIdentity identity;
  ASSERT_TRUE(GetSettingsExportIdentity(*settings_, &identity));
  EXPECT_EQ(header.cfg_version, identity.cfg_version);
  EXPECT_EQ(header.cfg_version, 0x0710);
  EXPECT_EQ(std::memcmp(header.ink_codes, identity.ink_codes, 16), 0);

  SettingsExportRecord first{}, second{};
  ASSERT_EQ(ReadSettingsExportRecord(bytes, 0, &first), ExportFileStatus::kOk);
  ASSERT_EQ(ReadSettingsExportRecord(bytes, 1, &second), ExportFileStatus::kOk);
  EXPECT_STREQ(first.name, "Oldest");  // list position 0 = the highest store index
  EXPECT_STREQ(second.name, "Newest");
  EXPECT_STREQ(first.profile_names[1], "SRGB.ICM");
  const auto newest = Stored(0);
  EXPECT_EQ(std::memcmp(second.colour_tail, reinterpret_cast<const uint8_t*>(&newest) + 256, 152), 0);

  // Nothing selected, a position past the list, or a folder that does not exist: 0.
  EXPECT_EQ(ExportUserSettings(*settings_, {}, other_path_.c_str()), 0);
  const std::vector<int> past{0, 3};
  EXPECT_EQ(ExportUserSettings(*settings_, past, other_path_.c_str()), 0);
  EXPECT_EQ(GetFileAttributesA(other_path_.c_str()), INVALID_FILE_ATTRIBUTES);  // the partial file is gone
  const std::vector<int> one{0};
  EXPECT_EQ(ExportUserSettings(*settings_, one, "C:\\no such folder 35\\x.csf"), 0);
}

TEST_F(UserSettingsTransferTest, RoundTripThroughAnEmptyStoreAndAReload) {
  Fill({L"Oldest", L"Middle", L"Newest"});
  const std::vector<storage::UserSettingsEntry> before{Stored(0), Stored(1), Stored(2)};
  ExportOf({0, 1, 2}, path_);  // Oldest, Middle, Newest
  const uint32_t none = 0;
  ASSERT_EQ(settings_->SetSettingsCount(&none), 1);
  ASSERT_EQ(settings_->SaveUserStore(), 1);

  ScriptedPrompts prompts;
  EXPECT_EQ(RunSettingsImport(*settings_, path_.c_str(), prompts), 1);
  EXPECT_EQ(prompts.rows, std::vector<int>{kRowImportDone});
  EXPECT_TRUE(prompts.clashes.empty());
  // Each record goes in at store index 0: the file's last record ends there.
  EXPECT_EQ(Names(*settings_), (std::vector<std::wstring>{L"Newest", L"Middle", L"Oldest"}));
  auto fresh = NewSettings();
  ASSERT_EQ(fresh->Reload(), 1);
  EXPECT_EQ(Names(*fresh), (std::vector<std::wstring>{L"Newest", L"Middle", L"Oldest"}));
  for (uint16_t i = 0; i < 3; ++i) {
    storage::UserSettingsEntry entry{};
    ASSERT_EQ(fresh->GetSettingsEntry(i, &entry, sizeof(entry)), 1);
    EXPECT_EQ(std::memcmp(&entry, &before[i], sizeof(entry)), 0) << i;
  }
}

TEST_F(UserSettingsTransferTest, RefusedFilesLeaveTheStoreAsItWas) {
  Fill({L"A", L"B", L"C", L"D", L"E", L"F", L"G"});  // 7 of 10: 3 free
  const auto good = ExportOf({0, 1, 2, 3}, path_);  // four records whose names all exist
  const std::string ucf = [&] {
    char p[MAX_PATH] = {};
    settings_->GetUcfFilePath(p, MAX_PATH);
    return std::string(p);
  }();
  const auto ucf_before = testkit::ReadBytes(ucf);

  struct Case {
    const char* what;
    size_t offset;
    std::vector<uint8_t> patch;
    size_t cut;  // file size, 0: whole
    std::vector<int> rows;
  };
  const Case cases[] = {
      {"3 free entries for 4 records", 0, {}, 0, {24, kRowImportFailed}},
      {"other configuration version", 0, {0x11, 0x07}, 0, {21, kRowImportFailed}},
      {"other ink set", 12, {0xEE}, 0, {22, kRowImportFailed}},
      {"other driver", 28, {'x'}, 0, {23, kRowImportFailed}},
      {"short header", 0, {}, 100, {kRowImportFailed}},
      {"count past the end", 4, {3}, 284 + 2 * 408 + 10, {kRowImportFailed}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto bytes = good;
    std::copy(c.patch.begin(), c.patch.end(), bytes.begin() + c.offset);
    if (c.cut) bytes.resize(c.cut);
    ASSERT_TRUE(testkit::WriteBytes(other_path_, bytes));
    ScriptedPrompts prompts;
    prompts.answer = kClashRename;  // a record read before the damage is taken in, then dropped
    prompts.rename_to = L"Renamed";
    EXPECT_EQ(RunSettingsImport(*settings_, other_path_.c_str(), prompts), 0);
    EXPECT_EQ(prompts.rows, c.rows);
    EXPECT_EQ(Names(*settings_), (std::vector<std::wstring>{L"G", L"F", L"E", L"D", L"C", L"B", L"A"}));
    EXPECT_EQ(testkit::ReadBytes(ucf), ucf_before);
  }
  ScriptedPrompts prompts;
  EXPECT_EQ(RunSettingsImport(*settings_, "C:\\no such file 35.csf", prompts), 0);
  EXPECT_EQ(prompts.rows, std::vector<int>{kRowImportFailed});
}

TEST_F(UserSettingsTransferTest, DamagedRecordsAreReadWithinTheirFields) {
  Fill({L"Kept"});
  auto bytes = ExportOf({0}, path_);
  std::memset(bytes.data() + 284, 'N', 64);                   // name without a terminator
  std::memset(bytes.data() + 284 + 64, 'P', 32);              // profile name without one
  bytes[284 + 404] = 7;                                       // state other than in use
  ASSERT_TRUE(testkit::WriteBytes(path_, bytes));
  ScriptedPrompts prompts;
  EXPECT_EQ(RunSettingsImport(*settings_, path_.c_str(), prompts), 1);
  ASSERT_EQ(Names(*settings_).size(), 2u);
  const auto entry = Stored(0);
  EXPECT_EQ(std::wstring(entry.name), std::wstring(31, L'N'));
  EXPECT_EQ(std::wstring(entry.profile_names[0]), std::wstring(15, L'P'));
  EXPECT_EQ(entry.preset.kind, storage::kEntryInUse);
  // The store loads both again: an entry of another state would have pushed one out of reach.
  auto fresh = NewSettings();
  ASSERT_EQ(fresh->Reload(), 1);
  EXPECT_EQ(Names(*fresh), (std::vector<std::wstring>{std::wstring(31, L'N'), L"Kept"}));

  // The refuse flag keeps out records marked 1 at byte 296, one message each, and goes on.
  bytes = ExportOf({0, 1}, path_);
  bytes[8] = 1;
  bytes[284 + 296] = 1;
  bytes[284 + 297] = 0;
  ASSERT_TRUE(testkit::WriteBytes(path_, bytes));
  prompts = ScriptedPrompts();
  prompts.answer = kClashSkip;
  EXPECT_EQ(RunSettingsImport(*settings_, path_.c_str(), prompts), 1);
  EXPECT_EQ(prompts.refused, std::vector<std::string>{"Kept"});
  EXPECT_EQ(prompts.clashes, std::vector<std::wstring>{std::wstring(31, L'N')});
}

TEST_F(UserSettingsTransferTest, NameClashAnswers) {
  Fill({L"Alpha", L"Beta"});  // Beta 0, Alpha 1
  auto incoming = Entry(L"Alpha", 77);
  uint32_t presets = 0;
  settings_->GetPresetCount(&presets);
  EXPECT_EQ(FindSettingsEntryByName(*settings_, L"Alpha"), presets + 1);
  EXPECT_EQ(FindSettingsEntryByName(*settings_, L"Gamma"), kNoSettingsEntry);

  ScriptedPrompts prompts;
  prompts.answer = kClashSkip;
  EXPECT_EQ(ImportSettingsEntry(*settings_, &incoming, prompts), 0);
  EXPECT_EQ(Names(*settings_), (std::vector<std::wstring>{L"Beta", L"Alpha"}));

  prompts.answer = kClashOverwrite;
  EXPECT_EQ(ImportSettingsEntry(*settings_, &incoming, prompts), 1);
  EXPECT_EQ(Names(*settings_), (std::vector<std::wstring>{L"Beta", L"Alpha"}));  // in place
  const auto overwritten = Stored(1);
  EXPECT_EQ(std::memcmp(&overwritten, &incoming, sizeof(incoming)), 0);

  prompts.answer = kClashRename;
  prompts.rename_to = L"Alpha 2";
  EXPECT_EQ(ImportSettingsEntry(*settings_, &incoming, prompts), 1);
  EXPECT_EQ(Names(*settings_), (std::vector<std::wstring>{L"Alpha 2", L"Beta", L"Alpha"}));

  // A reserved name clashes with nothing stored: overwrite changes nothing, rename stores it.
  auto reserved = Entry(L"Reserved", 9);
  prompts.answer = kClashOverwrite;
  EXPECT_EQ(ImportSettingsEntry(*settings_, &reserved, prompts), 1);
  EXPECT_EQ(Names(*settings_).size(), 3u);
  EXPECT_EQ(prompts.clashes, (std::vector<std::wstring>{L"Alpha", L"Alpha", L"Alpha", L"Reserved"}));
}

TEST_F(UserSettingsTransferTest, FullStoreTakesNoMoreEntries) {
  for (int i = 0; i < 10; ++i) {
    const std::wstring name = L"E" + std::to_wstring(i);
    ASSERT_EQ(InsertSettingsEntryFirst(*settings_, Entry(name.c_str(), 1)), 1);
  }
  EXPECT_EQ(InsertSettingsEntryFirst(*settings_, Entry(L"Eleventh", 1)), 0);
  EXPECT_EQ(Names(*settings_).size(), 10u);
  EXPECT_EQ(Names(*settings_).front(), L"E9");
}

}  // namespace
}  // namespace kalimu::dialogs
