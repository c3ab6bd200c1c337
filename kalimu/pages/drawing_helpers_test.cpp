// The drawing helpers: packed-DIB readers (also on damaged bytes), text with an ellipsis (also
// double-byte text), combo items longer than a short buffer, and the helpers that work on the
// settings: quality list, sign boxes, correction settings and the corrected sample picture.
#include "kalimu/pages/drawing_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "kalimu/pages/control_test_support.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/settings/job_settings_test_support.h"

namespace kalimu::pages {
namespace {

// ---- Packed DIBs -----------------------------------------------------------------------------------

std::vector<uint8_t> InfoDib(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t used,
                             size_t extra) {
  std::vector<uint8_t> bytes(40 + extra, 0);
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biCompression = compression;
  header.biClrUsed = used;
  std::memcpy(bytes.data(), &header, sizeof(header));
  for (size_t i = 40; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  return bytes;
}

std::vector<uint8_t> CoreDib(uint16_t width, uint16_t height, uint16_t bits, size_t extra) {
  std::vector<uint8_t> bytes(12 + extra, 0);
  BITMAPCOREHEADER header{};
  header.bcSize = 12;
  header.bcWidth = width;
  header.bcHeight = height;
  header.bcPlanes = 1;
  header.bcBitCount = bits;
  std::memcpy(bytes.data(), &header, sizeof(header));
  return bytes;
}

TEST(PackedDib, ReadersFollowTheHeaderKind) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int32_t width, height;
    uint32_t colours, table;
  };
  const Case cases[] = {
      {"16-bit bit fields", InfoDib(5, 3, 16, BI_BITFIELDS, 0, 12 + 40), 5, 3, 0, 12},
      {"32-bit bit fields", InfoDib(5, 3, 32, BI_BITFIELDS, 0, 12 + 64), 5, 3, 0, 12},
      {"8-bit, 20 colours used", InfoDib(4, -6, 8, BI_RGB, 20, 80 + 24), 4, 6, 20, 80},
      {"8-bit", InfoDib(4, 2, 8, BI_RGB, 0, 1024 + 8), 4, 2, 256, 1024},
      {"4-bit", InfoDib(8, 2, 4, BI_RGB, 0, 64 + 8), 8, 2, 16, 64},
      {"1-bit", InfoDib(8, 2, 1, BI_RGB, 0, 8 + 8), 8, 2, 2, 8},
      {"24-bit", InfoDib(2, 2, 24, BI_RGB, 0, 16), 2, 2, 0, 0},
      {"8-bit core", CoreDib(300, 200, 8, 768 + 8), 300, 200, 256, 768},
      {"4-bit core", CoreDib(3, 2, 4, 48 + 8), 3, 2, 16, 48},
  };
  for (const Case& c : cases) {
    const PackedDib dib{c.bytes.data(), c.bytes.size()};
    EXPECT_EQ(GetDibWidth(dib), c.width) << c.name;
    EXPECT_EQ(GetDibHeight(dib), c.height) << c.name;
    EXPECT_EQ(GetDibColorCount(dib), c.colours) << c.name;
    EXPECT_EQ(GetDibColorTableSize(dib), c.table) << c.name;
    EXPECT_EQ(GetDibBitsPointer(dib), c.bytes.data() + GetDibHeaderSize(dib) + c.table) << c.name;
  }
}

TEST(PackedDib, DamagedBytesGiveZerosAndNoPalette) {
  std::vector<uint8_t> huge_table = InfoDib(4, 4, 8, BI_RGB, 0x7FFFFFFF, 100);
  std::vector<uint8_t> short_table = InfoDib(4, 4, 8, BI_RGB, 0, 200);  // 1024 bytes of table missing
  std::vector<uint8_t> odd_header = InfoDib(4, 4, 8, BI_RGB, 0, 100);
  odd_header[0] = 20;  // neither a core nor an information header
  std::vector<uint8_t> cut_header = InfoDib(4, 4, 8, BI_RGB, 0, 0);
  cut_header.resize(30);
  const uint8_t two_bytes[] = {40, 0};
  struct Case {
    const char* name;
    PackedDib dib;
  };
  const Case cases[] = {{"colours used beyond the bytes", {huge_table.data(), huge_table.size()}},
                        {"colour table beyond the bytes", {short_table.data(), short_table.size()}},
                        {"header of 20 bytes", {odd_header.data(), odd_header.size()}},
                        {"header cut short", {cut_header.data(), cut_header.size()}},
                        {"two bytes", {two_bytes, sizeof(two_bytes)}},
                        {"no bytes", {nullptr, 0}}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetDibBitsPointer(c.dib), nullptr) << c.name;
    EXPECT_EQ(CreateDibPalette(c.dib), nullptr) << c.name;
  }
  EXPECT_EQ(GetDibWidth({odd_header.data(), odd_header.size()}), 0);
  EXPECT_EQ(GetDibColorTableSize({cut_header.data(), cut_header.size()}), 0u);
}

