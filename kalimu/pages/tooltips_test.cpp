// Tooltips on real windows: a Unicode page and an ANSI dialog of the resource library ask for
// their texts in their own form; the thread table's slots and entries.
#include "kalimu/pages/tooltips.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "kalimu/pages/page_test_support.h"

namespace kalimu::pages {
namespace {

using test::InkModel;
using test::PageFixture;

// The last tooltip notification code a hosted window saw.
thread_local UINT t_last_code = 0;
thread_local uint16_t t_kind = 0;

// A page (wide notifications) or a dialog (narrow) that records the tooltip code it receives.
template <bool kWide>
INT_PTR CALLBACK ToolTipHostProc(HWND window, UINT message, WPARAM, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    StorePageParam(window, reinterpret_cast<PageParam*>(lparam));
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lparam);
    if (header->code == TTN_GETDISPINFOW || header->code == TTN_GETDISPINFOA) t_last_code = header->code;
    if (kWide) {
      HandleToolTipNotify(header, *PageParamOf(window), t_kind);
    } else {
      HandleToolTipNotifyA(header, *PageParamOf(window), t_kind);
    }
    return TRUE;
  }
  return FALSE;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

class ToolTips : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  void TearDown() override { RemovePageToolTipHooks(); }

  HWND OpenPage(int template_id, uint16_t kind) {
    t_kind = kind;
    pages_.push_back(std::make_unique<test::HostedPage>(fixture_, template_id, &ToolTipHostProc<true>));
    return pages_.back()->window();
  }
  HWND OpenDialog(int template_id, uint16_t kind) {
    t_kind = kind;
    HWND dialog = CreateDialogParamA(fixture_.module(), MAKEINTRESOURCEA(template_id), nullptr, &ToolTipHostProc<false>,
                                     reinterpret_cast<LPARAM>(&fixture_.param()));
    windows_.push_back(dialog);
    return dialog;
  }
  ~ToolTips() override {
    for (HWND w : windows_) DestroyWindow(w);
  }

  // The text the kind's tooltip shows for a control, asked the way the tooltip asks.
  std::wstring TipText(HWND window, uint16_t kind, int control) {
    const ToolTipSlot* slot = FindToolTipSlot();
    if (slot == nullptr) return L"<no slot>";
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, control));
    wchar_t text[256] = {};
    tool.lpszText = text;
    SendMessageW(slot->entries[kind].tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
  }
  std::wstring LibraryString(UINT id) {
    wchar_t text[256] = {};
    LoadStringW(fixture_.module(), id, text, static_cast<int>(std::size(text)));
    return text;
  }

  PageFixture fixture_{InkModel(8, true)};
  std::vector<HWND> windows_;
  std::vector<std::unique_ptr<test::HostedPage>> pages_;
};

TEST_F(ToolTips, EveryControlButStaticTextsIsATool) {
  HWND page = OpenPage(900, kMainPageTips);
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(InstallToolTips(page, kMainPageTips), 1);
  const ToolTipSlot* slot = FindToolTipSlot();
  ASSERT_NE(slot, nullptr);
  const ToolTipEntry& entry = slot->entries[kMainPageTips];
  EXPECT_EQ(entry.dialog, page);
  ASSERT_NE(entry.tooltip, nullptr);
  EXPECT_NE(entry.hook, nullptr);

  std::vector<HWND> expected;
  for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != "Static") expected.push_back(child);
  }
  const LRESULT count = SendMessageA(entry.tooltip, TTM_GETTOOLCOUNT, 0, 0);
  ASSERT_EQ(count, static_cast<LRESULT>(expected.size()));
  for (LRESULT i = 0; i < count; ++i) {
    TTTOOLINFOA tool = {};
    tool.cbSize = 72;
    ASSERT_TRUE(SendMessageA(entry.tooltip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool)));
    const HWND control = reinterpret_cast<HWND>(tool.uId);
    EXPECT_NE(ClassOf(control), "Static") << GetDlgCtrlID(control);
    EXPECT_EQ(tool.uFlags & TTF_IDISHWND, static_cast<UINT>(TTF_IDISHWND));
    EXPECT_EQ(tool.hwnd, page);
  }
}

TEST_F(ToolTips, UnicodePageAsksInWideFormAnsiDialogInNarrowForm) {
  HWND page = OpenPage(900, kMainPageTips);
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(InstallToolTips(page, kMainPageTips), 1);
  t_last_code = 0;
  EXPECT_EQ(TipText(page, kMainPageTips, 2001), LibraryString(3002));
  EXPECT_EQ(t_last_code, static_cast<UINT>(TTN_GETDISPINFOW));

  HWND dialog = OpenDialog(2960, kBindingMarginTips);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(InstallToolTips(dialog, kBindingMarginTips), 1);
  t_last_code = 0;
  EXPECT_EQ(TipText(dialog, kBindingMarginTips, 2963), LibraryString(3950));
  EXPECT_EQ(t_last_code, static_cast<UINT>(TTN_GETDISPINFOA));
  RemoveToolTipHook(kBindingMarginTips);
}

TEST_F(ToolTips, MainPageTextsFollowTheSettings) {
  ASSERT_TRUE(fixture_.SetInkInfo("YE", "T-04"));
  HWND page = OpenPage(900, kMainPageTips);
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(InstallToolTips(page, kMainPageTips), 1);
  // A meter shows its ink's text, not a resource string.
  EXPECT_EQ(TipText(page, kMainPageTips, 25003), LibraryString(3020) + L" T-04");
  // Controls that never show a tip.
  EXPECT_EQ(TipText(page, kMainPageTips, 2019), L"");
  EXPECT_EQ(TipText(page, kMainPageTips, 2040), LibraryString(3005));
  fixture_.settings().SetPrintModeType(2);
  EXPECT_EQ(TipText(page, kMainPageTips, 2003), LibraryString(3011));
  fixture_.settings().SetPrintModeType(1);
  EXPECT_EQ(TipText(page, kMainPageTips, 2003), LibraryString(3001));
}

