// The ink meter: each command's levels and clamps, the level each display shows, registration on
// the resource library's instance, disabling, clicks and the warning picture it chooses.
#include "kalimu/pages/ink_meter.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <utility>
#include <vector>

#include "kalimu/pages/control_test_support.h"
#include "kalimu/pages/custom_controls.h"
#include "kalimu/pages/ink_meter_warning.h"
#include "kalimu/pages/track_bar.h"

namespace kalimu::pages {
namespace {

InkMeterState FreshMeter() {
  InkMeterState state{};
  state.active = 1;
  state.show_label = 1;
  state.click_id = -1;
  return state;
}

InkMeterData Block(std::initializer_list<std::pair<int, int32_t>> words) {
  InkMeterData data{};
  for (const auto& [word, value] : words) data.words[word] = value;
  return data;
}

struct Sent {
  WPARAM command;
  InkMeterData data;
};

struct CommandCase {
  const char* name;
  std::vector<Sent> commands;
  std::array<int32_t, 12> levels;  // ink codes 1..12 afterwards
  int32_t shown;
  int32_t warning_base;
};

TEST(InkMeterCommands, LevelsClampsAndShownLevel) {
  const CommandCase cases[] = {
      {"black low shows 5 without a level",
       {{kInkBlackSetUp, Block({{0, 1}})}, {kInkBlackLow, Block({})}},
       {5}, 5, 15000},
      {"black level clamped high",
       {{kInkBlackSetUp, Block({{0, 1}})}, {kInkBlackLevel, Block({{1, 150}})}},
       {100}, 100, 0},
      {"black level clamped low",
       {{kInkBlackSetUp, Block({{0, 1}})}, {kInkBlackLevel, Block({{1, -7}})}},
       {0}, 0, 0},
      {"black out",
       {{kInkBlackLevel, Block({{1, 60}})}, {kInkBlackOut, Block({})}},
       {0}, 0, 15001},
      {"group of kind 4: low sets cyan, magenta, yellow, light inks to 5",
       {{kInkGroupSetUp, Block({{0, 4}})}, {kInkGroupLow, Block({{2, 70}, {3, 80}})}},
       {0, 5, 5, 5, 5, 5}, 5, 15000},
      {"group of kind 2: low copies the levels of the block",
       {{kInkGroupSetUp, Block({{0, 2}})}, {kInkGroupLow, Block({{2, 40}, {3, 90}, {4, 90}, {5, 10}, {6, 90}})}},
       {0, 40, 90, 90, 10, 90}, 10, 15000},
      {"group of kind 2 shows the lower of cyan and light cyan",
       {{kInkGroupSetUp, Block({{0, 2}})}, {kInkGroupLevels, Block({{2, 40}, {3, 30}, {4, 20}, {5, 10}, {6, 80}})}},
       {0, 40, 30, 20, 10, 80}, 10, 0},
      {"group of kind 7 takes dark yellow too and shows the lowest",
       {{kInkGroupSetUp, Block({{0, 7}})},
        {kInkGroupLevels, Block({{2, 50}, {3, 60}, {4, 70}, {5, 80}, {6, 90}, {7, 45}, {8, 1}})}},
       {0, 50, 60, 70, 80, 90, 45}, 45, 0},
      {"group out",
       {{kInkGroupSetUp, Block({{0, 3}})}, {kInkGroupLevels, Block({{3, 50}, {6, 60}})}, {kInkGroupOut, Block({})}},
       {0, 0, 0, 0, 0, 0}, 0, 15001},
      {"kind meter",
       {{kInkKindSetUp, Block({{0, 8}})}, {kInkKindLevel, Block({{8, 64}, {1, 99}})}},
       {0, 0, 0, 0, 0, 0, 0, 64}, 64, 0},
      {"kind meter low",
       {{kInkKindSetUp, Block({{0, 11}})}, {kInkKindLow, Block({{11, 3}})}},
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3}, 3, 15000},
      {"slot meter",
       {{kInkSlotSetUp, Block({{0, 2}, {66, 3}, {67, 100}})}, {kInkSlotLevel, Block({{3, 250}})}},
       {0, 0, 100}, 100, 0},
      {"slot beyond twelve changes no level",
       {{kInkSlotSetUp, Block({{0, 2}, {66, 16}, {67, 100}})}, {kInkSlotLevel, Block({{12, 33}})},
        {kInkSlotLow, Block({{12, 33}, {68, 1}})}},
       {}, 0, 15000},
      {"kind beyond twelve changes no level",
       {{kInkKindSetUp, Block({{0, 13}})}, {kInkKindLevel, Block({{12, 33}})}},
       {}, 0, 0},
      {"slot uncertain without warning",
       {{kInkSlotSetUp, Block({{0, 2}, {66, 2}, {67, 100}})}, {kInkSlotUncertain, Block({{2, 30}, {68, 0}})}},
       {0, 30}, 30, 0},
      {"black uncertain with the out-of-ink warning",
       {{kInkBlackUncertain, Block({{1, 20}, {68, 1}, {69, 1}})}},
       {20}, 20, 15001},
      {"group uncertain with the low warning",
       {{kInkGroupSetUp, Block({{0, 4}})}, {kInkGroupUncertain, Block({{2, 20}, {3, 30}, {4, 40}, {68, 1}, {69, 0}})}},
       {0, 20, 30, 40}, 20, 15000},
      {"commands above 20 leave the meter blank",
       {{kInkBlackLevel, Block({{1, 60}})}, {21, Block({{1, 10}})}},
       {60}, 0, 0},
  };
  for (const CommandCase& c : cases) {
    InkMeterState state = FreshMeter();
    for (const Sent& sent : c.commands) RunInkMeterCommand(&state, sent.command, &sent.data);
    for (int code = 1; code <= 12; ++code) EXPECT_EQ(InkLevel(state, code), c.levels[code - 1]) << c.name << " code " << code;
    EXPECT_EQ(InkMeterShownLevel(state), c.shown) << c.name;
    EXPECT_EQ(InkWarningBase(state), c.warning_base) << c.name;
    EXPECT_EQ(state.active, 1) << c.name;
  }
}

TEST(InkMeterCommands, SetUpCarriesModuleSlotProportionAndClickId) {
  InkMeterState state = FreshMeter();
  HMODULE module = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x123456789ABCull));
  InkMeterData data = Block({{0, 5}, {66, 4}, {67, 80}, {68, 1}, {69, 25003}});
  SetInkMeterModule(&data, kInkWordSlotModule, module);
  RunInkMeterCommand(&state, kInkSlotSetUp, &data);
  EXPECT_EQ(state.kind, 5);
  EXPECT_EQ(state.resource_module, module);
  EXPECT_EQ(state.slot, 4);
  EXPECT_EQ(state.proportion, 80);
  EXPECT_EQ(state.bottom_aligned, 1);
  EXPECT_EQ(state.click_id, 25003);

  // Command 17 turns the label off until a low command of the slot brings it back.
  RunInkMeterCommand(&state, kInkBlankNoLabel, nullptr);
  EXPECT_EQ(state.show_label, 0);
  EXPECT_EQ(InkMeterShownLevel(state), 0);
  InkMeterData low = Block({{4, 7}, {68, 1}});
  RunInkMeterCommand(&state, kInkSlotLow, &low);
  EXPECT_EQ(state.show_label, 1);
  EXPECT_EQ(InkMeterShownLevel(state), 7);
}

