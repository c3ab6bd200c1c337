// The track bar: its layout over the client width, its commands, and how it moves on a real
// modal dialog whose messages pass the dialog manager and the thread's message-filter hooks.
#include "kalimu/pages/track_bar.h"

#include <gtest/gtest.h>

#include <vector>

#include "kalimu/pages/control_test_support.h"

namespace kalimu::pages {
namespace {

// ---- Layout ----------------------------------------------------------------------------------------

TrackBarState LaidOut(int width, int height, int32_t maximum) {
  TrackBarState state{};
  const RECT client{0, 0, width, height};
  TrackBarInitState(&state, client);
  state.maximum = maximum;
  TrackBarLayout(&state, client);
  return state;
}

TEST(TrackBarLayout, SpreadsTheRangeOverTheWidthLikeTheWorkedExamples) {
  struct Case {
    int width;
    int32_t maximum;
    int32_t (*pixel)(int32_t i);
    int32_t compressed;
  };
  const Case cases[] = {
      {224, 50, [](int32_t i) { return 12 + 4 * i; }, 0},                 // 4 pixels a position, none spare
      {130, 100, [](int32_t i) { return 12 + i + i / 16; }, 0},           // one extra pixel every 16
      {64, 100, [](int32_t i) { return 12 + i / 3 + i / 14; }, 1},        // 3 positions a pixel
  };
  for (const Case& c : cases) {
    const TrackBarState state = LaidOut(c.width, 30, c.maximum);
    EXPECT_EQ(state.compressed, c.compressed) << c.width;
    for (int32_t i = 0; i <= c.maximum; ++i) ASSERT_EQ(TrackBarPixelOf(state, i), c.pixel(i)) << c.width << " " << i;
  }
  EXPECT_EQ(TrackBarPixelOf(LaidOut(64, 30, 100), 100), 52);
  // The last position always lands on client left + F + W - spare pixels.
  const TrackBarState wide = LaidOut(130, 30, 100);
  EXPECT_EQ(TrackBarPixelOf(wide, 100), 12 + 106 - wide.spare_pixels);
}

TEST(TrackBarLayout, ShortControlsUseTheNarrowMetrics) {
  const TrackBarMetrics tall = TrackBarMetricsFor(23);
  const TrackBarMetrics short_one = TrackBarMetricsFor(22);
  EXPECT_EQ(tall.first_offset, 12);
  EXPECT_EQ(tall.groove_margin + tall.reserve, 24);
  EXPECT_EQ(short_one.first_offset, 7);
  EXPECT_EQ(short_one.groove_margin + short_one.reserve, 14);
  EXPECT_EQ(short_one.narrowing, 2);
  // W = 100 - 14 = 86 pixels for 0..43: 2 pixels a position.
  EXPECT_EQ(TrackBarPixelOf(LaidOut(100, 20, 43), 43), 7 + 86);
}

TEST(TrackBarLayout, AControlNarrowerThanItsMarginsStillEnds) {
  // A width below G + R would leave no pixel for the positions; the layout takes one.
  const TrackBarState state = LaidOut(20, 30, 1000);
  EXPECT_EQ(state.usable_width, 1);
  EXPECT_EQ(state.compressed, 1);
  EXPECT_EQ(TrackBarPixelOf(state, 0), 12);
  EXPECT_EQ(TrackBarPixelOf(state, 1000), 13);
}

TEST(TrackBarLayout, NearestPositionPrefersTheHigherOnATie) {
  TrackBarState state = LaidOut(224, 30, 50);  // pixel(i) = 12 + 4i
  state.position = 10;                         // pixel 52
  EXPECT_EQ(TrackBarNearestPosition(state, 0), 10);
  EXPECT_EQ(TrackBarNearestPosition(state, 1), 10);   // 53: nearer 52 than 56
  EXPECT_EQ(TrackBarNearestPosition(state, 2), 11);   // 54: a tie goes up
  EXPECT_EQ(TrackBarNearestPosition(state, -1), 10);
  EXPECT_EQ(TrackBarNearestPosition(state, -3), 9);
  EXPECT_EQ(TrackBarNearestPosition(state, 500), 50);
  EXPECT_EQ(TrackBarNearestPosition(state, -500), 0);
}

// ---- A control on a window ------------------------------------------------------------------------

class TrackBarWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(library_.module(), nullptr);
    ASSERT_NE(parent_.window(), nullptr);
    bar_ = CreateWindowExA(0, kTrackBarClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 224, 30, parent_.window(),
                           reinterpret_cast<HMENU>(101), library_.module(), nullptr);
    ASSERT_NE(bar_, nullptr);
  }
  LRESULT Command(WPARAM command, LPARAM argument) { return SendMessageA(bar_, WM_USER, command, argument); }
  TrackBarState& state() { return *TrackBarStateOf(bar_); }

