// Screenshots of the page foundations: the track bar and the ink meter in their states, the
// drawing helpers, and every template of the resource library with its controls.
// Usage: kalimu_pages_screenshots <output folder>.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "kalimu/pages/custom_controls.h"
#include "kalimu/pages/drawing_helpers.h"
#include "kalimu/pages/gdi_scope.h"
#include "kalimu/pages/ink_meter.h"
#include "kalimu/pages/track_bar.h"
#include "kalimu/settings/job_settings_test_support.h"
#include "testkit/windows/printer_fixture.h"
#include "testkit/windows/window_capture.h"

namespace {

using namespace kalimu::pages;

struct TemplateControl {
  int template_id;
  int control_id;
  const char* window_class;
};
constexpr TemplateControl kTemplateControls[] = {
#include "resource_templates.inc"
};

HMODULE g_library = nullptr;

// A plain frame window whose owner-drawn children are drawn by `draw`.
using DrawItem = void (*)(const DRAWITEMSTRUCT* item);
DrawItem g_draw_item = nullptr;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DRAWITEM:
      if (g_draw_item != nullptr) g_draw_item(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_HSCROLL:
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

HWND Frame(const char* title, int width, int height) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "KalimuScreenshotFrame";
    RegisterClassA(&wc);
    registered = true;
  }
  HWND frame = CreateWindowExA(0, "KalimuScreenshotFrame", title, WS_POPUP | WS_BORDER, 0, 0, width, height, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(frame, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return frame;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
           HINSTANCE instance = nullptr) {
  HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), instance, nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return child;
}

void Label(HWND parent, const char* text, int x, int y, int w) { Child(parent, "STATIC", text, 0, x, y, w, 16, -1); }

// ---- Track bars ------------------------------------------------------------------------------------

HWND Bar(HWND parent, int x, int y, int w, int h, int low, int high, int position, int id) {
  HWND bar = Child(parent, kTrackBarClass, "", WS_TABSTOP, x, y, w, h, id, g_library);
  SendMessageA(bar, WM_USER, kTrackSetRange, MAKELPARAM(low, high));
  SendMessageA(bar, WM_USER, kTrackSetPosition, position);
  return bar;
}

void TrackBars(testkit::ScreenshotRun& run) {
  HWND frame = Frame("Track bars", 560, 300);
  Label(frame, "0..50, position 25, ticks every 5, marked centre (224 px)", 10, 8, 400);
  HWND a = Bar(frame, 10, 26, 224, 30, 0, 50, 25, 1);
  SendMessageA(a, WM_USER, kTrackSetTickMarks, 1);
  SendMessageA(a, WM_USER, kTrackSetTickFrequency, 5);
  SendMessageA(a, WM_USER, kTrackSetMark, 25);
  Label(frame, "Colour adjustment -25..+25 at +10 (130 px), with focus", 10, 66, 400);
  HWND b = Bar(frame, 10, 84, 130, 30, 0, 50, 35, 2);
  SendMessageA(b, WM_USER, kTrackSetMark, 25);
  SetFocus(b);
  Label(frame, "0..100 compressed on 64 px, at 100", 10, 124, 300);
  Bar(frame, 10, 142, 64, 30, 0, 100, 100, 3);
  Label(frame, "Short control (20 px high), 0..2 at 1", 280, 124, 260);
  HWND c = Bar(frame, 280, 142, 150, 20, 0, 2, 1, 4);
  SendMessageA(c, WM_USER, kTrackSetTickMarks, 1);
  SendMessageA(c, WM_USER, kTrackSetMark, 1);
  Label(frame, "Disabled, 0..4 at 3 with ticks", 10, 184, 300);
  HWND d = Bar(frame, 10, 202, 224, 30, 0, 4, 3, 5);
  SendMessageA(d, WM_USER, kTrackSetTickMarks, 1);
  EnableWindow(d, FALSE);
  Label(frame, "Thumb held (dragging)", 280, 184, 260);
  HWND e = Bar(frame, 280, 202, 224, 30, 0, 50, 10, 6);
  SendMessageA(e, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(52, 10));
  ShowWindow(frame, SW_SHOWNOACTIVATE);
  SetFocus(b);
  run.Take(frame, "track_bar");
  SendMessageA(e, WM_LBUTTONUP, 0, MAKELPARAM(52, 10));
  DestroyWindow(frame);
}

// ---- Ink meters ------------------------------------------------------------------------------------

InkMeterData Data(std::initializer_list<std::pair<int, int32_t>> words) {
  InkMeterData data{};
  for (const auto& [word, value] : words) data.words[word] = value;
  return data;
}

// A set-up block: the kind and, in words 2-3, the module of the warning pictures.
InkMeterData SetUp(int32_t kind) {
  InkMeterData data{};
  data.words[kInkWordKind] = kind;
  SetInkMeterModule(&data, kInkWordModule, g_library);
  return data;
}

HWND Meter(HWND parent, int x, int y, int w, int h) {
  return Child(parent, kInkMeterClass, "", 0, x, y, w, h, 25000, g_library);
}

void Send(HWND meter, WPARAM command, InkMeterData data) {
  SendMessageA(meter, WM_USER, command, reinterpret_cast<LPARAM>(&data));
}

void SlotMeter(HWND parent, int x, int y, int w, int h, int code, WPARAM command, int level, int extra_a = 0,
               int extra_b = 0) {
  HWND meter = Meter(parent, x, y, w, h);
  InkMeterData setup{};
  setup.words[kInkWordKind] = code;
  setup.words[kInkWordSlot] = code;
  setup.words[kInkWordProportion] = 100;
  setup.words[kInkWordValueB] = -1;
  SetInkMeterModule(&setup, kInkWordSlotModule, g_library);
  Send(meter, kInkSlotSetUp, setup);
  InkMeterData data{};
  data.words[code] = level;
  data.words[kInkWordValueA] = extra_a;
  data.words[kInkWordValueB] = extra_b;
  Send(meter, command, data);
}

void InkMeters(testkit::ScreenshotRun& run) {
  HWND frame = Frame("Ink meters", 640, 430);
  Label(frame, "One meter per ink (slot meters): levels, low with label, out, uncertain", 10, 6, 600);
  const struct {
    int code;
    WPARAM command;
    int level;
    int a, b;
    const char* name;
  } inks[] = {{1, kInkSlotLevel, 80, 0, 0, "BK"},       {2, kInkSlotLevel, 55, 0, 0, "C"},
              {3, kInkSlotLow, 4, 1, 0, "M"},           {4, kInkSlotLevel, 100, 0, 0, "Y"},
              {5, kInkSlotOut, 0, 0, 0, "LC"},          {6, kInkSlotUncertain, 35, 1, 0, "LM"},
              {7, kInkSlotLevel, 20, 0, 0, "DY"},       {8, kInkSlotUncertain, 60, 0, 0, "GY"},
              {11, kInkSlotLevel, 70, 0, 0, "LGY"},     {9, kInkSlotLevel, 45, 0, 0, "R"}};
  int x = 10;
  for (const auto& ink : inks) {
    SlotMeter(frame, x, 26, 48, 150, ink.code, ink.command, ink.level, ink.a, ink.b);
    Label(frame, ink.name, x + 16, 180, 40);
    x += 60;
  }
  Label(frame, "Black meter: level 60, low, out", 10, 206, 240);
  HWND black1 = Meter(frame, 10, 226, 50, 150);
  Send(black1, kInkBlackSetUp, SetUp(1));
  Send(black1, kInkBlackLevel, Data({{1, 60}}));
  HWND black2 = Meter(frame, 70, 226, 50, 150);
  Send(black2, kInkBlackSetUp, SetUp(1));
  Send(black2, kInkBlackLow, Data({}));
  HWND black3 = Meter(frame, 130, 226, 50, 150);
  Send(black3, kInkBlackSetUp, SetUp(1));
  Send(black3, kInkBlackOut, Data({}));
  Label(frame, "Colour groups: kinds 2 (low), 4, 6, 7 (uncertain); disabled", 200, 206, 430);
  const struct {
    int kind;
    WPARAM command;
  } groups[] = {{2, kInkGroupLow}, {4, kInkGroupLevels}, {6, kInkGroupLevels}, {7, kInkGroupUncertain}};
  x = 200;
  for (const auto& group : groups) {
    HWND meter = Meter(frame, x, 226, 84, 150);
    Send(meter, kInkGroupSetUp, SetUp(group.kind));
    Send(meter, group.command, Data({{2, 40}, {3, 75}, {4, 60}, {5, 9}, {6, 85}, {7, 30}, {68, 1}, {69, 0}}));
    x += 92;
  }
  HWND disabled = Meter(frame, x, 226, 48, 150);
  Send(disabled, kInkKindSetUp, SetUp(3));
  Send(disabled, kInkKindLevel, Data({{3, 50}}));
  EnableWindow(disabled, FALSE);
  ShowWindow(frame, SW_SHOWNOACTIVATE);
  run.Take(frame, "ink_meter");
  DestroyWindow(frame);
}

// ---- Drawing helpers -------------------------------------------------------------------------------

HBITMAP g_sample = nullptr;

void DrawHelperItem(const DRAWITEMSTRUCT* item) {
  const int id = static_cast<int>(item->CtlID);
  if (id >= 10 && id < 14) {  // utility picture buttons in the four frame states
    UniqueGdiObject bitmap(LoadBitmapA(g_library, MAKEINTRESOURCEA(7600 + (id - 10) * 2)));
    DRAWITEMSTRUCT copy = *item;
    if (id == 11) copy.itemState |= ODS_FOCUS;
    if (id == 12) copy.itemState |= ODS_SELECTED;
    DrawBitmapButton(&copy, static_cast<HBITMAP>(bitmap.get()), nullptr, kPictureKey);
    DrawItemFocus(&copy);
    return;
  }
  if (id == 20 || id == 21) {  // sign boxes
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(id == 20 ? COLOR_WINDOW : COLOR_BTNFACE));
    SetBkColor(item->hDC, GetSysColor(id == 20 ? COLOR_WINDOW : COLOR_BTNFACE));
    const char* sign = id == 20 ? "+" : "-";
    TEXTMETRICA tm{};
    GetTextMetricsA(item->hDC, &tm);
    ExtTextOutA(item->hDC, (LOWORD(GetDialogBaseUnits()) / 4) * 2, (item->rcItem.top + item->rcItem.bottom - tm.tmHeight) / 2,
                ETO_OPAQUE | ETO_CLIPPED, &item->rcItem, sign, 1, nullptr);
    DrawItemFrame(item, GetSysColor(COLOR_WINDOW), FALSE);
    return;
  }
  if (id == 30) {  // the layout page's picture and the binding edges with the key colour
    UniqueGdiObject bitmap(LoadBitmapA(g_library, MAKEINTRESOURCEA(7300)));
    DrawItemBitmap(item, static_cast<HBITMAP>(bitmap.get()), kPictureKey);
    return;
  }
  if (id >= 31 && id <= 33) {
    UniqueGdiObject bitmap(LoadBitmapA(g_library, MAKEINTRESOURCEA(7804 + id - 31)));
    DrawItemBitmap(item, static_cast<HBITMAP>(bitmap.get()), kPictureKey);
    return;
  }
  if (id == 40 && g_sample != nullptr) {  // the corrected sample picture
    UniqueMemoryDc source(CreateCompatibleDC(item->hDC));
    Selection selected(source.get(), g_sample);
    BitBlt(item->hDC, 0, 0, 120, 90, source.get(), 0, 0, SRCCOPY);
    return;
  }
  if (id == 50) {  // owner-drawn combo items with separators
    if (item->itemID == static_cast<UINT>(-1)) return;
    DrawComboItemText(GetParent(item->hwndItem), item);
    if (item->itemID == 1) DrawItemSeparator(item, 1);
    return;
  }
}

