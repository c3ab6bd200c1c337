// The change operations of the paper, source, scaling, layout and duplex, and the rules they
// run: whole-record differences per operation and an invariant sweep over their combinations.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/job_settings_test_support.h"

namespace kalimu::settings::test {
namespace {

// The names of the record's fields whose bytes differ.
std::set<std::string> ChangedFields(const DriverDevMode& a, const DriverDevMode& b) {
  std::set<std::string> names;
  for (const auto& field : kDevModeFields) {
    // Blocks that hold rows of their own are compared through those rows.
    if (field.kind == FieldKind::kBlock || field.kind == FieldKind::kBlockEq) continue;
    if (std::memcmp(reinterpret_cast<const uint8_t*>(&a) + field.offset,
                    reinterpret_cast<const uint8_t*>(&b) + field.offset, field.size) != 0) {
      names.insert(field.name);
    }
  }
  return names;
}

std::string Join(const std::set<std::string>& names) {
  std::string text;
  for (const auto& name : names) text += name + " ";
  return text;
}

class JobSettingsChanges : public SampleModelTest {
 protected:
  void SetUp() override {
    SampleModelTest::SetUp();
    ASSERT_EQ(fixture_.settings().ResetToDefaults(), 1);
    defaults_ = fixture_.record();
  }
  JobSettings& s() { return fixture_.settings(); }
  DriverDevMode& r() { return fixture_.record(); }
  DriverDevMode defaults_{};
};

// Each operation from the defaults: the fields it may change, and what they hold after it.
TEST_P(JobSettingsChanges, WholeRecordDifferencesPerOperation) {
  struct Case {
    const char* what;
    void (*run)(JobSettings&);
    std::set<std::string> may_change;
    void (*check)(const DriverDevMode& after, const DriverDevMode& before);
  };
  const auto nothing = [](const DriverDevMode&, const DriverDevMode&) {};
  // What a paper change may touch: the paper fields, the layout and duplex rules that follow
  // the paper's flags, and the page geometry.
  const std::set<std::string> kPaperChangeFields = {
      "PaperSize", "PaperSizeIndex", "PaperLength", "PaperWidth", "Fields", "OutputPaperSize", "MarginOptions",
      "LayoutOptions", "PagesPerSheet", "PosterOptions", "WatermarkFlags", "RenderResolution", "PaperDotWidth",
      "PaperDotHeight", "PaperMargins", "MarginAdditions", "OutputWidth", "OutputHeight", "OutputMargins",
      "MarginBalance", "ImageWidth", "ImageHeight", "ScalePercent", "Duplex", "Collate", "DuplexOptions"};
  const Case cases[] = {
      {"orientation 3 is refused", [](JobSettings& s) { s.ChangeOrientation(3); }, {}, nothing},
      {"the current source index again", [](JobSettings& s) { s.ChangePaperSourceIndex(s.GetPaperSourceIndex(), 1); }, {}, nothing},
      {"pages per sheet unchanged", [](JobSettings& s) { s.ChangePagesPerSheet(1); }, {}, nothing},
      {"placement", [](JobSettings& s) { s.ChangePlacement(5); }, {"Placement"},
       [](const DriverDevMode& a, const DriverDevMode&) { EXPECT_EQ(a.Placement, 5); }},
      {"fit to the output paper",
       [](JobSettings& s) { s.ChangeScalingMode(2); },
       {"ScalingOptions", "OutputPaperSize", "RenderResolution", "PaperDotWidth", "PaperDotHeight", "PaperMargins",
        "MarginAdditions", "OutputWidth", "OutputHeight", "OutputMargins", "MarginBalance", "ImageWidth", "ImageHeight",
        "PagesPerSheet", "PosterOptions", "LayoutOptions", "WatermarkFlags", "ScalePercent"},
       [](const DriverDevMode& a, const DriverDevMode& b) {
         // Bit 1 (an output paper of its own) is taken back by the first source, which only fits.
         EXPECT_EQ(a.ScalingOptions & 0xF, 2u | 4u);
         EXPECT_EQ(a.OutputPaperSize, static_cast<uint16_t>(b.Public.dmPaperSize));
       }},
      {"scaled to the output paper",
       [](JobSettings& s) { s.ChangeScalingMode(8); },
       {"ScalingOptions", "OutputPaperSize", "RenderResolution", "PaperDotWidth", "PaperDotHeight", "PaperMargins",
        "MarginAdditions", "OutputWidth", "OutputHeight", "OutputMargins", "MarginBalance", "ImageWidth", "ImageHeight",
        "PagesPerSheet", "PosterOptions", "LayoutOptions", "WatermarkFlags", "ScalePercent"},
       [](const DriverDevMode& a, const DriverDevMode&) { EXPECT_EQ(a.ScalingOptions & 0xF, 8u); }},
      {"scaling reset after a fit",
       [](JobSettings& s) {
         s.ChangeScalingMode(2);
         s.ChangeScalingMode(-2);
       },
       {"RenderResolution", "PaperDotWidth", "PaperDotHeight", "PaperMargins", "MarginAdditions", "OutputWidth",
        "OutputHeight", "OutputMargins", "MarginBalance", "ImageWidth", "ImageHeight", "LayoutOptions", "ScalePercent"},
       [](const DriverDevMode& a, const DriverDevMode& b) {
         EXPECT_EQ(a.ScalingOptions, 0u);  // the geometry then derives the percentage again
         EXPECT_EQ(a.OutputPaperSize, static_cast<uint16_t>(b.Public.dmPaperSize));
       }},
      {"two pages per sheet and back to one",
       [](JobSettings& s) {
         s.ChangePagesPerSheet(2);
         s.ChangePlacement(2);
         s.ChangePagesPerSheet(1);
       },
       {"RenderResolution", "PaperDotWidth", "PaperDotHeight", "PaperMargins", "MarginAdditions", "OutputWidth",
        "OutputHeight", "OutputMargins", "MarginBalance", "ImageWidth", "ImageHeight", "LayoutOptions"},
       [](const DriverDevMode& a, const DriverDevMode&) {
         EXPECT_EQ(a.PagesPerSheet, 1);
         EXPECT_EQ(a.Placement, 0) << "the placement of two pages goes with them";
       }},
      {"landscape",
       [](JobSettings& s) { s.ChangeOrientation(2); },
       {"Orientation", "Placement", "RenderResolution", "PaperDotWidth", "PaperDotHeight", "PaperMargins",
        "MarginAdditions", "OutputWidth", "OutputHeight", "OutputMargins", "MarginBalance", "ImageWidth", "ImageHeight"},
       [](const DriverDevMode& a, const DriverDevMode&) { EXPECT_EQ(a.Public.dmOrientation, DMORIENT_LANDSCAPE); }},
      {"duplex on the long edge",
       [](JobSettings& s) { s.ChangeDuplex(DMDUP_VERTICAL); },
       {"Duplex", "Collate", "BindingEdge", "BindingMargin", "DuplexOptions", "LayoutOptions", "MarginOptions",
        "RenderResolution", "PaperDotWidth", "PaperDotHeight", "PaperMargins", "MarginAdditions", "OutputWidth",
        "OutputHeight", "OutputMargins", "MarginBalance", "ImageWidth", "ImageHeight", "ScalingOptions",
        "OutputPaperSize", "ScalePercent", "PagesPerSheet", "PosterOptions", "WatermarkFlags"},
       [](const DriverDevMode& a, const DriverDevMode&) {
         if (a.Public.dmDuplex == DMDUP_SIMPLEX) return;  // the output paper is printed on one side
         EXPECT_EQ(a.Public.dmDuplex, DMDUP_VERTICAL);
         EXPECT_EQ(a.Public.dmCollate, DMCOLLATE_TRUE);
         EXPECT_EQ(a.BindingEdge, 2);
       }},
      {"another paper by its index",
       [](JobSettings& s) { s.ChangePaperSizeIndex(s.GetPaperSizeIndex() == 0 ? 1 : 0); },
       kPaperChangeFields,
       [](const DriverDevMode& a, const DriverDevMode& b) {
         EXPECT_NE(a.PaperSizeIndex, b.PaperSizeIndex);
         EXPECT_EQ(a.OutputPaperSize, static_cast<uint16_t>(a.Public.dmPaperSize));
       }},
      {"a paper by its id",
       [](JobSettings& s) { s.ChangePaperSize(s.GetPaperIdByIndex(s.GetPaperSizeIndex() == 0 ? 1 : 0)); },
       kPaperChangeFields,
       [](const DriverDevMode& a, const DriverDevMode& b) {
         EXPECT_NE(a.Public.dmPaperSize, b.Public.dmPaperSize);
         EXPECT_EQ(a.OutputPaperSize, static_cast<uint16_t>(a.Public.dmPaperSize));
       }},
      {"the output paper alone",
       [](JobSettings& s) { s.ChangeOutputPaperSize(s.GetPaperIdByIndex(s.GetPaperSizeIndex() == 0 ? 1 : 0)); },
       kPaperChangeFields,
       [](const DriverDevMode& a, const DriverDevMode& b) {
         // Without an output paper of its own the job prints on its paper.
         EXPECT_EQ(a.Public.dmPaperSize, b.Public.dmPaperSize);
         EXPECT_EQ(a.OutputPaperSize, static_cast<uint16_t>(a.Public.dmPaperSize));
       }},
      {"the second source by its id",
       [](JobSettings& s) {
         int32_t id = 0;
         s.GetPaperSourceId(1, &id);
         s.ChangeDefaultSource(id, 1);
       },
       {"DefaultSource", "PaperSourceIndex", "PaperSize", "PaperSizeIndex", "PaperLength", "PaperWidth", "Fields",
        "OutputPaperSize", "MarginOptions", "LayoutOptions", "PaperOptions", "CutOptions", "JobOptions", "Collate",
        "PagesPerSheet", "PosterOptions", "WatermarkFlags", "ScalingOptions", "RenderResolution", "PaperDotWidth",
        "PaperDotHeight", "PaperMargins", "MarginAdditions", "OutputWidth", "OutputHeight", "OutputMargins",
        "MarginBalance", "ImageWidth", "ImageHeight", "ScalePercent", "Duplex", "DuplexOptions", "PaperFeedAuto",
        "PaperFeedIndex", "CustomPaperWidth", "CustomPaperLength", "CustomPaperUnit"},
       [](const DriverDevMode& a, const DriverDevMode&) {
         EXPECT_EQ(a.PaperSourceIndex, 1);
       }},
  };
  for (const Case& c : cases) {
    r() = defaults_;
    c.run(s());
    const std::set<std::string> changed = ChangedFields(r(), defaults_);
    std::set<std::string> unexpected;
    for (const auto& name : changed) {
      if (!c.may_change.count(name)) unexpected.insert(name);
    }
    EXPECT_TRUE(unexpected.empty()) << c.what << ": " << Join(unexpected);
    SCOPED_TRACE(c.what);
    c.check(r(), defaults_);
  }
}

// Every source, paper, duplex value, scaling mode and pages-per-sheet code in turn: the calls
// between the rules end, and the record stays consistent.
TEST_P(JobSettingsChanges, InvariantsHoldOverEveryCombination) {
  const int32_t duplexes[] = {DMDUP_SIMPLEX, DMDUP_VERTICAL, DMDUP_HORIZONTAL};
  const int32_t scalings[] = {-2, 2, 8};
  const int32_t pages[] = {1, 2, -1};
  uint32_t paper_count = 0;
  s().GetPaperSizeCount(&paper_count);
  int runs = 0;
  for (size_t source = 0; source < model_.sources.size(); ++source) {
    for (uint32_t paper = 0; paper < paper_count; ++paper) {
      for (int32_t duplex : duplexes) {
        for (int32_t scaling : scalings) {
          for (int32_t code : pages) {
            r() = defaults_;
            s().ChangePaperSourceIndex(static_cast<int32_t>(source), 1);
            s().ChangePaperSizeIndex(static_cast<int32_t>(paper));
            s().ChangeScalingMode(scaling);
            s().ChangeDuplex(duplex);
            s().ChangePagesPerSheet(code);
            ++runs;
            const std::string where = "source " + std::to_string(source) + " paper " + std::to_string(paper) +
                                      " duplex " + std::to_string(duplex) + " scaling " + std::to_string(scaling) +
                                      " pages " + std::to_string(code);
            // The source index and id agree.
            int32_t source_id = 0;
            s().GetPaperSourceId(static_cast<uint16_t>(r().PaperSourceIndex), &source_id);
            ASSERT_EQ(source_id, r().Public.dmDefaultSource) << where;
            // Paper index and id agree, and the source takes the paper unless printing is scaled
            // to an output paper.
            ASSERT_EQ(s().GetPaperIdByIndex(static_cast<uint16_t>(r().PaperSizeIndex)), r().Public.dmPaperSize) << where;
            if ((r().ScalingOptions & (2 | 8)) == 0) {
              const uint32_t bit = s().GetSourceMask();
              uint32_t mask = 0;
              if (s().IsUserPaperSelected()) {
                s().GetPaperValue16(s().GetUserPaperIndex(), &mask);
              } else {
                s().GetPaperSizeValue16(static_cast<uint16_t>(r().PaperSizeIndex), &mask);
              }
              ASSERT_NE(mask & (bit | bit << 1), 0u) << where;
            }
            // The binding edge matches dmDuplex.
            if (r().Public.dmDuplex == DMDUP_VERTICAL) {
              ASSERT_EQ(r().BindingEdge, 2) << where;
            } else if (r().Public.dmDuplex == DMDUP_HORIZONTAL) {
              ASSERT_TRUE(r().BindingEdge == 0 || r().BindingEdge == 1) << where;
            } else {
              ASSERT_EQ(r().Public.dmDuplex, DMDUP_SIMPLEX) << where;
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(runs, static_cast<int>(model_.sources.size() * paper_count * 27));
}

// Duplex: the value already stored only adjusts collation or option 1; the binding edge follows
// dmDuplex; an out-of-range binding margin returns to the minimum in the locale's unit.
TEST_P(JobSettingsChanges, DuplexRules) {
  // On a paper that may be printed on both sides.
  r() = defaults_;
  for (size_t i = 0; i < model_.papers.size(); ++i) {
    if ((model_.papers[i].flags20 & 0x10000) == 0 && (model_.papers[i].source_flags & 1) != 0) {
      s().ChangePaperSizeIndex(static_cast<int32_t>(i));
      break;
    }
  }
  ASSERT_EQ(model_.papers[r().PaperSizeIndex].flags20 & 0x10000, 0u);
  s().ChangeDuplex(DMDUP_HORIZONTAL);
  ASSERT_EQ(r().Public.dmDuplex, DMDUP_HORIZONTAL);
  r().Public.dmCollate = DMCOLLATE_FALSE;
  r().DuplexOptions |= 1;
  s().ChangeDuplex(DMDUP_HORIZONTAL);
  EXPECT_EQ(r().Public.dmCollate, DMCOLLATE_TRUE);
  EXPECT_EQ(r().DuplexOptions & 1, 1u) << "duplex on keeps option 1";

  r().BindingEdge = 2;
  r().DuplexOptions &= ~1u;
  s().ApplyDuplexRules();
  EXPECT_EQ(r().BindingEdge, 0) << "dmDuplex 3 binds on edge 0 or 1";

  r().BindingMargin = 5000;
  r().DuplexOptions &= ~kDuplexOptionBindingMarginMetric;
  s().ApplyDuplexRules();
  uint16_t limits[2] = {};
  s().GetBindingMarginLimits(limits);
  EXPECT_EQ((r().DuplexOptions & kDuplexOptionBindingMarginMetric) != 0, JobSettings::IsMetricLocale() != 0);
  EXPECT_EQ(r().BindingMargin, limits[0]) << "the minimum in the unit now stored";

  s().ChangeDuplex(DMDUP_SIMPLEX);
  EXPECT_EQ(r().Public.dmDuplex, DMDUP_SIMPLEX);
  EXPECT_EQ(r().Public.dmCollate, DMCOLLATE_FALSE);
  EXPECT_EQ(r().DuplexOptions & 1, 0u);
  s().ClearDuplexOption1();
  EXPECT_EQ(r().Public.dmDuplex, DMDUP_SIMPLEX) << "clearing option 1 never switches duplex on";
}

// The binding margin in either unit: converted, stored and clamped to the limits of that unit.
TEST_P(JobSettingsChanges, BindingMarginUnits) {
  r() = defaults_;
  r().BindingMargin = 0;
  EXPECT_EQ(s().SetBindingMarginInInch(30), 12u);
  EXPECT_EQ(r().DuplexOptions & kDuplexOptionBindingMarginMetric, 0u);
  uint16_t limits[2] = {};
  s().GetBindingMarginLimits(limits);
  EXPECT_EQ(r().BindingMargin, std::clamp<uint16_t>(12, limits[0], limits[1]));
  EXPECT_EQ(s().SetBindingMarginInMetric(12), 30u);
  EXPECT_EQ(s().SetBindingMarginInMetric(5), 13u);
  EXPECT_NE(r().DuplexOptions & kDuplexOptionBindingMarginMetric, 0u);
  s().GetBindingMarginLimits(limits);
  EXPECT_EQ(r().BindingMargin, std::clamp<uint16_t>(13, limits[0], limits[1]));
  s().ChangeBindingMargin(60000);
  EXPECT_EQ(r().BindingMargin, limits[1]);
}

TEST_P(JobSettingsChanges, MarginOptionTypes) {
  const struct {
    int type;
    uint32_t before;
    uint32_t after;
  } cases[] = {{0, 3, 2}, {1, 0, 1}, {2, 3, 1}, {3, 0, 2}, {5, 3, 3}};
  for (const auto& c : cases) {
    r() = defaults_;
    r().MarginOptions = c.before;
    s().ChangeMarginOption(c.type);
    EXPECT_EQ(r().MarginOptions, c.after) << c.type;
  }
}

INSTANTIATE_TEST_SUITE_P(SampleModels, JobSettingsChanges, ::testing::ValuesIn(kSampleModels), SampleName);

// A source whose capability word resets scaling and one-sided printing: after the change the
// scaling word is 0 and duplex is off.
TEST(JobSettingsSourceChange, AFitOnlySourceResetsScalingAndDuplex) {
  testkit::ModelDescription model = testkit::SheetModel();
  model.sources[1].flags8 |= 0x2000;
  SettingsOnPrinter fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  ASSERT_EQ(s.ResetToDefaults(), 1);
  s.ChangePaperSourceIndex(0, 1);
  s.ChangeScalingMode(2);
  s.ChangeDuplex(DMDUP_VERTICAL);
  s.ChangePaperSourceIndex(1, 1);
  EXPECT_EQ(fixture.record().ScalingOptions, 0u);
  EXPECT_EQ(fixture.record().Public.dmDuplex, DMDUP_SIMPLEX);
  EXPECT_EQ(fixture.record().Public.dmDefaultSource, model.sources[1].id);
}

}  // namespace
}  // namespace kalimu::settings::test
