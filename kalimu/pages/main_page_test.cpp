// The main page on a real property sheet: the ink level polling, the preset, variant and colour
// choices, and what Apply writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kalimu/pages/ink_display.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/main_page_test_support.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"
#include "testkit/status/status_replies.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::pages {
namespace {

using test::InkModel;
using test::MainSteps;
using test::PageFixture;
using test::PageSteps;
using test::SheetHost;


// A model whose header enables the second colour variant and the tone presets.
testkit::ModelDescription ToneModel() {
  testkit::ModelDescription model = InkModel(6, false);
  model.header.flags24 |= 0x8000u;
  return model;
}

class MainPageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  JobSettings& s() { return fixture_.settings(); }
  void SetRequestFlag(int32_t flag) {
    if (flag < -1) {
      settings::DeletePrinterRegValue(&s(), nullptr, nullptr, storage::kValueRxFlag, 0);
    } else {
      settings::WritePrinterRegValueById(&s(), storage::kValueRxFlag, &flag, sizeof(flag), 0);
    }
  }
  // Stops a pending poll; true when one was armed.
  static bool TakeTimer(HWND page) { return KillTimer(page, kStatusPollTimer) != FALSE; }

  PageFixture fixture_{InkModel(6, false)};
};

TEST_F(MainPageTest, NoBidirectionalStatusMeansNoMetersAndNoPolling) {
  s().SetNoBidiFlagBits(8, 1);
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  EXPECT_FALSE(TakeTimer(host.page()));
  for (int id : {kInkArea, kBlackMeter, kColourMeter, kBlackLabel, kColourLabel, kBlackFrame, kColourFrame}) {
    EXPECT_FALSE(IsWindowVisible(host.item(id))) << id;
  }
}

TEST_F(MainPageTest, HelperThatDoesNotStartIsNotWaitedFor) {
  SetRequestFlag(-2);  // never asked: the page asks for a refresh, whose helper is not installed
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  EXPECT_FALSE(TakeTimer(host.page()));
}

TEST_F(MainPageTest, RequestFlagAtTheFirstPoll) {
  struct Case {
    const char* name;
    int32_t flag;  // below -1: absent
    bool polls_again;
    bool ink_set_text;
  };
  const Case cases[] = {
      {"absent", -2, true, false},
      {"pending", 0, true, false},
      {"no reply", 1, false, true},
      {"reply stored", 2, false, false},
      {"unknown", 3, false, false},
  };
  s().SetNoBidiFlagBits(8, 1);  // the page's own start-up does not poll
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  const testkit::Bytes reply = testkit::TextReply("ST:01;");
  settings::WritePrinterRegValueById(&s(), storage::kValueRxStatus, reply.data(), static_cast<DWORD>(reply.size()), 0);
  testkit::MessageBoxWatcher boxes;
  for (const Case& c : cases) {
    ShowWindow(host.item(kBlackInkTextB), SW_HIDE);
    SetRequestFlag(c.flag);
    SetPropA(host.page(), kStatusPollStartProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(GetTickCount() | 1)));
    PollPrinterStatus(host.page(), fixture_.param(), kStatusPollTimer);
    EXPECT_EQ(TakeTimer(host.page()), c.polls_again) << c.name;
    EXPECT_EQ(IsWindowVisible(host.item(kBlackInkTextB)) != FALSE, c.ink_set_text) << c.name;
  }
  // Another timer is not the poll's.
  SetRequestFlag(0);
  PollPrinterStatus(host.page(), fixture_.param(), 7);
  EXPECT_FALSE(TakeTimer(host.page()));
}

TEST_F(MainPageTest, PollingStopsWhenTheRefreshNeverAnswers) {
  s().SetNoBidiFlagBits(8, 1);
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  SetRequestFlag(0);
  const DWORD long_ago = GetTickCount() - kStatusPollLimitMs - 1000;
  SetPropA(host.page(), kStatusPollStartProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(long_ago | 1)));
  PollPrinterStatus(host.page(), fixture_.param(), kStatusPollTimer);
  EXPECT_FALSE(TakeTimer(host.page()));
  EXPECT_EQ(GetPropA(host.page(), kStatusPollStartProperty), nullptr);
}

TEST_F(MainPageTest, ColourRadioInTheSecondVariantGivesTheFirst) {
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  s().SetModeVariant(2);
  host.Click(kColourRadio);
  EXPECT_EQ(s().GetModeVariant(), 1);
  EXPECT_EQ(fixture_.shared().colour_picture_id, kColourPicture);
  EXPECT_TRUE(host.ApplyEnabled());
}