void DrawingHelpers(testkit::ScreenshotRun& run, kalimu::settings::JobSettings* settings) {
  HWND frame = Frame("Drawing helpers", 560, 330);
  g_draw_item = DrawHelperItem;
  Label(frame, "Picture buttons: raised, focused, pressed, raised", 10, 6, 400);
  for (int i = 0; i < 4; ++i) Child(frame, "BUTTON", "", BS_OWNERDRAW, 10 + i * 62, 24, 56, 40, 10 + i);
  Label(frame, "Sign boxes", 270, 6, 100);
  Child(frame, "BUTTON", "", BS_OWNERDRAW, 270, 24, 18, 20, 20);
  Child(frame, "BUTTON", "", BS_OWNERDRAW, 294, 24, 18, 20, 21);
  Label(frame, "Key-colour pictures", 10, 76, 200);
  Child(frame, "BUTTON", "", BS_OWNERDRAW, 10, 94, 160, 44, 30);
  for (int i = 0; i < 3; ++i) Child(frame, "BUTTON", "", BS_OWNERDRAW, 180 + i * 56, 94, 50, 44, 31 + i);
  Label(frame, "Corrected sample picture", 360, 76, 180);
  Child(frame, "BUTTON", "", BS_OWNERDRAW, 360, 94, 120, 90, 40);
  Label(frame, "Owner-drawn list with a separator", 10, 150, 300);
  HWND combo = Child(frame, "COMBOBOX", "", CBS_SIMPLE | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 10, 168, 220, 90, 50);
  for (const char* text : {"A4 (Borderless)", "User Defined", "My Poster 24 x 36 in", "Banner 8 x 48 in"}) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  Label(frame, "Ellipsis", 250, 196, 100);
  HWND fit = Child(frame, "STATIC", "", SS_LEFT, 250, 214, 150, 18, 60);
  {
    HDC dc = GetDC(fit);
    Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
    char text[128] = "Premium Luster Photo Paper (260) on Roll 44 in";
    FitTextWithEllipsis(frame, dc, text, sizeof(text), 60);
    SetWindowTextA(fit, text);
    ReleaseDC(fit, dc);
  }
  if (settings != nullptr) {
    kalimu::pages::PageShared shared{};
    shared.resource_module = g_library;
    kalimu::pages::SheetContext context{};
    kalimu::pages::PageParam param{settings, &shared, &context};
    settings->SetCorrectionMode(3);
    settings->SetCorrectionLevel(static_cast<uint32_t>(-1));
    HDC dc = GetDC(frame);
    RenderCorrectedSample(7803, &param, &g_sample, dc);
    ReleaseDC(frame, dc);
  }
  ShowWindow(frame, SW_SHOWNOACTIVATE);
  run.Take(frame, "drawing_helpers");
  DestroyWindow(frame);
  if (g_sample != nullptr) DeleteObject(g_sample);
  g_draw_item = nullptr;
}

