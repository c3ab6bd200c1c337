// The paper page's rules that follow the paper source: the source list and the source change,
// the controls of the source's class (roll options or margin options), the source's collation,
// order and margin codes, the rotate and margin locks, the cutter controls with the cut-mode
// list, and the feed-mode list.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/pages/page_access.h"

namespace kalimu::pages {

// Source identifiers the rules name.
enum PaperSourceId : int32_t {
  kSourceRoll256 = 256,
  kSourceRoll257 = 257,
  kSource258 = 258,
  kSource259 = 259,
  kSource264 = 264,
  kSourceRoll530 = 530,
  kSourceRoll531 = 531,
};

void FillPaperSourceList(HWND page, const PageParam& param);
// A new source index k; from_list: k comes from the selection of list 2202.
void ChangePaperSource(HWND page, const PageParam& param, int32_t k, bool from_list);
void UpdatePairedSourceControls(HWND page, const PageParam& param, uint16_t k);
void UpdateSourceOptionControls(HWND page, const PageParam& param);

// The source's codes. force: 1 after a source change, 0 at start-up and refresh (the order code
// then only enables 2220 for codes 0 to 2).
void ApplyCollationCode(HWND page, const PageParam& param, int force);
void ApplyOrderCode(HWND page, const PageParam& param, int force, bool reduced);
void ApplyMarginCode(HWND page, const PageParam& param);
void ApplyRotateRule(HWND page, const PageParam& param);
void ApplyRotateAvailabilityRule(HWND page, const PageParam& param);
// Collation, order, margin code and both rotate rules, as start-up/refresh (force 0) or a source
// change (force 1) applies them.
void ApplySourceCodes(HWND page, const PageParam& param, int force);
void ApplyMarginLock(HWND page, const PageParam& param);

void UpdateCutterControls(HWND page, const PageParam& param);
void FillCutModeList(HWND page, const PageParam& param, int count);
void FillCutModeListForMedia(HWND page, const PageParam& param);
void ApplyCutterVisibilityRule(HWND page, const PageParam& param);
void ApplyCutMode(HWND page, const PageParam& param);
// Mode + 1 of the stored cut options.
int GetCutModeFromSettings(settings::JobSettings& settings);
void SelectCutModeItem(HWND page, const PageParam& param);
void OnCutModeChange(HWND page, const PageParam& param);
// 1 when the media refuses cut mode `mode`.
int IsCutModeRefused(settings::JobSettings& settings, int mode);
// The resource string of cut mode `mode` on the current source.
UINT CutModeStringId(settings::JobSettings& settings, int mode);

void UpdateFeedModeList(HWND page, const PageParam& param);
void FillFeedModeList(HWND page, const PageParam& param);
void ResetSourceOptions(HWND page, const PageParam& param);

// The current source's class.
bool IsRollCutSource(settings::JobSettings& settings);
bool IsWideRollSource(settings::JobSettings& settings);
bool IsNarrowRollSource(settings::JobSettings& settings);
bool IsSpecialFeedSource(settings::JobSettings& settings);
bool HasCutter(settings::JobSettings& settings);

}  // namespace kalimu::pages
