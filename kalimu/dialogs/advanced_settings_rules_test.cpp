#include "kalimu/dialogs/advanced_settings_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kalimu::dialogs {
namespace {

TEST(AdvancedSettingsRules, AdjustEditTextIsFilteredAndClamped) {
  struct Case {
    const char* text;
    bool negative;
    int32_t previous;
    bool fade;
    const char* shown;
    bool changed;
    int32_t value;
    int32_t slider;
  };
  const Case cases[] = {
      {"-", false, 0, false, "", true, kAdjustMinusMarker, 25},  // the marker; slider at the centre
      {"30", false, 0, false, "25", true, 25, 50},               // above the limit
      {"7x", false, 0, false, "7", true, 7, 32},                 // other characters dropped
      {"123", false, 12, false, "12", true, 12, 37},             // a third digit: the old magnitude
      {"123", true, -9, false, "9", true, -9, 16},
      {"123", false, kAdjustMinusMarker, false, "0", true, 0, 25},
      {"-7", false, 0, false, "7", true, -7, 18},
      {"+7", true, 0, false, "7", true, 7, 32},                  // "+" clears the sign
      {"15", true, -1, false, "15", false, -15, 10},             // the row's sign stays
      {"0", true, 0, false, "0", false, kAdjustMinusMarker, 25},
      {"", false, 3, false, "", false, 0, 25},
      {"+30", false, 0, true, "30", true, -30, 20},              // fade: "+" means "-", up to 50
      {"60", false, 0, true, "50", true, -50, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const AdjustEditResult r =
        FilterAdjustEditText(c.text, c.negative, c.previous, c.fade, c.fade ? kFadeLimit : kAdjustLimit);
    EXPECT_STREQ(r.text, c.shown);
    EXPECT_EQ(r.text_changed, c.changed);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(r.slider, c.slider);
  }
}

TEST(AdvancedSettingsRules, CoordinateTextKeepsDigitsAndTheLastSign) {
  struct Case {
    const char* text;
    const char* kept;
    bool changed;
    int32_t value;
  };
  const Case cases[] = {
      {"80", "80", false, 80},      {"-5+", "5", true, 5},   {"+5-", "-5", true, -5}, {"-", "-", true, 0},
      {"4a2", "42", true, 42},      {"", "", false, 0},      {"999999999999999", "999999999999999", false, 1000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const CoordinateEditResult r = FilterCoordinateText(c.text);
    EXPECT_STREQ(r.text, c.kept);
    EXPECT_EQ(r.text_changed, c.changed);
    EXPECT_EQ(r.value, c.value);
  }
}

TEST(AdvancedSettingsRules, CoordinatesStayInsideTheCircle) {
  EXPECT_EQ(ClampToningCoordinate(80, 0), 75);
  EXPECT_EQ(ClampToningCoordinate(70, 40), 63);  // √4025 cut toward zero
  EXPECT_EQ(ClampToningCoordinate(-70, 40), -63);
  EXPECT_EQ(ClampToningCoordinate(30, 40), 30);
  EXPECT_EQ(ClampToningCoordinate(1, 75), 0);
  EXPECT_EQ(ClampToningCoordinate(1000000, 0), 75);
}

TEST(AdvancedSettingsRules, ClicksMapToTheCircleAroundOneCentre) {
  ToningPoint p{99, 99};
  ASSERT_TRUE(MapToningClick(100 + 75, 40 + 75, 100, 40, &p));  // the centre pixel
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  ASSERT_TRUE(MapToningClick(100 + 75 + 30, 40 + 75 - 20, 100, 40, &p));
  EXPECT_EQ(p.x, 30);
  EXPECT_EQ(p.y, 20);
  const ToningPoint pixel = ToningPixel(p, 100, 40);  // drawn where it was clicked
  EXPECT_EQ(pixel.x, 205);
  EXPECT_EQ(pixel.y, 95);
  EXPECT_FALSE(MapToningClick(100 + 75 + 80, 40 + 75, 100, 40, &p));  // 80 right: outside
  EXPECT_FALSE(MapToningClick(100, 40, 100, 40, &p));                 // corner of the picture
  EXPECT_TRUE(MapToningClick(100, 40 + 75, 100, 40, &p));             // left edge of the circle
  EXPECT_EQ(p.x, -75);
}

TEST(AdvancedSettingsRules, WidthShowsTheRightHandPartByModes) {
  struct Case {
    bool toning;
    int32_t colour_mode;
    int32_t management;
    int32_t width;
  };
  const Case cases[] = {{false, 1, 3, 900}, {false, 1, 1, 600}, {true, 7, 0, 900},
                        {false, 7, 0, 600}, {true, 0, 2, 600},  {true, 1, 3, 900}};
  for (const Case& c : cases) {
    EXPECT_EQ(AdvancedDialogWidth(c.toning, c.colour_mode, c.management, 900, 300), c.width)
        << c.toning << " " << c.colour_mode << " " << c.management;
  }
}

TEST(AdvancedSettingsRules, QualityPairsRoundTrip) {
  // On and off again returns levels 0, 1 and 2; the levels without a pair stay.
  for (int32_t level : {0, 1, 2, 3, 6}) EXPECT_EQ(QualityLevelForPairs(QualityLevelForPairs(level, true), false), level);
  EXPECT_EQ(QualityLevelForPairs(0, true), 5);
  EXPECT_EQ(QualityLevelForPairs(1, true), 4);
  EXPECT_EQ(QualityLevelForPairs(2, true), 7);
  EXPECT_EQ(QualityLevelForPairs(3, true), 3);
  EXPECT_EQ(QualityLevelForPairs(5, true), 5);
  EXPECT_EQ(QualityLevelForPairs(7, false), 2);
  EXPECT_EQ(QualityLevelForPairs(0, false), 0);
}

std::string Describe(const ControlChange& c) {
  return std::to_string(c.checked) + "/" + std::to_string(c.enabled) + "/" + std::to_string(c.shown);
}

TEST(AdvancedSettingsRules, ModeOptionChecksByCaseAndRule) {
  struct Case {
    const char* name;
    ModeOptionInput in;
    const char* option_2130;  // checked/enabled/shown, -1 unchanged
    const char* option_2178;
    const char* label_2108;
  };
  const Case cases[] = {
      {"case 0 leaves the checks", {0, 0, 0, true, true, false, false, false, false}, "-1/-1/1", "-1/-1/1", "-1/-1/-1"},
      {"case 1 r0", {1, 0, 0, false, false, false, false, false, false}, "1/1/1", "-1/-1/1", "-1/-1/-1"},
      {"case 1 r3", {1, 3, 0, false, false, false, false, false, false}, "0/1/1", "-1/-1/1", "-1/-1/-1"},
      {"case 1 r1 v0", {1, 1, 0, false, false, false, false, false, false}, "1/0/1", "1/1/1", "-1/1/1"},
      {"case 1 r2 v2", {1, 2, 2, false, false, false, false, false, false}, "0/0/1", "0/1/1", "-1/1/1"},
      {"case 2 from the bits", {2, 0, 0, true, false, false, false, false, false}, "1/-1/1", "0/1/1", "-1/1/1"},
      {"case 2 v1", {2, 0, 1, false, true, false, false, false, false}, "0/-1/1", "1/0/1", "-1/1/1"},
      {"v4 hides 2178 then the feed rule shows it", {0, 0, 4, false, false, false, false, false, false}, "-1/-1/1",
       "1/-1/1", "-1/-1/0"},
      {"v5 with special feed", {0, 0, 5, false, false, false, false, true, false}, "-1/-1/1", "0/-1/0", "-1/-1/0"},
      {"option 4 active", {0, 0, 0, false, false, true, false, false, false}, "-1/-1/1", "0/0/1", "-1/1/1"},
      {"colour mode 5, model hides 2178", {2, 0, 0, true, true, false, true, false, true}, "1/-1/0", "1/1/0",
       "-1/1/0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ModeOptionChanges out = DecideModeOptionChecks(c.in);
    EXPECT_EQ(Describe(out.option_2130), c.option_2130);
    EXPECT_EQ(Describe(out.option_2178), c.option_2178);
    EXPECT_EQ(Describe(out.label_2108), c.label_2108);
  }
}

TEST(AdvancedSettingsRules, RenderMethodsFollowTheAllowedBits) {
  RenderMethodList l = ListRenderMethods(8 | 1, 2);  // a stored method 2 becomes the last item, 3
  ASSERT_EQ(l.count, 2);
  EXPECT_EQ(l.data[0], 0);
  EXPECT_EQ(l.data[1], 3);
  EXPECT_EQ(l.selected, 1);
  l = ListRenderMethods(15, 2);
  ASSERT_EQ(l.count, 4);
  EXPECT_EQ(l.data[2], 2);
  EXPECT_EQ(l.selected, 2);
  l = ListRenderMethods(0, 1);  // nothing allowed: no selection, the method stays
  EXPECT_EQ(l.count, 0);
  EXPECT_EQ(l.selected, -1);
}

TEST(AdvancedSettingsRules, RenderOptionsByAllowedBitsAndModeOptions) {
  struct Case {
    uint32_t allowed;
    uint32_t mode_options;
    uint32_t flags;
    std::vector<int32_t> data;
    bool enabled;
    int32_t preselected;
    int32_t candidate;
  };
  const Case cases[] = {
      {0, 0, 0, {}, true, -1, -1},                    // nothing: no item, nothing sent
      {1, 0x200, 0, {0}, true, 0, 0},
      {1 | 16, 0, 0, {0}, false, -1, 0},              // one item that is the default: disabled
      {8 | 2 | 4, 0, 0, {3, 1, 2}, true, 0, 0},       // none of the bits: "Paper" pre-selected
      {8 | 2 | 4, 0x800, 0, {3, 1, 2}, true, 2, 0},
      {8 | 2 | 4 | 64, 0x800, 16, {3, 1, 2}, true, -1, 2},  // flags 16: candidate by default bit
      {1 | 2, 0x600, 0, {0, 1}, true, 1, 0},          // two matches: the later one stands
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.allowed << " " << c.mode_options << " " << c.flags);
    const RenderOptionList l = ListRenderOptions(c.allowed, c.mode_options, c.flags);
    ASSERT_EQ(l.count, static_cast<int32_t>(c.data.size()));
    for (int32_t i = 0; i < l.count; ++i) EXPECT_EQ(l.items[i].data, c.data[i]);
    EXPECT_EQ(l.enabled, c.enabled);
    EXPECT_EQ(l.preselected, c.preselected);
    EXPECT_EQ(l.candidate, c.candidate);
  }
  EXPECT_EQ(ListRenderOptions(8, 0, 0).items[0].string_id, 8145);
}

TEST(AdvancedSettingsRules, ColourModeRadiosByAllowedBitsAndRenderMethod) {
  struct Case {
    uint32_t bits;
    int32_t method;
    uint32_t radios;
  };
  const Case cases[] = {
      {1 | 2 | 64, 0, kRadioColour | kRadioPhoto | kRadioNoAdjust},
      {4, 0, kRadioIcm},  {4, 1, 0},         {16, 1, kRadioIcm}, {32, 2, kRadioIcm},
      {8, 3, kRadioIcm},  {8 | 16 | 32, 0, 0}, {0, 0, 0},        {127, 7, kRadioColour | kRadioPhoto | kRadioNoAdjust},
  };
  for (const Case& c : cases) EXPECT_EQ(AllowedColourModeRadios(c.bits, c.method), c.radios) << c.bits << " " << c.method;
}

TEST(AdvancedSettingsRules, MonoParamsReadTheMarkerAsZero) {
  const int32_t items[12] = {kAdjustMinusMarker, 5, 0, 0, 0, 0, -3, kAdjustMinusMarker, -20, 30, -40, 1};
  const imaging::MonoPreviewParams p = MonoPreviewParamsFrom(items, 200);
  EXPECT_EQ(p.toningA, 30);
  EXPECT_EQ(p.toningB, -40);
  EXPECT_EQ(p.tone, 200);
  EXPECT_EQ(p.brightness, 0);
  EXPECT_EQ(p.contrast, 5);
  EXPECT_EQ(p.shadowTone, -3);
  EXPECT_EQ(p.highlightTone, 0);
  EXPECT_EQ(p.fade, -20);
  EXPECT_EQ(p.highlightLimit, 1);
}

std::vector<uint8_t> Dib(int32_t width, int32_t height, uint16_t bits, uint32_t compression, size_t pixel_bytes) {
  std::vector<uint8_t> dib(40 + pixel_bytes, 0);
  const uint32_t header = 40;
  const uint16_t planes = 1;
  std::memcpy(&dib[0], &header, 4);
  std::memcpy(&dib[4], &width, 4);
  std::memcpy(&dib[8], &height, 4);
  std::memcpy(&dib[12], &planes, 2);
  std::memcpy(&dib[14], &bits, 2);
  std::memcpy(&dib[16], &compression, 4);
  return dib;
}

TEST(AdvancedSettingsRules, MonoSampleSourceMustBeAWhole24BitPicture) {
  MonoSampleDib info{};
  std::vector<uint8_t> good = Dib(5, 3, 24, 0, 16 * 3);  // stride 15 rounded to 16
  ASSERT_TRUE(CheckMonoSampleDib(good.data(), good.size(), &info));
  EXPECT_EQ(info.stride, 16u);
  EXPECT_EQ(info.bits_offset, 40u);
  std::vector<uint8_t> top_down = Dib(5, -3, 24, 0, 48);
  EXPECT_TRUE(CheckMonoSampleDib(top_down.data(), top_down.size(), &info));

  struct Bad {
    const char* why;
    std::vector<uint8_t> bytes;
  };
  std::vector<Bad> bad = {
      {"short pixels", Dib(5, 3, 24, 0, 47)},
      {"8 bits", Dib(5, 3, 8, 0, 48)},
      {"compressed", Dib(5, 3, 24, 1, 48)},
      {"zero height", Dib(5, 0, 24, 0, 48)},
      {"negative width", Dib(-5, 3, 24, 0, 48)},
      {"huge", Dib(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 48)},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 39)},
  };
  std::vector<uint8_t> core = good;
  core[0] = 12;
  bad.push_back({"core header", core});
  std::vector<uint8_t> table = good;
  table[32] = 2;
  bad.push_back({"colour table", table});
  for (const Bad& b : bad) EXPECT_FALSE(CheckMonoSampleDib(b.bytes.data(), b.bytes.size(), &info)) << b.why;
  EXPECT_FALSE(CheckMonoSampleDib(nullptr, 100, &info));
}

}  // namespace
}  // namespace kalimu::dialogs
