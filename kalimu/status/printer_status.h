// The printer-status object: the printer's last status reply, read either from the reply a
// refresh helper program stored in the printer's registry key, or directly from the printer
// module that the status-monitor library names.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "kalimu/model/cfg_records.h"
#include "kalimu/storage/driver_module_locator.h"
#include "kalimu/storage/driver_registry.h"
#include "kalimu/platform/global_block.h"
#include "kalimu/status/status_reading.h"
#include "kalimu/status/status_reply.h"

namespace kalimu::model {
class ModelCapabilities;
}

namespace kalimu::status {

// Request flag (stored value "RX_FLAG").
enum RequestFlag : int32_t {
  kRequestNone = -1,     // no refresh was ever requested (value absent)
  kRequestPending = 0,
  kRequestNoReply = 1,
  kRequestReplyStored = 2,
};

// RefreshStatus answers.
enum RefreshResult : uint16_t {
  kRefreshLoaded = 0,
  kRefreshPending = 1,
  kRefreshNotStarted = 2,
};

// Minutes for which a stored reply counts as fresh.
inline constexpr uint16_t kFreshReplyMinutes = 3;
// The stored reply is read up to this size.
inline constexpr DWORD kStoredReplyMax = 256;

// 1 when a reply taken at `stored` is less than `limit` minutes old at `now` (same day; the same
// or the next hour).
int IsReplyTimeFresh(const SYSTEMTIME& stored, const SYSTEMTIME& now, uint16_t limit);

// Ink-set record of the reply's ink codes (the layout of the stored ink set).
struct InkCodeRecord {
  uint32_t valid;
  uint32_t count;
  uint8_t codes[24];
};
static_assert(sizeof(InkCodeRecord) == 32);

// Head-information record (stored value "RX_HEADID"); the status object fills its ink part.
struct HeadInfoRecord {
  uint32_t valid;
  uint32_t ink_count;
  uint32_t first_block[10];
  uint32_t cartridge_flag;
  uint32_t cartridge_value;
  uint32_t paper_path_flag;
  uint32_t paper_path_value;
  uint8_t reserved64[8];
  uint32_t second_block[10];
};
static_assert(sizeof(HeadInfoRecord) == 112);
static_assert(offsetof(HeadInfoRecord, cartridge_flag) == 48);
static_assert(offsetof(HeadInfoRecord, paper_path_flag) == 56);
static_assert(offsetof(HeadInfoRecord, second_block) == 72);

// Low, empty and no-level warnings of every ink, one bit per ink number from 0. The packed
// warning word (GetWarningBits) has room for ten inks only: its empty bit of ink 10 is the
// no-level bit of ink 0, and later inks fall off its top. The ink display reads this form.
inline constexpr size_t kWideWarningInks = 16;  // warning codes 16 to 31; the model's ink positions
struct InkWarnings {
  bool no_status = false;  // the reply had no status record (the packed word's 0x80000000)
  uint32_t low = 0;        // bit i: warning code 16 + i
  uint32_t empty = 0;      // bit i: level 0 while the printer reports the ink-empty error
  uint32_t no_level = 0;   // bit i: level 255 (no level)

  bool IsLow(size_t ink) const { return ink < 32 && (low >> ink & 1) != 0; }
  bool IsEmpty(size_t ink) const { return ink < 32 && (empty >> ink & 1) != 0; }
  bool HasNoLevel(size_t ink) const { return ink < 32 && (no_level >> ink & 1) != 0; }
};
// What a packed warning word tells of inks 0 to 9 (its bits of later inks are ambiguous).
InkWarnings InkWarningsFromWord(uint32_t word);

class PrinterStatus {
 public:
  static constexpr size_t kNameChars = MAX_PATH;

  PrinterStatus(const char* driver_name, const char* printer_name,
                const model::StatusModelInfo& model_info, HANDLE printer);
  ~PrinterStatus() = default;
  PrinterStatus(const PrinterStatus&) = delete;
  PrinterStatus& operator=(const PrinterStatus&) = delete;

  // The stored road.
  int32_t GetRequestFlag() const;
  int IsStoredStatusFresh(uint16_t limit_minutes) const;
  int CreateRequestFile(char* out, size_t size) const;
  int StartStatusRefresh();
  uint16_t RefreshStatus();
  int32_t LoadStoredStatus();

  // The direct road.
  // -1 also when the printer module's path does not fit the buffer.
  int32_t QueryStatusModule(char* out, size_t size);
  int32_t FetchStatusFromModule();

  // Reply parsing: 0 accepted, -1 rejected or no status reply.
  int32_t ParseReply();
  int32_t ParseBinaryReply();
  int32_t ParseTextReply();
  // Makes a copy of the bytes the object's reply; false when memory runs out.
  bool AdoptReply(const uint8_t* bytes, size_t size);

  // Readings of the last parse.
  const uint8_t* GetInkLevels() const;
  const char* GetSbText() const;
  const uint8_t* GetRcData() const;
  const char* GetSerialText() const;
  const uint8_t* GetHpiBlock() const;
  uint32_t GetHpiBlockSize() const;
  int HasWarningCodeZero() const;
  int GetReplyFlag20() const;
  int32_t GetBinInfo() const;
  int32_t GetStackerState() const;
  int32_t GetPgPosState() const;
  int32_t GetOvTempState() const;
  int GetIwfInfo(uint8_t out[8]) const;
  int GetHtInfo(uint8_t out[8]) const;
  const uint8_t* GetChannelValues(uint32_t* count) const;
  const uint8_t* GetChannelValues2(uint32_t* count) const;
  uint32_t GetInkState(uint32_t ink) const;
  uint32_t GetWarningBits() const;
  InkWarnings GetInkWarnings() const;
  static int HasAnyStatusBit(uint32_t word);
  uint32_t GetInkWarningSummary() const;
  void GetInkCodes(InkCodeRecord* out) const;
  int GetInkSet(model::InkInfoValue* out);
  void GetInkSetReport(HeadInfoRecord* out) const;

  StatusReading& reading() { return reading_; }
  const StatusReading& reading() const { return reading_; }
  const char* printer_name() const { return printer_name_; }
  const char* driver_name() const { return driver_name_; }
  const char* driver_directory() const { return driver_directory_; }
  storage::DriverRegistry& registry() { return registry_; }

 private:
  StatusShape Shape() const;
  // Starts the refresh helper hidden on the request file of that name; false when it did not start.
  bool LaunchRefreshHelper(const char* request);
  const uint8_t* reply() const { return reply_.data(); }

  char printer_name_[kNameChars] = {};
  char driver_name_[kNameChars] = {};
  platform::GlobalBlock reply_;  // reply_length_ + 1 bytes, the last one 0
  size_t reply_length_ = 0;
  storage::DriverModuleLocator locator_;
  storage::DriverRegistry registry_;
  model::StatusModelInfo model_info_ = {};
  StatusReading reading_;
  char driver_directory_[kNameChars] = {};
};

// A status object for the printer of a capability database (its locator names printer and
// driver); null when memory runs out. The caller deletes it.
PrinterStatus* CreatePrinterStatus(model::ModelCapabilities& model);

}  // namespace kalimu::status
