// The exported-settings file format: layout, header checks in their order, and damaged files.
#include "kalimu/dialogs/settings_export_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kalimu::dialogs {
namespace {

SettingsExportIdentity Model() {
  SettingsExportIdentity model;
  model.cfg_version = 0x0710;
  for (int i = 0; i < 16; ++i) model.ink_codes[i] = static_cast<uint8_t>(0x40 + i);
  std::strcpy(model.driver_name, "Kalimu Wide 24");
  return model;
}

std::vector<uint8_t> FileOf(const SettingsExportHeader& header, const std::vector<SettingsExportRecord>& records) {
  std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(&header),
                             reinterpret_cast<const uint8_t*>(&header) + sizeof(header));
  for (const auto& r : records) {
    bytes.insert(bytes.end(), reinterpret_cast<const uint8_t*>(&r), reinterpret_cast<const uint8_t*>(&r) + sizeof(r));
  }
  return bytes;
}

SettingsExportRecord Record(const char* name) {
  SettingsExportRecord record{};
  PutFieldText(record.name, sizeof(record.name), name);
  PutFieldText(record.profile_names[2], sizeof(record.profile_names[2]), "SRGB.ICM");
  for (size_t i = 0; i < sizeof(record.preset); ++i) record.preset[i] = static_cast<uint8_t>(i * 3);
  SetRecordState(&record, 2);
  return record;
}

TEST(SettingsExportFileTest, TwoRecordsMakeTheFileAndReadBack) {
  const auto header = MakeSettingsExportHeader(Model(), 2);
  const auto bytes = FileOf(header, {Record("Night"), Record("Day")});
  ASSERT_EQ(bytes.size(), 1100u);
  EXPECT_EQ(bytes[0], 0x10);
  EXPECT_EQ(bytes[1], 0x07);
  EXPECT_EQ(bytes[4], 2);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 8, bytes.begin() + 12), std::vector<uint8_t>(4, 0));
  EXPECT_EQ(bytes[12], 0x40);
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 28), "Kalimu Wide 24");
  EXPECT_EQ(bytes[28 + 14], 0);
  EXPECT_EQ(bytes[283], 0);

  SettingsExportHeader read{};
  ASSERT_EQ(ReadSettingsExportHeader(bytes, &read), ExportFileStatus::kOk);
  EXPECT_EQ(CheckSettingsExportHeader(read, Model(), 0, 2), HeaderVerdict::kAccept);
  SettingsExportRecord second{};
  ASSERT_EQ(ReadSettingsExportRecord(bytes, 1, &second), ExportFileStatus::kOk);
  EXPECT_EQ(std::memcmp(&second, &bytes[284 + 408], 408), 0);
  EXPECT_STREQ(second.name, "Day");
  EXPECT_EQ(ReadSettingsExportRecord(bytes, 2, &second), ExportFileStatus::kShortRecord);
}

TEST(SettingsExportFileTest, HeaderChecksInTheirOrder) {
  const auto model = Model();
  struct Case {
    const char* what;
    void (*damage)(SettingsExportHeader*);
    uint32_t in_use;
    HeaderVerdict verdict;
  };
  const Case cases[] = {
      {"same model, room for both", [](SettingsExportHeader*) {}, 8, HeaderVerdict::kAccept},
      {"other version", [](SettingsExportHeader* h) { h->cfg_version = 0x0700; }, 0, HeaderVerdict::kVersionDiffers},
      {"word 2 not zero", [](SettingsExportHeader* h) { h->reserved2 = 1; }, 0, HeaderVerdict::kVersionDiffers},
      {"version before ink codes",
       [](SettingsExportHeader* h) {
         h->cfg_version = 1;
         h->ink_codes[15] = 0;
       },
       0, HeaderVerdict::kVersionDiffers},
      {"other ink codes", [](SettingsExportHeader* h) { h->ink_codes[15] = 0; }, 0, HeaderVerdict::kInkCodesDiffer},
      {"other driver", [](SettingsExportHeader* h) { h->driver_name[0] = 'k'; }, 0, HeaderVerdict::kDriverDiffers},
      {"driver name longer", [](SettingsExportHeader* h) { h->driver_name[14] = 'X'; }, 0,
       HeaderVerdict::kDriverDiffers},
      {"unterminated driver", [](SettingsExportHeader* h) { std::memset(h->driver_name, 'A', 256); }, 0,
       HeaderVerdict::kDriverDiffers},
      {"one entry too many: 3 free for 4", [](SettingsExportHeader* h) { h->record_count = 4; }, 7,
       HeaderVerdict::kNoRoom},
      {"count past any capacity", [](SettingsExportHeader* h) { h->record_count = 0xFFFF; }, 0,
       HeaderVerdict::kNoRoom},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto header = MakeSettingsExportHeader(model, 2);
    c.damage(&header);
    EXPECT_EQ(CheckSettingsExportHeader(header, model, c.in_use, 10), c.verdict);
  }
}

