// Test support of the page frame: the four document pages of the library's templates in a real
// modeless property sheet over a PageFixture, with a sheet callback that records what the pages
// report to it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>

#include <array>
#include <vector>

#include "kalimu/pages/page_frame.h"
#include "kalimu/pages/page_test_support.h"

namespace kalimu::pages::test {

// One call a page made to the sheet callback, with the sheet snapshot's state at that moment.
struct SheetCall {
  HANDLE sheet;
  UINT function;
  LPARAM first;
  LPARAM second;
  bool snapshot_present;
};

inline constexpr LPARAM kPageHandles[4] = {0x1101, 0x1102, 0x1103, 0x1104};
inline const HANDLE kSheetHandle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x5EE7));

class FrameSheet {
 public:
  FrameSheet(PageFixture& fixture, int start_page) : fixture_(fixture) {
    Calls().clear();
    Shared() = &fixture.shared();
    driver::SheetContext& context = *fixture.param().context;
    context.sheet_callback = &RecordCall;
    context.sheet_handle = kSheetHandle;
    for (int i = 0; i < 4; ++i) context.page_handles[i] = kPageHandles[i];
    static constexpr DLGPROC kProcedures[] = {&MainPageProc, &PaperPageProc, &LayoutPageProc, &UtilityPageProc};
    std::array<HPROPSHEETPAGE, 4> pages{};
    for (int i = 0; i < 4; ++i) {
      PROPSHEETPAGEW page = {};
      page.dwSize = sizeof(page);
      page.hInstance = fixture.module();
      page.pszTemplate = MAKEINTRESOURCEW(900 + i);
      page.pfnDlgProc = kProcedures[i];
      page.lParam = reinterpret_cast<LPARAM>(&fixture.param());
      pages[i] = CreatePropertySheetPageW(&page);
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = L"Frame";
    header.nPages = 4;
    header.nStartPage = static_cast<UINT>(start_page);
    header.phpage = pages.data();
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
    Pump();
  }
  ~FrameSheet() {
    if (sheet_ != nullptr && IsWindow(sheet_)) DestroyWindow(sheet_);
    Shared() = nullptr;
  }
  FrameSheet(const FrameSheet&) = delete;
  FrameSheet& operator=(const FrameSheet&) = delete;

  HWND window() const { return sheet_; }
  HWND page(int index) const {
    return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_INDEXTOHWND, static_cast<WPARAM>(index), 0));
  }
  void Select(int index) {
    SendMessageW(sheet_, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Pump();
  }
  // Presses PSBTN_OK, PSBTN_CANCEL or PSBTN_APPLYNOW and lets the sheet run it.
  void Press(int button) {
    SendMessageW(sheet_, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
    Pump();
  }
  // True once the sheet has ended (a modeless sheet then has no current page).
  bool Ended() const { return SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0) == 0; }
  static std::vector<SheetCall>& Calls() {
    static std::vector<SheetCall> calls;
    return calls;
  }
  void Pump() {
    MSG message;
    for (int round = 0; round < 4; ++round) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (sheet_ == nullptr || !IsWindow(sheet_) || !PropSheet_IsDialogMessage(sheet_, &message)) {
          TranslateMessage(&message);
          DispatchMessageW(&message);
        }
      }
      Sleep(5);
    }
  }

 private:
  static PageShared*& Shared() {
    static PageShared* shared = nullptr;
    return shared;
  }
  static LONG_PTR CALLBACK RecordCall(HANDLE sheet, UINT function, LPARAM first, LPARAM second) {
    Calls().push_back({sheet, function, first, second, Shared() != nullptr && Shared()->sheet_snapshot != nullptr});
    return 1;
  }

  PageFixture& fixture_;
  HWND sheet_ = nullptr;
};

}  // namespace kalimu::pages::test
