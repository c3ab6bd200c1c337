// Damaged, truncated and oversized model files: refused with the right message, never read
// past their end (each file is placed against an inaccessible page).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <vector>

#include "kalimu/model/cfg_parser.h"
#include "kalimu/model/model_capabilities.h"
#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::model {
namespace {

// Bytes that end exactly where an inaccessible page begins.
class GuardedBytes {
 public:
  explicit GuardedBytes(const std::vector<uint8_t>& bytes) {
    const size_t page = 4096;
    const size_t pages = (bytes.size() + page - 1) / page + 1;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(base_ + (pages - 1) * page, page, PAGE_NOACCESS, &old);
    data_ = base_ + (pages - 1) * page - bytes.size();
    if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
    size_ = bytes.size();
  }
  ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
  std::span<const uint8_t> span() const { return {data_, size_}; }

 private:
  uint8_t* base_ = nullptr;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

class ImageModel : public ModelCapabilities {
 public:
  ImageModel(std::span<const uint8_t> base, std::span<const uint8_t> variant) {
    AdoptInkSetTable(base);
    AdoptCfgImage(variant);
  }
};

template <class T>
void Put(std::vector<uint8_t>& bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

TEST(CfgParser, SampleFilesParseWhole) {
  for (const auto& model : {testkit::RollPaperModel(), testkit::SheetModel()}) {
    const auto built = testkit::BuildCfgFile(model);
    GuardedBytes guarded(built.bytes);
    CfgImage image;
    ASSERT_EQ(ParseCfgImage(guarded.span(), static_cast<uint16_t>(model.ink_sets.size()), &image), CfgParseStatus::kOk);
    EXPECT_EQ(image.has_lfp, model.has_lfp);
    EXPECT_EQ(image.tables.data(), guarded.span().data() + built.table_offset[0]);
    CfgInkSetImage inks;
    ASSERT_EQ(ParseInkSetTable(guarded.span(), &inks), CfgParseStatus::kOk);
    EXPECT_EQ(inks.ink_set_count, model.ink_sets.size());
  }
}

TEST(CfgParser, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
  for (const auto& model : {testkit::RollPaperModel(), testkit::SheetModel()}) {
    const auto built = testkit::BuildCfgFile(model);
    const uint32_t header_end = built.header_offset + 128;
    for (size_t length = 0; length < built.bytes.size(); ++length) {
      GuardedBytes guarded(std::vector<uint8_t>(built.bytes.begin(), built.bytes.begin() + length));
      CfgImage image;
      const CfgParseStatus status = ParseCfgImage(guarded.span(), static_cast<uint16_t>(model.ink_sets.size()), &image);
      // The prologue and version block come first: cutting them is a cfg error, cutting the
      // presets too; the header and everything after it are dat errors.
      const bool cfg_part = length < built.version_offset + 16;
      EXPECT_EQ(status, cfg_part ? CfgParseStatus::kCfgVersion : CfgParseStatus::kDatVersion) << length;
      CfgInkSetImage inks;
      const CfgParseStatus ink_status = ParseInkSetTable(guarded.span(), &inks);
      EXPECT_EQ(ink_status == CfgParseStatus::kOk, length >= header_end + 32 * model.ink_sets.size()) << length;
    }
  }
}

struct Damage {
  const char* what;
  std::function<void(std::vector<uint8_t>&, const testkit::BuiltCfgFile&)> apply;
  CfgParseStatus status;
};

TEST(CfgParser, OversizedOffsetsAndCountsAreRefused) {
  const auto model = testkit::RollPaperModel();
  const auto built = testkit::BuildCfgFile(model);
  using B = testkit::BuiltCfgFile;
  const Damage damages[] = {
      {"version block offset", [](auto& b, const B&) { Put<uint32_t>(b, 8, 0xFFFFFFF0u); }, CfgParseStatus::kCfgVersion},
      {"version 0x0700", [](auto& b, const B& f) { Put<uint16_t>(b, f.version_offset, 0x0700); }, CfgParseStatus::kCfgVersion},
      {"preset group count", [](auto& b, const B& f) { Put<uint16_t>(b, f.version_offset + 6, 0xFFFF); }, CfgParseStatus::kCfgVersion},
      {"header offset", [](auto& b, const B&) { Put<uint32_t>(b, 4, 0xFFFFFFFFu); }, CfgParseStatus::kDatVersion},
      {"header version", [](auto& b, const B& f) { Put<uint16_t>(b, f.header_offset + 2, 0x0711); }, CfgParseStatus::kDatVersion},
      {"paper count", [](auto& b, const B& f) { Put<uint16_t>(b, f.header_offset + 46, 0xFFFF); }, CfgParseStatus::kDatVersion},
      {"mode count", [](auto& b, const B& f) { Put<uint16_t>(b, f.header_offset + 60, 100); }, CfgParseStatus::kDatVersion},
      {"lfp offset", [](auto& b, const B&) { Put<uint32_t>(b, 12, 0xFFFFFFF8u); }, CfgParseStatus::kDatVersion},
      {"lfp record offset", [](auto& b, const B& f) { Put<uint16_t>(b, f.lfp_offset, 0xFFFF); }, CfgParseStatus::kDatVersion},
      {"lfp record count", [](auto& b, const B& f) { Put<uint16_t>(b, f.lfp_offset + 8, 0xFFFF); }, CfgParseStatus::kDatVersion},
  };
  for (const Damage& d : damages) {
    std::vector<uint8_t> bytes = built.bytes;
    d.apply(bytes, built);
    GuardedBytes guarded(bytes);
    CfgImage image;
    EXPECT_EQ(ParseCfgImage(guarded.span(), 2, &image), d.status) << d.what;
  }
  // The ink-set table of the base file: more records than the file holds.
  std::vector<uint8_t> bytes = built.bytes;
  Put<uint16_t>(bytes, built.header_offset + 44, 0xFFFF);
  GuardedBytes guarded(bytes);
  CfgInkSetImage inks;
  EXPECT_EQ(ParseInkSetTable(guarded.span(), &inks), CfgParseStatus::kDatVersion);
}

TEST(CfgParser, InkIdLengthAndDefaultIndexAreBounded) {
  auto model = testkit::RollPaperModel();
  model.header.ink_word = 0xFF008008u;  // length 255 claimed
  model.header.default_ink_set = 7;      // only two ink sets
  const auto built = testkit::BuildCfgFile(model);
  CfgInkSetImage inks;
  ASSERT_EQ(ParseInkSetTable(built.bytes, &inks), CfgParseStatus::kOk);
  EXPECT_EQ(inks.ink_id_length, 16u);
  EXPECT_EQ(inks.default_ink_set, 0);
  EXPECT_EQ(InkIdLengthFromWord(0x0300000Au), 10u);  // bit 15 clear: bits 0-7
  EXPECT_EQ(InkIdLengthFromWord(0x03008004u), 3u);
}

TEST(CfgParser, RefusedFileShowsItsMessageOnceAndKeepsNothing) {
  const auto built = testkit::BuildCfgFile(testkit::RollPaperModel());
  struct Case {
    std::vector<uint8_t> variant;
    const char* message;
  };
  std::vector<uint8_t> bad_version = built.bytes, bad_header = built.bytes, truncated = built.bytes;
  Put<uint16_t>(bad_version, built.version_offset, 0x0700);
  Put<uint16_t>(bad_header, built.header_offset + 2, 0);
  truncated.resize(truncated.size() - 1);
  for (const Case& c : {Case{bad_version, kCfgVersionMessage}, Case{bad_header, kDatVersionMessage},
                        Case{truncated, kDatVersionMessage}}) {
    testkit::MessageBoxWatcher watcher;
    GuardedBytes guarded(c.variant);
    ImageModel model(built.bytes, guarded.span());
    ASSERT_EQ(watcher.shown().size(), 1u);
    EXPECT_EQ(watcher.shown()[0].caption, "UI DLL Message");
    EXPECT_EQ(watcher.shown()[0].text, c.message);
    uint32_t version = 9, papers = 9;
    EXPECT_EQ(model.GetCfgVersion(&version), 1);
    EXPECT_EQ(model.GetPaperSizeCount(&papers), 1);
    EXPECT_EQ(version, 0u);
    EXPECT_EQ(papers, 0u);
  }
}

}  // namespace
}  // namespace kalimu::model
