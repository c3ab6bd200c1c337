// The file wrapper on real files.
#include "kalimu/platform/driver_file.h"

#include <gtest/gtest.h>

#include <string>

namespace kalimu::platform {
namespace {

class DriverFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = temp;
    path_ = dir_ + "kvfile_" + std::to_string(GetCurrentProcessId()) + ".bin";
    DeleteFileA(path_.c_str());
  }
  void TearDown() override { DeleteFileA(path_.c_str()); }

  std::string dir_;
  std::string path_;
};

TEST_F(DriverFileTest, EmptyObjectNeverTouchesTheFileSystem) {
  DriverFile file;
  EXPECT_EQ(file.Open(0), 0);
  EXPECT_EQ(file.Create(), 0);
  EXPECT_EQ(file.Exists(), 0);
  char buffer[4];
  EXPECT_EQ(file.Read(buffer, 4, nullptr), 0);
  EXPECT_EQ(file.Write(buffer, 4, nullptr), 0);
  EXPECT_EQ(file.Seek(FILE_BEGIN, 0, nullptr), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(file.GetSize(), 0u);
}

// A file left open is closed with its object: an exclusive open succeeds afterwards.
TEST_F(DriverFileTest, ClosesWithItsObject) {
  {
    DriverFile file(path_.c_str());
    ASSERT_EQ(file.Create(), 1);  // opened without sharing
    DriverFile blocked(path_.c_str());
    EXPECT_EQ(blocked.Open(DriverFile::kOpenExclusive), 0);
  }
  DriverFile again(path_.c_str());
  EXPECT_EQ(again.Open(DriverFile::kOpenExclusive), 1);
}

TEST_F(DriverFileTest, CreateWriteReopenReadAndDelete) {
  DriverFile file(path_.c_str());
  EXPECT_EQ(file.Exists(), 0);
  EXPECT_EQ(file.Open(0), 0) << "a failed open leaves the object closed";
  EXPECT_FALSE(file.is_open());
  ASSERT_EQ(file.Create(), 1);
  EXPECT_EQ(file.Write("0123456789", 10, nullptr), 10);
  EXPECT_EQ(file.GetSize(), 10u);
  file.Close();
  file.Close();  // harmless

  DriverFile again(path_.c_str());
  EXPECT_EQ(again.Create(), 0) << "an existing file is never replaced";
  ASSERT_EQ(again.Open(0), 1);
  EXPECT_EQ(again.Open(0), 1) << "already open";
  EXPECT_EQ(again.Seek(FILE_BEGIN, 4, nullptr), 4u);
  char buffer[16] = {};
  EXPECT_EQ(again.Read(buffer, sizeof(buffer), nullptr), 6);
  EXPECT_STREQ(buffer, "456789");
  EXPECT_EQ(again.Write("x", 1, nullptr), -1) << "opened for reading only";
  EXPECT_TRUE(again.Delete());
  EXPECT_FALSE(again.is_open());
  EXPECT_EQ(again.Exists(), 0);
}

TEST_F(DriverFileTest, SharingFollowsTheModeBits) {
  HANDLE other = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  DriverFile shared(path_.c_str());
  EXPECT_EQ(shared.Open(DriverFile::kOpenWrite), 1);
  shared.Close();
  DriverFile exclusive(path_.c_str());
  EXPECT_EQ(exclusive.Open(DriverFile::kOpenWrite | DriverFile::kOpenExclusive), 0);
  // The existence probe shares reading only: a file another handle writes counts as absent.
  EXPECT_EQ(exclusive.FileExists(path_.c_str()), 0);
  CloseHandle(other);
  EXPECT_EQ(exclusive.FileExists(path_.c_str()), 1);
}

TEST_F(DriverFileTest, SetPathClosesAndRetargets) {
  DriverFile file(path_.c_str());
  ASSERT_EQ(file.Create(), 1);
  const std::string second = path_ + ".2";
  EXPECT_EQ(file.SetPath(second.c_str()), 1);
  EXPECT_FALSE(file.is_open());
  EXPECT_STREQ(file.path(), second.c_str());
  EXPECT_EQ(file.FileExists(path_.c_str()), 1);
  const std::string too_long(300, 'p');
  EXPECT_EQ(file.SetPath(too_long.c_str()), 0);
  EXPECT_EQ(file.Open(0), 0);
}

TEST_F(DriverFileTest, TemporaryFileIsCreatedAndOpen) {
  DriverFile file;
  char name[MAX_PATH] = {};
  ASSERT_EQ(file.CreateTempFile(dir_.c_str(), "kvt", name), 1);
  EXPECT_TRUE(file.is_open());
  EXPECT_STREQ(file.path(), name);
  EXPECT_EQ(file.Write("abc", 3, nullptr), 3);
  EXPECT_EQ(file.GetSize(), 3u);
  EXPECT_TRUE(file.Delete());
  EXPECT_EQ(file.FileExists(name), 0);

  DriverFile missing;
  const std::string no_dir = dir_ + "no_such_folder_kv";
  EXPECT_EQ(missing.CreateTempFile(no_dir.c_str(), "kvt", name), 0);
  EXPECT_FALSE(missing.is_open());
}

}  // namespace
}  // namespace kalimu::platform
