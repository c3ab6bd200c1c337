// Test support of the main and utility pages: a page of the library's templates on a real
// modeless property sheet, whose procedure hands the page's messages to the page's steps as the
// page frame does, with OK, Cancel and a message pump.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstring>
#include <functional>

#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/utility_page.h"

namespace kalimu::pages::test {

// The steps of one page; an empty step is skipped.
// What the request flag says when a status poll comes: 2 shows the stored reply, 1 the ink-set
// text, 0 or no value polls again, anything else stops. In this order the first two keep the page
// waiting and the others end the wait.
struct RequestFlagCase {
  const char* name;
  int32_t flag;  // below -1: no value
  bool polls_again;
  bool ink_set_text;
};
inline constexpr RequestFlagCase kRequestFlagCases[] = {
    {"absent", -2, true, false},
    {"pending", 0, true, false},
    {"no reply", 1, false, true},
    {"reply stored", 2, false, false},
    {"unknown", 3, false, false},
};

struct PageSteps {
  std::function<void(HWND, PageParam&)> init;
  std::function<void(HWND, PageParam&, int id, int code)> command;
  std::function<void(HWND, PageParam&)> apply;
  std::function<void(HWND, PageParam&, UINT_PTR)> timer;
  std::function<void(HWND, const DRAWITEMSTRUCT*, PageParam&)> draw;
  std::function<void(HWND, MEASUREITEMSTRUCT*)> measure;
};

class SheetHost {
 public:
  SheetHost(PageFixture& fixture, int template_id, PageSteps steps) : fixture_(fixture), steps_(std::move(steps)) {
    current_ = this;
    std::memcpy(&snapshot_, &fixture.record(), sizeof(snapshot_));
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.hInstance = fixture.module();
    page.pszTemplate = MAKEINTRESOURCEW(template_id);
    page.pfnDlgProc = &PageProc;
    page.lParam = reinterpret_cast<LPARAM>(&fixture.param());
    HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = L"Printing Preferences";
    header.nPages = 1;
    header.phpage = &handle;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (sheet_ != nullptr) ShowWindow(sheet_, SW_SHOWNOACTIVATE);
    Pump(0);
  }
  ~SheetHost() {
    if (sheet_ != nullptr && IsWindow(sheet_)) DestroyWindow(sheet_);
    fixture_.shared().sheet_window = nullptr;
    current_ = nullptr;
  }
  SheetHost(const SheetHost&) = delete;
  SheetHost& operator=(const SheetHost&) = delete;

  HWND sheet() const { return sheet_; }
  HWND page() const { return page_; }
  HWND item(int id) const { return GetDlgItem(page_, id); }
  bool ApplyEnabled() const { return IsWindowEnabled(GetDlgItem(sheet_, 0x3021)) != FALSE; }
  int applies() const { return applies_; }
  int resets() const { return resets_; }

  // Runs the sheet's messages for at least `ms` milliseconds (0: what is waiting).
  void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (sheet_ == nullptr || !PropSheet_IsDialogMessage(sheet_, &message)) {
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
      }
      if (ms > 0) Sleep(1);
    } while (GetTickCount() - start < ms);
  }
  // Presses OK or Cancel; true when the sheet then ended.
  bool Press(int button) {
    PropSheet_PressButton(sheet_, button);
    Pump(50);
    return PropSheet_GetCurrentPageHwnd(sheet_) == nullptr;
  }
  // A click on a button of the page, as the dialog manager reports it.
  void Click(int id) { SendMessageW(page_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item(id))); }
  // A combo's item chosen by the user.
  void Choose(int id, int index, int code = CBN_SELCHANGE) {
    SendMessageW(item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(item(id)));
  }

 private:
  static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    SheetHost* self = current_;
    if (self == nullptr) return FALSE;
    PageParam* param = PageParamOf(window);
    switch (message) {
      case WM_INITDIALOG: {
        self->page_ = window;
        param = reinterpret_cast<PageParam*>(reinterpret_cast<const PROPSHEETPAGEW*>(lparam)->lParam);
        StorePageParam(window, param);
        param->shared->sheet_window = GetParent(window);
        if (self->steps_.init) self->steps_.init(window, *param);
        return TRUE;
      }
      case WM_COMMAND:
        if (param != nullptr && self->steps_.command) {
          self->steps_.command(window, *param, LOWORD(wparam), HIWORD(wparam));
        }
        return TRUE;
      case WM_TIMER:
        if (param != nullptr && self->steps_.timer) self->steps_.timer(window, *param, wparam);
        return TRUE;
      case WM_DRAWITEM:
        if (param != nullptr && self->steps_.draw) {
          self->steps_.draw(window, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam), *param);
        }
        return TRUE;
      case WM_MEASUREITEM:
        // Sent before WM_INITDIALOG stored the PageParam.
        if (self->steps_.measure) self->steps_.measure(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
        return TRUE;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (param == nullptr) return FALSE;
        if (header->code == static_cast<UINT>(PSN_APPLY)) {
          ++self->applies_;
          if (self->steps_.apply) self->steps_.apply(window, *param);
          SetWindowLongPtrW(window, DWLP_MSGRESULT, PSNRET_NOERROR);
          return TRUE;
        }
        if (header->code == static_cast<UINT>(PSN_RESET)) {
          ++self->resets_;
          param->settings->SetDriverDevMode(&self->snapshot_);
          return TRUE;
        }
        return FALSE;
      }
      default:
        return FALSE;
    }
  }

  static inline SheetHost* current_ = nullptr;
  PageFixture& fixture_;
  PageSteps steps_;
  settings::DriverDevMode snapshot_{};
  HWND sheet_ = nullptr;
  HWND page_ = nullptr;
  int applies_ = 0;
  int resets_ = 0;
};


// The steps of the main page as the page frame runs them.
inline PageSteps MainSteps() {
  PageSteps steps;
  steps.init = [](HWND window, PageParam& param) {
    InitMainPage(window, param);
    StartStatusPolling(window, param);
  };
  steps.command = [](HWND window, PageParam& param, int id, int code) { MainPageCommand(window, param, id, code); };
  steps.apply = [](HWND window, PageParam& param) {
    CommitMainPage(window, param);
    StoreMainPageValues(window, param);
  };
  steps.timer = [](HWND window, PageParam& param, UINT_PTR id) { PollPrinterStatus(window, param, id); };
  steps.draw = [](HWND window, const DRAWITEMSTRUCT* item, PageParam& param) { DrawMainPageItem(window, item, param); };
  // The frame measures the page's owner-drawn combos.
  steps.measure = [](HWND window, MEASUREITEMSTRUCT* item) {
    if (item != nullptr && (item->CtlID == kPresetList || item->CtlID == kMainMediaCombo || item->CtlID == kModeVariantCombo ||
                            item->CtlID == kTonePresetCombo)) {
      MeasureComboItem(window, item);
    }
  };
  return steps;
}

// The steps of the utility page as the page frame runs them.
inline PageSteps UtilitySteps() {
  PageSteps steps;
  steps.init = [](HWND window, PageParam& param) { InitUtilityPage(window, param); };
  steps.command = [](HWND window, PageParam& param, int id, int) { UtilityPageCommand(window, param, id); };
  steps.apply = [](HWND, PageParam& param) { CommitUtilityPage(param); };
  steps.draw = [](HWND, const DRAWITEMSTRUCT* item, PageParam& param) { DrawUtilityButton(item, param); };
  return steps;
}

}  // namespace kalimu::pages::test
