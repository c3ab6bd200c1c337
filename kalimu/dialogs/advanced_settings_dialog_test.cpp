// The advanced settings dialog's frame on its real window: the colour-adjust rows, the layout by
// colour mode, the width rule, the etched frame, OK and Cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/dialogs/advanced_settings_test_support.h"
#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/dialogs/slider_adjust_dialog.h"
#include "kalimu/dialogs/user_settings_dialog.h"
#include "kalimu/dialogs/user_settings_transfer.h"
#include "kalimu/pages/resource_dialogs.h"

namespace kalimu::dialogs {
namespace {

using test::AdvancedDialogTest;

TEST_F(AdvancedDialogTest, HelpTableHolds183ControlsAndItsEnd) {
  size_t pairs = 0;
  const HelpPair* table = AdvancedHelpTable(&pairs);
  ASSERT_EQ(pairs, 184u);
  EXPECT_EQ(table[183].control, 0);
  EXPECT_EQ(table[183].context, 0);
  auto context_of = [&](int id) {
    for (size_t i = 0; i + 1 < pairs; ++i) {
      if (table[i].control == id) return table[i].context;
    }
    return 0;
  };
  EXPECT_EQ(context_of(2100), 1280);
  EXPECT_EQ(context_of(8122), 1296);
  EXPECT_EQ(context_of(2085), 1397);
  EXPECT_EQ(context_of(8561), 1399);
  EXPECT_EQ(context_of(8173), 1504);
  EXPECT_EQ(context_of(2181), -1);
  EXPECT_EQ(context_of(8509), 0);  // no such control
}

TEST_F(AdvancedDialogTest, TypedColourAdjustValues) {
  Open(false);
  s().SetColorMode(0);
  s().SetModeVariant(1);
  ASSERT_NE(Show(), nullptr);
  struct Case {
    int edit;
    const char* typed;
    const char* shown;
    int32_t item;   // adjustment item of the row
    int32_t stored;
    int32_t slider;
  };
  const Case cases[] = {
      {2080, "-", "", 0, kAdjustMinusMarker, 25},  // the marker; the slider stays at the centre
      {2081, "30", "25", 1, 25, 50},
      {2082, "7x", "7", 2, 7, 32},
      {2083, "-9", "9", 3, 9, 16},                  // rows 3-5 store the shown value negated
      {2084, "-", "", 4, kAdjustMinusMarker, 25},   // the marker is -100 on every row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Type(c.edit, c.typed);
    EXPECT_EQ(Text(c.edit), c.shown);
    EXPECT_EQ(s().GetAdjustment(c.item), c.stored);
    EXPECT_EQ(Position(c.edit - 10), c.slider);
  }
  // A third digit puts the previous magnitude back.
  Type(2081, "123");
  EXPECT_EQ(Text(2081), "25");
  EXPECT_EQ(s().GetAdjustment(1), 25);
  // The marker becomes 0 when the edit loses the focus.
  Command(2080, EN_KILLFOCUS);
  EXPECT_EQ(Text(2080), "0");
  EXPECT_EQ(s().GetAdjustment(0), 0);
  // A sign click reads the marker as 0: it never turns it into +100.
  Click(2094);
  EXPECT_EQ(s().GetAdjustment(4), 0);
  // The sign box flips the sign.
  Click(2093);
  EXPECT_EQ(s().GetAdjustment(3), -9);
  EXPECT_EQ(Position(2073), 34);
}

TEST_F(AdvancedDialogTest, ColourAdjustSliderWritesTheRowAndKeepsTheUserEntry) {
  Open(false);
  s().SetColorMode(0);
  s().SetModeVariant(1);
  ASSERT_NE(Show(), nullptr);
  shared().user_entry_applied = 1;
  MoveSlider(2073, 40);
  EXPECT_EQ(s().GetAdjustment(3), -15);
  EXPECT_EQ(Text(2083), "15");
  EXPECT_EQ(shared().user_entry_applied, 1);  // sliders leave the user entry
  MoveSlider(2070, 5);
  EXPECT_EQ(s().GetAdjustment(0), -20);
  Type(2080, "3");
  EXPECT_EQ(shared().user_entry_applied, 0);
}

TEST_F(AdvancedDialogTest, RowsByVariantAndQuality) {
  struct Case {
    int32_t variant;
    int32_t quality;
    bool rows[6];
  };
  const Case cases[] = {
      {0, 0, {true, true, false, false, false, false}},   // mode variant 0: only rows 0 and 1
      {1, 0, {true, true, true, true, true, true}},
      {1, 3, {false, false, false, false, false, false}},  // quality level 3 leaves them disabled
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.variant << " " << c.quality);
    Open(false);
    s().SetModeVariant(c.variant);
    s().SetColorMode(0);
    ASSERT_NE(Show(), nullptr);
    ASSERT_EQ(s().GetModeVariant(), c.variant);
    ASSERT_EQ(s().GetColorMode(), 0);
    // The mode's rules chose a quality level at opening; the rows follow the level set now.
    s().SetQualityLevel(c.quality);
    advanced::EnableColorAdjustRows(dialog_, fixture_->param(), 0);
    if (c.variant == 0) advanced::EnableColorAdjustRows(dialog_, fixture_->param(), 2);
    for (int row = 0; row < 6; ++row) {
      EXPECT_EQ(Enabled(2080 + row), c.rows[row]) << row;
      EXPECT_EQ((shared().adjust_edit_states[row] & pages::kEditActive) != 0, c.rows[row]) << row;
    }
    Close();
  }
}

TEST_F(AdvancedDialogTest, LayoutByColourMode) {
  struct Case {
    int32_t colour_mode;
    bool toning;
    bool correction;  // combo 2102
    bool panel;       // edit 2080
    bool tone_group;  // combo 8501
  };
  const Case cases[] = {
      {0, false, false, true, false}, {2, false, true, false, false}, {3, false, false, false, false},
      {6, false, false, false, false}, {7, true, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colour_mode);
    Open(c.toning);
    s().SetModeVariant(1);
    s().SetColorMode(c.colour_mode);
    ASSERT_NE(Show(), nullptr);
    ASSERT_EQ(s().GetColorMode(), c.colour_mode);
    EXPECT_EQ(Visible(2102), c.correction);
    EXPECT_EQ(Visible(2080), c.panel);
    EXPECT_EQ(Visible(8501), c.tone_group);
    Close();
  }
}

TEST_F(AdvancedDialogTest, WidthFollowsTheManagementMode) {
  Open(false);
  s().SetModeVariant(1);
  s().SetColorMode(1);
  s().SetColorManagementMode(3);
  ASSERT_NE(Show(), nullptr);
  const int full = shared().dialog_full_width;
  const int right = shared().dialog_right_part_width;
  ASSERT_GT(right, 0);
  EXPECT_EQ(Width(), full);
  EXPECT_TRUE(Visible(8175));  // pair 2's check
  EXPECT_TRUE(Visible(8181));  // pair 2's printer combo, disabled without profiles
  ASSERT_TRUE(Choose(8161, 1));
  EXPECT_EQ(s().GetColorManagementMode(), 1u);
  EXPECT_EQ(Width(), full - right);
  EXPECT_FALSE(Visible(8175));
  EXPECT_FALSE(Visible(8181));
  ASSERT_TRUE(Choose(8161, 3));
  EXPECT_EQ(Width(), full);
}

TEST_F(AdvancedDialogTest, EtchedFrameIsDrawnAroundThePlaceholders) {
  Open(false);
  s().SetModeVariant(1);
  s().SetColorMode(0);
  ASSERT_NE(Show(), nullptr);
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  const RECT corner = ClientRect(2170);
  RECT a{}, tall{};
  GetClientRect(item(2170), &a);
  GetClientRect(item(2172), &tall);
  const int x = corner.left;
  const int y = corner.bottom - 4;
  EXPECT_FALSE(Visible(2170));
  EXPECT_EQ(Pixel(x, y + tall.bottom / 2), GetSysColor(COLOR_BTNSHADOW));         // left edge
  EXPECT_EQ(Pixel(x + 1, y + tall.bottom / 2), GetSysColor(COLOR_BTNHIGHLIGHT));  // its light line
  EXPECT_EQ(Pixel(x + a.right / 2, y), GetSysColor(COLOR_BTNSHADOW));            // top, before the gap
}

TEST_F(AdvancedDialogTest, OkChoosesThePresetKindAndFreesTheCopy) {
  for (uint16_t entry : {1, 0}) {
    Open(false);
    ASSERT_NE(Show(), nullptr);
    ASSERT_NE(shared().dialog_snapshot, nullptr);
    shared().user_entry_applied = entry;
    Command(IDOK, BN_CLICKED);
    EXPECT_EQ(s().GetPresetKind(), entry != 0 ? 2u : 5u);
    EXPECT_EQ(shared().dialog_snapshot, nullptr);
    Close();
  }
}

// A notification that arrives after Cancel (Wine sends the kill-focus of the edit that had the
// focus after the restore) changes nothing.
TEST_F(AdvancedDialogTest, NotificationsAfterCancelChangeNothing) {
  Open(true);
  s().SetModeVariant(1);
  s().SetColorMode(7);
  ASSERT_NE(Show(), nullptr);
  Type(8557, "30");
  EXPECT_EQ(s().GetAdjustment(9), 30);
  Command(IDCANCEL, BN_CLICKED);
  EXPECT_EQ(s().GetAdjustment(9), 0);
  Type(8557, "40");
  Command(8557, EN_KILLFOCUS);
  EXPECT_EQ(s().GetAdjustment(9), 0);
}

// Help goes through the replaceable help entry: the help button's topic 1280, and the table for
// context help (the help message itself is never sent: the dialog's handler is called).
TEST_F(AdvancedDialogTest, HelpGoesThroughTheHelpEntry) {
  Open(false);
  ASSERT_TRUE(fixture_->printer().SetInfoKey("HelpFile", "KVHELP.CHM"));
  ASSERT_TRUE(fixture_->printer().SetInfoKey("HelpFileS", "KVHELP.CHM"));
  ASSERT_NE(Show(), nullptr);
  test::HelpCalls help;
  Click(2140);
  SendMessageA(dialog_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(item(2111)), 0);
  HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, 2111, item(2111), 0, {10, 10}};
  AdvancedDlgProc(dialog_, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  const auto& calls = test::HelpCalls::calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].command, static_cast<UINT>(HELP_CONTEXT));
  EXPECT_EQ(calls[0].data, 1280u);
  EXPECT_EQ(calls[1].command, static_cast<UINT>(HELP_CONTEXTMENU));
  EXPECT_EQ(calls[1].window, item(2111));
  const auto* ids = reinterpret_cast<const DWORD*>(calls[1].data);
  ASSERT_NE(ids, nullptr);
  EXPECT_EQ(ids[0], 2100u);
  EXPECT_EQ(ids[1], 1280u);
  EXPECT_EQ(ids[2 * 183], 0u);
  EXPECT_EQ(calls[2].command, static_cast<UINT>(HELP_WM_HELP));
  EXPECT_EQ(calls[2].window, item(2111));
  EXPECT_EQ(calls[2].data, calls[1].data);
}

