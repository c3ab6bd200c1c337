// The bitmap parser: good files of every header and depth become packed DIBs with the right
// header, table and bits; damaged files of every kind get their status; the packed-DIB and
// thumbnail checks; the readers of a packed header.
#include "kalimu/watermark/dib_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testkit/watermark/bmp_builder.h"

namespace kalimu::watermark {
namespace {

using testkit::watermark::BmpLayout;
using testkit::watermark::BuildBmp;
using testkit::watermark::PixelByte;
using testkit::watermark::TableByte;

std::span<const uint8_t> Bytes(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

struct Packed {
  DibStatus status;
  DibPlan plan{};
  std::vector<uint8_t> dib;
};

Packed Load(const std::vector<uint8_t>& file) {
  Packed p;
  p.status = PlanBmpFile(Bytes(file), &p.plan);
  if (p.status == kDibLoaded) {
    p.dib.assign(p.plan.total_bytes, 0xCD);
    BuildPackedDib(Bytes(file).subspan(14), p.plan, p.dib.data());
  }
  return p;
}

DibInfoHeader HeaderOf(const std::vector<uint8_t>& dib) {
  DibInfoHeader h;
  std::memcpy(&h, dib.data(), sizeof(h));
  return h;
}

std::string Describe(const BmpLayout& s) {
  return "header " + std::to_string(s.header_bytes) + ", " + std::to_string(s.bits) + " bits, compression " +
         std::to_string(s.compression) + ", " + std::to_string(s.width) + " x " + std::to_string(s.height);
}

// Every header and depth the loader takes: the block is header + table + padded rows, the
// table holds the file's colours widened to four bytes and the bits are the file's bits.
TEST(DibParser, EveryHeaderAndDepthLoads) {
  for (uint32_t header : {12u, 40u, 108u}) {
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
      if (header == 12 && (bits == 16 || bits == 32)) continue;
      BmpLayout layout;
      layout.header_bytes = header;
      layout.width = 13;
      layout.height = header == 12 ? 5 : -5;
      layout.bits = bits;
      SCOPED_TRACE(Describe(layout));
      const Packed p = Load(BuildBmp(layout));
      ASSERT_EQ(p.status, kDibLoaded);
      const DibInfoHeader h = HeaderOf(p.dib);
      const uint32_t entries = bits <= 8 ? 1u << bits : 0;
      const uint32_t rows = ((13 * bits + 31) / 32) * 4 * 5;
      EXPECT_EQ(h.biSize, header == 12 ? 40u : header);
      EXPECT_EQ(h.biWidth, 13);
      EXPECT_EQ(h.biClrUsed, entries);
      EXPECT_EQ(h.biSizeImage, rows);
      EXPECT_EQ(GetDibTableBytes(p.dib.data()), entries * 4);
      EXPECT_EQ(p.dib.size(), h.biSize + entries * 4 + rows);
      EXPECT_EQ(GetDibHeight(p.dib.data()), 5);
      const uint8_t* table = p.dib.data() + h.biSize;
      for (uint32_t i = 0; i < entries; ++i) {
        ASSERT_EQ(table[i * 4], TableByte(i, 0));
        ASSERT_EQ(table[i * 4 + 2], TableByte(i, 2));
        ASSERT_EQ(table[i * 4 + 3], 0);
      }
      const uint8_t* bits_at = p.dib.data() + GetDibBitsOffset(p.dib.data());
      for (uint32_t k = 0; k < rows; ++k) ASSERT_EQ(bits_at[k], PixelByte(k)) << k;
      if (header == 108) {
        EXPECT_EQ(p.dib[107], static_cast<uint8_t>(0xA0 + 107));  // the V4 fields are kept
      }
    }
  }
}

TEST(DibParser, CoreHeaderOf8BitsBecomesAnInfoHeaderWith256Entries) {
  BmpLayout layout;
  layout.header_bytes = 12;
  layout.width = 3;
  layout.height = 2;
  const Packed p = Load(BuildBmp(layout));
  ASSERT_EQ(p.status, kDibLoaded);
  const DibInfoHeader h = HeaderOf(p.dib);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biClrImportant, 256u);
  EXPECT_EQ(h.biCompression, kBiRgb);
  EXPECT_EQ(p.dib.size(), 40u + 1024 + 8);
  EXPECT_EQ(p.dib[40 + 255 * 4 + 1], TableByte(255, 1));
}

TEST(DibParser, SizesOfStoredImages) {
  struct Case {
    const char* what;
    BmpLayout layout;
    uint32_t size_image;
  };
  BmpLayout bottom_up;
  bottom_up.bits = 24, bottom_up.width = 5, bottom_up.height = 3;
  BmpLayout top_down = bottom_up;
  top_down.height = -3;
  BmpLayout stale = bottom_up;  // an uncompressed image always takes its padded rows
  stale.size_image = 7;
  BmpLayout rle8;
  rle8.compression = kBiRle8, rle8.size_image = 10, rle8.pixel_bytes = 10;
  BmpLayout rle8_unsized;
  rle8_unsized.compression = kBiRle8;
  const Case cases[] = {
      {"24 bits, size 0, bottom-up", bottom_up, 48},
      {"the same picture top-down", top_down, 48},
      {"a stale stored size", stale, 48},
      {"BI_RLE8 keeps its stored size", rle8, 10},
      {"BI_RLE8 without one gets the padded rows", rle8_unsized, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Packed p = Load(BuildBmp(c.layout));
    ASSERT_EQ(p.status, kDibLoaded);
    EXPECT_EQ(HeaderOf(p.dib).biSizeImage, c.size_image);
  }
}

TEST(DibParser, BitfieldsKeepTheirMasksAndDropAColourTable) {
  BmpLayout layout;
  layout.bits = 16;
  layout.compression = kBiBitfields;
  layout.colors_used = 3;
  layout.width = 4;
  layout.height = 2;
  const Packed p = Load(BuildBmp(layout));
  ASSERT_EQ(p.status, kDibLoaded);
  EXPECT_EQ(GetDibTableBytes(p.dib.data()), 12);
  uint32_t red_mask;
  std::memcpy(&red_mask, p.dib.data() + 40, 4);
  EXPECT_EQ(red_mask, 0xF800u);
  EXPECT_EQ(p.dib.size(), 40u + 12 + 16);
  EXPECT_EQ(p.dib[52], PixelByte(0));  // the bits behind the masks, not the dropped table
}

// bfOffBits is not consulted (thumbnails hold 14 there): a gap after the colour table is
// read as the first pixel bytes.
TEST(DibParser, BitsFollowTheColourTableWhateverBfOffBitsSays) {
  BmpLayout layout;
  layout.bits = 24;
  layout.width = 2;
  layout.height = 2;
  layout.gap = 4;
  layout.off_bits = 14 + 40 + 4;
  const Packed p = Load(BuildBmp(layout));
  ASSERT_EQ(p.status, kDibLoaded);
  EXPECT_EQ(p.dib[40], PixelByte(0));  // a gap byte

  layout.gap = 0;
  layout.off_bits = 14;
  EXPECT_EQ(Load(BuildBmp(layout)).status, kDibLoaded);
}

TEST(DibParser, DamagedFilesGetTheirStatus) {
  struct Case {
    const char* what;
    BmpLayout layout;
    DibStatus status;
  };
  auto with = [](auto change) {
    BmpLayout s;
    change(s);
    return s;
  };
  const Case cases[] = {
      {"signature BA", with([](BmpLayout& s) { s.signature = 0x4142; }), kDibBadFormat},
      {"64-byte header", with([](BmpLayout& s) { s.header_bytes = 64; }), kDibBadFormat},
      {"124-byte header", with([](BmpLayout& s) { s.header_bytes = 124; }), kDibBadFormat},
      {"header size 0", with([](BmpLayout& s) { s.header_bytes = 0; }), kDibBadFormat},
      {"2 bits", with([](BmpLayout& s) { s.bits = 2; }), kDibBadFormat},
      {"0 bits", with([](BmpLayout& s) { s.bits = 0; }), kDibBadFormat},
      {"64 bits", with([](BmpLayout& s) { s.bits = 64; }), kDibBadFormat},
      {"core 16 bits", with([](BmpLayout& s) { s.header_bytes = 12, s.bits = 16; }), kDibBadFormat},
      {"core width 0", with([](BmpLayout& s) { s.header_bytes = 12, s.width = 0; }), kDibBadFormat},
      {"core height 0", with([](BmpLayout& s) { s.header_bytes = 12, s.height = 0; }), kDibBadFormat},
      {"width 0", with([](BmpLayout& s) { s.width = 0; }), kDibBadFormat},
      {"negative width", with([](BmpLayout& s) { s.width = -8; }), kDibBadFormat},
      {"height 0", with([](BmpLayout& s) { s.height = 0; }), kDibBadFormat},
      {"1 bit with 3 colours", with([](BmpLayout& s) { s.bits = 1, s.colors_used = 3; }), kDibBadFormat},
      {"4 bits with 17 colours", with([](BmpLayout& s) { s.bits = 4, s.colors_used = 17; }), kDibBadFormat},
      {"8 bits with 257 colours (16-bit count wraps)",
       with([](BmpLayout& s) { s.colors_used = 257, s.table_entries = 257; }), kDibBadFormat},
      {"24 bits with 257 colours", with([](BmpLayout& s) { s.bits = 24, s.colors_used = 257; }), kDibBadFormat},
      {"24 bits with 0x40000000 colours",
       with([](BmpLayout& s) { s.bits = 24, s.colors_used = 0x40000000, s.table_entries = 0; }), kDibBadFormat},
      {"RLE8 at 4 bits", with([](BmpLayout& s) { s.bits = 4, s.compression = kBiRle8; }), kDibBadFormat},
      {"RLE4 at 8 bits", with([](BmpLayout& s) { s.compression = kBiRle4; }), kDibBadFormat},
      {"bit fields at 24 bits", with([](BmpLayout& s) { s.bits = 24, s.compression = kBiBitfields; }), kDibBadFormat},
      {"JPEG compression", with([](BmpLayout& s) { s.compression = 4; }), kDibBadFormat},
      {"colour table cut short", with([](BmpLayout& s) { s.table_entries = 255, s.pixel_bytes = 0; }), kDibBadFormat},
      {"one pixel byte missing", with([](BmpLayout& s) { s.pixel_bytes = 31; }), kDibBadFormat},
      {"RLE8 claiming more bytes than there are",
       with([](BmpLayout& s) { s.compression = kBiRle8, s.size_image = 0xFFFFFF00, s.pixel_bytes = 40; }),
       kDibBadFormat},
      {"rows beyond 32 bits",
       with([](BmpLayout& s) { s.bits = 32, s.width = 0x7FFFFFFF, s.height = 0x7FFFFFFF, s.pixel_bytes = 0; }),
       kDibBadFormat},
      {"rows within 32 bits but beyond the file",
       with([](BmpLayout& s) { s.bits = 24, s.width = 40000, s.height = 30000, s.pixel_bytes = 64; }),
       kDibBadFormat},
      {"height -2^31", with([](BmpLayout& s) { s.height = INT32_MIN, s.pixel_bytes = 0; }), kDibBadFormat},
      {"more bytes than needed are fine", with([](BmpLayout& s) { s.pixel_bytes = 100; }), kDibLoaded},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Load(BuildBmp(c.layout)).status, c.status);
  }
}

// Every prefix of a good file of each header: a short file header is "cannot read" (3),
// anything cut later is refused (4); only the whole file loads.
TEST(DibParser, EveryTruncationIsRefused) {
  for (uint32_t header : {12u, 40u, 108u}) {
    BmpLayout layout;
    layout.header_bytes = header;
    layout.bits = 4;
    layout.width = 5;
    layout.height = 3;
    const std::vector<uint8_t> file = BuildBmp(layout);
    for (size_t n = 0; n < file.size(); ++n) {
      const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
      ASSERT_EQ(Load(cut).status, n < 14 ? kDibCannotOpen : kDibBadFormat) << header << " cut at " << n;
    }
    EXPECT_EQ(Load(file).status, kDibLoaded);
  }
}

TEST(DibParser, PackedBlocksAreChecked) {
  BmpLayout layout;
  layout.bits = 8;
  layout.width = 6;
  layout.height = 2;
  const Packed good = Load(BuildBmp(layout));
  ASSERT_EQ(good.status, kDibLoaded);
  EXPECT_EQ(CheckPackedDib(good.dib), kDibLoaded);

  std::vector<uint8_t> short_block(good.dib.begin(), good.dib.end() - 1);
  EXPECT_EQ(CheckPackedDib(short_block), kDibBadFormat);
  std::vector<uint8_t> many_colours = good.dib;
  const uint32_t colours = 300;
  std::memcpy(many_colours.data() + 32, &colours, 4);
  EXPECT_EQ(CheckPackedDib(many_colours), kDibBadFormat);
  std::vector<uint8_t> zero_height = good.dib;
  std::memset(zero_height.data() + 8, 0, 4);
  EXPECT_EQ(CheckPackedDib(zero_height), kDibBadFormat);
  std::vector<uint8_t> core = good.dib;
  const uint32_t core_size = 12;
  std::memcpy(core.data(), &core_size, 4);
  EXPECT_EQ(CheckPackedDib(core), kDibBadFormat);
  EXPECT_EQ(CheckPackedDib({}), kDibBadFormat);
}

TEST(DibParser, ThumbnailFiles) {
  using testkit::watermark::BuildThumbnailFile;
  const std::vector<uint8_t> good = BuildThumbnailFile(128, 96, 8, 13864);
  EXPECT_EQ(CheckThumbnailImage(good), 13864u);

  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
  };
  const Case damaged[] = {
      {"bfOffBits 54", 10, 54},
      {"bfSize beyond the file", 2, 13864 + 15},
      {"bfSize below 14", 2, 10},
      {"bfSize leaving too few bytes for the rows", 2, 14 + 40 + 1024 + 100},
      {"biClrUsed 257", 14 + 32, 257},
      {"height 0", 14 + 8, 0},
  };
  for (const Case& c : damaged) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> file = good;
    std::memcpy(file.data() + c.offset, &c.value, 4);
    EXPECT_EQ(CheckThumbnailImage(file), 0u);
  }
  std::vector<uint8_t> signature = good;
  signature[1] = 'A';
  EXPECT_EQ(CheckThumbnailImage(signature), 0u);
  EXPECT_EQ(CheckThumbnailImage(std::span<const uint8_t>(good.data(), 13)), 0u);
}

