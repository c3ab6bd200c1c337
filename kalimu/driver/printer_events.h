// The spooler's printer events: a printer created (initialised) or connected. The printer is
// initialised, the driver data file's printer data copied into it, the status monitor installed
// through the maker's installer (a library or the same installer as a program), and the
// package's stamp and setup programs started.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kalimu::settings {
class JobSettings;
}

namespace kalimu::driver {

inline constexpr char kPrinterDriverDataSection[] = "PrinterDriverData";
inline constexpr DWORD kSectionBytes = 32768;
inline constexpr DWORD kSectionTooLong = kSectionBytes - 2;  // GetPrivateProfileSectionA's answer then
inline constexpr size_t kPrinterDataTextChars = 259;         // a name or a value, without terminator
inline constexpr char kSectionTooLongText[] = "The size of a section exceeded 32KByte(s).";
inline constexpr char kVifReadErrorCaption[] = "VIF Read Error";
inline constexpr size_t kInstallerCommandBytes = 260;
inline constexpr size_t kQuotedPrinterBytes = 100;  // "\"name\" /s"
inline constexpr DWORD kInstallerWaitMs = 300000;

// The installer library's functions (ANSI text arguments; their results are not used).
inline constexpr char kInstallExFunction[] = "PrInstallOstrelEx";
inline constexpr char kInstallFunction[] = "PrInstallOstrel";
inline constexpr char kUninstallFunction[] = "PrUnInstallOstrel";
using InstallExFunction = int(WINAPI*)(const char* data_file, const char* printer_name);
using InstallFunction = int(WINAPI*)(const char* data_file);
using UninstallFunction = int(WINAPI*)(const char* driver_name);

// Install modes of the driver information's "RXAPIX".
enum class InstallMode { kLibrary, kProgram, kNone };
// "4" the program, "3" the library; an unreadable (empty) text is the library for the printer
// events (unreadable_is_library) and nothing for the driver events.
InstallMode ParseInstallMode(const char* text, bool unreadable_is_library);

// The installer program's command lines; 0 (out empty) when a part is missing or the line
// does not fit size.
int FormatConnectionCommand(char* out, size_t size, const char* installer, const char* data, const char* printer);
int FormatInstallCommand(char* out, size_t size, const char* installer, const char* data);
int FormatRemovalCommand(char* out, size_t size, const char* installer, const char* driver_name);

// Copies section "PrinterDriverData" of the driver data file into the printer's data, each
// entry split at its first "=". Answers whether the data file was found (0 also when the
// printer cannot be opened).
int ImportPrinterDriverData(const wchar_t* printer_name, settings::JobSettings* settings);
int InstallStatusMonitor(HANDLE printer, settings::JobSettings* settings);
int RunConnectionInstaller(HANDLE printer, settings::JobSettings* settings);
// The "ExeNameI" entry (out of size bytes); 1 when the driver information can be read and
// the entry gives a path.
int GetStampProgramEntry(HANDLE printer, char* out, size_t size, settings::JobSettings* settings);
// Start the "Stamp:" and "Setup:" programs of the entry hidden; 1 when started.
int StartStampProgram(HANDLE printer, const char* entry, size_t size, settings::JobSettings* settings);
int StartSetupProgram(HANDLE printer, const char* entry, size_t size, settings::JobSettings* settings);

}  // namespace kalimu::driver
