// The grey header table: version, columns, name lists, row choice, and damaged tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "testkit/tonvar/grey_engine_fixture.h"
#include "testkit/tonvar/grey_resources.h"

namespace {

using testkit::GreyHeaderRowShape;
using testkit::GreyHeaderTable;
using testkit::GreyHeaderTableText;
using testkit::kGreyColumnLine;
using tonvar::kStatusBadResource;
using tonvar::kStatusOk;
using tonvar::grey::ReadCmGreyHeader;

// The default row's text with its CMM-ID replaced.
std::string Row(uint32_t cmm, const std::string& halftone = "ED") {
  GreyHeaderRowShape shape;
  shape.cmm_id = cmm;
  shape.halftone = halftone;
  return testkit::GreyHeaderRowText(shape);
}

struct HeaderCase {
  const char* name;
  std::string text;
  tonvar::EngineStatus status;
  uint32_t cmm_id;  // of the row taken
};

class GreyHeaderCases : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(GreyHeaderCases, ChoosesTheFirstFittingRowOrRefuses) {
  const HeaderCase& c = GetParam();
  auto engine = testkit::NewGreyEngineState();
  EXPECT_EQ(ReadCmGreyHeader(testkit::Bounded(c.text), engine.get()), c.status);
  if (c.status == kStatusOk) {
    EXPECT_EQ(engine->header.cmm_id, c.cmm_id);
  }
  // The same text, unbounded and ended by NUL, reads the same.
  const std::string terminated = c.text + '\0';
  auto unbounded = testkit::NewGreyEngineState();
  EXPECT_EQ(ReadCmGreyHeader({reinterpret_cast<const uint8_t*>(terminated.data()),
                              tonvar::common::kUnboundedSize},
                             unbounded.get()),
            c.status);
}

const std::string kNames = testkit::kGreyNameLines;

INSTANTIATE_TEST_SUITE_P(
    Cases, GreyHeaderCases,
    ::testing::Values(
        HeaderCase{"OneRow", GreyHeaderTable({GreyHeaderRowShape{}}), kStatusOk, 100},
        HeaderCase{"TwoFittingRowsTakeTheFirst",
                   GreyHeaderTableText("//510", kGreyColumnLine, {Row(101), Row(102)}), kStatusOk,
                   101},
        HeaderCase{"RowWithCmmIdZeroIsPassedOver",
                   GreyHeaderTableText("//510", kGreyColumnLine, {Row(0), Row(103)}), kStatusOk,
                   103},
        HeaderCase{"OnlyRowWithCmmIdZero", GreyHeaderTableText("//510", kGreyColumnLine, {Row(0)}),
                   kStatusBadResource, 0},
        HeaderCase{"UnknownHalftoneRefusesAtOnce",
                   GreyHeaderTableText("//510", kGreyColumnLine, {Row(104, "XX"), Row(105)}),
                   kStatusBadResource, 0},
        HeaderCase{"NoFittingRow",
                   GreyHeaderTableText("//510", kGreyColumnLine, {Row(106, "Dith")}),
                   kStatusBadResource, 0},
        HeaderCase{"VersionAfterASpace", GreyHeaderTableText("// 510", kGreyColumnLine, {Row(107)}),
                   kStatusBadResource, 0},
        HeaderCase{"Version499", GreyHeaderTableText("//499", kGreyColumnLine, {Row(108)}),
                   kStatusBadResource, 0},
        HeaderCase{"VersionWithTextAfterIt",
                   GreyHeaderTableText("x //512\tfree text", kGreyColumnLine, {Row(109)}),
                   kStatusOk, 109},
        HeaderCase{"ColumnLineContinuedWithAt",
                   GreyHeaderTableText("//510",
                                       "CMM-ID INK-ID SMB-ID Halftone media @ dropped\r\n"
                                       "  DocType subType H-RES V-RES OUT_BIT ink_set Micro",
                                       {Row(110)}),
                   kStatusOk, 110},
        HeaderCase{"InkSetNotAfterOutBit",
                   GreyHeaderTableText("//510",
                                       "CMM-ID INK-ID SMB-ID Halftone media DocType subType "
                                       "H-RES V-RES ink_set OUT_BIT Micro",
                                       {Row(111)}),
                   kStatusBadResource, 0},
        HeaderCase{"InkSetFirstIsAllowed",
                   GreyHeaderTableText("//510",
                                       "ink_set CMM-ID Halftone media DocType subType H-RES "
                                       "V-RES OUT_BIT",
                                       {"K8 112 ED Plain Grey 0 720 720 2"}),
                   kStatusOk, 112},
        HeaderCase{
            "WithoutCmmIdTheFirstColumnServes",
            GreyHeaderTableText("//510", "First Halftone media DocType subType H-RES V-RES OUT_BIT",
                                {"113 ED Plain Grey 0 720 720 2"}),
            kStatusOk, 113},
        HeaderCase{
            "ShortRowKeepsThePreviousValue",
            GreyHeaderTableText("//510", kGreyColumnLine,
                                {Row(0, "Dith"), "114 300 200 ED Plain Grey 0 720 720 2 K8"}),
            kStatusOk, 114},
        HeaderCase{"PhotoIsMediaFourAfterBaseThree",
                   GreyHeaderTableText("//510", kGreyColumnLine,
                                       {"115 300 200 ED Photo Grey 0 720 720 2 K8 MX"},
                                       "None ED\n3 Plain Photo\nD0 D1 D2 D3 D4 D5 D6 Grey\n"),
                   kStatusBadResource, 0},
        HeaderCase{"RowsEndWithoutAFit", GreyHeaderTableText("//510", kGreyColumnLine, {"// end"}),
                   kStatusBadResource, 0},
        HeaderCase{"TextEndsBeforeTheVersion", "no version here\r\n", kStatusBadResource, 0},
        HeaderCase{"TextEndsBeforeTheNames",
                   "//510\r\nskip\r\n" + std::string(kGreyColumnLine) + "\r\n" + Row(116),
                   kStatusBadResource, 0},
        HeaderCase{
            "RowNameOf16Characters",
            GreyHeaderTableText("//510", kGreyColumnLine,
                                {"117 300 200 ED Plain Grey 0 720 720 2 K8 M123456789012345"}),
            kStatusBadResource, 0},
        HeaderCase{
            "RowNameOf15Characters",
            GreyHeaderTableText("//510", kGreyColumnLine,
                                {"118 300 200 ED Plain Grey 0 720 720 2 K8 M12345678901234"}),
            kStatusOk, 118},
        HeaderCase{
            "ThirteenHalftoneNames",
            GreyHeaderTableText("//510", kGreyColumnLine, {Row(119)},
                                "A ED C D E F G H I J K L M\n0 Plain\nD0 D1 D2 D3 D4 D5 D6 Grey\n"),
            kStatusBadResource, 0},
        HeaderCase{"NameOf33Characters",
                   GreyHeaderTableText("//510", kGreyColumnLine, {Row(120)},
                                       "None ED\n0 Plain " + std::string(33, 'p') +
                                           "\nD0 D1 D2 D3 D4 D5 D6 Grey\n"),
                   kStatusBadResource, 0},
        HeaderCase{"LineOf1024Characters",
                   GreyHeaderTableText("//510", kGreyColumnLine,
                                       {Row(121) + " " + std::string(1024, 'x')}),
                   kStatusBadResource, 0}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST(GreyHeaderTableRow, KeepsIdsNamesAndVersionOfTheRowTaken) {
  auto engine = testkit::NewGreyEngineState();
  const std::string text = GreyHeaderTable({GreyHeaderRowShape{}}, 512);
  ASSERT_EQ(ReadCmGreyHeader(testkit::Bounded(text), engine.get()), kStatusOk);
  EXPECT_EQ(engine->header.version, 512);
  EXPECT_EQ(engine->header.ink_id, 300u);
  EXPECT_EQ(engine->header.smb_id, 200u);
  EXPECT_STREQ(engine->header.ink_set_name, "K8");
  EXPECT_STREQ(engine->header.micro_name, "MX");
}

TEST(GreyHeaderTableRow, ShortRowKeepsTheNameOfTheRowBefore) {
  auto engine = testkit::NewGreyEngineState();
  const std::string text = GreyHeaderTableText("//510", kGreyColumnLine,
                                               {"0 300 200 Dith Plain Grey 0 720 720 2 K8 PREV",
                                                "140 300 200 ED Plain Grey 0 720 720 2 K8"});
  ASSERT_EQ(ReadCmGreyHeader(testkit::Bounded(text), engine.get()), kStatusOk);
  EXPECT_EQ(engine->header.cmm_id, 140u);
  EXPECT_STREQ(engine->header.micro_name, "PREV");
}

TEST(GreyHeaderTableRow, MediaNumbersStartAtTheBase) {
  // The second media name ("Photo") is base + 1. Numbers are 32-bit values: after a base of
  // 2147483647 it is -2147483648.
  const struct {
    const char* base;
    int32_t photo;
  } cases[] = {{"3", 4}, {"2147483647", INT32_MIN}};
  for (const auto& c : cases) {
    auto engine = testkit::NewGreyEngineState();
    engine->media = c.photo;
    const std::string text =
        GreyHeaderTableText("//510", kGreyColumnLine,
                            {"130 300 200 ED Plain Grey 0 720 720 2 K8 MX",
                             "131 300 200 ED Photo Grey 0 720 720 2 K8 MX"},
                            std::string("None ED\n") + c.base + " Plain Photo\nD0 D1 D2 D3 D4 D5 D6 Grey\n");
    ASSERT_EQ(ReadCmGreyHeader(testkit::Bounded(text), engine.get()), kStatusOk) << c.base;
    EXPECT_EQ(engine->header.cmm_id, 131u) << c.base;
  }
}

}  // namespace
