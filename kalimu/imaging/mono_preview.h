// The monochrome-toning preview engine: a toned copy of a 24- or 32-bit RGB picture.
#pragma once

#include <cstdint>

#include "kalimu/imaging/image_records.h"

namespace kalimu::imaging {

struct MonoPreviewParams {
  int32_t toningA;         // -75..75, a* = toningA * 20 / 75
  int32_t toningB;         // -75..75, b* = toningB * 20 / 75
  int32_t tone;            // 140, 160, 180, 200, 220, 240: exponent tone / 180
  int32_t brightness;      // -25..25
  int32_t contrast;        // -25..25
  int32_t shadowTone;      // -25..25
  int32_t highlightTone;   // -25..25
  int32_t fade;            // -50..0
  int32_t highlightLimit;  // 0, 1
};
static_assert(sizeof(MonoPreviewParams) == 36);

struct MonoPreviewContext {
  MonoPreviewContext* allocation;  // the block itself
  MonoPreviewParams last;          // parameters of the last successful process
  ImageDescriptor image;           // geometry used for the pixels
  const uint8_t* source;           // the caller's pixels
  double table[3][256];            // red, green, blue: output level / 255 by input level
};

// 13 for a null argument; 4 for a size or stride that is not positive, a stride shorter than a
// row, or a format (bit 0x80000 aside) other than 1 or 2 with 24 bits or 4 or 8 with 32 bits;
// 7 without memory. *out is written only on success.
int32_t MonoPreviewCreate(const ImageDescriptor* image, const uint8_t* source_pixels,
                          MonoPreviewContext** out);

// Tones the create-time picture into destination (Height x Stride bytes). 12 without a
// context, 13 for a null argument, 6 for a descriptor create would refuse, 80 for a parameter
// out of range (the context then stays as it was).
int32_t MonoPreviewProcess(MonoPreviewContext* context, const MonoPreviewParams* params,
                           const ImageDescriptor* image, uint8_t* destination);

// Frees the context; a null context is ignored. Always 0.
int32_t MonoPreviewDestroy(MonoPreviewContext* context);

// The grey curve, 256 levels 0..1, and the toning colour's quadratic coefficients.
void BuildMonoToneCurve(const MonoPreviewParams& params, double curve[256]);
void ToningColorFromLab(int32_t toning_a, int32_t toning_b, double k[3]);

}  // namespace kalimu::imaging
