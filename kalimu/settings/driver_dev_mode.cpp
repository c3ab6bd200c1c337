// Header stamping, the driver-name cut form and the acceptance checks of DriverDevMode.
#include "kalimu/settings/driver_dev_mode.h"

#include <cstring>
#include <string>
#include <string_view>

#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"

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

void CutDriverName(const char* name, char (&field)[kDriverNameBytes], UINT code_page) {
  platform::CutAnsiText(name, field, kDriverNameBytes, kDriverNameBytes - 1, code_page);
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
  const auto ansi = platform::AnsiFromWide(driver_name);
  if (!ansi) return false;
  char expected[kDriverNameBytes];
  CutDriverName(ansi->c_str(), expected);

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