TEST(SettingsExportFileTest, DamagedFilesGiveAStatusAndTerminatedTexts) {
  const auto header = MakeSettingsExportHeader(Model(), 1);
  auto bytes = FileOf(header, {Record("Night")});
  SettingsExportHeader read{};
  SettingsExportRecord record{};

  // Short header, short record, counts past the end.
  for (size_t size : {0u, 1u, 283u}) {
    EXPECT_EQ(ReadSettingsExportHeader(std::span(bytes.data(), size), &read), ExportFileStatus::kShortHeader);
  }
  EXPECT_EQ(ReadSettingsExportRecord(std::span(bytes.data(), bytes.size() - 1), 0, &record),
            ExportFileStatus::kShortRecord);
  EXPECT_EQ(ReadSettingsExportRecord(bytes, SIZE_MAX / 2, &record), ExportFileStatus::kShortRecord);

  // Texts without a terminator end inside their own fields; bytes after a terminator are dropped.
  std::memset(bytes.data() + 284, 'N', 64);
  std::memset(bytes.data() + 284 + 64 + 5 * 32, 'P', 32);
  std::memcpy(bytes.data() + 284 + 64, "abc", 4);
  bytes[284 + 64 + 4] = 'x';
  std::memset(bytes.data() + 28, 'D', 256);
  ASSERT_EQ(ReadSettingsExportRecord(bytes, 0, &record), ExportFileStatus::kOk);
  EXPECT_EQ(std::string(record.name), std::string(63, 'N'));
  EXPECT_EQ(std::string(record.profile_names[5]), std::string(31, 'P'));
  EXPECT_EQ(std::strlen(record.profile_names[0]), 3u);
  EXPECT_EQ(record.profile_names[0][4], 0);
  ASSERT_EQ(ReadSettingsExportHeader(bytes, &read), ExportFileStatus::kOk);
  EXPECT_EQ(std::strlen(read.driver_name), 255u);
}

TEST(SettingsExportFileTest, RefusedRecordsAndState) {
  auto header = MakeSettingsExportHeader(Model(), 1);
  auto record = Record("Night");
  reinterpret_cast<uint8_t*>(&record)[kRecordRefuseMarkOffset] = 1;
  reinterpret_cast<uint8_t*>(&record)[kRecordRefuseMarkOffset + 1] = 0;
  EXPECT_FALSE(IsRecordRefused(header, record));  // the flag is written as 0
  header.refuse_flag = 1;
  EXPECT_TRUE(IsRecordRefused(header, record));
  reinterpret_cast<uint8_t*>(&record)[kRecordRefuseMarkOffset + 1] = 1;  // 0x0101, not 1
  EXPECT_FALSE(IsRecordRefused(header, record));

  SetRecordState(&record, 0x0703);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(&record)[404], 0x03);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(&record)[405], 0x07);
  EXPECT_EQ(GetRecordState(record), 0x0703);
}

TEST(SettingsExportFileTest, FieldTextIsCutAndZeroFilled) {
  char field[8];
  std::memset(field, 'z', sizeof(field));
  PutFieldText(field, sizeof(field), "abc");
  EXPECT_EQ(std::string(field, 8), std::string("abc\0\0\0\0\0", 8));
  PutFieldText(field, sizeof(field), "abcdefghijk");
  EXPECT_EQ(std::string(field, 8), std::string("abcdefg\0", 8));
  PutFieldText(field, sizeof(field), nullptr);
  EXPECT_EQ(std::string(field, 8), std::string(8, '\0'));
}

}  // namespace
}  // namespace kalimu::dialogs
