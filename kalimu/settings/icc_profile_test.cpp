// Reading generated profiles, good and damaged, through the colour system.
#include "kalimu/settings/icc_profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "testkit/kalimu/icc_profile_builder.h"

namespace kalimu::settings {
namespace {

using Bytes = std::vector<uint8_t>;

class IccProfileFiles : public ::testing::Test {
 protected:
  testkit::InstalledProfiles files_ = testkit::InstalledProfiles::InScratchFolder();

  UniqueColorProfile Install(const wchar_t* name, const Bytes& bytes) {
    EXPECT_TRUE(files_.Install(name, bytes));
    return OpenProfileFile(files_.PathOf(name).c_str());
  }
};

TEST_F(IccProfileFiles, ClassAndPrivateTagsAreRead) {
  const auto profile = Install(L"printer.icc", testkit::IccProfileBuilder(testkit::kIccClassPrinter)
                                                   .Description("Kalimu glossy")
                                                   .DriverNames({"Kalimu WF-7000"})
                                                   .MediaIds({5, 7})
                                                   .InkCodes({1, 2, 3})
                                                   .Build());
  ASSERT_TRUE(profile.valid());
  EXPECT_TRUE(IsProfileValid(profile.get()));
  EXPECT_EQ(ReadProfileClass(profile.get()), kClassOutputDevice);
  const auto drvn = ReadProfileTag(profile.get(), kTagDriverNames);
  ASSERT_TRUE(drvn.has_value());
  EXPECT_EQ(*drvn, testkit::DriverNamesTag({"Kalimu WF-7000"}));
  EXPECT_EQ(ReadProfileTag(profile.get(), kTagMediaIds), testkit::MediaIdsTag({5, 7}));
  EXPECT_EQ(ReadProfileTag(profile.get(), kTagInkCodes), testkit::InkCodesTag({1, 2, 3}));

  const auto monitor = Install(L"monitor.icm", testkit::IccProfileBuilder(testkit::kIccClassMonitor).Build());
  ASSERT_TRUE(monitor.valid());
  EXPECT_EQ(ReadProfileClass(monitor.get()), DWORD{testkit::kIccClassMonitor});
  EXPECT_FALSE(ReadProfileTag(monitor.get(), kTagDriverNames).has_value());
}

TEST_F(IccProfileFiles, DescriptionIsCountedAndCopiedBounded) {
  const auto profile = Install(L"described.icc",
                               testkit::IccProfileBuilder(testkit::kIccClassScanner).Description("Scanner 42").Build());
  ASSERT_TRUE(profile.valid());
  EXPECT_EQ(ReadProfileDescription(profile.get(), nullptr, 0), 11u);
  char whole[32];
  EXPECT_EQ(ReadProfileDescription(profile.get(), whole, sizeof(whole)), 11u);
  EXPECT_STREQ(whole, "Scanner 42");
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(ReadProfileDescription(profile.get(), small, sizeof(small)), 11u);
  EXPECT_STREQ(small, "Scan");

  const auto damaged = Install(L"damaged.icc", testkit::IccProfileBuilder(testkit::kIccClassScanner)
                                                   .Tag(kTagDescription, testkit::IccTagWriter(kTagDescription).U32(5000).Text("Runs on").data())
                                                   .Build());
  ASSERT_TRUE(damaged.valid());
  char untouched[8] = "keep";
  EXPECT_EQ(ReadProfileDescription(damaged.get(), untouched, sizeof(untouched)), 0u);
  EXPECT_STREQ(untouched, "keep");

  const auto without = Install(L"without.icc",
                               testkit::IccProfileBuilder(testkit::kIccClassScanner).Without(kTagDescription).Build());
  ASSERT_TRUE(without.valid());
  EXPECT_EQ(ReadProfileDescription(without.get(), nullptr, 0), 0u);
}

struct DamagedFileCase {
  const char* name;
  Bytes bytes;
  bool accepted;       // opened and reported valid
  bool driver_names;   // its "drvn" tag can be read
};

Bytes Cut(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}
Bytes Patched(Bytes bytes, size_t offset, uint8_t value) {
  bytes[offset] = value;
  return bytes;
}

TEST_F(IccProfileFiles, DamagedFilesAreRefusedOrReadWithinTheirBounds) {
  const Bytes good = testkit::IccProfileBuilder(testkit::kIccClassPrinter).DriverNames({"Kalimu WF-7000"}).Build();
  const DamagedFileCase cases[] = {
      {"well formed", good, true, true},
      {"empty file", {}, false, false},
      {"half a header", Cut(good, 60), false, false},
      {"header only", Cut(good, 128), false, false},
      {"no signature", Patched(good, 36, 'x'), false, false},
      {"last tag cut off", Cut(good, good.size() - 20), true, false},
      {"tag table count huge", Patched(good, 128, 0x7F), false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto profile = Install(L"damaged-file.icc", c.bytes);
    const bool accepted = profile.valid() && IsProfileValid(profile.get());
    ASSERT_EQ(accepted, c.accepted);
    if (!accepted) continue;
    const auto drvn = ReadProfileTag(profile.get(), kTagDriverNames);
    EXPECT_EQ(drvn.has_value(), c.driver_names);
    EXPECT_EQ(ReadProfileClass(profile.get()), kClassOutputDevice);
  }
}

}  // namespace
}  // namespace kalimu::settings
