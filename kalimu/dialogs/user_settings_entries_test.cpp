// Saving and deleting user-settings entries on a test printer, and the name cut of the name edit
// in the system code page (the test program also runs under ja_JP).
#include "kalimu/dialogs/user_settings_entries.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kalimu/dialogs/user_settings_transfer.h"
#include "kalimu/dialogs/dialog_test_support.h"
#include "testkit/kalimu/model_printer.h"
#include "testkit/kalimu/user_files_builder.h"

namespace kalimu::dialogs {
namespace {

class ScriptedSave : public SavePrompts {
 public:
  bool ConfirmOverwrite() override {
    ++asked;
    return agree;
  }
  void ShowStoreFull() override { ++full; }
  bool agree = true;
  int asked = 0;
  int full = 0;
};

class UserSettingsEntriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    settings_ = NewJobSettings(printer_, &record_);
    ASSERT_TRUE(settings_->IsValid());
    settings_->GetPresetCount(&presets_);
  }

  std::vector<std::wstring> Names() {
    uint32_t count = 0;
    settings_->GetSettingsCount(&count);
    std::vector<std::wstring> names;
    for (uint32_t i = 0; i < count; ++i) {
      wchar_t name[33] = {};
      settings_->GetSettingsName(static_cast<uint16_t>(i), name, 33);
      names.push_back(name);
    }
    return names;
  }

  int16_t StateOf(uint16_t index) {
    storage::UserSettingsEntry entry{};
    settings_->GetSettingsEntry(index, &entry, sizeof(entry));
    return entry.preset.kind;
  }

  testkit::ModelPrinter printer_{testkit::RollPaperModel()};
  settings::DriverDevMode record_{};
  std::unique_ptr<settings::JobSettings> settings_;
  uint32_t presets_ = 0;
  ScriptedSave prompts_;
};

TEST_F(UserSettingsEntriesTest, NewNamesGoFirstAndExistingOnesAreOverwrittenOnlyWhenAgreed) {
  uint32_t index = 99;
  ASSERT_EQ(SaveUserSettingsEntry(*settings_, L"First", nullptr, prompts_, &index), 1);
  EXPECT_EQ(index, presets_);  // store index 0 of an empty store
  ASSERT_EQ(SaveUserSettingsEntry(*settings_, L"Second", nullptr, prompts_, &index), 1);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Second", L"First"}));
  EXPECT_EQ(StateOf(0), storage::kEntryInUse);
  EXPECT_EQ(StateOf(1), storage::kEntryInUse);
  EXPECT_STREQ(settings_->GetPresetName(), L"Second");  // the saved entry is applied
  EXPECT_EQ(prompts_.asked, 0);

  prompts_.agree = false;
  EXPECT_EQ(SaveUserSettingsEntry(*settings_, L"First", nullptr, prompts_, &index), 0);
  EXPECT_EQ(prompts_.asked, 1);
  prompts_.agree = true;
  ASSERT_EQ(SaveUserSettingsEntry(*settings_, L"First", nullptr, prompts_, &index), 1);
  EXPECT_EQ(index, presets_ + 1);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Second", L"First"}));

  auto stored = std::make_unique<settings::JobSettings>(&record_, printer_.printer().handle(), nullptr, nullptr);
  ASSERT_EQ(stored->Reload(), 1);
  EXPECT_EQ(FindSettingsEntryByName(*stored, L"First"), presets_ + 1);
}

TEST_F(UserSettingsEntriesTest, FullStoreRefusesANewName) {
  uint32_t index = 0;
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(SaveUserSettingsEntry(*settings_, (L"E" + std::to_wstring(i)).c_str(), nullptr, prompts_, &index), 1);
  }
  EXPECT_EQ(SaveUserSettingsEntry(*settings_, L"Eleventh", nullptr, prompts_, &index), 0);
  EXPECT_EQ(prompts_.full, 1);
  EXPECT_EQ(Names().size(), 10u);
  EXPECT_EQ(SaveUserSettingsEntry(*settings_, L"E3", nullptr, prompts_, &index), 1);  // overwriting still works
}

