// Help of the document pages and the binding margin dialog: the help-id tables as data, and the
// two calls into the help system (a topic by its context, and context help for a control).
#include <windows.h>

#include <iterator>
#include <utility>

#include "kalimu/pages/page_frame.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::pages {
namespace {

constexpr uint32_t kNone = kNoHelp;

constexpr HelpIdPair kMainPageHelp[] = {
    {900, 256},    {2004, 261},   {2006, 261},   {2007, 272},   {2041, 272},   {2033, 279},   {2030, 277},
    {2031, 288},   {2032, 293},   {8107, 272},   {8108, 272},   {2003, 325},   {8112, 359},   {8113, 359},
    {2048, 400},   {2001, 336},   {2002, 304},   {2008, 304},   {2009, 304},   {2012, 320},   {2014, 341},
    {25000, 341},  {25001, 341},  {25002, 341},  {25003, 341},  {25004, 341},  {25005, 341},  {25006, 341},
    {25007, 341},  {2017, 341},   {2018, 341},   {2019, 341},   {2020, 341},   {2042, 341},   {2043, 341},
    {2044, 341},   {2045, 341},   {2046, 341},   {2057, 341},   {2022, 341},   {2021, 341},   {2023, 341},
    {2024, 341},   {2025, 341},   {2026, 341},   {2058, 343},   {2059, 343},   {2047, 357},   {2015, 352},
    {2016, 32},    {2053, 373},   {2055, 368},   {2056, 384},   {2013, kNone}, {2005, kNone}, {2010, kNone},
    {2011, kNone}, {2048, kNone}, {0, 0},
};

constexpr HelpIdPair kPaperPageHelp[] = {
    {901, 512},  {2212, 517}, {2232, 517}, {2201, 517}, {2213, 528}, {2202, 528},   {2217, 533},   {2218, 533},
    {2222, 533}, {2223, 533}, {2219, 533}, {2220, 533}, {2221, 533}, {2215, 544},   {2203, 544},   {2204, 544},
    {2205, 544}, {2216, 549}, {2206, 549}, {2207, 549}, {2248, 549}, {2208, 549},   {2224, 560},   {2225, 560},
    {2226, 560}, {2227, 560}, {2228, 560}, {2229, 560}, {2230, 560}, {2231, 560},   {2238, 560},   {2233, 565},
    {2236, 576}, {2237, 576}, {2239, 581}, {2254, 592}, {2260, 583}, {2209, 32},    {2210, kNone}, {2211, kNone},
    {0, 0},
};

constexpr HelpIdPair kLayoutPageHelp[] = {
    {902, 768},  {2403, 773}, {2417, 773}, {2418, 773}, {2419, 773}, {2431, 773},   {2404, 773},   {2405, 773},
    {2420, 773}, {2406, 773}, {2407, 773}, {2408, 773}, {2412, 784}, {2424, 784},   {2436, 784},   {2425, 816},
    {2410, 816}, {2411, 816}, {2415, 805}, {2413, 816}, {2426, 821}, {2446, 821},   {2447, 821},   {2448, 821},
    {2449, 821}, {2423, 821}, {2440, 832}, {2421, 789}, {2414, 789}, {2422, 789},   {2409, 789},   {2432, 800},
    {2433, 800}, {2434, 800}, {2435, 800}, {2401, 32},  {2430, kNone}, {2402, kNone}, {2416, kNone}, {0, 0},
};

// Groups of four controls share one context; the ids stand in this order.
constexpr HelpIdPair kUtilityPageHelp[] = {
    {903, 1024},
    {2310, 1029}, {2300, 1029}, {2320, 1029}, {2340, 1029},
    {2313, 1040}, {2303, 1040}, {2323, 1040}, {2341, 1040},
    {2311, 1045}, {2301, 1045}, {2321, 1045}, {2342, 1045},
    {2312, 1056}, {2302, 1056}, {2322, 1056}, {2343, 1056},
    {2314, 1061}, {2304, 1061}, {2324, 1061}, {2344, 1061},
    {2315, 1077}, {2305, 1077}, {2325, 1077}, {2345, 1077},
    {2332, 1072},
    {2316, 1088}, {2306, 1088}, {2326, 1088}, {2346, 1088},
    {2317, 1093}, {2307, 1093}, {2327, 1093}, {2347, 1093},
    {2331, kNone}, {2330, kNone},
    {0, 0},
};

constexpr HelpIdPair kBindingMarginHelp[] = {
    {2960, kBindingMarginHelpContext}, {2963, 5381}, {2964, 5381}, {2965, 5381}, {2972, 5381}, {2973, 5381},
    {2974, 5381}, {2966, 5392}, {2967, 5392}, {2968, 5392}, {2969, 5397}, {2970, 5397},
    {2971, 5397}, {2962, kNone}, {2961, kNone}, {2975, kNone}, {0, 0},
};

static_assert(std::size(kMainPageHelp) == 58 + 1);
static_assert(std::size(kPaperPageHelp) == 40 + 1);
static_assert(std::size(kLayoutPageHelp) == 39 + 1);
static_assert(std::size(kUtilityPageHelp) == 36 + 1);
static_assert(std::size(kBindingMarginHelp) == 16 + 1);

constexpr std::span<const HelpIdPair> kPageTables[] = {kMainPageHelp, kPaperPageHelp, kLayoutPageHelp,
                                                       kUtilityPageHelp};

WinHelpFunction& HelpEntry() {
  static WinHelpFunction entry = &WinHelpA;
  return entry;
}

// The help file's path from the settings (empty when it cannot be had).
void HelpFilePath(const PageParam* param, char (&path)[MAX_PATH]) {
  path[0] = '\0';
  if (param != nullptr && param->settings != nullptr) param->settings->GetHelpFilePath(path, sizeof(path));
}

}  // namespace

std::span<const HelpIdPair> PageHelpTable(DocumentPage page) { return kPageTables[static_cast<size_t>(page) & 3]; }

std::span<const HelpIdPair> BindingMarginHelpTable() { return kBindingMarginHelp; }

uint32_t PageHelpContext(DocumentPage page) { return PageHelpTable(page).front().context; }

WinHelpFunction ReplaceWinHelp(WinHelpFunction function) {
  return std::exchange(HelpEntry(), function != nullptr ? function : &WinHelpA);
}

BOOL CallWinHelp(HWND window, LPCSTR help_file, UINT command, ULONG_PTR data) {
  return HelpEntry()(window, help_file, command, data);
}

BOOL ShowHelpTopic(HWND window, const PageParam* param, uint32_t context) {
  if (param == nullptr || param->settings == nullptr) return FALSE;
  char path[MAX_PATH];
  HelpFilePath(param, path);
  return HelpEntry()(window, path, HELP_CONTEXT, context);
}

void ShowContextHelp(HWND dialog, HWND help_window, UINT command, std::span<const HelpIdPair> table) {
  char path[MAX_PATH];
  HelpFilePath(PageParamOf(dialog), path);
  HelpEntry()(help_window, path, command, reinterpret_cast<ULONG_PTR>(table.data()));
}

}  // namespace kalimu::pages
