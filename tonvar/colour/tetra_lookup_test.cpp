// The table-driven tetrahedron keeps the tie order, and the SSE2 look-up gives the scalar
// reference's bytes on sound and damaged grids alike.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tonvar/colour/tetra_lookup.h"

namespace tonvar::colour {
namespace {

TEST(TetraChoice, TiesGoToTheFirstCaseOfTheOrder) {
  // The order: x>=y>=z, x>=z>=y, z>=x>=y, y>=x>=z, y>=z>=x, z>=y>=x; each case names its two
  // inner vertices by the axes walked (strides 100, 10, 1 tell them apart).
  const uint32_t s[3] = {100, 10, 1};
  for (uint32_t x = 0; x <= 3; ++x) {
    for (uint32_t y = 0; y <= 3; ++y) {
      for (uint32_t z = 0; z <= 3; ++z) {
        uint32_t first, second;
        if (x >= y && y >= z) {
          first = 100, second = 110;
        } else if (x >= z && z >= y) {
          first = 100, second = 101;
        } else if (z >= x && x >= y) {
          first = 1, second = 101;
        } else if (y >= x && x >= z) {
          first = 10, second = 110;
        } else if (y >= z && z >= x) {
          first = 10, second = 11;
        } else {
          first = 1, second = 11;
        }
        const Tetra t = ChooseTetra(3, x, y, z, s);
        SCOPED_TRACE(testing::Message() << x << y << z);
        EXPECT_EQ(t.first, first);
        EXPECT_EQ(t.second, second);
        EXPECT_EQ(t.last, 111u);
        EXPECT_EQ(t.w0 + t.w1 + t.w2 + t.w3, 3u);
      }
    }
  }
}

struct GridCase {
  const char* name;
  std::vector<uint8_t> coords;  // the same on the three axes
};

// Sound grids, and damaged ones the readers would refuse: coinciding points (cells of width
// 0), a last point below 255 (fractions past the cell) and a descending pair (widths that wrap).
const GridCase kGrids[] = {
    {"uniform 17", {0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240, 255}},
    {"uneven 6", {0, 20, 21, 100, 180, 255}},
    {"two points", {0, 255}},
    {"coinciding points", {0, 60, 60, 200, 255}},
    {"short of 255", {0, 90, 170, 230}},
    {"descending pair", {0, 200, 100, 255}},
};

uint8_t NextRandom(uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return static_cast<uint8_t>(seed >> 16);
}

// Every fifth level on each axis, 255 included (the cells at the body's end); the first byte
// varies too.
std::vector<uint8_t> LatticePixels(uint32_t& seed) {
  std::vector<uint8_t> pixels;
  for (uint32_t r = 0; r < 256; r += 5) {
    for (uint32_t gr = 0; gr < 256; gr += 5) {
      for (uint32_t b = 0; b < 256; b += 5) {
        pixels.insert(pixels.end(), {NextRandom(seed), static_cast<uint8_t>(r), static_cast<uint8_t>(gr),
                                     static_cast<uint8_t>(b)});
      }
    }
  }
  return pixels;
}

const PixelLayout kLayouts[] = {{4, {1, 2, 3}}, {3, {2, 1, 0}}};

TEST(TetraLookUp, Sse2PathGivesTheScalarBytes) {
  uint32_t seed = 12345;
  auto next = [&seed] { return NextRandom(seed); };
  for (const GridCase& c : kGrids) {
    SCOPED_TRACE(c.name);
    const uint32_t g = static_cast<uint32_t>(c.coords.size());
    uint8_t coords[3][kLutMaxGrid] = {};
    for (auto& axis : coords) std::memcpy(axis, c.coords.data(), g);
    const uint32_t points[3] = {g, g, g};
    std::vector<uint8_t> body(uint64_t{g} * g * g * 8);
    for (auto& b : body) b = next();
    TetraGrid grid;
    BuildTetraGrid(&grid, coords, points, 8, body.data());

    const std::vector<uint8_t> pixels = LatticePixels(seed);
    for (const PixelLayout& layout : kLayouts) {
      const uint32_t count = static_cast<uint32_t>(pixels.size() / layout.step);
      std::vector<uint8_t> scalar(uint64_t{count} * 8, 0xAA), sse2(uint64_t{count} * 8, 0x55);
      LookUpPoints(grid, layout, count, pixels.data(), scalar.data(), LookupPath::kScalar);
      LookUpPoints(grid, layout, count, pixels.data(), sse2.data(), LookupPath::kSse2);
      ASSERT_EQ(scalar, sse2) << "step " << layout.step;
    }
  }
}

// The in-place transform of three- and four-channel tables (the body sized exactly, so a load
// past its end shows under the address sanitizer).
TEST(TetraTransform, Sse2PathGivesTheScalarBytes) {
  uint32_t seed = 777;
  for (const uint32_t channels : {3u, 4u}) {
    for (const GridCase& c : kGrids) {
      SCOPED_TRACE(testing::Message() << c.name << ", " << channels << " channels");
      const uint32_t g = static_cast<uint32_t>(c.coords.size());
      uint8_t coords[3][kLutMaxGrid] = {};
      for (auto& axis : coords) std::memcpy(axis, c.coords.data(), g);
      const uint32_t points[3] = {g, g, g};
      std::vector<uint8_t> body(uint64_t{g} * g * g * channels);
      for (auto& b : body) b = NextRandom(seed);
      TetraGrid grid;
      BuildTetraGrid(&grid, coords, points, channels, body.data());
      const std::vector<uint8_t> pixels = LatticePixels(seed);
      for (const PixelLayout& layout : kLayouts) {
        const uint32_t count = static_cast<uint32_t>(pixels.size() / layout.step);
        std::vector<uint8_t> scalar = pixels, sse2 = pixels;
        TransformGridPoints(grid, layout, count, scalar.data(), LookupPath::kScalar);
        TransformGridPoints(grid, layout, count, sse2.data(), LookupPath::kSse2);
        ASSERT_EQ(scalar, sse2) << "step " << layout.step;
      }
    }
  }
}

}  // namespace
}  // namespace tonvar::colour
