// The layout page's own steps inside the page frame (see page_frame.h). Empty until the page's
// controls and rules are built: the frame then shows the page's controls as the template has them.
#include "kalimu/pages/page_frame.h"

namespace kalimu::pages {

const PageSteps& LayoutPageSteps() {
  static constexpr PageSteps kSteps{};
  return kSteps;
}

}  // namespace kalimu::pages
