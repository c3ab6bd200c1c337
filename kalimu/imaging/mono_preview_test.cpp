// The monochrome-toning preview engine: statuses, the pinned levels of each parameter,
// whole pictures against a literal model, and golden checksums both builds reproduce.
#include "kalimu/imaging/mono_preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "kalimu/imaging/image_memory.h"
#include "testkit/imaging/test_pictures.h"

namespace kalimu::imaging {
namespace {

using testkit::imaging::Fnv1a;
using testkit::imaging::MakePhotoPicture;
using testkit::imaging::TestLayoutOf;
using testkit::imaging::TestPicture;
using testkit::imaging::TestPixelLayout;

constexpr uint8_t kPoison = 0x5A;
constexpr MonoPreviewParams kNeutral{0, 0, 180, 0, 0, 0, 0, 0, 0};

ImageDescriptor DescriptorOf(const TestPicture& picture) {
  const bool four = (picture.format & 0xFFFF) >= 4;
  return ImageDescriptor{picture.width, picture.height, four ? 32 : 24, picture.format, picture.stride, {}};
}

std::vector<uint8_t> Tone(const TestPicture& picture, const MonoPreviewParams& params, int32_t* status = nullptr) {
  std::vector<uint8_t> out(picture.bits.size(), kPoison);
  const ImageDescriptor d = DescriptorOf(picture);
  MonoPreviewContext* context = nullptr;
  EXPECT_EQ(MonoPreviewCreate(&d, picture.bits.data(), &context), kImageOk);
  const int32_t result = MonoPreviewProcess(context, &params, &d, out.data());
  if (status != nullptr) *status = result;
  MonoPreviewDestroy(context);
  return out;
}

// A grey ramp 0..255 in format 1: pixel i has level i in every channel.
TestPicture GreyRamp() {
  TestPicture picture{256, 1, 768, 1, std::vector<uint8_t>(768)};
  for (int i = 0; i < 768; ++i) picture.bits[i] = uint8_t(i / 3);
  return picture;
}

TEST(MonoPreview, CreateStatuses) {
  const std::vector<uint8_t> bits(4096);
  struct Case { const char* name; int32_t width, height, bits, stride; uint32_t format; int32_t expected; } cases[] = {
      {"24-bit format 2 with the caller's flag", 10, 4, 24, 32, 0x80002, 0},
      {"24-bit format 1", 10, 4, 24, 30, 1, 0},
      {"32-bit format 4", 10, 4, 32, 40, 4, 0},
      {"32-bit format 8", 10, 4, 32, 40, 8, 0},
      {"16-bit", 10, 4, 16, 20, 2, 4},
      {"format 2 with 32 bits", 10, 4, 32, 40, 2, 4},
      {"format 8 with 24 bits", 10, 4, 24, 40, 8, 4},
      {"other flag", 10, 4, 24, 32, 0x40002, 4},
      {"zero width", 0, 4, 24, 32, 2, 4},
      {"zero height", 10, 0, 24, 32, 2, 4},
      {"zero stride", 10, 4, 24, 0, 2, 4},
      {"stride short of a row", 10, 4, 24, 29, 2, 4},
  };
  for (const auto& c : cases) {
    const ImageDescriptor d{c.width, c.height, c.bits, c.format, c.stride, {}};
    MonoPreviewContext* context = reinterpret_cast<MonoPreviewContext*>(0x1234);
    EXPECT_EQ(MonoPreviewCreate(&d, bits.data(), &context), c.expected) << c.name;
    if (c.expected == 0) {
      EXPECT_NE(context, reinterpret_cast<MonoPreviewContext*>(0x1234));
      MonoPreviewDestroy(context);
    } else {
      EXPECT_EQ(context, reinterpret_cast<MonoPreviewContext*>(0x1234)) << c.name;
    }
  }
  const ImageDescriptor d{10, 4, 24, 2, 32, {}};
  MonoPreviewContext* context = nullptr;
  EXPECT_EQ(MonoPreviewCreate(nullptr, bits.data(), &context), kImageNullArgument);
  EXPECT_EQ(MonoPreviewCreate(&d, nullptr, &context), kImageNullArgument);
  EXPECT_EQ(MonoPreviewCreate(&d, bits.data(), nullptr), kImageNullArgument);
  EXPECT_EQ(MonoPreviewDestroy(nullptr), 0);
#ifdef KALIMU_IMAGING_FAULT_SEAMS
  faults::ScopedReset reset;
  faults::FailNthAlloc(1);
  context = nullptr;
  EXPECT_EQ(MonoPreviewCreate(&d, bits.data(), &context), kImageNoMemory);
  EXPECT_EQ(context, nullptr);
#endif
}

TEST(MonoPreview, ProcessStatusesLeaveTheContextAsItWas) {
  const TestPicture picture = MakePhotoPicture(10, 4, 2, 2);
  const ImageDescriptor d = DescriptorOf(picture);
  MonoPreviewContext* context = nullptr;
  ASSERT_EQ(MonoPreviewCreate(&d, picture.bits.data(), &context), kImageOk);
  std::vector<uint8_t> out(picture.bits.size(), kPoison);
  struct Case { const char* name; MonoPreviewParams params; int32_t expected; } cases[] = {
      {"tone 150", {0, 0, 150, 0, 0, 0, 0, 0, 0}, 80},
      {"fade 1", {0, 0, 180, 0, 0, 0, 0, 1, 0}, 80},
      {"highlight limit 2", {0, 0, 180, 0, 0, 0, 0, 0, 2}, 80},
      {"toningA 76", {76, 0, 180, 0, 0, 0, 0, 0, 0}, 80},
      {"toningB -76", {0, -76, 180, 0, 0, 0, 0, 0, 0}, 80},
      {"brightness 26", {0, 0, 180, 26, 0, 0, 0, 0, 0}, 80},
      {"contrast -26", {0, 0, 180, 0, -26, 0, 0, 0, 0}, 80},
      {"shadow 26", {0, 0, 180, 0, 0, 26, 0, 0, 0}, 80},
      {"highlight -26", {0, 0, 180, 0, 0, 0, -26, 0, 0}, 80},
      {"fade -51", {0, 0, 180, 0, 0, 0, 0, -51, 0}, 80},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MonoPreviewProcess(context, &c.params, &d, out.data()), c.expected) << c.name;
  }
  EXPECT_EQ(out, std::vector<uint8_t>(out.size(), kPoison));
  const MonoPreviewParams zero{};
  EXPECT_EQ(std::memcmp(&context->last, &zero, sizeof(zero)), 0);

