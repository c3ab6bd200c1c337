// Every capability query against the bytes of both sample models: each query's field is found
// from its name and the record layouts below, independently of the query list itself.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "kalimu/model/model_capabilities.h"
#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::model {
namespace {

// Loads a model from file bytes, without a driver data file.
class ImageModel : public ModelCapabilities {
 public:
  ImageModel(std::span<const uint8_t> base, std::span<const uint8_t> variant) {
    AdoptInkSetTable(base);
    AdoptCfgImage(variant);
  }
  explicit ImageModel(std::span<const uint8_t> file) : ImageModel(file, file) {}
};

enum class Block { kHeader, kPreset, kPaper, kTable2, kSource, kTable4, kTable5, kMedia, kTable7, kMode, kLfp, kLfpHeader };

// Field types by record offset, as the file format lays them out: 's' int16, 'S' uint16,
// 'i' int32, 'I' uint32, 'b' uint8.
std::map<uint32_t, char> Layout(Block block) {
  std::map<uint32_t, char> m;
  auto range = [&m](uint32_t from, uint32_t to, uint32_t step, char type) {
    for (uint32_t o = from; o <= to; o += step) m[o] = type;
  };
  switch (block) {
    case Block::kHeader:
      range(12, 40, 4, 'I');
      m[62] = 'S', m[64] = 's', m[66] = 's', m[72] = 'I', m[112] = 'S', m[114] = 'S', m[116] = 'I';
      range(76, 78, 1, 'b');
      range(80, 89, 1, 'b');
      break;
    case Block::kPreset:
      range(0, 6, 2, 's');
      m[8] = 'i', m[12] = 's', m[16] = 'S', m[18] = 'S', m[24] = 'i', m[36] = 'i', m[40] = 'S', m[42] = 'S';
      range(56, 68, 2, 's');
      range(96, 108, 4, 'I');
      m[124] = 's';
      break;
    case Block::kPaper:
      range(0, 4, 2, 's');
      m[6] = 'S';
      range(16, 24, 4, 'I');
      range(28, 44, 2, 's');
      m[46] = 'b';
      break;
    case Block::kSource:
      m[0] = 's', m[2] = 's', m[4] = 'S', m[6] = 'S', m[8] = 'I', m[12] = 'I', m[48] = 'i';
      break;
    case Block::kTable4:
      m[0] = 's', m[2] = 's', m[4] = 'I';
      break;
    case Block::kTable5:
      m[0] = 's';
      break;
    case Block::kMedia:
      m[0] = 'i', m[4] = 'I', m[8] = 'I', m[12] = 'i', m[16] = 's', m[24] = 's', m[26] = 's';
      range(18, 22, 1, 'b');
      range(30, 38, 2, 's');
      break;
    case Block::kTable7:
      range(0, 4, 2, 's');
      break;
    case Block::kMode:
      range(0, 6, 2, 's');
      m[12] = 'i', m[16] = 'I', m[20] = 'I', m[24] = 'I', m[30] = 's', m[32] = 'i', m[36] = 'i', m[40] = 'S';
      range(42, 46, 2, 's');
      for (uint32_t g = 48; g <= 176; g += 64) {
        m[g] = 'i', m[g + 4] = 'i';
        range(g + 8, g + 16, 2, 's');
        range(g + 18, g + 24, 2, 'S');
        range(g + 26, g + 44, 2, 's');
        m[g + 46] = 'S', m[g + 48] = 'S', m[g + 52] = 'I', m[g + 56] = 'i';
      }
      break;
    case Block::kLfp:
      m[0] = 'S', m[2] = 'S', m[4] = 'i';
      break;
    case Block::kLfpHeader:
      m[0] = 'S', m[2] = 'S', m[4] = 'I', m[8] = 'S';
      break;
    case Block::kTable2:
      break;
  }
  return m;
}

struct FieldRef {
  Block block;
  uint32_t offset;
};

// The field a query reads, from its name alone.
FieldRef FieldOf(const std::string& name) {
  static const std::map<std::string, FieldRef> kNamed = {
      {"GetPresetModeId", {Block::kPreset, 6}},        {"GetPresetMediaId", {Block::kPreset, 8}},
      {"GetPresetRecord", {Block::kPreset, 0}},        {"GetPaperSizeId", {Block::kPaper, 0}},
      {"GetPaperSizeRecord", {Block::kPaper, 0}},      {"GetPaperSizeExtent", {Block::kPaper, 8}},
      {"SetPaperSizeExtent", {Block::kPaper, 8}},      {"GetTable2Record", {Block::kTable2, 0}},
      {"GetPaperSourceId", {Block::kSource, 0}},       {"GetMediaTypeId", {Block::kMedia, 0}},
      {"GetPrintModeId", {Block::kMode, 0}},           {"GetPrintModeMediaId", {Block::kMode, 12}},
      {"GetPrintModeFlags", {Block::kMode, 24}},       {"GetLfpRecordOffset", {Block::kLfpHeader, 0}},
      {"GetLfpPresent", {Block::kLfpHeader, 2}},       {"GetDefaultInkSetIndex", {Block::kHeader, 114}},
      {"GetInkCodeMask", {Block::kHeader, 116}},       {"GetModelHeaderBlock80", {Block::kHeader, 80}},
      {"GetModelHeaderBlock96", {Block::kHeader, 96}},
  };
  if (auto it = kNamed.find(name); it != kNamed.end()) return it->second;
  static const std::pair<const char*, Block> kPrefixes[] = {
      {"GetModelHeaderValue", Block::kHeader}, {"GetModelHeaderByte", Block::kHeader},
      {"TestModelHeaderFlags", Block::kHeader}, {"GetPresetValue", Block::kPreset},
      {"SetPresetValue", Block::kPreset},       {"TestPresetFlags", Block::kPreset},
      {"GetPaperSizeValue", Block::kPaper},     {"TestPaperSizeFlags", Block::kPaper},
      {"GetPaperSourceValue", Block::kSource},  {"TestPaperSourceFlags", Block::kSource},
      {"GetTable4Value", Block::kTable4},       {"TestTable4Flags", Block::kTable4},
      {"GetTable5Value", Block::kTable5},       {"GetMediaTypeValue", Block::kMedia},
      {"TestMediaTypeFlags", Block::kMedia},    {"GetTable7Value", Block::kTable7},
      {"GetPrintModeValue", Block::kMode},      {"SetPrintModeValue", Block::kMode},
      {"TestPrintModeFlags", Block::kMode},     {"GetLfpValue", Block::kLfp},
      {"GetLfpHeaderValue", Block::kLfpHeader}, {"TestLfpHeaderFlags", Block::kLfpHeader},
  };
  for (const auto& [prefix, block] : kPrefixes) {
    if (name.rfind(prefix, 0) == 0) return {block, static_cast<uint32_t>(std::stoul(name.substr(std::strlen(prefix))))};
  }
  ADD_FAILURE() << "no field for " << name;
  return {Block::kHeader, 0};
}

// A model file with the positions and counts of its blocks.
struct Sample {
  std::string name;
  testkit::ModelDescription model;
  testkit::BuiltCfgFile file;

