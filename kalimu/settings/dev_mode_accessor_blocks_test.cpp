// Text fields, block copies and the accessor operations of their own shape.
#include "kalimu/settings/dev_mode_accessor.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "testkit/kalimu/dev_mode_layout_table.h"

namespace kalimu::settings {
namespace {

using ::testkit::FindLayoutRow;
using ::testkit::kPoison;
using ::testkit::PoisonedRecord;

// --- Text fields ------------------------------------------------------------------------------

struct TextOps {
  std::string name;
  bool wide;
  std::function<const void*(const DevModeAccessor&)> address;
  std::function<void(DevModeAccessor&, const std::wstring&)> set;  // ASCII text only
  std::function<void(DevModeAccessor&)> set_null;
};

void SetText(DevModeAccessor& a, void (DevModeAccessor::*set)(const wchar_t*),
             const std::wstring& text) {
  (a.*set)(text.c_str());
}
void SetText(DevModeAccessor& a, void (DevModeAccessor::*set)(const char*),
             const std::wstring& text) {
  (a.*set)(std::string(text.begin(), text.end()).c_str());
}

#define TEXTS_Text(Name, member)                                                              \
  {#Name, std::is_same_v<std::remove_extent_t<KALIMU_DEVMODE_FIELD_TYPE(member)>, wchar_t>,   \
   [](const DevModeAccessor& a) -> const void* { return a.Get##Name(); },                     \
   [](DevModeAccessor& a, const std::wstring& t) { SetText(a, &DevModeAccessor::Set##Name, t); }, \
   [](DevModeAccessor& a) { a.Set##Name(nullptr); }},
#define TEXTS_Value(Name, member)
#define TEXTS_GetOnly(Name, member)
#define TEXTS_SetOnly(Name, member)
#define TEXTS_Word(Name, member)
#define TEXTS_WordOn1(Name, member)
#define TEXTS_WordTest(Name, member)
#define TEXTS_Bits(Name, member)
#define TEXTS_Block(Name, member)
#define TEXTS_BlockEq(Name, member)
#define TEXTS(kind, Name, member, rule, stem) TEXTS_##kind(Name, member)

TEST(DevModeText, TextFieldsKeepTheirCharacterLimitAndStayInside) {
  // Characters kept of an over-long text, by field.
  const std::map<std::string, size_t> limits = {
      {"FormName", 31},   {"DriverName", 31}, {"DllNameTag", 31}, {"ReservedName", 31},
      {"PresetName", 16}, {"SourceProfile1ShortName", 15}, {"SourceProfile2ShortName", 15},
      {"SourceProfile3ShortName", 15}, {"PrinterProfile1ShortName", 15},
      {"PrinterProfile2ShortName", 15}, {"PrinterProfile3ShortName", 15},
  };
  const std::vector<TextOps> texts = {KALIMU_DEVMODE_FIELDS(TEXTS)};
  ASSERT_EQ(texts.size(), limits.size());
  const std::wstring long_text = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40 characters

  for (const TextOps& ops : texts) {
    SCOPED_TRACE(ops.name);
    const ::testkit::LayoutRow* row = FindLayoutRow(ops.name);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(limits.count(ops.name), 1u);
    const size_t limit = limits.at(ops.name);
    const size_t unit = ops.wide ? 2 : 1;

    PoisonedRecord poisoned;
    DevModeAccessor accessor(poisoned.record());
    EXPECT_EQ(ops.address(accessor), poisoned.bytes + row->offset);

    ops.set(accessor, long_text);
    for (size_t i = 0; i < row->size / unit; ++i) {
      const uint64_t expected = i < limit ? static_cast<uint64_t>(long_text[i]) : 0;
      ASSERT_EQ(poisoned.ReadLittleEndian(row->offset + i * unit, unit), expected) << "unit " << i;
    }
    EXPECT_EQ(poisoned.FirstChangeOutside(row->offset, row->size), -1);

    ops.set(accessor, L"ab");
    EXPECT_EQ(poisoned.ReadLittleEndian(row->offset, 3 * unit),
              ops.wide ? 0x000000620061ull : 0x006261ull);
    ops.set_null(accessor);
    EXPECT_EQ(poisoned.ReadLittleEndian(row->offset, unit), 0u);
  }
}

TEST(DevModeText, PresetNameKeepsSixteenCharactersOfTwenty) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  accessor.SetPresetName(L"Glossy photo 20 char");
  EXPECT_EQ(std::wstring(accessor.GetPresetName()), L"Glossy photo 20 ");
}

TEST(DevModeText, DeviceNameIsStoredFromEitherFormAndReadBackInAnsi) {
  PoisonedRecord poisoned;
  DevModeAccessor accessor(poisoned.record());
  accessor.SetDeviceName(L"NORVA KV-9000 on the second floor, by the window");
  EXPECT_EQ(std::wstring(poisoned.record()->Public.dmDeviceName),
            L"NORVA KV-9000 on the second flo");
  EXPECT_EQ(poisoned.FirstChangeOutside(0, 64), -1);

  char buffer[64];
  EXPECT_EQ(accessor.GetDeviceNameA(buffer, sizeof(buffer)), 1);
  EXPECT_STREQ(buffer, "NORVA KV-9000 on the second flo");
  EXPECT_EQ(accessor.GetDeviceNameA(buffer, 6), 0);  // cut to the buffer
  EXPECT_STREQ(buffer, "NORVA");
  EXPECT_EQ(accessor.GetDeviceNameA(nullptr, 6), 0);

  accessor.SetDeviceName(std::string(40, 'P').c_str());
  EXPECT_EQ(std::wstring(poisoned.record()->Public.dmDeviceName), std::wstring(31, L'P'));
  accessor.SetDeviceName("Plotter 2");
  EXPECT_EQ(std::wstring(poisoned.record()->Public.dmDeviceName), L"Plotter 2");
  accessor.SetDeviceName(static_cast<const char*>(nullptr));
  EXPECT_EQ(poisoned.record()->Public.dmDeviceName[0], L'\0');
}

TEST(DevModeText, FormNameReadsBackInAnsi) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  accessor.SetFormName(L"A0 roll");
  char buffer[32];
  EXPECT_EQ(accessor.GetFormNameA(buffer, sizeof(buffer)), 1);
  EXPECT_STREQ(buffer, "A0 roll");
  // A foreign record whose name fills the field without a terminator is read within the field.
  for (auto& unit : record.Public.dmFormName) unit = L'F';
  EXPECT_EQ(accessor.GetFormNameA(buffer, sizeof(buffer)), 0);
  EXPECT_EQ(std::string(buffer), std::string(31, 'F'));
}

// --- Blocks -----------------------------------------------------------------------------------

struct BlockOps {
  std::string name;
  size_t size;
  std::function<void(const DevModeAccessor&, void*)> get;
  std::function<void(DevModeAccessor&, const void*)> set;
  std::function<int(const DevModeAccessor&, const void*)> equal;  // empty without Is...Equal
};

#define BLOCK_TYPE(member) KALIMU_DEVMODE_FIELD_TYPE(member)
#define BLOCK_OPS(Name, member)                                                               \
  #Name, sizeof(BLOCK_TYPE(member)),                                                          \
      [](const DevModeAccessor& a, void* out) { a.Get##Name(static_cast<BLOCK_TYPE(member)*>(out)); }, \
      [](DevModeAccessor& a, const void* in) { a.Set##Name(static_cast<const BLOCK_TYPE(member)*>(in)); }
#define BLOCKS_Block(Name, member) {BLOCK_OPS(Name, member), nullptr},
#define BLOCKS_BlockEq(Name, member)                                                          \
  {BLOCK_OPS(Name, member), [](const DevModeAccessor& a, const void* b) {                     \
     return a.Is##Name##Equal(static_cast<const BLOCK_TYPE(member)*>(b)); }},
#define BLOCKS_Value(Name, member)
#define BLOCKS_GetOnly(Name, member)
#define BLOCKS_SetOnly(Name, member)
#define BLOCKS_Word(Name, member)
#define BLOCKS_WordOn1(Name, member)
#define BLOCKS_WordTest(Name, member)
#define BLOCKS_Bits(Name, member)
#define BLOCKS_Text(Name, member)
#define BLOCKS(kind, Name, member, rule, stem) BLOCKS_##kind(Name, member)

TEST(DevModeBlocks, BlocksCopyWholeAtTheirOffsetAndCompareByteForByte) {
  const std::vector<BlockOps> blocks = {KALIMU_DEVMODE_FIELDS(BLOCKS)};
  EXPECT_EQ(blocks.size(), 10u);
  for (const BlockOps& ops : blocks) {
    SCOPED_TRACE(ops.name);
    const ::testkit::LayoutRow* row = FindLayoutRow(ops.name);
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(ops.size, row->size);
    std::vector<uint8_t> block(ops.size);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + 1);

    PoisonedRecord poisoned;
    DevModeAccessor accessor(poisoned.record());
    if (ops.equal) {
      EXPECT_EQ(ops.equal(accessor, block.data()), 0);
    }
    ops.set(accessor, block.data());
    EXPECT_EQ(std::memcmp(poisoned.bytes + row->offset, block.data(), block.size()), 0);
    EXPECT_EQ(poisoned.FirstChangeOutside(row->offset, row->size), -1);

    std::vector<uint8_t> out(ops.size, 0);
    ops.get(accessor, out.data());
    EXPECT_EQ(out, block);
    if (ops.equal) {
      EXPECT_EQ(ops.equal(accessor, block.data()), 1);
      block.back() ^= 1;
      EXPECT_EQ(ops.equal(accessor, block.data()), 0);
      EXPECT_EQ(ops.equal(accessor, nullptr), 0);
    }
    ops.set(accessor, nullptr);  // nothing to copy
    ops.get(accessor, nullptr);
    EXPECT_EQ(poisoned.FirstChangeOutside(row->offset, row->size), -1);
  }
}

TEST(DevModeBlocks, PairAndQuadMembersMatchTheirBlocks) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  const ExtentPair extent{-5, 7000};
  accessor.SetPaperDotExtent(&extent);
  EXPECT_EQ(accessor.GetPaperDotWidth(), -5);
  EXPECT_EQ(accessor.GetPaperDotHeight(), 7000);
  accessor.SetOutputWidth(640);
  accessor.SetOutputHeight(480);
  ExtentPair output{};
  accessor.GetOutputExtent(&output);
  EXPECT_EQ(output.width, 640);
  EXPECT_EQ(output.height, 480);
  const EdgeValues margins{1, 2, 3, 4};
  accessor.SetPaperMargins(&margins);
  EXPECT_EQ(record.PaperMargins.left, 1);
  EXPECT_EQ(record.PaperMargins.bottom, 4);
}

// --- Operations of their own shape ------------------------------------------------------------

TEST(DevModeAccessor, DeviceResolutionIsStoredAsAPair) {
  PoisonedRecord poisoned;
  DevModeAccessor accessor(poisoned.record());
  accessor.SetDeviceResolution(1440, 720);
  EXPECT_EQ(poisoned.ReadLittleEndian(816, 4), 1440u);
  EXPECT_EQ(poisoned.ReadLittleEndian(820, 4), 720u);
  EXPECT_EQ(poisoned.FirstChangeOutside(816, 8), -1);
  ResolutionPair out{};
  accessor.GetDeviceResolution(&out);
  EXPECT_EQ(out.x, 1440u);
  EXPECT_EQ(out.y, 720u);
}

TEST(DevModeAccessor, CustomPaperSizeIsStoredOnlyWhenBothSidesArePositive) {
  struct Case {
    ExtentPair size;
    int32_t width;
    int32_t length;
  } const cases[] = {
      {{0, 5000}, 2100, 2970}, {{5000, 0}, 2100, 2970}, {{-1, 5000}, 2100, 2970},
      {{5000, -1}, 2100, 2970}, {{1, 1}, 1, 1},         {{9000, 150000}, 9000, 150000},
  };
  for (const Case& c : cases) {
    PoisonedRecord poisoned;
    DevModeAccessor accessor(poisoned.record());
    poisoned.WriteLittleEndian(800, 4, 2100);
    poisoned.WriteLittleEndian(804, 4, 2970);
    accessor.SetCustomPaperSize(c.size);
    ExtentPair out{};
    accessor.GetCustomPaperSize(&out);
    EXPECT_EQ(out.width, c.width);
    EXPECT_EQ(out.height, c.length);
    EXPECT_EQ(accessor.GetCustomPaperWidth(), c.width);
    EXPECT_EQ(accessor.GetCustomPaperLength(), c.length);
    EXPECT_EQ(poisoned.FirstChangeOutside(800, 8), -1);
  }
}

TEST(DevModeAccessor, LengthsAreKeptInTheUnitTheirWordNames) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  // Custom size: 0.1 mm or 1/100 inch by CustomPaperUnit; the accessor converts nothing.
  accessor.SetCustomPaperUnit(kCustomPaperUnitTenthMm);
  accessor.SetCustomPaperSize({2100, 2970});
  accessor.SetCustomPaperUnit(kCustomPaperUnitHundredthInch);
  EXPECT_EQ(accessor.GetCustomPaperUnit(), 2u);
  EXPECT_EQ(accessor.GetCustomPaperWidth(), 2100);
  EXPECT_EQ(record.CustomPaperUnit, 2);
  // Binding margin: 0.1 mm with DuplexOptions bit 16, 1/100 inch without.
  accessor.SetBindingMargin(118);
  accessor.SetDuplexOptionBits(kDuplexOptionBindingMarginMetric, 1);
  EXPECT_EQ(accessor.TestDuplexOptionBits(kDuplexOptionBindingMarginMetric), 1);
  EXPECT_EQ(record.DuplexOptions, 0x10u);
  EXPECT_EQ(accessor.GetBindingMargin(), 118u);
  accessor.SetDuplexOptionBits(kDuplexOptionBindingMarginMetric, 0);
  EXPECT_EQ(accessor.TestDuplexOptionBits(kDuplexOptionBindingMarginMetric), 0);
  EXPECT_EQ(accessor.GetBindingMargin(), 118u);
  // Public paper sizes are 0.1 mm whatever the custom unit says.
  accessor.SetPaperWidth(2100);
  EXPECT_EQ(record.Public.dmPaperWidth, 2100);
}

TEST(DevModeAccessor, ModelIdCopiesSixteenBytesOrNothing) {
  PoisonedRecord poisoned;
  DevModeAccessor accessor(poisoned.record());
  uint8_t codes[16];
  for (int i = 0; i < 16; ++i) codes[i] = static_cast<uint8_t>(i + 1);
  EXPECT_EQ(accessor.SetModelId(codes, 15), 0);
  EXPECT_EQ(accessor.SetModelId(nullptr, 16), 0);
  EXPECT_EQ(poisoned.FirstChangeOutside(0, 0), -1);
  EXPECT_EQ(accessor.SetModelId(codes, 16), 1);
  EXPECT_EQ(std::memcmp(poisoned.bytes + 336, codes, 16), 0);
  EXPECT_EQ(poisoned.FirstChangeOutside(336, 16), -1);

  uint8_t out[17];
  std::memset(out, 0xEE, sizeof(out));
  EXPECT_EQ(accessor.GetModelId(out, 15), 0);
  EXPECT_EQ(out[0], 0xEE);
  EXPECT_EQ(accessor.GetModelId(nullptr, 16), 0);
  EXPECT_EQ(accessor.GetModelId(out, 16), 1);
  EXPECT_EQ(std::memcmp(out, codes, 16), 0);
  EXPECT_EQ(out[16], 0xEE);
}

TEST(DevModeAccessor, WatermarkColorIsWrittenToTheCallersWord) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  accessor.SetWatermarkColor(0x00336699);  // blue 0x99, green 0x66, red 0x33
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  EXPECT_EQ(bytes[960], 0x99);
  EXPECT_EQ(bytes[962], 0x33);
  uint32_t colour = 0;
  EXPECT_EQ(accessor.GetWatermarkColor(&colour), &colour);
  EXPECT_EQ(colour, 0x00336699u);
  EXPECT_EQ(accessor.GetWatermarkColor(nullptr), nullptr);
}

TEST(DevModeAccessor, WholeAndPublicCopiesTakeTheirBytesOnly) {
  PoisonedRecord source;
  for (size_t i = 0; i < kDevModeSize; ++i) source.bytes[i] = static_cast<uint8_t>(i);
  DriverDevMode target{};
  DevModeAccessor accessor(&target);

  accessor.SetPublicDevMode(source.bytes);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&target);
  EXPECT_EQ(std::memcmp(bytes, source.bytes, kDevModePublicSize), 0);
  for (size_t i = kDevModePublicSize; i < kDevModeSize; ++i) ASSERT_EQ(bytes[i], 0) << i;

  accessor.SetDriverDevMode(source.bytes);
  EXPECT_EQ(std::memcmp(bytes, source.bytes, kDevModeSize), 0);
  accessor.SetDriverDevMode(nullptr);
  EXPECT_EQ(std::memcmp(bytes, source.bytes, kDevModeSize), 0);
  EXPECT_EQ(accessor.GetDriverDevMode(), &target);
  EXPECT_EQ(static_cast<void*>(accessor.GetDevMode()), static_cast<void*>(&target));
}

}  // namespace
}  // namespace kalimu::settings
