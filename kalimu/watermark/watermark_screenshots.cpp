// Screenshots of the watermark dialogs: the list dialog opened over two built-in and three user
// watermarks, as it opens and with a user watermark selected; the edit dialog on a text, a
// built-in bitmap and a user bitmap watermark, in move and rotation mode, and without entries.
// Usage: kalimu_watermark_screenshots <output folder>.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kalimu/platform/global_block.h"
#include "kalimu/watermark/watermark_bitmap_file.h"
#include "kalimu/watermark/watermark_edit_state.h"
#include "kalimu/watermark/watermark_list_dialog.h"
#include "testkit/kalimu/user_files_builder.h"
#include "testkit/windows/printer_fixture.h"
#include "testkit/windows/window_capture.h"

namespace {

using kalimu::storage::WatermarkEntry;
using namespace kalimu::watermark;

// Runs `shoot` on the list dialog once it is up, then cancels it.
std::function<void(HWND)> g_shoot;
HHOOK g_hook = nullptr;
HWND g_dialog = nullptr;
int g_marker = kListNames;  // a control of the dialog to wait for

void CALLBACK Shoot(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_shoot) g_shoot(g_dialog);
  g_shoot = nullptr;
  PostMessageA(g_dialog, WM_COMMAND, IDCANCEL, 0);
}

LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && g_dialog == nullptr) {
    HWND window = reinterpret_cast<HWND>(wparam);
    if (GetDlgItem(window, g_marker) != nullptr) {
      g_dialog = window;
      SetTimer(nullptr, 0, 50, Shoot);
    }
  }
  return CallNextHookEx(g_hook, code, wparam, lparam);
}

WatermarkEntry Entry(int position, const char* name, const char* text, int bitmap_id, int kind) {
  WatermarkEntry e{};
  e.position = static_cast<int16_t>(position);
  e.bitmap_id = bitmap_id;
  e.kind = kind;
  std::strcpy(e.name, name);
  std::strcpy(kind == 1 ? e.bitmap_path : e.text, text);
  return e;
}

// Opens a dialog (the one holding control `marker`) with `open`, captures it as `name` once
// `prepare` has set it up, and cancels it.
void Shoot(testkit::ScreenshotRun& run, const std::string& name, int marker, const std::function<void(HWND)>& prepare,
           const std::function<WatermarkEntry*()>& open) {
  bool taken = false;
  g_dialog = nullptr;
  g_marker = marker;
  g_shoot = [&](HWND dialog) {
    prepare(dialog);
    testkit::PumpMessages(200);
    taken = run.Take(dialog, name);
  };
  g_hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  WatermarkEntry* result = open();
  UnhookWindowsHookEx(g_hook);
  if (result != nullptr) kalimu::platform::GlobalBlock::FreeLocked(result);
  if (g_dialog == nullptr) {
    run.Fail(name, "the dialog did not open");
  } else if (!taken) {
    run.Fail(name, "the dialog was not captured");
  }
}

void ListDialog(testkit::ScreenshotRun& run, HMODULE library, const std::string& name,
                std::function<void(HWND)> prepare) {
  std::vector<WatermarkEntry> entries = {
      Entry(0, "CONFIDENTIAL", "", 16001, 2), Entry(1, "DRAFT", "", 16002, 2),
      Entry(2, "Internal Use Only", "INTERNAL USE ONLY", 0, 0), Entry(3, "Company Logo", "C:\\logos\\company.bmp", 0, 1),
      Entry(4, "Sample", "SAMPLE", 0, 0)};
  int16_t count = static_cast<int16_t>(entries.size());
  int16_t selection = 0;
  const int32_t margins[4] = {50, 50, 50, 50};
  Shoot(run, name, kListNames, prepare, [&] {
    return ManageWatermarksDialog(nullptr, library, entries.data(), &count, &selection, 8, 2100, 2970, margins,
                                  nullptr, nullptr);
  });
}

