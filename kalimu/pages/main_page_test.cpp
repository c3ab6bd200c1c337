// The main page on a real property sheet: the ink level polling, the preset, variant and colour
// choices, and what Apply writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kalimu/dialogs/user_settings_entries.h"
#include "kalimu/pages/gdi_scope.h"
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
  s().SetNoBidiFlagBits(8, 1);  // the page's own start-up does not poll
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  const testkit::Bytes reply = testkit::TextReply("ST:01;");
  settings::WritePrinterRegValueById(&s(), storage::kValueRxStatus, reply.data(), static_cast<DWORD>(reply.size()), 0);
  testkit::MessageBoxWatcher boxes;
  for (const test::RequestFlagCase& c : test::kRequestFlagCases) {
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

// In the list mode a colour change looks for the print mode by the current mode's own media name
// value (its value at +4), which need not be the media record's name value.
TEST(MainPageModeListTest, ColourChangeKeepsTheModesOwnNameValue) {
  testkit::ModelDescription model = InkModel(6, false);
  model.media[0].name_value = 9;
  model.modes[0].value4 = 7;
  model.modes[0].value44 = model.modes[0].id;  // the first mode is its own black alternative
  model.modes[1].value4 = 9;
  PageFixture fixture(model);
  ASSERT_TRUE(fixture.ok()) << fixture.error();
  JobSettings& s = fixture.settings();
  SheetHost host(fixture, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  s.ChangePrintModeType(0);
  s.SetPresetKind5();
  s.SetDefaultSource(model.sources[0].id);
  s.SetMediaId(model.modes[0].media_id);
  s.SetModeId(model.modes[0].id);
  s.SetModeVariant(1);
  ASSERT_EQ(s.GetCurrentModeIndex(), 0);
  host.Click(kBlackRadio);
  EXPECT_EQ(s.GetModeVariant(), 0);
  EXPECT_EQ(s.GetModeId(), model.modes[0].id);
  EXPECT_EQ(fixture.record().SettingsRecord.ModeId, model.modes[0].id);
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

// ---- Presets chosen by name ------------------------------------------------------------------

class AgreeingPrompts : public dialogs::SavePrompts {
 public:
  bool ConfirmOverwrite() override { return true; }
  void ShowStoreFull() override {}
};

// The user preset of the record is found in the list by its name: the item that holds exactly
// that name wins over others that only begin with it; a name that is only ever found as the
// beginning of another means custom settings; a name not listed shows the custom entry.
TEST_F(MainPageTest, UserPresetItemIsChosenByItsWholeName) {
  struct Case {
    const wchar_t* current;
    const wchar_t* shown;
    int16_t kind_after;
  };
  const Case cases[] = {
      {L"Mine", L"Mine", 2},
      {L"Mine 2", L"Mine 2", 2},
      {L"Min", L"Custom Settings", 5},
      {L"Gone", L"Custom Settings", 2},
  };
  AgreeingPrompts prompts;
  uint32_t index = 0;
  // The list holds users from the last to the first: "Photo 2" comes before "Photo".
  ASSERT_EQ(dialogs::SaveUserSettingsEntry(s(), L"Mine", nullptr, prompts, &index), 1);
  ASSERT_EQ(dialogs::SaveUserSettingsEntry(s(), L"Mine 2", nullptr, prompts, &index), 1);
  s().SetPresetKind5();
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  HWND list = host.item(kPresetList);
  for (const Case& c : cases) {
    s().SetPresetName(c.current);
    s().SetPresetKind2();
    RefreshPresetList(host.page(), fixture_.param(), 0);
    wchar_t shown[64] = {};
    const LRESULT at = SendMessageW(list, CB_GETCURSEL, 0, 0);
    ASSERT_NE(at, CB_ERR);
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, c.shown) << c.current;
    EXPECT_EQ(s().GetPresetKind(), c.kind_after) << c.current;
  }
}

// ---- The mode picture --------------------------------------------------------------------------

// Every pixel of two bitmaps alike.
bool SamePixels(HDC dc, HBITMAP a, HBITMAP b, int width, int height) {
  UniqueMemoryDc left(CreateCompatibleDC(dc));
  UniqueMemoryDc right(CreateCompatibleDC(dc));
  Selection in_left(left.get(), a);
  Selection in_right(right.get(), b);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (GetPixel(left.get(), x, y) != GetPixel(right.get(), x, y)) return false;
    }
  }
  return true;
}

