// The version line of the device sheet's page, on the library's template 31108.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/version_page.h"

namespace kalimu::pages {
namespace {

using test::HostedPage;
using test::InkModel;
using test::PageFixture;

class VersionPageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  std::string DataFile() {
    char path[MAX_PATH] = {};
    fixture_.settings().GetDriverDataFilePath(path, sizeof(path));
    return path;
  }
  PageFixture fixture_{InkModel(8, true)};
};

TEST_F(VersionPageTest, LineFromTheLabelAndTheDataFile) {
  struct Case {
    const char* name;
    const char* key;  // null: no key
    bool own_module;  // a module without string 8064
    const char* before;
    const char* shown;
  };
  const Case cases[] = {
      {"key", "6.20", false, "", "Driver Version 6.20"},
      {"no key", nullptr, false, "", "Driver Version 5.00"},
      {"no string 8064", "6.20", true, "", " 6.20"},
      {"line already built", "6.20", false, "kept", "kept"},
  };
  HostedPage page(fixture_, kVersionPageTemplate);
  ASSERT_NE(page.window(), nullptr);
  const std::string data = DataFile();
  for (const Case& c : cases) {
    ASSERT_TRUE(WritePrivateProfileStringA("VersionInformation", "DriverVersion", c.key, data.c_str())) << c.name;
    char line[kVersionLineChars] = {};
    std::strcpy(line, c.before);
    ShowVersionText(page.window(), nullptr, line, sizeof(line), kVersionText,
                    c.own_module ? GetModuleHandleA(nullptr) : fixture_.module(), &fixture_.settings());
    char shown[kVersionLineChars] = {};
    GetDlgItemTextA(page.window(), kVersionText, shown, sizeof(shown));
    EXPECT_STREQ(shown, c.shown) << c.name;
  }
}

TEST_F(VersionPageTest, LineIsBoundedByItsBuffer) {
  HostedPage page(fixture_, kVersionPageTemplate);
  ASSERT_TRUE(WritePrivateProfileStringA("VersionInformation", "DriverVersion", "6.20", DataFile().c_str()));
  char line[15] = {};  // room for "Driver Version" only: no blank, no version
  ShowVersionText(page.window(), nullptr, line, sizeof(line), kVersionText, fixture_.module(), &fixture_.settings());
  EXPECT_STREQ(line, "Driver Version");
}

}  // namespace
}  // namespace kalimu::pages
