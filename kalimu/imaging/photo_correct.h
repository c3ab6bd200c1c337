// The photo-correction engine: a corrected copy of a 24- or 32-bit RGB picture and a matching
// 256-colour display palette.
#pragma once

#include <cstdint>

#include "kalimu/imaging/image_records.h"

namespace kalimu::imaging {

struct PhotoCorrectContext;

// A context on the source picture. 13 for a null argument, 4 for a format other than 1, 2, 4,
// 8, a negative size or a stride shorter than a row, 7 when memory runs out (nothing stays
// allocated). The source bits stay the caller's and must outlive the last process call.
int32_t PhotoCorrectCreate(const ImageDescriptor* source, const uint8_t* source_bits,
                           PhotoCorrectContext** result);

// Corrects the source into the destination following the settings and, when a pass ran,
// fills the 1024-byte palette (blue, green, red, untouched) unless it is null. 12 without a
// context; 13 for a null settings, destination or destination bits; 6 for a destination
// format other than 1, 2, 4, 8, a stride shorter than a row, or one smaller than the source;
// 17 for a format other than the source's; 7 when the correction's tables could not be built
// (the rows are then copied unchanged); else 0.
int32_t PhotoCorrectProcess(PhotoCorrectContext* context, const CorrectionSettings* settings,
                            const ImageDescriptor* destination, uint8_t* destination_bits,
                            uint8_t* palette);

// Frees the context and its rows; a null context is ignored. Always 0.
int32_t PhotoCorrectDestroy(PhotoCorrectContext* context);

}  // namespace kalimu::imaging
