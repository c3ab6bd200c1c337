// The layout page and its binding margin dialog on the document sheet as an application opens it
// (the sheet component's stand-in, OK and Cancel): the percentage and its arrows, posters on long
// papers, duplex against the poster radio, the watermark group, and the binding margin dialog's
// limits, arrows, unit switch and Cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kalimu/pages/binding_margin_dialog.h"
#include "kalimu/pages/control_test_support.h"
#include "kalimu/pages/layout_page.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/paper_page_sheet_test_support.h"
#include "kalimu/pages/tooltips.h"
#include "kalimu/storage/watermark_store.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::DocumentSheet;
using test::PageControls;
using test::SheetPage;

using test::PaperIndexOf;

// PSN_SETACTIVE again, as when the user comes back from another page.
void Revisit(SheetPage& page) {
  page.TurnTo(test::kMainPosition);
  page.TurnTo(test::kLayoutPosition);
}

// The sheet feeder with one-sided printing, as each test starts from.
void StartOnTheSheetFeeder(SheetPage& page) {
  test::UseSource(page.settings(), test::kSheetFeeder);
  page.settings().ChangeDuplex(DMDUP_SIMPLEX);
  page.shared().monitor_present = 1;
  Revisit(page);
}

class LayoutPageOnSheet : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sheet_.ok()) << sheet_.error(); }
  void TearDown() override { RemovePageToolTipHooks(); }
  DocumentSheet sheet_{test::DuplexPaperModel()};
};

TEST_F(LayoutPageOnSheet, PercentageIsCorrectedWithMessage4AndStopsAtTheArrowLimits) {
  std::string message4;
  testkit::MessageBoxWatcher boxes;  // lives through OK, which corrects once more
  const LONG_PTR result = sheet_.Run(test::kLayoutPosition, [&message4, &boxes](SheetPage& page) {
    StartOnTheSheetFeeder(page);
    page.settings().ChangeScalingMode(8);
    Revisit(page);
    ASSERT_TRUE(page.Checked(kScaleRadio));
    ASSERT_EQ(SendMessageA(page.item(kScaleEdit), EM_GETLIMITTEXT, 0, 0), 3);
    MessageText text{};
    BuildSettingsMessage(page.param(), 4, &text);
    message4 = text.text;
    const struct {
      const char* typed;
      const char* shown;
      bool message;
    } typed[] = {{"0", "100", true},    {"5", "10", true},  {"999", "650", true}, {"10", "10", false},
                 {"650", "650", false}, {"77", "77", false}, {"-8", "10", true}};
    for (const auto& c : typed) {
      boxes.clear();
      page.Type(kScaleEdit, c.typed);
      EXPECT_EQ(page.Text(kScaleEdit), c.shown) << c.typed;
      EXPECT_EQ(page.settings().GetScalePercent(), static_cast<uint32_t>(std::atoi(c.shown))) << c.typed;
      ASSERT_EQ(boxes.shown().size(), c.message ? 1u : 0u) << c.typed;
      if (c.message) EXPECT_EQ(boxes.shown()[0].text, message4);
    }
    const struct {
      const char* start;
      int code;
      const char* shown;
    } arrows[] = {{"650", SB_LINEUP, "650"}, {"10", SB_LINEDOWN, "10"},    {"649", SB_LINEUP, "650"},
                  {"11", SB_LINEDOWN, "10"}, {"100", SB_PAGEDOWN, "100"}, {"700", SB_LINEUP, "650"},
                  {"5", SB_LINEDOWN, "10"}};
    for (const auto& a : arrows) {
      page.Type(kScaleEdit, a.start, false);
      page.Scroll(kScaleArrows, a.code);
      EXPECT_EQ(page.Text(kScaleEdit), a.shown) << a.start << " " << a.code;
    }
    // OK corrects once more.
    boxes.clear();
    SetWindowTextA(page.item(kScaleEdit), "3");
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet_.out().ScalePercent, 10u);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, message4);
  // Cancel hands nothing back, whatever was typed.
  EXPECT_EQ(sheet_.Run(test::kLayoutPosition,
                       [](SheetPage& page) {
                         page.settings().ChangeScalingMode(8);
                         Revisit(page);
                         testkit::MessageBoxWatcher boxes;
                         page.Type(kScaleEdit, "300");
                         page.Press(PSBTN_CANCEL);
                       }),
            CPSUI_CANCEL);
  EXPECT_TRUE(sheet_.handed_nothing());
}