TEST_F(ToolTips, PaperSizeTextFollowsThePaperOptions) {
  HWND page = OpenPage(901, kPaperPageTips);
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(InstallToolTips(page, kPaperPageTips), 1);
  struct Case {
    uint32_t options;
    UINT text;
  };
  for (const Case& c : {Case{0, 3200}, Case{1, 3200}, Case{0x100, 3200}, Case{0x101, 3219}, Case{0x1FF, 3219}}) {
    fixture_.settings().SetPaperOptions(c.options);
    EXPECT_EQ(TipText(page, kPaperPageTips, 2201), LibraryString(c.text)) << c.options;
  }
}

// Texts that are not resource strings and the choice of the page order dialog, without windows.
TEST_F(ToolTips, TextIdsOfEveryKind) {
  struct Case {
    uint16_t kind;
    int control;
    int32_t pages_per_sheet;
    uint16_t text;  // 0: the empty text
  };
  const Case cases[] = {
      {kPageOrderTips, 2455, 3, 3923}, {kPageOrderTips, 2455, 2, 0},    {kPageOrderTips, 2452, 2, 3924},
      {kPageOrderTips, 2452, 3, 3920}, {kAdvancedTips, 2073, 0, 3120},  {kAdvancedTips, 25012, 0, 3150},
      {kUserSettingsTips, 2, 0, 3604}, {kLevelSliderTips, 2284, 0, 4100}, {kPrinterAdjustTips, 8253, 0, 3451},
      {kLayoutPageTips, 2449, 0, 3899}, {kUtilityPageTips, 2332, 0, 3304}, {kUtilityPageTips, 2330, 0, 0},
      {6, 2001, 0, 0},                  {kMainPageTips, 2057, 0, 0},     {kMainPageTips, 2042, 0, 0},
  };
  for (const Case& c : cases) {
    fixture_.settings().SetPagesPerSheet(c.pages_per_sheet);
    const ToolTipText text = GetToolTipTextId(fixture_.param(), c.control, c.kind, false);
    EXPECT_EQ(text.string_id, c.text) << c.kind << " " << c.control;
    if (c.text == 0) {
      EXPECT_STREQ(static_cast<const char*>(text.text), "") << c.kind << " " << c.control;
    }
  }
}

// Entries are cleared when unhooked and the slot when freed: a later sheet on the thread finds
// only its own hooks.
TEST_F(ToolTips, SecondSheetOnTheThreadKeepsOnlyItsOwnEntries) {
  std::vector<HWND> hosts;
  for (int i = 0; i < 4; ++i) {
    hosts.push_back(CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    windows_.push_back(hosts.back());
  }
  for (uint16_t kind = 0; kind < 4; ++kind) InstallToolTips(hosts[kind], kind);
  InstallToolTips(hosts[0], kAdvancedTips);
  const ToolTipSlot* slot = FindToolTipSlot();
  ASSERT_NE(slot, nullptr);
  for (uint16_t kind : {0, 1, 2, 3, 4}) EXPECT_NE(slot->entries[kind].hook, nullptr) << kind;

  RemoveToolTipHook(kAdvancedTips);
  EXPECT_EQ(slot->entries[kAdvancedTips].hook, nullptr);
  EXPECT_EQ(slot->entries[kAdvancedTips].dialog, nullptr);
  RemovePageToolTipHooks();
  EXPECT_EQ(FindToolTipSlot(), nullptr);

  // The second sheet opens two pages only.
  InstallToolTips(hosts[0], kMainPageTips);
  InstallToolTips(hosts[1], kPaperPageTips);
  slot = FindToolTipSlot();
  ASSERT_NE(slot, nullptr);
  for (uint16_t kind = 2; kind < kToolTipKinds; ++kind) {
    EXPECT_EQ(slot->entries[kind].hook, nullptr) << kind;
    EXPECT_EQ(slot->entries[kind].tooltip, nullptr) << kind;
    EXPECT_EQ(slot->entries[kind].dialog, nullptr) << kind;
  }
  RemovePageToolTipHooks();
  EXPECT_EQ(FindToolTipSlot(), nullptr);
  // Without a slot, removing does nothing and claims nothing.
  RemoveToolTipHook(kMainPageTips);
  EXPECT_EQ(FindToolTipSlot(), nullptr);
}

TEST_F(ToolTips, SeventeenthThreadIsRefused) {
  std::atomic<int> installed{0};
  std::atomic<bool> release{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < 16; ++i) {
    threads.emplace_back([&] {
      HWND host = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
      InstallToolTips(host, kMainPageTips);
      if (FindToolTipSlot() != nullptr) ++installed;
      while (!release) Sleep(1);
      RemovePageToolTipHooks();
      DestroyWindow(host);
    });
  }
  while (installed < 16) Sleep(1);
  HWND host = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  windows_.push_back(host);
  EXPECT_EQ(InstallToolTips(host, kMainPageTips), 0);
  EXPECT_EQ(FindToolTipSlot(), nullptr);
  release = true;
  for (std::thread& t : threads) t.join();
  // The slots are free again.
  InstallToolTips(host, kMainPageTips);
  EXPECT_NE(FindToolTipSlot(), nullptr);
}

}  // namespace
}  // namespace kalimu::pages
