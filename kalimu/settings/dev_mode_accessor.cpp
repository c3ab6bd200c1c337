// DevModeAccessor operations that are not generated from the field rows: whole-record copies,
// allocation, the fields of their own shape and the text stores.
#include "kalimu/settings/dev_mode_accessor.h"

#include <cwchar>

#include "kalimu/platform/global_block.h"
#include "kalimu/platform/text_conversion.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::settings {
namespace {

constexpr size_t kDeviceNameChars = CCHDEVICENAME;  // dmDeviceName and dmFormName: 32 units
constexpr size_t kModelIdBytes = sizeof(DriverDevMode::ModelId);

// A UTF-16 field of the public part in the system code page, bounded to size bytes.
int WideFieldToAnsi(const wchar_t* field, char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  const auto converted = platform::AnsiFromWide({field, wcsnlen(field, kDeviceNameChars)});
  if (!converted) {
    buffer[0] = '\0';
    return 0;
  }
  platform::CutAnsiText(converted->c_str(), buffer, size, size - 1);
  return std::strlen(converted->c_str()) < size ? 1 : 0;
}

}  // namespace

void DevModeAccessor::SetDriverDevMode(const void* record) {
  if (record != nullptr) std::memmove(Bytes(), record, kDevModeSize);
}

void DevModeAccessor::SetPublicDevMode(const void* record) {
  if (record != nullptr) std::memmove(Bytes(), record, kDevModePublicSize);
}

int DevModeAccessor::AllocDevMode() {
  // The record outlives the accessor: its owner frees it with FreeDevMode.
  platform::GlobalBlock block;
  void* record = block.Allocate(kDevModeSize) ? block.Release() : nullptr;
  dev_mode_ = static_cast<DEVMODEW*>(record);
  driver_dev_mode_ = static_cast<DriverDevMode*>(record);
  return record != nullptr ? 1 : 0;
}

int DevModeAccessor::FreeDevMode() {
  if (!platform::GlobalBlock::FreeLocked(driver_dev_mode_)) return 0;
  dev_mode_ = nullptr;
  driver_dev_mode_ = nullptr;
  return 1;
}

void DevModeAccessor::GetDeviceResolution(ResolutionPair* out) const {
  CopyOut(out, offsetof(DriverDevMode, DeviceResolution), sizeof(ResolutionPair));
}

void DevModeAccessor::SetDeviceResolution(uint32_t x, uint32_t y) {
  driver_dev_mode_->DeviceResolution.x = x;
  driver_dev_mode_->DeviceResolution.y = y;
}

void DevModeAccessor::GetCustomPaperSize(ExtentPair* out) const {
  if (out == nullptr) return;
  out->width = driver_dev_mode_->CustomPaperWidth;
  out->height = driver_dev_mode_->CustomPaperLength;
}

void DevModeAccessor::SetCustomPaperSize(const ExtentPair& size) {
  if (size.width <= 0 || size.height <= 0) return;
  driver_dev_mode_->CustomPaperWidth = size.width;
  driver_dev_mode_->CustomPaperLength = size.height;
}

int DevModeAccessor::GetModelId(void* out, uint32_t size) const {
  if (out == nullptr || size != kModelIdBytes) return 0;
  CopyOut(out, offsetof(DriverDevMode, ModelId), kModelIdBytes);
  return 1;
}

int DevModeAccessor::SetModelId(const void* in, uint32_t size) {
  if (in == nullptr || size != kModelIdBytes) return 0;
  CopyIn(in, offsetof(DriverDevMode, ModelId), kModelIdBytes);
  return 1;
}

uint32_t* DevModeAccessor::GetWatermarkColor(uint32_t* out) const {
  if (out != nullptr) *out = driver_dev_mode_->WatermarkSettings.WatermarkColor;
  return out;
}

void DevModeAccessor::SetDeviceName(const wchar_t* name) {
  StoreText(FieldAt<wchar_t>(offsetof(DriverDevMode, Public.dmDeviceName)), kDeviceNameChars,
            kDeviceNameChars - 1, name);
}

void DevModeAccessor::SetDeviceName(const char* name) {
  // Cut in the ANSI form first (as the driver name is), so the result never exceeds the field.
  char cut[kDeviceNameChars];
  platform::CutAnsiText(name, cut, sizeof(cut), kDeviceNameChars - 1);
  const auto wide = platform::WideFromAnsi(cut);
  SetDeviceName(wide ? wide->c_str() : L"");
}

int DevModeAccessor::GetDeviceNameA(char* buffer, uint32_t size) const {
  return WideFieldToAnsi(FieldAt<wchar_t>(offsetof(DriverDevMode, Public.dmDeviceName)), buffer,
                         size);
}

int DevModeAccessor::GetFormNameA(char* buffer, uint32_t size) const {
  return WideFieldToAnsi(FieldAt<wchar_t>(offsetof(DriverDevMode, Public.dmFormName)), buffer,
                         size);
}

void DevModeAccessor::CopyOut(void* out, size_t offset, size_t size) const {
  if (out != nullptr) std::memcpy(out, Bytes() + offset, size);
}

void DevModeAccessor::CopyIn(const void* in, size_t offset, size_t size) {
  if (in != nullptr) std::memmove(Bytes() + offset, in, size);
}

int DevModeAccessor::Equals(const void* block, size_t offset, size_t size) const {
  return block != nullptr && std::memcmp(Bytes() + offset, block, size) == 0 ? 1 : 0;
}

void DevModeAccessor::StoreText(char* field, size_t field_chars, size_t max_chars,
                                const char* text) {
  platform::CutAnsiText(text, field, field_chars, max_chars);
}

void DevModeAccessor::StoreText(wchar_t* field, size_t field_chars, size_t max_chars,
                                const wchar_t* text) {
  const size_t length = text != nullptr ? wcsnlen(text, max_chars) : 0;
  if (length > 0) std::memmove(field, text, length * sizeof(wchar_t));
  std::memset(field + length, 0, (field_chars - length) * sizeof(wchar_t));
}

}  // namespace kalimu::settings
