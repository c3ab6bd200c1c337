// Screenshots of the watermark list dialog: opened over two built-in and three user watermarks,
// once as it opens and once with a user text watermark selected.
// Usage: kalimu_watermark_screenshots <output folder>.
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kalimu/platform/global_block.h"
#include "kalimu/watermark/watermark_list_dialog.h"
#include "testkit/windows/printer_fixture.h"
#include "testkit/windows/window_capture.h"

namespace {

using kalimu::storage::WatermarkEntry;
using namespace kalimu::watermark;

// Runs `shoot` on the list dialog once it is up, then cancels it.
std::function<void(HWND)> g_shoot;
HHOOK g_hook = nullptr;
HWND g_dialog = nullptr;

void CALLBACK Shoot(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_shoot) g_shoot(g_dialog);
  g_shoot = nullptr;
  PostMessageA(g_dialog, WM_COMMAND, IDCANCEL, 0);
}

LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && g_dialog == nullptr) {
    HWND window = reinterpret_cast<HWND>(wparam);
    if (GetDlgItem(window, kListNames) != nullptr) {
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

void ListDialog(testkit::ScreenshotRun& run, HMODULE library, const std::string& name,
                std::function<void(HWND)> prepare) {
  std::vector<WatermarkEntry> entries = {
      Entry(0, "CONFIDENTIAL", "", 16001, 2), Entry(1, "DRAFT", "", 16002, 2),
      Entry(2, "Internal Use Only", "INTERNAL USE ONLY", 0, 0), Entry(3, "Company Logo", "C:\\logos\\company.bmp", 0, 1),
      Entry(4, "Sample", "SAMPLE", 0, 0)};
  int16_t count = static_cast<int16_t>(entries.size());
  int16_t selection = 0;
  const int32_t margins[4] = {50, 50, 50, 50};
  bool taken = false;
  g_dialog = nullptr;
  g_shoot = [&](HWND dialog) {
    prepare(dialog);
    testkit::PumpMessages(200);
    taken = run.Take(dialog, name);
  };
  g_hook = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  WatermarkEntry* result = ManageWatermarksDialog(nullptr, library, entries.data(), &count, &selection, 8, 2100, 2970,
                                                  margins, nullptr, nullptr);
  UnhookWindowsHookEx(g_hook);
  if (result != nullptr) kalimu::platform::GlobalBlock::FreeLocked(result);
  if (g_dialog == nullptr) {
    run.Fail(name, "the dialog did not open");
  } else if (!taken) {
    run.Fail(name, "the dialog was not captured");
  }
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
  FreeLibrary(library);
  return run.ExitCode();
}