PALETTEENTRY Entry(HPALETTE palette, UINT index) {
  PALETTEENTRY entry{};
  GetPaletteEntries(palette, index, 1, &entry);
  return entry;
}

TEST(PackedDib, PalettesFromTheTableOrTheCube) {
  // 24 bits without colours: the 3-3-2 cube.
  std::vector<uint8_t> deep = InfoDib(2, 2, 24, BI_RGB, 0, 16);
  UniqueGdiObject cube(CreateDibPalette({deep.data(), deep.size()}));
  ASSERT_TRUE(cube);
  WORD count = 0;
  GetObjectA(cube.get(), sizeof(count), &count);
  EXPECT_EQ(count, 256);
  const PALETTEENTRY last = Entry(static_cast<HPALETTE>(cube.get()), 255);
  EXPECT_EQ(last.peRed, 224);
  EXPECT_EQ(last.peGreen, 224);
  EXPECT_EQ(last.peBlue, 192);
  const PALETTEENTRY some = Entry(static_cast<HPALETTE>(cube.get()), 75);  // 75 = 1*64 + 1*8 + 3
  EXPECT_EQ(some.peRed, 96);
  EXPECT_EQ(some.peGreen, 32);
  EXPECT_EQ(some.peBlue, 64);

  // Two colours from the table, turned from blue, green, red into red, green, blue.
  std::vector<uint8_t> two = InfoDib(2, 2, 8, BI_RGB, 2, 8 + 8);
  const uint8_t table[] = {10, 20, 30, 0, 40, 50, 60, 0};
  std::memcpy(two.data() + 40, table, sizeof(table));
  UniqueGdiObject small(CreateDibPalette({two.data(), two.size()}));
  ASSERT_TRUE(small);
  GetObjectA(small.get(), sizeof(count), &count);
  EXPECT_EQ(count, 2);
  const PALETTEENTRY second = Entry(static_cast<HPALETTE>(small.get()), 1);
  EXPECT_EQ(second.peRed, 60);
  EXPECT_EQ(second.peGreen, 50);
  EXPECT_EQ(second.peBlue, 40);

  // Below 16 bits without a count, and core headers: no palette.
  std::vector<uint8_t> core = CoreDib(2, 2, 8, 768 + 4);
  EXPECT_EQ(CreateDibPalette({core.data(), core.size()}), nullptr);
}

// ---- Text ------------------------------------------------------------------------------------------

class TextWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog_, nullptr);
    for (const auto& [id, width] : {std::pair{100, 120}, std::pair{101, 6}}) {
      CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, width, 20, dialog_,
                      reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    }
    dc_ = GetDC(dialog_);
  }
  void TearDown() override {
    if (dc_ != nullptr) ReleaseDC(dialog_, dc_);
    if (dialog_ != nullptr) DestroyWindow(dialog_);
  }
  int Room(int id) {
    RECT client;
    GetClientRect(GetDlgItem(dialog_, id), &client);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_, &metrics);
    return client.right - metrics.tmMaxCharWidth;
  }
  int Width(const char* text) {
    SIZE extent{};
    GetTextExtentPoint32A(dc_, text, static_cast<int>(std::strlen(text)), &extent);
    return extent.cx;
  }
  HWND dialog_ = nullptr;
  HDC dc_ = nullptr;
};