  uint32_t Count(Block b) const {
    switch (b) {
      case Block::kHeader: case Block::kLfpHeader: return 1;
      case Block::kPreset: return model.presets[0].size() + model.presets[1].size() + model.presets[2].size();
      case Block::kPaper: return model.papers.size();
      case Block::kTable2: return model.margins.size();
      case Block::kSource: return model.sources.size();
      case Block::kTable4: return model.table4.size();
      case Block::kTable5: return model.table5.size();
      case Block::kMedia: return model.media.size();
      case Block::kTable7: return model.table7.size();
      case Block::kMode: return model.modes.size();
      case Block::kLfp: return model.lfp_records.size();
    }
    return 0;
  }
  const uint8_t* Record(Block b, uint32_t index) const {
    static constexpr uint32_t kSize[] = {128, 128, 56, 16, 64, 16, 8, 48, 8, 240, 16, 16};
    uint32_t base = 0;
    switch (b) {
      case Block::kHeader: base = file.header_offset; break;
      case Block::kPreset: base = file.preset_offset; break;
      case Block::kLfp: base = file.lfp_records_offset; break;
      case Block::kLfpHeader: base = file.lfp_offset; break;
      default: base = file.table_offset[static_cast<int>(b) - static_cast<int>(Block::kPaper)]; break;
    }
    return file.bytes.data() + base + index * kSize[static_cast<int>(b)];
  }
};

std::vector<Sample> Samples() {
  std::vector<Sample> samples;
  // The damaged model first: its fields hold pattern bytes, so a query that reads the wrong
  // offset sees a different value; the sample printers follow.
  for (auto [name, model] : {std::pair{"damaged roll", testkit::DamagedRollPaperModel()},
                             std::pair{"roll", testkit::RollPaperModel()}, std::pair{"sheet", testkit::SheetModel()}}) {
    samples.push_back({name, model, testkit::BuildCfgFile(model)});
  }
  return samples;
}

int64_t Expected(const uint8_t* field, char type) {
  switch (type) {
    case 's': { int16_t v; std::memcpy(&v, field, 2); return v; }
    case 'S': { uint16_t v; std::memcpy(&v, field, 2); return v; }
    case 'i': { int32_t v; std::memcpy(&v, field, 4); return v; }
    case 'I': { uint32_t v; std::memcpy(&v, field, 4); return v; }
    case 'b': return *field;
  }
  ADD_FAILURE() << "no type";
  return 0;
}

// One query of the list with a uniform calling convention.
struct Query {
  std::string name;
  enum Kind { kTest, kTestHeader, kGet, kGetHeader, kGetBytes, kGetHeaderBytes, kSet, kSetBytes, kCount, kOther } kind;
  uint32_t size = 0;  // byte queries
  std::function<int(ModelCapabilities&, uint32_t index, uint32_t mask, int64_t* value)> call;
  std::function<int(ModelCapabilities&, uint32_t index, void* bytes, uint32_t size)> bytes_call;
};

template <class Out>
int64_t AsWide(Out v) { return static_cast<int64_t>(v); }

std::vector<Query> AllQueries() {
  std::vector<Query> q;
#define KM_SPECIAL(name) q.push_back({#name, Query::kOther, 0, nullptr, nullptr});
#define KM_TEST_HEADER(name, offset, type, check) \
  q.push_back({#name, Query::kTestHeader, 0, [](ModelCapabilities& m, uint32_t, uint32_t mask, int64_t*) { return m.name(mask); }, nullptr});
#define KM_TEST_LFP(name, offset, type, check) KM_TEST_HEADER(name, offset, type, check)
#define KM_TEST_ROW(name, table, offset, type, check)                                                  \
  q.push_back({#name, Query::kTest, 0, [](ModelCapabilities& m, uint32_t i, uint32_t mask, int64_t*) { \
                 return m.name(static_cast<int16_t>(i), mask);                                         \
               }, nullptr});
#define KM_TEST_ROW_LOW16(name, table, offset, type, check) KM_TEST_ROW(name, table, offset, type, check)
#define KM_COUNT(name, expression) q.push_back({#name, Query::kCount, 0, nullptr, nullptr});
#define KM_GET_HEADER(name, offset, type)                                                            \
  q.push_back({#name, Query::kGetHeader, 0, [](ModelCapabilities& m, uint32_t, uint32_t, int64_t* v) { \
                 QueryOut<type> out{}; int r = m.name(&out); if (r) *v = AsWide(out); return r;               \
               }, nullptr});
#define KM_GET_LFP(name, offset, type) KM_GET_HEADER(name, offset, type)
#define KM_GET_HEADER_BYTES(name, offset, field_size) \
  q.push_back({#name, Query::kGetHeaderBytes, field_size, nullptr,  \
               [](ModelCapabilities& m, uint32_t, void* b, uint32_t s) { return m.name(b, s); }});
#define KM_GET_ROW(name, table, offset, type)                                                      \
  q.push_back({#name, Query::kGet, 0, [](ModelCapabilities& m, uint32_t i, uint32_t, int64_t* v) { \
                 QueryOut<type> out{}; int r = m.name(static_cast<uint16_t>(i), &out); if (r) *v = AsWide(out); return r; \
               }, nullptr});
#define KM_GET_ROW_BYTES(name, table, offset, field_size) \
  q.push_back({#name, Query::kGetBytes, field_size, nullptr, \
               [](ModelCapabilities& m, uint32_t i, void* b, uint32_t s) { return m.name(static_cast<uint16_t>(i), b, s); }});
#define KM_SET_ROW(name, table, offset, type)                                                      \
  q.push_back({#name, Query::kSet, 0, [](ModelCapabilities& m, uint32_t i, uint32_t, int64_t* v) { \
                 QueryOut<type> in = static_cast<QueryOut<type>>(*v); return m.name(static_cast<uint16_t>(i), &in); \
               }, nullptr});
