// Screenshots of the settings dialogs: printer adjustment waiting for the printer, answered from
// the printer and from the store; user settings on the simple and the extended model; the name
// clash and rename dialogs of an import.
// Usage: kalimu_dialogs_screenshots <output folder>.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/dialogs/dialog_test_support.h"
#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/dialogs/name_clash_dialog.h"
#include "kalimu/dialogs/printer_adjust_dialog.h"
#include "kalimu/dialogs/user_settings_dialog.h"
#include "kalimu/dialogs/user_settings_entries.h"
#include "kalimu/pages/custom_controls.h"
#include "kalimu/pages/tooltips.h"
#include "testkit/kalimu/status_printer.h"
#include "testkit/standins/status_switches.h"
#include "testkit/status/status_replies.h"
#include "testkit/windows/printer_fixture.h"
#include "testkit/windows/window_capture.h"

namespace {

using namespace kalimu;
using dialogs::test::ModalRun;
using dialogs::test::Step;

HMODULE g_library = nullptr;

// A sheet's records over a settings object.
struct Sheet {
  Sheet(testkit::ModelPrinter& printer, settings::DriverDevMode* record) {
    settings = dialogs::NewJobSettings(printer, record);
    std::memset(&shared, 0, sizeof(shared));
    std::memset(&context, 0, sizeof(context));
    shared.resource_module = context.resource_module = g_library;
    param = {settings.get(), &shared, &context};
  }
  std::unique_ptr<settings::JobSettings> settings;
  pages::PageShared shared;
  driver::SheetContext context;
  pages::PageParam param{};
};

// Opens the template with the procedure, runs `prepare` steps, then captures it and cancels.
void Shoot(testkit::ScreenshotRun& run, Sheet& sheet, int template_id, DLGPROC procedure, const std::string& name,
           std::vector<Step> prepare, int cancel = IDCANCEL) {
  bool taken = false;
  bool opened = false;
  prepare.insert(prepare.begin(), [&](HWND) {
    opened = true;
    return true;
  });
  // The capture pumps messages: the steps' timer runs meanwhile, so the last step waits for it.
  bool captured = false;
  const ULONGLONG settle = 300;
  ULONGLONG since = 0;
  prepare.push_back([&](HWND) {
    if (since == 0) since = GetTickCount64();
    return GetTickCount64() - since >= settle;
  });
  prepare.push_back([&](HWND dialog) {
    taken = run.Take(dialog, name);
    captured = true;
    return true;
  });
  prepare.push_back([&, cancel](HWND dialog) {
    if (!captured) return false;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(cancel, BN_CLICKED), 0);
    return true;
  });
  ModalRun::RunSteps(g_library, nullptr, procedure, template_id, &sheet.param, std::move(prepare));
  pages::RemovePageToolTipHooks();
  if (!opened) {
    run.Fail(name, "the dialog did not open");
  } else if (!taken) {
    run.Fail(name, "the dialog was not captured");
  }
}

void PrinterAdjust(testkit::ScreenshotRun& run) {
  testkit::StatusPrinter printer(dialogs::PrinterAdjustModel(4, 4));
  if (!printer.ok() || !printer.model_printer().InstallResourceLibrary()) {
    run.Fail("printer_adjust", "no printer: " + printer.error());
    return;
  }
  settings::DriverDevMode record{};
  Sheet sheet(printer.model_printer(), &record);
  auto ok_enabled = [](HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, dialogs::kAdjustOk)) != FALSE; };

  // The helper never answers: the dialog waits with only Cancel open.
  printer.SetSwitch(testkit::kRefreshFlagVar, "0");
  Shoot(run, sheet, 2350, &dialogs::PrinterAdjustDlgProc, "printer_adjust_waiting", {});

  // A fresh reply with the values.
  const testkit::Bytes reply = testkit::BinaryReply()
                                   .Status(1)
                                   .Record(11, {0x0A, 12, 3, 0xFD, 40, 8, 15, 22, 0})
                                   .Record(20, {1})
                                   .Record(21, {31, 32})
                                   .Record(27, {200, 12, 0, 9})
                                   .Record(29, {17})
                                   .Inks({{0x0501, 40}, {0x4B01, 50}})
                                   .Build();
  SYSTEMTIME now;
  GetLocalTime(&now);
  const int32_t flag = 2;
  printer.WriteValue("RX_FLAG", REG_BINARY, &flag, sizeof flag);
  printer.WriteValue("RX_TIME", REG_BINARY, &now, sizeof now);
  printer.WriteValue("RX_STATUS", REG_BINARY, reply.data(), static_cast<DWORD>(reply.size()));
  Shoot(run, sheet, 2350, &dialogs::PrinterAdjustDlgProc, "printer_adjust_from_printer", {ok_enabled});

  // No printer talk: the stored values, ready to be typed after the sheet is printed.
  settings::DevModeAccessor(&record).SetNoBidiFlagBits(4, 1);
  Shoot(run, sheet, 2350, &dialogs::PrinterAdjustDlgProc, "printer_adjust_from_store",
        {ok_enabled, [](HWND dialog) {
           dialogs::EnableAdjustValueFields(dialog, reinterpret_cast<dialogs::PrinterAdjustState*>(
                                                        GetWindowLongPtrA(dialog, GWLP_USERDATA))->shape);
           return true;
         }});
}

class NoPrompts : public dialogs::SavePrompts {
 public:
  bool ConfirmOverwrite() override { return true; }
  void ShowStoreFull() override {}
};

void UserSettings(testkit::ScreenshotRun& run) {
  for (bool extended : {false, true}) {
    auto model = testkit::RollPaperModel();
    if (extended) model.header.flags24 |= 0x100000u;
    testkit::ModelPrinter printer(model);
    const std::string name = extended ? "user_settings_extended" : "user_settings_simple";
    if (!printer.ok() || !printer.InstallResourceLibrary()) {
      run.Fail(name, "no printer: " + printer.error());
      continue;
    }
    settings::DriverDevMode record{};
    Sheet sheet(printer, &record);
    NoPrompts prompts;
    uint32_t index = 0;
    for (const wchar_t* entry : {L"Posters, matte", L"Photo proofs", L"Line drawings", L"Night shift"}) {
      dialogs::SaveUserSettingsEntry(*sheet.settings, entry, nullptr, prompts, &index);
    }
    auto choose = [extended](HWND dialog) {
      HWND list = GetDlgItem(dialog, dialogs::kSettingsList);
      SendMessageA(list, LB_SETSEL, TRUE, 1);
      if (extended) SendMessageA(list, LB_SETSEL, TRUE, 2);
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(dialogs::kSettingsList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
      return true;
    };
    Shoot(run, sheet, 2600, &dialogs::UserSettingsDlgProc, name, {choose});

    if (!extended) continue;
    // The clash and rename dialogs of an import, over the user settings dialog's records.
    wcscpy(sheet.shared.clash_name, L"Photo proofs");
    Shoot(run, sheet, dialogs::kNameClashTemplate, &dialogs::NameClashDlgProc, "name_clash", {},
          dialogs::kClashCancelButton);
    Shoot(run, sheet, dialogs::kRenameTemplate, &dialogs::RenameEntryDlgProc, "rename",
          {[](HWND dialog) {
            SetDlgItemTextA(dialog, dialogs::kRenameEdit, "Photo proofs 2");
            return true;
          }});
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
  pages::RegisterCustomControls(g_library);
  PrinterAdjust(run);
  UserSettings(run);
  pages::UnregisterCustomControls(g_library);
  FreeLibrary(g_library);
  return run.ExitCode();
}
