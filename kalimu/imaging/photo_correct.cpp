// Create, process and destroy of the photo-correction engine; the plain copy and the palette.
#include "kalimu/imaging/photo_correct.h"

#include <new>

#include "kalimu/imaging/image_memory.h"
#include "kalimu/imaging/photo_correct_context.h"

namespace kalimu::imaging {
namespace {

// Rows of the picture are Width pixels; the stride must hold them.
bool DescriptorFits(const ImageDescriptor& image, const PixelLayout& pixel) {
  if (image.Width < 0 || image.Height < 0) return false;
  return int64_t{image.Stride} >= int64_t{image.Width} * pixel.bytes;
}

void FreeRows(PhotoCorrectContext* context) {
  ImageBlockFree(context->input_row);
  for (uint8_t* row : context->filter_rows) ImageBlockFree(row);
  ImageBlockFree(context->output_row);
}

void PlainCopy(const PhotoCorrectContext& context) {
  const uint8_t* source = context.source_bits;
  uint8_t* destination = context.destination_bits;
  // The whole source row, padding included, as far as the destination row holds it.
  const int32_t bytes = context.source.Stride < context.destination.Stride ? context.source.Stride
                                                                            : context.destination.Stride;
  for (int32_t y = 0; y < context.source.Height; ++y) {
    ImageBlockCopy(destination, source, size_t(bytes));
    source += context.source.Stride;
    destination += context.destination.Stride;
  }
}

uint8_t Byte(int32_t v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// 256 entries blue, green, red from the 3-3-2 colour of the index, or a tint of its luma.
void FillPalette(const CorrectionSettings& settings, uint8_t* palette) {
  enum Tint { kOwn, kSepia, kGrey, kBlueish, kReddish };
  Tint tint = kOwn;
  if (settings.Class == kSampleClass) {
    switch (settings.Mode) {
      case 3: tint = kSepia; break;
      case 7: tint = kGrey; break;
      case 8: tint = kBlueish; break;
      case 9: tint = kReddish; break;
      default: break;
    }
  } else if (settings.Mode == 3) {
    tint = kSepia;
  } else if (settings.Mode == 4) {
    tint = kGrey;
  }
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t red = (i % 8) * 32;
    const int32_t green = ((i / 8) % 8) * 32;
    const int32_t blue = (i / 64) * 64;
    const int32_t y = (38 * red + 76 * green + 14 * blue) / 128;
    int32_t r = red, g = green, b = blue;
    switch (tint) {
      case kSepia: r = y + 32; g = y; b = y - 16; break;
      case kGrey: r = g = b = y; break;
      case kBlueish: r = g = y; b = y + 32; break;
      case kReddish: r = y + 32; g = b = y; break;
      case kOwn: break;
    }
    uint8_t* entry = palette + 4 * i;
    entry[0] = Byte(b);
    entry[1] = Byte(g);
    entry[2] = Byte(r);
  }
}

}  // namespace

int32_t PhotoCorrectCreate(const ImageDescriptor* source, const uint8_t* source_bits,
                           PhotoCorrectContext** result) {
  if (source == nullptr || source_bits == nullptr || result == nullptr) return kImageNullArgument;
  PixelLayout pixel{};
  if (!PixelLayoutOf(source->Format, &pixel) || !DescriptorFits(*source, pixel)) return kImageBadSource;
  void* block = ImageBlockAlloc(sizeof(PhotoCorrectContext), 1);
  if (block == nullptr) return kImageNoMemory;
  auto* context = new (ImageBlockLock(block)) PhotoCorrectContext{};
  context->self = context;
  context->pattern_resources[0] = nullptr;
  context->pattern_resources[1] = nullptr;
  context->source = *source;
  context->source_bits = source_bits;

  // Every row is attempted, so that a failure frees exactly what was had.
  const size_t row_bytes = WorkingRowBytes(source->Width);
  bool failed = false;
  context->input_row = static_cast<uint8_t*>(ImageBlockAlloc(row_bytes, 1));
  failed |= context->input_row == nullptr;
  for (uint8_t*& row : context->filter_rows) {
    row = static_cast<uint8_t*>(ImageBlockAlloc(row_bytes, 1));
    failed |= row == nullptr;
  }
  context->output_row = static_cast<uint8_t*>(ImageBlockAlloc(row_bytes, 1));
  failed |= context->output_row == nullptr;
  if (failed) {
    PhotoCorrectDestroy(context);
    return kImageNoMemory;
  }

  context->pixel = pixel;
  RowLayout& row = context->row;
  row.bytes_per_row = 3 * source->Width;
  row.flag = 1;
  row.bits_per_channel = 8;
  row.channel_order = 0;
  row.width = row.width_again = source->Width;
  row.height = row.height_again = source->Height;
  context->statistics = DefaultImageStatistics();
  *result = context;
  return kImageOk;
}

int32_t PhotoCorrectProcess(PhotoCorrectContext* context, const CorrectionSettings* settings,
                            const ImageDescriptor* destination, uint8_t* destination_bits,
                            uint8_t* palette) {
  if (context == nullptr) return kImageNoContext;
  if (settings == nullptr || destination == nullptr || destination_bits == nullptr) return kImageNullArgument;
  PixelLayout pixel{};
  if (!PixelLayoutOf(destination->Format, &pixel)) return kImageBadDestination;
  if ((destination->Format & 0xFFFF) != (context->source.Format & 0xFFFF)) return kImageFormatMismatch;
  // Every pass writes Height rows of Width pixels of the source into the destination.
  if (!DescriptorFits(*destination, pixel) || destination->Width < context->source.Width ||
      destination->Height < context->source.Height) {
    return kImageBadDestination;
  }

  context->destination = *destination;
  context->destination_bits = destination_bits;
  context->settings = *settings;
  CorrectionSettings& s = context->settings;
  if (s.Level == 0) s.Level = -1;

  MapSettingsToPlan(s, &context->plan);
  context->plan.scene_kind = kSceneSample;
  ApplyScenePreset(&context->plan, kSceneSample);
  context->parameters = CorrectionParameters{};
  context->row.flag = 1;
  context->row.bits_per_channel = 8;
  FillCorrectionParameters(&context->row, &context->plan, &context->parameters);
  const PhotoCorrectOverride empty{};
  MergeCorrectionOverride(&context->parameters, &empty);

  const bool correct = s.Mode != -1;
  const bool sample_class = s.Class == kSampleClass;
  int32_t status = kImageOk;
  if (s.Level == -1) {
    if (correct) {
      status = RunCorrectionPass(context);
    } else {
      PlainCopy(*context);
    }
  } else if (sample_class || s.Level < 1 || s.Level > 3) {
    return kImageOk;  // nothing drawn for these levels
  } else if (s.Level == 1) {
    status = RunFilterPass(context, correct);
  } else {
    status = RunPatternPass(context, correct);
  }
  if (palette != nullptr) FillPalette(s, palette);
  return status;
}

int32_t PhotoCorrectDestroy(PhotoCorrectContext* context) {
  if (context == nullptr) return 0;
  FreeRows(context);
  for (void*& resource : context->pattern_resources) {
    if (resource != nullptr) ImageResourceRelease(resource);
    resource = nullptr;
  }
  ImageBlockFree(context->self);
  return 0;
}

}  // namespace kalimu::imaging