#define KM_SET_ROW_BYTES(name, table, offset, field_size) \
  q.push_back({#name, Query::kSetBytes, field_size, nullptr, \
               [](ModelCapabilities& m, uint32_t i, void* b, uint32_t s) { return m.name(static_cast<uint16_t>(i), b, s); }});
#include "kalimu/model/model_query_list.inc"
  return q;
}

TEST(ModelQueries, ListHasEveryQueryOnce) {
  const auto queries = AllQueries();
  EXPECT_EQ(queries.size(), 278u);
  std::map<std::string, int> seen;
  for (const auto& q : queries) EXPECT_EQ(++seen[q.name], 1) << q.name;
}

TEST(ModelQueries, GettersReadTheirFieldOfEveryRecord) {
  for (const Sample& s : Samples()) {
    ImageModel model(s.file.bytes);
    for (const Query& q : AllQueries()) {
      if (q.kind != Query::kGet && q.kind != Query::kGetHeader) continue;
      const FieldRef f = FieldOf(q.name);
      const auto layout = Layout(f.block);
      ASSERT_TRUE(layout.count(f.offset)) << q.name;
      if (f.block == Block::kLfpHeader && !s.model.has_lfp) continue;
      for (uint32_t i = 0; i < s.Count(f.block); ++i) {
        int64_t value = 0x7777;
        ASSERT_EQ(q.call(model, i, 0, &value), 1) << s.name << " " << q.name << " " << i;
        EXPECT_EQ(value, Expected(s.Record(f.block, i) + f.offset, layout.at(f.offset))) << s.name << " " << q.name << " " << i;
      }
      if (q.kind == Query::kGet) {
        int64_t value = 0x7777;
        EXPECT_EQ(q.call(model, s.Count(f.block), 0, &value), 0) << q.name;
        EXPECT_EQ(q.call(model, 0xFFFF, 0, &value), 0) << q.name;
        EXPECT_EQ(value, 0x7777) << q.name;
      }
    }
  }
}

