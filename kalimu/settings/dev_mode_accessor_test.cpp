// The generated accessor family against the hand-written layout table: every field lands at its
// offset and nowhere else, reads back widened by its signedness, and keeps its store rule.
#include "kalimu/settings/dev_mode_accessor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "testkit/kalimu/dev_mode_layout_table.h"

namespace kalimu::settings {
namespace {

using ::testkit::FindLayoutRow;
using ::testkit::kLayout;
using ::testkit::kPoison;
using ::testkit::PoisonedRecord;

// Get/Set of one value field, called by name; an absent operation is empty.
struct ValueOps {
  std::string name;
  FieldKind kind;
  std::function<int64_t(const DevModeAccessor&)> get;
  std::function<void(DevModeAccessor&, int64_t)> set;
};

#define VALUE_GET(Name) [](const DevModeAccessor& a) { return int64_t{a.Get##Name()}; }
#define VALUE_SET(Name) \
  [](DevModeAccessor& a, int64_t v) { a.Set##Name(static_cast<decltype(a.Get##Name())>(v)); }
#define VALUE_SET_ONLY(Name, member) \
  [](DevModeAccessor& a, int64_t v) { a.Set##Name(static_cast<Widened<KALIMU_DEVMODE_FIELD_TYPE(member)>>(v)); }
#define OPS_Value(Name, member) {#Name, FieldKind::kValue, VALUE_GET(Name), VALUE_SET(Name)},
#define OPS_Word(Name, member) {#Name, FieldKind::kWord, VALUE_GET(Name), VALUE_SET(Name)},
#define OPS_WordOn1(Name, member) {#Name, FieldKind::kWordOn1, VALUE_GET(Name), VALUE_SET(Name)},
#define OPS_WordTest(Name, member) {#Name, FieldKind::kWordTest, VALUE_GET(Name), VALUE_SET(Name)},
#define OPS_GetOnly(Name, member) {#Name, FieldKind::kGetOnly, VALUE_GET(Name), nullptr},
#define OPS_SetOnly(Name, member) {#Name, FieldKind::kSetOnly, nullptr, VALUE_SET_ONLY(Name, member)},
#define OPS_Bits(Name, member)
#define OPS_Text(Name, member)
#define OPS_Block(Name, member)
#define OPS_BlockEq(Name, member)
#define OPS(kind, Name, member, rule, stem) OPS_##kind(Name, member)

const std::vector<ValueOps>& AllValueOps() {
  static const std::vector<ValueOps> ops = {KALIMU_DEVMODE_FIELDS(OPS)};
  return ops;
}

// Value fields whose setter has a rule: a value the rule stores unchanged, to find the field.
int64_t AcceptedProbe(const std::string& name, int64_t plain_probe) {
  if (name == "Copies") return 1234;
  if (name == "Orientation" || name == "Color") return 2;
  if (name == "Duplex") return 3;
  if (name == "Collate") return 1;
  if (name == "CustomPaperWidth" || name == "CustomPaperLength") return 0x01234567;
  return plain_probe;
}

int64_t SignExtend(uint64_t value, size_t size) {
  const uint64_t sign = uint64_t{1} << (8 * size - 1);
  return static_cast<int64_t>((value ^ sign) - sign);
}

TEST(DevModeFamily, EveryFieldOfTheFamilyIsInTheLayoutTableAtItsOffset) {
  std::set<std::string> family;
  for (const DevModeFieldInfo& field : kDevModeFields) {
    SCOPED_TRACE(field.name);
    EXPECT_TRUE(family.insert(field.name).second) << "declared twice";
    const ::testkit::LayoutRow* row = FindLayoutRow(field.name);
    ASSERT_NE(row, nullptr) << "not in the layout table";
    EXPECT_EQ(field.offset, row->offset);
    EXPECT_EQ(field.size, row->size);
    EXPECT_EQ(field.is_signed, row->is_signed);
  }
  // The layout table has no field that the family lacks.
  for (const ::testkit::LayoutRow& row : kLayout) {
    EXPECT_EQ(family.count(std::string(row.name)), 1u) << row.name;
  }
}

TEST(DevModeFamily, EverySetterLandsAtItsOffsetOnlyAndReadsBackWidened) {
  const std::vector<ValueOps>& all = AllValueOps();
  ASSERT_GT(all.size(), 100u);
  for (const ValueOps& ops : all) {
    SCOPED_TRACE(ops.name);
    const ::testkit::LayoutRow* row = FindLayoutRow(ops.name);
    ASSERT_NE(row, nullptr);
    // Top bit of the field set, so that sign and zero extension differ.
    const uint64_t raw = 0x8123456789ABCDEFull >> (64 - 8 * row->size);
    const int64_t widened = row->is_signed ? SignExtend(raw, row->size) : static_cast<int64_t>(raw);
    const int64_t value = AcceptedProbe(ops.name, widened);
    const uint64_t expected_bytes =
        static_cast<uint64_t>(value) & (row->size == 8 ? ~0ull : (1ull << (8 * row->size)) - 1);

    PoisonedRecord poisoned;
    DevModeAccessor accessor(poisoned.record());
    if (ops.set) {
      ops.set(accessor, value);
      EXPECT_EQ(poisoned.ReadLittleEndian(row->offset, row->size), expected_bytes);
      EXPECT_EQ(poisoned.FirstChangeOutside(row->offset, row->size), -1);
    } else {
      poisoned.WriteLittleEndian(row->offset, row->size, expected_bytes);
    }
    if (ops.get) {
      EXPECT_EQ(ops.get(accessor), value);
    }
  }
}

TEST(DevModeFamily, PlainSettersStoreTheLowBitsOfTheirArgument) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  accessor.SetMediaTuning3(0x1FF);  // uint8
  EXPECT_EQ(accessor.GetMediaTuning3(), 0xFFu);
  accessor.SetMediaTuning1(0x17F);  // int8
  EXPECT_EQ(accessor.GetMediaTuning1(), 127);
  accessor.SetAdjustItem0(0x18000);  // int16
  EXPECT_EQ(accessor.GetAdjustItem0(), -32768);
  accessor.SetPaperFeedIndex(0x10002);  // uint16
  EXPECT_EQ(accessor.GetPaperFeedIndex(), 2u);
}

struct RuleCase {
  const char* field;
  int64_t before;
  int64_t set;
  int64_t after;
};

TEST(DevModeFamily, SetterRulesClampOrRefuseValues) {
  const RuleCase cases[] = {
      {"Copies", 5, 0, 1},          {"Copies", 5, 10000, 9999}, {"Copies", 5, -5, 1},
      {"Copies", 5, 9999, 9999},    {"Copies", 5, 1, 1},        {"Copies", 5, 32767, 9999},
      {"Duplex", 2, 0, 1},          {"Duplex", 2, 7, 1},        {"Duplex", 2, -1, 1},
      {"Duplex", 1, 2, 2},          {"Duplex", 1, 3, 3},        {"Orientation", 2, 0, 2},
      {"Orientation", 2, 3, 2},     {"Orientation", 2, 1, 1},   {"Orientation", 1, 2, 2},
      {"Color", 1, 0, 1},           {"Color", 1, 3, 1},         {"Color", 2, 1, 1},
      {"Collate", 1, 2, 1},         {"Collate", 1, -1, 1},      {"Collate", 1, 0, 0},
      {"Collate", 0, 1, 1},         {"CustomPaperWidth", 500, 0, 500},
      {"CustomPaperWidth", 500, -1, 500}, {"CustomPaperWidth", 500, 1, 1},
      {"CustomPaperLength", 700, 0, 700}, {"CustomPaperLength", 700, -20, 700},
      {"CustomPaperLength", 700, 21000, 21000},
      // Stored only when different: the result equals a plain store.
      {"PrintModeType", 1, 1, 1},   {"PrintModeType", 1, 2, 2},
      {"SelectedPresetWord", 0x8003, 0x8003, 0x8003}, {"SelectedPresetWord", 3, 0x8004, 0x8004},
      {"DuplexOptions", 0x11, 0x11, 0x11}, {"PersistentOptions", 0, 0x10, 0x10},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + std::to_string(c.set));
    const ValueOps* ops = nullptr;
    for (const ValueOps& candidate : AllValueOps()) {
      if (candidate.name == c.field) ops = &candidate;
    }
    ASSERT_NE(ops, nullptr);
    const ::testkit::LayoutRow* row = FindLayoutRow(c.field);
    PoisonedRecord poisoned;
    poisoned.WriteLittleEndian(row->offset, row->size, static_cast<uint64_t>(c.before));
    DevModeAccessor accessor(poisoned.record());
    ops->set(accessor, c.set);
    EXPECT_EQ(ops->get(accessor), c.after);
    EXPECT_EQ(poisoned.FirstChangeOutside(row->offset, row->size), -1);
  }
}

// Set<Stem>Bits and Test<Stem>Bits of one option word, with the word's place.
struct WordOps {
  std::string word;
  bool sets_only_on_one;
  std::function<void(DevModeAccessor&, uint32_t, int32_t)> set_bits;  // empty: test only
  std::function<int(const DevModeAccessor&, uint32_t)> test_bits;
};

#define WORD_SET(stem) [](DevModeAccessor& a, uint32_t m, int32_t on) { a.Set##stem##Bits(m, on); }
#define WORD_TEST(stem) [](const DevModeAccessor& a, uint32_t m) { return a.Test##stem##Bits(m); }
#define WORDS_Word(Name, stem) {#Name, false, WORD_SET(stem), WORD_TEST(stem)},
#define WORDS_Bits(Name, stem) {#Name, false, WORD_SET(stem), WORD_TEST(stem)},
#define WORDS_WordOn1(Name, stem) {#Name, true, WORD_SET(stem), WORD_TEST(stem)},
#define WORDS_WordTest(Name, stem) {#Name, false, nullptr, WORD_TEST(stem)},
#define WORDS_Value(Name, stem)
#define WORDS_GetOnly(Name, stem)
#define WORDS_SetOnly(Name, stem)
#define WORDS_Text(Name, stem)
#define WORDS_Block(Name, stem)
#define WORDS_BlockEq(Name, stem)
#define WORDS(kind, Name, member, rule, stem) WORDS_##kind(Name, stem)

TEST(DevModeFamily, OptionWordBitsSetClearAndTestOnlyTheirWord) {
  const std::vector<WordOps> words = {KALIMU_DEVMODE_FIELDS(WORDS)};
  EXPECT_EQ(words.size(), 20u);  // every option word of the record
  for (const WordOps& ops : words) {
    SCOPED_TRACE(ops.word);
    const ::testkit::LayoutRow* row = FindLayoutRow(ops.word);
    ASSERT_NE(row, nullptr);
    PoisonedRecord poisoned;
    poisoned.WriteLittleEndian(row->offset, row->size, 0x0900);
    DevModeAccessor accessor(poisoned.record());

    EXPECT_EQ(ops.test_bits(accessor, 0x0100), 1);
    EXPECT_EQ(ops.test_bits(accessor, 0x0300), 1);  // any bit of the mask
    EXPECT_EQ(ops.test_bits(accessor, 0x0600), 0);
    EXPECT_EQ(ops.test_bits(accessor, 0), 0);
    if (!ops.set_bits) continue;

    ops.set_bits(accessor, 0x0011, 1);
    EXPECT_EQ(poisoned.ReadLittleEndian(row->offset, row->size), 0x0911u);
    ops.set_bits(accessor, 0x0101, 0);
    EXPECT_EQ(poisoned.ReadLittleEndian(row->offset, row->size), 0x0810u);
    ops.set_bits(accessor, 0x0002, 2);  // "on" other than 1
    EXPECT_EQ(poisoned.ReadLittleEndian(row->offset, row->size),
              ops.sets_only_on_one ? 0x0810u : 0x0812u);
    ops.set_bits(accessor, 0x0810, -1);
    EXPECT_EQ(poisoned.ReadLittleEndian(row->offset, row->size),
              ops.sets_only_on_one ? 0x0000u : 0x0812u);
    EXPECT_EQ(poisoned.FirstChangeOutside(row->offset, row->size), -1);
  }
}

TEST(DevModeFamily, SixteenBitWordsTestTheirZeroExtendedValue) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  accessor.SetCorrectionFlags(0xFFFF);
  accessor.SetColorModeOptions(0x8000);
  EXPECT_EQ(accessor.TestCorrectionFlagBits(0xFFFF0000u), 0);
  EXPECT_EQ(accessor.TestColorModeOptionBits(0x18000u), 1);
  EXPECT_EQ(accessor.TestColorModeOptionBits(0x10000u), 0);
  accessor.SetCorrectionFlagBits(0x30000u, 0);  // bits beyond the word change nothing
  EXPECT_EQ(accessor.GetCorrectionFlags(), 0xFFFFu);
  EXPECT_EQ(record.SettingsRecord.ColorModeOptions, 0x8000u);
}

TEST(DevModeFamily, LayoutRotationIsTestedAsEitherBit) {
  DriverDevMode record{};
  DevModeAccessor accessor(&record);
  EXPECT_EQ(accessor.TestLayoutOptionBits(0x900), 0);
  accessor.SetLayoutOptionBits(0x800, 1);
  EXPECT_EQ(accessor.TestLayoutOptionBits(0x900), 1);
  accessor.SetLayoutOptionBits(0x900, 0);
  accessor.SetLayoutOptionBits(0x100, 2);
  EXPECT_EQ(accessor.TestLayoutOptionBits(0x900), 1);
  EXPECT_EQ(accessor.GetLayoutOptions(), 0x100u);
}

}  // namespace
}  // namespace kalimu::settings
