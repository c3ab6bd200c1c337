// The watermark edit dialog on template 2800 of the stand-in resource library, run modally and
// driven by messages from inside its own loop: pointer messages posted to the dialog, commands
// and track-bar scrolls sent as the controls send them. Files land in a scratch folder (the
// folder of entry 0's thumbnail).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "kalimu/watermark/dib_format.h"
#include "kalimu/watermark/watermark_bitmap_file.h"
#include "kalimu/watermark/watermark_edit_state.h"
#include "kalimu/watermark/watermark_help.h"
#include "kalimu/watermark/watermark_test_support.h"
#include "testkit/kalimu/help_recorder.h"
#include "testkit/watermark/bmp_builder.h"
#include "testkit/watermark/raster_font.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::watermark {
namespace {

using storage::WatermarkEntry;
constexpr double kPi = std::numbers::pi;

// Handles what is queued for the dialog, as its modal loop would.
void Pump(HWND dialog) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// Posts a pointer message at a point of the preview and lets the dialog handle it.
void Pointer(HWND dialog, UINT message, PreviewPoint at, WPARAM keys = 0) {
  const PreviewPoint p = PreviewToDialogPoint(dialog, at);
  PostMessageA(dialog, message, keys, MAKELPARAM(p.x, p.y));
  Pump(dialog);
}

void Command(HWND dialog, int control, int code) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

void Scroll(HWND dialog, int bar, int position) {
  SendDlgItemMessageA(dialog, bar, TBM_SETPOS, TRUE, position);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, bar)));
}

std::string Text(HWND dialog, int control) {
  char text[300] = {};
  GetDlgItemTextA(dialog, control, text, sizeof(text));
  return text;
}

bool Visible(HWND dialog, int control) { return (GetWindowLongA(GetDlgItem(dialog, control), GWL_STYLE) & WS_VISIBLE) != 0; }
bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }
LRESULT BarPosition(HWND dialog, int bar) { return SendDlgItemMessageA(dialog, bar, TBM_GETPOS, 0, 0); }
PreviewPoint Centre(const WatermarkEditState& s) { return {s.shape.box.centre_x, s.shape.box.centre_y}; }

// Bounds of the non-white pixels of a memory DC's picture, copied into a DIB section first.
RECT DarkBounds(HDC source, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueGdiObject section(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueDc dc(CreateCompatibleDC(nullptr));
  RECT bounds{width, height, -1, -1};
  if (!section || !dc) return bounds;
  Selected selection(dc.get(), section.get());
  BitBlt(dc.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((pixels[size_t(y) * width + x] & 0xFFFFFF) == 0xFFFFFF) continue;
      bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y), std::max<LONG>(bounds.right, x),
                std::max<LONG>(bounds.bottom, y)};
    }
  }
  return bounds;
}

// The first raster face the screen enumerates ("" when none).
std::string RasterFace() {
  char face[LF_FACESIZE] = {};
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesA(
      screen, nullptr,
      [](const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM record) -> int {
        if (!(type & RASTER_FONTTYPE)) return 1;
        std::memcpy(reinterpret_cast<char*>(record), font->lfFaceName, LF_FACESIZE);
        return 0;
      },
      reinterpret_cast<LPARAM>(face));
  ReleaseDC(nullptr, screen);
  face[LF_FACESIZE - 1] = '\0';
  return face;
}

class EditDialog : public ::testing::Test {
 protected:
  EditDialog() {
    WatermarkEntry fixed{};
    fixed.bitmap_id = 16001;
    fixed.kind = 2;
    std::strcpy(fixed.name, "CONFIDENTIAL");
    std::strcpy(fixed.bitmap_path, (folder_ / "KVWM01.BMP").c_str());
    std::strcpy(fixed.thumbnail_path, (folder_ / "KVWM01.MWB").c_str());
    fixed.size_percent = 40;
    fixed.density_percent = 100;
    fixed.color[2] = 255;  // red
    entries_.push_back(fixed);

    WatermarkEntry text{};
    text.position = 1;
    std::strcpy(text.name, "Sample");
    std::strcpy(text.text, "SAMPLE");
    LOGFONTA font = MakeDefaultWatermarkFont(false);
    font.lfEscapement = 0;
    SetEntryFont(text, font);
    text.size_percent = 30;
    text.density_percent = 100;
    text.color[0] = 255;  // blue
    entries_.push_back(text);

    testkit::watermark::BmpLayout layout;
    layout.width = 120;
    layout.height = 60;
    layout.bits = 24;
    EXPECT_TRUE(testkit::WriteBytes(picture_, testkit::watermark::BuildBmp(layout)));
    WatermarkEntry user{};
    user.position = 2;
    user.kind = 1;
    std::strcpy(user.name, "Logo");
    std::strcpy(user.bitmap_path, picture_.c_str());
    user.size_percent = 50;
    user.density_percent = 100;
    entries_.push_back(user);
  }
  ~EditDialog() override {
    if (result_ != nullptr) platform::GlobalBlock::FreeLocked(result_);
  }