TEST_F(TextWindowTest, EllipsisOnlyWhenTheTextIsTooWide) {
  char fits[64] = "A4";
  EXPECT_EQ(FitTextWithEllipsis(dialog_, dc_, fits, sizeof(fits), 100), 1);
  EXPECT_STREQ(fits, "A4");

  char wide[128] = "Roll Paper 44 in (1118 mm), Premium Glossy Photo Paper 250";
  EXPECT_EQ(FitTextWithEllipsis(dialog_, dc_, wide, sizeof(wide), 100), 1);
  const std::string cut = wide;
  ASSERT_GT(cut.size(), 3u);
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
  EXPECT_EQ(cut.rfind("Roll Paper", 0), 0u);
  EXPECT_LE(Width(wide), Room(100));

  // Not even "..." fits: the text ends as the ellipsis and the loop ends.
  char none[32] = "Plain Paper";
  EXPECT_EQ(FitTextWithEllipsis(dialog_, dc_, none, sizeof(none), 101), 1);
  EXPECT_STREQ(none, "...");
  char tiny[3] = "AB";
  EXPECT_EQ(FitTextWithEllipsis(dialog_, dc_, tiny, sizeof(tiny), 101), 1);
  EXPECT_STREQ(tiny, "..");
}

TEST_F(TextWindowTest, DoubleByteCharactersStayWhole) {
  // Hiragana "a" (0x82 0xA0) fifty times: double-byte under code page 932 (ja_JP), single bytes
  // elsewhere. Whatever the code page, the kept text never ends inside a character.
  std::string text;
  for (int i = 0; i < 50; ++i) text += "\x82\xA0";
  char buffer[128];
  std::strcpy(buffer, text.c_str());
  EXPECT_EQ(FitTextWithEllipsis(dialog_, dc_, buffer, sizeof(buffer), 100), 1);
  const std::string cut = buffer;
  ASSERT_GT(cut.size(), 3u);
  ASSERT_EQ(cut.substr(cut.size() - 3), "...");
  const std::string kept = cut.substr(0, cut.size() - 3);
  size_t i = 0;
  while (i < kept.size()) i += IsDBCSLeadByte(static_cast<BYTE>(kept[i])) ? 2 : 1;
  EXPECT_EQ(i, kept.size()) << "a double-byte character was cut in half";
  if (GetACP() == 932) {
    EXPECT_EQ(kept.size() % 2, 0u);
  }
  EXPECT_LE(Width(buffer), Room(100));
}

TEST_F(TextWindowTest, ComboItemTextIsReadWhole) {
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                               0, 0, 300, 200, dialog_, reinterpret_cast<HMENU>(2201), nullptr, nullptr);
  ASSERT_NE(combo, nullptr);
  const std::string name(150, 'M');  // a user paper name far longer than 63 characters
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageA(combo, CB_SETITEMDATA, 0, 42);

  UniqueMemoryDc memory(CreateCompatibleDC(dc_));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(dc_, 3000, 20));
  Selection selected(memory.get(), bitmap.get());
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_COMBOBOX;
  item.CtlID = 2201;
  item.itemID = 0;
  item.itemState = 0;
  item.hwndItem = combo;
  item.hDC = memory.get();
  item.rcItem = RECT{0, 0, 3000, 20};
  EXPECT_EQ(DrawComboItemText(dialog_, &item), 42);

  // The rightmost text pixel lies beyond what 63 characters would cover.
  const std::string first63(63, 'M');
  SIZE extent{};
  GetTextExtentPoint32A(memory.get(), first63.c_str(), 63, &extent);
  const int x0 = (LOWORD(GetDialogBaseUnits()) / 4) * 2;
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  int rightmost = 0;
  for (int x = 0; x < 3000; ++x) {
    for (int y = 0; y < 20; ++y) {
      if (GetPixel(memory.get(), x, y) != background) rightmost = x;
    }
  }
  EXPECT_GT(rightmost, x0 + extent.cx + 10);
}

// ---- Helpers on the settings ------------------------------------------------------------------------

// The roll-paper model with every print mode offering quality levels 1, 2 and 10 (and 0 and 5 in
// a second mask), and the print-quality list allowed.
testkit::ModelDescription QualityModel(int16_t mask) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.flags20 &= ~0x8000000u;
  for (auto& mode : model.modes) {
    for (auto& group : mode.groups) group.quality_mask = mask;
  }
  return model;
}