// A user's picture: a 24-bit BMP of a sun over green hills on a blue sky.
std::vector<uint8_t> LogoPicture(int width, int height) {
  const int row = (width * 3 + 3) / 4 * 4;
  std::vector<uint8_t> file(54 + size_t(row) * height, 0);
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) file[at + k] = static_cast<uint8_t>(v >> (8 * k));
  };
  put(0, 0x4D42, 2);
  put(2, static_cast<uint32_t>(file.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<uint32_t>(width), 4);
  put(22, static_cast<uint32_t>(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < height; ++y) {
    const int top = height - 1 - y;  // rows bottom-up
    for (int x = 0; x < width; ++x) {
      uint8_t b = static_cast<uint8_t>(255 - top), g = static_cast<uint8_t>(180 - top / 2), r = 90;
      const int dx = x - width * 2 / 3, dy = top - height / 3;
      if (dx * dx + dy * dy < height * height / 36) b = 40, g = 210, r = 250;
      const double hill = height * 0.7 + 12 * std::sin(x * 0.05);
      if (top > hill) b = 40, g = static_cast<uint8_t>(150 + (x % 40)), r = 50;
      uint8_t* p = &file[54 + size_t(y) * row + size_t(x) * 3];
      p[0] = b, p[1] = g, p[2] = r;
    }
  }
  return file;
}

// The edit dialog over a built-in, a text and a user bitmap watermark (entry `index`).
void EditDialog(testkit::ScreenshotRun& run, HMODULE library, const std::string& name, int16_t index,
                const std::string& folder, bool with_entries, std::function<void(HWND)> prepare) {
  std::vector<WatermarkEntry> entries = {Entry(0, "CONFIDENTIAL", "", 16001, 2), Entry(1, "Sample", "SAMPLE", 0, 0),
                                         Entry(2, "Company Logo", (folder + "logo.bmp").c_str(), 0, 1)};
  std::strcpy(entries[0].bitmap_path, (folder + "KVWM01.BMP").c_str());
  std::strcpy(entries[0].thumbnail_path, (folder + "KVWM01.MWB").c_str());
  entries[0].color[2] = 255;
  LOGFONTA font = MakeDefaultWatermarkFont(false);
  SetEntryFont(entries[1], font);
  entries[1].angle = -0.5235987755982988;
  entries[1].color[0] = 255;
  entries[1].stamp = 0;
  entries[1].frame = 1;
  for (WatermarkEntry& e : entries) {
    e.size_percent = 45;
    e.density_percent = 100;
  }
  int16_t count = static_cast<int16_t>(entries.size());
  const int32_t margins[4] = {80, 80, 80, 80};
  WatermarkHelpBlock help{"", 0};
  Shoot(run, name, kEditPreview, prepare, [&] {
    return EditWatermarkDialog(nullptr, library, with_entries ? entries.data() : nullptr, &count, &index, 4, 2100,
                               2970, margins, nullptr, &help);
  });
}

// Posts a pointer message at a point of the preview and lets the dialog handle it.
void Pointer(HWND dialog, UINT message, PreviewPoint at, WPARAM keys) {
  const PreviewPoint p = PreviewToDialogPoint(dialog, at);
  SendMessageA(dialog, message, keys, MAKELPARAM(p.x, p.y));
}

void ClickWatermark(HWND dialog) {
  const WatermarkEditState* s = EditStateOf(dialog);
  const PreviewPoint c{s->shape.box.centre_x, s->shape.box.centre_y};
  Pointer(dialog, WM_MOUSEMOVE, c, 0);
  Pointer(dialog, WM_LBUTTONDOWN, c, MK_LBUTTON);
  Pointer(dialog, WM_LBUTTONUP, c, 0);
}

void SelectItem(HWND dialog, const char* name) {
  HWND list = GetDlgItem(dialog, kListNames);
  const LRESULT item =
      SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kListNames, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

}  // namespace

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  const std::string path = testkit::TestProgramDirectory() + "testkit_resources_english.dll";
  HMODULE library = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (library == nullptr) {
    run.Fail("resource library", "cannot load " + path);
    return run.ExitCode();
  }
  ListDialog(run, library, "watermark_list", [](HWND) {});
  ListDialog(run, library, "watermark_list_text_selected", [](HWND dialog) { SelectItem(dialog, "Sample"); });
  ListDialog(run, library, "watermark_list_bitmap_selected",
             [](HWND dialog) { SelectItem(dialog, "Company Logo"); });
  // The edit dialog's files go to a folder of the run's own.
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof(temp), temp);
  const std::string folder = std::string(temp) + "kalimu_edit_screenshots\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  testkit::WriteBytes(folder + "logo.bmp", LogoPicture(160, 120));
  EditDialog(run, library, "watermark_edit_text", 1, folder, true, [](HWND dialog) {
    const WatermarkEditState* s = EditStateOf(dialog);
    Pointer(dialog, WM_MOUSEMOVE, {s->shape.box.centre_x, s->shape.box.centre_y}, 0);
  });
  EditDialog(run, library, "watermark_edit_text_rotating", 1, folder, true, ClickWatermark);
  EditDialog(run, library, "watermark_edit_fixed_bitmap", 0, folder, true, [](HWND) {});
  EditDialog(run, library, "watermark_edit_user_bitmap", 2, folder, true, [](HWND dialog) {
    SendDlgItemMessageA(dialog, kEditPosition, CB_SETCURSEL, 3, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kEditPosition, CBN_SELCHANGE), 0);
  });
  EditDialog(run, library, "watermark_edit_empty", 0, folder, false, [](HWND) {});
  FreeLibrary(library);
  return run.ExitCode();
}
