// Header stamping, the driver-name cut form and the acceptance checks of DriverDevMode.
#include "kalimu/settings/driver_dev_mode.h"

#include <cstring>
#include <string>
#include <string_view>

namespace kalimu::settings {
namespace {

// Offset just past dmDriverExtra: the least a record must hold to show its header.
constexpr size_t kHeaderEnd = offsetof(DEVMODEW, dmDriverExtra) + sizeof(WORD);

// The text of a fixed ANSI field up to its terminator; empty-and-invalid when it has none.
std::string_view FieldText(const char (&field)[kDriverNameBytes], bool* terminated) {
  const size_t length = strnlen(field, kDriverNameBytes);
  *terminated = length < kDriverNameBytes;
  return std::string_view(field, length);
}

bool HasDriverHeader(const DEVMODEW& header) {
  return header.dmSpecVersion == kDevModeSpecVersion &&
         header.dmDriverVersion == kDevModeDriverVersion;
}

}  // namespace

void StampDevModeHeader(DriverDevMode& record) {
  record.Public.dmSpecVersion = kDevModeSpecVersion;
  record.Public.dmDriverVersion = kDevModeDriverVersion;
  record.Public.dmSize = kDevModePublicSize;
  record.Public.dmDriverExtra = kDevModePrivateSize;
  record.PrivateVersion = kDevModePrivateVersion;
  record.PrivateTrailer = kDevModePrivateVersion;
}

void CutAnsiText(const char* text, char* field, size_t field_bytes, size_t max_bytes,
                 UINT code_page) {
  if (field == nullptr || field_bytes == 0) return;
  if (max_bytes >= field_bytes) max_bytes = field_bytes - 1;
  size_t length = 0;
  if (text != nullptr) {
    while (length < max_bytes && text[length] != '\0') {
      const bool lead = IsDBCSLeadByteEx(code_page, static_cast<BYTE>(text[length])) != 0;
      const size_t width = lead && text[length + 1] != '\0' ? 2 : 1;
      if (length + width > max_bytes) break;  // keep a double-byte character whole
      length += width;
    }
    std::memcpy(field, text, length);
  }
  std::memset(field + length, 0, field_bytes - length);
}

void CutDriverName(const char* name, char (&field)[kDriverNameBytes], UINT code_page) {
  CutAnsiText(name, field, kDriverNameBytes, kDriverNameBytes - 1, code_page);
}

bool AcceptsStoredDevMode(const void* record, size_t available_bytes, const wchar_t* driver_name) {
  if (record == nullptr || driver_name == nullptr || available_bytes < kHeaderEnd) return false;
  DEVMODEW header{};
  std::memcpy(&header, record, kHeaderEnd);
  if (!HasDriverHeader(header) || header.dmSize != kDevModePublicSize ||
      header.dmDriverExtra != kDevModePrivateSize || available_bytes < kDevModeSize) {
    return false;
  }

  // The printer's driver name in the form it is written into DriverName: converted to the
  // system code page and cut to 31 bytes. A name of 32 bytes or more would otherwise never
  // match its own stored record.
  const int needed = WideCharToMultiByte(CP_ACP, 0, driver_name, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return false;
  std::string ansi(static_cast<size_t>(needed), '\0');
  if (WideCharToMultiByte(CP_ACP, 0, driver_name, -1, ansi.data(), needed, nullptr, nullptr) <= 0) {
    return false;
  }
  char expected[kDriverNameBytes];
  CutDriverName(ansi.c_str(), expected);

  const auto& stored = *static_cast<const DriverDevMode*>(record);
  bool stored_terminated = false;
  bool expected_terminated = false;
  const bool same_name =
      FieldText(stored.DriverName, &stored_terminated) == FieldText(expected, &expected_terminated);
  return same_name && stored_terminated;
}

bool AcceptsIncomingPrivatePart(const DriverDevMode& own, const void* incoming,
                                size_t available_bytes) {
  if (incoming == nullptr || available_bytes < kHeaderEnd) return false;
  DEVMODEW header{};
  std::memcpy(&header, incoming, kHeaderEnd);
  if (!HasDriverHeader(header) || header.dmSize != own.Public.dmSize ||
      header.dmDriverExtra != own.Public.dmDriverExtra) {
    return false;
  }
  // The record must really hold what its header declares, and at least the private fields
  // compared below.
  const size_t declared = size_t{header.dmSize} + header.dmDriverExtra;
  if (declared < kDevModeSize || available_bytes < declared) return false;

  const auto& other = *static_cast<const DriverDevMode*>(incoming);
  bool own_terminated = false;
  bool other_terminated = false;
  const bool same_name = FieldText(own.DriverName, &own_terminated) ==
                             FieldText(other.DriverName, &other_terminated) &&
                         own_terminated && other_terminated;
  return same_name && other.PrivateVersion == own.PrivateVersion &&
         other.PrivateTrailer == own.PrivateTrailer;
}

}  // namespace kalimu::settings
