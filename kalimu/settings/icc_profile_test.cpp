// The bounded tag readers over good and damaged tag data, and reading generated profiles
// through the colour system.
#include "kalimu/settings/icc_profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "testkit/kalimu/icc_profile_builder.h"

namespace kalimu::settings {
namespace {

using testkit::IccCode;
using testkit::IccTagWriter;
using Bytes = std::vector<uint8_t>;

IccTagWriter Desc() { return IccTagWriter(IccCode("desc")); }
IccTagWriter Mdea() { return IccTagWriter(IccCode("mdea")); }
IccTagWriter Drvn() { return IccTagWriter(IccCode("drvn")); }
IccTagWriter Inks() { return IccTagWriter(IccCode("inks")); }

struct DescriptionCase {
  const char* name;
  Bytes tag;
  std::optional<uint32_t> count;
  std::string text;
};

TEST(IccTagParsing, DescriptionIsBoundedByItsCountAndTheTag) {
  const DescriptionCase cases[] = {
      {"well formed", testkit::DescriptionTag("Glossy paper"), 13, "Glossy paper"},
      {"count zero", Desc().U32(0).Text("abc").data(), std::nullopt, ""},
      {"count past the tag", Desc().U32(400).Text("Glossy").U8(0).data(), std::nullopt, ""},
      {"no terminator within the count", Desc().U32(5).Text("ABCDEFGH").data(), 5, "ABCDE"},
      {"zero inside the text", Desc().U32(8).Text("AB").U8(0).Text("CDEFG").data(), 8, "AB"},
      {"tag without a count", Desc().U16(1).data(), std::nullopt, ""},
      {"prologue only", Desc().data(), std::nullopt, ""},
      {"empty tag", Bytes{}, std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parsed = ParseDescriptionTag(c.tag);
    ASSERT_EQ(parsed.has_value(), c.count.has_value());
    if (!parsed) continue;
    EXPECT_EQ(parsed->count, *c.count);
    EXPECT_EQ(parsed->text, c.text);
  }
}

struct MediaCase {
  const char* name;
  Bytes tag;
  std::vector<uint32_t> ids;
};

TEST(IccTagParsing, MediaIdsTakeAtMostTenWholeIdsFromInsideTheTag) {
  const MediaCase cases[] = {
      {"three ids", testkit::MediaIdsTag({5, 7, 0x10203040}), {5, 7, 0x10203040}},
      {"skipped items first", testkit::MediaIdsTag({9, 11}, 3), {9, 11}},
      {"twelve ids give ten", testkit::MediaIdsTag({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"no ids", testkit::MediaIdsTag({}), {}},
      {"ids cut short by the tag", Mdea().U16(0).U16(5).U32(21).U32(22).U16(0x2300).data(), {21, 22}},
      {"skipped items past the tag", Mdea().U16(0x4000).U32(1).U16(1).U32(2).data(), {}},
      {"no id count", Mdea().U16(1).U32(1).data(), {}},
      {"prologue only", Mdea().data(), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseMediaIdTag(c.tag), c.ids);
  }
}

struct DriverNameCase {
  const char* name;
  Bytes tag;
  bool names_driver;
};

TEST(IccTagParsing, DriverNamesAreComparedWithinTheirLengthsAndTheTag) {
  const char* driver = "Kalimu WF-7000";
  const DriverNameCase cases[] = {
      {"exact", testkit::DriverNamesTag({"Kalimu WF-7000"}), true},
      {"other case", testkit::DriverNamesTag({"KALIMU wf-7000"}), true},
      {"second name", testkit::DriverNamesTag({"Other", "Kalimu WF-7000"}), true},
      {"none matches", testkit::DriverNamesTag({"Other", "Kalimu WF-700"}), false},
      {"no zero in the name", Drvn().U16(1).U16(14).Text("Kalimu WF-7000").data(), true},
      {"text ends at a zero", Drvn().U16(1).U16(20).Text("Kalimu WF-7000").U8(0).Text("junk!").data(), true},
      {"zero length ends the walk", Drvn().U16(2).U16(0).U16(15).Text("Kalimu WF-7000").U8(0).data(), false},
      {"length past the tag", Drvn().U16(1).U16(0xFFFF).Text("Kalimu WF-7000").U8(0).data(), false},
      {"count above the names", Drvn().U16(9).U16(6).Text("Other").U8(0).data(), false},
      {"count zero", Drvn().U16(0).data(), false},
      {"prologue only", Drvn().data(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DriverNamesTagNames(c.tag, driver), c.names_driver);
  }
  EXPECT_FALSE(DriverNamesTagNames(testkit::DriverNamesTag({"Kalimu WF-7000"}), nullptr));
  EXPECT_EQ(DriverNamesTagCount(testkit::DriverNamesTag({"a", "b"})), 2);
  EXPECT_EQ(DriverNamesTagCount(Drvn().U8(1).data()), 0);
}

struct InkCase {
  const char* name;
  Bytes tag;
  std::optional<Bytes> codes;
};

TEST(IccTagParsing, InkCodesAreCheckedBeforeTheyAreTaken) {
  const Bytes sixteen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  Bytes seventeen = sixteen;
  seventeen.push_back(17);
  const InkCase cases[] = {
      {"four codes", testkit::InkCodesTag({0x4B, 0x43, 0x4D, 0x59}), Bytes{0x4B, 0x43, 0x4D, 0x59}},
      {"sixteen codes", testkit::InkCodesTag(sixteen), sixteen},
      {"seventeen codes", testkit::InkCodesTag(seventeen), std::nullopt},
      {"length past the tag", Inks().U16(8).U8(1).U8(2).U8(3).data(), std::nullopt},
      {"length far past the tag", Inks().U16(0xFFFF).data(), std::nullopt},
      {"no codes", testkit::InkCodesTag({}), Bytes{}},
      {"prologue only", Inks().data(), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseInkCodesTag(c.tag), c.codes);
  }
}

// --- Generated profiles through the colour system ---------------------------------------------

class IccProfileFiles : public ::testing::Test {
 protected:
  testkit::InstalledProfiles files_ = testkit::InstalledProfiles::InScratchFolder();

  UniqueColorProfile Install(const wchar_t* name, const Bytes& bytes) {
    EXPECT_TRUE(files_.Install(name, bytes));
    return OpenProfileFile(files_.PathOf(name).c_str());
  }
};

TEST_F(IccProfileFiles, ClassAndPrivateTagsAreRead) {
  const auto profile = Install(L"printer.icc", testkit::IccProfileBuilder(testkit::kIccClassPrinter)
                                                   .Description("Kalimu glossy")
                                                   .DriverNames({"Kalimu WF-7000"})
                                                   .MediaIds({5, 7})
                                                   .InkCodes({1, 2, 3})
                                                   .Build());
  ASSERT_TRUE(profile.valid());
  EXPECT_TRUE(IsProfileValid(profile.get()));
  EXPECT_EQ(ReadProfileClass(profile.get()), kClassOutputDevice);
  const auto drvn = ReadProfileTag(profile.get(), kTagDriverNames);
  ASSERT_TRUE(drvn.has_value());
  EXPECT_EQ(*drvn, testkit::DriverNamesTag({"Kalimu WF-7000"}));
  EXPECT_EQ(ReadProfileTag(profile.get(), kTagMediaIds), testkit::MediaIdsTag({5, 7}));
  EXPECT_EQ(ReadProfileTag(profile.get(), kTagInkCodes), testkit::InkCodesTag({1, 2, 3}));

  const auto monitor = Install(L"monitor.icm", testkit::IccProfileBuilder(testkit::kIccClassMonitor).Build());
  ASSERT_TRUE(monitor.valid());
  EXPECT_EQ(ReadProfileClass(monitor.get()), DWORD{testkit::kIccClassMonitor});
  EXPECT_FALSE(ReadProfileTag(monitor.get(), kTagDriverNames).has_value());
}

TEST_F(IccProfileFiles, DescriptionIsCountedAndCopiedBounded) {
  const auto profile = Install(L"described.icc",
                               testkit::IccProfileBuilder(testkit::kIccClassScanner).Description("Scanner 42").Build());
  ASSERT_TRUE(profile.valid());
  EXPECT_EQ(ReadProfileDescription(profile.get(), nullptr, 0), 11u);
  char whole[32];
  EXPECT_EQ(ReadProfileDescription(profile.get(), whole, sizeof(whole)), 11u);
  EXPECT_STREQ(whole, "Scanner 42");
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(ReadProfileDescription(profile.get(), small, sizeof(small)), 11u);
  EXPECT_STREQ(small, "Scan");

  const auto damaged = Install(L"damaged.icc", testkit::IccProfileBuilder(testkit::kIccClassScanner)
                                                   .Tag(IccCode("desc"), Desc().U32(5000).Text("Runs on").data())
                                                   .Build());
  ASSERT_TRUE(damaged.valid());
  char untouched[8] = "keep";
  EXPECT_EQ(ReadProfileDescription(damaged.get(), untouched, sizeof(untouched)), 0u);
  EXPECT_STREQ(untouched, "keep");

  const auto without = Install(L"without.icc",
                               testkit::IccProfileBuilder(testkit::kIccClassScanner).Without(IccCode("desc")).Build());
  ASSERT_TRUE(without.valid());
  EXPECT_EQ(ReadProfileDescription(without.get(), nullptr, 0), 0u);
}

struct DamagedFileCase {
  const char* name;
  Bytes bytes;
  bool accepted;       // opened and reported valid
  bool driver_names;   // its "drvn" tag can be read
};

Bytes Cut(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}
Bytes Patched(Bytes bytes, size_t offset, uint8_t value) {
  bytes[offset] = value;
  return bytes;
}

TEST_F(IccProfileFiles, DamagedFilesAreRefusedOrReadWithinTheirBounds) {
  const Bytes good = testkit::IccProfileBuilder(testkit::kIccClassPrinter).DriverNames({"Kalimu WF-7000"}).Build();
  const DamagedFileCase cases[] = {
      {"well formed", good, true, true},
      {"empty file", {}, false, false},
      {"half a header", Cut(good, 60), false, false},
      {"header only", Cut(good, 128), false, false},
      {"no signature", Patched(good, 36, 'x'), false, false},
      {"last tag cut off", Cut(good, good.size() - 20), true, false},
      {"tag table count huge", Patched(good, 128, 0x7F), false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto profile = Install(L"damaged-file.icc", c.bytes);
    const bool accepted = profile.valid() && IsProfileValid(profile.get());
    ASSERT_EQ(accepted, c.accepted);
    if (!accepted) continue;
    const auto drvn = ReadProfileTag(profile.get(), kTagDriverNames);
    EXPECT_EQ(drvn.has_value(), c.driver_names);
    EXPECT_EQ(ReadProfileClass(profile.get()), kClassOutputDevice);
  }
}

}  // namespace
}  // namespace kalimu::settings