class SettingsHelpersTest : public ::testing::Test {
 protected:
  void Open(int16_t mask) {
    fixture_ = std::make_unique<settings::test::SettingsOnPrinter>(QualityModel(mask));
    ASSERT_TRUE(fixture_->ok()) << fixture_->error();
    shared_ = PageShared{};
    shared_.resource_module = library_.module();
    context_ = SheetContext{};
    context_.may_change = 1;
    param_ = PageParam{&fixture_->settings(), &shared_, &context_};
  }
  void SetUp() override {
    ASSERT_NE(library_.module(), nullptr);
    dialog_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    combo_ = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 200, 200, dialog_,
                             reinterpret_cast<HMENU>(2055), nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(dialog_); }
  std::vector<std::string> Items() {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(combo_, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      char text[64] = {};
      SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      items.push_back(text);
    }
    return items;
  }
  std::string Text(int id) {
    char text[64] = {};
    LoadStringA(library_.module(), static_cast<UINT>(id), text, sizeof(text));
    return text;
  }

  test::ControlLibrary library_;
  std::unique_ptr<settings::test::SettingsOnPrinter> fixture_;
  PageShared shared_{};
  SheetContext context_{};
  PageParam param_{};
  HWND dialog_ = nullptr;
  HWND combo_ = nullptr;
};

TEST_F(SettingsHelpersTest, QualityListRunsFromTheHighestLevelDownThenLevelTen) {
  Open(static_cast<int16_t>((1 << 1) | (1 << 2) | 0x400));
  fixture_->settings().SetQualityLevel(1);
  FillPrintQualityCombo(dialog_, &param_, 2055, 0);
  EXPECT_EQ(Items(), (std::vector<std::string>{Text(1402), Text(1401), Text(1406)}));
  EXPECT_EQ(SendMessageA(combo_, CB_GETITEMDATA, 2, 0), 10);
}

