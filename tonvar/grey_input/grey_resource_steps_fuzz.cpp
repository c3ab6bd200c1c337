// Fuzz target of the grey-input engine's resource steps: the dot-curve block, the screen block,
// the "HL<c" layout and the per-ink table block (each fuzzed or the kit's good one), on jobs of
// either bit depth and every resolution class, with and without a handed-over ink list; a band
// is halftoned when the steps complete.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "testkit/tonvar/grey_halftone_resources.h"
#include "tonvar/grey_input/grey_halftone_engine.h"

namespace {

using namespace tonvar;
using namespace tonvar::grey_input;

struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  std::vector<uint8_t> Block() {
    const size_t length = std::min<size_t>(size, Byte() | (size_t{Byte()} << 8));
    std::vector<uint8_t> block(data, data + length);
    data += length;
    size -= length;
    return block;
  }
};

const std::vector<uint8_t>& GoodBlock(int step) {
  static const std::vector<uint8_t> blocks[4] = {
      testkit::BuildGreyDotCurveKind3({}),
      testkit::BuildGreyScreen({}),
      testkit::BuildHandoverLayout({testkit::HandoverDimensions(2, 1, 3), testkit::HandoverRoles(2, 0, 1),
                                    testkit::HandoverSelector(0, 1, 2),
                                    testkit::HandoverInkCodes(9, "", {{1, 0}, {4, 1}}),
                                    testkit::HandoverSetNames({{"MX", 0}})}),
      testkit::BuildInkTableBlock(1, {{1, {{{0, 0, 255, 255}, {0, 10, 255, 200}, {0, 5, 255, 90}}}},
                                      {4, {{{0, 0, 255, 128}, {0, 0, 255, 255}, {0, 0, 255, 255}}}}}),
  };
  return blocks[step];
}

GreyLut* Lut(bool list) {
  static std::unique_ptr<GreyLut> luts[2];
  std::unique_ptr<GreyLut>& lut = luts[list ? 1 : 0];
  if (lut == nullptr) {
    lut = testkit::BuildGreyLut();
    if (list) {
      GreyHandover& h = lut->handover;
      h.list_flag = 1;
      h.value_count = 6;
      const uint32_t values[6] = {3, 40, 5, 7, 200, 100};
      std::copy(values, values + 6, h.values);
      std::memcpy(h.ink_set_name, "K8", 3);
      std::memcpy(h.micro_name, "MX", 3);
    }
  }
  return lut.get();
}

}  // namespace

// One engine for the whole run (its block is large): each input restarts its step machine with
// the job's fields and the grey table's hand-over, as creation leaves them.
GreyHalftoneEngine* Restarted(const RasterJob& job, const GreyLut& lut) {
  static void* engine = nullptr;
  if (engine == nullptr) {
    EngineCreateArgs args;
    args.job = &job;
    args.tables[0] = &lut;
    ResourceId id = 0;
    if (GreyHalftoneNew(args, &id, &engine) != kStatusOk) __builtin_trap();
  }
  auto* e = static_cast<GreyHalftoneEngine*>(engine);
  halftone_lines::FreeEngineBuffers(e->buffers, kEngineBuffers);
  e->args.h_res = job.resolution_x_dpi;
  e->args.v_res = job.resolution_y_dpi;
  e->args.method = job.method;
  e->args.bits_per_dot = job.bits_per_dot;
  e->args.width = job.width_pixels;
  e->ratio_class = RatioClassOf(job.resolution_x_dpi, job.resolution_y_dpi);
  e->handover = lut.handover;
  e->step = 0;
  e->ready = e->step_failed = 0;
  e->layout = {};
  return e;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const uint8_t flags = in.Byte();
  static constexpr uint32_t kResolutions[4][2] = {{720, 720}, {1440, 720}, {1440, 360}, {360, 720}};
  RasterJob job{};
  job.method = (flags & 1) != 0 ? 1 : 3;
  job.channel_order = 3;
  job.ink_set = 9;
  job.resolution_x_dpi = kResolutions[(flags >> 1) & 3][0];
  job.resolution_y_dpi = kResolutions[(flags >> 1) & 3][1];
  job.bits_per_dot = (flags & 8) != 0 ? 1 : 2;
  job.width_pixels = in.Byte() % 64 + 1;
  GreyHalftoneEngine* engine = Restarted(job, *Lut((flags & 16) != 0));
  const uint8_t fuzzed = in.Byte();  // which steps take fuzzed bytes
  bool ready = false;
  ResourceId id = 0;
  for (int step = 0; step < 4; ++step) {
    const std::vector<uint8_t> block = (fuzzed >> step) & 1 ? in.Block() : GoodBlock(step);
    if (GreyHalftoneSetResource(engine, {block.data(), block.size()}, &id) != kStatusOk) break;
    if (id == kNoMoreResources) {
      ready = true;
      break;
    }
  }
  if (ready) {
    std::vector<uint8_t> input(64 * 4 * 2), output(8 * 32 * 2);
    for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<uint8_t>(i * 37 + flags);
    const uint8_t* in_rows[2] = {input.data(), input.data() + 64 * 4};
    uint8_t* out_rows[2] = {output.data(), output.data() + 8 * 32};
    const HalftoneBand band{in_rows, out_rows, 32, 0, job.width_pixels, 0, 2, in.Byte(), 0, 0};
    GreyHalftone(engine, band);
  }
  return 0;
}
