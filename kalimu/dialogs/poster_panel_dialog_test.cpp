// The poster panel dialog driven by messages: the joining options at opening and as the user
// changes them, panel clicks and the mask that may never leave every panel out, the pixels of
// the drawn preview, OK and Cancel, and the picture's tiles as a table.
#include "kalimu/dialogs/poster_panel_dialog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/dialogs/dialog_services.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/pages/tooltips.h"

namespace kalimu::dialogs {
namespace {

using pages::PosterPanels;
using pages::PreviewLayout;
using pages::test::HostedPage;
using pages::test::PageFixture;
using test::Checked;
using test::Click;
using test::Enabled;
using test::ModalRun;

constexpr uint32_t kJoinBits = kPosterCutLineBit | kPosterOverlapBit | kPosterJoinBit;

TEST(PosterPanelMask, AClickNeverLeavesEveryPanelOut) {
  struct Case {
    const char* name;
    uint32_t mask;
    int panel, count;
    uint32_t after;
  };
  const Case cases[] = {
      {"the defaults print every panel", 0, 0, 4, 0x1},
      {"a left-out panel comes back", 0x5, 2, 4, 0x1},
      {"panels 1-3 out: panel 4 is refused", 0x7, 3, 4, 0x7},
      {"two panels: the second is refused when the first is out", 0x1, 1, 2, 0x1},
      {"two panels: the first comes back", 0x1, 0, 2, 0x0},
      {"nine panels, the last one refused", 0x1FE, 0, 9, 0x1FE},
      {"sixteen panels, the last one refused", 0x7FFF, 15, 16, 0x7FFF},
      {"sixteen panels, one of many", 0x7FFE, 15, 16, 0xFFFE},
      {"bits of a larger poster do not count as panels", 0xF0 | 0x7, 3, 4, 0xF0 | 0x7},
      {"a panel past the count changes nothing", 0x0, 4, 4, 0x0},
      {"a negative panel changes nothing", 0x2, -1, 4, 0x2},
  };
  for (const Case& c : cases) EXPECT_EQ(TogglePosterPanel(c.mask, c.panel, c.count), c.after) << c.name;
}

TEST(PosterPanelTiles, PictureCutIntoSharesOrOverlappingTiles) {
  struct Case {
    const char* name;
    int width, height;
    PosterPanels panels;
    int panel;
    bool overlap;
    RECT tile;  // x, y, width, height
  };
  const Case cases[] = {
      {"2 x 2, last share", 84, 60, {4, 2, 2, false}, 3, false, {42, 30, 42, 30}},
      {"2 x 2 overlapping: a tenth wider, moved in", 84, 60, {4, 2, 2, false}, 3, true, {40, 29, 44, 31}},
      {"2 x 2 overlapping, first tile from 0", 84, 60, {4, 2, 2, false}, 0, true, {0, 0, 44, 31}},
      {"3 x 3, middle share", 84, 60, {9, 3, 3, false}, 4, false, {28, 20, 28, 20}},
      {"side by side: the whole height", 84, 60, {2, 2, 1, false}, 1, true, {40, 0, 44, 60}},
      {"one above the other: the whole width", 60, 84, {2, 1, 2, false}, 1, false, {0, 42, 60, 42}},
      {"no grid: the whole picture", 60, 84, {0, 0, 0, false}, 0, false, {0, 0, 60, 84}},
  };
  for (const Case& c : cases) {
    const RECT got = PosterTileRect(c.width, c.height, c.panels, c.panel, c.overlap);
    EXPECT_EQ(got.left, c.tile.left) << c.name;
    EXPECT_EQ(got.top, c.tile.top) << c.name;
    EXPECT_EQ(got.right, c.tile.right) << c.name;
    EXPECT_EQ(got.bottom, c.tile.bottom) << c.name;
  }
}

class PosterPanelDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ok()) << fixture_.error();
    page_ = std::make_unique<HostedPage>(fixture_, 902);
    s().SetOrientation(DMORIENT_PORTRAIT);
    s().SetMarginOptions(0);
    s().SetLayoutOptions(0);
    s().SetPaperOptions(0);
    Paper(2000, 1000);
    s().SetPagesPerSheet(-1);
    s().SetPosterPanelMask(0);
    s().SetPosterOptions(0);
  }
  void TearDown() override { pages::RemovePageToolTipHooks(); }

  settings::JobSettings& s() { return fixture_.settings(); }
  // The job's paper and the output paper: the custom size in 0.1 mm.
  void Paper(int32_t width, int32_t length) {
    s().SetCustomPaperUnit(1);
    s().SetCustomPaperSize({width, length});
    s().SetPaperSize(256);
    s().SetOutputPaperSize(256);
    s().RecomputePageGeometry();
  }
  INT_PTR Run(ModalRun::Script script) {
    return ModalRun::Run(fixture_.module(), page_->window(), &PosterPanelDlgProc, kPosterPanelDialog,
                         &fixture_.param(), std::move(script));
  }
  uint32_t Options() { return s().GetPosterOptions(); }

  // The preview's geometry as the dialog computes it, in the control's client coordinates.
  PosterPanels Geometry(HWND dialog, PreviewLayout* layout) {
    RECT client{};
    GetClientRect(GetDlgItem(dialog, kPosterPreview), &client);
    return pages::FillPosterPreviewLayout(fixture_.param(), client, layout);
  }
  // The screen point of a client point of the preview.
  static POINT OnScreen(HWND dialog, POINT at) {
    ClientToScreen(GetDlgItem(dialog, kPosterPreview), &at);
    return at;
  }
  // The dialog painted as the system paints it (WM_PAINT), read back from the control.
  struct Picture {
    explicit Picture(HWND dialog) : control(GetDlgItem(dialog, kPosterPreview)) {
      RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      dc = GetDC(control);
    }
    ~Picture() { ReleaseDC(control, dc); }
    COLORREF at(LONG x, LONG y) const { return GetPixel(dc, x, y); }
    bool Black(LONG x, LONG y) const { return at(x, y) == RGB(0, 0, 0); }
    // How many pixels of the column (x, top..bottom-1) or the row are black.
    int BlackInColumn(LONG x, LONG top, LONG bottom) const {
      int n = 0;
      for (LONG y = top; y < bottom; ++y) n += Black(x, y) ? 1 : 0;
      return n;
    }
    int BlackInRow(LONG y, LONG left, LONG right) const {
      int n = 0;
      for (LONG x = left; x < right; ++x) n += Black(x, y) ? 1 : 0;
      return n;
    }
    // The top left corner of the blue number inside a cell, relative to the cell; (-1, -1) when
    // none. Blue text, smoothed or not, on white or grey: red equals green, blue well above them
    // (the picture has no such pixel). A locale whose character set has no font in the prefix
    // draws a box for each digit: the box stands where the digit would.
    POINT NumberCorner(const RECT& cell) const {
      POINT corner{-1, -1};
      for (LONG y = cell.top; y < cell.bottom; ++y) {
        for (LONG x = cell.left; x < cell.right; ++x) {
          const COLORREF c = at(x, y);
          if (GetRValue(c) != GetGValue(c) || GetBValue(c) < GetRValue(c) + 40) continue;
          if (corner.y < 0) corner.y = y - cell.top;
          if (corner.x < 0 || x - cell.left < corner.x) corner.x = x - cell.left;
        }
      }
      return corner;
    }
    HWND control;
    HDC dc;
  };

  PageFixture fixture_{pages::test::InkModel(8, true)};
  std::unique_ptr<HostedPage> page_;
};

