// The "ic_data" markup of the rank correction: elements, keywords and their prefix rule, the
// mode rows chosen by resolution, the mean-50 shifts, the channel pairs, and malformed markup.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "testkit/tonvar/correction_resources.h"
#include "tonvar/colour/rank_correction.h"

namespace tonvar::colour {
namespace {

class RankMarkupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_->job.ink_set = 9;
    engine_->job.resolution_x_dpi = 720;
    engine_->job.resolution_y_dpi = 360;
    std::strcpy(engine_->ink_set_name, "IS9");
    engine_->lut = lut_.get();
    lut_->channel_count = 4;
    Reset();
  }
  void Reset() {
    *state_ = RankCorrection{};
    state_->engine = engine_.get();
    state_->lut = lut_.get();
    state_->mode = kRankSingle;
    for (uint8_t i = 0; i < kRankMaxInks; ++i) state_->map[i] = i;
    // Four lists of four values.
    state_->lists.code = 1;
    state_->lists.values_per_list = 4;
    state_->lists.list_count = 4;
    for (uint8_t l = 0; l < 4; ++l) {
      for (uint8_t i = 0; i < 4; ++i) state_->lists.values[l][i] = static_cast<uint8_t>(40 + 10 * l + i);
    }
  }
  int32_t Read(const std::string& body) {
    Reset();
    const std::vector<uint8_t> block = testkit::BuildIcDataBlock(body);
    return ReadIcDataBlock(state_.get(), {block.data(), block.size()});
  }
  static std::string Ids() { return "<id_row=4><id=0:50-51-52-53><id=1:60-61-62-63>\n"; }

  std::unique_ptr<CmColorEngine> engine_ = std::make_unique<CmColorEngine>();
  std::unique_ptr<LutDescriptor> lut_ = std::make_unique<LutDescriptor>();
  std::unique_ptr<RankCorrection> state_ = std::make_unique<RankCorrection>();
};

TEST_F(RankMarkupTest, ValueElementsSetTheDefaultsAndReferences) {
  ASSERT_EQ(Read("<version=\"10_03\">\n<!-- comment -->\n<ink_num=4>" + Ids() +
                 "<default_id_step=3><default_id_lowest_value=25>< default_rank_lower_limmt = 1 >"
                 "<default_rank_upper_limmt=40><default_nc_range=2>"),
            1);
  EXPECT_EQ(state_->id_step, 3);
  EXPECT_EQ(state_->lowest, 25);
  EXPECT_EQ(state_->lower, 1);
  EXPECT_EQ(state_->upper, 40);
  EXPECT_EQ(state_->nc_range, 2);
  EXPECT_EQ(state_->references.count, 4u);
  EXPECT_EQ(state_->id_row_limit, 4);
  EXPECT_EQ(state_->id_rows.count, 4u);
  EXPECT_EQ(state_->id_rows.values[1][3], 63);
}

TEST_F(RankMarkupTest, NamesFollowThePrefixRules) {
  struct Case {
    const char* body;
    int32_t expected;
  } cases[] = {
      {"<version=\"10_07x>", 1},          // any value with the same first five characters
      {"<version=\"11_00\">", 0},
      {"<id_rowx=3>", 1},                 // read as id_row
      {"<idx=2:7>", 1},                   // read as id
      {"<colour=1>", 0},                  // no keyword
      {"<_x=1>", 0},                      // a name, but no keyword
      {"<1x=1>", 0},
      {"<default_id_step 3>", 0},         // '=' missing
      {"<default_id_step=3 4>", 0},       // '>' missing after the value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    EXPECT_EQ(Read(c.body), c.expected);
  }
  ASSERT_EQ(Read("<id_rowx=3><idx=2:7>"), 1);
  EXPECT_EQ(state_->id_row_limit, 3);
  EXPECT_EQ(state_->id_rows.values[2][0], 7);
  // The closing tag's name may be a prefix of the expected one.
  const std::string text = "zzzz<ic_data><default_id_step=1></ic_>";
  EXPECT_EQ(ReadIcDataBlock(state_.get(), {reinterpret_cast<const uint8_t*>(text.data()), text.size()}), 1);
}

TEST_F(RankMarkupTest, ModeRowsAreChosenByResolution) {
  const std::string mode =
      "<mode>\n h_res v_res mode &\n 720 * single n 1 &\n * * dual n 1 a 2 m 1 &\n</mode>";
  ASSERT_EQ(Read(Ids() + mode), 1);
  EXPECT_EQ(state_->mode, kRankSingle);
  EXPECT_EQ(state_->value_sets.set_count, 1u);
  EXPECT_EQ(state_->value_sets.values[0][2], 42);   // list 1
  EXPECT_EQ(state_->references.values[0][2], 52);   // id row 0
  engine_->job.resolution_x_dpi = 360;
  ASSERT_EQ(Read(Ids() + mode), 1);
  EXPECT_EQ(state_->mode, kRankDual);
  EXPECT_EQ(state_->value_sets.set_count, 3u);
  EXPECT_EQ(state_->references.set_count, 3u);
  // Set 1: list 2 shifted to mean 50 (50..53 -> 49..52 with d = -1).
  EXPECT_EQ(state_->value_sets.values[1][0], 49);
  EXPECT_EQ(state_->references.values[1][0], 49);  // id row 1: 60..63 with d = -11
  engine_->job.resolution_x_dpi = 720;

  // smbrate takes its three weights; a job that matches no row fails at "</mode>".
  ASSERT_EQ(Read(Ids() + "<mode>h_res mode&\n720 smbrate n 2 5 6 7&</mode>"), 1);
  EXPECT_EQ(state_->mode, kRankSmbRate);
  EXPECT_EQ(state_->smbrate_weights[2], 7);
  EXPECT_EQ(Read(Ids() + "<mode>h_res mode&\n360 single n 1&</mode>"), 0);
  EXPECT_EQ(Read(Ids() + "<mode>h_res v_res x_res mode&\n* * * single n 1&</mode>"), 0);
  EXPECT_EQ(Read(Ids() + "<mode>mode&\n triple n 1&</mode>"), 0);
  EXPECT_EQ(Read(Ids() + "<mode>mode&\n single q 1&</mode>"), 0);
  EXPECT_EQ(Read(Ids() + "<mode>mode&\n single n 5&</mode>"), 0);   // more than the lists
  EXPECT_EQ(Read(Ids() + "<mode>mode&\n single n 0&</mode>"), 0);   // names no list
  EXPECT_EQ(Read("<id_row=4><mode>mode&\n single a 1&</mode>"), 0);  // no values to average
}

