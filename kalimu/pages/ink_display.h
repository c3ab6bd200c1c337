// The main page's ink display: the custom ink meters set up from the model's ink positions and
// fed with the levels and warnings of the printer's status.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/pages/ink_meter.h"
#include "kalimu/pages/page_access.h"
#include "kalimu/status/printer_status.h"

namespace kalimu::pages {

// Controls of the display. Models with capability flag 512 of header word 36 have one meter per
// ink position (25000 + i); the others a black meter and a colour meter with labels and frames.
inline constexpr int kFirstInkMeter = 25000;
inline constexpr int kInkArea = 2014;
inline constexpr int kBlackFrame = 2017;
inline constexpr int kColourFrame = 2018;
inline constexpr int kBlackMeter = 2019;
inline constexpr int kColourMeter = 2020;
inline constexpr int kBlackLabel = 2021;
inline constexpr int kColourLabel = 2022;
inline constexpr int kBlackInkTextA = 2058;
inline constexpr int kBlackInkTextB = 2059;
// Inks a meter's data block holds levels for.
inline constexpr size_t kMeterInks = kInkCodes;

// What the display puts into a meter's data block.
struct MeterBlock {
  int32_t kind = 0;                // colour code or group kind
  uint8_t levels[kMeterInks] = {};  // levels[k]: the level of ink number k + 1 (ink position k)
  HMODULE module = nullptr;
  int32_t slot = 0;        // the meter's ink number (position + 1)
  int32_t proportion = 0;  // full-scale level
  int32_t value_a = 0;     // warning flag: bottom aligned, show label or warning on, by command
  int32_t value_b = 0;     // click id or warning kind, by command
};

// Sends a sub-command to the meter `control` of the page, with a data block or without one.
void SendMeterCommand(HWND window, int control, uint32_t command, const MeterBlock* block);

// 1 when the model shows one meter per ink position.
int HasMeterPerInk(const PageParam& param);
// The meter colour code of an ink index (0 to 13, 255 none).
int32_t InkColourCode(uint8_t ink_index);

void InitInkMeters(HWND window, const PageParam& param);
void ResetInkMeters(HWND window, uint32_t warning_bits, const PageParam& param);
// Two-meter models: disables the meters (and their frames) of inks without a level.
void UpdateInkMeterControls(HWND window, const status::InkWarnings& warnings, const PageParam& param);
// One meter per ink: 1 when shown, 0 otherwise.
int ShowInkStatus(HWND window, const PageParam& param, status::PrinterStatus& status);
// Two meters: 1 when shown, 0 otherwise.
int ShowInkStatusTwoMeters(HWND window, const PageParam& param, uint32_t warning_bits, status::PrinterStatus& status);

// The text of the box shown once per reading without a status record.
inline constexpr char kNoStatusText[] = "RXAPI GET STATUS ERROR!!";

}  // namespace kalimu::pages
