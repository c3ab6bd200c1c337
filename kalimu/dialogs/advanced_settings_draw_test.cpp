// The owner-drawn items of the advanced settings dialog: both sample pictures against their
// engines' own output, the monochrome sample's failures, the sign boxes and the combo items.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kalimu/dialogs/advanced_settings_parts.h"
#include "kalimu/dialogs/advanced_settings_rules.h"
#include "kalimu/dialogs/advanced_settings_test_support.h"
#include "kalimu/imaging/mono_preview.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/page_helpers.h"

namespace kalimu::dialogs {
namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);

// A 24-bit memory surface the size of an item, filled with kUntouched.
class Surface {
 public:
  Surface(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(kUntouched);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  std::vector<uint8_t> Bytes() const {
    GdiFlush();
    const size_t stride = (static_cast<size_t>(width_) * 3 + 3) / 4 * 4;
    return std::vector<uint8_t>(bits_, bits_ + stride * height_);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Every pixel of the rectangle has the colour.
  bool All(const RECT& r, COLORREF colour) const {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        if (GetPixel(dc_, x, y) != colour) return false;
      }
    }
    return true;
  }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint8_t* bits_ = nullptr;
};

void DrawCentredInto(const Surface& surface, HBITMAP bitmap) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof(info), &info);
  HDC memory = CreateCompatibleDC(surface.dc());
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, surface.width(), surface.height()};
  FillRect(surface.dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
  BitBlt(surface.dc(), (surface.width() - info.bmWidth) / 2, (surface.height() - info.bmHeight) / 2, info.bmWidth,
         info.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

class DrawTest : public test::AdvancedDialogTest {
 protected:
  void OpenAt(bool toning, int32_t colour_mode) {
    Open(toning);
    s().SetModeVariant(1);
    s().SetColorMode(colour_mode);
    s().SetGamma(180);
    ASSERT_NE(Show(), nullptr);
  }
  // Sends WM_DRAWITEM for the control as its whole item, drawn into the surface.
  void Draw(const Surface& surface, int id, UINT type = ODT_BUTTON, UINT item_id = 0, ULONG_PTR data = 0,
            UINT state = 0) {
    DRAWITEMSTRUCT draw{};
    draw.CtlType = type;
    draw.CtlID = static_cast<UINT>(id);
    draw.itemID = item_id;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hwndItem = item(id);
    draw.hDC = surface.dc();
    draw.rcItem = {0, 0, surface.width(), surface.height()};
    draw.itemData = data;
    SendMessageA(dialog_, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&draw));
  }
  // The monochrome sample the engine makes for the current settings, centred in a surface.
  std::vector<uint8_t> ExpectedMonoSample(int width, int height) {
    HMODULE module = fixture_->module();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(8548), MAKEINTRESOURCEA(2));
    const void* data = LockResource(LoadResource(module, found));
    MonoSampleDib dib{};
    EXPECT_TRUE(CheckMonoSampleDib(data, SizeofResource(module, found), &dib));
    const auto* bytes = static_cast<const uint8_t*>(data);
    imaging::ImageDescriptor image{dib.width, dib.height < 0 ? -dib.height : dib.height, 24, 0x80002,
                                   static_cast<int32_t>(dib.stride), {}};
    std::vector<uint8_t> out(static_cast<size_t>(dib.stride) * image.Height, 0);
    int32_t items[12] = {};
    for (int i = 0; i < 12; ++i) items[i] = s().GetAdjustment(i);
    const imaging::MonoPreviewParams params = MonoPreviewParamsFrom(items, s().GetGamma());
    imaging::MonoPreviewContext* context = nullptr;
    EXPECT_EQ(imaging::MonoPreviewCreate(&image, bytes + dib.bits_offset, &context), 0);
    imaging::MonoPreviewProcess(context, &params, &image, out.data());
    imaging::MonoPreviewDestroy(context);
    Surface expected(width, height);
    HBITMAP bitmap = CreateDIBitmap(expected.dc(), reinterpret_cast<const BITMAPINFOHEADER*>(bytes), CBM_INIT,
                                    out.data(), reinterpret_cast<const BITMAPINFO*>(bytes), DIB_RGB_COLORS);
    DrawCentredInto(expected, bitmap);
    DeleteObject(bitmap);
    return expected.Bytes();
  }
};

TEST_F(DrawTest, CorrectedSampleIsTheEnginesPictureForEachSetting) {
  OpenAt(false, 2);
  struct Setting {
    uint32_t mode, strength, option;
    int32_t level;
  };
  const Setting settings[] = {{3, 1, 0, 0}, {6, 2, 1, 0}, {7, 3, 2, -1}, {9, 2, 0, 2}};
  for (const Setting& c : settings) {
    SCOPED_TRACE(testing::Message() << c.mode << " " << c.strength << " " << c.option << " " << c.level);
    s().SetCorrectionMode(c.mode);
    s().SetCorrectionStrength(c.strength);
    s().SetCorrectionOption(c.option);
    s().SetCorrectionLevel(static_cast<uint32_t>(c.level));
    Surface drawn(140, 100);
    Draw(drawn, 2181);
    Surface expected(140, 100);
    HBITMAP bitmap = nullptr;
    ASSERT_EQ(pages::RenderCorrectedSample(7803, &fixture_->param(), &bitmap, expected.dc()), 1);
    DrawCentredInto(expected, bitmap);
    DeleteObject(bitmap);
    EXPECT_EQ(drawn.Bytes(), expected.Bytes());
  }
}

