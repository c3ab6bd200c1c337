// Screening engine driver of the test kit.
#include "testkit/tonvar/screening_job.h"

#include "tonvar/interface/halftone_band.h"
#include "tonvar/screening/screen_engine.h"

namespace testkit {

std::vector<uint8_t> DefaultMatrix() {
  static const std::vector<uint8_t> kMatrix = ShortMatrixBlock(64, 64, DispersedMatrix(64, 64));
  return kMatrix;
}

namespace {
// A kind-3 block (second_kind 0) or a kind-2 block with a second table of 1 or 2 words.
std::vector<uint8_t> MainBlock(CurveForm form, uint32_t second_kind) {
  DotCurveShape shape;
  shape.form = form;
  shape.entries = RampDotShares(256, 255);
  shape.second_kind = second_kind;
  if (second_kind != 0) shape.second = RampDotShares(256, 65535);
  return DotCurveBlock(shape);
}
}  // namespace

std::vector<uint8_t> ThreeSizeMainBlock() { return MainBlock(CurveForm::kKind3, 0); }
std::vector<uint8_t> TwoSizeMainBlock() { return MainBlock(CurveForm::kKind2, 2); }
std::vector<uint8_t> OneSizeMainBlock() { return MainBlock(CurveForm::kKind2, 1); }
// The four-ink curve has the same form as the three-size main block.
std::vector<uint8_t> DefaultColourDotCurve() { return MainBlock(CurveForm::kKind3, 0); }

ScreenJob::ScreenJob(ScreenKind kind) {
  job.method = 3;
  job.resolution_x_dpi = 720;
  job.resolution_y_dpi = 720;
  job.bits_per_dot = 2;
  job.width_pixels = 64;
  const bool mono = kind == ScreenKind::kMono;
  job.ink_set = mono ? 0 : 5;
  job.channel_order = mono ? 0 : 2;
  planes = mono ? 1 : 4;
  if (mono) {
    BuildScreenLut(&lut0, 9, 4, &GreyNode);
  } else {
    BuildScreenLut(&lut0, 9, 4, &FourInkNode);
    BuildScreenLut(&lut1, 5, 4, &FourInkNode);
  }
  lut0.lut.first_halftone_id = kScreenIdList;
  lut0.lut.dot_curve_id = kScreenFinalId;
  resources[kScreenIdList] = ScreenIdList({kScreenGridId, kScreenMatrixIds[0], kScreenMatrixIds[1],
                                           kScreenMatrixIds[2], kScreenMatrixIds[3]});
  for (uint16_t id : kScreenMatrixIds) resources[id] = DefaultMatrix();
  resources[kScreenGridId] = ScreenGridBlock(ScreenGridPoints());
  resources[kScreenFinalId] = mono ? ThreeSizeMainBlock() : DefaultColourDotCurve();
}

ScreenJob::~ScreenJob() { Delete(); }

tonvar::EngineStatus ScreenJob::New() {
  Delete();
  tonvar::EngineCreateArgs args;
  args.job = &job;
  args.tables[0] = &lut0.lut;
  args.tables[1] = two_luts ? &lut1.lut : nullptr;
  void* engine = nullptr;
  const tonvar::EngineStatus status = tonvar::screening::ScreenNew(args, &first_id, &engine);
  if (status == tonvar::kStatusOk) engine_ = static_cast<tonvar::screening::ScreenEngine*>(engine);
  return status;
}

tonvar::EngineStatus ScreenJob::Step(uint32_t id, tonvar::ResourceId* next) {
  asked.push_back(id);
  const auto it = resources.find(id);
  if (it == resources.end()) return tonvar::kStatusBadResource;
  return tonvar::screening::ScreenSetResource(engine_, {it->second.data(), it->second.size()}, next);
}

tonvar::EngineStatus ScreenJob::Run() {
  asked.clear();
  tonvar::EngineStatus status = New();
  tonvar::ResourceId id = first_id;
  for (int guard = 0; status == tonvar::kStatusOk && guard < 16 && id != tonvar::kNoMoreResources; ++guard) {
    status = Step(id, &id);
  }
  return status;
}

tonvar::EngineStatus ScreenJob::Delete() {
  if (engine_ == nullptr) return tonvar::kStatusOk;
  void* engine = engine_;
  engine_ = nullptr;
  return tonvar::screening::ScreenDelete(&engine);
}

tonvar::EngineStatus ScreenJob::Halftone(uint32_t x_start, uint32_t count, uint32_t rows,
                                         uint32_t line, uint32_t first_bit, uint32_t mode_word) {
  const uint32_t kept = rows == 0 ? 1 : rows;
  if (input.size() < kept) input.resize(kept, std::vector<uint8_t>(4 * 64, 0xFF));
  if (output.size() < kept) output.resize(kept);
  for (auto& row : output) row.resize(size_t{planes} * plane_bytes, 0);
  std::vector<const uint8_t*> in;
  std::vector<uint8_t*> out;
  for (uint32_t r = 0; r < kept; ++r) {
    in.push_back(input[r].data());
    out.push_back(output[r].data());
  }
  tonvar::HalftoneBand band{};
  band.input_rows = in.data();
  band.output_rows = out.data();
  band.plane_stride = plane_bytes;
  band.first_bit = first_bit;
  band.count = count;
  band.x_start = x_start;
  band.row_count = rows;
  band.line_number = line;
  band.mode_word = mode_word;
  return tonvar::screening::ScreenHalftone(engine_, band);
}

}  // namespace testkit