// ---- The modal dialog with its sub-dialogs -------------------------------------------------------

// The advanced dialog run from the dialog table over a page, as the main page runs it, with the
// real user settings (2122) and slider adjustment (2190) dialogs opened from it. The steps
// change the colour mode and the media, save a user-settings entry, move the density of the
// slider dialog and type a toning value, then end the advanced dialog with `end`.
class AdvancedSubDialogsTest : public AdvancedDialogTest {
 protected:
  struct Seen {
    int32_t colour_mode = -1;
    uint32_t media_before = 0;
    uint32_t media_after = 0;
    int32_t density = 0;
    uint16_t entry_applied = 0;
    int32_t toning_x = -1;
  };

  // A step that saves the settings as an entry `name` in the user settings dialog opened from the
  // advanced dialog, and closes it (the simple model ends it at the save).
  static test::Step SaveEntry(const char* name) {
    return [name](HWND owner) {
      HWND settings = test::FindThreadDialogWith(kSettingsName, owner);
      if (settings == nullptr) return false;
      test::Type(settings, kSettingsName, name);
      test::Click(settings, kSettingsSave);
      if (IsWindow(settings) && IsWindowVisible(settings)) test::Click(settings, kSettingsClose);
      return true;
    };
  }

  INT_PTR RunWithSubDialogs(int end, Seen* seen) {
    pages::test::HostedPage page(*fixture_, 900);
    if (page.window() == nullptr) return -1;
    using test::Click;
    using test::FindThreadDialogWith;
    test::ModalRun run({
        [&](HWND dialog) {
          Click(dialog, 2111);  // colour mode 2
          seen->colour_mode = s().GetColorMode();
          seen->media_before = s().GetMediaId();
          HWND media = GetDlgItem(dialog, 2125);
          const LRESULT count = SendMessageA(media, CB_GETCOUNT, 0, 0);
          for (LRESULT i = 0; i < count; ++i) {
            if (static_cast<uint16_t>(SendMessageA(media, CB_GETITEMDATA, i, 0)) != s().GetCurrentMediaIndex()) {
              test::PickComboItem(dialog, 2125, static_cast<int>(i));
              break;
            }
          }
          seen->media_after = s().GetMediaId();
          return true;
        },
        // The user settings dialog: its modal loop runs the next step.
        [&](HWND dialog) {
          Click(dialog, 2122);
          return true;
        },
        SaveEntry("Gallery proof"),
        [&](HWND) {
          seen->entry_applied = shared().user_entry_applied;
          return true;
        },
        // The slider adjustment dialog, the same way.
        [&](HWND dialog) {
          Click(dialog, 2190);
          return true;
        },
        [&](HWND dialog) {
          HWND slider = FindThreadDialogWith(kDensityEdit, dialog);
          if (slider == nullptr) return false;
          test::Type(slider, kDensityEdit, "12");
          seen->density = s().GetMediaTuning1();
          Click(slider, kSliderOk);
          return true;
        },
        [&](HWND dialog) {
          test::Type(dialog, 8557, "20");  // a toning value
          seen->toning_x = s().GetAdjustment(9);
          return true;
        },
        test::Press(end),
    });
    return pages::ShowSettingsDialog(page.window(), pages::SettingsDialog::kAdvanced);
  }

