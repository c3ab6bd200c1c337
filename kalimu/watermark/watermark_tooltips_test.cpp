// Tooltips of the watermark dialogs on real dialogs made from in-memory templates: tools for
// every control but the labels, texts by kind, both kinds side by side on one thread, slots
// claimed by compare-exchange and freed again, and a seventeenth thread without tooltips.
#include "kalimu/watermark/watermark_tooltips.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "kalimu/watermark/watermark_test_support.h"

namespace kalimu::watermark {
namespace {

// A dialog template in memory: controls {class atom, id, style}.
struct ControlShape {
  WORD atom;  // 0x0080 button, 0x0081 edit, 0x0082 static, 0x0083 list box
  WORD id;
  DWORD style;
};

std::vector<WORD> Template(const std::vector<ControlShape>& controls) {
  std::vector<WORD> t;
  auto dword = [&](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto align = [&] {
    if (t.size() % 2) t.push_back(0);
  };
  dword(WS_POPUP | DS_MODALFRAME);
  dword(0);
  t.push_back(static_cast<WORD>(controls.size()));
  t.push_back(0), t.push_back(0), t.push_back(200), t.push_back(100);
  t.push_back(0), t.push_back(0), t.push_back(0);  // menu, class, title
  for (size_t i = 0; i < controls.size(); ++i) {
    align();
    dword(WS_CHILD | WS_VISIBLE | controls[i].style);
    dword(0);
    t.push_back(5), t.push_back(static_cast<WORD>(5 + 12 * i)), t.push_back(60), t.push_back(10);
    t.push_back(controls[i].id);
    t.push_back(0xFFFF), t.push_back(controls[i].atom);
    t.push_back(0);  // title
    t.push_back(0);  // creation data
  }
  return t;
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

HWND MakeDialog(const std::vector<ControlShape>& controls) {
  const std::vector<WORD> t = Template(controls);
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(t.data()),
                                    nullptr, PlainProc, 0);
}

const std::vector<ControlShape> kListControls = {
    {0x0080, 2868, BS_AUTORADIOBUTTON}, {0x0080, 2869, BS_AUTORADIOBUTTON}, {0x0083, 2901, 0},
    {0x0081, 2902, 0}, {0x0081, 2903, 0}, {0x0082, 2907, 0}, {0x0082, 2911, 0}, {0x0080, 2908, 0}};
const std::vector<ControlShape> kEditControls = {
    {0x0081, 2806, 0}, {0x0080, 2830, 0}, {0x0082, 2805, 0}, {0x0082, 2801, 0}, {0x0080, 2873, 0}};

LRESULT ToolCount(HWND tooltip) { return SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0); }

TEST(WatermarkToolTips, ToolsForEveryControlButTheLabels) {
  HWND list = MakeDialog(kListControls);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(InstallWatermarkToolTips(list, test::TestResources(), kListDialogTips), 1);
  const WatermarkToolTipFields fields = GetWatermarkToolTipFields(kListDialogTips);
  EXPECT_EQ(fields.dialog, list);
  ASSERT_NE(fields.tooltip, nullptr);
  EXPECT_NE(fields.hook, nullptr);
  EXPECT_EQ(GetWindow(fields.tooltip, GW_OWNER), list);
  EXPECT_EQ(ToolCount(fields.tooltip), 6);  // 8 controls, 2 labels

  // The edit dialog on the same thread: its own fields beside the list dialog's.
  HWND edit = MakeDialog(kEditControls);
  ASSERT_EQ(InstallWatermarkToolTips(edit, test::TestResources(), kEditDialogTips), 1);
  const WatermarkToolTipFields edit_fields = GetWatermarkToolTipFields(kEditDialogTips);
  EXPECT_EQ(ToolCount(edit_fields.tooltip), 3);
  EXPECT_NE(edit_fields.hook, fields.hook);
  // Closing the edit dialog removes only its hook and clears only its fields.
  RemoveWatermarkToolTipHook(kEditDialogTips);
  EXPECT_EQ(GetWatermarkToolTipFields(kEditDialogTips).hook, nullptr);
  EXPECT_EQ(GetWatermarkToolTipFields(kEditDialogTips).dialog, nullptr);
  EXPECT_EQ(GetWatermarkToolTipFields(kListDialogTips).hook, fields.hook);
  DestroyWindow(edit);
  RemoveWatermarkToolTipHook(kListDialogTips);
  EXPECT_EQ(GetWatermarkToolTipFields(kListDialogTips).tooltip, nullptr);
  DestroyWindow(list);
  EXPECT_EQ(InstallWatermarkToolTips(nullptr, nullptr, 2), 0);  // no third kind
}

TEST(WatermarkToolTips, TextsByKindAndControl) {
  HWND list = MakeDialog(kListControls);
  struct Case {
    int kind;
    int control;
    UINT string_id;
  };
  const Case cases[] = {
      {0, 2806, 3903}, {0, 2831, 3711}, {0, 2835, 3711}, {0, 2873, 3711}, {0, 2031, 3003}, {0, 2810, 3709},
      {1, 2901, 3714}, {1, 2910, 3719}, {1, 2909, 3720}, {1, 2868, 3721},
      {0, 2901, 0},    {1, 2806, 0},    {0, 9999, 0},    {1, 2907, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetWatermarkToolTipTextId(list, c.control, c.kind), c.string_id) << c.kind << " " << c.control;
  }
  // 2903 follows the text radio at the moment the tip is shown.
  CheckDlgButton(list, 2868, BST_CHECKED);
  EXPECT_EQ(GetWatermarkToolTipTextId(list, 2903, kListDialogTips), 3717u);
  CheckDlgButton(list, 2868, BST_UNCHECKED);
  EXPECT_EQ(GetWatermarkToolTipTextId(list, 2903, kListDialogTips), 3723u);

  NMTTDISPINFOA info{};
  info.hdr.code = TTN_GETDISPINFOA;
  info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(list, 2908));
  ASSERT_TRUE(HandleWatermarkToolTipNotify(list, &info.hdr, test::TestResources(), kListDialogTips));
  EXPECT_EQ(info.hinst, test::TestResources());
  EXPECT_EQ(info.lpszText, MAKEINTRESOURCEA(3718));
  info.hdr.idFrom = reinterpret_cast<UINT_PTR>(GetDlgItem(list, 2907));
  ASSERT_TRUE(HandleWatermarkToolTipNotify(list, &info.hdr, test::TestResources(), kListDialogTips));
  ASSERT_NE(info.lpszText, nullptr);
  EXPECT_STREQ(info.lpszText, "");  // no tip
  info.hdr.code = TTN_GETDISPINFOW;  // the wide request is not answered
  EXPECT_FALSE(HandleWatermarkToolTipNotify(list, &info.hdr, test::TestResources(), kListDialogTips));
  DestroyWindow(list);
}

// Sixteen threads hold a slot each (claimed at once, by compare-exchange); a seventeenth gets
// no tooltips and nothing else changes; once they close their dialogs the slots are free again.
TEST(WatermarkToolTips, SeventeenthThreadGoesWithout) {
  std::atomic<int> installed{0}, refused{0}, ready{0};
  std::atomic<bool> release{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < kWatermarkToolTipSlots + 1; ++i) {
    threads.emplace_back([&] {
      HWND dialog = MakeDialog(kEditControls);
      const int result = InstallWatermarkToolTips(dialog, test::TestResources(), kEditDialogTips);
      (result ? installed : refused)++;
      if (!result) {
        const WatermarkToolTipFields none = GetWatermarkToolTipFields(kEditDialogTips);
        EXPECT_EQ(none.dialog, nullptr);
        RemoveWatermarkToolTipHook(kEditDialogTips);  // does nothing
      }
      ready++;
      while (!release) Sleep(1);
      if (result) RemoveWatermarkToolTipHook(kEditDialogTips);
      DestroyWindow(dialog);
    });
  }
  while (ready < kWatermarkToolTipSlots + 1) Sleep(1);
  EXPECT_EQ(installed, kWatermarkToolTipSlots);
  EXPECT_EQ(refused, 1);
  release = true;
  for (auto& t : threads) t.join();

  // Every slot is free again: sixteen new threads all get tooltips.
  std::vector<std::thread> again;
  std::atomic<int> second{0};
  for (int i = 0; i < kWatermarkToolTipSlots; ++i) {
    again.emplace_back([&] {
      HWND dialog = MakeDialog(kEditControls);
      second += InstallWatermarkToolTips(dialog, test::TestResources(), kEditDialogTips);
      RemoveWatermarkToolTipHook(kEditDialogTips);
      DestroyWindow(dialog);
    });
  }
  for (auto& t : again) t.join();
  EXPECT_EQ(second, kWatermarkToolTipSlots);
}

}  // namespace
}  // namespace kalimu::watermark
