// libFuzzer target for the bitmap parser: any bytes as a BMP file, a bitmap resource, a packed
// block and a thumbnail file. A file the parser accepts must become a block that the packed
// check accepts too, and the colour work must stay inside it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "kalimu/watermark/dib_colours.h"
#include "kalimu/watermark/dib_format.h"

using namespace kalimu::watermark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  std::array<PaletteColor, 256> palette;
  DibPlan plan;
  for (int as_resource = 0; as_resource < 2; ++as_resource) {
    const DibStatus status = as_resource ? PlanDib(bytes.subspan(size < 14 ? size : 14), &plan)
                                         : PlanBmpFile(bytes, &plan);
    if (status != kDibLoaded) continue;
    std::vector<uint8_t> dib(plan.total_bytes);
    BuildPackedDib(as_resource ? bytes.subspan(14) : bytes.subspan(14), plan, dib.data());
    if (CheckPackedDib(dib) != kDibLoaded) std::abort();
    WatermarkPaletteColors(dib, palette);
    if (!FadeWatermarkDib(dib, Bgr{10, 20, 30}, 20)) std::abort();
  }
  std::vector<uint8_t> copy(data, data + size);
  FadeWatermarkDib(copy, Bgr{}, 50);
  WatermarkPaletteColors(copy, palette);
  const uint32_t block = CheckThumbnailImage(bytes);
  if (block != 0) {
    std::vector<uint8_t> thumb(data + 14, data + 14 + block);
    if (!FadeWatermarkDib(thumb, Bgr{}, 30)) std::abort();
  }
  return 0;
}
