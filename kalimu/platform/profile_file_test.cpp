// Cached profile reads answer as Windows' own GetPrivateProfileStringA on the same file.
#include "kalimu/platform/profile_file.h"

#include <gtest/gtest.h>

#include <string>

namespace kalimu::platform {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "kvprofile_" + std::to_string(GetCurrentProcessId()) + ".ini";
    ProfileFileCache().Clear();
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    ProfileFileCache().Clear();
  }
  void Write(const std::string& text) {
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  // (answer, text) of the cached read and of Windows' read, with a buffer of size bytes.
  void ExpectSameAsWindows(const char* section, const char* key, const char* default_text, DWORD size) {
    char ours[64] = "unwritten";
    char windows[64] = "unwritten";
    const DWORD our_answer = ReadProfileStringA(section, key, default_text, ours, size, path_.c_str());
    const DWORD windows_answer = GetPrivateProfileStringA(section, key, default_text, windows, size, path_.c_str());
    EXPECT_EQ(our_answer, windows_answer) << "[" << section << "] " << key;
    EXPECT_STREQ(ours, windows) << "[" << section << "] " << key;
  }

  std::string path_;
};

// A data file with the forms drivers' files and hand edits take.
constexpr char kSample[] =
    "Loose=before any section\r\n"
    "[Info]\r\n"
    "Plain=value\r\n"
    "  Spaced  =   padded value   \r\n"
    "Quoted=\"in quotes\"\r\n"
    "Single='single'\r\n"
    "Unbalanced=\"open\r\n"
    "Empty=\r\n"
    "NoEquals\r\n"
    "Twice=first\r\n"
    "Twice=second\r\n"
    "Equals=a=b\r\n"
    "Long=0123456789abcdef\r\n"
    "; comment=not a key\r\n"
    "\r\n"
    "[ Padded Section ]\n"
    "Key=unix line\n"
    "[info]\n"
    "Later=in the second section of the same name\n"
    "[Last]\r"
    "Mac=carriage return only\r";

TEST_F(ProfileFileTest, ReadsAnswerAsWindowsDoes) {
  Write(kSample);
  struct Case {
    const char* section;
    const char* key;
    const char* default_text;
    DWORD size;
  };
  const Case cases[] = {
      {"Info", "Plain", "d", 64},        {"INFO", "plain", "d", 64},         {"Info", "Spaced", "d", 64},
      {"Info", " Spaced ", "d", 64},     {"Info", "Quoted", "d", 64},        {"Info", "Single", "d", 64},
      {"Info", "Unbalanced", "d", 64},   {"Info", "Empty", "d", 64},         {"Info", "NoEquals", "d", 64},
      {"Info", "Twice", "d", 64},        {"Info", "Equals", "d", 64},        {"Info", "Long", "d", 8},
      {"Info", "Long", "d", 1},          {"Info", "Missing", "default  ", 64}, {"Info", "Missing", "", 64},
      {"Info", "Later", "d", 64},        {"Padded Section", "Key", "d", 64}, {"Last", "Mac", "d", 64},
      {"Nowhere", "Plain", "Error", 64}, {"", "Loose", "d", 64},           {"Info", "Missing", "0123456789", 4},
  };
  for (const Case& c : cases) ExpectSameAsWindows(c.section, c.key, c.default_text, c.size);
}

TEST_F(ProfileFileTest, MissingFileAnswersTheDefault) {
  char out[16] = {};
  EXPECT_EQ(ReadProfileStringA("Info", "Plain", "Error", out, sizeof(out), path_.c_str()), 5u);
  EXPECT_STREQ(out, "Error");
  EXPECT_EQ(ProfileFileCache().size(), 0u);
}

// Damaged text (no closing bracket, stray bytes, a NUL) parses to something, never a crash.
TEST_F(ProfileFileTest, DamagedTextParses) {
  const std::string damaged = std::string("[Open\r\nA=1\r\n]\r\n[=]\r\n=x\r\n\xff\xfe[\r\nB=\0two\r\n[", 41);
  const ProfileFile file = ProfileFile::Parse(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(damaged.data()), damaged.size()));
  EXPECT_EQ(file.Find("Open", "A"), std::optional<std::string_view>("1"));
  EXPECT_EQ(file.Find("Nowhere", "A"), std::nullopt);
  ProfileFile::Parse({});
}

// A file edited on disk is read again on the next call; an unchanged one comes from the cache.
TEST_F(ProfileFileTest, EditedFileIsSeenOnTheNextRead) {
  Write("[Info]\r\nPlain=old\r\n");
  char out[16] = {};
  ReadProfileStringA("Info", "Plain", "", out, sizeof(out), path_.c_str());
  EXPECT_STREQ(out, "old");
  Write("[Info]\r\nPlain=new\r\n");  // same size: the write time tells them apart
  ReadProfileStringA("Info", "Plain", "", out, sizeof(out), path_.c_str());
  EXPECT_STREQ(out, "new");
  Write("[Info]\r\nPlain=newer\r\n");
  ReadProfileStringA("Info", "Plain", "", out, sizeof(out), path_.c_str());
  EXPECT_STREQ(out, "newer");
  EXPECT_EQ(ProfileFileCache().size(), 1u);
}

// Files Windows decodes itself (a byte-order mark) and relative paths go to Windows.
TEST_F(ProfileFileTest, FilesWithAByteOrderMarkAreLeftToWindows) {
  Write("\xEF\xBB\xBF[Info]\r\nPlain=utf8\r\n");
  ExpectSameAsWindows("Info", "Plain", "d", 64);
  EXPECT_EQ(ProfileFileCache().size(), 0u);
}

}  // namespace
}  // namespace kalimu::platform
