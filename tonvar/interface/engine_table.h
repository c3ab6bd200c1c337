// The engine table: one row per engine, and the interface's rules for choosing a row.
#pragma once

#include <cstdint>

#include "tonvar/interface/client_records.h"
#include "tonvar/interface/engine_contract.h"
#include "tonvar/interface/handles.h"

namespace tonvar {

struct EngineRow {
  HandleKind handle_kind;           // the handle the engine serves
  CmTableKind table_kind;           // colour matching: what CmGetLut reports
  EngineCreateFn create;
  EngineSetResourceFn set_resource;
  EngineGetTableFn get_table;       // colour-matching engines, else null
  EngineHalftoneFn halftone;        // halftoning engines, else null
  EngineDeleteFn destroy;
};

// The document type that selects the grey colour-matching engine; any other selects colour.
inline constexpr int32_t kGreyDocumentType = 7;
// Ink sets that a colour table is screened for; every other ink set goes multi-level.
inline constexpr uint32_t kScreeningInkSets[] = {0, 5};

const EngineRow& EngineRowOf(EngineId id);
// CmNew's rule: the document type.
EngineId ChooseCmEngine(const CmParams& params);
// HalftoneNew's rule: a grey first table goes to the grey-input engine; a colour table to the
// screening engine for the screening ink sets, else to the multi-level engine.
EngineId ChooseHalftoneEngine(const RasterJob& job, const CmLutInfo& first_table);

}  // namespace tonvar