  void Run(std::function<void(HWND, WatermarkEditState*)> script, int16_t index, int16_t flags = 0,
           HMODULE module = test::TestResources(), bool with_entries = true) {
    count_ = static_cast<int16_t>(entries_.size());
    request_ = index;
    help_.flags = flags;
    test::DialogScript driver([&](HWND dialog) { script(dialog, EditStateOf(dialog)); }, kEditPreview);
    result_ = EditWatermarkDialog(nullptr, module, with_entries ? entries_.data() : nullptr, &count_, &request_, 4,
                                  2100, 2970, margins_, nullptr, &help_);
    ASSERT_TRUE(driver.ran()) << "the dialog never came up";
  }

  test::ScratchFolder folder_{"kalimu_edit_dialog"};
  std::string picture_ = folder_ / "logo.bmp";
  std::vector<WatermarkEntry> entries_;
  int32_t margins_[4] = {50, 50, 50, 50};
  WatermarkHelpBlock help_{"C:\\help\\driver.hlp", 0};
  WatermarkEntry* result_ = nullptr;
  int16_t count_ = 0;
  int16_t request_ = 0;
};

TEST_F(EditDialog, TextEntryOpensCentredAndOkRegeneratesItsFiles) {
  testkit::MessageBoxWatcher watcher;
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        EXPECT_EQ(s->kind, kTextKind);
        EXPECT_EQ(s->current, 1);
        EXPECT_EQ(s->mode, kModeIdle);
        EXPECT_TRUE(Visible(dialog, kEditTextLabel));
        EXPECT_TRUE(Visible(dialog, kEditFace));
        EXPECT_TRUE(Visible(dialog, kEditNote));
        EXPECT_FALSE(Visible(dialog, kEditBrowse));
        EXPECT_EQ(Text(dialog, kEditText), "SAMPLE");
        EXPECT_EQ(BarPosition(dialog, kEditSize), 30);
        EXPECT_EQ(SendDlgItemMessageA(dialog, kEditPosition, CB_GETCURSEL, 0, 0), 0);
        // Position 0 is the centre of the printable area.
        const PixelRect& a = s->printable;
        EXPECT_EQ(s->shape.box.centre_x, a.left + (a.right - a.left) / 2);
        EXPECT_EQ(s->shape.box.centre_y, a.top + (a.bottom - a.top) / 2);
        EXPECT_GT(s->shape.box_width, s->shape.box_height);
        EXPECT_GT(s->shape.box_height, 2);
        Command(dialog, IDOK, BN_CLICKED);
      },
      1);
  EXPECT_TRUE(watcher.shown().empty());
  ASSERT_NE(result_, nullptr);
  EXPECT_EQ(request_, 1);
  EXPECT_EQ(count_, 3);
  const WatermarkEntry& e = result_[1];
  EXPECT_EQ(e.flags, 1);
  EXPECT_EQ(e.position, 1);
  EXPECT_STREQ(e.name, "Sample");
  EXPECT_STREQ(e.text, "SAMPLE");
  EXPECT_EQ(e.color[0], 255);
  // The placement did not change: the page box and size stay as they were.
  EXPECT_EQ(e.box[0] | e.box[1] | e.box[2] | e.box[3], 0);
  EXPECT_EQ(e.size_percent, 30);
  // Its bitmap file and thumbnail are written on every OK, with the file's stamp.
  EXPECT_EQ(std::string(e.bitmap_path).rfind(folder_ / "WAT", 0), 0u);
  EXPECT_TRUE(test::Exists(e.bitmap_path));
  EXPECT_TRUE(test::Exists(e.thumbnail_path));
  EXPECT_GT(e.bitmap_size, 62);
  EXPECT_NE(e.bitmap_date, 0);
  EXPECT_EQ(std::memcmp(&result_[0], &entries_[0], sizeof(WatermarkEntry)), 0);
}

