// The cache of files' contents: a changed file is read again, the cache stays bounded, and
// threads share it.
#include "kalimu/platform/file_cache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace kalimu::platform {
namespace {

class FileCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    base_ = std::string(temp) + "kvcache_" + std::to_string(GetCurrentProcessId()) + "_";
  }
  void TearDown() override {
    for (const std::string& path : written_) DeleteFileA(path.c_str());
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = base_ + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    written_.push_back(path);
    return path;
  }
  // A cache of the files' text that counts how often a file was read.
  std::shared_ptr<const std::string> Text(FileCache<std::string>& cache, const std::string& path) {
    return cache.Get(path.c_str(), [&](std::span<const uint8_t> bytes) {
      ++builds_;
      return std::make_shared<const std::string>(bytes.begin(), bytes.end());
    });
  }

  std::string base_;
  std::vector<std::string> written_;
  std::atomic<int> builds_{0};
};

TEST_F(FileCacheTest, UnchangedFileIsReadOnceAndAChangedOneAgain) {
  FileCache<std::string> cache(4);
  const std::string path = Write("a.cfg", "first");
  EXPECT_EQ(*Text(cache, path), "first");
  EXPECT_EQ(*Text(cache, path), "first");
  EXPECT_EQ(builds_, 1);
  Write("a.cfg", "other");  // same size, later write time
  EXPECT_EQ(*Text(cache, path), "other");
  Write("a.cfg", "longer text");
  EXPECT_EQ(*Text(cache, path), "longer text");
  EXPECT_EQ(builds_, 3);
  EXPECT_EQ(cache.size(), 1u) << "one entry per file";
}

TEST_F(FileCacheTest, MissingFilesAndRefusedBuildsAreNotCached) {
  FileCache<std::string> cache(4);
  EXPECT_EQ(Text(cache, base_ + "missing.cfg"), nullptr);
  EXPECT_EQ(cache.Get(base_.c_str(), [](std::span<const uint8_t>) { return std::make_shared<const std::string>(); }),
            nullptr)
      << "a folder is no file";
  const std::string path = Write("refused.cfg", "x");
  EXPECT_EQ(cache.Get(path.c_str(), [](std::span<const uint8_t>) { return std::shared_ptr<const std::string>(); }),
            nullptr);
  EXPECT_EQ(cache.size(), 0u);
}

TEST_F(FileCacheTest, HoldsAtMostItsCapacityAndDropsTheOneUsedLongestAgo) {
  FileCache<std::string> cache(2);
  const std::string a = Write("a.cfg", "a");
  const std::string b = Write("b.cfg", "b");
  const std::string c = Write("c.cfg", "c");
  Text(cache, a);
  Text(cache, b);
  Text(cache, a);  // b is now the one used longest ago
  Text(cache, c);
  EXPECT_EQ(cache.size(), 2u);
  EXPECT_EQ(builds_, 3);
  Text(cache, a);
  EXPECT_EQ(builds_, 3) << "a stayed";
  Text(cache, b);
  EXPECT_EQ(builds_, 4) << "b was dropped";
}

// Two threads reading two files through one cache always get the text of the file they asked for.
TEST_F(FileCacheTest, TwoThreadsShareTheCache) {
  FileCache<std::string> cache(1);  // the smallest cache: the threads keep evicting each other
  const std::string a = Write("a.cfg", "aaaa");
  const std::string b = Write("b.cfg", "bbbb");
  std::atomic<int> wrong{0};
  auto reader = [&](const std::string& path, char letter) {
    for (int i = 0; i < 300; ++i) {
      const auto text = Text(cache, path);
      if (text == nullptr || text->empty() || (*text)[0] != letter) ++wrong;
    }
  };
  std::thread first(reader, a, 'a');
  std::thread second(reader, b, 'b');
  first.join();
  second.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_LE(cache.size(), 1u);
}

}  // namespace
}  // namespace kalimu::platform
