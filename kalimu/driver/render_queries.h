// What the rendering library asks the driver before it prints, without a handle of the
// driver's: the installed ink set, the output paper's extent and roll margins, and a word of
// pre-print status bits built from the printer's stored readings.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kalimu::settings {
class JobSettings;
}

namespace kalimu::driver {

inline constexpr uint16_t kInkSetEntries = 30;

// DRVUIGetInkSet's record: count, then count ink codes (each a byte zero-extended); the rest 0.
struct InkSetInfo {
  uint16_t count;
  uint16_t codes[kInkSetEntries];
  uint16_t reserved;
};
static_assert(sizeof(InkSetInfo) == 64);
static_assert(offsetof(InkSetInfo, codes) == 2);

// DRVUIGetUIData2's record; lengths in 1/360 inch. Only the fields are written, never the gaps.
struct UiData2Info {
  int32_t zero0;
  int32_t top_margin;
  int32_t zero8;
  int32_t bottom_margin;
  uint16_t one;
  int32_t paper_width;
  int32_t paper_length;
  int32_t zero28;
  int32_t zero32;
  int32_t zero36;
  uint16_t zero40;
};
static_assert(offsetof(UiData2Info, top_margin) == 4);
static_assert(offsetof(UiData2Info, bottom_margin) == 12);
static_assert(offsetof(UiData2Info, one) == 16);
static_assert(offsetof(UiData2Info, paper_width) == 20);
static_assert(offsetof(UiData2Info, paper_length) == 24);
static_assert(offsetof(UiData2Info, zero36) == 36);
static_assert(offsetof(UiData2Info, zero40) == 40);

// The pre-print status bits.
enum PrePrintStatusBit : uint32_t {
  kPrePrintPaperCheck = 0x08,
  kPrePrintInkCheck = 0x10,
  kPrePrintBinInfo1 = 0x20,
  kPrePrintInkLevelLow = 0x40,
  kPrePrintInkLevelOut = 0x80,
  kPrePrintStacker = 0x100,
  kPrePrintPagePosition = 0x200,
  kPrePrintPageStart = 0x400,
  kPrePrintPageOther = 0x800,
  kPrePrintOverTemperature = 0x1000,
  kPrePrintPlatenMonitor = 0x2000,
  kPrePrintBinInfo2 = 0x4000,
  kPrePrintPaperRemain = 0x8000,
};

// The bodies on a settings object built on the caller's record.
void FillInkSetInfo(settings::JobSettings& settings, InkSetInfo* out);
void FillUiData2Info(settings::JobSettings& settings, UiData2Info* out);
// Refreshes the stored readings through the status monitor and builds the word in the record's
// status field (the field is left holding the word).
void RefreshStoredReadings(settings::JobSettings& settings, HANDLE printer);
uint32_t BuildPrePrintStatus(settings::JobSettings& settings, HANDLE printer);

}  // namespace kalimu::driver