TEST_F(LayoutPageOnSheet, PosterOfFourByFourNeedsANearlySquarePaper) {
  const LONG_PTR result = sheet_.Run(test::kLayoutPosition, [](SheetPage& page) {
    StartOnTheSheetFeeder(page);
    settings::JobSettings& s = page.settings();
    const int16_t a4 = PaperIndexOf(s, DMPAPER_A4);
    const int16_t long_roll = PaperIndexOf(s, testkit::kLongRollPaperId);
    ASSERT_GE(a4, 0);
    ASSERT_GE(long_roll, 0);
    testkit::MessageBoxWatcher boxes;  // the paper notices
    s.ChangeScalingMode(2);
    s.ChangeOutputPaperSize(DMPAPER_A4);
    s.ChangePagesPerSheet(-4);
    Revisit(page);
    ASSERT_EQ(s.GetPagesPerSheet(), -4);
    EXPECT_TRUE(page.Checked(kPoster4Radio));
    // A paper of aspect 2 or more: kind -4 becomes 1 and 2449 is offered no more.
    ASSERT_TRUE(page.Choose(kOutputPaperList, long_roll));
    EXPECT_EQ(s.GetPagesPerSheet(), 1);
    EXPECT_FALSE(page.Enabled(kPoster4Radio));
    // Back on A4 with a poster of another kind: 2449 is offered again.
    s.ChangePagesPerSheet(-1);
    ASSERT_TRUE(page.Choose(kOutputPaperList, a4));
    EXPECT_TRUE(page.Enabled(kPoster4Radio));
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet_.out().PagesPerSheet, -1);
}

TEST_F(LayoutPageOnSheet, DuplexSwitchesOffThePosterRadio) {
  const LONG_PTR result = sheet_.Run(test::kLayoutPosition, [](SheetPage& page) {
    StartOnTheSheetFeeder(page);
    settings::JobSettings& s = page.settings();
    s.ChangePagesPerSheet(2);
    Revisit(page);
    ASSERT_TRUE(page.Enabled(kDuplexCheck));
    ASSERT_TRUE(page.Enabled(kPosterRadio));
    testkit::MessageBoxWatcher boxes;
    const struct {
      bool duplex;
      bool poster_offered;
    } clicks[] = {{true, false}, {false, true}, {true, false}};
    for (const auto& c : clicks) {
      page.Click(kDuplexCheck);
      EXPECT_EQ(s.IsDuplexOn() != 0, c.duplex);
      EXPECT_EQ(page.Enabled(kPosterRadio), c.poster_offered) << c.duplex;
      EXPECT_EQ(page.Enabled(kBindingMarginButton), c.duplex);
    }
    // With a single page per sheet the poster radio stays off when duplex goes.
    page.Click(kDuplexCheck);
    page.Click(kMultiPageCheck);
    ASSERT_EQ(s.GetPagesPerSheet(), 1);
    page.Click(kDuplexCheck);
    page.Click(kDuplexCheck);
    EXPECT_FALSE(page.Enabled(kPosterRadio));
    page.Click(kDuplexCheck);
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_NE(sheet_.out().Public.dmDuplex, DMDUP_SIMPLEX);
  EXPECT_EQ(sheet_.out().PagesPerSheet, 1);
}

std::vector<uint8_t> WatermarkEntries(storage::WatermarkStore& store) {
  uint32_t count = 0;
  store.GetEntryCount(&count);
  const auto* bytes = reinterpret_cast<const uint8_t*>(store.GetEntries());
  return std::vector<uint8_t>(bytes, bytes + count * sizeof(storage::WatermarkEntry));
}

// The list dialog's new entries are taken by the store, selected on the page and handed back.
TEST_F(LayoutPageOnSheet, ConfirmedWatermarkListReplacesTheEntries) {
  uint32_t count = 0;
  const LONG_PTR result = sheet_.Run(test::kLayoutPosition, [&count](SheetPage& page) {
    StartOnTheSheetFeeder(page);
    settings::JobSettings& s = page.settings();
    storage::WatermarkStore& store = s;
    uint32_t users = 0;
    store.GetEntryCount(&count);
    store.GetUserCount(&users);
    ASSERT_GT(count, 0u);
    s.SetWatermarkIndex(0);
    s.SetWatermarkEnabled(1);
    Revisit(page);
    const WatermarkEditorCall previous = ReplaceWatermarkEditor(1, &test::AddUserWatermark);
    page.Click(kWatermarkManageButton);
    ReplaceWatermarkEditor(1, previous);
    uint32_t after = 0;
    uint32_t users_after = 0;
    store.GetEntryCount(&after);
    store.GetUserCount(&users_after);
    EXPECT_EQ(after, count + 1);
    EXPECT_EQ(users_after, users + 1);
    char name[64] = {};
    store.GetEntryName(static_cast<uint16_t>(count), name, sizeof(name));
    EXPECT_STREQ(name, "MINE");
    EXPECT_EQ(s.GetWatermarkIndex(), count);
    EXPECT_EQ(page.Selected(kWatermarkList), static_cast<LPARAM>(count));
    EXPECT_TRUE(page.Enabled(kWatermarkEditButton));
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet_.out().WatermarkSettings.WatermarkIndex, static_cast<int16_t>(count));
}

// The edit dialog's stand-ins: one adds a user bitmap watermark of g_added_bitmap and selects it,
// the other gives the selected entry the file g_edited_bitmap.
std::string g_added_bitmap;
std::string g_edited_bitmap;
void SetBitmapPath(storage::WatermarkEntry& entry, const std::string& path) {
  entry.kind = 1;
  std::memset(entry.bitmap_path, 0, sizeof(entry.bitmap_path));
  std::memcpy(entry.bitmap_path, path.c_str(), std::min(path.size(), sizeof(entry.bitmap_path) - 1));
}
storage::WatermarkEntry* AddUserBitmapWatermark(HWND owner, HMODULE module, const storage::WatermarkEntry* entries,
                                                int16_t* count, int16_t* selection, int16_t capacity, int32_t width,
                                                int32_t height, const int32_t edges[4], const void* extra,
                                                const watermark::WatermarkHelpBlock* help) {
  storage::WatermarkEntry* out = test::AddUserWatermark(owner, module, entries, count, selection, capacity, width,
                                                        height, edges, extra, help);
  if (out != nullptr) SetBitmapPath(out[*selection], g_added_bitmap);
  return out;
}
storage::WatermarkEntry* ChangeSelectedBitmap(HWND, HMODULE, const storage::WatermarkEntry* entries, int16_t* count,
                                              int16_t* selection, int16_t, int32_t, int32_t, const int32_t[4],
                                              const void*, const watermark::WatermarkHelpBlock*) {
  platform::GlobalBlock block;
  const auto n = static_cast<size_t>(*count);
  if (*selection < 0 || static_cast<size_t>(*selection) >= n || !block.Allocate(n * sizeof(storage::WatermarkEntry))) {
    return nullptr;
  }
  auto* out = reinterpret_cast<storage::WatermarkEntry*>(block.data());
  std::memcpy(out, entries, n * sizeof(storage::WatermarkEntry));
  SetBitmapPath(out[*selection], g_edited_bitmap);
  return reinterpret_cast<storage::WatermarkEntry*>(block.Release());
}

// A 24-bit bitmap file of width x height pixels, `length` bytes long (the pixels, or more).
void WriteBitmapFile(const std::string& path, int32_t width, int32_t height, uint32_t length) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixels = row * static_cast<uint32_t>(height);
  length = std::max(length, 54 + pixels);
  uint8_t header[54] = {'B', 'M'};
  const auto put32 = [&header](size_t at, uint32_t v) { std::memcpy(header + at, &v, 4); };
  put32(2, length);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  header[26] = 1;
  header[28] = 24;
  put32(34, pixels);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, header, sizeof(header), &written, nullptr);
  const std::vector<uint8_t> grey(pixels, 0x80);
  WriteFile(file, grey.data(), pixels, &written, nullptr);
  SetFilePointer(file, static_cast<LONG>(length), nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  CloseHandle(file);
}

// After the edit dialog the page loads the stored watermark's picture anew for its preview, with
// the edited bitmap's aspect in the record; a bitmap too large to load is reported with settings
// message 10.
TEST_F(LayoutPageOnSheet, EditedWatermarkPictureIsLoadedAndItsAspectStored) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string stem = std::string(folder) + "kalimu_edited_" + std::to_string(GetCurrentProcessId());
  g_added_bitmap = stem + "_wide.bmp";
  g_edited_bitmap = stem + "_tall.bmp";
  WriteBitmapFile(g_added_bitmap, 300, 100, 0);
  struct Case {
    const char* name;
    uint32_t length;
    int16_t aspect;  // -1: not checked
    size_t boxes;
  };
  const Case cases[] = {
      {"tall", 0, 33, 0},
      {"too large", 0xF00001, -1, 1},
  };
  MessageText too_large{};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBitmapFile(g_edited_bitmap, 100, 300, c.length);
    std::vector<testkit::ShownMessageBox> shown;
    int16_t added_aspect = 0;
    int16_t aspect = 0;
    bool tall_picture = false;
    sheet_.Run(test::kLayoutPosition, [&](SheetPage& page) {
      StartOnTheSheetFeeder(page);
      settings::JobSettings& s = page.settings();
      BuildSettingsMessage(page.param(), 10, &too_large);
      s.SetWatermarkIndex(0);
      s.SetWatermarkEnabled(1);
      Revisit(page);
      WatermarkEditorCall previous = ReplaceWatermarkEditor(1, &AddUserBitmapWatermark);
      page.Click(kWatermarkManageButton);
      ReplaceWatermarkEditor(1, previous);
      added_aspect = static_cast<int16_t>(s.GetWatermarkAspect());
      previous = ReplaceWatermarkEditor(0, &ChangeSelectedBitmap);
      {
        testkit::MessageBoxWatcher boxes;
        page.Click(kWatermarkEditButton);
        shown = boxes.shown();
      }
      ReplaceWatermarkEditor(0, previous);
      aspect = static_cast<int16_t>(s.GetWatermarkAspect());
      const auto* picture = static_cast<const BITMAPINFOHEADER*>(page.shared().watermark_bitmap);
      tall_picture = picture != nullptr && page.shared().watermark_bytes >= sizeof(BITMAPINFOHEADER) &&
                     std::abs(picture->biHeight) > picture->biWidth;
      page.Press(PSBTN_CANCEL);
    });
    EXPECT_EQ(added_aspect, 300);
    ASSERT_EQ(shown.size(), c.boxes);
    if (c.boxes != 0) {
      EXPECT_EQ(shown[0].caption, too_large.caption);
      EXPECT_EQ(shown[0].text, too_large.text);
    }
    if (c.aspect != -1) {
      EXPECT_EQ(aspect, c.aspect);
      EXPECT_TRUE(tall_picture) << "the preview shows the edited bitmap";
    }
  }
  DeleteFileA(g_added_bitmap.c_str());
  DeleteFileA(g_edited_bitmap.c_str());
}

// Deleting an entry in the list dialog and then cancelling the dialog leaves the store and the
// watermark choice as they were; the sheet's OK hands back the choice it had.
TEST_F(LayoutPageOnSheet, CancelledWatermarkListLeavesTheStoreUnchanged) {
  int16_t index = -1;
  const LONG_PTR result = sheet_.Run(test::kLayoutPosition, [&index](SheetPage& page) {
    StartOnTheSheetFeeder(page);
    settings::JobSettings& s = page.settings();
    storage::WatermarkStore& store = s;
    // A user entry to delete, put in through the list dialog's entry.
    const WatermarkEditorCall previous = ReplaceWatermarkEditor(1, &test::AddUserWatermark);
    page.Click(kWatermarkManageButton);
    ReplaceWatermarkEditor(1, previous);
    const std::vector<uint8_t> before = WatermarkEntries(store);
    ASSERT_FALSE(before.empty());
    index = static_cast<int16_t>(s.GetWatermarkIndex());
    const uint32_t flags = s.GetWatermarkFlags();
    testkit::MessageBoxWatcher boxes;  // "delete this watermark?" answered OK
    bool deleted = false;
    test::ModalScript script([&deleted](HWND dialog) {
      PageControls list(dialog);
      HWND names = list.item(2901);
      const LRESULT count = SendMessageA(names, LB_GETCOUNT, 0, 0);
      SendMessageA(names, LB_SETCURSEL, 0, 0);
      list.Command(2901, LBN_SELCHANGE);
      list.Click(2910);
      deleted = SendMessageA(names, LB_GETCOUNT, 0, 0) == count - 1;
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    page.Click(kWatermarkManageButton);
    EXPECT_TRUE(script.ran()) << "the list dialog opened";
    EXPECT_TRUE(deleted) << "the entry was gone from the dialog's list";
    EXPECT_EQ(WatermarkEntries(store), before);
    EXPECT_EQ(s.GetWatermarkIndex(), static_cast<uint32_t>(index));
    EXPECT_EQ(s.GetWatermarkFlags(), flags);
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet_.out().WatermarkSettings.WatermarkIndex, index);
}

TEST_F(LayoutPageOnSheet, NoWatermarkEntriesDisablesTheGroup) {
  sheet_.Run(test::kLayoutPosition, [](SheetPage& page) {
    StartOnTheSheetFeeder(page);
    EXPECT_TRUE(page.Enabled(kWatermarkList));
    const uint32_t none = 0;
    storage::WatermarkStore& store = page.settings();
    ASSERT_TRUE(store.SetEntryCount(&none));
    Revisit(page);
    for (int control : {kWatermarkList, kWatermarkManageButton, kWatermarkLabel}) {
      EXPECT_FALSE(page.Enabled(control)) << control;
    }
    page.Press(PSBTN_CANCEL);
  });
}

// ---- The binding margin dialog, opened from the layout page ----------------------------------

// Duplex with option 1 and the metric unit: limits 30 ... 300 whatever the paper.
void PrepareBindingMargin(SheetPage& page) {
  StartOnTheSheetFeeder(page);
  settings::JobSettings& s = page.settings();
  s.ChangeDuplex(DMDUP_HORIZONTAL);
  s.EnableDuplexOption1();
  s.SetBindingEdge0();
  s.SetBindingMarginInMetric(12);
  s.ChangeBindingMargin(40);
  Revisit(page);
}

// Opens the dialog with the layout page's button and runs `script` inside it; the dialog's answer.
bool OpenBindingMargin(SheetPage& page, const std::function<void(PageControls&)>& script) {
  EXPECT_TRUE(page.Enabled(kBindingMarginButton));
  test::ModalScript modal([&script](HWND dialog) {
    PageControls controls(dialog);
    script(controls);
  });
  page.Click(kBindingMarginButton);
  EXPECT_TRUE(modal.ran()) << "the binding margin dialog opened";
  return modal.ran();
}

constexpr int kTypedOnly = -1;  // SB_LINEUP is 0

void End(PageControls& dialog, int button) { dialog.Command(button, BN_CLICKED); }

// With up-down controls in place of the percentage arrows, the arrows step the percentage as the
// scroll bar does, and stop at its limits.
TEST_F(LayoutPageOnSheet, PercentageUpDownArrowsStepLikeTheScrollBar) {
  sheet_.Run(test::kLayoutPosition, [](SheetPage& page) {
    StartOnTheSheetFeeder(page);
    page.settings().ChangeScalingMode(8);
    ASSERT_NE(test::ReplaceWithUpDown(page.window(), kScaleArrows), nullptr);
    Revisit(page);  // the page sets its arrows up again
    const struct {
      const char* start;
      bool up;
      const char* shown;
    } arrows[] = {{"100", true, "101"}, {"100", false, "99"}, {"650", true, "650"}, {"10", false, "10"}, {"11", false, "10"}};
    for (const auto& a : arrows) {
      page.Type(kScaleEdit, a.start, false);
      test::ClickUpDownArrow(page.item(kScaleArrows), a.up);
      EXPECT_EQ(page.Text(kScaleEdit), a.shown) << a.start << (a.up ? " up" : " down");
    }
    page.Press(PSBTN_CANCEL);
  });
}

TEST_F(LayoutPageOnSheet, BindingMarginLimitsArrowsAndUnitThenOk) {
  const LONG_PTR result = sheet_.Run(test::kLayoutPosition, [](SheetPage& page) {
    PrepareBindingMargin(page);
    ASSERT_TRUE(page.settings().IsBindingUnitMetric());
    OpenBindingMargin(page, [](PageControls& d) {
      EXPECT_EQ(d.Text(kBindingLimitsLabel), "[30 ... 300]");
      EXPECT_TRUE(d.Checked(kBindingMetricRadio));
      const struct {
        const char* start;
        int code;  // kTypedOnly: typed, then the focus leaving
        const char* shown;
      } steps[] = {{"10", kTypedOnly, "30"},           {"30", SB_LINEDOWN, "30"},  {"30", SB_LINEUP, "31"},
                   {"300", SB_LINEUP, "300"}, {"300", SB_LINEDOWN, "299"}, {"400", kTypedOnly, "300"}};
      for (const auto& c : steps) {
        d.Type(kBindingMarginEdit, c.start, c.code == kTypedOnly);
        if (c.code != kTypedOnly) d.Scroll(kBindingMarginArrows, c.code);
        EXPECT_EQ(d.Text(kBindingMarginEdit), c.shown) << c.start << " " << c.code;
      }
      // The unit switch converts the margin and shows the inch limits, and back.
      d.Type(kBindingMarginEdit, "254");
      d.Click(kBindingInchRadio);
      EXPECT_EQ(d.Text(kBindingMarginEdit), "100");
      EXPECT_EQ(d.Text(kBindingLimitsLabel), "[12 ... 118]");
      d.Click(kBindingMetricRadio);
      EXPECT_EQ(d.Text(kBindingMarginEdit), "254");
      EXPECT_EQ(d.Text(kBindingLimitsLabel), "[30 ... 300]");
      End(d, IDOK);
    });
    EXPECT_EQ(page.settings().GetBindingMargin(), 254u);
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet_.out().BindingMargin, 254u);
  EXPECT_NE(sheet_.out().DuplexOptions & settings::kDuplexOptionBindingMarginMetric, 0u);
}

// With an up-down control in place of the binding margin arrows, the arrows step the margin as
// the scroll bar does, within the limits.
TEST_F(LayoutPageOnSheet, BindingMarginUpDownArrowsStepLikeTheScrollBar) {
  sheet_.Run(test::kLayoutPosition, [](SheetPage& page) {
    PrepareBindingMargin(page);
    OpenBindingMargin(page, [](PageControls& d) {
      ASSERT_NE(test::ReplaceWithUpDown(d.window(), kBindingMarginArrows), nullptr);
      d.Click(kBindingInchRadio);  // a unit switch sets the arrows up again
      d.Click(kBindingMetricRadio);
      const struct {
        const char* start;
        bool up;
        const char* shown;
      } steps[] = {{"30", false, "30"}, {"30", true, "31"}, {"300", true, "300"}, {"300", false, "299"}};
      for (const auto& c : steps) {
        d.Type(kBindingMarginEdit, c.start, false);
        test::ClickUpDownArrow(d.item(kBindingMarginArrows), c.up);
        EXPECT_EQ(d.Text(kBindingMarginEdit), c.shown) << c.start << (c.up ? " up" : " down");
      }
      End(d, IDCANCEL);
    });
    page.Press(PSBTN_CANCEL);
  });
}

TEST_F(LayoutPageOnSheet, BindingMarginCancelRestoresEdgeUnitAndMargin) {
  const LONG_PTR result = sheet_.Run(test::kLayoutPosition, [](SheetPage& page) {
    PrepareBindingMargin(page);
    const settings::DriverDevMode before = *page.settings().GetDriverDevMode();
    OpenBindingMargin(page, [&page](PageControls& d) {
      page.settings().SetBindingEdge1();  // as the radio would, whichever group is enabled
      d.Command(kBindingEdge1Radio, BN_CLICKED);
      d.Click(kBindingInchRadio);
      SetFocus(d.item(kBindingMarginEdit));
      SetWindowTextA(d.item(kBindingMarginEdit), "100");
      End(d, IDCANCEL);
      // The edit's focus loss that ending the dialog brings must not store the typed margin.
      d.Command(kBindingMarginEdit, EN_KILLFOCUS);
    });
    EXPECT_EQ(std::memcmp(&before, page.settings().GetDriverDevMode(), sizeof(before)), 0)
        << "edge, unit and margin are back";
    EXPECT_EQ(page.shared().inner_dialog_snapshot, nullptr);
    page.Press(PSBTN_OK);
  });
  EXPECT_EQ(result, CPSUI_OK);
  EXPECT_EQ(sheet_.out().BindingMargin, 40u);
  EXPECT_EQ(sheet_.out().BindingEdge, 0u);
  EXPECT_NE(sheet_.out().DuplexOptions & settings::kDuplexOptionBindingMarginMetric, 0u);
}

}  // namespace
}  // namespace kalimu::pages
