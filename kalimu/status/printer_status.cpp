// Construction of the status object and the reply it holds.
#include "kalimu/status/printer_status.h"

#include <cstring>
#include <new>

#include "kalimu/model/model_capabilities.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::status {

PrinterStatus::PrinterStatus(const char* driver_name, const char* printer_name,
                             const model::StatusModelInfo& model_info, HANDLE printer) {
  platform::CopyStringA(printer_name_, kNameChars, printer_name != nullptr ? printer_name : "");
  platform::CopyStringA(driver_name_, kNameChars, driver_name != nullptr ? driver_name : "");
  locator_.Init(printer_name_, driver_name_, printer);
  registry_.Init(printer_name_, driver_name_);
  model_info_ = model_info;
  if (!locator_.GetDriverDirectory(driver_directory_, sizeof driver_directory_)) driver_directory_[0] = '\0';
}

PrinterStatus* CreatePrinterStatus(model::ModelCapabilities& model) {
  model::StatusModelInfo info = {};
  model.GetStatusModelInfo(&info);
  storage::DriverModuleLocator& locator = model.locator();
  return new (std::nothrow)
      PrinterStatus(locator.GetDriverName(), locator.GetPrinterName(), info, locator.printer());
}

StatusShape PrinterStatus::Shape() const {
  return StatusShape{model_info_.ink_count, model_info_.bytes_per_ink};
}

bool PrinterStatus::AdoptReply(const uint8_t* bytes, size_t size) {
  reply_length_ = 0;
  if (!reply_.Allocate(size + 1)) return false;
  if (size > 0) std::memcpy(reply_.data(), bytes, size);
  reply_length_ = size;
  return true;
}

int32_t PrinterStatus::ParseReply() {
  if (!reply_.held()) return -1;
  return ParseStatusReply(reply_.data(), reply_length_, Shape(), reading_);
}

int32_t PrinterStatus::ParseBinaryReply() {
  ReplyBody body;
  if (!reply_.held() || !LocateReplyBody(reply_.data(), reply_length_, &body)) return -1;
  return ParseBinaryBody(reply_.data() + body.start, body.length, Shape(), reading_);
}

int32_t PrinterStatus::ParseTextReply() {
  ReplyBody body;
  if (!reply_.held() || !LocateReplyBody(reply_.data(), reply_length_, &body)) return -1;
  return ParseTextBody(reply_.data() + body.start, body.length, reading_);
}

}  // namespace kalimu::status
