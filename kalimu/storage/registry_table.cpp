// The table of numbered stored values.
#include "kalimu/storage/registry_table.h"

#include <array>

namespace kalimu::storage {
namespace {

constexpr DWORD kSz = kStringValueBytes;

constexpr RegistryValueRow kRows[] = {
    {101, 0, false, "RX_TIME", REG_BINARY, 16},
    {102, 0, false, "RX_STATUS", REG_BINARY, 256},
    {103, 1, false, "TempFilePath", REG_SZ, kSz},
    {104, 0, false, "RX_HTARVIKOPTION", REG_BINARY, 2},
    {105, 1, false, "KVFilesPath", REG_SZ, kSz},
    {106, 20, false, "Flag", REG_DWORD, 4},
    {107, 1, false, "PMFlag", REG_DWORD, 4},
    {108, 0, false, "INKINF", REG_BINARY, 32},
    {109, 0, false, "INKCHECK", REG_DWORD, 4},
    {110, 0, false, "RXPaperFlag", REG_DWORD, 4},
    {111, 1, false, "PaperCheck", REG_DWORD, 4},
    {112, 0, false, "RX_PRNSTATUS", REG_BINARY, 20},
    {113, 0, false, "RX_FLAG", REG_BINARY, 4},
    {114, 1, false, "TempFilePath", REG_SZ, kSz},
    {115, 0, false, "CUTTERINFO", REG_DWORD, 4},
    {116, 0, false, "RX_HEADID", REG_BINARY, 112},
    {120, 1, true, "MESDLG_FLAG", REG_DWORD, 4},
    {121, 1, false, "PLATENINF", REG_DWORD, 4},
    {125, 1, false, "TempFilePathUser", REG_SZ, kSz},
    {126, 1, false, "ZPCParamFile", REG_SZ, kSz},
    {127, 1, false, "Silent", REG_DWORD, 4},
    {128, 0, false, "RX_STACKER", REG_DWORD, 4},
    {129, 0, false, "RX_PGPOS", REG_DWORD, 4},
    {130, 0, false, "RX_OVTEMP", REG_DWORD, 4},
    {131, 0, false, "KV_BININFO", REG_DWORD, 4},
    {132, 23, false, "KeyFile", REG_SZ, kSz},
    {133, 24, false, "TSupportURL", REG_SZ, kSz},
    {134, 0, false, "KV_INKLEVEL", REG_DWORD, 4},
    {135, 6, false, "Path", REG_SZ, kSz},
    {136, 8, false, "Path", REG_SZ, kSz},
    {137, 9, false, "Path", REG_SZ, kSz},
    {138, 10, false, "Path", REG_SZ, kSz},
    {139, 10, false, "AllowMonitoring", REG_DWORD, 4},
    {140, 11, false, nullptr, REG_SZ, kSz},
    {141, 12, false, "DevIDNoChkTime", REG_DWORD, 4},
    {142, 13, false, "StatusNoChkTime", REG_DWORD, 4},
    {143, 14, false, "SS_RXRcvCmdTimeOut", REG_DWORD, 4},
    {144, 15, false, "LPTSA", REG_SZ, kSz},
    {145, 16, false, nullptr, REG_SZ, kSz},
    {146, 0, false, "KVIWF_INFO", REG_BINARY, 8},
    {147, 0, false, "KVHT_INFO", REG_BINARY, 8},
    {150, 0, false, "KVRT_INFO", REG_DWORD, 4},
    {151, 1, false, "STMSetting", REG_DWORD, 4},
    {156, 0, false, "HPIInfo", REG_DWORD, 4},
    {157, 0, false, "HighPrecisionID", REG_BINARY, 0},
    {158, 0, false, "CRIInfo", REG_DWORD, 4},
    {159, 0, false, "SerialNo", REG_SZ, kSz},
    {160, 26, false, "Flag", REG_DWORD, 4},
    {161, 26, false, "CalFN", REG_SZ, kSz},
    {162, 0, false, "PaperRemain", REG_DWORD, 4},
    {256, 27, false, "InstallPath", REG_SZ, kSz},
    {257, 27, false, "EXE", REG_SZ, kSz},
    {258, 28, true, "Personal", REG_SZ, kSz},
    {259, 0, false, "BRSInfo", REG_DWORD, 4},
    {260, 29, false, "BRSResult", REG_DWORD, 4},
    {261, 29, false, "BRSFileName", REG_SZ, kSz},
    {262, 29, false, "BRSExtractFileName", REG_SZ, kSz},
    {263, 0, false, "PPCK", REG_DWORD, 4},
    // The caller's key, name, type and size.
    {100, 100, false, nullptr, REG_NONE, 0},
};

// Rows of ids 0-30: the unnamed value of the key of kind = id.
constexpr std::array<RegistryValueRow, 31> MakeKindRows() {
  std::array<RegistryValueRow, 31> rows{};
  for (int kind = 0; kind < 31; ++kind) {
    rows[kind] = {kind == 21 ? -1 : kind, kind, kind == 2, nullptr, REG_SZ, kSz};
  }
  return rows;
}
constexpr std::array<RegistryValueRow, 31> kKindRows = MakeKindRows();

}  // namespace

const RegistryValueRow* FindRegistryValueRow(int id) {
  if (id >= 0 && id <= 30) return id == 21 ? nullptr : &kKindRows[id];
  for (const RegistryValueRow& row : kRows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

}  // namespace kalimu::storage
