// Test support of the paper and layout pages and the binding margin dialog: a sample model with
// the source classes the rules tell apart, the pages of the library's templates hosted with their
// real procedures over a sheet's records, control drivers that act by messages, and a script that
// runs inside a modal dialog.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/pages/layout_page.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/platform/global_block.h"
#include "testkit/kalimu/rule_models.h"

namespace kalimu::pages::test {

// Source indexes of PaperModel.
enum PaperModelSource : int {
  kSheetFeeder = 0,  // id 7: papers take its first bit
  kNarrowRoll = 1,   // id 4: roll-cut, narrow
  kPairedRoll = 2,   // id 256: the paired feed variant of the narrow roll
  kSpecialFeed = 3,  // id 257: special feed
  kWideRoll = 4,     // id 530: roll-cut, wide (a paired variant, so never listed)
};

// The rule model with header words 20, 24 and 28 cleared but for `word28`, media words 8 set to
// `media_flags8`, every paper allowed on every source, and the five sources above.
inline testkit::ModelDescription PaperModel(uint32_t word28 = 0, uint32_t media_flags8 = 0) {
  testkit::ModelDescription m = testkit::RuleModel(word28);
  m.header.flags20 = 0;
  m.header.flags24 = 0;
  m.header.flags28 = word28;
  for (auto& media : m.media) {
    media.flags4 = 0xFFFFFFFFu;
    media.flags8 = media_flags8;
  }
  for (auto& paper : m.papers) paper.source_flags = 0xFFFFFFFFu;
  for (auto& mode : m.modes) mode.flags16 = 0xFFFFFFFFu;
  for (auto& group : m.presets) {
    for (auto& preset : group) preset.value96 = 0xFFFFFFFFu;
  }
  const struct {
    int16_t id;
    int16_t name;
    uint32_t capability;
    uint32_t feed;
  } sources[] = {{7, 1, 0x2000, 0x01}, {4, 2, 0x4000, 0x02}, {256, 3, 0x40000, 0x10}, {257, 4, 0x40000, 0x50},
                 {530, 5, 0x44000, 0x0A}};
  const model::PaperSourceRecord base = m.sources[0];
  m.sources.clear();
  for (const auto& s : sources) {
    model::PaperSourceRecord record = base;
    record.id = s.id;
    record.name_code = s.name;
    record.flags8 = s.capability;
    record.flags12 = s.feed;
    m.sources.push_back(record);
  }
  return m;
}

// The paper model whose sheet feeder allows duplex printing and scaling.
inline testkit::ModelDescription DuplexPaperModel() {
  testkit::ModelDescription m = PaperModel();
  m.sources[kSheetFeeder].flags8 = 0x100000;
  return m;
}

// The index of the paper with identifier `id`, or -1.
inline int16_t PaperIndexOf(settings::JobSettings& s, int32_t id) {
  uint32_t n = 0;
  s.GetPaperSizeCount(&n);
  for (uint32_t i = 0; i < n; ++i) {
    int32_t other = 0;
    if (s.GetPaperSizeId(static_cast<uint16_t>(i), &other) && other == id) return static_cast<int16_t>(i);
  }
  return -1;
}

// Makes source `index` current in the settings (as the sheet finds it stored).
inline void UseSource(settings::JobSettings& s, int index) {
  int32_t id = 0;
  s.GetPaperSourceId(static_cast<uint16_t>(index), &id);
  s.ChangeDefaultSource(id, 0);
  s.ChangePaperSourceIndex(index, 0);
}

// Drives a page's (or a dialog's) controls by the messages the controls themselves send.
class PageControls {
 public:
  explicit PageControls(HWND window = nullptr) : window_(window) {}

  HWND window() const { return window_; }
  HWND item(int id) const { return GetDlgItem(window_, id); }