  std::vector<std::wstring> EntryNames() {
    std::vector<std::wstring> names;
    for (uint32_t i = 0; i < UserSettingsCount(s()); ++i) {
      wchar_t name[33] = {};
      s().GetSettingsName(static_cast<uint16_t>(i), name, 33);
      names.push_back(name);
    }
    return names;
  }
};

TEST_F(AdvancedSubDialogsTest, CancelUndoesEveryChangeSubDialogsIncludedAndKeepsTheSavedEntry) {
  Open(true);
  s().SetModeVariant(1);
  s().SetColorMode(0);
  s().SetMediaTuning1(0);
  const size_t entries = EntryNames().size();
  std::vector<uint8_t> before(sizeof(settings::DriverDevMode));
  std::memcpy(before.data(), &fixture_->record(), before.size());
  Seen seen;
  EXPECT_EQ(RunWithSubDialogs(IDCANCEL, &seen), 0);
  // Every step changed the device mode while the dialog was open ...
  EXPECT_EQ(seen.colour_mode, 2);
  EXPECT_NE(seen.media_after, seen.media_before);
  EXPECT_EQ(seen.entry_applied, 1u);
  EXPECT_EQ(seen.density, 12);
  EXPECT_EQ(seen.toning_x, 20);
  // ... and Cancel put all of it back, while the saved entry stays in the store.
  EXPECT_EQ(std::memcmp(before.data(), &fixture_->record(), before.size()), 0);
  const std::vector<std::wstring> names = EntryNames();
  EXPECT_EQ(names.size(), entries + 1);
  EXPECT_NE(std::find(names.begin(), names.end(), L"Gallery proof"), names.end());
  EXPECT_EQ(shared().dialog_snapshot, nullptr);
  EXPECT_EQ(shared().inner_dialog_snapshot, nullptr);
}

