// Fixtures of the record tests: the sample models with every record version the builder
// accepts and the header flags cleared (each test sets the ones it is about), and a printer of
// such a model reached through the rendering library's client of Kalimu.dll.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/kalimu/render_client.h"

namespace kalimu::driver::records_test {

using settings::DriverDevMode;
namespace render = testkit::render;

// Header bytes 80 to 89: the record versions.
struct RecordVersions {
  uint8_t layout = 1, colour = 3, layout_offset = 1, media_tuning = 1, ink_text = 1, printable_area = 1,
          head_info = 1, tone = 1, brs = 1;
};

// A sample model whose records can all be made: versions set, header flag words 20 to 40 and
// the value at 72 cleared, and the pattern-filled flag words of papers and print modes cleared
// (the borderless paper keeps its flag 0x400).
inline testkit::ModelDescription RecordModel(testkit::ModelDescription m, RecordVersions v = {}) {
  uint8_t* block = m.header.block80;
  const uint8_t versions[10] = {v.layout, v.colour, 0, v.layout_offset, v.media_tuning, v.ink_text,
                                v.printable_area, v.head_info, v.tone, v.brs};
  std::memcpy(block, versions, sizeof(versions));
  m.header.flags20 = m.header.flags24 = m.header.flags28 = m.header.flags32 = m.header.flags40 = 0;
  m.header.flags72 = 0;
  m.header.byte77 = m.header.byte78 = 0;
  for (auto& paper : m.papers) paper.flags20 &= 0x400;
  for (auto& mode : m.modes) mode.flags20 = 0;
  return m;
}

// A caller's record and the options of a handle.
struct HandleRequest {
  uint32_t option_flags = 0;
  uint64_t option_value = 0;
  uint64_t caller_value = 0;
  const char* text1 = nullptr;
  const char* text2 = nullptr;
};

class RecordsPrinter {
 public:
  explicit RecordsPrinter(const testkit::ModelDescription& model) : model_(model), printer_(model) {}
  ~RecordsPrinter() {
    for (const std::string& key : extra_keys_) {
      for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY root = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS | view, &root) != ERROR_SUCCESS) continue;
        RegDeleteTreeA(root, nullptr);
        RegCloseKey(root);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), view, 0);
      }
    }
  }

  bool ok() const { return printer_.ok() && client_.ok(); }
  std::string error() const { return client_.ok() ? printer_.error() : "Kalimu.dll's exports"; }
  testkit::RenderClient& client() { return client_; }
  testkit::DriverPrinter& printer() { return printer_; }
  const testkit::ModelDescription& model() const { return model_; }
  const char* name() const { return printer_.printer_name().c_str(); }

  // The printer's current record, as an application gets it.
  DriverDevMode Current() {
    DriverDevMode record{};
    settings::JobSettingsPtr settings(settings::CreateJobSettings(nullptr, printer_.handle(), nullptr, nullptr));
    if (settings != nullptr) std::memcpy(&record, settings->GetDriverDevMode(), sizeof(record));
    return record;
  }

  void* Open(const DriverDevMode& record, const HandleRequest& request = {}) {
    options_ = {request.option_value, request.option_flags};
    params_ = {&record, &options_, request.text1, request.text2, request.caller_value, name()};
    return client_.CreateMelvoInfo(&params_);
  }

  // A value of the printer's key (both registry views).
  bool WritePrinterValue(const char* value, DWORD type, const void* data, DWORD size) {
    return testkit::WriteMachineValue(printer_.PrinterKey(), value, type, data, size);
  }
  // A value below a key of the driver's root that the printer's removal does not reach.
  bool WriteRootValue(const std::string& key, const char* value, DWORD type, const void* data, DWORD size) {
    extra_keys_.push_back(key);
    return testkit::WriteMachineValue(key, value, type, data, size);
  }
  void DeletePrinterValue(const char* value) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      HKEY key = nullptr;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, printer_.PrinterKey().c_str(), 0, KEY_SET_VALUE | view, &key) ==
          ERROR_SUCCESS) {
        RegDeleteValueA(key, value);
        RegCloseKey(key);
      }
    }
  }

 private:
  testkit::ModelDescription model_;
  testkit::DriverPrinter printer_;
  testkit::RenderClient client_;
  render::JobOptions options_{};
  render::Params params_{};
  std::vector<std::string> extra_keys_;
};

// A record made by CreateStruct, freed by DestroyStruct at the end of its scope.
class Record {
 public:
  Record(testkit::RenderClient& client, void* handle, DWORD type)
      : client_(client), handle_(handle), type_(type), data_(client.CreateStruct(type, handle, nullptr, nullptr)) {}
  ~Record() {
    if (data_ != nullptr) client_.DestroyStruct(type_, data_, handle_);
  }
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;

  const uint8_t* get() const { return static_cast<const uint8_t*>(data_); }
  bool made() const { return data_ != nullptr; }
  template <class T>
  T at(size_t offset) const {
    return testkit::Field<T>(data_, offset);
  }
  int32_t i32(size_t offset) const { return at<int32_t>(offset); }
  uint32_t u32(size_t offset) const { return at<uint32_t>(offset); }
  const uint8_t* ptr(size_t offset) const { return testkit::PointerField(data_, offset); }
  std::string text(size_t offset) const { return testkit::TextField(data_, offset); }

 private:
  testkit::RenderClient& client_;
  void* handle_;
  DWORD type_;
  void* data_;
};

// A handle freed by DestroyMelvoInfo at the end of its scope.
class Handle {
 public:
  Handle(testkit::RenderClient& client, void* handle) : client_(client), handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr) client_.DestroyMelvoInfo(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  void* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  testkit::RenderClient& client_;
  void* handle_;
};

// A test suite whose tests share one printer of the model that Model makes.
template <testkit::ModelDescription (*Model)()>
class SharedPrinterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { printer_ = new RecordsPrinter(Model()); }
  static void TearDownTestSuite() {
    delete printer_;
    printer_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(printer_->ok()) << printer_->error();
    base_ = printer_->Current();
  }
  testkit::RenderClient& client() { return printer_->client(); }

  static inline RecordsPrinter* printer_ = nullptr;
  DriverDevMode base_{};  // the printer's current record
};

// 1/360 inch to dots, rounded as the layout record rounds.
constexpr int32_t Dots(int32_t v, int32_t resolution) { return (v * resolution + 180) / 360; }

}  // namespace kalimu::driver::records_test
