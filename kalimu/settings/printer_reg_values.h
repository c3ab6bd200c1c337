// Plain functions over a settings object for callers that want a 1/0 answer from the registry
// store, and two small helpers of stored values and names.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kalimu::settings {

class JobSettings;

// Each answers 0 at once for a null settings object, and 1 when the registry call succeeded.
// A view other than 1 or 2 becomes the default view (reads) or both views (writes, deletes).
int WritePrinterRegValue(JobSettings* settings, const char* sub_key, const char* value_name, int id, DWORD type,
                         const void* data, DWORD size, int view);
int ReadPrinterRegValue(JobSettings* settings, const char* sub_key, const char* value_name, int id, void* data,
                        DWORD* size, int view);
int DeletePrinterRegValue(JobSettings* settings, const char* sub_key, const char* value_name, int id, int view);
int WritePrinterRegValueById(JobSettings* settings, int id, const void* data, DWORD size, int view);
int ReadPrinterRegValueById(JobSettings* settings, int id, void* data, DWORD* size, int view);
// These two answer the settings object's result unchanged.
int CheckPrinterRegKeyAccess(JobSettings* settings, const char* key_path, int view);
int EnsurePrinterRegRootKey(JobSettings* settings, int view);

// The support-tool location: the 32-bit view first, then the 64-bit view. 1 "KeyFile" found,
// 2 "TSupportURL" found, 0 neither.
int ReadSupportKeyValue(JobSettings* settings, char* out, size_t size);

// With model header word 24 bit 0x200000: keeps only bit 0 of the stored "BRSInfo" unless its
// bit 31 is set.
void NormalizeBrsInfo(JobSettings* settings);

// The printer name as a registry key name: every backslash becomes a comma.
void MakeRegistryPrinterName(const char* name, char* out, size_t size);

// The resource string of media name value n.
constexpr int32_t GetMediaNameStringId(int32_t n) { return n >= 100 ? n + 4700 : n + 1100; }

}  // namespace kalimu::settings
