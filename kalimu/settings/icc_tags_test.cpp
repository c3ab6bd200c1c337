// The bounded tag readers over good and damaged tag data.
#include "kalimu/settings/icc_tags.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "testkit/settings/icc_tag_writer.h"

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

}  // namespace
}  // namespace kalimu::settings
