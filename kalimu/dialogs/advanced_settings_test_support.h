// Test support of the advanced settings dialog: a sample model whose print modes allow every
// render method, colour-mode radio and render option unless a test narrows them, the sheet's
// records over it, and the dialog opened modeless from the resource library (tests drive it by
// messages; OK and Cancel end it as they end the modal one).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "kalimu/dialogs/advanced_settings_dialog.h"
#include "kalimu/pages/page_test_support.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::dialogs::test {

struct ModeColumns {
  uint16_t render_methods = 8 | 2 | 4 | 1;
  uint16_t radios = 1 | 2 | 4 | 8 | 16 | 32 | 64;
  int16_t rule_r = 0;
  int16_t rule_v = 0;
  int16_t rule_2154 = 0;
  uint16_t render_options = 8 | 1 | 2 | 4;
};

// The roll-paper model with the monochrome-photo capability (toning) or without it, and the
// render-option combo.
inline testkit::ModelDescription AdvancedModel(bool toning, const ModeColumns& columns = {}) {
  testkit::ModelDescription model = testkit::RollPaperModel();
  model.header.flags24 = (model.header.flags24 & ~0x8000u) | (toning ? 0x8000u : 0u) | 0x400u;
  model.header.flags20 &= ~(4u | 8u | 0x8000000u | 64u);
  for (size_t i = 0; i < model.table7.size(); ++i) model.table7[i].value4 = static_cast<int16_t>(i);  // strings 1300+
  for (auto& mode : model.modes) {
    for (auto& group : mode.groups) {
      group.flags18 = columns.render_methods;
      group.flags22 = columns.radios;
      group.value8[1] = columns.rule_r;
      group.value8[2] = columns.rule_v;
      group.value26 = columns.rule_2154;
      group.value48 = columns.render_options;
    }
  }
  return model;
}

class AdvancedDialogTest : public ::testing::Test {
 protected:
  void Open(bool toning, const ModeColumns& columns = {}) {
    fixture_ = std::make_unique<pages::test::PageFixture>(AdvancedModel(toning, columns));
    ASSERT_TRUE(fixture_->ok()) << fixture_->error();
  }
  // Opens the dialog over the fixture's PageParam (after the test set the settings up).
  HWND Show() {
    dialog_ = CreateDialogParamA(fixture_->module(), MAKEINTRESOURCEA(kAdvancedTemplate), nullptr, &AdvancedDlgProc,
                                 reinterpret_cast<LPARAM>(&fixture_->param()));
    if (dialog_ != nullptr) {
      ShowWindow(dialog_, SW_SHOWNOACTIVATE);
      UpdateWindow(dialog_);
    }
    return dialog_;
  }
  // Cancels the dialog when it is still open and destroys its window.
  void Close() {
    if (dialog_ == nullptr) return;
    if (pages::PageParamOf(dialog_) != nullptr) SendMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
  void TearDown() override { Close(); }

  settings::JobSettings& s() { return fixture_->settings(); }
  pages::PageShared& shared() { return fixture_->shared(); }
  HWND item(int id) const { return GetDlgItem(dialog_, id); }
  void Command(int id, int code) {
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(item(id)));
  }
  // Types into an edit: the text is set as a user's typing would leave it (EN_CHANGE follows).
  void Type(int id, const char* text) { SetWindowTextA(item(id), text); }
  std::string Text(int id) const {
    char text[64] = {};
    GetWindowTextA(item(id), text, sizeof(text));
    return text;
  }
  // Selects the combo item with the data and sends CBN_SELCHANGE; false when none has it.
  bool Choose(int combo, LPARAM data) {
    const LRESULT count = SendMessageA(item(combo), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      if (SendMessageA(item(combo), CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == data) {
        SendMessageA(item(combo), CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        Command(combo, CBN_SELCHANGE);
        return true;
      }
    }
    return false;
  }
  void Click(int id) { SendMessageA(item(id), BM_CLICK, 0, 0); }
  int32_t Position(int slider) const {
    return static_cast<int32_t>(SendMessageA(GetDlgItem(dialog_, slider), WM_USER, 3, 0));
  }
  void MoveSlider(int slider, int32_t position) {
    SendMessageA(item(slider), WM_USER, 2, position);
    SendMessageA(dialog_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), reinterpret_cast<LPARAM>(item(slider)));
  }
  bool Visible(int id) const { return IsWindowVisible(GetDlgItem(dialog_, id)) != FALSE; }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog_, id)) != FALSE; }
  int Width() const {
    RECT r{};
    GetWindowRect(dialog_, &r);
    return r.right - r.left;
  }
  // The control's rectangle in the dialog's client coordinates.
  RECT ClientRect(int id) const {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog_, id), &r);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  COLORREF Pixel(int x, int y) const {
    HDC dc = GetDC(dialog_);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(dialog_, dc);
    return colour;
  }

  testkit::MessageBoxWatcher boxes_;
  std::unique_ptr<pages::test::PageFixture> fixture_;
  HWND dialog_ = nullptr;
};

}  // namespace kalimu::dialogs::test
