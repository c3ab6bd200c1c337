// Help tables and help calls of the watermark dialogs.
#include "kalimu/watermark/watermark_help.h"

namespace kalimu::watermark {
namespace {
constexpr uint32_t kNone = pages::kNoHelp;
}  // namespace

const std::array<HelpIdPair, 16> kWatermarkListHelpTable = {{
    {2900, 5632}, {2868, 5637}, {2869, 5637}, {2905, 5637}, {2901, 5637}, {2906, 5648}, {2902, 5648}, {2907, 5653},
    {2911, 5653}, {2903, 5653}, {2904, 5680}, {2908, 5669}, {2910, 5664}, {2928, kNone}, {2927, kNone}, {0, 0},
}};

const std::array<HelpIdPair, 38> kWatermarkEditHelpTable = {{
    {2800, 2048}, {2805, 2053}, {2807, 2064}, {2802, 2064}, {2811, 2069}, {2814, 2069}, {2813, 2069},
    {2812, 2069}, {2801, 2080}, {2818, 2080}, {2816, 2080}, {2817, 2080}, {2809, 2085}, {2808, 2085},
    {2822, 2096}, {2823, 2096}, {2828, 2101}, {2830, 2101}, {2820, 2112}, {2806, 2112}, {2821, 2128},
    {2824, 2128}, {2810, 2128}, {2825, 2133}, {2815, 2133}, {2840, 2144}, {2826, 2144}, {2835, 2144},
    {2832, 2144}, {2833, 2144}, {2831, 2144}, {2873, 2144}, {2876, 2144}, {2819, 2144}, {2827, 2144},
    {2877, kNone}, {2804, kNone}, {0, 0},
}};

void ShowWatermarkHelpTopic(HWND dialog, const WatermarkHelpBlock& help, DWORD context) {
  pages::CallWinHelp(dialog, help.help_path, HELP_CONTEXT, context);
}

bool HandleWatermarkHelp(HWND dialog, UINT message, LPARAM lparam, const WatermarkHelpBlock& help,
                         std::span<const HelpIdPair> table) {
  const auto data = reinterpret_cast<ULONG_PTR>(table.data());
  switch (message) {
    case WM_HELP: {
      const auto* request = reinterpret_cast<const HELPINFO*>(lparam);
      if (request == nullptr) return true;
      pages::CallWinHelp(static_cast<HWND>(request->hItemHandle), help.help_path, HELP_WM_HELP, data);
      return true;
    }
    case WM_CONTEXTMENU:
      pages::CallWinHelp(dialog, help.help_path, HELP_CONTEXTMENU, data);
      return true;
    default:
      return false;
  }
}

}  // namespace kalimu::watermark
