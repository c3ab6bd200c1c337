// Packed DIBs from files and resources: statuses, the size limit, replaced blocks, and the
// watermark palette as a real GDI palette.
#include "kalimu/watermark/dib_loading.h"

#include <gtest/gtest.h>

#include "kalimu/watermark/watermark_test_support.h"
#include "testkit/watermark/bmp_builder.h"

namespace kalimu::watermark {
namespace {

using testkit::watermark::BmpLayout;
using testkit::watermark::BuildBmp;

class LoadDibTest : public ::testing::Test {
 protected:
  DibStatus LoadFile(const std::vector<uint8_t>& bytes) {
    EXPECT_TRUE(testkit::WriteBytes(path_, bytes));
    return LoadDib(path_.c_str(), &block_, &size_, 0, nullptr, 0);
  }
  test::ScratchFolder folder_{"kalimu_loaddib"};
  std::string path_ = folder_ / "picture.bmp";
  platform::GlobalBlock block_;
  uint32_t size_ = 0xDEAD;
};

TEST_F(LoadDibTest, FilesGetTheirStatus) {
  BmpLayout bad_header;
  bad_header.header_bytes = 124;
  BmpLayout good;
  good.bits = 4;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    DibStatus status;
  };
  const std::vector<uint8_t> whole = BuildBmp(good);
  std::vector<uint8_t> signature = whole;
  signature[1] = 'A';
  const Case cases[] = {
      {"a 4-bit file", whole, kDibLoaded},
      {"BA", signature, kDibBadFormat},
      {"a 124-byte header", BuildBmp(bad_header), kDibBadFormat},
      {"13 bytes", std::vector<uint8_t>(whole.begin(), whole.begin() + 13), kDibCannotOpen},
      {"cut in the bits", std::vector<uint8_t>(whole.begin(), whole.end() - 1), kDibBadFormat},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    size_ = 0xDEAD;
    EXPECT_EQ(LoadFile(c.bytes), c.status);
    if (c.status == kDibLoaded) {
      EXPECT_EQ(size_, 40u + 64 + 16);
      ASSERT_TRUE(block_.held());
      EXPECT_EQ(GlobalFlags(GlobalHandle(block_.data())) & GMEM_LOCKCOUNT, 1u);
    } else {
      EXPECT_FALSE(block_.held());
      EXPECT_EQ(size_, 0xDEADu);  // not written on failure
    }
  }
  EXPECT_EQ(LoadDib((folder_ / "missing.bmp").c_str(), &block_, &size_, 0, nullptr, 0), kDibCannotOpen);
  EXPECT_EQ(LoadDib(nullptr, &block_, &size_, 0, nullptr, 0), kDibCannotOpen);
}

TEST_F(LoadDibTest, FilesUpToTheLimitLoad) {
  BmpLayout layout;
  layout.bits = 8;
  layout.width = 4;
  layout.height = 4;
  std::vector<uint8_t> bytes = BuildBmp(layout);
  bytes.resize(kMaxBitmapFileBytes, 0x11);  // trailing bytes behind the bits do not matter
  EXPECT_EQ(LoadFile(bytes), kDibLoaded);
  bytes.push_back(0);
  EXPECT_EQ(LoadFile(bytes), kDibTooLarge);
  EXPECT_FALSE(block_.held());
}

TEST_F(LoadDibTest, ResourcesOfTheLibrary) {
  ASSERT_NE(test::TestResources(), nullptr);
  // 16001 is a core-header bitmap of 200 x 100 in the stand-in library.
  ASSERT_EQ(LoadDib(nullptr, &block_, &size_, kLoadDibFromResource, test::TestResources(), 16001), kDibLoaded);
  EXPECT_EQ(GetDibWidth(block_.data()), 200);
  EXPECT_EQ(GetDibHeight(block_.data()), 100);
  EXPECT_EQ(reinterpret_cast<const DibInfoHeader*>(block_.data())->biSize, 40u);
  EXPECT_EQ(LoadDib(nullptr, &block_, &size_, kLoadDibFromResource, test::TestResources(), 16999), kDibNoResource);
  EXPECT_FALSE(block_.held());
  EXPECT_EQ(LoadDib(nullptr, &block_, &size_, kLoadDibFromResource, nullptr, 16001), kDibNoResource);
}

TEST(WatermarkPaletteGdi, CubeOf24BitDibs) {
  BmpLayout layout;
  layout.bits = 24;
  platform::GlobalBlock block;
  uint32_t size = 0;
  ASSERT_EQ(LoadDibFromBytes(BuildBmp(layout), &block, &size), kDibLoaded);
  HPALETTE palette = CreateWatermarkPalette(block.data(), size);
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[256] = {};
  ASSERT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u);
  EXPECT_EQ(entries[9].peRed, 32);
  EXPECT_EQ(entries[9].peGreen, 32);
  EXPECT_EQ(entries[9].peBlue, 0);
  EXPECT_EQ(entries[255].peBlue, 192);
  DeleteObject(palette);
  EXPECT_EQ(CreateWatermarkPalette(nullptr, 0), nullptr);
}

}  // namespace
}  // namespace kalimu::watermark
