// The device mode a test printer keeps (PRINTER_INFO_2 of the spooler): store one, read it back.
// A fresh test printer holds the spooler's own public record (220 bytes, no private part),
// because its stand-in configuration module has no device mode of its own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testkit {

// Stores record as the printer's device mode (SetPrinterW level 2, security left as it is); the
// record's dmSize + dmDriverExtra say how many bytes the spooler keeps.
bool StorePrinterDevMode(HANDLE printer, const void* record);

// The stored device mode as the spooler hands it out (dmSize + dmDriverExtra bytes); empty
// when there is none.
std::vector<uint8_t> ReadStoredDevMode(HANDLE printer);

// The record with every character after the terminators of dmDeviceName and dmFormName cleared:
// the spooler hands back bytes there that were never stored, so records compare with the names
// as strings.
std::vector<uint8_t> WithNamesAsStrings(std::vector<uint8_t> record);

}  // namespace testkit
