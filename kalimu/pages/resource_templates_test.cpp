// The stand-in resource library's templates as the pages and dialogs find them: every template
// opens with the custom controls registered, every control stands by its id with its window
// class, and the spins whose handlers act on SB_LINEUP and SB_LINEDOWN are vertical scroll bars.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "kalimu/pages/control_test_support.h"

namespace kalimu::pages {
namespace {

struct TemplateControl {
  int template_id;
  int control_id;
  const char* window_class;
};
constexpr TemplateControl kTemplateControls[] = {
#include "resource_templates.inc"
};

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class ResourceTemplates : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(library_.module(), nullptr);
    host_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(host_); }
  HWND Open(int id) {
    return CreateDialogParamA(library_.module(), MAKEINTRESOURCEA(id), host_, QuietProc, 0);
  }
  test::ControlLibrary library_;
  HWND host_ = nullptr;
};

TEST_F(ResourceTemplates, EveryControlStandsByItsIdAndClass) {
  std::map<int, HWND> open;
  for (const TemplateControl& row : kTemplateControls) {
    if (row.control_id == 0) {
      HWND dialog = Open(row.template_id);
      ASSERT_NE(dialog, nullptr) << "template " << row.template_id;
      open[row.template_id] = dialog;
      continue;
    }
    HWND control = GetDlgItem(open[row.template_id], row.control_id);
    ASSERT_NE(control, nullptr) << "template " << row.template_id << " control " << row.control_id;
    char name[64] = {};
    GetClassNameA(control, name, sizeof(name));
    EXPECT_EQ(lstrcmpiA(name, row.window_class), 0)
        << "template " << row.template_id << " control " << row.control_id << ": " << name;
  }
  for (const auto& [id, dialog] : open) DestroyWindow(dialog);
  for (int id : {900, 901, 902, 903, 2960, 31108, 2100, 2250, 2270, 2280, 2350, 2450, 2500, 2550, 2600, 2750, 2950,
                 5025, 5031}) {
    EXPECT_TRUE(open.count(id)) << "template " << id << " is missing";
  }
}

TEST_F(ResourceTemplates, LineSpinsAreVerticalScrollBars) {
  const std::pair<int, int> spins[] = {{901, 2223}, {902, 2407}, {2960, 2967}, {2550, 2557},
                                       {2550, 2558}, {2100, 8558}, {2100, 8561}};
  for (const auto& [template_id, id] : spins) {
    HWND dialog = Open(template_id);
    ASSERT_NE(dialog, nullptr);
    HWND spin = GetDlgItem(dialog, id);
    ASSERT_NE(spin, nullptr) << id;
    char name[32] = {};
    GetClassNameA(spin, name, sizeof(name));
    EXPECT_EQ(lstrcmpiA(name, "ScrollBar"), 0) << id;
    EXPECT_TRUE(GetWindowLongA(spin, GWL_STYLE) & SBS_VERT) << id;
    DestroyWindow(dialog);
  }
}

TEST_F(ResourceTemplates, PicturesStringsAndIconsTheControlsLoad) {
  for (int id : {15000, 15002, 15004, 15006, 15008, 15010, 15012, 15014, 15001, 15003, 15013, 15015, 9500, 9600,
                 9700, 9800, 9501, 9816, 7300, 7415, 7416, 7500, 7503, 7600, 7607, 7804, 7806, 7803, 7802, 8548,
                 8549}) {
    HBITMAP bitmap = LoadBitmapA(library_.module(), MAKEINTRESOURCEA(id));
    EXPECT_NE(bitmap, nullptr) << id;
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
  for (int id = 7200; id <= 7203; ++id) {
    EXPECT_NE(FindResourceA(library_.module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14)), nullptr) << id;
  }
  for (int id : {256, 1400, 1401, 1402, 1406, 1880, 8064, 3024, 3025, 8077}) {
    char text[128] = {};
    EXPECT_GT(LoadStringA(library_.module(), static_cast<UINT>(id), text, sizeof(text)), 0) << id;
  }
}

}  // namespace
}  // namespace kalimu::pages
