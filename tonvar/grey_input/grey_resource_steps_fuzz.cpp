// Fuzz target of the grey-input engine's resource steps: the dot-curve block, the screen block,
// the "HL<c" layout and the per-ink table block (each fuzzed or the kit's good one), on jobs of
// either bit depth and every resolution class, with and without a handed-over ink list; a band
// is halftoned when the steps complete. With bit 5 of the first byte the steps run as the
// exports call them: no length, each block alone in a heap block of exactly its size, the
// fuzzed ones made consistent first (dot curves read as kind 3 of their full size, the screen's
// matrix shaped to its length, the layout's record count from its length). The ink-table block
// ends where its counts and offsets say: its reader, run bounded first, decides whether the
// block is whole, and only a whole block is handed over without its length.
//
// Step 0 builds 21 MB of level tables. The engine lives for the whole run and keeps the tables
// of the good dot-curve block: an input that does not fuzz step 0 starts at step 1, and what an
// input changed of those tables (a fuzzed step 0, the ink tables of step 3) is put back from a
// copy after it, group by group. The good step 3 reads only those tables, the good layout's
// hand-over and the job, so for each job shape it runs once: later inputs whose steps 0, 2 and 3
// are all the good ones get what it wrote (the ink-table block, the curves, the adjusted
// groups' tables) copied in, and the band starts from the same engine.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "testkit/tonvar/exact_block.h"
#include "testkit/tonvar/fuzz_patches.h"
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

// The good dot-curve block's products, and the edge tables' mark: step 3 writes the edge table
// of every group it adjusts, so a group whose edge table lost the mark was changed.
struct PreparedTables {
  int32_t trailer[kGroups][3];
  DotTable interior[kGroups];
  LevelTable levels[kGroups];
  uint32_t ink0_shifted;
};
constexpr uint8_t kEdgeMark = 0xFF;

void MarkEdges(GreyHalftoneEngine* e) {
  for (int g = 0; g < kGroups; ++g) std::memset(&e->dot_tables[g][kEdgeTable], kEdgeMark, sizeof(DotTable));
}

bool EdgeMarked(const DotTable& edge) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&edge);
  return bytes[0] == kEdgeMark && std::memcmp(bytes, bytes + 1, sizeof edge - 1) == 0;
}

void PutBack(GreyHalftoneEngine* e, const PreparedTables& p) {
  for (int g = 0; g < kGroups; ++g) {
    const bool changed = std::memcmp(&e->dot_tables[g][kInteriorTable], &p.interior[g], sizeof(DotTable)) != 0 ||
                         std::memcmp(e->group_trailer[g], p.trailer[g], sizeof p.trailer[g]) != 0 ||
                         !EdgeMarked(e->dot_tables[g][kEdgeTable]);
    if (!changed) continue;
    e->dot_tables[g][kInteriorTable] = p.interior[g];
    e->level_tables[g][kInteriorTable] = p.levels[g];
    std::copy(p.trailer[g], p.trailer[g] + 3, e->group_trailer[g]);
    std::memset(&e->dot_tables[g][kEdgeTable], kEdgeMark, sizeof(DotTable));
  }
  e->ink0_shifted = p.ink0_shifted;
}

// What the good step 3 leaves on the prepared tables for one job shape.
struct AdjustedGroup {
  int group;
  DotTable edge;
  std::unique_ptr<LevelTable> levels;
};
struct AfterGoodInkTables {
  bool taken = false;
  EngineStatus status = kStatusOk;
  ResourceId next_id = 0;
  InkTableBlock block;
  int32_t ink_adjust[3];
  int64_t density[kDotLevels];
  int64_t target[kDotLevels];
  std::vector<AdjustedGroup> groups;
};

void TakeAfterInkTables(const GreyHalftoneEngine& e, EngineStatus status, ResourceId next_id, AfterGoodInkTables* a) {
  a->taken = true;
  a->status = status;
  a->next_id = next_id;
  a->block = e.ink_table_block;
  std::copy(e.ink_adjust, e.ink_adjust + 3, a->ink_adjust);
  std::copy(e.density_curve, e.density_curve + kDotLevels, a->density);
  std::copy(e.target_curve, e.target_curve + kDotLevels, a->target);
  for (int g = 0; g < kGroups; ++g) {
    if (EdgeMarked(e.dot_tables[g][kEdgeTable])) continue;
    a->groups.push_back({g, e.dot_tables[g][kEdgeTable], std::make_unique<LevelTable>(e.level_tables[g][kInteriorTable])});
  }
}