  test::ControlLibrary library_;
  test::RecordingParent parent_;
  std::vector<test::RecordingParent::Message>& scrolls_ = test::RecordingParent::messages();
  HWND bar_ = nullptr;
};

TEST_F(TrackBarWindowTest, RangePositionAndMarkAtAndBeyondTheEnds) {
  EXPECT_EQ(Command(kTrackSetRange, MAKELPARAM(10, 60)), 0);
  EXPECT_EQ(Command(kTrackGetHighest, 0), 60);
  struct Case {
    int32_t set;
    LRESULT got;
  };
  for (const Case& c : {Case{10, 10}, Case{60, 60}, Case{35, 35}, Case{9, 10}, Case{61, 10}, Case{-5, 10}}) {
    Command(kTrackSetPosition, c.set);
    EXPECT_EQ(Command(kTrackGetPosition, 0), c.got) << c.set;  // outside: the minimum, not the nearer end
    EXPECT_EQ(state().thumb_x, TrackBarPixelOf(state(), static_cast<int32_t>(c.got - 10)));
  }
  EXPECT_TRUE(scrolls_.empty()) << "set position never notifies";

  struct Mark {
    int32_t set;
    LRESULT result;
    int32_t mark;
  };
  for (const Mark& m : {Mark{10, 1, 0}, Mark{60, 1, 50}, Mark{30, 1, 20}, Mark{61, 0, -1}, Mark{9, 0, -1}}) {
    EXPECT_EQ(Command(kTrackSetMark, m.set), m.result) << m.set;
    EXPECT_EQ(state().mark, m.mark) << m.set;
  }

  // Equal bounds give two positions; so does a highest value below the lowest.
  Command(kTrackSetRange, MAKELPARAM(7, 7));
  EXPECT_EQ(state().maximum, 1);
  EXPECT_EQ(Command(kTrackGetHighest, 0), state().base + 1);
  Command(kTrackSetRange, MAKELPARAM(9, 3));
  EXPECT_EQ(state().maximum, 1);
  // Command 8 keeps the lower bound.
  Command(kTrackSetRange, MAKELPARAM(5, 10));
  Command(kTrackSetHighest, 25);
  EXPECT_EQ(state().base, 5);
  EXPECT_EQ(Command(kTrackGetHighest, 0), 25);
}

TEST_F(TrackBarWindowTest, StepNotifiesInBothStylesAndStopsAtTheEnds) {
  Command(kTrackSetRange, MAKELPARAM(100, 102));
  Command(kTrackSetPosition, 101);
  Command(kTrackStep, 1);
  ASSERT_EQ(scrolls_.size(), 1u);
  EXPECT_EQ(scrolls_[0].wparam, 0u);
  const auto handle_word = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bar_) & 0xFFFF);
  EXPECT_EQ(scrolls_[0].lparam, static_cast<LPARAM>(static_cast<int32_t>((handle_word << 16) | 102)));
  Command(kTrackStep, 1);  // already at the maximum
  EXPECT_EQ(scrolls_.size(), 1u);
  Command(kTrackStep, 5);  // not a direction
  EXPECT_EQ(scrolls_.size(), 1u);

  Command(kTrackSetNotificationStyle, 0);
  Command(kTrackStep, 0);
  ASSERT_EQ(scrolls_.size(), 2u);
  EXPECT_EQ(LOWORD(scrolls_[1].wparam), 101);
  EXPECT_EQ(HIWORD(scrolls_[1].wparam), 8);
  EXPECT_EQ(reinterpret_cast<HWND>(scrolls_[1].lparam), bar_);
  EXPECT_EQ(Command(kTrackGetPosition, 0), 101);
}

