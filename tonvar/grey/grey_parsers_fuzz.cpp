// Fuzz target: the grey engine's readers on bounded inputs. Bits 0-1 of the first byte choose
// the reader: the header table, the chunk container (then the table build and packing), the
// "ic_data" markup, or the correction-curve block (on an engine ready for step 5). Bit 7 patches
// a good resource of that kind with the rest of the input (testkit::PatchResource) so that an
// empty corpus reaches its later parts; without it the rest of the input is the resource.
// Bit 6 reads the resource as the exports hand it over: in a heap block of exactly its size, no
// length. A text (the header table, the markup) is first ended by a NUL when it has no end of its
// own. The chunk container and the curve block end where their directories, offsets and counts
// say, so the bounded reader decides which inputs are consistent: one it accepts is read again
// unbounded and must be accepted again (a read past it is a sanitizer finding).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/exact_block.h"
#include "testkit/tonvar/fuzz_patches.h"
#include "testkit/tonvar/grey_engine_fixture.h"
#include "testkit/tonvar/grey_resources.h"
#include "tonvar/grey/grey_engine.h"

namespace {

using namespace tonvar;

std::vector<uint8_t> GoodContainer() {
  testkit::GreyTableShape table;
  table.levels = 16;
  return testkit::GreyChunkContainer({{"inkd", testkit::GreyInkdChunk(180)},
                                      {"ctcn", testkit::GreyCtcnChunk({})},
                                      {"gama", testkit::GreyChunk("gama", {1, 0, 0, 0})},
                                      {"tgvm", testkit::GreyTableChunk(table)}});
}

// An engine after step 4 of the default five-step job: table, markup, "CW:" list, dot tables.
std::unique_ptr<grey::CmGreyEngine> CorrectionEngine() {
  auto engine = testkit::NewGreyEngineState();
  const auto container = testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk({})}});
  grey::ReadGreyChunks(testkit::Bounded(container), &engine->lut, &engine->has_ink_limit);
  const std::string markup = testkit::GreyIcData({});
  grey::ReadGreyIcData(testkit::Bounded(markup), engine.get());
  const auto cw = testkit::GreyColourJob::CwList();
  grey::ParseGreyCwList(cw.data(), &engine->cw);
  testkit::DotCurveKind4Shape dots;
  dots.entries = testkit::DotCurveEntriesFor(9);
  const auto block = testkit::BuildDotCurveKind4(dots);
  common::ReadDotCurveBlock(testkit::Bounded(block), 9, &engine->dot_tables, engine->weights);
  return engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const std::vector<uint8_t> kGood[4] = {
      testkit::GreyTextResource(testkit::GreyHeaderTable({testkit::GreyHeaderRowShape{}})),
      GoodContainer(),
      testkit::GreyTextResource(testkit::GreyIcData({})),
      testkit::GreyCorrectionCurves(),
  };
  const bool unbounded = (data[0] & 0x40) != 0;
  const int reader = data[0] & 3;
  const bool text = reader == 0 || reader == 2;
  std::vector<uint8_t> input(data + 1, data + size);
  if (data[0] & 0x80) input = testkit::PatchResource(kGood[reader], data + 1, size - 1);
  if (unbounded && text) input = testkit::EndText(std::move(input));
  const testkit::ExactBlock exact(input);
  const common::ResourceBytes bytes = exact.Bytes(!unbounded || !text);
  switch (reader) {
    case 0: {
      auto engine = testkit::NewGreyEngineState();
      grey::ReadCmGreyHeader(bytes, engine.get());
      break;
    }
    case 1: {
      auto engine = testkit::NewGreyEngineState();
      if (grey::ReadGreyChunks(bytes, &engine->lut, &engine->has_ink_limit) != kStatusOk) break;
      if (unbounded) {
        auto again = testkit::NewGreyEngineState();
        if (grey::ReadGreyChunks(exact.Unbounded(), &again->lut, &again->has_ink_limit) != kStatusOk) {
          __builtin_trap();
        }
      }
      // Adjustments from the high bits of the first byte, within their ranges.
      engine->tone = {(data[0] & 4) ? 40 : 0,
                      (data[0] & 8) ? -50 : 0,
                      (data[0] & 16) ? 180 : 100,
                      (data[0] & 32) ? 25 : 0,
                      (data[0] & 32) ? -25 : 0,
                      10,
                      -10,
                      -20,
                      1};
      if (grey::BuildGreyTable(engine.get()) == kStatusOk) grey::PackGreyInkTable(&engine->lut);
      break;
    }
    case 2: {
      auto engine = testkit::NewGreyEngineState();
      grey::ReadGreyIcData(bytes, engine.get());
      break;
    }
    default: {
      static const std::unique_ptr<grey::CmGreyEngine> kReady = CorrectionEngine();
      auto engine = std::make_unique<grey::CmGreyEngine>(*kReady);
      if (grey::ApplyGreyRankCorrection(engine.get(), bytes) != kStatusOk || !unbounded) break;
      auto again = std::make_unique<grey::CmGreyEngine>(*kReady);
      if (grey::ApplyGreyRankCorrection(again.get(), exact.Unbounded()) != kStatusOk) __builtin_trap();
      break;
    }
  }
  return 0;
}