// ---- Windows ---------------------------------------------------------------------------------------

TEST(CustomControlClasses, RegisteredOnTheLibraryInstanceAndRemovedAgain) {
  test::ControlLibrary library;  // registers both
  ASSERT_NE(library.module(), nullptr);
  WNDCLASSA info{};
  for (const char* name : {kInkMeterClass, kTrackBarClass}) {
    ASSERT_TRUE(GetClassInfoA(library.module(), name, &info)) << name;
    EXPECT_EQ(info.cbWndExtra, 40);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
  }
  EXPECT_EQ(RegisterCustomControls(library.module()), 1) << "1 although both are registered already";
  UnregisterCustomControls(library.module());
  for (const char* name : {kInkMeterClass, kTrackBarClass}) EXPECT_FALSE(GetClassInfoA(library.module(), name, &info));
  EXPECT_EQ(RegisterCustomControls(library.module()), 1);
  EXPECT_TRUE(GetClassInfoA(library.module(), kInkMeterClass, &info));
}

class InkMeterWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(library_.module(), nullptr);
    ASSERT_NE(parent_.window(), nullptr);
  }
  HWND Meter(int width, int height, int id = 25000) {
    return CreateWindowExA(0, kInkMeterClass, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, parent_.window(),
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), library_.module(), nullptr);
  }
  static LRESULT Send(HWND meter, WPARAM command, InkMeterData data) {
    const LRESULT result = SendMessageA(meter, WM_USER, command, reinterpret_cast<LPARAM>(&data));
    UpdateWindow(meter);
    return result;
  }
  test::ControlLibrary library_;
  test::RecordingParent parent_;
  std::vector<test::RecordingParent::Message>& commands_ = test::RecordingParent::messages();
};

