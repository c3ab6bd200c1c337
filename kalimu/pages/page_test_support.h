// Test support of the page routines: a settings object of a sample model with the sheet's
// records around it (PageShared, SheetContext, PageParam) and the stand-in resource library with
// the custom controls registered,
// pages of the library's templates hosted modeless over that PageParam, and a host window whose
// ink meters record every command they are sent.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/pages/page_access.h"
#include "kalimu/pages/page_records.h"
#include "kalimu/pages/control_test_support.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/windows/printer_fixture.h"

namespace kalimu::pages::test {

// Ink codes by position for the sample models' headers: BK CY MA YE LC LM DY PK MK LK RD BL CL
// LLK, then two positions without ink.
inline constexpr uint8_t kPositionCodes[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 0};

// The roll-paper model with `positions` ink positions (ink-id length), one meter per ink when
// `meter_per_ink`; `black_mask` marks the positions that hold either black ink.
inline testkit::ModelDescription InkModel(uint32_t positions, bool meter_per_ink, uint32_t black_mask = 0x7) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.ink_word = (positions << 24) | 0x8000u | 8u | (meter_per_ink ? 0x200u : 0u);
  model.header.ink_code_mask = black_mask;
  model.header.flags20 &= ~64u;     // default gamma 1.5
  model.header.flags24 &= ~0x8000u;  // no monochrome-photo mode
  std::memcpy(model.header.block96, kPositionCodes, sizeof(kPositionCodes));
  return model;
}

// A sheet's records over a settings object of a sample model.
class PageFixture {
 public:
  explicit PageFixture(const testkit::ModelDescription& model) : on_printer_(model) {
    if (!on_printer_.ok()) return;
    library_loaded_ = library_.module() != nullptr;
    shared_ = std::make_unique<PageShared>();
    std::memset(shared_.get(), 0, sizeof(PageShared));
    shared_->resource_module = library_.module();
    context_ = std::make_unique<driver::SheetContext>();
    std::memset(context_.get(), 0, sizeof(driver::SheetContext));
    context_->resource_module = library_.module();
    context_->may_change = 1;
    context_->notification_style = 1;
    param_ = {&on_printer_.settings(), shared_.get(), context_.get()};
  }
  PageFixture(const PageFixture&) = delete;
  PageFixture& operator=(const PageFixture&) = delete;

  bool ok() const { return on_printer_.ok() && library_loaded_; }
  std::string error() const { return on_printer_.ok() ? "the resource library" : on_printer_.error(); }

  settings::JobSettings& settings() { return on_printer_.settings(); }
  settings::DriverDevMode& record() { return on_printer_.record(); }
  testkit::ModelPrinter& printer() { return on_printer_.printer(); }
  PageParam& param() { return param_; }
  // Writes a key of the driver data file's "InkInfo" section.
  bool SetInkInfo(const char* key, const char* value) {
    char path[MAX_PATH] = {};
    settings().GetDriverDataFilePath(path, sizeof(path));
    return WritePrivateProfileStringA("InkInfo", key, value, path) != FALSE;
  }
  PageShared& shared() { return *shared_; }
  HMODULE module() const { return library_.module(); }

 private:
  settings::test::SettingsOnPrinter on_printer_;
  ControlLibrary library_;  // custom controls registered on it, for the templates that hold them
  bool library_loaded_ = false;
  std::unique_ptr<PageShared> shared_;
  std::unique_ptr<driver::SheetContext> context_;
  PageParam param_{};
};

// A page of the library's templates created modeless over the fixture's PageParam, with a page
// procedure that only stores the PageParam (tests drive the routines on its real controls).
class HostedPage {
 public:
  HostedPage(PageFixture& fixture, int template_id, DLGPROC procedure = &StorePageParamProc) {
    // Page templates are child dialogs: a frame stands for the property sheet.
    frame_ = CreateWindowExW(0, L"STATIC", L"sheet", WS_OVERLAPPEDWINDOW, 0, 0, 640, 520, nullptr, nullptr, nullptr,
                             nullptr);
    window_ = CreateDialogParamW(fixture.module(), MAKEINTRESOURCEW(template_id), frame_, procedure,
                                 reinterpret_cast<LPARAM>(&fixture.param()));
  }
  ~HostedPage() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (frame_ != nullptr) DestroyWindow(frame_);
  }
  HostedPage(const HostedPage&) = delete;
  HostedPage& operator=(const HostedPage&) = delete;

  HWND window() const { return window_; }
  HWND item(int id) const { return GetDlgItem(window_, id); }

  static INT_PTR CALLBACK StorePageParamProc(HWND window, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) StorePageParam(window, reinterpret_cast<PageParam*>(lparam));
    return message == WM_INITDIALOG ? TRUE : FALSE;
  }

 private:
  HWND frame_ = nullptr;
  HWND window_ = nullptr;
};

// One command a recording meter received: the sub-command and the 70 words of its data block
// (empty without a block).
struct RecordedCommand {
  int control;
  uint32_t command;
  std::vector<int32_t> words;
};

// A top-level host window whose children with the given ids record the WM_USER commands sent
// to them (the ink display's meters, labels and frames).
class MeterRecorder {
 public:
  explicit MeterRecorder(const std::vector<int>& ids) {
    WNDCLASSA meter = {};
    meter.lpfnWndProc = &MeterProc;
    meter.hInstance = GetModuleHandleA(nullptr);
    meter.lpszClassName = "KalimuTestRecordingMeter";
    RegisterClassA(&meter);
    host_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    for (int id : ids) {
      CreateWindowExA(0, "KalimuTestRecordingMeter", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, host_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    Recorded().clear();
  }
  ~MeterRecorder() {
    DestroyWindow(host_);
    Recorded().clear();
  }
  MeterRecorder(const MeterRecorder&) = delete;
  MeterRecorder& operator=(const MeterRecorder&) = delete;

  HWND window() const { return host_; }
  const std::vector<RecordedCommand>& commands() const { return Recorded(); }
  void clear() { Recorded().clear(); }
  // The commands of one control, in order.
  std::vector<RecordedCommand> Of(int control) const {
    std::vector<RecordedCommand> out;
    for (const RecordedCommand& c : Recorded()) {
      if (c.control == control) out.push_back(c);
    }
    return out;
  }

 private:
  static std::vector<RecordedCommand>& Recorded() {
    static std::vector<RecordedCommand> recorded;
    return recorded;
  }
  static LRESULT CALLBACK MeterProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER) {
      RecordedCommand c{GetDlgCtrlID(window), static_cast<uint32_t>(wparam), {}};
      if (lparam != 0) {
        const auto* words = reinterpret_cast<const int32_t*>(lparam);
        c.words.assign(words, words + 70);
      }
      Recorded().push_back(c);
      return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }
  HWND host_ = nullptr;
};

}  // namespace kalimu::pages::test
