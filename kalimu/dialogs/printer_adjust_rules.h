// The printer adjustment dialog's rules that need no window: which road the values come by, the
// field checks, and the bounds that model bytes and stored records are held to. Plain
// computation: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kalimu::dialogs {

// Field counts of the dialog's template.
inline constexpr uint32_t kAdjustChannelFields = 8;
inline constexpr uint32_t kAdjustGroupFields = 4;     // IWF and HT groups
inline constexpr uint32_t kCountedRecordValues = 7;   // value bytes of an 8-byte counted record
inline constexpr uint32_t kAdjustFieldDefault = 50;   // channel and IWF values when none is stored
inline constexpr uint32_t kTwoDigitLimit = 99;
inline constexpr uint32_t kByteLimit = 255;
// How long a pending refresh is waited for before the stored values are shown.
inline constexpr uint32_t kAdjustWaitMilliseconds = 30000;

// The model's counts, held to what the template has fields for.
struct AdjustCounts {
  uint32_t channels = 0;  // channel fields of each row, 0-8
  uint32_t iwf = 0;       // IWF fields, 0-4
  uint32_t ht = 0;        // HT fields, 0-4
};
AdjustCounts ClampAdjustCounts(uint32_t channels, uint32_t iwf, uint32_t ht);

// Values of a counted record (count byte, then 7 value bytes) that fill `fields` fields.
uint32_t ShownCountedValues(const uint8_t record[8], uint32_t fields);

// Where the dialog's values come from.
enum class AdjustRoad { kWait, kPrinter, kStore, kStop };

// At opening. printer_talk: the device mode allows talking to the printer; refresh: the status
// object's refresh answer (0 a fresh reply was loaded, 1 a refresh is pending, 2 the helper
// could not be started). Only one refresh is ever asked for.
AdjustRoad DecideAdjustOpening(bool printer_talk, int refresh);
// At a timer tick: request flag 2 a reply is stored, 1 none will come, 0 still pending (waited
// for at most kAdjustWaitMilliseconds); any other value stops polling.
AdjustRoad DecideAdjustTick(int32_t request_flag, uint32_t milliseconds_waited);

// Field checks: one or two digits below 100; one to three digits below 256.
bool IsValidTwoDigitField(const char* text);
bool IsValidByteField(const char* text);

}  // namespace kalimu::dialogs