  ImageDescriptor sixteen = d;
  sixteen.BitCount = 16;
  ImageDescriptor narrower = d;
  narrower.Width = 9;
  ImageDescriptor short_stride = d;
  short_stride.Stride = d.Stride - 1;
  EXPECT_EQ(MonoPreviewProcess(context, &kNeutral, &sixteen, out.data()), kImageBadDestination);
  EXPECT_EQ(MonoPreviewProcess(context, &kNeutral, &narrower, out.data()), kImageBadDestination);
  EXPECT_EQ(MonoPreviewProcess(context, &kNeutral, &short_stride, out.data()), kImageBadDestination);
  EXPECT_EQ(MonoPreviewProcess(nullptr, &kNeutral, &d, out.data()), kImageNoContext);
  EXPECT_EQ(MonoPreviewProcess(nullptr, nullptr, nullptr, nullptr), kImageNoContext);
  EXPECT_EQ(MonoPreviewProcess(context, nullptr, &d, out.data()), kImageNullArgument);
  EXPECT_EQ(MonoPreviewProcess(context, &kNeutral, nullptr, out.data()), kImageNullArgument);
  EXPECT_EQ(MonoPreviewProcess(context, &kNeutral, &d, nullptr), kImageNullArgument);

  const MonoPreviewParams fade{0, 0, 200, 0, 0, 0, 0, -20, 1};
  EXPECT_EQ(MonoPreviewProcess(context, &fade, &d, out.data()), kImageOk);
  EXPECT_EQ(std::memcmp(&context->last, &fade, sizeof(fade)), 0);
  MonoPreviewDestroy(context);
}

TEST(MonoPreview, NeutralParametersLeaveEveryByte) {
  for (uint32_t format : {1u, 2u, 0x80002u, 4u, 8u}) {
    const TestPicture picture = MakePhotoPicture(37, 23, format, 3);
    std::vector<uint8_t> out = Tone(picture, kNeutral);
    // Pixels unchanged; fourth bytes and padding not written.
    const TestPixelLayout layout = TestLayoutOf(format);
    for (int32_t y = 0; y < picture.height; ++y) {
      for (int32_t i = 0; i < picture.stride; ++i) {
        const size_t at = size_t(y) * picture.stride + i;
        const bool channel = i < picture.width * layout.bytes &&
                             (i % layout.bytes == layout.red || i % layout.bytes == layout.green ||
                              i % layout.bytes == layout.blue);
        ASSERT_EQ(out[at], channel ? picture.bits[at] : kPoison) << format << " " << y << " " << i;
      }
    }
  }
}

TEST(MonoPreview, PinnedLevels) {
  // {params, input level, red, green, blue}
  struct Case { const char* name; MonoPreviewParams params; int level; uint8_t r, g, b; } cases[] = {
      {"highlight limit 255", {0, 0, 180, 0, 0, 0, 0, 0, 1}, 255, 245, 245, 245},
      {"highlight limit 128", {0, 0, 180, 0, 0, 0, 0, 0, 1}, 128, 123, 123, 123},
      {"brightness 25", {0, 0, 180, 25, 0, 0, 0, 0, 0}, 128, 217, 217, 217},
      {"tone 240", {0, 0, 240, 0, 0, 0, 0, 0, 0}, 128, 102, 102, 102},
      {"fade -50 black", {0, 0, 180, 0, 0, 0, 0, -50, 0}, 0, 184, 184, 184},
      {"fade -50 white", {0, 0, 180, 0, 0, 0, 0, -50, 0}, 255, 255, 255, 255},
      {"contrast 25 at 64", {0, 0, 180, 0, 25, 0, 0, 0, 0}, 64, 23, 23, 23},
      {"contrast 25 at 192", {0, 0, 180, 0, 25, 0, 0, 0, 0}, 192, 233, 233, 233},
      {"contrast -25 at 0", {0, 0, 180, 0, -25, 0, 0, 0, 0}, 0, 0, 0, 0},
      {"contrast -25 at 128", {0, 0, 180, 0, -25, 0, 0, 0, 0}, 128, 128, 128, 128},
      {"contrast -25 at 255", {0, 0, 180, 0, -25, 0, 0, 0, 0}, 255, 255, 255, 255},
      {"toningA 75", {75, 0, 180, 0, 0, 0, 0, 0, 0}, 128, 161, 116, 129},
      {"shadow tone leaves 61 up", {0, 0, 180, 0, 0, 25, 0, 0, 0}, 61, 61, 61, 61},
      {"highlight tone leaves 191 down", {0, 0, 180, 0, 0, 0, -25, 0, 0}, 191, 191, 191, 191},
  };
  const TestPicture ramp = GreyRamp();
  for (const auto& c : cases) {
    const std::vector<uint8_t> out = Tone(ramp, c.params);
    EXPECT_EQ(out[3 * c.level], c.r) << c.name;
    EXPECT_EQ(out[3 * c.level + 1], c.g) << c.name;
    EXPECT_EQ(out[3 * c.level + 2], c.b) << c.name;
  }
}

TEST(MonoPreview, ProcessUsesTheCreateTimeGeometry) {
  const TestPicture picture = MakePhotoPicture(12, 6, 2);
  const ImageDescriptor created = DescriptorOf(picture);
  MonoPreviewContext* context = nullptr;
  ASSERT_EQ(MonoPreviewCreate(&created, picture.bits.data(), &context), kImageOk);
  // A larger descriptor in format 1 passes the checks; the pixels still follow format 2.
  const ImageDescriptor other{20, 9, 24, 1, 60, {}};
  std::vector<uint8_t> out(20 * 60, kPoison);
  const MonoPreviewParams toning{40, -30, 180, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(MonoPreviewProcess(context, &toning, &other, out.data()), kImageOk);
  MonoPreviewDestroy(context);
  std::vector<uint8_t> expected = Tone(picture, toning);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
  EXPECT_EQ(out[expected.size()], kPoison);
}

// ---- A literal model: each level computed on its own from the description of the curve.

double ModelBend(double v, double split, int s, double n, double p, const double row[16]) {
  if (s == 0) return v;
  const double* c = row + (s > 0 ? 0 : 8);
  double f = v;
  if (v >= 0 && v <= split) {
    f = v * v * v * c[0] + v * v * c[1] + v * c[2] + c[3];
  } else if (v > split && v <= 1) {
    f = v * v * v * c[4] + v * v * c[5] + v * c[6] + c[7];
  }
  return (f - v) * s / (s > 0 ? p : n) + v;
}
double Clip(double v, double top) { return v < 0 ? 0 : (v > top ? top : v); }

uint8_t ModelLevel(const MonoPreviewParams& p, int level, int channel) {
  static const double rows[6][16] = {
      {0.9631, -1.8606, 1.8977, 0, 0.9631, -1.8606, 1.8977, 0, -0.9551, 1.8544, 0.1006, 0, -0.9551, 1.8544, 0.1006, 0},
      {-1.0175, 0.9372, 1.1909, 0, 4.3528, -11.956, 11.02, -2.4163, 0.9806, -0.8906, 0.8059, 0, -6.2314, 16.601, -12.807, 3.4372},
      {-0.0824, 0.3291, 0.0303, 0.7232, -0.0824, 0.3291, 0.0303, 0.7232, -0.0824, 0.3291, 0.0303, 0.7232, -0.0824, 0.3291, 0.0303, 0.7232},
      {-1.5101, 0.3422, 1.9059, 0, 1.3267, -3.7487, 3.6008, -0.1787, 1.5101, -0.3422, 0.0941, 0, -1.3267, 3.7487, -1.6008, 0.1787},
      {}, {0, 0, 0.9608, 0, 0, 0, 0.9608, 0, 0, 0, 0.9608, 0, 0, 0, 0.9608, 0}};
  double v = level / 255.0;
  v = Clip(ModelBend(v, 0.502, p.brightness, -25, 25, rows[3]), 1);
  if (p.contrast > 0) {
    double f = v;
    if (v >= 0 && v <= 0.5) {
      f = v * v * v * 2.9941 + v * v * 0.3343 + v * 0.0833;
    } else if (v > 0.5 && v <= 1) {
      const double e = 1 - v;
      f = v * 0.0833 - (e * e * e * 2.9941 + e * e * 0.3343) + 0.9167;
    }
    v = (f - v) * p.contrast / 25 + v;
  } else if (p.contrast < 0) {
    const double e = ((v * 0.5 + 0.251) - v) * p.contrast / -25 + v;
    if (v < 0.2) {
      const double t = std::asin((0.2 - v) / 0.2) * 2 / 3.14159265358979;
      v = (1 - t * t) * e;
    } else if (v < 0.8) {
      v = e;
    } else {
      const double t = std::asin((v - 0.8) / (1.0 - 0.8)) * 2 / 3.14159265358979;
      v = t * t * (1 - e) + e;
    }
  }
  v = Clip(255 * v, 255);
  v = Clip(60 * ModelBend(v / 60, 0, p.shadowTone, -25, 25, rows[0]), 255);
  v = Clip(63 * ModelBend((v - 192) / 63, 0.6349, p.highlightTone, -25, 25, rows[1]) + 192, 255);
  v = Clip(ModelBend(v / 255, 0, p.fade, -50, 0, rows[2]), 1);
  v = Clip(ModelBend(v, 0, p.highlightLimit, 0, 1, rows[5]), 1);
  if (p.tone != 180 && v > 1e-7) v = std::exp(std::log(v) * (p.tone / 180.0));
  v = Clip(v, 1);
  // Toning colour: L* 55 with the a* and b* of the parameters, to display RGB.
  const double fy = 71.0 / 116, fx = p.toningA * 20 / 75.0 / 500 + fy, fz = fy - p.toningB * 20 / 75.0 / 200;
  const double X = fx * fx * fx * 0.9643, Y = fy * fy * fy, Z = fz * fz * fz * 0.8251;
  const double linear[3] = {X * 3.134198998 - Y * 1.617273149 - Z * 0.490662776,
                            Y * 1.916271777 - X * 0.978773813 + Z * 0.033500278,
                            X * 0.071894963 - Y * 0.229042573 + Z * 1.405325194};
  const double c = Clip(std::pow(linear[channel], 1 / 2.2), 1);
  const double k = (c - 0.512) / (0.512 * 0.512 - 0.512);
  return uint8_t(int((v * v * k + v * (1 - k)) * 255 + 0.5));
}

const MonoPreviewParams kPictureSettings[] = {
    {0, 0, 180, 0, 0, 0, 0, 0, 0},          {75, 0, 180, 0, 0, 0, 0, 0, 0},
    {-60, 45, 140, 10, -5, 25, -25, -10, 0}, {20, -75, 240, -25, 25, -25, 25, -50, 1},
    {-75, -40, 200, 5, -25, 3, 7, 0, 1},     {33, 60, 160, -12, 14, -8, 19, -37, 0},
};

TEST(MonoPreview, WholePicturesMatchTheLiteralModel) {
  for (uint32_t format : {1u, 2u, 4u, 8u}) {
    const TestPicture picture = MakePhotoPicture(64, 48, format, 1);
    const TestPixelLayout layout = TestLayoutOf(format);
    for (const MonoPreviewParams& p : kPictureSettings) {
      std::vector<uint8_t> expected(picture.bits.size(), kPoison);
      uint8_t levels[3][256];
      for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 256; ++i) levels[c][i] = ModelLevel(p, i, c);
      }
      for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
          const size_t at = size_t(y) * picture.stride + size_t(x) * layout.bytes;
          expected[at + layout.red] = levels[0][picture.bits[at + layout.red]];
          expected[at + layout.green] = levels[1][picture.bits[at + layout.green]];
          expected[at + layout.blue] = levels[2][picture.bits[at + layout.blue]];
        }
      }
      const std::vector<uint8_t> out = Tone(picture, p);
      // Levels may differ by one where the platform's maths rounds a last bit differently.
      size_t differing = 0;
      for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_LE(std::abs(int(out[i]) - int(expected[i])), 1) << format << " " << i;
        differing += out[i] != expected[i];
      }
      EXPECT_EQ(differing, 0u) << format << " toningA " << p.toningA;
    }
  }
}

TEST(MonoPreview, GoldenChecksums) {
  const uint64_t golden[] = {0xcf42cbf278a68e0full, 0x293c8228da994926ull, 0x862bff8d8c65f61cull,
                             0x13d76267034d0ae5ull, 0xb6e1392f82e029b3ull, 0x64ec4d643b9e4ebcull};
  const TestPicture picture = MakePhotoPicture(160, 120, 0x80002, 0);
  size_t i = 0;
  for (const MonoPreviewParams& p : kPictureSettings) {
    const uint64_t checksum = Fnv1a(Tone(picture, p));
    EXPECT_EQ(checksum, golden[i]) << i;
    ++i;
  }
}

}  // namespace
}  // namespace kalimu::imaging
