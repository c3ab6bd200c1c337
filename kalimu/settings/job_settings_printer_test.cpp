// The printer's stored record read and written whole, the ink-set switch, the selected
// watermark's attributes and the rendering intents.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "kalimu/storage/driver_module_locator.h"
#include "testkit/kalimu/stored_dev_mode.h"

namespace kalimu::settings {
namespace {

using test::DriverRecord;
using test::SettingsOnPrinter;

// The stored record from dmSpecVersion on (the spooler rewrites the device name).
bool SameAfterDeviceName(const std::vector<uint8_t>& stored, const void* record) {
  const size_t from = offsetof(DEVMODEW, dmSpecVersion);
  return stored.size() == kDevModeSize &&
         std::memcmp(stored.data() + from, static_cast<const uint8_t*>(record) + from, kDevModeSize - from) == 0;
}

class JobSettingsPrinter : public test::RollPrinterTest {};

TEST_F(JobSettingsPrinter, StoredRecordRoundTrip) {
  JobSettings& s = fixture_.settings();
  DriverDevMode stored = DriverRecord(fixture_.printer().driver_name());
  stored.Public.dmCopies = 3;
  stored.CustomPaperWidth = 123456;
  stored.PrivateTrailer = 0x0710;
  ASSERT_TRUE(testkit::StorePrinterDevMode(fixture_.handle(), &stored));

  DriverDevMode read;
  std::memset(&read, 0xCC, sizeof(read));
  ASSERT_EQ(s.ReadPrinterDevMode(&read, sizeof(read)), 1);
  EXPECT_TRUE(SameAfterDeviceName(std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&read),
                                                       reinterpret_cast<uint8_t*>(&read) + sizeof(read)),
                                  &stored));
  read.Public.dmCopies = 9;
  read.WatermarkSettings.WatermarkSize = 75;
  ASSERT_EQ(s.WritePrinterDevMode(&read, sizeof(read)), 1);
  EXPECT_TRUE(SameAfterDeviceName(testkit::ReadStoredDevMode(fixture_.handle()), &read));
}

// The spooler's 220-byte record is shorter than what the driver reads: it is refused rather
// than read past its end.
TEST_F(JobSettingsPrinter, AShorterStoredRecordIsNotRead) {
  ASSERT_EQ(testkit::ReadStoredDevMode(fixture_.handle()).size(), 220u);
  DriverDevMode read;
  std::memset(&read, 0xCC, sizeof(read));
  EXPECT_EQ(fixture_.settings().ReadPrinterDevMode(&read, sizeof(read)), 0);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&read);
  for (size_t i = 0; i < sizeof(read); ++i) ASSERT_EQ(bytes[i], 0xCC) << "byte " << i;
  uint8_t public_part[220];
  EXPECT_EQ(fixture_.settings().ReadPrinterDevMode(public_part, sizeof(public_part)), 1) << "as much as it holds";
}

// A whole record replaces a shorter stored one: it is handed to the spooler as it is, not
// copied into the space the shorter one had.
TEST_F(JobSettingsPrinter, AWholeRecordReplacesAShorterStoredOne) {
  DriverDevMode record = DriverRecord(fixture_.printer().driver_name());
  record.Public.dmCopies = 4;
  record.PersistentOptions = 0xA5A5A5A5;
  ASSERT_EQ(fixture_.settings().WritePrinterDevMode(&record, sizeof(record)), 1);
  EXPECT_TRUE(SameAfterDeviceName(testkit::ReadStoredDevMode(fixture_.handle()), &record));
}

TEST_F(JobSettingsPrinter, ARecordLargerThanItsGivenSizeIsNotWritten) {
  DriverDevMode record = DriverRecord(fixture_.printer().driver_name());
  EXPECT_EQ(fixture_.settings().WritePrinterDevMode(&record, 1000), 0);
  EXPECT_EQ(fixture_.settings().WritePrinterDevMode(nullptr, 1048), 0);
  EXPECT_EQ(fixture_.settings().WritePrinterDevMode(&record, 10), 0);
  EXPECT_EQ(testkit::ReadStoredDevMode(fixture_.handle()).size(), 220u);
}