TEST(ModelQueries, ByteQueriesCopyExactlyTheirSize) {
  for (const Sample& s : Samples()) {
    ImageModel model(s.file.bytes);
    for (const Query& q : AllQueries()) {
      if (q.kind != Query::kGetBytes && q.kind != Query::kGetHeaderBytes) continue;
      const FieldRef f = FieldOf(q.name);
      const uint32_t rows = q.kind == Query::kGetHeaderBytes ? 1 : s.Count(f.block);
      for (uint32_t i = 0; i < rows; ++i) {
        std::vector<uint8_t> out(q.size + 1, 0xCD);
        EXPECT_EQ(q.bytes_call(model, i, out.data(), q.size - 1), 0) << q.name;
        EXPECT_EQ(q.bytes_call(model, i, out.data(), q.size + 1), 0) << q.name;
        EXPECT_EQ(out[0], 0xCD) << q.name;
        ASSERT_EQ(q.bytes_call(model, i, out.data(), q.size), 1) << s.name << " " << q.name << " " << i;
        EXPECT_EQ(std::memcmp(out.data(), s.Record(f.block, i) + f.offset, q.size), 0) << s.name << " " << q.name;
        EXPECT_EQ(out[q.size], 0xCD) << q.name;
      }
      if (q.kind == Query::kGetBytes) {
        std::vector<uint8_t> out(q.size);
        EXPECT_EQ(q.bytes_call(model, rows, out.data(), q.size), 0) << q.name;
      }
    }
  }
}

TEST(ModelQueries, FlagTestsWidenTheirFieldAndTestEveryMaskBit) {
  for (const Sample& s : Samples()) {
    ImageModel model(s.file.bytes);
    for (const Query& q : AllQueries()) {
      if (q.kind != Query::kTest && q.kind != Query::kTestHeader) continue;
      const FieldRef f = FieldOf(q.name);
      if (f.block == Block::kLfpHeader && !s.model.has_lfp) continue;
      const char type = Layout(f.block).at(f.offset);
      const uint32_t rows = q.kind == Query::kTestHeader ? 1 : s.Count(f.block);
      const bool low16 = q.name == "TestPaperSizeFlags4";
      for (uint32_t i = 0; i < rows; ++i) {
        const uint32_t field = static_cast<uint32_t>(Expected(s.Record(f.block, i) + f.offset, type));
        for (int bit = 0; bit < 32; ++bit) {
          const uint32_t mask = 1u << bit;
          const int expected = (field & (low16 ? mask & 0xFFFF : mask)) != 0;
          EXPECT_EQ(q.call(model, i, mask, nullptr), expected) << s.name << " " << q.name << " " << i << " bit " << bit;
        }
      }
      if (q.kind == Query::kTest) {
        EXPECT_EQ(q.call(model, rows, 0xFFFFFFFF, nullptr), 0) << q.name;
        EXPECT_EQ(q.call(model, 0xFFFF, 0xFFFFFFFF, nullptr), 0) << q.name;  // index -1
      }
    }
  }
}