TEST(RankMeanTest, ShiftAndScaleAboutFifty) {
  uint8_t out[3];
  const uint8_t a[3] = {40, 50, 63};
  ShiftToMean50(out, a, 3);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{40, 50, 63}));
  const uint8_t b[2] = {40, 40};
  ShiftToMean50(out, b, 2);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 2), (std::vector<uint8_t>{50, 50}));
  const uint8_t c[2] = {60, 60};
  ScaleAboutMean50(out, c, 2);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 2), (std::vector<uint8_t>{60, 60}));
  const uint8_t d[2] = {50, 70};
  ScaleAboutMean50(out, d, 2);  // e = 10: (90 * 110 + 50) / 100 - 50 = 49, (110 * 110 + 50) / 100 - 50 = 71
  EXPECT_EQ(std::vector<uint8_t>(out, out + 2), (std::vector<uint8_t>{49, 71}));
}

TEST_F(RankMarkupTest, ChannelPairsRegroupTheInks) {
  engine_->job.ink_set = 3;
  const std::string body = Ids() + "<color_cnv=9:IS9::0>"  // another ink set: skipped
                           "<color_cnv=3::0:1,2:3>"
                           "<mode>mode&\n single n 1&</mode>";
  ASSERT_EQ(Read(body), 1);
  ASSERT_TRUE(state_->color_cnv);
  state_->map[0] = 2;
  ASSERT_EQ(ApplyChannelPairs(state_.get()), 1);
  EXPECT_EQ(state_->value_sets.count, 3u);
  EXPECT_EQ(state_->references.count, 3u);
  EXPECT_EQ(state_->value_sets.values[0][0], 40);
  EXPECT_EQ(state_->value_sets.values[0][1], (41 + 42) / 2);
  EXPECT_EQ(state_->value_sets.values[0][2], 43);
  EXPECT_EQ(state_->references.values[0][1], (51 + 52) / 2);
  EXPECT_EQ(state_->map[0], 0);

  // More pairs than the lists have values would write past the remap buffer.
  ASSERT_EQ(Read(Ids() + "<color_cnv=3::0:1:2:3:0>"), 1);
  EXPECT_EQ(ApplyChannelPairs(state_.get()), 0);
  ASSERT_EQ(Read(Ids() + "<color_cnv=3::4>"), 1);
  EXPECT_EQ(ApplyChannelPairs(state_.get()), 0);
  EXPECT_EQ(Read("<color_cnv=3::0><color_cnv=3:IS9::1>"), 0);  // a second one that applies
  EXPECT_EQ(Read("<color_cnv=3::0,1,2>"), 0);
  EXPECT_EQ(Read("<color_cnv=3::20>"), 0);
  EXPECT_EQ(Read("<color_cnv=3:OTHER::20>"), 1);  // another ink_set name: skipped unread
}

TEST_F(RankMarkupTest, NumbersAndDamagedMarkup) {
  struct Case {
    const char* name;
    std::string body;
    int32_t expected;
  } cases[] = {
      {"ten digits in range", "<default_id_step=2147483647>", 1},
      {"ten digits past the range", "<default_id_step=4294967296>", 0},
      {"eleven digits", "<default_id_step=00000000001>", 0},
      {"no digits", "<default_id_step=>", 0},
      {"21 ink references", "<ink_num=21>", 0},
      {"21 id values", "<id=0:1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1>", 0},
      {"id row 4", "<id=4:1>", 0},
      {"no closing tag", "<default_id_step=1>", -1},
      {"a text that ends in an element", "<default_id_step=1", -1},
      {"a comment without its end", "<! comment", -1},
      {"a name of 41 bytes", "<" + std::string(41, 'x') + "=1>", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.expected >= 0) {
      EXPECT_EQ(Read(c.body), c.expected);
    } else {
      Reset();
      const std::string text = "zzzz<ic_data>" + c.body;
      EXPECT_EQ(ReadIcDataBlock(state_.get(), {reinterpret_cast<const uint8_t*>(text.data()), text.size()}), 0);
    }
  }
  // A resource without a length ends at its first NUL.
  const char text[] = "zzzz<ic_data><default_id_step=7></ic_data>\0<";
  EXPECT_EQ(ReadIcDataBlock(state_.get(), {reinterpret_cast<const uint8_t*>(text), common::kUnboundedSize}), 1);
  EXPECT_EQ(state_->id_step, 7);
}

}  // namespace
}  // namespace tonvar::colour