TEST_F(MainPageTest, ApplyWritesSilentStateAndUtilityFlagsInBothViews) {
  struct Case {
    const char* name;
    bool disable_box;
    uint16_t silent;
    uint32_t job_options;  // bits 64, 128 and 2048
    uint16_t stored_flags;
    uint16_t written_flags;
  };
  const Case cases[] = {
      {"box enabled", false, 1, 64 | 2048, 0xFF00, 0xFF05},
      {"box disabled keeps the state", true, 1, 128, 0x0007, 0x0002},
      {"nothing set", false, 0, 0, 0x0010, 0x0010},
  };
  for (const Case& c : cases) {
    settings::WritePrinterRegValueById(&s(), storage::kValuePmFlag, &c.stored_flags, sizeof(c.stored_flags), 0);
    SheetHost host(fixture_, kMainPageTemplate, MainSteps());
    ASSERT_NE(host.page(), nullptr) << c.name;
    EXPECT_EQ(fixture_.shared().silent_state, 0) << c.name;
    fixture_.shared().silent_state = c.silent;
    if (c.disable_box) EnableWindow(host.item(kSilentCheck), FALSE);
    s().SetJobOptionBits(64 | 128 | 2048, 0);
    s().SetJobOptionBits(c.job_options, 1);
    EXPECT_TRUE(host.Press(PSBTN_OK)) << c.name;
    EXPECT_EQ(host.applies(), 1) << c.name;
    for (int view : {1, 2}) {
      uint32_t silent = 99;
      DWORD size = sizeof(silent);
      ASSERT_EQ(settings::ReadPrinterRegValueById(&s(), storage::kValueSilent, &silent, &size, view), 1) << c.name;
      EXPECT_EQ(silent, c.silent) << c.name << " view " << view;
      uint16_t flags = 0;
      size = sizeof(flags);
      ASSERT_EQ(settings::ReadPrinterRegValueById(&s(), storage::kValuePmFlag, &flags, &size, view), 1) << c.name;
      EXPECT_EQ(flags, c.written_flags) << c.name << " view " << view;
    }
  }
}

TEST_F(MainPageTest, CancelRestoresTheRecord) {
  settings::DriverDevMode before;
  std::memcpy(&before, &fixture_.record(), sizeof(before));
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  s().SetModeVariant(2);
  host.Click(kColourRadio);
  host.Click(kJobOption128Check);
  EXPECT_TRUE(host.Press(PSBTN_CANCEL));
  EXPECT_EQ(host.resets(), 1);
  EXPECT_EQ(host.applies(), 0);
  EXPECT_EQ(std::memcmp(&before, &fixture_.record(), sizeof(before)), 0);
}

TEST_F(MainPageTest, ChoosingTheCurrentModelPresetOnlyNotifies) {
  // The sample model's list preset: name 3 on the sheet media, black variant.
  s().SetDefaultSource(7);  // the sheet feeder
  s().ChangePrintModeType(0);
  s().ApplyPresetRecord(2);
  s().SetPresetKind1();
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  HWND list = host.item(kPresetList);
  const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  std::string listed;
  LRESULT current = CB_ERR;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT data = SendMessageA(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    listed += std::to_string(data) + " ";
    if (data == s().GetPresetId()) current = i;
  }
  ASSERT_NE(current, CB_ERR) << "listed: " << listed << " preset " << s().GetPresetId() << " kind "
                             << s().GetPresetKind() << " type " << s().GetPrintModeType() << " variant " << s().GetModeVariant()
                             << " media " << s().GetCurrentMediaIndex() << " combo "
                             << SendMessageA(host.item(kMainMediaCombo), CB_GETITEMDATA,
                                             SendMessageA(host.item(kMainMediaCombo), CB_GETCURSEL, 0, 0), 0)
                             << " allows " << s().PresetAllowsSource(2, s().GetDefaultSource()) << " source "
                             << s().GetDefaultSource();
  ASSERT_TRUE(s().IsPresetKind1Or4());
  settings::DriverDevMode before;
  std::memcpy(&before, &fixture_.record(), sizeof(before));
  EXPECT_FALSE(host.ApplyEnabled());
  host.Choose(kPresetList, static_cast<int>(current), CBN_SELENDOK);
  EXPECT_TRUE(host.ApplyEnabled());
  EXPECT_EQ(std::memcmp(&before, &fixture_.record(), sizeof(before)), 0);
}

class MainPageToneModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  PageFixture fixture_{ToneModel()};
};

TEST_F(MainPageToneModelTest, SecondVariantOnAMediaWithoutItReturnsToThePreviousItem) {
  JobSettings& s = fixture_.settings();
  s.ChangePrintModeType(1);  // the slider presets of the first media have no second variant
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  ASSERT_EQ(SendMessageA(host.item(kModeVariantCombo), CB_GETCOUNT, 0, 0), 3);
  const uint32_t offered = s.GetPrintModeType() == 1 ? GetMediaPresetFlags(s) : GetMediaVariantFlags(s);
  ASSERT_EQ(offered & 4, 0u) << "the sample media offers the second variant";
  const int32_t variant = s.GetModeVariant();
  const LRESULT item = SendMessageA(host.item(kModeVariantCombo), CB_GETCURSEL, 0, 0);
  host.Choose(kModeVariantCombo, 1);  // data 2
  EXPECT_EQ(SendMessageA(host.item(kModeVariantCombo), CB_GETCURSEL, 0, 0), item);
  EXPECT_EQ(s.GetModeVariant(), variant);
  EXPECT_FALSE(host.ApplyEnabled());
}

}  // namespace
}  // namespace kalimu::pages