TEST_F(JobSettingsPrinter, ModelSwitchWithoutTheDriversStoredRecordStoresNothing) {
  model::InkInfoValue ink{};
  ink.valid = 1;
  ink.ink_id_length = 3;
  std::memcpy(ink.codes, fixture_.model().ink_sets[1].codes, sizeof(ink.codes));
  fixture_.settings().CreateForModel(&ink);
  fixture_.settings().CreateForModel(nullptr);
  const std::vector<uint8_t> stored = testkit::ReadStoredDevMode(fixture_.handle());
  ASSERT_EQ(stored.size(), 220u) << "no record with an empty header was stored";
}

// The printer's own record passes through the merge under the new ink codes and is stored
// again: announced fields stay, the model identifier is the model's.
TEST_F(JobSettingsPrinter, ModelSwitchMergesTheStoredRecord) {
  DriverDevMode record{};
  ASSERT_EQ(fixture_.settings().BuildDefaultDevMode(&record), 1);
  record.Public.dmCopies = 5;
  record.Public.dmFields |= DM_COPIES;
  ASSERT_TRUE(testkit::StorePrinterDevMode(fixture_.handle(), &record));
  model::InkInfoValue ink{};
  ink.valid = 1;
  ink.ink_id_length = 3;
  std::memcpy(ink.codes, fixture_.model().ink_sets[1].codes, sizeof(ink.codes));
  fixture_.settings().CreateForModel(&ink);
  const std::vector<uint8_t> stored = testkit::ReadStoredDevMode(fixture_.handle());
  ASSERT_EQ(stored.size(), kDevModeSize);
  const auto* merged = reinterpret_cast<const DriverDevMode*>(stored.data());
  EXPECT_EQ(merged->Public.dmCopies, 5);
  EXPECT_EQ(merged->PrivateVersion, kDevModePrivateVersion);
  EXPECT_EQ(std::memcmp(merged->ModelId, record.ModelId, sizeof(record.ModelId)), 0) << "the model's own ink codes";
}

TEST_F(JobSettingsPrinter, InkSetSwitch) {
  JobSettings& s = fixture_.settings();
  const auto& model = fixture_.model();
  // Nothing stored: the default ink set (0) is in use.
  EXPECT_EQ(s.SelectInkSet(0), 0);
  DWORD size = 0;
  EXPECT_NE(s.QueryRegistryValue(nullptr, nullptr, storage::kValueInkInf, nullptr, &size, 0), 0) << "nothing written";
  EXPECT_EQ(s.SelectInkSet(7), 0) << "no such ink set";
  ASSERT_EQ(s.SelectInkSet(1), 1);
  model::InkInfoValue stored{};
  size = sizeof(stored);
  ASSERT_EQ(s.ReadRegistryValue(nullptr, nullptr, storage::kValueInkInf, &stored, &size, 2), 0) << "32-bit view";
  EXPECT_EQ(stored.valid, 1u);
  EXPECT_EQ(stored.ink_id_length, 3u);
  EXPECT_EQ(std::memcmp(stored.codes, model.ink_sets[1].codes, 16), 0);
  EXPECT_EQ(s.SelectInkSet(1), 0) << "already in use";
  ASSERT_EQ(s.SelectInkSet(0), 1);

  fixture_.record().ModelId[0] = 0x77;
  EXPECT_EQ(s.IsInkSetChanged(), 1);
  std::memcpy(fixture_.record().ModelId, model.ink_sets[0].codes, 16);
  EXPECT_EQ(s.IsInkSetChanged(), 0);
}

TEST(JobSettingsInkInfo, DefaultInkSetIsWrittenWithItsLength) {
  SettingsOnPrinter fixture(testkit::SheetModel());  // default ink set 1, ink-id length 2
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  ASSERT_EQ(s.WriteDefaultInkInfo(), 1);
  model::InkInfoValue stored{};
  DWORD size = sizeof(stored);
  ASSERT_EQ(s.ReadRegistryValue(nullptr, nullptr, storage::kValueInkInf, &stored, &size, 0), 0);
  EXPECT_EQ(stored.valid, 1u);
  EXPECT_EQ(stored.ink_id_length, 2u);
  EXPECT_EQ(std::memcmp(stored.codes, fixture.model().ink_sets[1].codes, 16), 0);
  const uint8_t zero[8] = {};
  EXPECT_EQ(std::memcmp(stored.reserved, zero, 8), 0);
}