TEST_F(MainPageTest, PicturesLoadInTheirOwnColoursAndLeaveTheDevicePaletteAlone) {
  struct Case {
    int id;
    int bits;  // of the resource
  };
  WindowDc screen(nullptr);
  for (const Case& c : {Case{7422, 8}, Case{7428, 8}, Case{7416, 24}}) {
    HGDIOBJ palette_before = GetCurrentObject(screen.get(), OBJ_PAL);
    UniqueGdiObject loaded(LoadPictureBitmap(fixture_.module(), c.id, screen.get()));
    ASSERT_TRUE(loaded) << c.id;
    EXPECT_EQ(GetCurrentObject(screen.get(), OBJ_PAL), palette_before) << c.id;
    UniqueGdiObject reference(LoadImageA(fixture_.module(), MAKEINTRESOURCEA(c.id), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION));
    ASSERT_TRUE(reference) << c.id;
    DIBSECTION section = {};
    ASSERT_NE(GetObjectA(reference.get(), sizeof(section), &section), 0);
    EXPECT_EQ(section.dsBmih.biBitCount, c.bits) << c.id;
    BITMAP size = {};
    GetObjectA(loaded.get(), sizeof(size), &size);
    EXPECT_EQ(size.bmWidth, section.dsBm.bmWidth);
    EXPECT_EQ(size.bmHeight, section.dsBm.bmHeight);
    EXPECT_TRUE(SamePixels(screen.get(), static_cast<HBITMAP>(loaded.get()), static_cast<HBITMAP>(reference.get()),
                           size.bmWidth, size.bmHeight))
        << c.id;
  }
  EXPECT_EQ(LoadPictureBitmap(fixture_.module(), 6999, screen.get()), nullptr);
  EXPECT_EQ(LoadPictureBitmap(nullptr, 7422, screen.get()), nullptr);
  UniqueGdiObject without_dc(LoadPictureBitmap(fixture_.module(), 7422, nullptr));
  EXPECT_TRUE(without_dc);
}

// A model whose modes allow the mode option (header word 24 bit 0x2000000, mode bit 0x100).
testkit::ModelDescription ModeOptionModel() {
  testkit::ModelDescription model = InkModel(6, false);
  model.header.flags24 |= 0x2000000u;
  for (auto& mode : model.modes) mode.flags24 |= 0x100u;
  return model;
}

class MainPagePictureTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  JobSettings& s() { return fixture_.settings(); }
  PageFixture fixture_{ModeOptionModel()};
};

