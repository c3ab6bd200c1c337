// Fuzz target: the colour engine's corrections on arbitrary bounded resources. The first byte
// chooses the resource the input stands for: the ink map, the reference block (binary or
// "ic_data" markup), the rank curve table or the dot-curve block of a rank correction, or the
// rate header, dot-curve or rate curve block of a dot-rate correction; the others are good. With
// bit 3 the input patches the good resource of that kind instead (bytes 1-2: the length to cut
// it to; then triples of offset and value), so that an empty corpus reaches deep. Bit 4 takes
// version 300 for the mode table.
//
// Bit 7 runs every step as the exports do: no length, each resource in a heap block of exactly
// its size. The fuzzed resource is first made consistent, so that its grammar ends inside it:
// the ink map gets its end bytes, the reference block the binary form with room for every
// reference, the rank curve table the rows the binary or good references can pick, dot-curve
// blocks their size word, the rate header its record count, the markup (a reference block whose
// first byte is not a binary one) its NUL. The rate curve block ends where its entries' offsets
// and counts say, so the bounded reader decides: a job it completes is run again unbounded and
// must end with the same status.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "testkit/tonvar/correction_job.h"
#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/fuzz_patches.h"
#include "tonvar/colour/engine_operations.h"

namespace {

using namespace tonvar;

struct Kind {
  uint32_t id;
  bool rate;        // a dot-rate correction (option 514), else a rank correction (option 512)
};
constexpr Kind kKinds[8] = {{980, false}, {990, false}, {3050, false}, {7000, false},
                            {991, true},  {7000, true},  {50, true},    {990, false}};

std::vector<uint8_t> Markup() {
  return testkit::BuildIcDataBlock(
      "<version=\"10_00\"><!-- c --><ink_num=4><id_row=3><id=0:30-31-32-33><id=1:40-41-42-43>"
      "<id=2:50-51-52-53><color_cnv=9:IS9::0:1,2:3:2><default_id_step=2><default_id_lowest_value=30>"
      "<default_rank_upper_limmt=20><default_rank_lower_limmt=0><default_nc_range=3>"
      "<mode> h_res v_res mode &\n 360 * single n 1 &\n * 720 dual n 1 a 2 m 3 &\n"
      " * * smbrate n 1 1 2 3 &\n</mode>");
}

// The unbounded mode's rules (see the top): the id the consistent resource stands for.
uint32_t Consistent(uint32_t kind, std::vector<uint8_t>* r) {
  constexpr size_t kMaxReferences = 16;
  constexpr size_t kRankRows = 51;  // the binary defaults and the markup above allow rows 0..50
  switch (kind) {
    case 0:
      *r = testkit::EndInkMap(std::move(*r));
      return 980;
    case 2:
      if (r->size() < kRankRows * 256) r->resize(kRankRows * 256);
      return 3050;
    case 3:
    case 5:
      *r = testkit::SizeWordFromLength(std::move(*r));
      return 7000;
    case 4:
      *r = testkit::RecordsFromLength(std::move(*r));
      return 991;
    case 6:  // the rate curve block: left as it is, the bounded run decides (see the top)
      return 50;
    default:  // 1, 7: binary references, b0 below 10 or 30..70, every reference present
      if (r->empty()) r->push_back(0);
      if (kind == 7 && (*r)[0] >= 10 && ((*r)[0] < 30 || (*r)[0] > 70)) {
        *r = testkit::EndText(std::move(*r), /*nul_only=*/true);
        return 990;
      }
      if ((*r)[0] >= 10 && ((*r)[0] < 30 || (*r)[0] > 70)) (*r)[0] %= 10;
      if (r->size() < 1 + kMaxReferences) r->resize(1 + kMaxReferences, 30);
      return 990;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const Kind kind = kKinds[choice & 7];
  testkit::CorrectionJobShape shape;
  shape.version = (choice & 0x10) ? 300 : 501;
  shape.tone_table = (choice & 0x20) != 0;
  testkit::ColourJob job = testkit::CorrectionJob(shape);

  const std::vector<uint8_t> lists = testkit::BuildCwLists(1, {{34, 30, 30, 30}, {40, 41, 42, 43}, {1, 2, 3, 4}});
  const std::vector<uint8_t> rates = testkit::BuildRateList({10, 20, 30, 40, 50, 60, 70, 80, 90});
  testkit::OptionList options;
  options.Add(kind.rate ? 514 : 512, kind.rate ? rates.data() : lists.data());
  job.params.options = options.Get();

  job.resources[980] = testkit::BuildInkMap({{1, {1, 0, 2, 3}}});
  job.resources[990] = (choice & 0x40) ? Markup() : testkit::BuildBinaryReference(5, {30, 30, 30, 30});
  if ((choice & 7) == 7) job.resources[990] = Markup();
  job.resources[3050] = testkit::BuildRankCurveTable(30);
  testkit::DotCurveKind4Shape four;
  four.entries = testkit::DotCurveEntriesFor(9);
  job.resources[7000] = (choice & 0x40) ? testkit::BuildDotCurveKind4(four) : testkit::BuildDotCurveKind3({});
  testkit::RateHeaderShape header;
  header.column_count = 3;
  header.records = {{9, "", {{3, {0}}, {5, {1}}}}};
  header.micro = {{"MIC", 0x00}};
  job.resources[991] = testkit::BuildRateHeaderBlock(header);
  const std::vector<uint16_t> table(256, 128), segment = {0, 0, 100, 256};
  job.resources[50] =
      (choice & 0x40)
          ? testkit::BuildRateCurveBlock(1, 3, {{3, {segment, segment, segment}},
                                                {5, {segment, {0, 10, 90, 300}, {5, 0, 6, 1}}}})
          : testkit::BuildRateCurveBlock(0, 3, {{3, {table, table, table}}, {5, {table, table, table}}});

  std::vector<uint8_t> fuzzed = (choice & 8) ? testkit::PatchResource(job.resources[kind.id], data + 1, size - 1)
                                             : std::vector<uint8_t>(data + 1, data + size);
  const bool unbounded = (choice & 0x80) != 0;
  job.resources[unbounded ? Consistent(choice & 7, &fuzzed) : kind.id] = std::move(fuzzed);
  // A curve table without a length holds every row the limits can pick (rows 0..50 here).
  if (unbounded && job.resources[3050].size() < 51 * 256) job.resources[3050].resize(51 * 256);
  const bool gated = unbounded && (choice & 7) == 6;
  job.bounded = !unbounded || gated;
  CmHandle handle{};
  const EngineStatus first = job.Run(&handle);
  colour::CmColorGetLut(handle.engine);
  colour::CmColorDelete(&handle.engine);
  if (gated && first == kStatusOk) {
    job.bounded = false;
    CmHandle again{};
    if (job.Run(&again) != first) __builtin_trap();
    colour::CmColorGetLut(again.engine);
    colour::CmColorDelete(&again.engine);
  }
  return 0;
}