TEST_F(EditDialog, BitmapEntriesTakeTheirKindAndLayout) {
  struct Case {
    int16_t index;
    int32_t kind;
    bool text_edit, browse, colour, note;
    uint8_t red;
  };
  const Case cases[] = {
      {0, kFixedBitmapKind, false, false, true, true, 255},
      {2, kUserBitmapKind, true, true, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    Run(
        [&](HWND dialog, WatermarkEditState* s) {
          EXPECT_EQ(s->kind, c.kind);
          EXPECT_TRUE(s->bitmaps.display.held());
          EXPECT_EQ(s->colour.red, c.red);
          EXPECT_GT(s->shape.box_width, 0);
          EXPECT_EQ(Visible(dialog, kEditText), c.text_edit);
          EXPECT_EQ(Visible(dialog, kEditBrowse), c.browse);
          EXPECT_EQ(Visible(dialog, kEditColour), c.colour);
          EXPECT_EQ(Visible(dialog, kEditNote), c.note);
          EXPECT_FALSE(Visible(dialog, kEditFace));
          EXPECT_FALSE(Visible(dialog, kEditAngleBar));
          EXPECT_TRUE(test::Exists(s->thumbnail_path));
        },
        c.index);
    EXPECT_EQ(result_, nullptr);
    EXPECT_EQ(request_, c.index);
  }
}

TEST_F(EditDialog, SizeComesFromAStoredBoxAndAnotherNameReloadsWithoutRefillingLists) {
  entries_[2].box[2] = 5000;  // half the printable width, a quarter of its height
  entries_[2].box[3] = 2500;
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        const PixelRect& a = s->printable;
        const double aw = a.right - a.left, ah = a.bottom - a.top;
        EXPECT_NEAR(s->shape.size, std::max(aw / 2, ah / 4) / std::sqrt(aw * aw + ah * ah) * 100, 1e-9);
        const LRESULT faces = SendDlgItemMessageA(dialog, kEditFace, CB_GETCOUNT, 0, 0);
        SendDlgItemMessageA(dialog, kEditFace, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Marker"));
        SendDlgItemMessageA(dialog, kEditNames, CB_SETCURSEL, 1, 0);
        Command(dialog, kEditNames, CBN_SELCHANGE);
        EXPECT_EQ(s->current, 1);
        EXPECT_EQ(s->kind, kTextKind);
        EXPECT_EQ(s->shape.size, 30);  // an empty box: the stored size
        EXPECT_TRUE(Visible(dialog, kEditFace));
        EXPECT_EQ(SendDlgItemMessageA(dialog, kEditFace, CB_GETCOUNT, 0, 0), faces + 1);
        Command(dialog, IDOK, BN_CLICKED);
      },
      2);
  ASSERT_NE(result_, nullptr);
  EXPECT_EQ(request_, 1);
  EXPECT_STREQ(result_[1].text, "SAMPLE");
  EXPECT_EQ(result_[1].flags, 1);
  EXPECT_EQ(result_[2].flags, 0);
}

TEST_F(EditDialog, PointerMovesTheBoxWithinThePrintableArea) {
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        const PreviewPoint c = Centre(*s);
        Pointer(dialog, WM_MOUSEMOVE, c);
        EXPECT_EQ(s->mode, kModeMove);
        Pointer(dialog, WM_LBUTTONDOWN, c, MK_LBUTTON);
        EXPECT_EQ(SendDlgItemMessageA(dialog, kEditPosition, CB_GETCURSEL, 0, 0), kFreePosition);
        // Dragged far to the left and a little down: the centre stops on the left edge.
        Pointer(dialog, WM_MOUSEMOVE, {s->printable.left - 40, c.y + 3}, MK_LBUTTON);
        EXPECT_EQ(s->shape.box.centre_x, s->printable.left);
        EXPECT_EQ(s->shape.box.centre_y, c.y + 3);
        Pointer(dialog, WM_LBUTTONUP, {s->printable.left - 40, c.y + 3});
        EXPECT_EQ(s->mode, kModeMove);
        Command(dialog, IDOK, BN_CLICKED);
      },
      1);
  ASSERT_NE(result_, nullptr);
  const WatermarkEntry& e = result_[1];
  EXPECT_EQ(e.position_code, kFreePosition);
  // The box now stands in page units, centred on the left edge.
  EXPECT_LT(e.box[0], 0);
  EXPECT_GT(e.box[2], 0);
  EXPECT_NEAR(e.box[0] + e.box[2], 0, 100);
}