TEST_F(SettingsHelpersTest, TheMainPageNeverListsLevelsZeroAndFive) {
  Open(static_cast<int16_t>(0x3F));
  fixture_->settings().SetQualityLevel(2);
  FillPrintQualityCombo(dialog_, &param_, 2055, 1);
  EXPECT_EQ(Items(), (std::vector<std::string>{Text(1404), Text(1403), Text(1402), Text(1401)}));
  EXPECT_EQ(SendMessageA(combo_, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(SettingsHelpersTest, SignBoxesAndTheirEditStates) {
  Open(0x6);
  settings::JobSettings& s = fixture_->settings();
  s.SetAdjustment(0, 7);    // 2080: shown as stored
  s.SetAdjustment(3, 5);    // 2083: shown negated
  s.SetAdjustment(8, 0);    // 8544: always "-"
  shared_.adjust_edit_states[0] = kEditActive | kEditNegative;
  shared_.adjust_edit_states[3] = kEditActive;
  shared_.adjust_edit_states[10] = 0;
  UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
  struct Case {
    int id;
    char sign;
    uint16_t state;
    int active;
  };
  for (const Case& c : {Case{2090, '+', kEditActive, 1}, Case{2093, '-', kEditActive | kEditNegative, 1},
                        Case{8544, '-', kEditNegative, 0}}) {
    DRAWITEMSTRUCT item{};
    item.CtlID = static_cast<UINT>(c.id);
    item.hDC = memory.get();
    COLORREF old = 0;
    char sign = 0;
    EXPECT_EQ(PrepareAdjustSignItem(&item, &param_, &old, &sign), c.active) << c.id;
    EXPECT_EQ(sign, c.sign) << c.id;
    ColorAdjustItem adjust;
    ASSERT_EQ(GetColorAdjustItem(&param_, c.id, &adjust), 1);
    EXPECT_EQ(adjust.edit_state, c.state) << c.id;
  }
  context_.may_change = 0;  // a read-only sheet draws every sign box inactive
  DRAWITEMSTRUCT item{};
  item.CtlID = 2090;
  item.hDC = memory.get();
  COLORREF old = 0;
  char sign = 0;
  EXPECT_EQ(PrepareAdjustSignItem(&item, &param_, &old, &sign), 0);
  EXPECT_EQ(GetBkColor(memory.get()), GetSysColor(COLOR_BTNFACE));

  ColorAdjustItem other;
  EXPECT_EQ(GetColorAdjustItem(&param_, 2100, &other), 0);
  EXPECT_EQ(other.value, 0);
  EXPECT_EQ(other.slider, 0);
  SetColorAdjustValue(&param_, 2084, 9);
  EXPECT_EQ(s.GetAdjustment(4), -9);
}

TEST_F(SettingsHelpersTest, CorrectionSettingsFromTheRecord) {
  Open(0x6);
  settings::JobSettings& s = fixture_->settings();
  s.SetCorrectionMode(7);
  s.SetCorrectionLevel(static_cast<uint32_t>(-1));
  s.SetCorrectionStrength(3);
  s.SetCorrectionOption(2);
  imaging::CorrectionSettings settings{};
  GetCorrectionSettings(&param_, &settings);
  EXPECT_EQ(settings.Size, 56);
  EXPECT_EQ(settings.Class, 3);
  EXPECT_EQ(settings.Mode, 7);
  EXPECT_EQ(settings.Level, -1);
  EXPECT_EQ(settings.Strength, 10);
  EXPECT_EQ(settings.Option, 2);
  // Values outside their lists leave the words as they were.
  s.SetCorrectionMode(12);
  s.SetCorrectionStrength(9);
  imaging::CorrectionSettings kept{};
  kept.Mode = 33;
  kept.Strength = 44;
  GetCorrectionSettings(&param_, &kept);
  EXPECT_EQ(kept.Mode, 33);
  EXPECT_EQ(kept.Strength, 44);
}

// Counts the black pixels of a bitmap (as 24-bit rows).
size_t BlackPixels(HBITMAP bitmap, int* width, int* height) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof(info), &info);
  *width = info.bmWidth;
  *height = info.bmHeight;
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(header.bmiHeader);
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = info.bmHeight;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  const size_t row = (static_cast<size_t>(info.bmWidth) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> bits(row * info.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(), &header, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  size_t black = 0;
  for (int y = 0; y < info.bmHeight; ++y) {
    for (int x = 0; x < info.bmWidth; ++x) {
      const uint8_t* p = bits.data() + y * row + 3 * x;
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) ++black;
    }
  }
  return black;
}

TEST_F(SettingsHelpersTest, SamplePictureThroughThePhotoCorrectionEngine) {
  Open(0x6);
  settings::JobSettings& s = fixture_->settings();
  WindowDc dc(nullptr);  // a colour device context, as the dialog's item context is
  struct Case {
    const char* name;
    int bitmap_id;
    uint32_t level;
    int result;
    bool black;
  };
  const Case cases[] = {
      {"automatic level: a corrected picture", 7803, static_cast<uint32_t>(-1), 1, false},
      {"a manual level: the engine writes nothing, the picture is black", 7803, 2, 1, true},
      {"an 8-bit picture the engine's rows would overrun", 7802, static_cast<uint32_t>(-1), 0, false},
      {"a missing picture", 12345, static_cast<uint32_t>(-1), 0, false},
  };
  for (const Case& c : cases) {
    s.SetCorrectionMode(3);
    s.SetCorrectionLevel(c.level);
    HBITMAP untouched = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(0x5A5A));
    HBITMAP bitmap = untouched;
    EXPECT_EQ(RenderCorrectedSample(c.bitmap_id, &param_, &bitmap, dc.get()), c.result) << c.name;
    EXPECT_EQ(shared_.sample_picture, nullptr) << c.name;
    if (c.result == 0) {
      EXPECT_EQ(bitmap, untouched) << c.name;
      continue;
    }
    ASSERT_NE(bitmap, nullptr) << c.name;
    UniqueGdiObject owned(bitmap);
    int width = 0, height = 0;
    const size_t black = BlackPixels(bitmap, &width, &height);
    EXPECT_EQ(width, 120) << c.name;
    EXPECT_EQ(height, 90) << c.name;
    if (c.black) {
      EXPECT_EQ(black, static_cast<size_t>(width) * height) << c.name;
    } else {
      EXPECT_LT(black, static_cast<size_t>(width) * height / 4) << c.name;
    }
  }
}

TEST_F(SettingsHelpersTest, WatermarkListStartsWithNone) {
  Open(0x6);
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0, 200, 200,
                               dialog_, reinterpret_cast<HMENU>(2422), nullptr, nullptr);
  ASSERT_EQ(FillWatermarkCombo(dialog_, &param_), 1);
  char first[64] = {};
  SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_EQ(std::string(first), Text(1880));
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 0, 0), -1);
  uint32_t entries = 0;
  static_cast<storage::WatermarkStore&>(fixture_->settings()).GetEntryCount(&entries);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(entries) + 1);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0),
            fixture_->settings().IsWatermarkOn() ? fixture_->settings().GetWatermarkIndex() + 1 : 0);
}

}  // namespace
}  // namespace kalimu::pages
