// Built-in threshold tables of the diffusion kernels, one breakpoint list per resolution class.
#include <span>

#include "tonvar/halftone_lines/line_tables.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {
namespace {

struct Breakpoints {
  std::span<const int32_t> x;
  std::span<const int32_t> y;
};

constexpr int32_t kSquareX[] = {0, 1, 3, 6, 12, 13, 24, 35, 52, 53, 102, 125, 144, 160, 170, 190, 210, 255};
constexpr int32_t kSquareY[] = {89, 89, 148, 170, 254, 170, 238, 260, 260, 280, 330, 390, 410, 460, 510, 560, 550, 642};
constexpr int32_t kTallX[] = {0, 5, 6, 10, 11, 16, 17, 24, 25, 29, 35, 45, 50, 55, 70, 85, 102, 125, 145, 160, 180, 200, 255};
constexpr int32_t kTallY[] = {120, 195, 255, 292, 169, 201, 213, 237, 241, 250, 269, 295, 293, 286, 297, 324, 342, 390, 415, 463, 547, 550, 650};
constexpr int32_t kWideOneBitX[] = {0, 1, 2, 5, 8, 9, 14, 23, 40, 41, 48, 49, 102, 180, 255};
constexpr int32_t kWideOneBitY[] = {70, 80, 100, 183, 242, 150, 170, 190, 220, 280, 280, 290, 340, 550, 640};
constexpr int32_t kWideTwoBitsX[] = {0, 1, 2, 5, 8, 14, 23, 40, 41, 48, 49, 102, 180, 255};
constexpr int32_t kWideTwoBitsY[] = {70, 80, 100, 183, 242, 170, 190, 220, 280, 280, 290, 340, 550, 640};
constexpr int32_t kFourToOneX[] = {0, 5, 8, 9, 16, 17, 24, 28, 29, 38, 48, 49, 55, 70, 85, 100, 120, 135, 150, 165, 180, 200, 220, 230, 255};
constexpr int32_t kFourToOneY[] = {48, 127, 171, 204, 302, 208, 236, 241, 243, 271, 277, 294, 287, 294, 327, 341, 382, 402, 430, 482, 546, 549, 586, 605, 645};

constexpr int kThresholdShift = 2;

}  // namespace

void BuildDiffusionThresholds(uint32_t ratio_class, uint32_t bits_per_dot, DiffusionThresholds* out) {
  Breakpoints list;
  switch (ratio_class) {
    case 0: list = {kSquareX, kSquareY}; break;
    case 1: list = {kTallX, kTallY}; break;
    case 2:
    case 4:
      if (bits_per_dot == 1) {
        list = {kWideOneBitX, kWideOneBitY};
      } else if (bits_per_dot == 2) {
        list = {kWideTwoBitsX, kWideTwoBitsY};
      } else {
        return;
      }
      break;
    case 3: list = {kFourToOneX, kFourToOneY}; break;
    default: return;  // no table for other ratios
  }
  halftone_lines::InterpolateBreakpoints(out->value, list.x, list.y, kThresholdShift);
}

}  // namespace tonvar::multi_level
