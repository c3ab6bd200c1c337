// The pre-print publication of the printer's state into its stored values.
#include "kalimu/status/status_publication.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "kalimu/model/model_capabilities.h"
#include "kalimu/status/stored_readings.h"

namespace kalimu::status {
namespace {

using namespace model;
using namespace storage;  // value ids

// Model header bits that switch the steps.
constexpr uint32_t kH20InkLevel = 0x10000000;
constexpr uint32_t kH20OverTemperature = 0x1000;
constexpr uint32_t kH24Stacker = 0x2;
constexpr uint32_t kH24PagePosition = 0x1002100;
constexpr uint32_t kH24RtInfo = 0x4000;
constexpr uint32_t kH24Hpi = 0x10000;
constexpr uint32_t kH24Serial = 0x20000;
constexpr uint32_t kH24PaperRemain = 0x80000;
constexpr uint32_t kH24Brs = 0x200000;
constexpr uint32_t kH24SourceConflict = 0x4000000;
constexpr uint32_t kH28BinInfo = 0x4;
constexpr uint32_t kH36Mkiwt = 0x1000;
constexpr uint32_t kH40Iwf = 0x1;
constexpr uint32_t kH40Ht = 0x2;

constexpr uint32_t kBrsLocked = 0x80000000;
constexpr uint32_t kBrsSerialStored = 8;
constexpr uint32_t kBrsNoSerial = 4;
constexpr size_t kSerialHexBytes = 10;

// Bit 1 of a presence word says whether the block was stored; bit 0 is kept, the rest cleared.
void StorePresence(const DriverRegistry& registry, int word_id, int block_id, const void* block,
                   DWORD size) {
  int32_t word = ReadStoredNumber(registry, word_id, 0) & 0x3;
  word = block != nullptr ? word | 0x2 : word & ~0x2;
  WriteStoredNumber(registry, word_id, word);
  if (block != nullptr) registry.WriteValueById(block_id, block, size, kViewBoth);
}

bool InkSetChanged(const InkCodeRecord& codes, const DriverRegistry& registry) {
  InkInfoValue stored = {};
  DWORD size = sizeof stored;
  const bool read = registry.ReadValueById(kValueInkInf, &stored, &size, kViewDefault) == ERROR_SUCCESS;
  if (!codes.valid) return false;
  if (read && stored.valid == 1) {
    // The stored count may hold anything: only the codes the record holds are compared.
    const size_t n = std::min<size_t>(stored.ink_id_length, sizeof stored.codes);
    return std::memcmp(stored.codes, codes.codes, n) != 0;
  }
  registry.WriteValueById(kValueInkInf, &codes, sizeof codes, kViewBoth);
  return false;
}

}  // namespace

int StoreStatusReadings(const PublicationTarget& target, HeadInfoRecord* head,
                        PrinterStatusRecord* printer_status) {
  ModelCapabilities& model = *target.model;
  const DriverRegistry& registry = model.registry();
  const bool ink_level = model.TestModelHeaderFlags20(kH20InkLevel);
  if (ink_level) WriteInkLevel(registry, -1);
  std::unique_ptr<PrinterStatus> status(CreatePrinterStatus(model));
  if (status == nullptr) return 0;

  int answer = 0;
  if (status->FetchStatusFromModule() < 1) {
    WriteStoredNumber(registry, kValueInkCheck, 0);
  } else {
    InkCodeRecord codes = {};
    status->GetInkCodes(&codes);
    WriteStoredNumber(registry, kValueInkCheck, InkSetChanged(codes, registry) ? 1 : 0);
    if (ink_level) WriteInkLevel(registry, static_cast<int32_t>(status->GetInkWarningSummary()));
    printer_status->mkiwt_status = static_cast<uint32_t>(CheckMkiwtStatus(*status, target));
    status->GetInkSetReport(head);
    if (model.TestModelHeaderFlags28(kH28BinInfo)) WriteBinInfo(registry, status->GetBinInfo());
    if (model.TestModelHeaderFlags24(kH24Stacker)) WriteStackerState(registry, status->GetStackerState());
    if (model.TestModelHeaderFlags24(kH24PagePosition)) WritePagePosition(registry, status->GetPgPosState());
    if (model.TestModelHeaderFlags20(kH20OverTemperature)) WriteOverTemperature(registry, status->GetOvTempState());
    uint8_t block[8];
    if (model.TestModelHeaderFlags40(kH40Iwf) && status->GetIwfInfo(block) && block[0] != 0) {
      WriteIwfInfo(registry, block);
    }
    if (model.TestModelHeaderFlags40(kH40Ht) && status->GetHtInfo(block) && block[0] != 0) {
      WriteHtInfo(registry, block);
    }
    if (model.TestModelHeaderFlags24(kH24RtInfo)) WriteRtInfo(registry, status->reading().rt.value);
    answer = 1;
  }
  StoreDeviceInformation(*status, target);
  return answer;
}

int StoreDeviceInformation(PrinterStatus& status, const PublicationTarget& target) {
  ModelCapabilities& model = *target.model;
  const DriverRegistry& registry = model.registry();
  if (model.TestModelHeaderFlags24(kH24Hpi)) {
    StorePresence(registry, kValueHpiInfo, kValueHighPrecisionId, status.GetHpiBlock(), status.GetHpiBlockSize());
  }
  const char* serial = status.GetSerialText();
  if (model.TestModelHeaderFlags24(kH24Serial)) {
    StorePresence(registry, kValueCriInfo, kValueSerialNo, serial,
                  serial != nullptr ? static_cast<DWORD>(std::strlen(serial) + 1) : 0);
  }
  if (model.TestModelHeaderFlags24(kH24PaperRemain)) {
    WritePaperRemain(registry, status.HasWarningCodeZero());
  }
  switch (GetSourceStatusConflict(&status, &target)) {
    case 1: WriteStoredNumber(registry, kValuePpck, 0x10000); break;
    case 2: WriteStoredNumber(registry, kValuePpck, 0x20000); break;
    default: break;
  }
  if (model.TestModelHeaderFlags24(kH24Brs)) {
    uint32_t word = static_cast<uint32_t>(ReadStoredNumber(registry, kValueBrsInfo, 0));
    if (word & kBrsLocked) return 1;
    word &= 1;
    if (serial != nullptr) {
      // The first ten bytes of the serial text as 20 upper-case hexadecimal digits.
      static constexpr char kDigits[] = "0123456789ABCDEF";
      uint8_t bytes[kSerialHexBytes] = {};
      std::memcpy(bytes, serial, std::min(std::strlen(serial), kSerialHexBytes));
      char hex[2 * kSerialHexBytes + 1] = {};
      for (size_t i = 0; i < kSerialHexBytes; ++i) {
        hex[2 * i] = kDigits[bytes[i] >> 4];
        hex[2 * i + 1] = kDigits[bytes[i] & 0xF];
      }
      registry.WriteValueById(kValueSerialNo, hex, sizeof hex, kViewBoth);
      word = kBrsSerialStored;
    } else {
      word |= kBrsNoSerial;
    }
    WriteStoredNumber(registry, kValueBrsInfo, static_cast<int32_t>(word));
  }
  return 1;
}

int CheckMkiwtStatus(const PrinterStatus& status, const PublicationTarget& target) {
  ModelCapabilities& model = *target.model;
  if (!model.TestModelHeaderFlags36(kH36Mkiwt)) return 0;
  char data_file[MAX_PATH];
  int mkiwt = 0;
  if (model.locator().GetDriverDataFilePath(data_file, sizeof data_file)) {
    mkiwt = static_cast<int>(GetPrivateProfileIntA(kDriverInfoSection, "MKIWT", 0, data_file));
  }
  if (mkiwt == 1) {
    const ByteValue& value = status.reading().mkiwt;
    return value.present && value.value == 0 ? 0 : 1;
  }
  return status.GetRcData() != nullptr ? 1 : 0;
}

int GetSourceStatusConflict(const PrinterStatus* status, const PublicationTarget* target) {
  if (status == nullptr || target == nullptr || target->model == nullptr) return 0;
  ModelCapabilities& model = *target->model;
  if (!model.TestModelHeaderFlags24(kH24SourceConflict) || !status->reading().paper_path_present) return 0;
  const int16_t source = target->paper_source_index;
  const bool feed = model.TestPaperSourceFlags12(source, 2) || model.TestPaperSourceFlags12(source, 4);
  const bool path = status->reading().paper_path[0] == 2;
  if (!feed) return path ? 1 : 0;
  return path ? 0 : 2;
}

}  // namespace kalimu::status