TEST_F(EditDialog, ClickTurnsRotationOnAndDragsSnapToRightAngles) {
  struct Turn {
    double degrees;
    double expected;
    int32_t shown;
  };
  const Turn turns[] = {{89.5, kPi / 2, 90}, {-90.4, -kPi / 2, -90}, {45, kPi / 4, 45}};
  Run(
      [&](HWND dialog, WatermarkEditState* s) {
        const PreviewPoint c = Centre(*s);
        Pointer(dialog, WM_MOUSEMOVE, c);
        Pointer(dialog, WM_LBUTTONDOWN, c, MK_LBUTTON);
        Pointer(dialog, WM_LBUTTONUP, c);
        EXPECT_EQ(s->mode, kModeRotate);
        EXPECT_EQ(s->button_state, kButtonRotate);
        EXPECT_EQ(s->position_code, kFreePosition);
        for (const Turn& t : turns) {
          SCOPED_TRACE(t.degrees);
          SetDlgItemTextA(dialog, kEditAngle, "0");
          ASSERT_EQ(s->shape.angle, 0);
          const double r = t.degrees * kPi / 180;
          Pointer(dialog, WM_LBUTTONDOWN, {c.x + 60, c.y}, MK_LBUTTON);
          Pointer(dialog, WM_MOUSEMOVE,
                  {c.x + static_cast<int32_t>(std::lround(60 * std::cos(r))),
                   c.y + static_cast<int32_t>(std::lround(60 * std::sin(r)))},
                  MK_LBUTTON);
          EXPECT_NEAR(s->shape.angle, t.expected, 1e-12);
          EXPECT_EQ(s->degrees, t.shown);
          EXPECT_EQ(BarPosition(dialog, kEditAngleBar), t.shown + 180);
          EXPECT_EQ(std::atoi(Text(dialog, kEditAngle).c_str()), std::abs(t.shown));
          Pointer(dialog, WM_LBUTTONUP, {c.x, c.y + 60});
          EXPECT_EQ(s->mode, kModeRotate);
        }
      },
      1);
}

TEST_F(EditDialog, CursorsFollowHandlesAndModes) {
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        const PreviewPoint c = Centre(*s);
        Pointer(dialog, WM_MOUSEMOVE, c);
        EXPECT_EQ(s->cursor, LoadCursorA(nullptr, IDC_ARROW));
        const WatermarkBox b = s->shape.box;
        Pointer(dialog, WM_MOUSEMOVE, {b.right_top_x, b.right_top_y});
        EXPECT_EQ(s->cursor, LoadCursorA(nullptr, IDC_SIZENESW));
        Pointer(dialog, WM_MOUSEMOVE, {b.right_bottom_x, b.right_bottom_y});
        EXPECT_EQ(s->cursor, LoadCursorA(nullptr, IDC_SIZENWSE));
        // Leaving the preview in move mode drops the outline (idle mode).
        Pointer(dialog, WM_MOUSEMOVE, {-20, -20});
        EXPECT_EQ(s->mode, kModeIdle);
        // The mode button chooses rotation: the rotation cursor over the box.
        Command(dialog, kEditModeButton, BN_CLICKED);
        EXPECT_EQ(s->mode, kModeRotate);
        Pointer(dialog, WM_MOUSEMOVE, c);
        EXPECT_NE(s->cursor, LoadCursorA(nullptr, IDC_ARROW));
        // In rotation mode the outline stays when the pointer leaves.
        Pointer(dialog, WM_MOUSEMOVE, {-20, -20});
        EXPECT_EQ(s->mode, kModeRotate);
      },
      1);
}

TEST_F(EditDialog, CornerDragOfABitmapStopsAtSizeFive) {
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        const PreviewPoint c = Centre(*s);
        Pointer(dialog, WM_MOUSEMOVE, c);
        const WatermarkBox b = s->shape.box;
        Pointer(dialog, WM_LBUTTONDOWN, {b.left_top_x, b.left_top_y}, MK_LBUTTON);
        EXPECT_EQ(s->mode, kModeResize);
        Pointer(dialog, WM_MOUSEMOVE, c, MK_LBUTTON);
        EXPECT_EQ(s->shape.size, kMinimumSize);
        EXPECT_EQ(BarPosition(dialog, kEditSize), 5);
        Pointer(dialog, WM_LBUTTONUP, c);
      },
      0);
}

TEST_F(EditDialog, AngleEditSignButtonAndTrackBar) {
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        SetDlgItemTextA(dialog, kEditAngle, "-45");
        EXPECT_EQ(Text(dialog, kEditAngle), "45");
        EXPECT_EQ(s->degrees, -45);
        EXPECT_TRUE(s->angle_flags & kAngleNegative);
        EXPECT_EQ(BarPosition(dialog, kEditAngleBar), 135);
        EXPECT_DOUBLE_EQ(s->shape.angle, -kPi / 4);
        SetDlgItemTextA(dialog, kEditAngle, "400");
        EXPECT_EQ(Text(dialog, kEditAngle), "360");
        EXPECT_EQ(BarPosition(dialog, kEditAngleBar), 180);
        SetDlgItemTextA(dialog, kEditAngle, "-0");
        EXPECT_EQ(s->degrees, kMinusZeroDegrees);
        EXPECT_EQ(s->shape.angle, 0);
        EXPECT_TRUE(s->angle_flags & kAngleNegative);
        Command(dialog, kEditSign, BN_CLICKED);
        EXPECT_EQ(s->degrees, 0);
        EXPECT_FALSE(s->angle_flags & kAngleNegative);
        SetDlgItemTextA(dialog, kEditAngle, "30");
        Command(dialog, kEditSign, BN_CLICKED);
        EXPECT_EQ(s->degrees, -30);
        EXPECT_DOUBLE_EQ(s->shape.angle, -kPi / 6);
        EXPECT_EQ(BarPosition(dialog, kEditAngleBar), 150);
        Scroll(dialog, kEditAngleBar, 225);
        EXPECT_EQ(s->degrees, 45);
        EXPECT_EQ(Text(dialog, kEditAngle), "45");
        EXPECT_DOUBLE_EQ(s->shape.angle, kPi / 4);
        EXPECT_EQ(s->mode, kModeRotate);
        Command(dialog, IDOK, BN_CLICKED);
      },
      1);
  ASSERT_NE(result_, nullptr);
  EXPECT_DOUBLE_EQ(result_[1].angle, kPi / 4);
  EXPECT_NEAR(EntryFont(result_[1]).lfEscapement, -450, 1);
}