// The mode picture drawn into a button of the page's size: with the tone option the picture
// sits at the left and the tone mark at the right (its key colour left out); otherwise the picture
// is centred and there is no mark. Either way the preview's paper picture makes the sheet's
// palette and the preview is drawn again.
TEST_F(MainPagePictureTest, ModePictureWithAndWithoutTheToneMark) {
  struct Case {
    const char* name;
    uint32_t correction;
    bool tone_mark;
  };
  SheetHost host(fixture_, kMainPageTemplate, MainSteps());
  ASSERT_NE(host.page(), nullptr);
  RECT button = {};
  GetClientRect(host.item(kModePicture), &button);
  const int width = button.right;
  const int height = button.bottom;
  WindowDc screen(host.page());
  UniqueGdiObject picture(LoadPictureBitmap(fixture_.module(), 7422, screen.get()));
  UniqueGdiObject mark(LoadPictureBitmap(fixture_.module(), 1099, screen.get()));
  ASSERT_TRUE(picture);
  ASSERT_TRUE(mark);
  UniqueMemoryDc source(CreateCompatibleDC(screen.get()));
  constexpr COLORREF kBackground = RGB(1, 2, 3);
  for (const Case& c : {Case{"tone", 6, true}, Case{"no tone", 0, false}}) {
    s().SetModeVariant(1);
    s().SetColorMode(2);
    s().SetCorrectionMode(c.correction);
    ASSERT_EQ(s().CanUseToneOption(), c.tone_mark ? 1 : 0) << c.name;
    fixture_.shared().mode_picture_id = 7422;
    if (fixture_.shared().preview_palette != nullptr) DeleteObject(fixture_.shared().preview_palette);
    fixture_.shared().preview_palette = nullptr;
    ValidateRect(host.item(kLayoutPreview), nullptr);

    UniqueMemoryDc target(CreateCompatibleDC(screen.get()));
    UniqueGdiObject canvas(CreateCompatibleBitmap(screen.get(), width, height));
    Selection on_canvas(target.get(), canvas.get());
    UniqueGdiObject fill(CreateSolidBrush(kBackground));
    FillRect(target.get(), &button, static_cast<HBRUSH>(fill.get()));
    DRAWITEMSTRUCT item = {ODT_BUTTON, kModePicture, 0, ODA_DRAWENTIRE, 0, host.item(kModePicture), target.get(),
                           button, 0};
    DrawMainPageItem(host.page(), &item, fixture_.param());

    BITMAP p = {};
    BITMAP m = {};
    GetObjectA(picture.get(), sizeof(p), &p);
    GetObjectA(mark.get(), sizeof(m), &m);
    const int picture_x = c.tone_mark ? 0 : (width - p.bmWidth) / 2;
    const int picture_y = (height - p.bmHeight) / 2;
    const int mark_x = width - m.bmWidth;
    const int mark_y = (height - m.bmHeight) / 2;
    {
      Selection in_source(source.get(), picture.get());
      // Inside the sample landscape, and a key pixel of the corner, left out.
      EXPECT_EQ(GetPixel(target.get(), picture_x + 20, picture_y + 20), GetPixel(source.get(), 20, 20)) << c.name;
      EXPECT_EQ(GetPixel(target.get(), picture_x, picture_y), kBackground) << c.name;
    }
    {
      Selection in_source(source.get(), mark.get());
      const COLORREF centre = GetPixel(source.get(), m.bmWidth / 2, m.bmHeight / 2);
      if (c.tone_mark) {
        EXPECT_EQ(GetPixel(target.get(), mark_x + m.bmWidth / 2, mark_y + m.bmHeight / 2), centre) << c.name;
        EXPECT_EQ(GetPixel(target.get(), mark_x, mark_y), kBackground) << c.name;  // the mark's key
      } else {
        EXPECT_EQ(GetPixel(target.get(), width - 1, height / 2), kBackground) << c.name;
      }
    }
    EXPECT_NE(fixture_.shared().preview_palette, nullptr) << c.name;
    EXPECT_TRUE(GetUpdateRect(host.item(kLayoutPreview), nullptr, FALSE)) << c.name;
  }
  // No picture: nothing is drawn and the preview is left alone.
  fixture_.shared().mode_picture_id = -1;
  ValidateRect(host.item(kLayoutPreview), nullptr);
  DRAWITEMSTRUCT item = {ODT_BUTTON, kModePicture, 0, ODA_DRAWENTIRE, 0, host.item(kModePicture), screen.get(),
                         button, 0};
  DrawMainPageItem(host.page(), &item, fixture_.param());
  EXPECT_FALSE(GetUpdateRect(host.item(kLayoutPreview), nullptr, FALSE));
}

}  // namespace
}  // namespace kalimu::pages
