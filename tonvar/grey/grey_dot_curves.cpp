// Step 4 of the grey engine: the dot-curve block.
#include "tonvar/grey/grey_dot_curves.h"

namespace tonvar::grey {

EngineStatus ReadGreyDotCurves(common::ResourceBytes, uint32_t, DotTables*, int32_t*) {
  return kStatusBadResource;
}

}  // namespace tonvar::grey