TEST(DibParser, HeaderReaders) {
  uint8_t core[12] = {12, 0, 0, 0, 0x34, 0x82, 0x10, 0x00, 1, 0, 4, 0};
  EXPECT_EQ(GetDibColorCount(core), 16u);
  EXPECT_EQ(GetDibTableBytes(core), 64);
  EXPECT_EQ(GetDibWidth16(core), static_cast<int16_t>(0x8234));
  EXPECT_EQ(GetDibHeight(core), 16);

  DibInfoHeader info{40, 0x12345, -7, 1, 32, kBiBitfields, 0, 0, 0, 0, 0};
  const auto* bytes = reinterpret_cast<const uint8_t*>(&info);
  EXPECT_EQ(GetDibTableBytes(bytes), 12);
  EXPECT_EQ(GetDibBitsOffset(bytes), 52u);
  EXPECT_EQ(GetDibWidth16(bytes), 0x2345);
  EXPECT_EQ(GetDibHeight(bytes), 7);
  info.biSize = 108;  // masks inside the header: no table
  EXPECT_EQ(GetDibTableBytes(bytes), 0);
  info.biBitCount = 24, info.biClrUsed = 5;
  EXPECT_EQ(GetDibTableBytes(bytes), 20);
}

}  // namespace
}  // namespace kalimu::watermark