TEST_F(EditDialog, DensityTrackBarFadesTheColour) {
  entries_[1].density_percent = 40;
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        EXPECT_EQ(BarPosition(dialog, kEditDensity), 5);
        Scroll(dialog, kEditDensity, 2);
        EXPECT_EQ(s->density, 20);
        EXPECT_EQ(s->faded.blue, 255);
        EXPECT_EQ(s->faded.green, 204);
        EXPECT_EQ(s->faded.red, 204);
        Command(dialog, IDOK, BN_CLICKED);
      },
      1);
  ASSERT_NE(result_, nullptr);
  EXPECT_EQ(result_[1].density_percent, 20);
}

TEST_F(EditDialog, OneBitBitmapIsRecolouredAndFaded) {
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        auto entries = [&] {
          const uint8_t* table = s->bitmaps.display.data() + 40;
          return std::vector<uint8_t>(table, table + 8);
        };
        ASSERT_EQ(reinterpret_cast<const DibInfoHeader*>(s->bitmaps.display.data())->biBitCount, 1);
        // One entry red, the other white.
        std::vector<uint8_t> t = entries();
        const bool first_red = t[2] == 255 && t[0] == 0;
        const uint8_t* red = first_red ? &t[0] : &t[4];
        const uint8_t* white = first_red ? &t[4] : &t[0];
        EXPECT_EQ(red[0], 0);
        EXPECT_EQ(red[2], 255);
        EXPECT_EQ(white[0] & white[1] & white[2], 255);
        Scroll(dialog, kEditDensity, 2);
        t = entries();
        const uint8_t* faded = first_red ? &t[0] : &t[4];
        EXPECT_EQ(faded[0], 204);
        EXPECT_EQ(faded[1], 204);
        EXPECT_EQ(faded[2], 255);
      },
      0);
}

TEST_F(EditDialog, TextRendersAxisAlignedAndSlanted) {
  struct Angle {
    double degrees;
    bool slanted;
    bool wide;  // the rendered text is wider than tall
  };
  const Angle angles[] = {{0, false, true}, {45, true, false}, {90, false, false}, {180, false, true},
                          {270, false, false}};
  Run(
      [&](HWND dialog, WatermarkEditState* s) {
        const int side = s->text_buffer.width;
        for (const Angle& a : angles) {
          SCOPED_TRACE(a.degrees);
          s->shape.angle = a.degrees * kPi / 180;
          FitWatermarkFont(dialog, s);
          UpdateTextBox(dialog, s);
          EXPECT_EQ(&CurrentFit(*s), a.slanted ? &s->slanted_fit : &s->axis_fit);
          RedrawTextWatermark(dialog, s, true);
          const RECT ink = DarkBounds(s->text_buffer.dc.get(), side, side);
          ASSERT_GE(ink.right, ink.left);
          const int w = ink.right - ink.left, h = ink.bottom - ink.top;
          if (a.slanted) {
            EXPECT_NEAR(w, h, w / 5);
          } else {
            EXPECT_EQ(w > h, a.wide);
          }
          // The text's middle sits in the middle of the square.
          EXPECT_NEAR((ink.left + ink.right) / 2, side / 2, side / 20);
          EXPECT_NEAR((ink.top + ink.bottom) / 2, side / 2, side / 20);
        }
        // An empty text: no box, nothing drawn.
        s->shape.angle = 0;
        SetDlgItemTextA(dialog, kEditText, "");
        EXPECT_EQ(s->shape.box_width, 0);
        EXPECT_EQ(s->shape.box_height, 0);
        const RECT ink = DarkBounds(s->text_buffer.dc.get(), side, side);
        EXPECT_LT(ink.right, ink.left);
        // OK keeps nothing for an empty text.
        Command(dialog, IDOK, BN_CLICKED);
      },
      1);
  EXPECT_EQ(result_, nullptr);
}