TEST_F(InkMeterWindowTest, DisablingForgetsTheLevelsUntilTheNextCommand) {
  HWND meter = Meter(20, 80);
  ASSERT_NE(meter, nullptr);
  InkMeterState& state = *InkMeterStateOf(meter);
  EXPECT_EQ(state.active, 1);
  EXPECT_EQ(state.click_id, -1);
  EXPECT_NE(state.palette, nullptr);
  Send(meter, kInkBlackLevel, Block({{1, 70}}));
  EXPECT_EQ(InkLevel(state, 1), 70);
  EnableWindow(meter, FALSE);
  UpdateWindow(meter);
  EXPECT_EQ(state.active, 0);
  EXPECT_EQ(InkLevel(state, 1), 0);
  EnableWindow(meter, TRUE);
  UpdateWindow(meter);
  EXPECT_EQ(state.active, 1);
  EXPECT_EQ(InkMeterShownLevel(state), 0) << "an empty column until the next level command";
  Send(meter, kInkBlackLevel, Block({{1, 40}}));
  EXPECT_EQ(InkMeterShownLevel(state), 40);
}

TEST_F(InkMeterWindowTest, AClickSendsItsIdOnlyWhenItHasOne) {
  HWND with_id = Meter(20, 80, 25001);
  HWND without = Meter(20, 80, 25002);
  ASSERT_NE(with_id, nullptr);
  ASSERT_NE(without, nullptr);
  Send(with_id, kInkSlotSetUp, Block({{0, 2}, {66, 2}, {67, 100}, {69, 77}}));
  Send(without, kInkSlotSetUp, Block({{0, 3}, {66, 3}, {67, 100}, {69, -1}}));
  SendMessageA(without, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(commands_.empty());
  SendMessageA(with_id, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_EQ(commands_.size(), 1u);
  EXPECT_EQ(commands_[0].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(commands_[0].wparam, static_cast<WPARAM>(MAKEWPARAM(77, 0)));
  EXPECT_EQ(reinterpret_cast<HWND>(commands_[0].lparam), with_id);
}

TEST_F(InkMeterWindowTest, WarningPictureSizeFollowsTheColumnWidth) {
  struct Case {
    int width;
    int height;
    WPARAM setup;
    InkMeterData setup_data;
    WPARAM command;
    InkMeterData data;
    int32_t picture_id;  // 0: none drawn
  };
  const Case cases[] = {
      // Slot meters: the column is the client width less 7 pixels of scale and edge.
      {48, 160, kInkSlotSetUp, Block({{0, 2}, {66, 2}, {67, 100}}), kInkSlotLow, Block({{2, 4}}), 15000},   // 41 -> 32
      {36, 160, kInkSlotSetUp, Block({{0, 2}, {66, 2}, {67, 100}}), kInkSlotOut, Block({}), 15005},        // 29 -> 24
      {24, 160, kInkSlotSetUp, Block({{0, 3}, {66, 3}, {67, 100}}), kInkSlotLow, Block({{3, 4}}), 15008},   // 17 -> 16
      {19, 160, kInkSlotSetUp, Block({{0, 3}, {66, 3}, {67, 100}}), kInkSlotOut, Block({}), 15013},        // 12 -> 12
      // A level without a warning draws none.
      {48, 160, kInkSlotSetUp, Block({{0, 2}, {66, 2}, {67, 100}}), kInkSlotLevel, Block({{2, 50}}), 0},
      // Uncertain with warning on: the out-of-ink picture.
      {48, 160, kInkSlotSetUp, Block({{0, 2}, {66, 2}, {67, 100}}), kInkSlotUncertain,
       Block({{2, 30}, {68, 1}, {69, 1}}), 15001},
  };
  for (const Case& c : cases) {
    HWND meter = Meter(c.width, c.height);
    ASSERT_NE(meter, nullptr);
    InkMeterData setup = c.setup_data;
    SetInkMeterModule(&setup, kInkWordSlotModule, library_.module());
    Send(meter, c.setup, setup);
    Send(meter, c.command, c.data);
    InvalidateRect(meter, nullptr, FALSE);
    UpdateWindow(meter);
    EXPECT_EQ(InkMeterStateOf(meter)->picture_id, c.picture_id) << c.width << " command " << c.command;
    DestroyWindow(meter);
  }
}

// Every display state paints in every size: with the resource library a state that warns draws
// its warning picture once the meter is wide and tall enough for one; without the library no
// picture is drawn and the level stays shown.
TEST_F(InkMeterWindowTest, EveryDisplayStatePaintsWithOrWithoutItsPictures) {
  int warnings_drawn = 0;
  for (HMODULE module : {library_.module(), static_cast<HMODULE>(nullptr)}) {
    for (WPARAM command = 0; command <= 22; ++command) {
      for (const auto& [width, height] : {std::pair{12, 30}, std::pair{40, 120}, std::pair{90, 60}, std::pair{3, 3}}) {
        SCOPED_TRACE(testing::Message() << "command " << command << " " << width << " x " << height
                                        << (module != nullptr ? " with" : " without") << " pictures");
        HWND meter = Meter(width, height);
        ASSERT_NE(meter, nullptr);
        InkMeterData data = Block({{0, 4}, {1, 30}, {2, 40}, {3, 50}, {4, 60}, {66, 2}, {67, 60}, {68, 1}});
        SetInkMeterModule(&data, kInkWordModule, module);
        SetInkMeterModule(&data, kInkWordSlotModule, module);
        Send(meter, command <= 4 ? 0 : command <= 8 ? 5 : command <= 12 ? 9 : 13, data);
        Send(meter, command, data);
        InvalidateRect(meter, nullptr, FALSE);
        UpdateWindow(meter);
        const InkMeterState& state = *InkMeterStateOf(meter);
        const bool warns = InkWarningBase(state) != 0;
        if (module == nullptr || !warns) {
          EXPECT_EQ(state.picture_id, 0);
        } else if (width == 40 && height == 120) {
          EXPECT_NE(state.picture_id, 0);
        }
        if (module != nullptr && warns && state.picture_id != 0) ++warnings_drawn;
        DestroyWindow(meter);
      }
    }
  }
  EXPECT_GT(warnings_drawn, 0);
}

}  // namespace
}  // namespace kalimu::pages
