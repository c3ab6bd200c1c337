// Fuzz target: the grey engine's readers on bounded inputs. Bits 0-1 of the first byte choose
// the reader: the header table, the chunk container (then the table build and packing), the
// "ic_data" markup, or the correction-curve block (on an engine ready for step 5). Bit 7 patches
// a good resource of that kind with the rest of the input (testkit::PatchResource) so that an
// empty corpus reaches its later parts; without it the rest of the input is the resource.
// Bit 6 reads a text (the header table, or the markup in the slots of the container and the
// curve block, which have no rule of their own here) as the exports hand it over: ended by a
// NUL when the input has no end of its own, in a heap block of exactly its size, no length.
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
  testkit::GreyTableSpec table;
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
  testkit::DotCurveKind4Spec dots;
  dots.entries = testkit::DotCurveEntriesFor(9);
  const auto block = testkit::BuildDotCurveKind4(dots);
  common::ReadDotCurveBlock(testkit::Bounded(block), 9, &engine->dot_tables, engine->weights);
  return engine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const std::vector<uint8_t> kGood[4] = {
      testkit::GreyTextResource(testkit::GreyHeaderTable({testkit::GreyHeaderRowSpec{}})),
      GoodContainer(),
      testkit::GreyTextResource(testkit::GreyIcData({})),
      testkit::GreyCorrectionCurves(),
  };
  const bool unbounded = (data[0] & 0x40) != 0;
  const int reader = unbounded ? (data[0] & 2) : (data[0] & 3);
  std::vector<uint8_t> input(data + 1, data + size);
  if (data[0] & 0x80) input = testkit::PatchResource(kGood[reader], data + 1, size - 1);
  if (unbounded) input = testkit::EndText(std::move(input));
  const testkit::ExactBlock exact(input);
  const common::ResourceBytes bytes = exact.Bytes(!unbounded);
  switch (reader) {
    case 0: {
      auto engine = testkit::NewGreyEngineState();
      grey::ReadCmGreyHeader(bytes, engine.get());
      break;
    }
    case 1: {
      auto engine = testkit::NewGreyEngineState();
      if (grey::ReadGreyChunks(bytes, &engine->lut, &engine->has_ink_limit) != kStatusOk) break;
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
      grey::ApplyGreyRankCorrection(engine.get(), bytes);
      break;
    }
  }
  return 0;
}