  // A button's click as the button reports it (check boxes and radios toggle first, as an
  // automatic button does).
  void Click(int id) const { SendMessageW(item(id), BM_CLICK, 0, 0); }
  void Command(int id, int code) const {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(item(id)));
  }
  // Selects the item with `data` and reports the selection change; false when no item holds it.
  bool Choose(int combo, LPARAM data) const {
    const LRESULT count = SendMessageW(item(combo), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      if (SendMessageW(item(combo), CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == data) {
        SendMessageW(item(combo), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        Command(combo, CBN_SELCHANGE);
        return true;
      }
    }
    return false;
  }
  // Types a text into an edit (the edit reports EN_CHANGE itself), then, when asked, the focus
  // leaves it.
  void Type(int edit, const char* text, bool leave = true) const {
    SetWindowTextA(item(edit), text);
    if (leave) Command(edit, EN_KILLFOCUS);
  }
  void Scroll(int arrows, int code) const {
    SendMessageW(window_, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(item(arrows)));
  }
  std::string Text(int id) const {
    char text[512] = {};
    GetWindowTextA(item(id), text, sizeof(text));
    return text;
  }
  bool Checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
  bool Enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }
  bool Visible(int id) const { return (GetWindowLongW(item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
  // Item data of a combo's items, and of its selection (-1 without one).
  std::vector<LPARAM> Items(int combo) const {
    std::vector<LPARAM> out;
    const LRESULT count = SendMessageW(item(combo), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) out.push_back(SendMessageW(item(combo), CB_GETITEMDATA, i, 0));
    return out;
  }
  std::vector<std::string> ItemTexts(int combo) const {
    std::vector<std::string> out;
    const LRESULT count = SendMessageW(item(combo), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      char text[256] = {};
      SendMessageA(item(combo), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      out.push_back(text);
    }
    return out;
  }
  LPARAM Selected(int combo) const {
    const LRESULT at = SendMessageW(item(combo), CB_GETCURSEL, 0, 0);
    return at == CB_ERR ? -1 : SendMessageW(item(combo), CB_GETITEMDATA, static_cast<WPARAM>(at), 0);
  }

 protected:
  HWND window_ = nullptr;
};

// A page of the library hosted with its real procedure: the procedure gets a PROPSHEETPAGEW
// whose lParam is the fixture's PageParam, as a property sheet hands it over.
class PageHost : public PageControls {
 public:
  PageHost(PageFixture& fixture, int template_id, DLGPROC procedure) {
    sheet_page_.dwSize = sizeof(sheet_page_);
    sheet_page_.lParam = reinterpret_cast<LPARAM>(&fixture.param());
    frame_ = CreateWindowExW(0, L"STATIC", L"sheet", WS_OVERLAPPEDWINDOW, 0, 0, 700, 560, nullptr, nullptr, nullptr,
                             nullptr);
    window_ = CreateDialogParamW(fixture.module(), MAKEINTRESOURCEW(template_id), frame_, procedure,
                                 reinterpret_cast<LPARAM>(&sheet_page_));
  }
  ~PageHost() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (frame_ != nullptr) DestroyWindow(frame_);
  }
  PageHost(const PageHost&) = delete;
  PageHost& operator=(const PageHost&) = delete;

  HWND frame() const { return frame_; }
  LRESULT Notify(int code) const {
    NMHDR header{frame_, 0, static_cast<UINT>(code)};
    return SendMessageW(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  }

 private:
  PROPSHEETPAGEW sheet_page_{};
  HWND frame_ = nullptr;
};

// Runs `script` once inside the next modal dialog this thread opens (from the dialog's own
// message loop); the script ends the dialog itself.
class ModalScript {
 public:
  explicit ModalScript(std::function<void(HWND dialog)> script) {
    Current() = this;
    script_ = std::move(script);
    hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  }
  ~ModalScript() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    Current() = nullptr;
  }
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;
  bool ran() const { return ran_; }

 private:
  static ModalScript*& Current() {
    static ModalScript* current = nullptr;
    return current;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    ModalScript* self = Current();
    if (code == HCBT_ACTIVATE && self != nullptr && self->dialog_ == nullptr) {
      self->dialog_ = reinterpret_cast<HWND>(wparam);
      SetTimer(self->dialog_, 0x5151, 1, &Run);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }
  static void CALLBACK Run(HWND dialog, UINT, UINT_PTR id, DWORD) {
    KillTimer(dialog, id);
    ModalScript* self = Current();
    if (self == nullptr || self->ran_) return;
    self->ran_ = true;
    self->script_(dialog);
  }
  std::function<void(HWND)> script_;
  HHOOK hook_ = nullptr;
  HWND dialog_ = nullptr;
  bool ran_ = false;
};

// An editor that answers a new list with one user entry added (a copy of the first, renamed)
// and selected: the store takes it.
inline storage::WatermarkEntry* AddUserWatermark(HWND, HMODULE, const storage::WatermarkEntry* entries, int16_t* count,
                                      int16_t* selection, int16_t, int32_t, int32_t, const int32_t[4], const void*,
                                      const watermark::WatermarkHelpBlock*) {
  platform::GlobalBlock block;
  const size_t n = static_cast<size_t>(*count);
  if (n < 1 || !block.Allocate((n + 1) * sizeof(storage::WatermarkEntry))) return nullptr;
  auto* out = reinterpret_cast<storage::WatermarkEntry*>(block.data());
  std::memcpy(out, entries, n * sizeof(storage::WatermarkEntry));
  out[n] = entries[0];
  out[n].position = static_cast<int16_t>(n);
  out[n].bitmap_id = 0;  // a user's text watermark
  out[n].kind = 0;
  std::memset(out[n].name, 0, sizeof(out[n].name));
  std::memcpy(out[n].name, "MINE", 4);
  std::memset(out[n].text, 0, sizeof(out[n].text));
  std::memcpy(out[n].text, "MINE", 4);
  out[n].bitmap_path[0] = '\0';
  out[n].thumbnail_path[0] = '\0';
  *count += 1;
  *selection = static_cast<int16_t>(n);
  return reinterpret_cast<storage::WatermarkEntry*>(block.Release());
}

// Sets the user's measurement system ("0" metric, "1" U.S.) and puts the old one back.
class MeasureSystem {
 public:
  explicit MeasureSystem(const char* measure) {
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved_, sizeof(saved_));
    ok_ = SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure) != 0;
  }
  ~MeasureSystem() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, saved_); }
  MeasureSystem(const MeasureSystem&) = delete;
  MeasureSystem& operator=(const MeasureSystem&) = delete;
  bool ok() const { return ok_; }

 private:
  char saved_[4] = {};
  bool ok_ = false;
};

// The text of a resource string of the fixture's library.
inline std::string LibraryString(PageFixture& fixture, UINT id) {
  char text[256] = {};
  LoadStringA(fixture.module(), id, text, sizeof(text));
  return text;
}

}  // namespace kalimu::pages::test
