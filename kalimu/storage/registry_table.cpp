// The table of numbered stored values.
#include "kalimu/storage/registry_table.h"

#include <array>

#include "kalimu/storage/driver_registry.h"

namespace kalimu::storage {
namespace {

constexpr DWORD kSz = kStringValueBytes;

constexpr RegistryValueRow kRows[] = {
    {kValueRxTime, kKeyPrinter, false, "RX_TIME", REG_BINARY, 16},
    {kValueRxStatus, kKeyPrinter, false, "RX_STATUS", REG_BINARY, 256},
    {kValueTempFilePath, kKeyDriver, false, "TempFilePath", REG_SZ, kSz},
    {kValueRxHtarvikOption, kKeyPrinter, false, "RX_HTARVIKOPTION", REG_BINARY, 2},
    {kValueKvFilesPath, kKeyDriver, false, "KVFilesPath", REG_SZ, kSz},
    {kValueCalibrationFlag, kKeyColourCalibration, false, "Flag", REG_DWORD, 4},
    {kValuePmFlag, kKeyDriver, false, "PMFlag", REG_DWORD, 4},
    {kValueInkInf, kKeyPrinter, false, "INKINF", REG_BINARY, 32},
    {kValueInkCheck, kKeyPrinter, false, "INKCHECK", REG_DWORD, 4},
    {kValueRxPaperFlag, kKeyPrinter, false, "RXPaperFlag", REG_DWORD, 4},
    {kValuePaperCheck, kKeyDriver, false, "PaperCheck", REG_DWORD, 4},
    {kValueRxPrnStatus, kKeyPrinter, false, "RX_PRNSTATUS", REG_BINARY, 20},
    {kValueRxFlag, kKeyPrinter, false, "RX_FLAG", REG_BINARY, 4},
    {kValueTempFilePath2, kKeyDriver, false, "TempFilePath", REG_SZ, kSz},
    {kValueCutterInfo, kKeyPrinter, false, "CUTTERINFO", REG_DWORD, 4},
    {kValueRxHeadId, kKeyPrinter, false, "RX_HEADID", REG_BINARY, 112},
    {kValueMesDlgFlag, kKeyDriver, true, "MESDLG_FLAG", REG_DWORD, 4},
    {kValuePlatenInf, kKeyDriver, false, "PLATENINF", REG_DWORD, 4},
    {kValueTempFilePathUser, kKeyDriver, false, "TempFilePathUser", REG_SZ, kSz},
    {kValueZpcParamFile, kKeyDriver, false, "ZPCParamFile", REG_SZ, kSz},
    {kValueSilent, kKeyDriver, false, "Silent", REG_DWORD, 4},
    {kValueRxStacker, kKeyPrinter, false, "RX_STACKER", REG_DWORD, 4},
    {kValueRxPgPos, kKeyPrinter, false, "RX_PGPOS", REG_DWORD, 4},
    {kValueRxOvTemp, kKeyPrinter, false, "RX_OVTEMP", REG_DWORD, 4},
    {kValueKvBinInfo, kKeyPrinter, false, "KV_BININFO", REG_DWORD, 4},
    {kValueKeyFile, kKeyPsolver, false, "KeyFile", REG_SZ, kSz},
    {kValueTSupportUrl, kKeyTsUrl, false, "TSupportURL", REG_SZ, kSz},
    {kValueKvInkLevel, kKeyPrinter, false, "KV_INKLEVEL", REG_DWORD, 4},
    {kValueMonRxApiPath, kKeyMonRxApi, false, "Path", REG_SZ, kSz},
    {kValueMonLptPath, kKeyMonLpt, false, "Path", REG_SZ, kSz},
    {kValueMonSharePath, kKeyMonShare, false, "Path", REG_SZ, kSz},
    {kValueMonSAgentPath, kKeyMonSAgent, false, "Path", REG_SZ, kSz},
    {kValueAllowMonitoring, kKeyMonSAgent, false, "AllowMonitoring", REG_DWORD, 4},
    {kValueMonProfile, kKeyMonProfile, false, nullptr, REG_SZ, kSz},
    {kValueDevIdNoChkTime, kKeyMonLptEnv, false, "DevIDNoChkTime", REG_DWORD, 4},
    {kValueStatusNoChkTime, kKeyMonShareEnv, false, "StatusNoChkTime", REG_DWORD, 4},
    {kValueRxRcvCmdTimeOut, kKeyMonSAgentEnv, false, "SS_RXRcvCmdTimeOut", REG_DWORD, 4},
    {kValueLptSa, kKeyProviderLpt, false, "LPTSA", REG_SZ, kSz},
    {kValueSaProfile, kKeySaProfile, false, nullptr, REG_SZ, kSz},
    {kValueKvIwfInfo, kKeyPrinter, false, "KVIWF_INFO", REG_BINARY, 8},
    {kValueKvHtInfo, kKeyPrinter, false, "KVHT_INFO", REG_BINARY, 8},
    {kValueKvRtInfo, kKeyPrinter, false, "KVRT_INFO", REG_DWORD, 4},
    {kValueStmSetting, kKeyDriver, false, "STMSetting", REG_DWORD, 4},
    {kValueHpiInfo, kKeyPrinter, false, "HPIInfo", REG_DWORD, 4},
    {kValueHighPrecisionId, kKeyPrinter, false, "HighPrecisionID", REG_BINARY, 0},
    {kValueCriInfo, kKeyPrinter, false, "CRIInfo", REG_DWORD, 4},
    {kValueSerialNo, kKeyPrinter, false, "SerialNo", REG_SZ, kSz},
    {kValueYantraFlag, kKeyYantra, false, "Flag", REG_DWORD, 4},
    {kValueCalFn, kKeyYantra, false, "CalFN", REG_SZ, kSz},
    {kValuePaperRemain, kKeyPrinter, false, "PaperRemain", REG_DWORD, 4},
    {kValueInstallPath, kKeyDravon, false, "InstallPath", REG_SZ, kSz},
    {kValueExe, kKeyDravon, false, "EXE", REG_SZ, kSz},
    {kValuePersonal, kKeyUserShellFolders, true, "Personal", REG_SZ, kSz},
    {kValueBrsInfo, kKeyPrinter, false, "BRSInfo", REG_DWORD, 4},
    {kValueBrsResult, kKeyDriverSub, false, "BRSResult", REG_DWORD, 4},
    {kValueBrsFileName, kKeyDriverSub, false, "BRSFileName", REG_SZ, kSz},
    {kValueBrsExtractFileName, kKeyDriverSub, false, "BRSExtractFileName", REG_SZ, kSz},
    {kValuePpck, kKeyPrinter, false, "PPCK", REG_DWORD, 4},
    // The caller's key, name, type and size.
    {kValueCaller, kKeyCaller, false, nullptr, REG_NONE, 0},
};

// Rows of ids 0-30: the unnamed value of the key of kind = id (none for kKeyNone).
constexpr int kKindRowCount = kLastKindValueId + 1;
constexpr std::array<RegistryValueRow, kKindRowCount> MakeKindRows() {
  std::array<RegistryValueRow, kKindRowCount> rows{};
  for (int kind = 0; kind < kKindRowCount; ++kind) {
    rows[kind] = {kind == kKeyNone ? -1 : kind, kind, kind == kKeyDriverUser, nullptr, REG_SZ,
                  kSz};
  }
  return rows;
}
constexpr std::array<RegistryValueRow, kKindRowCount> kKindRows = MakeKindRows();

}  // namespace

const RegistryValueRow* FindRegistryValueRow(int id) {
  if (id >= 0 && id <= kLastKindValueId) return id == kKeyNone ? nullptr : &kKindRows[id];
  for (const RegistryValueRow& row : kRows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

}  // namespace kalimu::storage
