// The grey engine's "ic_data" markup: what it keeps, and the lines it refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testkit/tonvar/grey_engine_fixture.h"
#include "testkit/tonvar/grey_resources.h"

namespace {

using testkit::GreyIcData;
using testkit::GreyIcDataShape;
using tonvar::kStatusBadResource;
using tonvar::kStatusOk;
using tonvar::grey::ReadGreyIcData;

tonvar::EngineStatus Read(const std::string& text, tonvar::grey::CmGreyEngine* engine) {
  return ReadGreyIcData(testkit::Bounded(text), engine);
}

TEST(GreyMarkup, ReadsTheDefaultMarkup) {
  auto engine = testkit::NewGreyEngineState();
  ASSERT_EQ(Read(GreyIcData({}), engine.get()), kStatusOk);
  const auto& m = engine->markup;
  EXPECT_EQ(m.ink_count, 3);
  EXPECT_EQ(m.row_count, 1);
  EXPECT_EQ(m.rows[0][2], 30);
  EXPECT_EQ(m.ink_set_digit, 9);
  EXPECT_EQ(m.pair_first[1], 1);
  EXPECT_EQ(m.pair_second[2], 2);
  EXPECT_EQ(m.pair_first[3], -999);
  EXPECT_EQ(m.id_step, 5);
  EXPECT_EQ(m.id_lowest_value, 10);
  EXPECT_EQ(m.rank_upper_limit, 30);
  EXPECT_EQ(m.nc_range, 5);
  EXPECT_EQ(m.mode.kind, tonvar::grey::kModeSingle);
  EXPECT_EQ(m.mode.letters[0], 'a');
  EXPECT_EQ(m.mode.rows[0], 1);
  EXPECT_EQ(m.mode.h_res, -999);
}

TEST(GreyMarkup, ColorCnvLinesAndNames) {
  GreyIcDataShape shape;
  shape.color_cnv = {"<color_cnv=5::0:0:0>", "<color_cnv=9::7:1,2:3,20>", "<color_cnv=9::garbage"};
  auto engine = testkit::NewGreyEngineState();
  ASSERT_EQ(Read(GreyIcData(shape), engine.get()), kStatusOk);
  EXPECT_EQ(engine->markup.pair_first[0], 7);
  EXPECT_EQ(engine->markup.pair_second[0], 7);
  EXPECT_EQ(engine->markup.pair_first[1], 1);
  EXPECT_EQ(engine->markup.pair_second[1], 2);
  EXPECT_EQ(engine->markup.pair_second[2], 20);

  // A name that differs from the row's ink_set name does not apply; with no ink_set name any
  // name applies.
  shape.color_cnv = {"<color_cnv=9:Other::1:1:1>", "<color_cnv=9:K8::2:2:2>"};
  std::strcpy(engine->header.ink_set_name, "K8");
  ASSERT_EQ(Read(GreyIcData(shape), engine.get()), kStatusOk);
  EXPECT_EQ(engine->markup.pair_first[0], 2);
  engine->header.ink_set_name[0] = 0;
  ASSERT_EQ(Read(GreyIcData(shape), engine.get()), kStatusOk);
  EXPECT_EQ(engine->markup.pair_first[0], 1);
}

TEST(GreyMarkup, ModeLinesByResolution) {
  GreyIcDataShape shape;
  shape.mode_lines = {"720 720 single n 1 &", "1440 * dual a 1 m 1 n 1 &",
                     "* * smbrate a 1 10 20 70 &"};
  auto engine = testkit::NewGreyEngineState();
  engine->job.h_res = 1440;
  ASSERT_EQ(Read(GreyIcData(shape), engine.get()), kStatusOk);
  const auto& mode = engine->markup.mode;
  EXPECT_EQ(mode.kind, tonvar::grey::kModeDual);
  EXPECT_EQ(mode.h_res, 1440);
  EXPECT_EQ(mode.letters[1], 'm');
  EXPECT_EQ(mode.letters[2], 'n');

  engine->job.h_res = 360;
  ASSERT_EQ(Read(GreyIcData(shape), engine.get()), kStatusOk);
  EXPECT_EQ(mode.kind, tonvar::grey::kModeSmbRate);
  EXPECT_EQ(mode.rates[0], 10);
  EXPECT_EQ(mode.rates[2], 70);
}

TEST(GreyMarkup, FourReferenceRowsEndTheReading) {
  // Nothing after id_row is read: the rest may be anything.
  auto engine = testkit::NewGreyEngineState();
  EXPECT_EQ(Read("zzzz\n<ic_data>\n<version=\"10_03\">\n<ink_num=2>\n<id_row=4>\n", engine.get()),
            kStatusOk);
  EXPECT_EQ(engine->markup.row_count, 4);
  EXPECT_EQ(engine->markup.mode.kind, tonvar::grey::kModeSingle);
  EXPECT_EQ(engine->markup.mode.letters[0], 0);
}

TEST(GreyMarkup, NoReferenceRowsAndNoInks) {
  GreyIcDataShape shape;
  shape.ink_num = 0;
  shape.rows = {};
  shape.color_cnv = {"<color_cnv=9::>"};
  auto engine = testkit::NewGreyEngineState();
  EXPECT_EQ(Read(GreyIcData(shape), engine.get()), kStatusOk);
}

// Markups that differ from the default in one place.
struct MarkupCase {
  const char* name;
  std::string from;
  std::string to;
  tonvar::EngineStatus status;
};

class GreyMarkupEdits : public ::testing::TestWithParam<MarkupCase> {};

TEST_P(GreyMarkupEdits, AcceptOrRefuse) {
  const MarkupCase& c = GetParam();
  std::string text = GreyIcData({});
  const size_t at = text.find(c.from);
  ASSERT_NE(at, std::string::npos) << c.from;
  text.replace(at, c.from.size(), c.to);
  auto engine = testkit::NewGreyEngineState();
  EXPECT_EQ(Read(text, engine.get()), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GreyMarkupEdits,
    ::testing::Values(
        MarkupCase{"TrailingSpaceAfterZzzz", "zzzz\r", "zzzz \t\r", kStatusOk},
        MarkupCase{"UpperCaseZzzz", "zzzz", "ZZZZ", kStatusBadResource},
        MarkupCase{"OtherVersion", "10_03", "10_04", kStatusBadResource},
        MarkupCase{"TwentyOneInks", "<ink_num=3>", "<ink_num=21>", kStatusBadResource},
        MarkupCase{"NumberWithALetter", "<ink_num=3>", "<ink_num=3x>", kStatusBadResource},
        MarkupCase{"NumberOfElevenDigits", "<default_id_step=5>", "<default_id_step=99999999999>",
                   kStatusBadResource},
        MarkupCase{"NumberWithoutClose", "<ink_num=3>", "<ink_num=3", kStatusBadResource},
        MarkupCase{"TextAfterTheClose", "<ink_num=3>", "<ink_num=3> three inks", kStatusOk},
        MarkupCase{"IdRowWrongDigit", "<id=0:", "<id=1:", kStatusBadResource},
        MarkupCase{"IdRowTwoValues", "<id=0:10-20-30>", "<id=0:10-20>", kStatusBadResource},
        MarkupCase{"IdRowWithoutClose", "<id=0:10-20-30>", "<id=0:10-20-30", kStatusBadResource},
        MarkupCase{"ColorCnvTwoPairs", "<color_cnv=9::0:1:2>", "<color_cnv=9::0:1>",
                   kStatusBadResource},
        MarkupCase{"ColorCnvPairOf21", "<color_cnv=9::0:1:2>", "<color_cnv=9::21:1:2>",
                   kStatusBadResource},
        MarkupCase{"ColorCnvWithoutDoubleColon", "<color_cnv=9::0:1:2>", "<color_cnv=9:0:1:2>",
                   kStatusBadResource},
        MarkupCase{"ColorCnvBadName", "<color_cnv=9::0:1:2>", "<color_cnv=9:K-8::0:1:2>",
                   kStatusBadResource},
        MarkupCase{"ColorCnvWithoutClose", "<color_cnv=9::0:1:2>", "<color_cnv=9::0:1:2",
                   kStatusBadResource},
        MarkupCase{"ColorCnvNoneTaken", "<color_cnv=9::0:1:2>", "<color_cnv=5::0:1:2>",
                   kStatusBadResource},
        MarkupCase{"DefaultsOutOfOrder", "<default_id_step=5>\r\n<default_id_lowest_value=10>",
                   "<default_id_lowest_value=10>\r\n<default_id_step=5>", kStatusBadResource},
        MarkupCase{"EmptyLineInTheDefaults", "<default_nc_range=5>", "\t\r\n<default_nc_range=5>",
                   kStatusBadResource},
        MarkupCase{"LineOf128Characters", "h_res v_res kind", std::string(128, 'h'),
                   kStatusBadResource},
        MarkupCase{"LineOf127Characters", "h_res v_res kind", std::string(127, 'h'), kStatusOk},
        MarkupCase{"SkippedLineIsAModeLine", "h_res v_res kind", "* * dual", kStatusOk},
        MarkupCase{"TokenAfterTheEnd", "* * single a 1 &", "* * single a 1 & x",
                   kStatusBadResource},
        MarkupCase{"BadMethodLetter", "* * single a 1 &", "* * single b 1 &", kStatusBadResource},
        MarkupCase{"BadKind", "* * single a 1 &", "* * triple a 1 &", kStatusBadResource},
        MarkupCase{"NoModeFits", "* * single a 1 &", "360 * single a 1 &", kStatusBadResource},
        MarkupCase{"ModeWithoutTokensAfterTheKind", "* * single a 1 &", "* * single", kStatusOk},
        MarkupCase{"MissingEnd", "</ic_data>", "</ic_dat>", kStatusBadResource},
        MarkupCase{"TextEndsInTheModes", "</mode>\r\n</ic_data>\r\n", "", kStatusBadResource}),
    [](const ::testing::TestParamInfo<MarkupCase>& info) { return std::string(info.param.name); });

}  // namespace
