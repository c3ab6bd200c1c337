// Pixel layouts of the four picture formats.
#include "kalimu/imaging/image_records.h"

namespace kalimu::imaging {

bool PixelLayoutOf(uint32_t format, PixelLayout* layout) {
  switch (format & 0xFFFF) {
    case 1: *layout = {0, 1, 2, 3}; return true;
    case 2: *layout = {2, 1, 0, 3}; return true;
    case 4: *layout = {1, 2, 3, 4}; return true;
    case 8: *layout = {2, 1, 0, 4}; return true;
    default: return false;
  }
}

}  // namespace kalimu::imaging