// The step as GreyHalftoneSetResource answers it, from what its first run left.
EngineStatus PutAfterInkTables(const AfterGoodInkTables& a, GreyHalftoneEngine* e, ResourceId* next_id) {
  e->ink_table_block = a.block;
  std::copy(a.ink_adjust, a.ink_adjust + 3, e->ink_adjust);
  std::copy(a.density, a.density + kDotLevels, e->density_curve);
  std::copy(a.target, a.target + kDotLevels, e->target_curve);
  for (const AdjustedGroup& g : a.groups) {
    e->dot_tables[g.group][kEdgeTable] = g.edge;
    e->level_tables[g.group][kInteriorTable] = *g.levels;
  }
  *next_id = a.next_id;
  if (a.status != kStatusOk) {
    e->step_failed = 1;
    e->ready = 0;
  } else if (a.next_id == kNoMoreResources && e->step_failed == 0) {
    e->ready = 1;
  }
  return a.status;
}

}  // namespace

// One engine for the whole run (its block is large), taken through the good step 0 once: each
// input restarts its step machine with the job's fields and the grey table's hand-over, as
// creation leaves them, at step 0 or (keeping the prepared tables) at step 1.
GreyHalftoneEngine* Restarted(const RasterJob& job, const GreyLut& lut, bool from_step_0,
                              const PreparedTables** prepared) {
  static void* engine = nullptr;
  static PreparedTables* tables = nullptr;
  if (engine == nullptr) {
    EngineCreateArgs args;
    args.job = &job;
    args.tables[0] = &lut;
    ResourceId id = 0;
    if (GreyHalftoneNew(args, &id, &engine) != kStatusOk) __builtin_trap();
    auto* e = static_cast<GreyHalftoneEngine*>(engine);
    const std::vector<uint8_t>& good = GoodBlock(0);
    if (GreyHalftoneSetResource(e, {good.data(), good.size()}, &id) != kStatusOk) __builtin_trap();
    tables = new PreparedTables;
    for (int g = 0; g < kGroups; ++g) {
      tables->interior[g] = e->dot_tables[g][kInteriorTable];
      tables->levels[g] = e->level_tables[g][kInteriorTable];
      std::copy(e->group_trailer[g], e->group_trailer[g] + 3, tables->trailer[g]);
    }
    tables->ink0_shifted = e->ink0_shifted;
    MarkEdges(e);
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
  e->step = from_step_0 ? 0 : 1;
  e->ink_count = kInks;
  e->ready = e->step_failed = 0;
  e->layout = {};
  *prepared = tables;
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
  const bool unbounded = (flags & 32) != 0;
  uint8_t fuzzed = in.Byte();  // which steps take fuzzed bytes
  const PreparedTables* prepared = nullptr;
  GreyHalftoneEngine* engine = Restarted(job, *Lut((flags & 16) != 0), (fuzzed & 1) != 0, &prepared);
  bool ready = false;
  ResourceId id = 0;
  for (int step = engine->step; step < 4; ++step) {
    std::vector<uint8_t> block = (fuzzed >> step) & 1 ? in.Block() : GoodBlock(step);
    if (unbounded && ((fuzzed >> step) & 1) != 0) {
      if (step == 0) block = testkit::Kind3CurvesFromLength(std::move(block));
      if (step == 1) block = testkit::LaidOutMatrixFromLength(std::move(block));
      if (step == 2) block = testkit::RecordsFromLength(std::move(block));
    }
    const testkit::ExactBlock exact(block);
    bool bounded = !unbounded;
    if (unbounded && step == 3 && ((fuzzed >> step) & 1) != 0) {
      static InkTableBlock scratch;
      bounded = ReadInkTableBlock(exact.Bounded(), &scratch) != kStatusOk;
    }
    EngineStatus status;
    if (step == 3 && (fuzzed & 0b1101) == 0) {
      static AfterGoodInkTables after[16];
      AfterGoodInkTables& shape = after[flags & 15];
      if (shape.taken) {
        status = PutAfterInkTables(shape, engine, &id);
      } else {
        status = GreyHalftoneSetResource(engine, exact.Bytes(bounded), &id);
        TakeAfterInkTables(*engine, status, id, &shape);
      }
    } else {
      status = GreyHalftoneSetResource(engine, exact.Bytes(bounded), &id);
    }
    if (status != kStatusOk) break;
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
  PutBack(engine, *prepared);
  // Each input frees what it allocated, so that libFuzzer's leak check never has to run it again.
  halftone_lines::FreeEngineBuffers(engine->buffers, kEngineBuffers);
  return 0;
}