TEST_F(PosterPanelDialog, OpeningShowsTheJoiningStyle) {
  struct Case {
    const char* name;
    uint32_t stored;
    bool checked, radios_enabled, cut_lines, overlap;
    uint32_t after_open;
  };
  const Case cases[] = {
      {"no joining", 0, false, false, false, false, kPosterDialogOpenBit},
      {"a stray overlap bit is cleared", kPosterOverlapBit, false, false, false, false, kPosterDialogOpenBit},
      {"cut lines", kPosterCutLineBit, true, true, true, false, kPosterCutLineBit | kPosterJoinBit | kPosterDialogOpenBit},
      {"joined, overlap", kPosterJoinBit, true, true, false, true, kPosterOverlapBit | kPosterJoinBit | kPosterDialogOpenBit},
      {"overlap as stored by OK", kPosterOverlapBit | kPosterJoinBit, true, true, false, true,
       kPosterOverlapBit | kPosterJoinBit | kPosterDialogOpenBit},
      {"both: cut lines win", kPosterCutLineBit | kPosterOverlapBit | kPosterJoinBit, true, true, true, false,
       kPosterCutLineBit | kPosterJoinBit | kPosterDialogOpenBit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s().SetPosterOptions(c.stored);
    const INT_PTR result = Run([&](HWND dialog) {
      EXPECT_EQ(Checked(dialog, kPosterJoinCheck), c.checked);
      EXPECT_EQ(Enabled(dialog, kPosterCutLines), c.radios_enabled);
      EXPECT_EQ(Enabled(dialog, kPosterOverlap), c.radios_enabled);
      EXPECT_EQ(Checked(dialog, kPosterCutLines), c.cut_lines);
      EXPECT_EQ(Checked(dialog, kPosterOverlap), c.overlap);
      EXPECT_EQ(Options(), c.after_open);
      Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Options(), c.stored) << "Cancel brings the options back";
  }
  EXPECT_EQ(fixture_.shared().dialog_snapshot, nullptr);
}

TEST_F(PosterPanelDialog, RadiosAndCheckBoxSetTheOptionBits) {
  // Cut lines: bit 1 alone once OK has cleared the dialog's own bit.
  s().SetPosterOptions(kPosterJoinBit);
  EXPECT_EQ(Run([&](HWND dialog) {
              Click(dialog, kPosterCutLines);
              EXPECT_EQ(Options(), kPosterCutLineBit | kPosterDialogOpenBit);
              Click(dialog, kPosterCutLines);  // again: nothing
              EXPECT_EQ(Options(), kPosterCutLineBit | kPosterDialogOpenBit);
              Click(dialog, IDOK);
            }),
            1);
  EXPECT_EQ(Options(), kPosterCutLineBit);
  EXPECT_EQ(fixture_.shared().dialog_snapshot, nullptr);

  // Overlap: bits 2 and 8.
  Run([&](HWND dialog) {
    EXPECT_TRUE(Checked(dialog, kPosterCutLines));
    Click(dialog, kPosterOverlap);
    EXPECT_EQ(Options(), kPosterOverlapBit | kPosterJoinBit | kPosterDialogOpenBit);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(Options(), kPosterOverlapBit | kPosterJoinBit);

  // Unchecking clears bits 1, 2 and 8 and both radios; checking again chooses the overlap.
  s().SetPosterOptions(kPosterCutLineBit | 0x100);
  Run([&](HWND dialog) {
    Click(dialog, kPosterJoinCheck);
    EXPECT_FALSE(Checked(dialog, kPosterJoinCheck));
    EXPECT_FALSE(Checked(dialog, kPosterCutLines));
    EXPECT_FALSE(Checked(dialog, kPosterOverlap));
    EXPECT_FALSE(Enabled(dialog, kPosterCutLines));
    EXPECT_FALSE(Enabled(dialog, kPosterOverlap));
    EXPECT_EQ(Options(), kPosterDialogOpenBit | 0x100) << "bits outside the joining style are kept";
    Click(dialog, kPosterJoinCheck);
    EXPECT_TRUE(Checked(dialog, kPosterOverlap));
    EXPECT_TRUE(Enabled(dialog, kPosterCutLines));
    EXPECT_EQ(Options() & kJoinBits, kPosterOverlapBit | kPosterJoinBit);
    Click(dialog, kPosterJoinCheck);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(Options(), 0x100u);
}

// Clicks go through the dialog's own mouse messages at the cursor's position.
TEST_F(PosterPanelDialog, ClicksLeavePanelsOutButNeverAll) {
  s().SetPosterPanelMask(0);
  const INT_PTR result = Run([&](HWND dialog) {
    PreviewLayout layout;
    const PosterPanels panels = Geometry(dialog, &layout);
    ASSERT_EQ(panels.count, 4);
    const auto click_at = [&](POINT client, UINT message = WM_LBUTTONDOWN) {
      const POINT screen = OnScreen(dialog, client);
      ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
      POINT in_dialog = screen;
      ScreenToClient(dialog, &in_dialog);
      SendMessageA(dialog, message, MK_LBUTTON, MAKELPARAM(in_dialog.x, in_dialog.y));
    };
    const auto centre = [&](int i) {
      return POINT{(layout.cells[i].left + layout.cells[i].right) / 2, (layout.cells[i].top + layout.cells[i].bottom) / 2};
    };
    for (int i = 0; i < 3; ++i) click_at(centre(i));
    EXPECT_EQ(s().GetPosterPanelMask(), 0x7u);
    click_at(centre(3));
    EXPECT_EQ(s().GetPosterPanelMask(), 0x7u) << "the last printed panel stays";
    click_at(POINT{layout.cells[0].right + 2, layout.cells[0].top + 2});  // the gap between panels
    click_at(POINT{2, 2});                                                // outside the paper
    EXPECT_EQ(s().GetPosterPanelMask(), 0x7u);
    click_at(centre(1), WM_LBUTTONDBLCLK);
    EXPECT_EQ(s().GetPosterPanelMask(), 0x5u) << "a double-click counts as a click";
    EXPECT_EQ(ClickPosterPanel(dialog, fixture_.param(), OnScreen(dialog, centre(3))), 3);
    EXPECT_EQ(s().GetPosterPanelMask(), 0xDu);
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(s().GetPosterPanelMask(), 0u) << "Cancel brings the mask back";

  // Two panels one above the other: the second cannot be left out after the first.
  Paper(1000, 2000);
  s().SetPagesPerSheet(-4);
  Run([&](HWND dialog) {
    PreviewLayout layout;
    ASSERT_EQ(Geometry(dialog, &layout).count, 2);
    const auto at = [&](int i) {
      return OnScreen(dialog, POINT{layout.cells[i].left + 3, layout.cells[i].top + 3});
    };
    EXPECT_EQ(ClickPosterPanel(dialog, fixture_.param(), at(0)), 0);
    EXPECT_EQ(ClickPosterPanel(dialog, fixture_.param(), at(1)), 1);
    EXPECT_EQ(s().GetPosterPanelMask(), 0x1u);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(s().GetPosterPanelMask(), 0x1u);
}

TEST_F(PosterPanelDialog, DrawnPreview) {
  s().SetPosterPanelMask(0x2);
  s().SetPosterOptions(kPosterCutLineBit);
  Run([&](HWND dialog) {
    PreviewLayout layout;
    ASSERT_EQ(Geometry(dialog, &layout).count, 4);
    const RECT& first = layout.cells[0];
    const RECT& second = layout.cells[1];
    const RECT& margins = layout.printable[0];
    {
      Picture picture(dialog);
      EXPECT_EQ(picture.at(1, 1), COLORREF{0xFFFFF0}) << "background";
      EXPECT_EQ(picture.at(first.left - 1, first.top), COLORREF{0xFFFFF0});
      EXPECT_TRUE(picture.Black(first.left, first.top));
      EXPECT_TRUE(picture.Black(first.right, first.bottom)) << "the frame runs through the corners";
      EXPECT_TRUE(picture.Black(first.left, (first.top + first.bottom) / 2));
      EXPECT_EQ(picture.at(first.left + 1, first.bottom - 1), RGB(255, 255, 255)) << "printed panel";
      EXPECT_EQ(picture.at(second.left + 1, second.bottom - 1), RGB(128, 128, 128)) << "left-out panel";
      // The picture's tile inside the margins: colours other than the panel's own.
      int painted = 0;
      for (LONG x = margins.left + 1; x < margins.right - 1; x += 3) {
        const COLORREF c = picture.at(x, margins.bottom - 3);
        painted += c != RGB(255, 255, 255) && c != RGB(0, 0, 0) ? 1 : 0;
      }
      EXPECT_GT(painted, (margins.right - margins.left) / 6);
      // Cut lines along the sides that face another panel, none on the outer edges.
      const LONG height = margins.bottom - margins.top;
      EXPECT_EQ(picture.BlackInColumn(margins.right - 1, margins.top, margins.bottom), height);
      EXPECT_EQ(picture.BlackInRow(margins.bottom - 1, margins.left, margins.right), margins.right - margins.left);
      EXPECT_LT(picture.BlackInColumn(margins.left, margins.top, margins.bottom), height / 2);
      EXPECT_LT(picture.BlackInRow(margins.top, margins.left, margins.right), (margins.right - margins.left) / 2);
      // The dotted margin line: light grey dots on the outer side.
      int dots = 0;
      for (LONG y = margins.top; y < margins.bottom; ++y) dots += picture.at(margins.left, y) == RGB(160, 160, 160);
      EXPECT_GT(dots, height / 4);
      EXPECT_GE(picture.NumberCorner(first).x, 5);
      EXPECT_GE(picture.NumberCorner(first).y, 5);
    }
    // Overlap: no cut lines; a click brings the second panel back.
    Click(dialog, kPosterOverlap);
    EXPECT_EQ(ClickPosterPanel(dialog, fixture_.param(), OnScreen(dialog, POINT{second.left + 3, second.top + 3})), 1);
    {
      Picture picture(dialog);
      EXPECT_LT(picture.BlackInColumn(margins.right - 1, margins.top, margins.bottom), (margins.bottom - margins.top) / 2);
      EXPECT_EQ(picture.at(second.left + 1, second.bottom - 1), RGB(255, 255, 255));
    }
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(s().GetPosterPanelMask(), 0x2u);
  EXPECT_EQ(Options(), kPosterCutLineBit);
}

// A 4:1 paper is shown as 3:1 and its numbers move to the panel's corner; a 2:1 paper keeps them
// 5 pixels in.
TEST_F(PosterPanelDialog, NumbersOfAnElongatedPaperSitInTheCorner) {
  POINT corner[2] = {};
  const int32_t lengths[2] = {1000, 480};  // 2:1 and above 4:1
  for (int k = 0; k < 2; ++k) {
    Paper(2000, lengths[k]);
    Run([&](HWND dialog) {
      PreviewLayout layout;
      const PosterPanels panels = Geometry(dialog, &layout);
      EXPECT_EQ(panels.elongated, k == 1);
      const LONG box_width = layout.paper_area.right - layout.paper_area.left;
      const LONG box_height = layout.paper_area.bottom - layout.paper_area.top;
      EXPECT_EQ(box_width / box_height, k == 0 ? 2 : 3);
      Picture picture(dialog);
      corner[k] = picture.NumberCorner(layout.cells[0]);
      Click(dialog, IDCANCEL);
    });
  }
  ASSERT_GE(corner[0].x, 0);
  ASSERT_GE(corner[1].x, 0);
  EXPECT_EQ(corner[0].x - corner[1].x, 3);
  EXPECT_EQ(corner[0].y - corner[1].y, 4);
}

// The layout page opens the dialog through the settings dialogs' table; its help button and
// context help reach the help file with the dialog's topics (recorded, never shown).
TEST_F(PosterPanelDialog, OpenedThroughTheDialogTableWithItsHelp) {
  EXPECT_EQ(pages::SettingsDialogProcedure(pages::SettingsDialog::kPosterPanel), &PosterPanelDlgProc);
  ASSERT_TRUE(fixture_.printer().SetInfoKey("HelpFile", "KVHELP.CHM"));
  ASSERT_TRUE(fixture_.printer().SetInfoKey("HelpFileS", "KVHELP.CHM"));
  s().SetPosterOptions(kPosterJoinBit);
  test::HelpCalls help;
  INT_PTR result = 0;
  {
    ModalRun run({[](HWND dialog) {
                    Click(dialog, kPosterHelp);
                    SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kPosterPreview)), 0);
                    Click(dialog, kPosterCutLines);
                    return true;
                  },
                  test::Press(IDOK)});
    result = pages::ShowSettingsDialog(page_->window(), pages::SettingsDialog::kPosterPanel);
  }
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Options(), kPosterCutLineBit);
  const auto& calls = test::HelpCalls::calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].command, static_cast<UINT>(HELP_CONTEXT));
  EXPECT_EQ(calls[0].data, 1792u);
  EXPECT_EQ(calls[1].command, static_cast<UINT>(HELP_CONTEXTMENU));
  const auto* table = reinterpret_cast<const DWORD*>(calls[1].data);
  size_t pairs = 0;
  while (table[2 * pairs] != 0) ++pairs;
  ASSERT_EQ(pairs, 10u);
  EXPECT_EQ(table[2], 2954u);
  EXPECT_EQ(table[3], 1797u);
  EXPECT_EQ(table[19], kNoHelp) << "the help button has no topic";
}

}  // namespace
}  // namespace kalimu::dialogs
