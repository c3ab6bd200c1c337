// The print-mode controls and the colour-management group on the real dialog.
#include <gtest/gtest.h>

#include <string>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_test_support.h"
#include "kalimu/pages/page_helpers.h"
#include "testkit/kalimu/icc_profile_builder.h"

namespace kalimu::dialogs {
namespace {

using test::AdvancedDialogTest;
using test::ModeColumns;

class PrintModeTest : public AdvancedDialogTest {
 protected:
  void OpenWith(const ModeColumns& columns, int32_t colour_mode = 0, bool toning = false) {
    Open(toning, columns);
    s().SetModeVariant(1);
    s().SetColorMode(colour_mode);
    ASSERT_NE(Show(), nullptr);
  }
  std::vector<LPARAM> Data(int combo) const {
    std::vector<LPARAM> out;
    const LRESULT count = SendMessageA(GetDlgItem(dialog_, combo), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) out.push_back(SendMessageA(GetDlgItem(dialog_, combo), CB_GETITEMDATA, i, 0));
    return out;
  }
  LPARAM SelectedData(int combo) const {
    const LRESULT at = SendMessageA(GetDlgItem(dialog_, combo), CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? -1 : SendMessageA(GetDlgItem(dialog_, combo), CB_GETITEMDATA, at, 0);
  }
  bool Checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
};

TEST_F(PrintModeTest, RenderMethodsFromTheModeReplaceAMethodNotListed) {
  ModeColumns columns;
  columns.render_methods = 8 | 1;
  OpenWith(columns);
  EXPECT_EQ(Data(2134), (std::vector<LPARAM>{0, 3}));
  s().SetRenderMethod(2);
  advanced::FillRenderMethodCombo(dialog_, fixture_->param());
  EXPECT_EQ(s().GetRenderMethod(), 3);
  EXPECT_EQ(SelectedData(2134), 3);
  ASSERT_TRUE(Choose(2134, 0));
  EXPECT_EQ(s().GetRenderMethod(), 0);
}

TEST_F(PrintModeTest, NoRenderMethodAllowedKeepsTheStoredOne) {
  ModeColumns columns;
  columns.render_methods = 0;
  OpenWith(columns);
  s().SetRenderMethod(2);
  advanced::FillRenderMethodCombo(dialog_, fixture_->param());
  EXPECT_TRUE(Data(2134).empty());
  EXPECT_EQ(SelectedData(2134), -1);
  EXPECT_EQ(s().GetRenderMethod(), 2);
}

TEST_F(PrintModeTest, RadiosFollowTheAllowedBitsAndTheRenderMethod) {
  struct Case {
    uint16_t radios;
    int32_t method;
    bool icm, colour, photo, plain;
  };
  // Colour mode 3 keeps radio 2112 checked and allowed: nothing moves the check.
  const Case cases[] = {
      {1 | 2 | 64 | 4, 0, true, true, true, true},
      {64 | 4, 1, false, false, false, true},  // ICM needs bit 16 with method 1
      {64 | 16 | 2, 1, true, false, true, true},
      {64, 3, false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radios);
    ModeColumns columns;
    columns.radios = c.radios;
    columns.render_methods = 15;
    OpenWith(columns, 3);
    s().SetRenderMethod(c.method);
    advanced::ApplyColorModeAllowance(dialog_, fixture_->param(), false);
    EXPECT_EQ(Enabled(2109), c.icm);
    EXPECT_EQ(Enabled(2110), c.colour);
    EXPECT_EQ(Enabled(2111), c.photo);
    EXPECT_EQ(Enabled(2112), c.plain);
    Close();
  }
}

TEST_F(PrintModeTest, DisallowingIcmResetsColourManagementEvenWhenUnchecked) {
  ModeColumns columns;
  columns.radios = 1 | 2 | 64 | 4;  // ICM only with render method 0
  OpenWith(columns, 2);
  s().SetRenderMethod(0);
  s().SetColorManagementMode(3);
  ASSERT_FALSE(Checked(2109));
  ASSERT_TRUE(Choose(2134, 1));
  EXPECT_FALSE(Enabled(2109));
  EXPECT_EQ(s().GetColorManagementMode(), 0u);
  EXPECT_EQ(s().GetColorMode(), 2);  // the photo radio was allowed: the colour mode stays
}

TEST_F(PrintModeTest, ColourModeRadiosSetTheirModes) {
  struct Case {
    int radio;
    int32_t mode;
    bool correction_shown;  // combo 2102
  };
  const Case cases[] = {{2111, 2, true}, {2112, 3, false}, {2110, 0, false}, {2109, 1, false}};
  OpenWith(ModeColumns{}, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radio);
    Click(c.radio);
    EXPECT_EQ(s().GetColorMode(), c.mode);
    EXPECT_TRUE(Checked(c.radio));
    EXPECT_EQ(Visible(2102), c.correction_shown);
  }
  EXPECT_TRUE(Visible(8161));  // colour mode 1 shows the management group
  EXPECT_EQ(s().GetColorManagementMode(), 2u);
}

TEST_F(PrintModeTest, QualityPairsCheckTogglesBack) {
  OpenWith(ModeColumns{});
  for (uint32_t level : {0u, 1u, 2u}) {
    SCOPED_TRACE(level);
    s().SetQualityLevel(level);
    CheckDlgButton(dialog_, 2189, BST_CHECKED);
    Command(2189, BN_CLICKED);
    EXPECT_EQ(s().GetQualityLevel(), level == 0 ? 5u : level == 1 ? 4u : 7u);
    CheckDlgButton(dialog_, 2189, BST_UNCHECKED);
    Command(2189, BN_CLICKED);
    EXPECT_EQ(s().GetQualityLevel(), level);
  }
  shared().user_entry_applied = 1;
  s().SetQualityLevel(3);
  Click(2189);
  EXPECT_EQ(s().GetQualityLevel(), 3u);
  EXPECT_EQ(shared().user_entry_applied, 1);  // this check leaves the user entry
}

TEST_F(PrintModeTest, TheCurrentMediaChangesNothingAndVariantTwoNeedsItsFlag) {
  OpenWith(ModeColumns{}, 0, true);
  const uint32_t media = s().GetMediaId();
  shared().user_entry_applied = 1;
  ASSERT_TRUE(Choose(2125, s().GetCurrentMediaIndex()));
  EXPECT_EQ(s().GetMediaId(), media);
  EXPECT_EQ(shared().user_entry_applied, 0);
  // A media whose modes offer variant 0 only refuses variant 2 and keeps the variant.
  s().SetMediaId(102);
  ASSERT_EQ(pages::GetMediaVariantFlags(s()), 1u);
  const int32_t variant = s().GetModeVariant();
  ASSERT_TRUE(Choose(8120, 2));
  EXPECT_EQ(s().GetModeVariant(), variant);
  EXPECT_EQ(SelectedData(8120), variant);
}

TEST_F(PrintModeTest, ModeOptionChecksByRule) {
  struct Case {
    int16_t r, v;
    bool checked_2130, enabled_2130, checked_2178, enabled_2178, shown_2178;
  };
  const Case cases[] = {
      {1, 0, true, false, true, true, true},   // r 1: checked and fixed; v 0: 2178 on and free
      {2, 2, false, false, false, true, true},
      {3, 1, false, true, true, false, true},   // v 1: shown checked, fixed
      {0, 5, true, true, false, true, false},  // v 5: hidden unchecked
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.r << " " << c.v);
    ModeColumns columns;
    columns.rule_r = c.r;
    columns.rule_v = c.v;
    OpenWith(columns);
    advanced::UpdateModeOptionChecks(dialog_, fixture_->param(), 1);
    if (s().IsModeOption4Active() || s().ModeAllowsSpecialFeed(s().GetCurrentModeIndex())) {
      GTEST_FAIL() << "the sample mode has option 4 or the special feed";
    }
    EXPECT_EQ(Checked(2130), c.checked_2130);
    EXPECT_EQ(Enabled(2130), c.enabled_2130);
    EXPECT_EQ(Checked(2178), c.checked_2178);
    if (c.shown_2178) {
      EXPECT_EQ(Enabled(2178), c.enabled_2178);
    }
    Close();
  }
}

TEST_F(PrintModeTest, RenderOptionsOfTheMode) {
  ModeColumns columns;
  columns.render_options = 8 | 2 | 4 | 64;
  OpenWith(columns);
  s().SetModeOptions(0x800);
  advanced::FillRenderOptionCombo(dialog_, fixture_->param(), 0);
  EXPECT_EQ(Data(2193), (std::vector<LPARAM>{3, 1, 2}));
  EXPECT_EQ(SelectedData(2193), 2);  // pre-selected by mode-option bit 0x800
  ASSERT_TRUE(Choose(2193, 1));
  advanced::FillRenderOptionCombo(dialog_, fixture_->param(), 16);
  EXPECT_EQ(SelectedData(2193), 2);  // the first item whose default bit is allowed
}

TEST_F(PrintModeTest, NoRenderOptionKeepsTheModeOptions) {
  ModeColumns columns;
  columns.render_options = 0;
  OpenWith(columns);
  s().SetModeOptions(0x400);
  advanced::FillRenderOptionCombo(dialog_, fixture_->param(), 0);
  EXPECT_TRUE(Data(2193).empty());
  EXPECT_TRUE(Enabled(2193));
  EXPECT_EQ(s().GetModeOptions(), 0x400u);
}

// ---- Colour management -----------------------------------------------------------------------------

class ManagementTest : public PrintModeTest {
 protected:
  std::wstring ItemText(int combo, int index) const {
    wchar_t text[260] = {};
    SendMessageW(GetDlgItem(dialog_, combo), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
  }
  int Count(int combo) const { return static_cast<int>(SendMessageA(GetDlgItem(dialog_, combo), CB_GETCOUNT, 0, 0)); }
};

TEST_F(ManagementTest, OtherColourModesHideTheGroup) {
  OpenWith(ModeColumns{}, 0);
  for (int id : {8160, 8161, 8166, 8168, 8172, 8173, 8191}) EXPECT_FALSE(Visible(id)) << id;
}

TEST_F(ManagementTest, StandardSourceProfilesInTheirOrder) {
  testkit::InstalledProfiles files;
  ASSERT_TRUE(files.InstallStandardRgbProfiles());
  Open(false);
  s().SetModeVariant(1);
  s().SetColorMode(1);
  s().SetColorManagementMode(2);
  s().SetProfileFlagBits(4, 0);
  s().SetProfileFlagBits(8, 1);
  ASSERT_NE(Show(), nullptr);
  ASSERT_GE(Count(8168), 2);
  // sRGB (when the system has it) comes first, then Adobe RGB, then ColorMatch RGB.
  const int n = Count(8168);
  EXPECT_NE(ItemText(8168, n - 1).find(L"ColorMatch"), std::wstring::npos) << n;
  EXPECT_NE(ItemText(8168, n - 2).find(L"Adobe"), std::wstring::npos);
  EXPECT_TRUE(Enabled(8168));
  EXPECT_FALSE(Visible(8177));  // pair 2 only in mode 3
  // Without a printer profile the pairs offer no intent.
  EXPECT_EQ(Count(8170), 0);
  EXPECT_FALSE(Enabled(8170));
}

TEST_F(ManagementTest, ChoosingNoPrinterProfileKeepsTheStoredOne) {
  OpenWith(ModeColumns{}, 1);
  s().SetColorManagementMode(3);
  s().SetProfileFlagBits(8, 1);
  s().SetPrinterProfile1(L"Kept.icc");
  wchar_t before[MAX_PATH] = {};
  s().GetPrinterProfile1(before, MAX_PATH);
  SendMessageA(item(8172), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  Command(8172, CBN_SELCHANGE);  // nothing selected: no choice
  wchar_t after[MAX_PATH] = {};
  s().GetPrinterProfile1(after, MAX_PATH);
  EXPECT_STREQ(after, before);
}

}  // namespace
}  // namespace kalimu::dialogs

namespace kalimu::dialogs {
namespace {

constexpr wchar_t kForMedia[] = L"Kalimu Advanced Test Media.icc";
constexpr wchar_t kGeneric[] = L"Kalimu Advanced Test Generic.icc";

class PrinterProfileTest : public ManagementTest {
 protected:
  void SetUp() override {
    Open(false);
    int32_t media_id = 0;
    ASSERT_TRUE(s().GetMediaTypeId(0, &media_id));
    s().SetMediaId(static_cast<uint32_t>(media_id));
    uint8_t codes[16] = {};
    const uint32_t count = s().GetSelectedInkCodes(codes, sizeof(codes));
    const std::string driver = s().GetDriverName();
    ASSERT_TRUE(files_.Install(kForMedia, testkit::PrinterProfile("For the media", {driver},
                                                                  {static_cast<uint32_t>(media_id)},
                                                                  std::vector<uint8_t>(codes, codes + count))));
    ASSERT_TRUE(files_.Install(kGeneric, testkit::PrinterProfile("Any media", {driver}, {}, {})));
    s().SetModeVariant(1);
    s().SetColorMode(1);
    s().SetColorManagementMode(3);
    s().SetProfileFlagBits(4 | 64, 0);
    s().SetProfileFlagBits(8, 1);
    ASSERT_NE(Show(), nullptr);
    // The enumeration of this prefix associates nothing with the printer: mark ours as a user's
    // system would, then fill the group again.
    s().GetPrinterProfileCount(1);
    for (const wchar_t* name : {kForMedia, kGeneric}) {
      ASSERT_EQ(s().SetPrinterProfileFlags(s().FindPrinterProfile(name), 1, 1, 0), 1);
    }
    advanced::UpdateColorManagementGroup(dialog_, fixture_->param());
  }
  std::wstring Stored() {
    wchar_t name[MAX_PATH] = {};
    s().GetPrinterProfile1(name, MAX_PATH);
    return name;
  }
  testkit::InstalledProfiles files_;
};

TEST_F(PrinterProfileTest, DriverProfilesStandBehindTheAutomaticItem) {
  // Both of the driver's profiles make the automatic choice possible: neither is listed by name.
  const uint32_t n = s().GetPrinterProfileCount(0);
  ASSERT_EQ(Count(8172), 1);
  EXPECT_EQ(SendMessageA(item(8172), CB_GETITEMDATA, 0, 0), static_cast<LPARAM>(n));
  wchar_t automatic[128] = {};
  LoadStringW(fixture_->module(), 1774, automatic, 128);
  EXPECT_EQ(ItemText(8172, 0), automatic);
  ASSERT_TRUE(Choose(8172, static_cast<LPARAM>(n)));
  EXPECT_EQ(Stored(), kForMedia);
  EXPECT_TRUE(s().TestProfileFlagBits(64));
  EXPECT_TRUE(Enabled(8191));  // the chosen profile's description is shown
  EXPECT_EQ(Text(8191), "For the media");
}

TEST_F(PrinterProfileTest, NamedGenericProfileOffersOneIntent) {
  CheckDlgButton(dialog_, 8173, BST_CHECKED);  // list every profile
  Command(8173, BN_CLICKED);
  ASSERT_TRUE(s().TestProfileFlagBits(4));
  const uint32_t generic = s().FindPrinterProfile(kGeneric);
  ASSERT_TRUE(Choose(8172, static_cast<LPARAM>(generic)));
  EXPECT_EQ(Stored(), kGeneric);
  EXPECT_FALSE(s().TestProfileFlagBits(64));
  ASSERT_EQ(Count(8170), 1);
  wchar_t relative[128] = {};
  LoadStringW(fixture_->module(), 1771, relative, 128);
  EXPECT_EQ(ItemText(8170, 0), relative);
  EXPECT_EQ(SendMessageA(item(8170), CB_GETITEMDATA, 0, 0), 2);
  EXPECT_FALSE(Enabled(8191));
}

}  // namespace
}  // namespace kalimu::dialogs