TEST_F(EditDialog, FaceWithoutTrueTypeFixesTheAngleUntilATrueTypeFaceReturns) {
  // A raster face of the prefix, or the test kit's own installed for this process.
  std::string raster = RasterFace();
  const std::string font_file = folder_ / "kalimu_raster.fnt";
  int added = 0;
  if (raster.empty()) {
    ASSERT_TRUE(testkit::WriteBytes(font_file, testkit::watermark::BuildRasterFont("Kalimu Raster")));
    added = AddFontResourceExA(font_file.c_str(), FR_PRIVATE, nullptr);
    ASSERT_GT(added, 0) << "the raster font file was not accepted";
    raster = RasterFace();
  }
  ASSERT_FALSE(raster.empty()) << "no raster face";
  struct Found {
    char face[LF_FACESIZE];
  } found{};
  std::strncpy(found.face, raster.c_str(), LF_FACESIZE - 1);
  entries_[1].angle = kPi / 6;
  Run(
      [&](HWND dialog, WatermarkEditState* s) {
        const std::string true_type = s->face_name;
        EXPECT_TRUE(s->rotation_possible);
        EXPECT_NEAR(s->shape.angle, kPi / 6, 1e-12);
        std::strcpy(s->face_name, found.face);
        CheckFontRotation(dialog, s);
        EXPECT_FALSE(s->rotation_possible);
        EXPECT_EQ(s->shape.angle, 0);
        EXPECT_EQ(s->button_state, kButtonNoRotation);
        EXPECT_TRUE(s->angle_flags & kAngleFixed);
        EXPECT_FALSE(Enabled(dialog, kEditAngleBar));
        EXPECT_FALSE(Enabled(dialog, kEditSign));
        EXPECT_EQ(Text(dialog, kEditAngle), "0");
        EXPECT_EQ(BarPosition(dialog, kEditAngleBar), 180);
        // A click on the watermark keeps move mode with a raster face.
        const PreviewPoint c = Centre(*s);
        Pointer(dialog, WM_MOUSEMOVE, c);
        Pointer(dialog, WM_LBUTTONDOWN, c, MK_LBUTTON);
        Pointer(dialog, WM_LBUTTONUP, c);
        EXPECT_EQ(s->mode, kModeMove);
        std::strcpy(s->face_name, true_type.c_str());
        CheckFontRotation(dialog, s);
        EXPECT_TRUE(Enabled(dialog, kEditAngleBar));
        EXPECT_EQ(s->button_state, kButtonMove);
        EXPECT_NEAR(s->shape.angle, kPi / 6, 1e-12);
        EXPECT_EQ(BarPosition(dialog, kEditAngleBar), 210);
      },
      1);
  if (added > 0) RemoveFontResourceExA(font_file.c_str(), FR_PRIVATE, nullptr);
}

TEST_F(EditDialog, NewWatermarkItemAndIndexOutsideTheCopySelectNothing) {
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        HWND names = GetDlgItem(dialog, kEditNames);
        EXPECT_EQ(SendMessageA(names, CB_GETCOUNT, 0, 0), 4);
        EXPECT_EQ(SendMessageA(names, CB_GETITEMDATA, 0, 0), -1);
        EXPECT_EQ(SendMessageA(names, CB_GETCURSEL, 0, 0), 2);
        SendMessageA(names, CB_SETCURSEL, 0, 0);
        Command(dialog, kEditNames, CBN_SELCHANGE);
        EXPECT_EQ(s->selected, -1);
        EXPECT_EQ(s->current, -1);
        EXPECT_FALSE(Enabled(dialog, kEditSize));
        Command(dialog, IDOK, BN_CLICKED);
      },
      1, kFlagNewItem);
  ASSERT_NE(result_, nullptr);
  EXPECT_EQ(request_, -1);
  EXPECT_EQ(std::memcmp(result_, entries_.data(), entries_.size() * sizeof(WatermarkEntry)), 0);
  platform::GlobalBlock::FreeLocked(result_);
  result_ = nullptr;

  // The layout page's index names no entry of the copy.
  Run(
      [](HWND dialog, WatermarkEditState* s) {
        EXPECT_EQ(s->current, -1);
        EXPECT_EQ(s->selected, -1);
        Command(dialog, IDOK, BN_CLICKED);
      },
      7);
  ASSERT_NE(result_, nullptr);
  EXPECT_EQ(request_, -1);
  EXPECT_EQ(std::memcmp(result_, entries_.data(), entries_.size() * sizeof(WatermarkEntry)), 0);
}

