// The binding margin dialog driven by messages inside its own modal loop: the limits label, the
// clamped edit, the arrows at both ends, the unit switch and what OK and Cancel leave behind.
#include "kalimu/pages/binding_margin_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "kalimu/pages/paper_page_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::pages {
namespace {

using test::HostedPage;
using test::ModalScript;
using test::PageFixture;

std::string Text(HWND dialog, int id) {
  char text[128] = {};
  GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}
void Type(HWND dialog, int id, const char* text) {
  SetDlgItemTextA(dialog, id, text);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
void Arrow(HWND dialog, int code) {
  SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(GetDlgItem(dialog, kBindingMarginArrows)));
}
bool Shown(HWND dialog, int id) { return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
void End(HWND dialog, int button) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

class BindingMargin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 902);
    ASSERT_NE(page_->window(), nullptr);
    // Duplex with option 1 and the metric unit: limits 30 ... 300 whatever the paper.
    s().ChangeDuplex(DMDUP_HORIZONTAL);
    s().EnableDuplexOption1();
    s().SetBindingMarginInMetric(12);
    ASSERT_TRUE(s().IsDuplexWithOption1());
    ASSERT_TRUE(s().IsBindingUnitMetric());
  }
  void TearDown() override { RemovePageToolTipHooks(); }
  settings::JobSettings& s() { return fixture_.settings(); }
  INT_PTR Run(std::function<void(HWND)> script) {
    ModalScript modal(std::move(script));
    const INT_PTR result = ShowResourceDialog(page_->window(), &BindingMarginDlgProc, kBindingMarginTemplate);
    EXPECT_TRUE(modal.ran());
    return result;
  }
  PageFixture fixture_{test::PaperModel()};
  std::unique_ptr<HostedPage> page_;
};

TEST_F(BindingMargin, LimitsLabelEditAndArrows) {
  const INT_PTR result = Run([](HWND d) {
    EXPECT_EQ(Text(d, kBindingLimitsLabel), "[30 ... 300]");
    EXPECT_TRUE(Shown(d, kBindingLimitsLabel));
    EXPECT_EQ(IsDlgButtonChecked(d, kBindingMetricRadio), BST_CHECKED);
    // Typed values are clamped to the limits when the focus leaves the edit.
    const struct {
      const char* typed;
      const char* shown;
    } cases[] = {{"10", "30"}, {"-5", "30"}, {"301", "300"}, {"99999", "300"}, {"150", "150"}, {"", "30"}};
    for (const auto& c : cases) {
      Type(d, kBindingMarginEdit, c.typed);
      EXPECT_EQ(Text(d, kBindingMarginEdit), c.shown) << c.typed;
    }
    // The arrows stop at both ends.
    const struct {
      const char* start;
      int code;
      const char* after;
    } arrows[] = {{"30", SB_LINEDOWN, "30"},  {"30", SB_LINEUP, "31"},    {"300", SB_LINEUP, "300"},
                  {"300", SB_LINEDOWN, "299"}, {"150", SB_THUMBPOSITION, "150"}};
    for (const auto& a : arrows) {
      Type(d, kBindingMarginEdit, a.start);
      Arrow(d, a.code);
      EXPECT_EQ(Text(d, kBindingMarginEdit), a.after) << a.start << " " << a.code;
    }
    End(d, IDOK);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(s().GetBindingMargin(), 150u) << "the last value typed";
  EXPECT_EQ(fixture_.shared().inner_dialog_snapshot, nullptr) << "OK frees the copy";
  EXPECT_EQ(fixture_.shared().binding_margin_min, 30);
  EXPECT_EQ(fixture_.shared().binding_margin_max, 300);
}

TEST_F(BindingMargin, OkTakesATypedMarginWithoutLeavingTheEdit) {
  EXPECT_EQ(Run([](HWND d) {
              SetDlgItemTextA(d, kBindingMarginEdit, "77");
              End(d, IDOK);
            }),
            1);
  EXPECT_EQ(s().GetBindingMargin(), 77u);
}

TEST_F(BindingMargin, UnitSwitchConvertsAndShowsTheInchLimits) {
  Run([this](HWND d) {
    Type(d, kBindingMarginEdit, "254");
    Click(d, kBindingInchRadio);
    EXPECT_EQ(Text(d, kBindingMarginEdit), "100");
    EXPECT_EQ(Text(d, kBindingLimitsLabel), "[12 ... 118]");
    EXPECT_TRUE(s().IsBindingUnitInch());
    // Choosing the unit already in use converts nothing.
    Click(d, kBindingInchRadio);
    EXPECT_EQ(Text(d, kBindingMarginEdit), "100");
    Click(d, kBindingMetricRadio);
    EXPECT_EQ(Text(d, kBindingMarginEdit), "254");
    EXPECT_EQ(Text(d, kBindingLimitsLabel), "[30 ... 300]");
    End(d, IDOK);
  });
  EXPECT_TRUE(s().IsBindingUnitMetric());
  EXPECT_EQ(s().GetBindingMargin(), 254u);
}

TEST_F(BindingMargin, CancelRestoresEdgeUnitAndMargin) {
  s().SetBindingEdge0();
  s().EnableDuplexOption1();
  s().ChangeBindingMargin(40);
  const settings::DriverDevMode before = fixture_.record();
  const INT_PTR result = Run([this](HWND d) {
    // Edge radios follow the paper's orientation: only one of the two groups is offered.
    const bool natural = s().IsPaperOrientationNatural() != 0;
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(d, kBindingEdge2Radio)) != 0, !natural);
    s().SetBindingEdge1();  // as the radio would, whichever group is enabled
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(kBindingEdge1Radio, BN_CLICKED), 0);
    Click(d, kBindingInchRadio);
    SetFocus(GetDlgItem(d, kBindingMarginEdit));
    SetDlgItemTextA(d, kBindingMarginEdit, "100");
    End(d, IDCANCEL);
    // The edit's focus loss that ending the dialog brings must not store the typed margin.
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(kBindingMarginEdit, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(d, kBindingMarginEdit)));
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(std::memcmp(&before, &fixture_.record(), sizeof(before)), 0) << "the whole device mode is back";
  EXPECT_EQ(fixture_.shared().inner_dialog_snapshot, nullptr);
}

TEST_F(BindingMargin, CollapsedLimitsLockTheMargin) {
  // One-sided printing on the default paper: the limits come from the paper's margin; force a
  // paper whose margin exceeds 300 so that both limits meet.
  s().ChangeDuplex(DMDUP_SIMPLEX);
  uint16_t limits[2] = {};
  s().GetBindingMarginLimits(limits);
  Run([&](HWND d) {
    const bool collapsed = limits[0] == limits[1];
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(d, kBindingMarginEdit)) != 0, !collapsed);
    EXPECT_EQ(Shown(d, kBindingLimitsLabel), !collapsed);
    char expected[kBindingLimitsChars] = {};
    FormatBindingLimits(limits[0], limits[1], expected, sizeof(expected));
    EXPECT_EQ(Text(d, kBindingLimitsLabel), expected);
    End(d, IDOK);
  });
  // A stored margin at or below the minimum is the minimum afterwards.
  EXPECT_GE(s().GetBindingMargin(), limits[0]);
}

}  // namespace
}  // namespace kalimu::pages