TEST_F(TrackBarWindowTest, UnknownCommandsAnswerZeroAndChangeNothing) {
  Command(kTrackSetRange, MAKELPARAM(0, 20));
  Command(kTrackSetPosition, 4);
  for (WPARAM command : {WPARAM{10}, WPARAM{12}, WPARAM{0xFFFF}}) EXPECT_EQ(Command(command, 77), 0);
  EXPECT_EQ(Command(kTrackGetPosition, 0), 4);
  EXPECT_TRUE(scrolls_.empty());
}

// ---- On a modal dialog ----------------------------------------------------------------------------

constexpr int kBarA = 201;
constexpr int kBarB = 202;
constexpr int kButton = 203;

// Two tall track bars (224 and 130 pixels wide) and a button, so that the dialog manager has
// somewhere to move the focus to.
void CreateBars(HWND dialog, HMODULE library) {
  CreateWindowExA(0, kTrackBarClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 224, 30, dialog,
                  reinterpret_cast<HMENU>(kBarA), library, nullptr);
  CreateWindowExA(0, kTrackBarClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 50, 130, 30, dialog,
                  reinterpret_cast<HMENU>(kBarB), library, nullptr);
  CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 90, 60, 20, dialog,
                  reinterpret_cast<HMENU>(kButton), nullptr, nullptr);
  for (int id : {kBarA, kBarB}) {
    HWND bar = GetDlgItem(dialog, id);
    SendMessageA(bar, WM_USER, kTrackSetNotificationStyle, 0);
    SendMessageA(bar, WM_USER, kTrackSetRange, MAKELPARAM(0, 50));
    SendMessageA(bar, WM_USER, kTrackSetPageStep, 10);
    SendMessageA(bar, WM_USER, kTrackSetPosition, 25);
  }
}

LRESULT Position(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, WM_USER, kTrackGetPosition, 0); }
void Key(HWND dialog, int id, UINT message, WPARAM key, bool repeat) {
  const LPARAM flags = 1 | (repeat || message == WM_KEYUP ? (1 << 30) : 0) | (message == WM_KEYUP ? (1u << 31) : 0);
  PostMessageA(GetDlgItem(dialog, id), message, key, flags);
}

TEST(TrackBarOnDialog, ArrowKeysPassTheDialogManagerAndMoveOnlyTheirBar) {
  test::ControlLibrary library;
  ASSERT_NE(library.module(), nullptr);
  LRESULT a = 0, b = 0;
  HWND focus_after = nullptr, bar_a = nullptr;
  test::ScriptedDialog* dialog_ptr = nullptr;
  size_t scrolls_after_right = 0, scrolls_after_left = 0;
  test::ScriptedDialog dialog(
      [&](HWND d) { CreateBars(d, library.module()); },
      {[&](HWND d) {
         bar_a = GetDlgItem(d, kBarA);
         SetFocus(bar_a);
         Key(d, kBarA, WM_KEYDOWN, VK_RIGHT, false);
         return 0;
       },
       [&](HWND d) {
         Key(d, kBarA, WM_KEYUP, VK_RIGHT, false);
         return 0;
       },
       [&](HWND d) {
         a = Position(d, kBarA);
         b = Position(d, kBarB);
         focus_after = GetFocus();
         scrolls_after_right = dialog_ptr->scrolls().size();
         Key(d, kBarA, WM_KEYDOWN, VK_LEFT, false);
         Key(d, kBarA, WM_KEYUP, VK_LEFT, false);
         Key(d, kBarA, WM_KEYDOWN, VK_UP, false);
         Key(d, kBarA, WM_KEYUP, VK_UP, false);
         return 0;
       },
       [&](HWND d) {
         scrolls_after_left = dialog_ptr->scrolls().size();
         return 0;
       }});
  dialog_ptr = &dialog;
  ASSERT_TRUE(dialog.Run());
  EXPECT_EQ(a, 26) << "one move for one key-down, however many hooks saw it";
  EXPECT_EQ(b, 25);
  EXPECT_EQ(focus_after, bar_a) << "the bar takes the focus back from the dialog manager";
  EXPECT_EQ(scrolls_after_right, 1u);
  ASSERT_EQ(scrolls_after_left, 3u);
  EXPECT_EQ(LOWORD(dialog.scrolls()[2].wparam), 24);
  EXPECT_EQ(reinterpret_cast<HWND>(dialog.scrolls()[2].lparam), bar_a);
}