// Opened without an entry (an index outside the copy, or the new-watermark item), the dialog
// builds its anchors and its font, style and colour lists on the first load of an entry the user
// picks, and only then.
TEST_F(EditDialog, FirstEntryPickedAfterAnEmptyOpeningBuildsAnchorsAndLists) {
  const struct {
    int16_t index;
    int16_t flags;
    int text_item;  // the list item of the text entry
  } cases[] = {{7, 0, 1}, {-1, kFlagNewItem, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    Run(
        [&c](HWND dialog, WatermarkEditState* s) {
          ASSERT_EQ(s->current, -1);
          EXPECT_FALSE(s->anchors_built);
          SendDlgItemMessageA(dialog, kEditNames, CB_SETCURSEL, static_cast<WPARAM>(c.text_item), 0);
          Command(dialog, kEditNames, CBN_SELCHANGE);
          ASSERT_EQ(s->current, 1);
          EXPECT_TRUE(s->anchors_built);
          const PixelRect& a = s->printable;
          EXPECT_EQ(s->anchors[4].x, a.left + (a.right - a.left) / 2) << "the centre anchor";
          EXPECT_EQ(s->anchors[4].y, a.top + (a.bottom - a.top) / 2) << "the centre anchor";
          EXPECT_GT(SendDlgItemMessageA(dialog, kEditFace, CB_GETCOUNT, 0, 0), 0);
          EXPECT_EQ(SendDlgItemMessageA(dialog, kEditStyles, LB_GETCOUNT, 0, 0), 5);
          EXPECT_EQ(SendDlgItemMessageA(dialog, kEditColour, CB_GETCOUNT, 0, 0), 7);
          EXPECT_EQ(SendDlgItemMessageA(dialog, kEditColour, CB_GETCURSEL, 0, 0), 1) << "blue";
          // A later pick reloads without refilling the lists.
          const LRESULT faces = SendDlgItemMessageA(dialog, kEditFace, CB_GETCOUNT, 0, 0);
          SendDlgItemMessageA(dialog, kEditFace, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Marker"));
          SendDlgItemMessageA(dialog, kEditNames, CB_SETCURSEL, static_cast<WPARAM>(c.text_item - 1), 0);
          Command(dialog, kEditNames, CBN_SELCHANGE);
          EXPECT_EQ(s->current, 0);
          EXPECT_EQ(SendDlgItemMessageA(dialog, kEditFace, CB_GETCOUNT, 0, 0), faces + 1);
          Command(dialog, IDCANCEL, BN_CLICKED);
        },
        c.index, c.flags);
  }
}

TEST_F(EditDialog, LongNameIsStoredCutToThirtyOneCharacters) {
  Run(
      [](HWND dialog, WatermarkEditState*) {
        SetDlgItemTextA(dialog, kEditNames, "A watermark name of forty characters ..");
        Command(dialog, IDOK, BN_CLICKED);
      },
      1);
  ASSERT_NE(result_, nullptr);
  EXPECT_STREQ(result_[1].name, "A watermark name of forty chara");
}

TEST_F(EditDialog, BrowsedBitmapKeepsTheListsFilesWhicheverWayTheDialogEnds) {
  const std::string other = folder_ / "other.bmp";
  testkit::watermark::BmpLayout layout;
  layout.width = 50;
  layout.height = 100;
  layout.bits = 8;
  ASSERT_TRUE(testkit::WriteBytes(other, testkit::watermark::BuildBmp(layout)));
  for (const bool ok : {false, true}) {
    SCOPED_TRACE(ok);
    std::string old_thumbnail, new_thumbnail;
    Run(
        [&](HWND dialog, WatermarkEditState* s) {
          old_thumbnail = s->thumbnail_path;
          ASSERT_TRUE(UseBrowsedBitmap(dialog, s, other.c_str()));
          new_thumbnail = s->thumbnail_path;
          EXPECT_NE(new_thumbnail, old_thumbnail);
          EXPECT_EQ(Text(dialog, kEditText), other);
          EXPECT_TRUE(test::Exists(old_thumbnail));
          EXPECT_TRUE(test::Exists(new_thumbnail));
          EXPECT_GT(s->shape.box_height, s->shape.box_width);
          Command(dialog, ok ? IDOK : IDCANCEL, BN_CLICKED);
        },
        2);
    if (!ok) {
      EXPECT_EQ(result_, nullptr);
      EXPECT_EQ(request_, 2);
      EXPECT_TRUE(test::Exists(old_thumbnail));
      EXPECT_FALSE(test::Exists(new_thumbnail));
      // The list still names the first run's thumbnail.
      std::strcpy(entries_[2].thumbnail_path, old_thumbnail.c_str());
    } else {
      ASSERT_NE(result_, nullptr);
      EXPECT_STREQ(result_[2].bitmap_path, other.c_str());
      // OK writes the stored thumbnail of the new file; the old one and any the list does not
      // name are gone.
      const std::string stored = result_[2].thumbnail_path;
      EXPECT_TRUE(test::Exists(stored));
      EXPECT_NE(stored, old_thumbnail);
      EXPECT_FALSE(test::Exists(old_thumbnail));
      if (stored != new_thumbnail) {
        EXPECT_FALSE(test::Exists(new_thumbnail));
      }
    }
  }
}

TEST_F(EditDialog, WithoutModuleOrEntries) {
  {
    testkit::MessageBoxWatcher watcher;
    EXPECT_EQ(EditWatermarkDialog(nullptr, nullptr, entries_.data(), &count_, &request_, 4, 2100, 2970, margins_,
                                  nullptr, &help_),
              nullptr);
    EXPECT_TRUE(watcher.shown().empty());
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(EditWatermarkDialog(owner, nullptr, entries_.data(), &count_, &request_, 4, 2100, 2970, margins_,
                                  nullptr, &help_),
              nullptr);
    DestroyWindow(owner);
    ASSERT_EQ(watcher.shown().size(), 1u);
    EXPECT_EQ(watcher.shown()[0].text, "Couldn't Open Resource");
    EXPECT_EQ(watcher.shown()[0].caption, "Error!");
  }
  // Without entries the dialog takes the sibling module already loaded (loaded normally: a
  // data-file module is not found by name) and shows its controls disabled.
  const std::string sibling = folder_ / "Selka01.DLL";
  ASSERT_TRUE(CopyFileA((testkit::TestProgramDirectory() + "testkit_resources_english.dll").c_str(), sibling.c_str(),
                        FALSE));
  HMODULE loaded = LoadLibraryA(sibling.c_str());
  ASSERT_NE(loaded, nullptr);
  Run(
      [&](HWND dialog, WatermarkEditState* s) {
        EXPECT_EQ(s->resources, loaded);
        EXPECT_EQ(s->current, -1);
        EXPECT_FALSE(Enabled(dialog, kEditNames));
        EXPECT_FALSE(Enabled(dialog, kEditText));
        EXPECT_FALSE(Enabled(dialog, kEditBrowse));
        EXPECT_FALSE(Visible(dialog, kEditFace));
        Command(dialog, IDOK, BN_CLICKED);
      },
      0, 0, test::TestResources(), false);
  EXPECT_EQ(result_, nullptr);
  FreeLibrary(loaded);
}

// Help goes through the page frame's help entry (a recorder here) with the handed-over help
// file and the edit dialog's table; the procedure is called directly.
TEST_F(EditDialog, HelpRequestsReachTheHelpEntryWithTheEditTable) {
  testkit::HelpRecorder recorder;
  HWND shown = nullptr;
  HWND item = nullptr;
  Run(
      [&](HWND dialog, WatermarkEditState*) {
        shown = dialog;
        item = GetDlgItem(dialog, kEditText);
        HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, kEditText, item, 0, {10, 10}};
        WatermarkEditDlgProc(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        WatermarkEditDlgProc(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(item), MAKELPARAM(10, 10));
        WatermarkEditDlgProc(dialog, WM_COMMAND, MAKEWPARAM(kEditHelp, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, kEditHelp)));
        Command(dialog, IDCANCEL, BN_CLICKED);
      },
      1);
  const auto table = reinterpret_cast<ULONG_PTR>(kWatermarkEditHelpTable.data());
  const testkit::HelpRequest expected[] = {{item, help_.help_path, HELP_WM_HELP, table},
                                           {shown, help_.help_path, HELP_CONTEXTMENU, table},
                                           {shown, help_.help_path, HELP_CONTEXT, kEditHelpContext}};
  recorder.ExpectRequests(expected);
}

TEST(EditDialogHelp, TableGivesEachControlItsContext) {
  const auto& table = kWatermarkEditHelpTable;
  const auto context = [&](uint32_t control) -> uint32_t {
    for (const HelpIdPair& pair : table) {
      if (pair.control == control) return pair.context;
    }
    return 0;
  };
  const std::pair<uint32_t, uint32_t> rows[] = {
      {2800, 2048}, {2805, 2053}, {2802, 2064}, {2807, 2064}, {2812, 2069}, {2817, 2080},
      {2808, 2085}, {2823, 2096}, {2830, 2101}, {2806, 2112}, {2810, 2128}, {2815, 2133},
      {2835, 2144}, {2873, 2144}, {2819, 2144}, {2804, pages::kNoHelp}, {2877, pages::kNoHelp}};
  for (const auto& [control, expected] : rows) EXPECT_EQ(context(control), expected) << control;
  EXPECT_EQ(table.back().control, 0u);
  EXPECT_EQ(table.back().context, 0u);
  EXPECT_EQ(kEditHelpContext, table.front().context);
  for (size_t k = 0; k + 1 < table.size(); ++k) {
    for (size_t j = k + 1; j + 1 < table.size(); ++j) EXPECT_NE(table[k].control, table[j].control);
  }
}

}  // namespace
}  // namespace kalimu::watermark
