// Correction engine: the option lists it reads, the in-memory curve table, and the sub-engine's
// creation, steps and deletion.
#include "tonvar/colour/correction_engine.h"

#include <cstring>

#include "tonvar/colour/rank_correction.h"
#include "tonvar/common/byte_readers.h"
#include "tonvar/common/memory.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

constexpr uint8_t kListEnd = 0xFE;
constexpr uint8_t kListsEnd = 0xFF;
constexpr uint8_t kMaxListValue = 127;

constexpr uint32_t kCurveTableFormat = 0x190;
constexpr uint32_t kCurveTableLevels = 0x100;
constexpr uint32_t kCurveTableHeader = 128;
constexpr uint32_t kCurveBytes = 512;    // 256 16-bit values

}  // namespace

bool ParseCwLists(const uint8_t* option, CwLists* lists) {
  std::memset(lists, 0, sizeof *lists);
  const uint8_t* p = option;
  for (uint32_t list = 0;; ++list) {
    // Byte by byte: the value has no length, and a list ends where its bytes stop matching.
    if (list == kCwMaxLists || p[0] != 'C' || p[1] != 'W' || p[2] != ':') return false;
    const uint8_t code = p[3];
    p += 4;
    uint32_t count = 0;
    while (*p != kListEnd) {
      if (count == kCwMaxValues || *p > kMaxListValue) return false;
      lists->values[list][count++] = *p++;
    }
    ++p;
    if (list == 0) {
      if (count == 0) return false;  // a list without values corrects nothing
      lists->code = code;
      lists->values_per_list = count;
    } else if (code != lists->code || count != lists->values_per_list) {
      return false;
    }
    lists->list_count = list + 1;
    if (*p == kListsEnd) return true;
  }
}

uint32_t ReadMemoryCurveTable(InkCurveSet* set, const uint8_t* table) {
  // The table comes without a length of its own: its size word is read first, and nothing past
  // the 128-byte header is read before the size word has said the table holds it.
  const uint32_t size = common::ReadDword(table);
  if (size < kCurveTableHeader) return 1;
  if (common::ReadDword(table + 8) != kCurveTableFormat) return 1;
  if (common::ReadDword(table + 16) != kCurveTableLevels) return 2;
  const uint32_t count = common::ReadDword(table + 24);
  if (count > kInkCurveMax) return 2;
  set->count = static_cast<int32_t>(count);
  if (size < count * kCurveBytes + kCurveTableHeader) return 1;
  if (common::ReadDword(table + 20) != kInkCurveMax) return 2;
  // Every curve must lie inside the table the size word describes.
  for (uint32_t k = 0; k < count; ++k) {
    const uint64_t offset = common::ReadDword(table + 32 + 8 * k);
    if (offset > size || size - offset < kCurveBytes) return 1;
  }
  set->fraction_bits = 4;
  for (uint32_t k = 0; k < count; ++k) {
    const uint8_t* values = table + common::ReadDword(table + 32 + 8 * k);
    set->ink_ids[k] = static_cast<int32_t>(common::ReadDword(table + 36 + 8 * k));
    for (uint32_t l = 0; l < 256; ++l) set->curves[k][l] = common::ReadWord(values + 2 * l);
  }
  return 0;
}

EngineStatus CreateCorrectionEngine(CmColorEngine* engine, const CmParams* params,
                                    const RasterJob* job, ResourceId* next_id,
                                    CorrectionEngine** out) {
  *next_id = kNoMoreResources;
  *out = nullptr;
  common::ScopedBlock block;
  const EngineStatus status = block.Allocate(sizeof(CorrectionEngine), true);
  if (status != kStatusOk) return status;
  auto* ce = block.data<CorrectionEngine>();
  ce->kind = kCorrectionNone;
  const auto* rates = static_cast<const uint8_t*>(FindParamOption(params, kOptionRateList));
  if (rates != nullptr) {
    ce->kind = kCorrectionDotRate;
    if (InitDotRateCorrection(&ce->dot_rate, next_id, engine, job, rates) != 0) {
      *next_id = kNoMoreResources;
      return kStatusBadArgument;
    }
    if (AllRatesZero(&ce->dot_rate)) *next_id = kNoMoreResources;
  } else {
    ce->kind = kCorrectionRank;
    // The rank correction fails only for want of memory, which is reported as such.
    const EngineStatus created = NewRankCorrection(engine, params, job, next_id, &ce->rank);
    if (created != kStatusOk) {
      *next_id = kNoMoreResources;
      return created;
    }
  }
  ce->self = block.Detach();
  *out = ce;
  return kStatusOk;
}

EngineStatus StepCorrectionEngine(CorrectionEngine* ce, common::ResourceBytes data, ResourceId* next_id) {
  *next_id = kNoMoreResources;
  if (ce == nullptr) return kStatusBadArgument;
  EngineStatus status = kStatusOk;
  if (data.data == nullptr) {
    status = kStatusBadArgument;
  } else if (ce->kind == kCorrectionNone) {
    return kStatusOk;
  } else if (ce->kind == kCorrectionRank) {
    status = StepRankCorrection(ce->rank, data, next_id);
  } else if (ce->kind == kCorrectionDotRate) {
    if (StepDotRateCorrection(&ce->dot_rate, next_id, data) != 0) status = kStatusBadResource;
  } else {
    status = kStatusBadArgument;
  }
  if (status != kStatusOk) {
    *next_id = kNoMoreResources;
    DeleteCorrectionEngine(ce);  // the step's status is what the caller hears
  }
  return status;
}

EngineStatus DeleteCorrectionEngine(CorrectionEngine* ce) {
  if (ce == nullptr) return kStatusOk;
  if (ce->kind == kCorrectionRank) DeleteRankCorrection(ce->rank);
  const bool known = ce->kind <= kCorrectionDotRate;
  common::MemHandle self = ce->self;
  const EngineStatus status = common::ReleaseBlock(&self);
  return known ? status : kStatusBadArgument;
}

}  // namespace tonvar::colour
