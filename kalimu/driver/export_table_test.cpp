// The DLL's export table read from its own export directory: every entry point at its fixed
// ordinal, nothing else. What each entry point does is checked beside its own code.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "kalimu/driver/driver_ui_types.h"

namespace kalimu::driver {
namespace {

const std::map<std::string, WORD> kExportTable = {
    {"CreateStruct", 100},
    {"DestroyStruct", 101},
    {"CreateMelvoInfo", 102},
    {"DestroyMelvoInfo", 103},
    {"DRVUIGetInkSet", 104},
    {"DRVUIGetJobDataEx2", 105},
    {"DRVUIGetPrePrintStatus", 106},
    {"DRVUIGetUIData2", 107},
    {"DllInitialize", 108},
    {"DrvAdvancedDocumentProperties", 109},
    {"DrvDocumentProperties", 110},
    {"DevQueryPrintEx", 111},
    {"DrvConvertDevMode", 112},
    {"DrvDeviceCapabilities", 113},
    {"DrvDevicePropertySheets", 114},
    {"DrvDocumentEvent", 115},
    {"DrvDocumentPropertySheets", 116},
    {"DrvDriverEvent", 117},
    {"DrvPrinterEvent", 118},
    {"DrvQueryColorProfile", 119},
    {"DrvQueryJobAttributes", 120},
    {"DrvUpgradePrinter", 121},
    {"PrinterProperties", 122},
};

class KalimuDll : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadLibraryA("Kalimu.dll");
    ASSERT_NE(dll_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (dll_ != nullptr) FreeLibrary(dll_);
  }
  template <class Proc>
  Proc Get(const char* name) {
    return reinterpret_cast<Proc>(GetProcAddress(dll_, name));
  }

  HMODULE dll_ = nullptr;
};

TEST_F(KalimuDll, ExportDirectoryHoldsEveryEntryPointAtItsOrdinal) {
  const auto* base = reinterpret_cast<const uint8_t*>(dll_);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(entry.VirtualAddress, 0u);
  const auto* dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
  EXPECT_STREQ(reinterpret_cast<const char*>(base + dir->Name), "Kalimu.dll");

  const auto* names = reinterpret_cast<const DWORD*>(base + dir->AddressOfNames);
  const auto* name_ordinals = reinterpret_cast<const WORD*>(base + dir->AddressOfNameOrdinals);
  const auto* functions = reinterpret_cast<const DWORD*>(base + dir->AddressOfFunctions);
  std::map<std::string, WORD> found;
  for (DWORD i = 0; i < dir->NumberOfNames; ++i) {
    const std::string name = reinterpret_cast<const char*>(base + names[i]);
    found[name] = static_cast<WORD>(dir->Base + name_ordinals[i]);
    EXPECT_NE(functions[name_ordinals[i]], 0u) << name;
  }
  EXPECT_EQ(found, kExportTable);
  // No export by ordinal alone.
  DWORD used = 0;
  for (DWORD i = 0; i < dir->NumberOfFunctions; ++i) used += functions[i] != 0;
  EXPECT_EQ(used, kExportTable.size());

  for (const auto& [name, ordinal] : kExportTable) {
    EXPECT_EQ(GetProcAddress(dll_, name.c_str()), GetProcAddress(dll_, MAKEINTRESOURCEA(ordinal))) << name;
  }
}

}  // namespace
}  // namespace kalimu::driver
