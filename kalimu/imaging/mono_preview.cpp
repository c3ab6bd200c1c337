// Create, process and destroy of the monochrome-toning preview engine.
#include "kalimu/imaging/mono_preview.h"

#include <new>

#include "kalimu/imaging/image_memory.h"

namespace kalimu::imaging {
namespace {

constexpr uint32_t kCallerFlag = 0x80000;  // bottom-up marker of the caller; rows go in memory order

bool AcceptsDescriptor(const ImageDescriptor& image, PixelLayout* pixel) {
  if (image.Width <= 0 || image.Height <= 0 || image.Stride <= 0) return false;
  const uint32_t format = image.Format & ~kCallerFlag;
  const bool known = ((format == 1 || format == 2) && image.BitCount == 24) ||
                     ((format == 4 || format == 8) && image.BitCount == 32);
  if (!known || !PixelLayoutOf(format, pixel)) return false;
  return int64_t{image.Stride} >= int64_t{image.Width} * pixel->bytes;
}

bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

bool ParamsInRange(const MonoPreviewParams& p) {
  if (!InRange(p.toningA, -75, 75) || !InRange(p.toningB, -75, 75) || !InRange(p.brightness, -25, 25) ||
      !InRange(p.contrast, -25, 25) || !InRange(p.shadowTone, -25, 25) ||
      !InRange(p.highlightTone, -25, 25) || !InRange(p.fade, -50, 0) || !InRange(p.highlightLimit, 0, 1)) {
    return false;
  }
  switch (p.tone) {
    case 140: case 160: case 180: case 200: case 220: case 240: return true;
    default: return false;
  }
}

void ApplyToningTables(MonoPreviewContext* context, const double curve[256], const double k[3],
                       uint8_t* destination) {
  for (int c = 0; c < 3; ++c) {
    const double one_minus_k = 1 - k[c];
    for (int i = 0; i < 256; ++i) {
      const double v = curve[i];
      context->table[c][i] = (v * v) * k[c] + v * one_minus_k;
    }
  }
  uint8_t levels[3][256];
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < 256; ++i) {
      // Valid toning colours keep every table entry within 0..1; the bounds only guard the byte.
      const double level = context->table[c][i] * 255 + 0.5;
      levels[c][i] = level < 0 ? 0 : (level >= 255 ? 255 : uint8_t(int32_t(level)));
    }
  }
  const ImageDescriptor& image = context->image;
  PixelLayout pixel{};
  PixelLayoutOf(image.Format & ~kCallerFlag, &pixel);
  const uint8_t* source = context->source;
  for (int32_t y = 0; y < image.Height; ++y) {
    const uint8_t* in = source;
    uint8_t* out = destination;
    for (int32_t x = 0; x < image.Width; ++x) {
      out[pixel.red] = levels[0][in[pixel.red]];
      out[pixel.green] = levels[1][in[pixel.green]];
      out[pixel.blue] = levels[2][in[pixel.blue]];
      in += pixel.bytes;
      out += pixel.bytes;
    }
    source += image.Stride;
    destination += image.Stride;
  }
}

}  // namespace

int32_t MonoPreviewCreate(const ImageDescriptor* image, const uint8_t* source_pixels,
                          MonoPreviewContext** out) {
  if (image == nullptr || source_pixels == nullptr || out == nullptr) return kImageNullArgument;
  PixelLayout pixel{};
  if (!AcceptsDescriptor(*image, &pixel)) return kImageBadSource;
  void* block = ImageBlockAlloc(sizeof(MonoPreviewContext), 1);
  if (block == nullptr) return kImageNoMemory;
  auto* context = new (ImageBlockLock(block)) MonoPreviewContext{};
  context->allocation = context;
  context->image = *image;
  context->source = source_pixels;
  *out = context;
  return kImageOk;
}

int32_t MonoPreviewProcess(MonoPreviewContext* context, const MonoPreviewParams* params,
                           const ImageDescriptor* image, uint8_t* destination) {
  if (context == nullptr) return kImageNoContext;
  if (image == nullptr || destination == nullptr || params == nullptr) return kImageNullArgument;
  PixelLayout pixel{};
  // The pixels follow the create-time geometry: a destination described smaller cannot hold them.
  const ImageDescriptor& source = context->image;
  if (!AcceptsDescriptor(*image, &pixel) || image->Width < source.Width || image->Height < source.Height ||
      image->Stride < source.Stride) {
    return kImageBadDestination;
  }
  if (!ParamsInRange(*params)) return kImageParameterRange;
  double curve[256];
  BuildMonoToneCurve(*params, curve);
  double k[3];
  ToningColorFromLab(params->toningA, params->toningB, k);
  ApplyToningTables(context, curve, k, destination);
  context->last = *params;
  return kImageOk;
}

int32_t MonoPreviewDestroy(MonoPreviewContext* context) {
  if (context != nullptr) ImageBlockFree(context->allocation);
  return 0;
}

}  // namespace kalimu::imaging
