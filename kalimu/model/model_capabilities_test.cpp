// Loading through the driver data file: lazy load, the variant file of the stored ink set,
// suffix rules, version messages and the LFP reload.
#include <gtest/gtest.h>

#include <cstring>

#include "kalimu/model/model_capabilities.h"
#include "testkit/kalimu/model_printer.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::model {
namespace {

using testkit::ModelPrinter;

uint32_t Marker(ModelCapabilities& model) {
  uint32_t marker = 0;
  model.GetModelHeaderByte76(&marker);
  return marker;
}

uint32_t MediaCount(ModelCapabilities& model) {
  uint32_t count = 0;
  model.GetMediaTypeCount(&count);
  return count;
}

TEST(ModelLoading, FileIsReadOnTheFirstQueryOnly) {
  ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  ModelCapabilities model;
  printer.Attach(model);
  // Written after the object was made and before its first query: still seen.
  ASSERT_TRUE(printer.WriteDriverFile(printer.VariantFileName(0),
                                      testkit::BuildCfgFile(testkit::VariantFor(printer.model(), 0)).bytes));
  EXPECT_EQ(Marker(model), 0x10u);
  // Gone afterwards: the loaded tables stay.
  ASSERT_TRUE(printer.DeleteDriverFile(printer.VariantFileName(0)));
  uint32_t papers = 0;
  EXPECT_EQ(model.GetPaperSizeCount(&papers), 1);
  EXPECT_EQ(papers, printer.model().papers.size());
}

TEST(ModelLoading, StoredInkSetChoosesTheVariantFile) {
  ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  const uint32_t media = printer.model().media.size();
  {
    ModelCapabilities model;  // nothing stored: the default ink set (0)
    printer.Attach(model);
    EXPECT_EQ(Marker(model), 0x10u);
    EXPECT_EQ(MediaCount(model), media);
    EXPECT_EQ(model.FindCurrentInkSet(), 0);
  }
  ASSERT_TRUE(printer.StoreInkSet(1));
  {
    ModelCapabilities model;
    printer.Attach(model);
    EXPECT_EQ(Marker(model), 0x11u);
    EXPECT_EQ(MediaCount(model), media - 1);
    EXPECT_EQ(model.FindCurrentInkSet(), 1);
    char path[MAX_PATH];
    ASSERT_EQ(model.GetVariantCfgFilePath(path, MAX_PATH), 1);
    EXPECT_EQ(std::string(path), printer.DriverDirectory() + printer.VariantFileName(1));
  }
  const uint8_t unknown[16] = {0x77};
  ASSERT_TRUE(printer.StoreInkCodes(unknown, 3));
  {
    ModelCapabilities model;  // codes that match no ink set: ink set 0
    printer.Attach(model);
    EXPECT_EQ(model.FindCurrentInkSet(), 0);
    EXPECT_EQ(Marker(model), 0x10u);
  }
}

TEST(ModelLoading, DefaultInkSetOfTheHeaderStandsInForAMissingValue) {
  auto description = testkit::RollPaperModel();
  description.header.default_ink_set = 1;
  ModelPrinter printer(description);
  ASSERT_TRUE(printer.ok()) << printer.error();
  ModelCapabilities model;
  printer.Attach(model);
  InkInfoValue info;
  model.ReadInkInfo(&info);
  EXPECT_EQ(info.valid, 1u);
  EXPECT_EQ(info.ink_id_length, 3u);
  EXPECT_EQ(std::memcmp(info.codes, description.ink_sets[1].codes, 16), 0);
  EXPECT_EQ(Marker(model), 0x11u);
}

TEST(ModelLoading, OneInkSetUsesThePlainKeyWhateverIsStored) {
  auto description = testkit::SheetModel();
  description.ink_sets.resize(1);
  ModelPrinter printer(description);
  ASSERT_TRUE(printer.ok()) << printer.error();
  const uint8_t other[16] = {0x05, 0x4B};
  ASSERT_TRUE(printer.StoreInkCodes(other, 2));
  ModelCapabilities model;
  printer.Attach(model);
  EXPECT_EQ(Marker(model), testkit::kBaseFileMarker);
}

TEST(ModelLoading, MissingVariantKeyFallsBackToThePlainKey) {
  const auto description = testkit::RollPaperModel();
  auto data = testkit::StandardDriverData();
  ModelPrinter printer(description, data);
  ASSERT_TRUE(printer.ok()) << printer.error();
  data.SetInfo("CfgFileI", printer.BaseFileName());  // without the variant keys
  ASSERT_TRUE(printer.printer().RewriteDataFile(data.Render()));
  ModelCapabilities model;
  printer.Attach(model);
  EXPECT_EQ(Marker(model), testkit::kBaseFileMarker);
}

TEST(ModelLoading, SuffixRules) {
  ModelPrinter roll(testkit::RollPaperModel());
  ModelPrinter sheet(testkit::SheetModel());
  ASSERT_TRUE(roll.ok() && sheet.ok()) << roll.error() << sheet.error();
  ModelCapabilities roll_model, sheet_model;
  roll.Attach(roll_model);
  sheet.Attach(sheet_model);
  char suffix[64];
  // 0x01 and 0x0A give two characters each; 0x4B only its high digit.
  roll_model.FormatInkSetSuffix(0, suffix, sizeof(suffix));
  EXPECT_STREQ(suffix, "010A4");
  roll_model.FormatInkSetSuffix(1, suffix, sizeof(suffix));
  EXPECT_STREQ(suffix, "010B4");
  sheet_model.FormatInkSetSuffix(0, suffix, sizeof(suffix));
  EXPECT_STREQ(suffix, "0502");
  sheet_model.FormatInkSetSuffix(1, suffix, sizeof(suffix));
  EXPECT_STREQ(suffix, "054");
  roll_model.FormatInkSetSuffix(2, suffix, sizeof(suffix));  // no such ink set
  EXPECT_STREQ(suffix, "");
  roll_model.FormatInkSetSuffix(0, suffix, 4);  // bounded
  EXPECT_STREQ(suffix, "010");

  uint8_t codes[16] = {};
  EXPECT_EQ(roll_model.GetInkSetCodes(1, codes, 16), 1);
  EXPECT_EQ(codes[1], 0x0B);
  EXPECT_EQ(roll_model.GetInkSetCodes(2, codes, 16), 0);
  EXPECT_EQ(roll_model.GetInkSetCodes(0, codes, 15), 0);
  EXPECT_EQ(roll_model.FindInkSet(roll.model().ink_sets[1].codes), 1);
  // The selected ink set of the header is 1 for the roll model, 0 for the sheet model.
  uint8_t selected[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(roll_model.GetSelectedInkCodes(selected, 2), 2u);
  EXPECT_EQ(selected[0], 0x01);
  EXPECT_EQ(selected[1], 0x0B);
  EXPECT_EQ(selected[2], 0xEE);
}

TEST(ModelLoading, VersionErrorShowsItsMessageOncePerLoadAndTablesStayEmpty) {
  ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  auto variant = testkit::BuildCfgFile(testkit::VariantFor(printer.model(), 0));
  const uint16_t old_version = 0x0700;
  std::memcpy(variant.bytes.data() + variant.version_offset, &old_version, 2);
  ASSERT_TRUE(printer.WriteDriverFile(printer.VariantFileName(0), variant.bytes));
  testkit::MessageBoxWatcher watcher;
  ModelCapabilities model;
  printer.Attach(model);
  uint32_t count = 9;
  EXPECT_EQ(model.GetPaperSizeCount(&count), 1);
  EXPECT_EQ(count, 0u);
  ASSERT_EQ(watcher.shown().size(), 1u);
  EXPECT_EQ(watcher.shown()[0].caption, "UI DLL Message");
  EXPECT_EQ(watcher.shown()[0].text, "Version Error of cfg data. Please install again.");
  EXPECT_EQ(model.GetPrintModeCount(&count), 1);  // every later query tries again
  EXPECT_EQ(watcher.shown().size(), 2u);
}

TEST(ModelLoading, BadBaseHeaderShowsTheDatMessageOncePerLoad) {
  ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  auto base = testkit::BuildCfgFile(printer.model());
  base.bytes[base.header_offset + 2] = 0;
  ASSERT_TRUE(printer.WriteDriverFile(printer.BaseFileName(), base.bytes));
  testkit::MessageBoxWatcher watcher;
  ModelCapabilities model;
  printer.Attach(model);
  uint32_t count = 9;
  EXPECT_EQ(model.GetPaperSizeCount(&count), 1);
  ASSERT_EQ(watcher.shown().size(), 1u);
  EXPECT_EQ(watcher.shown()[0].text, "Version Error of dat data. Please install again.");
}

TEST(ModelLoading, MissingFileLoadsNothingSilently) {
  ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  ASSERT_TRUE(printer.DeleteDriverFile(printer.VariantFileName(0)));
  testkit::MessageBoxWatcher watcher;
  ModelCapabilities model;
  printer.Attach(model);
  uint32_t count = 9;
  EXPECT_EQ(model.GetPaperSizeCount(&count), 1);
  EXPECT_EQ(count, 0u);
  EXPECT_TRUE(watcher.shown().empty());
}

TEST(ModelLoading, WithoutAnLfpBlockEveryLfpCheckReadsTheFileAgain) {
  ModelPrinter printer(testkit::SheetModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  ModelCapabilities model;
  printer.Attach(model);
  uint32_t count = 9;
  EXPECT_EQ(model.GetLfpRecordCount(&count), 1);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(Marker(model), 0x11u);  // the sheet model's default ink set is 1
  auto changed = testkit::VariantFor(printer.model(), 1);
  changed.header.byte76 = 0x42;
  ASSERT_TRUE(printer.WriteDriverFile(printer.VariantFileName(1), testkit::BuildCfgFile(changed).bytes));
  EXPECT_EQ(Marker(model), 0x11u);  // loaded tables are kept by the other checks
  EXPECT_EQ(model.EnsureLfpLoaded(), 1);
  EXPECT_EQ(Marker(model), 0x42u);
}

// Files read once are kept for the process: a model file replaced on disk (an upgrade), of the
// same size, is still what the next object sees, and the object loaded before keeps its tables.
TEST(ModelLoading, ReplacedFileIsSeenByTheNextObject) {
  ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  ModelCapabilities before;
  printer.Attach(before);
  EXPECT_EQ(Marker(before), 0x10u);
  for (const uint8_t marker : {0x51, 0x52}) {
    auto upgraded = testkit::VariantFor(printer.model(), 0);
    upgraded.header.byte76 = marker;
    ASSERT_TRUE(printer.WriteDriverFile(printer.VariantFileName(0), testkit::BuildCfgFile(upgraded).bytes));
    ModelCapabilities after;
    printer.Attach(after);
    EXPECT_EQ(Marker(after), marker);
  }
  EXPECT_EQ(Marker(before), 0x10u);
}

TEST(ModelLoading, LfpBlockIsLoaded) {
  ModelPrinter printer(testkit::RollPaperModel());
  ASSERT_TRUE(printer.ok()) << printer.error();
  ModelCapabilities model;
  printer.Attach(model);
  uint32_t count = 0, present = 0;
  int32_t width = 0;
  EXPECT_EQ(model.GetLfpRecordCount(&count), 1);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(model.GetLfpPresent(&present), 1);
  EXPECT_EQ(present, 1u);
  EXPECT_EQ(model.GetLfpValue4(1, &width), 1);
  EXPECT_EQ(width, 15840);
  EXPECT_EQ(model.TestLfpHeaderFlags4(0x10000), 1);
}

}  // namespace
}  // namespace kalimu::model