TEST_F(UserSettingsEntriesTest, AdvancedSnapshotNamingTheOverwrittenEntryTurnsCustom) {
  uint32_t index = 0;
  ASSERT_EQ(SaveUserSettingsEntry(*settings_, L"Night", nullptr, prompts_, &index), 1);
  const struct {
    const wchar_t* snapshot_name;
    int16_t kind;
    int16_t after;
  } cases[] = {{L"Night", 2, 5}, {L"Day", 2, 2}, {L"Night", 3, 3}};
  for (const auto& c : cases) {
    settings::DriverDevMode snapshot = record_;
    settings::DevModeAccessor advanced(&snapshot);
    advanced.SetPresetName(c.snapshot_name);
    advanced.SetPresetKind(c.kind);
    ASSERT_EQ(SaveUserSettingsEntry(*settings_, L"Night", &snapshot, prompts_, &index), 1);
    EXPECT_EQ(advanced.GetPresetKind(), c.after);
  }
}

TEST_F(UserSettingsEntriesTest, DeleteMovesLaterEntriesDownAndFreesTheLastSlot) {
  uint32_t index = 0;
  for (const wchar_t* name : {L"C", L"B", L"A"}) {
    ASSERT_EQ(SaveUserSettingsEntry(*settings_, name, nullptr, prompts_, &index), 1);
  }
  ASSERT_EQ(Names(), (std::vector<std::wstring>{L"A", L"B", L"C"}));
  EXPECT_EQ(DeleteUserSettingsEntry(*settings_, static_cast<uint16_t>(presets_ + 1)), 1);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"A", L"C"}));
  char ucf[MAX_PATH] = {};
  settings_->GetUcfFilePath(ucf, MAX_PATH);
  const auto file = testkit::ReadBytes(ucf);  // the freed slot lies past the count: read it in the file
  ASSERT_GT(file.size(), 2u + 3 * 408);
  EXPECT_EQ(file[2 + 2 * 408 + 404], storage::kEntryFree);
  EXPECT_EQ(DeleteUserSettingsEntry(*settings_, static_cast<uint16_t>(presets_ + 2)), 0);  // past the entries
  EXPECT_EQ(DeleteUserSettingsEntry(*settings_, 0), 0);                                    // a model preset
  EXPECT_EQ(DeleteUserSettingsEntry(*settings_, kNoSettingsEntry), 0);
  auto stored = std::make_unique<settings::JobSettings>(&record_, printer_.printer().handle(), nullptr, nullptr);
  ASSERT_EQ(stored->Reload(), 1);
  uint32_t count = 0;
  stored->GetSettingsCount(&count);
  EXPECT_EQ(count, 2u);
}

TEST(SettingsNameCutTest, NamesAreCutToWholeCharacters) {
  const bool japanese = GetACP() == 932;
  const struct {
    std::string text;
    bool extended;
    int length;
  } cases[] = {
      {"ABCDEFGHIJKLMNOPQRST", false, 16},
      {"ABCDEFGHIJKLMNO\x82\xA0XYZ", false, japanese ? 15 : 16},  // a double-byte character across byte 16
      {"ABCDEFGHIJKLMN\x82\xA0XYZW", false, 16},
      {"ABCDEFGHIJKLMNOP", false, -1},
      {std::string(40, 'x'), true, 31},
      {std::string(31, 'x'), true, -1},
  };
  for (const auto& c : cases) {
    char text[256] = {};
    c.text.copy(text, sizeof(text) - 1);
    EXPECT_EQ(LimitSettingsNameText(text, sizeof(text), c.extended), c.length) << c.text;
    if (c.length >= 0) {
      EXPECT_EQ(std::string(text), c.text.substr(0, c.length));
    }
  }
  char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(LimitSettingsNameText(unterminated, sizeof(unterminated), false), -1);
}

}  // namespace
}  // namespace kalimu::dialogs