TEST(ModelQueries, SettersChangeOnlyTheirFieldInMemory) {
  const Sample s = Samples()[0];
  for (const Query& q : AllQueries()) {
    if (q.kind != Query::kSet && q.kind != Query::kSetBytes) continue;
    ImageModel model(s.file.bytes);
    const FieldRef f = FieldOf(q.name);
    const uint32_t last = s.Count(f.block) - 1;
    if (q.kind == Query::kSet) {
      int64_t value = -3;
      ASSERT_EQ(q.call(model, last, 0, &value), 1) << q.name;
      EXPECT_EQ(q.call(model, last + 1, 0, &value), 0) << q.name;
      const std::string getter = "Get" + q.name.substr(3);
      for (const Query& g : AllQueries()) {
        if (g.name != getter) continue;
        int64_t read = 0;
        ASSERT_EQ(g.call(model, last, 0, &read), 1);
        const char type = Layout(f.block).at(f.offset);
        EXPECT_EQ(read, type == 'S' ? int64_t{0xFFFD} : type == 'I' ? int64_t{0xFFFFFFFD} : int64_t{-3}) << q.name;
        ASSERT_EQ(g.call(model, 0, 0, &read), 1);
        if (last != 0) {
          EXPECT_EQ(read, Expected(s.Record(f.block, 0) + f.offset, type)) << q.name;
        }
      }
    } else {
      uint8_t in[8] = {1, 2, 3, 4, 5, 6, 7, 8};
      EXPECT_EQ(q.bytes_call(model, last, in, 7), 0);
      ASSERT_EQ(q.bytes_call(model, last, in, 8), 1);
      uint8_t out[8] = {};
      ASSERT_EQ(model.GetPaperSizeExtent(static_cast<uint16_t>(last), out, 8), 1);
      EXPECT_EQ(std::memcmp(in, out, 8), 0);
    }
  }
  // The file itself is never written: a new object reads the old value.
  ImageModel fresh(s.file.bytes);
  int32_t v = 0;
  ASSERT_EQ(fresh.GetPresetValue56(0, &v), 1);
  EXPECT_EQ(v, Expected(s.Record(Block::kPreset, 0) + 56, 's'));
}

TEST(ModelQueries, CountsAndVersionBlock) {
  for (const Sample& s : Samples()) {
    ImageModel model(s.file.bytes);
    const uint32_t g0 = s.model.presets[0].size(), g1 = s.model.presets[1].size(), g2 = s.model.presets[2].size();
    const std::pair<int (ModelCapabilities::*)(uint32_t*), uint32_t> cases[] = {
        {&ModelCapabilities::GetCfgVersion, 0x0710},
        {&ModelCapabilities::GetPresetGroup0Count, g0},
        {&ModelCapabilities::GetPresetGroup1Count, g1},
        {&ModelCapabilities::GetPresetGroup2Count, g2},
        {&ModelCapabilities::GetUserSettingsCapacity, s.model.user_settings_capacity},
        {&ModelCapabilities::GetUserPaperCapacity, s.model.user_paper_capacity},
        {&ModelCapabilities::GetPresetSlotCount, g0 + g1 + g2 + s.model.user_settings_capacity},
        {&ModelCapabilities::GetPresetCount, g0 + g1 + g2},
        {&ModelCapabilities::GetPresetGroup01Count, g0 + g1},
        {&ModelCapabilities::SumPresetGroups01, g0 + g1},
        {&ModelCapabilities::SumPresetGroups012, g0 + g1 + g2},
        {&ModelCapabilities::GetPaperSizeCount, s.Count(Block::kPaper)},
        {&ModelCapabilities::GetPaperSourceCount, s.Count(Block::kSource)},
        {&ModelCapabilities::GetTable4Count, s.Count(Block::kTable4)},
        {&ModelCapabilities::GetTable5Count, s.Count(Block::kTable5)},
        {&ModelCapabilities::GetMediaTypeCount, s.Count(Block::kMedia)},
        {&ModelCapabilities::GetTable7Count, s.Count(Block::kTable7)},
        {&ModelCapabilities::GetPrintModeCount, s.Count(Block::kMode)},
        {&ModelCapabilities::GetLfpRecordCount, s.Count(Block::kLfp)},
        {&ModelCapabilities::GetCfgValue40, 0},
    };
    for (const auto& [query, expected] : cases) {
      uint32_t value = 0xDEAD;
      EXPECT_EQ((model.*query)(&value), 1) << s.name;
      EXPECT_EQ(value, expected) << s.name;
      EXPECT_EQ((model.*query)(nullptr), 0);
    }
  }
}

