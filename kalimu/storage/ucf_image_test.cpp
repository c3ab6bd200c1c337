// The user-settings file read as plain bytes, in both builds: wrong versions, files of fewer
// entries than the model holds, files cut inside an entry, longer files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "kalimu/storage/ucf_image.h"
#include "kalimu/storage/user_settings_records.h"

namespace kalimu::storage {
namespace {

constexpr uint32_t kSettings = 3, kPapers = 2;

// Version 1808, then `settings` settings entries and `papers` paper entries, the first of each
// in use; the bytes alone in a heap block of exactly their size.
struct UcfBytes {
  UcfBytes(size_t settings, size_t papers, size_t extra = 0, int16_t version = kUcfVersion) {
    std::vector<uint8_t> bytes(UcfFileSize(settings, papers) + extra, 0);
    std::memcpy(bytes.data(), &version, 2);
    const int16_t in_use = kEntryInUse;
    if (settings != 0) std::memcpy(bytes.data() + 2 + kUserSettingsStateAt, &in_use, 2);
    if (papers != 0) {
      std::memcpy(bytes.data() + 2 + settings * kUserSettingsEntryBytes + offsetof(UserPaperEntry, state), &in_use, 2);
    }
    size = bytes.size();
    data.reset(new uint8_t[size]);
    std::memcpy(data.get(), bytes.data(), size);
  }
  std::span<const uint8_t> First(size_t n) const { return {data.get(), n}; }
  std::span<const uint8_t> All() const { return {data.get(), size}; }
  std::unique_ptr<uint8_t[]> data;
  size_t size;
};

TEST(UcfImage, VersionEntriesAndCuts) {
  const UcfBytes full(kSettings, kPapers);
  const UcfBytes wrong(kSettings, kPapers, 0, 1807);
  const UcfBytes fewer(1, 0);  // a model that had one settings entry and no papers
  const UcfBytes longer(kSettings, kPapers, 50);
  const size_t inside_paper = 2 + kSettings * kUserSettingsEntryBytes + 10;
  const struct {
    const char* name;
    std::span<const uint8_t> file;
    UcfImageStatus status;
    uint32_t settings, papers, settings_in_use, papers_in_use;
  } cases[] = {
      {"whole file", full.All(), UcfImageStatus::kOk, kSettings, kPapers, 1, 1},
      {"longer file", longer.All(), UcfImageStatus::kOk, kSettings, kPapers, 1, 1},
      {"empty file", full.First(0), UcfImageStatus::kVersion, 0, 0, 0, 0},
      {"one byte", full.First(1), UcfImageStatus::kVersion, 0, 0, 0, 0},
      {"version 1807", wrong.All(), UcfImageStatus::kVersion, 0, 0, 0, 0},
      {"version word alone", full.First(2), UcfImageStatus::kOk, 0, 0, 0, 0},
      {"fewer entries", fewer.All(), UcfImageStatus::kOk, 1, 0, 1, 0},
      {"cut inside the first settings entry", full.First(100), UcfImageStatus::kCut, 0, 0, 0, 0},
      {"cut inside the first paper", full.First(inside_paper), UcfImageStatus::kCut, kSettings, 0, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UcfImage image;
    EXPECT_EQ(ParseUcfImage(c.file, kSettings, kPapers, &image), c.status);
    EXPECT_EQ(image.settings_count, c.settings);
    EXPECT_EQ(image.paper_count, c.papers);
    EXPECT_EQ(image.settings.size(), c.settings * kUserSettingsEntryBytes);
    EXPECT_EQ(image.papers.size(), c.papers * sizeof(UserPaperEntry));
    EXPECT_EQ(CountSettingsInUse(image.settings), c.settings_in_use);
    EXPECT_EQ(CountPapersInUse(image.papers), c.papers_in_use);
  }
}

}  // namespace
}  // namespace kalimu::storage
