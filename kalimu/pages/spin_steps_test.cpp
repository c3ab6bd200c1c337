// Spins as scroll bars and as up-down controls: an up-down control clicked on its arrows (it
// reports only SB_THUMBPOSITION and SB_ENDSCROLL) gives the same steps as a scroll bar's arrows.
#include "kalimu/pages/spin_steps.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <vector>

#include "kalimu/pages/control_test_support.h"

namespace kalimu::pages {
namespace {

// A shown popup window that turns each WM_VSCROLL of its children into a line code.
class SpinParent {
 public:
  SpinParent() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = &Procedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "KalimuSpinParent";
    RegisterClassA(&window_class);
    window_ = CreateWindowExA(0, "KalimuSpinParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    current_ = this;
  }
  ~SpinParent() {
    DestroyWindow(window_);
    current_ = nullptr;
  }
  SpinParent(const SpinParent&) = delete;
  SpinParent& operator=(const SpinParent&) = delete;
  HWND window() const { return window_; }
  std::vector<int>& codes() { return codes_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_VSCROLL && current_ != nullptr) {
      current_->codes_.push_back(SpinLineCode(reinterpret_cast<HWND>(lparam), wparam));
      return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }
  static inline SpinParent* current_ = nullptr;
  HWND window_ = nullptr;
  std::vector<int> codes_;
};

TEST(SpinSteps, UpDownArrowsReadAsLineSteps) {
  INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  struct Case {
    const char* name;
    bool set_range;
    int lower, upper;
  };
  const Case cases[] = {{"default range", false, 0, 0}, {"890 to 3290", true, 890, 3290}, {"3290 down to 890", true, 3290, 890},
                        {"-45 to 45", true, -45, 45}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SpinParent parent;
    HWND spin = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 10, 16, 40, parent.window(),
                                reinterpret_cast<HMENU>(2557), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(spin, nullptr);
    if (c.set_range) SendMessageA(spin, UDM_SETRANGE32, static_cast<WPARAM>(c.lower), c.upper);
    PrepareSpin(spin);
    // Many steps one way keep working: the control never runs into its range's end.
    for (int k = 0; k < 60; ++k) test::ClickUpDownArrow(spin, true);
    test::ClickUpDownArrow(spin, false);
    std::vector<int> steps;
    for (int code : parent.codes()) {
      if (code != SB_ENDSCROLL) steps.push_back(code);
    }
    std::vector<int> expected(60, SB_LINEUP);
    expected.push_back(SB_LINEDOWN);
    EXPECT_EQ(steps, expected);
  }
}

TEST(SpinSteps, ScrollBarCodesPassUnchanged) {
  SpinParent parent;
  HWND bar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 10, 10, 16, 40, parent.window(),
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(bar, nullptr);
  PrepareSpin(bar);
  for (int code : {SB_LINEUP, SB_LINEDOWN, SB_THUMBPOSITION, SB_ENDSCROLL}) {
    EXPECT_EQ(SpinLineCode(bar, MAKEWPARAM(code, 7)), code);
  }
}

}  // namespace
}  // namespace kalimu::pages
