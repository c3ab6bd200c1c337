// Publication of the printer's pre-print state: a reply fetched directly through the
// status-monitor library is copied into the printer's stored values, which the rendering
// library, the pages and later jobs read.
#pragma once

#include <cstdint>

#include "kalimu/status/printer_status.h"

namespace kalimu::model {
class ModelCapabilities;
}

namespace kalimu::status {

// The stored printer-status record ("RX_PRNSTATUS"); the publication fills its word at byte 16.
struct PrinterStatusRecord {
  uint8_t reserved0[16];
  uint32_t mkiwt_status;
};
static_assert(sizeof(PrinterStatusRecord) == 20);

// What the publication needs of the job's settings: the model (with its locator and registry
// set up for the printer) and the paper source in use.
struct PublicationTarget {
  model::ModelCapabilities* model;
  int16_t paper_source_index;
};

// 1 when a reply was obtained and published, 0 otherwise.
int StoreStatusReadings(const PublicationTarget& target, HeadInfoRecord* head,
                        PrinterStatusRecord* printer_status);
// Stores the HPI block, the serial text, the paper-remain warning and the source conflict; 1.
int StoreDeviceInformation(PrinterStatus& status, const PublicationTarget& target);
int CheckMkiwtStatus(const PrinterStatus& status, const PublicationTarget& target);
// 0 no conflict, 1 the printer feeds from the path the job does not use, 2 the other way round.
int GetSourceStatusConflict(const PrinterStatus* status, const PublicationTarget* target);

}  // namespace kalimu::status