TEST_F(AdvancedSubDialogsTest, OkKeepsTheChangesAsPresetKindTwoAfterASavedEntryElseFive) {
  // With the saved entry applied the settings are that entry (kind 2); changed afterwards in the
  // dialog itself they are custom settings (kind 5).
  Open(true);
  s().SetModeVariant(1);
  s().SetColorMode(0);
  Seen seen;
  EXPECT_EQ(RunWithSubDialogs(IDOK, &seen), 1);
  EXPECT_EQ(s().GetColorMode(), 2);
  EXPECT_EQ(s().GetMediaTuning1(), 12);
  // The toning edit cleared the applied entry: custom settings.
  EXPECT_EQ(shared().user_entry_applied, 0u);
  EXPECT_EQ(s().GetPresetKind(), 5u);
  EXPECT_EQ(shared().dialog_snapshot, nullptr);

  // Saving an entry as the last change leaves it applied: kind 2.
  Open(false);
  pages::test::HostedPage page(*fixture_, 900);
  ASSERT_NE(page.window(), nullptr);
  test::ModalRun run({
      [&](HWND dialog) {
        test::Click(dialog, 2122);
        return true;
      },
      SaveEntry("Matte"),
      test::Press(IDOK),
  });
  EXPECT_EQ(pages::ShowSettingsDialog(page.window(), pages::SettingsDialog::kAdvanced), 1);
  EXPECT_EQ(s().GetPresetKind(), 2u);
  wchar_t name[33] = {};
  s().GetUserPresetName(name, 33);
  EXPECT_STREQ(name, L"Matte");
}

}  // namespace
}  // namespace kalimu::dialogs
