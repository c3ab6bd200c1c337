// Records the sample-picture code hands to the image engines, and their statuses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kalimu::imaging {

// Results of the image engines.
enum ImageStatus : int32_t {
  kImageOk = 0,
  kImageBadSource = 4,          // create: a descriptor the engine does not take
  kImageBadDestination = 6,     // process: a descriptor the engine does not take
  kImageNoMemory = 7,
  kImageNoContext = 12,
  kImageNullArgument = 13,
  kImageFormatMismatch = 17,    // photo correction: destination format differs from the source's
  kImageParameterRange = 80,    // monochrome toning: a parameter out of range
};

// A picture: rows of Width pixels, Stride bytes apart.
struct ImageDescriptor {
  int32_t Width;
  int32_t Height;
  int32_t BitCount;   // as the caller knows it; the photo engine copies it without reading it
  uint32_t Format;    // pixel format in the low 16 bits (1, 2, 4, 8); the high half is the caller's
  int32_t Stride;
  int32_t Reserved[3];
};
static_assert(sizeof(ImageDescriptor) == 32);
static_assert(offsetof(ImageDescriptor, Format) == 12 && offsetof(ImageDescriptor, Stride) == 16);
static_assert(std::is_trivially_copyable_v<ImageDescriptor>);

// The photo-correction settings. Callers write 56 into Size; the engine reads these 48 bytes
// and never checks Size.
struct CorrectionSettings {
  int32_t Size;
  int32_t Class;     // 3 from the settings dialogs
  int32_t Mode;      // -1 (no correction) or 0..9
  int32_t Level;     // -1 or 0 (alike), 1..3
  int32_t Strength;  // 0, 5, 10
  int32_t Option;    // 0, 1, 2
  int32_t Flags;     // bits 0..2, read only for classes other than 3
  int32_t Reserved[5];
};
static_assert(sizeof(CorrectionSettings) == 48);
static_assert(offsetof(CorrectionSettings, Level) == 12 && offsetof(CorrectionSettings, Flags) == 24);
static_assert(std::is_trivially_copyable_v<CorrectionSettings>);

constexpr int32_t kCorrectionSettingsSize = 56;  // what callers write into Size
constexpr int32_t kSampleClass = 3;              // the settings dialogs' class

// Byte positions of the channels inside a pixel of one of the four formats.
struct PixelLayout {
  uint32_t red;
  uint32_t green;
  uint32_t blue;
  uint32_t bytes;  // pixel size, 3 or 4
};

// The layout of Format's low half 1, 2, 4 or 8; false for anything else.
bool PixelLayoutOf(uint32_t format, PixelLayout* layout);

}  // namespace kalimu::imaging