TEST(ModelQueries, PresetBoundIsThePresetCountNotTheSlots) {
  const Sample s = Samples()[0];
  ImageModel model(s.file.bytes);
  uint32_t count = 0, slots = 0;
  model.GetPresetCount(&count);
  model.GetPresetSlotCount(&slots);
  int32_t v = 0;
  EXPECT_EQ(model.GetPresetValue2(static_cast<uint16_t>(count), &v), 0);
  // The user slots behind the model presets exist and are zero.
  ASSERT_NE(model.GetPresetData(static_cast<uint16_t>(slots - 1)), nullptr);
  const uint8_t* user = model.GetPresetData(static_cast<uint16_t>(count)) - 16;
  EXPECT_TRUE(std::all_of(user, user + 128 * (slots - count), [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(model.GetPresetData(static_cast<uint16_t>(slots)), nullptr);
  EXPECT_EQ(std::memcmp(model.GetPresetData(1), s.Record(Block::kPreset, 1) + 16, 112), 0);

  std::vector<uint8_t> record(s.Record(Block::kPreset, 1), s.Record(Block::kPreset, 1) + 128);
  EXPECT_EQ(model.ComparePresetRecord(1, record.data(), 128), 1);
  EXPECT_EQ(model.ComparePresetRecord(1, record.data(), 127), 0);
  record[127] ^= 1;
  EXPECT_EQ(model.ComparePresetRecord(1, record.data(), 128), 0);
}

TEST(ModelQueries, InkWordAndStatusModelInfo) {
  const auto samples = Samples();
  ImageModel roll(samples[1].file.bytes), sheet(samples[2].file.bytes);
  EXPECT_EQ(roll.GetInkIdLength(), 3u);  // bits 24-31 with bit 15 set
  EXPECT_EQ(roll.GetInkCount(), 8u);
  EXPECT_EQ(sheet.GetInkIdLength(), 2u);  // bits 0-7
  EXPECT_EQ(sheet.GetInkCount(), 2u);
  StatusModelInfo info;
  std::memset(&info, 0xAB, sizeof(info));
  sheet.GetStatusModelInfo(&info);
  EXPECT_EQ(info.ink_id_length, 2);
  EXPECT_EQ(info.ink_count, 2);
  EXPECT_EQ(info.bytes_per_ink, 2);
  EXPECT_EQ(info.reserved10[0], 0xAB);
  EXPECT_EQ(info.zero, 0);
  roll.GetStatusModelInfo(&info);
  EXPECT_EQ(info.bytes_per_ink, 1);
}

TEST(ModelQueries, SelectedInkSetOutsideTheTableCopiesNothing) {
  auto description = testkit::RollPaperModel();
  description.header.selected_ink_set = 2;  // two ink sets: 0 and 1
  const auto file = testkit::BuildCfgFile(description);
  ImageModel model(file.bytes);
  uint8_t codes[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(model.GetSelectedInkCodes(codes, 4), 0u);
  EXPECT_EQ(codes[0], 0xEE);
}

TEST(ModelQueries, NothingLoadedAnswersEmpty) {
  testkit::MessageBoxWatcher watcher;
  ModelCapabilities model;  // no driver data file: nothing can be loaded
  for (const Query& q : AllQueries()) {
    int64_t value = 5;
    std::vector<uint8_t> bytes(q.size + 1);
    switch (q.kind) {
      case Query::kTest: case Query::kTestHeader: case Query::kGet: case Query::kGetHeader: case Query::kSet:
        EXPECT_EQ(q.call(model, 0, 0xFFFFFFFF, &value), 0) << q.name;
        break;
      case Query::kGetBytes: case Query::kGetHeaderBytes: case Query::kSetBytes:
        EXPECT_EQ(q.bytes_call(model, 0, bytes.data(), q.size), 0) << q.name;
        break;
      default:
        break;
    }
  }
  uint32_t count = 7;
  EXPECT_EQ(model.GetPaperSizeCount(&count), 1);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(model.GetPresetData(0), nullptr);
  EXPECT_EQ(model.GetInkIdLength(), 0u);
  EXPECT_TRUE(watcher.shown().empty());
}

}  // namespace
}  // namespace kalimu::model