// ---- Templates -------------------------------------------------------------------------------------

INT_PTR CALLBACK TemplateProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void Templates(testkit::ScreenshotRun& run) {
  std::set<int> templates;
  for (const auto& row : kTemplateControls) templates.insert(row.template_id);
  for (int id : templates) {
    const std::string name = "template_" + std::to_string(id);
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_BORDER, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                nullptr);
    HWND dialog = CreateDialogParamA(g_library, MAKEINTRESOURCEA(id), host, TemplateProc, 0);
    if (dialog == nullptr) {
      run.Fail(name, "the template does not open");
      DestroyWindow(host);
      continue;
    }
    HWND shown = dialog;
    if (GetWindowLongA(dialog, GWL_STYLE) & WS_CHILD) {  // a page: inside a frame of its size
      RECT rect;
      GetWindowRect(dialog, &rect);
      SetWindowPos(host, HWND_TOP, 0, 0, rect.right - rect.left + 2, rect.bottom - rect.top + 2, SWP_SHOWWINDOW);
      SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
      EnableWindow(dialog, TRUE);
      shown = host;
    } else {
      SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    run.Take(shown, name);
    DestroyWindow(dialog);
    DestroyWindow(host);
  }
}

}  // namespace

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  const std::string library = testkit::TestProgramDirectory() + "testkit_resources_english.dll";
  g_library = LoadLibraryExA(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (g_library == nullptr) {
    run.Fail("resource library", "cannot load " + library);
    return run.ExitCode();
  }
  RegisterCustomControls(g_library);
  TrackBars(run);
  InkMeters(run);
  {
    // The sample picture needs a settings object: one on a sample-model printer of this prefix.
    kalimu::settings::test::SettingsOnPrinter printer(testkit::RollPaperModel());
    DrawingHelpers(run, printer.ok() ? &printer.settings() : nullptr);
    if (!printer.ok()) run.Fail("sample picture", "no settings object: " + printer.error());
  }
  Templates(run);
  UnregisterCustomControls(g_library);
  FreeLibrary(g_library);
  return run.ExitCode();
}