TEST_F(DrawTest, MonoSampleIsTheEnginesPicture) {
  OpenAt(true, 7);
  struct Values {
    int32_t x, y, brightness, fade, limit;
    int32_t tone;
  };
  const Values values[] = {{0, 0, 0, 0, 0, 180}, {40, 48, 10, -20, 1, 220}, {-8, -45, -25, -50, 0, 160}};
  std::vector<uint8_t> first;
  for (const Values& v : values) {
    s().SetAdjustment(9, v.x);
    s().SetAdjustment(10, v.y);
    s().SetAdjustment(0, v.brightness);
    s().SetAdjustment(8, v.fade);
    s().SetAdjustment(11, v.limit);
    s().SetGamma(static_cast<uint32_t>(v.tone));
    Surface drawn(140, 100);
    Draw(drawn, 8546);
    EXPECT_EQ(drawn.Bytes(), ExpectedMonoSample(140, 100));
    if (first.empty()) {
      first = drawn.Bytes();
    } else {
      EXPECT_NE(drawn.Bytes(), first);  // the settings show in the picture
    }
  }
}

TEST_F(DrawTest, MonoSampleReadsALoneMinusAsZero) {
  OpenAt(true, 7);
  s().SetAdjustment(1, 0);
  Surface zero(140, 100);
  Draw(zero, 8546);
  s().SetAdjustment(1, kAdjustMinusMarker);
  Surface minus(140, 100);
  Draw(minus, 8546);
  EXPECT_EQ(zero.Bytes(), minus.Bytes());
}

TEST_F(DrawTest, RefusedToneShowsABlackSample) {
  OpenAt(true, 7);
  s().SetGamma(100);  // outside 140..240: the engine answers 80
  Surface drawn(140, 100);
  Draw(drawn, 8546);
  // The picture (120 x 90 centred) is the zero-filled destination.
  EXPECT_TRUE(drawn.All({10, 5, 130, 95}, RGB(0, 0, 0)));
}

TEST_F(DrawTest, MissingOrDamagedSourcesDrawNothing) {
  OpenAt(true, 7);
  // A module without bitmap 8548: the item is left as it was, without a message.
  shared().resource_module = GetModuleHandleA(nullptr);
  Surface drawn(140, 100);
  Draw(drawn, 8546);
  EXPECT_TRUE(drawn.All({0, 0, 140, 100}, kUntouched));
  EXPECT_TRUE(boxes_.shown().empty());
  shared().resource_module = fixture_->module();
  HBITMAP bitmap = nullptr;
  EXPECT_EQ(advanced::RenderMonoSample(fixture_->param(), &bitmap, drawn.dc()), 1);
  DeleteObject(bitmap);
}

TEST_F(DrawTest, WithoutToningNeitherToningSignsNorMonoSampleAreDrawn) {
  OpenAt(false, 0);
  Surface sample(140, 100);
  Draw(sample, 8546);
  EXPECT_TRUE(sample.All({0, 0, 140, 100}, kUntouched));
  Surface sign(16, 16);
  Draw(sign, 8540);
  EXPECT_TRUE(sign.All({0, 0, 16, 16}, kUntouched));
  Surface colour_sign(16, 16);
  Draw(colour_sign, 2090);
  EXPECT_FALSE(colour_sign.All({0, 0, 16, 16}, kUntouched));
  HBITMAP bitmap = nullptr;
  EXPECT_EQ(advanced::RenderMonoSample(fixture_->param(), &bitmap, sample.dc()), 0);
  EXPECT_EQ(bitmap, nullptr);
}

TEST_F(DrawTest, VariantsTheMediaLacksLookDisabled) {
  OpenAt(true, 0);
  // The same item (variant 2, which needs flag 4) under a media that offers it and one that
  // does not: only the look differs.
  s().SetMediaId(101);
  ASSERT_EQ(pages::GetMediaVariantFlags(s()), 7u);
  Surface offered(120, 16);
  Draw(offered, 8120, ODT_COMBOBOX, 1, 2);
  s().SetMediaId(102);  // its modes offer variant 0 only
  ASSERT_EQ(pages::GetMediaVariantFlags(s()), 1u);
  Surface lacking(120, 16);
  Draw(lacking, 8120, ODT_COMBOBOX, 1, 2);
  EXPECT_NE(lacking.Bytes(), offered.Bytes());
  Surface disabled(120, 16);
  Draw(disabled, 8120, ODT_COMBOBOX, 1, 2, ODS_DISABLED);
  EXPECT_EQ(lacking.Bytes(), disabled.Bytes());  // the disabled look
  // Both are still listed.
  EXPECT_EQ(SendMessageA(item(8120), CB_GETCOUNT, 0, 0), 3);
}

TEST_F(DrawTest, PictureIdsOfTheControls) {
  OpenAt(false, 0);
  shared().mode_variant_picture_id = 7416;
  s().SetRenderMethod(2);
  struct Case {
    int control;
    int bitmap;
  };
  const Case cases[] = {{2116, 7416}, {2135, 1352}, {2126, 7404}, {2181, 7803}, {8546, 8548},
                        {8547, 8549}, {8122, 7433}, {2100, -1},   {2090, -1}};
  for (const Case& c : cases) EXPECT_EQ(advanced::GetAdvancedPictureId(fixture_->param(), c.control), c.bitmap);
}

}  // namespace
}  // namespace kalimu::dialogs
