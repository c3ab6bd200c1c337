// Cell error diffusion for a horizontal resolution twice the vertical, 4 and 8 inks.
#include "tonvar/multi_level/diffuse_cells_2x1.h"
#include "tonvar/multi_level/diffusion_streams.h"

namespace tonvar::multi_level {

void DiffuseCells2x1Ink4(const DiffusionCall& call) { diffusion::WalkCells<diffusion::Wide<false>>(call); }
void DiffuseCells2x1Ink8(const DiffusionCall& call) { diffusion::WalkCells<diffusion::Wide<true>>(call); }
void DiffuseInks2x1Ink4(const DiffusionCall* calls, int count) { diffusion::WalkInks<diffusion::Wide<false>>(calls, count); }
void DiffuseInks2x1Ink8(const DiffusionCall* calls, int count) { diffusion::WalkInks<diffusion::Wide<true>>(calls, count); }

}  // namespace tonvar::multi_level
