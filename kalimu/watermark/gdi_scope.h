// Scoped GDI objects of the watermark editor: the owners the pages use (memory DCs, window DCs,
// objects and selections), under the names the editor's code uses.
#pragma once

#include "kalimu/pages/gdi_scope.h"

namespace kalimu::watermark {

using pages::UniqueGdiObject;
using pages::WindowDc;
using UniqueDc = pages::UniqueMemoryDc;
using Selected = pages::Selection;

}  // namespace kalimu::watermark
