// The printer adjustment values as stored: the head adjustment record (value "RX_HEADID"), the
// IWF and HT counted records and the RT value, read and written through the job's settings.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kalimu/dialogs/printer_adjust_rules.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/status/printer_status.h"

namespace kalimu::dialogs {

// The 112-byte head adjustment record: marker 1, channel count, row 1 at byte 8, the printer's
// cartridge and paper-path readings at 48-63, row 2 at byte 72.
using HeadAdjustRecord = status::HeadInfoRecord;

// What the model gives the dialog.
struct AdjustShape {
  AdjustCounts counts;
  bool second_row = false;     // header word 36, 0x4000
  bool channel_check = false;  // header word 36, 0x100
  bool iwf = false;            // header word 40, 1
  bool ht = false;             // header word 40, 2
  bool rt = false;             // header word 24, 0x4000
  bool no_adjustment = false;  // header word 24, 0x80
};
AdjustShape AskAdjustShape(settings::JobSettings& settings);

// The default record (marker 1, count n, 50 for each channel of each row) laid over `read`, or
// over zero bytes when nothing was read. A record that was read keeps its bytes 48-63: they are
// the printer's readings, not adjustment values.
void MakeDefaultAdjustRecord(const AdjustShape& shape, const HeadAdjustRecord* read, HeadAdjustRecord* out);

// Value 116, read from the default view; 1 when a whole record was read.
int ReadAdjustRecord(settings::JobSettings& settings, HeadAdjustRecord* out);
// Written into both views.
int WriteAdjustRecord(settings::JobSettings& settings, const HeadAdjustRecord& record);
// The stored record, or the default one written now when none is stored (or its marker and
// count are both 0).
void LoadAdjustRecord(settings::JobSettings& settings, const AdjustShape& shape, HeadAdjustRecord* out);

// The texts of the value fields as the dialog holds them.
struct AdjustFieldTexts {
  char row1[kAdjustChannelFields][4] = {};
  char row2[kAdjustChannelFields][4] = {};
  char iwf[kAdjustGroupFields][4] = {};
  char ht[kAdjustGroupFields][4] = {};
  char rt[4] = {};
};

// Stores the field values: record 116, IWF, HT, RT, in that order. 1 when all were stored; 0 with
// the failing limit (99 or 255) in *limit, what was written before the failure staying written.
int SaveAdjustValues(settings::JobSettings& settings, const AdjustShape& shape, const AdjustFieldTexts& texts,
                     uint32_t* limit);

// The cutter switch (value "CUTTERINFO", 1 present, 0 absent): 1 with *present when stored.
int ReadCutterSetting(settings::JobSettings& settings, bool* present);
// Writes the switch into both views; without a cutter the job's cut options 1 and 2 go off.
void SaveCutterSetting(settings::JobSettings& settings, bool present);

}  // namespace kalimu::dialogs