TEST_F(JobSettingsPrinter, SelectedWatermarkAttributesAreCopied) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  r.WatermarkSettings.WatermarkColor = 0x12345678;
  s.SelectWatermark(0);  // built-in 0: letter A, cyan
  EXPECT_EQ(r.WatermarkSettings.WatermarkIndex, 0);
  EXPECT_EQ(r.WatermarkSettings.WatermarkFlags, 1u | 8u);
  EXPECT_EQ(r.WatermarkSettings.WatermarkColor, 0x0000FFFFu);
  EXPECT_EQ(r.WatermarkSettings.WatermarkSize, 50);
  EXPECT_EQ(r.WatermarkSettings.WatermarkDensity, 20);
  EXPECT_EQ(r.WatermarkSettings.WatermarkAspect, 200) << "the 200 x 100 stand-in bitmap";
  const DevModeWatermarkSettings before = r.WatermarkSettings;
  s.SelectWatermark(40);  // no such entry: only the index is stored
  EXPECT_EQ(r.WatermarkSettings.WatermarkIndex, 40);
  EXPECT_EQ(r.WatermarkSettings.WatermarkColor, before.WatermarkColor);
  EXPECT_EQ(r.WatermarkSettings.WatermarkFlags, before.WatermarkFlags);
  storage::WatermarkEntry entry{};
  ASSERT_EQ(s.GetEntry(1, &entry, sizeof(entry)), 1);
  EXPECT_EQ(s.GetWatermarkBitmapAspect(&entry, 1), 300) << "the 300 x 100 stand-in bitmap";
}

TEST_F(JobSettingsPrinter, RenderingIntentsFollowTheColourManagementMode) {
  JobSettings& s = fixture_.settings();
  DriverDevMode& r = fixture_.record();
  struct Case {
    uint32_t mode;
    uint32_t intent2, intent3;
  };
  for (const Case& c : {Case{2, 3, 3}, Case{3, 0, 0}, Case{1, 0, 0}}) {
    r.ColorSettingsBlock = {};
    r.ColorSettingsBlock.ColorManagementMode = c.mode;
    s.SetRenderingIntent(3);
    EXPECT_EQ(r.ColorSettingsBlock.Intent1, 3u) << c.mode;
    EXPECT_EQ(r.Public.dmICMIntent, 3u) << c.mode;
    EXPECT_EQ(r.ColorSettingsBlock.Intent2, c.intent2) << c.mode;
    EXPECT_EQ(r.ColorSettingsBlock.Intent3, c.intent3) << c.mode;
  }
  s.SetRenderingIntent2(4);
  s.SetRenderingIntent3(1);
  EXPECT_EQ(r.ColorSettingsBlock.Intent2, 4u);
  EXPECT_EQ(r.ColorSettingsBlock.Intent3, 1u);
}

TEST(JobSettingsValues, SmallValueMaps) {
  const struct {
    int32_t value;
    int two;
    int32_t mapped;
  } cases[] = {{0, 0, 1}, {1, 0, 2}, {2, 1, 2}, {3, 0, 1}, {-2, 0, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(JobSettings::IsValueTwo(c.value), c.two) << c.value;
    EXPECT_EQ(JobSettings::MapOneOrTwoToTwo(c.value), c.mapped) << c.value;
  }
}

TEST_F(JobSettingsPrinter, DriverDataKeysWithoutAnObject) {
  char data_file[MAX_PATH] = {};
  ASSERT_EQ(fixture_.settings().GetDriverDataFilePath(data_file, sizeof(data_file)), 1);
  char value[MAX_PATH] = {};
  ASSERT_EQ(JobSettings::LookupDriverIniKey(storage::kInfoUcfFile, value, sizeof(value), data_file, 0), 1);
  EXPECT_STREQ(value, "KVUSER.UCF");
  ASSERT_EQ(JobSettings::LookupDriverIniKey(storage::kInfoUcfFile, value, sizeof(value), data_file, 1), 1);
  std::string directory(data_file);
  directory.resize(directory.find_last_of('\\') + 1);
  EXPECT_EQ(std::string(value), directory + "KVUSER.UCF");
}

}  // namespace
}  // namespace kalimu::settings
