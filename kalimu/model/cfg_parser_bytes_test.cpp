// The model file's reader on cut and damaged bytes, in both builds: a clear status, no read
// past the file (each file sits in a heap block of exactly its size; the host build checks
// every read under AddressSanitizer).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "kalimu/model/cfg_parser.h"
#include "testkit/kalimu/model_cfg_builder.h"

namespace kalimu::model {
namespace {

// The bytes alone in a block of exactly their size.
struct ExactFile {
  explicit ExactFile(const std::vector<uint8_t>& bytes) : data(new uint8_t[bytes.size()]), size(bytes.size()) {
    if (size != 0) std::memcpy(data.get(), bytes.data(), size);
  }
  std::span<const uint8_t> span() const { return {data.get(), size}; }
  std::unique_ptr<uint8_t[]> data;
  size_t size;
};

TEST(CfgParserBytes, EveryCutOfAGoodFileIsRefusedOrReadInsideIt) {
  const testkit::BuiltCfgFile built = testkit::BuildCfgFile(testkit::RollPaperModel());
  const ExactFile whole(built.bytes);
  CfgImage image;
  ASSERT_EQ(ParseCfgImage(whole.span(), 0, &image), CfgParseStatus::kOk);
  CfgInkSetImage ink_sets;
  ASSERT_EQ(ParseInkSetTable(whole.span(), &ink_sets), CfgParseStatus::kOk);
  const uint16_t base_count = ink_sets.ink_set_count;
  // Every cut: refused, or read with every block inside what is left.
  auto inside = [](std::span<const uint8_t> part, const ExactFile& file) {
    return part.empty() || (part.data() >= file.data.get() && part.data() + part.size() <= file.data.get() + file.size);
  };
  for (size_t cut = 0; cut < built.bytes.size(); cut += 7) {
    SCOPED_TRACE(cut);
    const ExactFile file(std::vector<uint8_t>(built.bytes.begin(), built.bytes.begin() + cut));
    if (ParseCfgImage(file.span(), base_count, &image) == CfgParseStatus::kOk) {
      EXPECT_TRUE(inside(image.presets, file) && inside(image.tables, file) && inside(image.lfp_records, file));
    }
    if (ParseInkSetTable(file.span(), &ink_sets) == CfgParseStatus::kOk) {
      EXPECT_TRUE(inside(ink_sets.records, file));
    }
  }
  // Cut before its header ends, the file is refused.
  const ExactFile headless(std::vector<uint8_t>(built.bytes.begin(), built.bytes.begin() + built.header_offset + 4));
  EXPECT_EQ(ParseInkSetTable(headless.span(), &ink_sets), CfgParseStatus::kDatVersion);
}

TEST(CfgParserBytes, DamagedOffsetsAndCountsAreRefused) {
  const testkit::BuiltCfgFile built = testkit::BuildCfgFile(testkit::RollPaperModel());
  auto patched = [&](size_t at, auto value) {
    std::vector<uint8_t> bytes = built.bytes;
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return bytes;
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    CfgParseStatus status;
  } cases[] = {
      {"version block beyond the file", patched(8, uint32_t{0xFFFFFFF0u}), CfgParseStatus::kCfgVersion},
      {"header beyond the file", patched(4, uint32_t{0xFFFFFFF0u}), CfgParseStatus::kDatVersion},
      {"header version", patched(built.header_offset + 2, uint16_t{0x0711}), CfgParseStatus::kDatVersion},
      {"version block version", patched(built.version_offset, uint16_t{0x0711}), CfgParseStatus::kCfgVersion},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ExactFile file(c.bytes);
    CfgImage image;
    EXPECT_EQ(ParseCfgImage(file.span(), 0, &image), c.status);
  }
}

}  // namespace
}  // namespace kalimu::model