TEST(TrackBarOnDialog, HeldArrowRepeatsOnTimer99UntilReleased) {
  test::ControlLibrary library;
  ASSERT_NE(library.module(), nullptr);
  LRESULT after_press = 0, after_first_repeat = 0, after_hold = 0, after_release = 0, later = 0;
  test::ScriptedDialog dialog(
      [&](HWND d) { CreateBars(d, library.module()); },
      {[&](HWND d) {
         SetFocus(GetDlgItem(d, kBarA));
         Key(d, kBarA, WM_KEYDOWN, VK_RIGHT, false);
         return 0;
       },
       [&](HWND d) {
         after_press = Position(d, kBarA);
         Key(d, kBarA, WM_KEYDOWN, VK_RIGHT, true);  // the first auto-repeat starts the timer
         return 0;
       },
       [&](HWND d) {
         after_first_repeat = Position(d, kBarA);
         Key(d, kBarA, WM_KEYDOWN, VK_RIGHT, true);  // further repeats move nothing themselves
         return 450;
       },
       [&](HWND d) {
         after_hold = Position(d, kBarA);
         Key(d, kBarA, WM_KEYUP, VK_RIGHT, false);
         return 0;
       },
       [&](HWND d) {
         after_release = Position(d, kBarA);
         return 300;
       },
       [&](HWND d) {
         later = Position(d, kBarA);
         return 0;
       }});
  ASSERT_TRUE(dialog.Run());
  EXPECT_EQ(after_press, 26);
  EXPECT_EQ(after_first_repeat, 26);
  EXPECT_GE(after_hold, 28) << "timer 99 moves the bar every 100 ms while the key is held";
  EXPECT_LE(after_hold, 31);
  EXPECT_EQ(later, after_release) << "releasing the key stops the repeat";
}

TEST(TrackBarOnDialog, ClicksBesideTheThumbMoveByThePageStep) {
  test::ControlLibrary library;
  ASSERT_NE(library.module(), nullptr);
  std::vector<LRESULT> positions;
  auto click = [&](HWND d, int x, int y) {
    HWND bar = GetDlgItem(d, kBarA);
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  };
  auto record = [&](HWND d) {
    positions.push_back(Position(d, kBarA));
    return 0;
  };
  // Position 25 of 0..50 on 224 pixels: thumb at 12 + 4 x 25 = 112, groove row 10.
  test::ScriptedDialog dialog([&](HWND d) { CreateBars(d, library.module()); },
                              {[&](HWND d) { click(d, 150, 10); return 0; }, record,
                               [&](HWND d) { click(d, 60, 10); return 0; }, record,
                               [&](HWND d) { click(d, 112, 25); return 0; }, record,  // under the thumb's tip
                               [&](HWND d) { click(d, 72, 10); return 0; }, record});  // on the thumb: no move
  ASSERT_TRUE(dialog.Run());
  EXPECT_EQ(positions, (std::vector<LRESULT>{35, 25, 15, 15}));
  EXPECT_EQ(dialog.scrolls().size(), 3u);
}

}  // namespace
}  // namespace kalimu::pages
