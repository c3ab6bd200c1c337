// The engine table. A new engine is a folder with its engine_operations.h and one row here.
#include "tonvar/interface/engine_table.h"

#include <algorithm>
#include <iterator>

#include "tonvar/colour/engine_operations.h"
#include "tonvar/grey/engine_operations.h"
#include "tonvar/grey_input/engine_operations.h"
#include "tonvar/multi_level/engine_operations.h"
#include "tonvar/screening/engine_operations.h"

namespace tonvar {
namespace {

// In EngineId order.
constexpr EngineRow kEngineTable[] = {
    {kHandleColourMatching, kTableColour, &colour::CmColorNew, &colour::CmColorSetResource,
     &colour::CmColorGetLut, nullptr, &colour::CmColorDelete},
    {kHandleColourMatching, kTableGrey, &grey::CmGreyNew, &grey::CmGreySetResource,
     &grey::CmGreyGetLut, nullptr, &grey::CmGreyDelete},
    {kHandleHalftoning, kTableColour, &screening::ScreenNew, &screening::ScreenSetResource,
     nullptr, &screening::ScreenHalftone, &screening::ScreenDelete},
    {kHandleHalftoning, kTableColour, &multi_level::MultiLevelNew,
     &multi_level::MultiLevelSetResource, nullptr, &multi_level::MultiLevelHalftone,
     &multi_level::MultiLevelDelete},
    {kHandleHalftoning, kTableGrey, &grey_input::GreyHalftoneNew,
     &grey_input::GreyHalftoneSetResource, nullptr, &grey_input::GreyHalftone,
     &grey_input::GreyHalftoneDelete},
};
static_assert(std::size(kEngineTable) == kEngineCount);

}  // namespace

const EngineRow& EngineRowOf(EngineId id) { return kEngineTable[id]; }

EngineId ChooseCmEngine(const CmParams& params) {
  return params.document_type == kGreyDocumentType ? kEngineGrey : kEngineColour;
}

EngineId ChooseHalftoneEngine(const RasterJob& job, const CmLutInfo& first_table) {
  if (first_table.table_kind == kTableGrey) return kEngineGreyInput;
  const bool screened = std::find(std::begin(kScreeningInkSets), std::end(kScreeningInkSets),
                                  job.ink_set) != std::end(kScreeningInkSets);
  return screened ? kEngineScreening : kEngineMultiLevel;
}

}  // namespace tonvar
