// A user's walk through the document sheet, as applications open it: DocumentPropertiesW with
// DM_IN_PROMPT on an installed printer whose configuration module is Kalimu.dll, run by the
// property-sheet component's stand-in (compstui.dll beside the program, loaded by its full path
// before the spooler asks for it). The walk visits each page, changes paper, orientation,
// copies, media, quality and colour, opens the dialog of every button a page shows and leaves
// it with OK, presses OK, opens the sheet again on the record it handed back (every change must
// still show) and prints a page through the spooler. A picture is taken at each step.
//
// The sheet is opened as the print dialog's Properties button opens it: DocumentPropertiesW with
// the printer's handle. The print dialog itself first asks the driver without a handle
// (DocumentPropertiesW and DeviceCapabilitiesW with a null printer handle), which the walk
// leaves to the spooler's own tests.
//
// Fails on a message box, a change that did not last, a list the model gives entries for that
// shows none, a dialog that does not end, or a print that does not reach the port.
// Usage: kalimu_driver_walk_screenshots <output folder>.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "kalimu/driver/sheet_run_test_support.h"
#include "kalimu/pages/main_page.h"
#include "kalimu/pages/paper_page.h"
#include "kalimu/pages/utility_page.h"
#include "kalimu/settings/dev_mode_accessor.h"
#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/settings/job_settings.h"
#include "testkit/kalimu/driver_printer.h"
#include "testkit/windows/message_box_watcher.h"
#include "testkit/windows/window_capture.h"

namespace {

using kalimu::driver::test::ChooseItem;
using kalimu::driver::test::ClickItem;
using kalimu::driver::test::ItemEnabled;
using kalimu::driver::test::ItemVisible;
using kalimu::driver::test::ParamOfPage;
using kalimu::driver::test::ShowSheetPage;
using kalimu::settings::JobSettings;
using kalimu::settings::kDevModeSize;
namespace pages = kalimu::pages;

constexpr int kMainPage = 0, kPaperPage = 1, kLayoutPage = 2, kUtilityPage = 3;
constexpr const char* kPageNames[] = {"main", "paper", "layout", "utility"};

// Layout page controls (template 902) the walk uses; the page's own header shares a name with
// the main page's and is not included beside it.
constexpr int kWatermarkManageButton = 2409, kPageOrderButton = 2413, kWatermarkEditButton = 2414,
              kPosterPanelButton = 2423, kBindingMarginButton = 2434, kOutputPaperList = 2405,
              kWatermarkList = 2422, kPagesPerSheetRadio = 2425, kPosterRadio = 2426, kDuplexCheck = 2433, kMultiPageCheck = 2436;
// The advanced settings dialog's button that opens the user settings dialog.
constexpr int kUserSettingsButton = 2122;

// Every button of a page that opens a dialog of the driver's own, with the picture's name and the
// buttons of that dialog opened in turn. The utility page's other buttons start helper programs
// and the main page's support button a browser: the walk leaves them alone, as it leaves Help.
// `first` names what the user does before the button shows: controls clicked (when shown, enabled
// and not yet checked) and a list whose second entry is chosen.
struct ButtonWalk {
  int page;
  int button;
  const char* name;
  std::vector<std::pair<int, const char*>> nested;
  std::vector<int> first = {};
  int choose_second_of = 0;
};
const ButtonWalk kButtons[] = {
    {kMainPage, pages::kAdvancedButton, "advanced_settings", {{kUserSettingsButton, "user_settings"}},
     {pages::kModeRadioType0}},
    {kPaperPage, pages::kPaperWidthButton, "paper_width", {}},
    {kPaperPage, pages::kLevelButton, "feed", {}},  // "Feed..."
    {kPaperPage, pages::kPairedLevelButton, "level", {}},
    {kLayoutPage, kPageOrderButton, "page_order", {}, {kMultiPageCheck, kPagesPerSheetRadio}},
    {kLayoutPage, kPosterPanelButton, "poster_panels", {}, {kMultiPageCheck, kPosterRadio}},
    {kLayoutPage, kBindingMarginButton, "binding_margin", {}, {kDuplexCheck}},
    {kLayoutPage, kWatermarkEditButton, "watermark_edit", {}, {}, kWatermarkList},
    {kLayoutPage, kWatermarkManageButton, "watermark_list", {}},
    {kUtilityPage, pages::kAdjustButton, "printer_adjust", {}},
    {kUtilityPage, pages::kDriverOptionsButton, "driver_options", {}},
};

// Faults the walk finds on the sample model as it stands, each with its cause: reported, not
// failed, until the cause is mended (then the walk says so, and the row goes). Keys name the check.
struct KnownFault {
  const char* check;
  const char* cause;
};
// None stands at present; a new fault found on the walk gets its row here until it is mended.
const std::vector<KnownFault> kKnownFaults = {};

const KnownFault* FindKnownFault(const std::string& check) {
  for (const KnownFault& fault : kKnownFaults) {
    if (check == fault.check) return &fault;
  }
  return nullptr;
}

// A dialog's picture is taken once it has stood this many ticks (it is drawn by then).
constexpr int kShotTick = 20;
// How long a dialog may stand before the walk gives up on it (ticks of 50 ms).
constexpr int kDialogTicks = 200;

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::string ComboText(HWND page, int id) {
  HWND combo = GetDlgItem(page, id);
  const LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (at < 0) return "";
  char text[256] = {};
  if (SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0) >= static_cast<LRESULT>(sizeof(text))) return "";
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
  return text;
}

LRESULT ComboCount(HWND page, int id) { return SendDlgItemMessageA(page, id, CB_GETCOUNT, 0, 0); }

JobSettings* SettingsOfPage(HWND page) {
  auto* param = ParamOfPage(page);
  return param != nullptr ? param->settings : nullptr;
}

class Walk {
 public:
  Walk(testkit::ScreenshotRun& run, testkit::DriverPrinter& printer)
      : run_(run), printer_(printer), name_(printer.wide_printer_name()) {}

  void Run();

 private:
  // One sheet: opened on `in` with DM_IN_PROMPT, the script acts on it and presses OK; the
  // handed-back record in *out. False when the sheet did not come or did not answer IDOK.
  bool Sheet(const std::vector<uint8_t>& in, const std::function<void(HWND)>& script, std::vector<uint8_t>* out,
             const std::string& step);
  void FirstVisit(HWND sheet);
  void SecondVisit(HWND sheet);
  void VisitButtons(HWND sheet, int page_index);
  // Clicks a page's button and handles every dialog it opens until it returns.
  void OpenDialog(HWND page, const ButtonWalk& walk);
  void CheckLists(HWND page, int page_index, const std::string& step);
  void Expect(bool condition, const std::string& step, const std::string& what);
  // As Expect, for a check that a known fault of the sample model may fail (kKnownFaults).
  void Check(bool condition, const std::string& step, const std::string& check, const std::string& what);
  void ReportKnownFaults();
  std::vector<std::string> seen_faults_;
  void Print(const std::vector<uint8_t>& record);
  void Shoot(HWND window, const std::string& name) { run_.Take(window, name); }
  void Note(const std::string& line) { std::printf("walk: %s\n", line.c_str()); }

  static void CALLBACK DialogTick(HWND, UINT, UINT_PTR, DWORD);

  testkit::ScreenshotRun& run_;
  testkit::DriverPrinter& printer_;
  std::wstring name_;
  testkit::MessageBoxWatcher boxes_;
  int step_ = 0;

  // The changes of the first visit, as the pages showed them; the second visit must show them.
  struct Shown {
    std::string paper, media, quality, copies;
    bool landscape = false, black = false;
  };
  Shown chosen_;

  // The dialogs of one button: their state while the button's click runs.
  struct DialogRun {
    const ButtonWalk* walk = nullptr;
    std::map<HWND, int> ticks;      // per dialog: ticks seen
    std::map<HWND, size_t> nested;  // per top dialog: nested buttons opened
    std::string nested_name;        // the nested button opened last
    std::map<HWND, int> ok;         // per dialog: its default button when it was shown
    std::map<HWND, int> end_from;   // per dialog: the tick its ending began (its buttons done)
    int shots = 0;
    int total_ticks = 0;
    bool gave_up = false;
  };
  static Walk* current_;
  DialogRun dialogs_;
};

Walk* Walk::current_ = nullptr;

std::string StepName(int step, const std::string& what) {
  char number[8];
  std::snprintf(number, sizeof(number), "%02d_", step);
  return std::string(number) + what;
}

void Walk::Expect(bool condition, const std::string& step, const std::string& what) {
  if (!condition) run_.Fail(step, what);
}

void Walk::Check(bool condition, const std::string& step, const std::string& check, const std::string& what) {
  if (condition) return;
  const KnownFault* known = FindKnownFault(check);
  if (known == nullptr) {
    run_.Fail(step, what);
    return;
  }
  seen_faults_.push_back(check);
  Note("known fault at " + step + ": " + what + " (" + known->cause + ")");
}

void Walk::ReportKnownFaults() {
  for (const KnownFault& fault : kKnownFaults) {
    bool seen = false;
    for (const std::string& check : seen_faults_) seen = seen || check == fault.check;
    if (!seen) Note(std::string("known fault \"") + fault.check + "\" no longer seen: its row can go");
  }
}

bool Walk::Sheet(const std::vector<uint8_t>& in, const std::function<void(HWND)>& script, std::vector<uint8_t>* out,
                 const std::string& step) {
  out->assign(kDevModeSize, 0);
  bool came = false;
  kalimu::driver::test::SheetTimer timer([&](HWND sheet) {
    came = true;
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    script(sheet);
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  });
  std::vector<uint8_t> copy = in;
  const LONG answer = DocumentPropertiesW(nullptr, printer_.handle(), name_.data(), reinterpret_cast<DEVMODEW*>(out->data()),
                                          reinterpret_cast<DEVMODEW*>(copy.data()),
                                          DM_IN_PROMPT | DM_IN_BUFFER | DM_OUT_BUFFER);
  Expect(came, step, "the sheet did not open");
  Expect(answer == IDOK, step, "the sheet answered " + std::to_string(answer) + " to OK");
  return came && answer == IDOK;
}

void Walk::CheckLists(HWND page, int page_index, const std::string& step) {
  JobSettings* s = SettingsOfPage(page);
  if (s == nullptr) {
    run_.Fail(step, "the page holds no settings");
    return;
  }
  uint32_t papers = 0, sources = 0, media = 0;
  s->GetPaperSizeCount(&papers);
  s->GetPaperSourceCount(&sources);
  s->GetMediaTypeCount(&media);
  // The quality levels the current mode offers (levels 1 to 4 and 10 are listed whatever the
  // halftone option says), unless the model header turns the list off.
  int32_t levels = 0;
  const uint16_t mode = s->GetCurrentModeIndex();
  switch (s->GetModeVariant()) {
    case 1: s->GetPrintModeValue76(s->FindModeIndexForVariant1(mode), &levels); break;
    case 2: s->GetPrintModeValue204(s->FindModeIndexForVariant2(mode), &levels); break;
    default: s->GetPrintModeValue140(s->FindModeIndexForVariant0(mode), &levels); break;
  }
  struct List {
    int page;
    int id;
    const char* name;
    bool model_gives_entries;
  };
  const List lists[] = {
      {kMainPage, pages::kMainMediaCombo, "Media Type", media > 0},
      {kMainPage, pages::kQualityCombo, "Print Quality", (levels & 0x41E) != 0 && !s->TestModelHeaderFlags20(0x8000000)},
      {kPaperPage, pages::kPaperSizeList, "Paper Size", papers > 0},
      {kPaperPage, pages::kPaperSourceList, "Paper Source", sources > 0},
      {kLayoutPage, kOutputPaperList, "Output Paper", papers > 0},
      {kLayoutPage, kWatermarkList, "Watermark", true},  // the built-in watermarks are always there
  };
  for (const List& list : lists) {
    if (list.page != page_index || !ItemVisible(page, list.id)) continue;
    const LRESULT count = ComboCount(page, list.id);
    if (list.model_gives_entries) {
      Check(count > 0, step, std::string("list ") + list.name,
            std::string("the list \"") + list.name + "\" shows no entry though the model gives some");
    } else if (count <= 0) {
      Note(std::string("the list \"") + list.name + "\" is empty: the model gives no entries");
    }
  }
}

void CALLBACK Walk::DialogTick(HWND, UINT, UINT_PTR, DWORD) {
  Walk* self = current_;
  if (self == nullptr) return;
  DialogRun& run = self->dialogs_;
  ++run.total_ticks;
  // The innermost dialog: a modal dialog disables its owner, so the one still enabled.
  HWND dialog = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM found) -> BOOL {
        char name[16] = {};
        GetClassNameA(window, name, sizeof(name));
        if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
            SendMessageW(window, PSM_GETCURRENTPAGEHWND, 0, 0) != 0 || GetDlgItem(window, 0xFFFF) != nullptr) {
          return TRUE;
        }
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) return;
  const int ticks = run.ticks[dialog]++;
  const bool top = GetWindow(dialog, GW_OWNER) != nullptr &&
                   SendMessageW(GetWindow(dialog, GW_OWNER), PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
  if (ticks == kShotTick) {
    // Drawn by now: the picture, named after the button or the nested button.
    std::string name = run.walk->name;
    if (!top && !run.nested_name.empty()) name += "_" + run.nested_name;
    const LRESULT default_id = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    run.ok[dialog] = HIWORD(default_id) == DC_HASDEFID ? LOWORD(default_id) : IDOK;
    // The windows behind the dialog leave the screen while it is taken, so that what the screen
    // shows there is the dialog or nothing. Under Wine without a window manager most dialogs the
    // pages open never reach the display (their windows stand and work, the screen shows none):
    // those get a note in place of a picture.
    std::vector<HWND> owners;
    for (HWND owner = GetWindow(dialog, GW_OWNER); owner != nullptr; owner = GetWindow(owner, GW_OWNER)) {
      owners.push_back(owner);
      ShowWindow(owner, SW_HIDE);
    }
    const std::string shot = StepName(self->step_, name + (run.shots > 0 ? "_" + std::to_string(run.shots) : ""));
    testkit::WindowPicture seen;
    if (testkit::CaptureWindow(dialog, &seen) && seen.Blank()) {
      self->Note(shot + ": \"" + TextOf(dialog) + "\" stands but is not on the display: no picture");
    } else {
      self->Shoot(dialog, shot);
    }
    for (HWND owner : owners) ShowWindow(owner, SW_SHOWNA);
    ++run.shots;
    return;
  }
  if (ticks <= kShotTick) return;
  // The nested buttons of the button's dialog, one at a time.
  size_t& opened = run.nested[dialog];
  while (top && opened < run.walk->nested.size()) {
    const int button = run.walk->nested[opened].first;
    run.nested_name = run.walk->nested[opened++].second;
    HWND control = GetDlgItem(dialog, button);
    if (control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control)) {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
      return;
    }
    self->Note(std::string(run.walk->name) + ": button " + std::to_string(button) + " not shown or disabled");
  }
  // OK (the default button) first; a dialog without OK ends with Cancel (Close), then with WM_CLOSE.
  const int end = ticks - run.end_from.try_emplace(dialog, ticks).first->second + 1;
  if (end == 1) {
    const int ok = run.ok.count(dialog) != 0 ? run.ok[dialog] : IDOK;
    HWND control = GetDlgItem(dialog, ok);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(ok, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  } else if (end == 11) {
    self->Note(std::string(run.walk->name) + ": \"" + TextOf(dialog) + "\" did not end on OK; Cancel");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  } else if (end == 21) {
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  } else if (ticks > kDialogTicks && !run.gave_up) {
    run.gave_up = true;
    EndDialog(dialog, IDCANCEL);
  }
}

void Walk::OpenDialog(HWND page, const ButtonWalk& walk) {
  HWND button = GetDlgItem(page, walk.button);
  if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) {
    Note(std::string(walk.name) + ": the button is not shown or disabled");
    return;
  }
  ++step_;
  dialogs_ = DialogRun{};
  dialogs_.walk = &walk;
  current_ = this;
  const size_t boxes_before = boxes_.shown().size();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &DialogTick);
  SendMessageW(button, BM_CLICK, 0, 0);
  KillTimer(nullptr, timer);
  current_ = nullptr;
  const std::string step = StepName(step_, walk.name);
  Check(dialogs_.shots > 0, step, std::string("opens ") + TextOf(button), "the button opened no dialog");
  Expect(!dialogs_.gave_up, step, "a dialog did not end on OK, Cancel or Close");
  for (size_t i = boxes_before; i < boxes_.shown().size(); ++i) {
    run_.Fail(step, "message box \"" + boxes_.shown()[i].caption + "\": " + boxes_.shown()[i].text);
  }
}

void Walk::VisitButtons(HWND sheet, int page_index) {
  for (const ButtonWalk& walk : kButtons) {
    if (walk.page != page_index) continue;
    HWND page = ShowSheetPage(sheet, page_index);
    for (int control : walk.first) {
      if (ItemVisible(page, control) && ItemEnabled(page, control) && IsDlgButtonChecked(page, control) != BST_CHECKED) {
        ClickItem(page, control);
      }
    }
    if (walk.choose_second_of != 0 && ItemVisible(page, walk.choose_second_of) &&
        ComboCount(page, walk.choose_second_of) > 1) {
      ChooseItem(page, walk.choose_second_of, 1);
    }
    if (!walk.first.empty() || walk.choose_second_of != 0) {
      testkit::PumpMessages(100);
      Shoot(sheet, StepName(++step_, std::string(kPageNames[page_index]) + "_before_" + walk.name));
    }
    OpenDialog(page, walk);
  }
}

void Walk::FirstVisit(HWND sheet) {
  // The main page: colour, media and quality, in the order a user settles them: a colour change
  // applies the slider preset of the new colour (its quality with it), and the quality list is
  // offered for colour only, so the quality is chosen last, when the page still offers it.
  HWND page = ShowSheetPage(sheet, kMainPage);
  testkit::PumpMessages(200);
  Shoot(sheet, StepName(++step_, "main"));
  CheckLists(page, kMainPage, StepName(step_, "main"));
  if (ItemVisible(page, pages::kBlackRadio) && ItemEnabled(page, pages::kBlackRadio)) {
    ClickItem(page, pages::kBlackRadio);
    chosen_.black = true;
  } else {
    Note("Black: not shown or disabled, left");
  }
  if (ComboCount(page, pages::kMainMediaCombo) > 1) {
    const LRESULT at = SendDlgItemMessageA(page, pages::kMainMediaCombo, CB_GETCURSEL, 0, 0);
    const std::string before = ComboText(page, pages::kMainMediaCombo);
    ChooseItem(page, pages::kMainMediaCombo, at == 1 ? 0 : 1);
    chosen_.media = ComboText(page, pages::kMainMediaCombo);  // the list shows the media in force
    if (chosen_.media == before) Note("Media Type: the mode takes no other media, the list stays on the media in force");
  } else {
    Note("Media Type: fewer than two entries, left");
  }
  if (ItemVisible(page, pages::kQualityCombo) && ItemEnabled(page, pages::kQualityCombo) &&
      ComboCount(page, pages::kQualityCombo) > 1) {
    const LRESULT at = SendDlgItemMessageA(page, pages::kQualityCombo, CB_GETCURSEL, 0, 0);
    ChooseItem(page, pages::kQualityCombo, at == 0 ? 1 : 0);
    chosen_.quality = ComboText(page, pages::kQualityCombo);
  } else {
    Note("Print Quality: not offered in this colour and mode, left");
  }
  testkit::PumpMessages(100);
  Shoot(sheet, StepName(++step_, "main_changed"));
  VisitButtons(sheet, kMainPage);

  // The paper page: paper size, orientation and copies.
  page = ShowSheetPage(sheet, kPaperPage);
  testkit::PumpMessages(200);
  Shoot(sheet, StepName(++step_, "paper"));
  CheckLists(page, kPaperPage, StepName(step_, "paper"));
  if (ComboCount(page, pages::kPaperSizeList) > 1) {
    const LRESULT at = SendDlgItemMessageA(page, pages::kPaperSizeList, CB_GETCURSEL, 0, 0);
    ChooseItem(page, pages::kPaperSizeList, at == 1 ? 0 : 1);
    chosen_.paper = ComboText(page, pages::kPaperSizeList);
  } else {
    Note("Paper Size: fewer than two entries, left");
  }
  if (ItemEnabled(page, pages::kLandscapeRadio)) {
    ClickItem(page, pages::kLandscapeRadio);
    chosen_.landscape = true;
  }
  if (ItemEnabled(page, pages::kCopiesEdit)) {
    HWND edit = GetDlgItem(page, pages::kCopiesEdit);
    SetWindowTextA(edit, "3");  // sends EN_CHANGE
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(pages::kCopiesEdit, EN_KILLFOCUS), reinterpret_cast<LPARAM>(edit));
    chosen_.copies = "3";
  }
  testkit::PumpMessages(100);
  Shoot(sheet, StepName(++step_, "paper_changed"));
  VisitButtons(sheet, kPaperPage);

  for (int index : {kLayoutPage, kUtilityPage}) {
    page = ShowSheetPage(sheet, index);
    testkit::PumpMessages(200);
    Shoot(sheet, StepName(++step_, kPageNames[index]));
    CheckLists(page, index, StepName(step_, kPageNames[index]));
    VisitButtons(sheet, index);
  }
}

void Walk::SecondVisit(HWND sheet) {
  for (int index = 0; index < 4; ++index) {
    HWND page = ShowSheetPage(sheet, index);
    testkit::PumpMessages(200);
    const std::string step = StepName(++step_, std::string(kPageNames[index]) + "_reopened");
    Shoot(sheet, step);
    CheckLists(page, index, step);
    if (index == kMainPage) {
      if (!chosen_.media.empty()) {
        Check(ComboText(page, pages::kMainMediaCombo) == chosen_.media, step, "kept Media Type",
               "Media Type shows \"" + ComboText(page, pages::kMainMediaCombo) + "\", not \"" + chosen_.media + "\"");
      }
      if (!chosen_.quality.empty()) {
        Check(ComboText(page, pages::kQualityCombo) == chosen_.quality, step, "kept Print Quality",
               "Print Quality shows \"" + ComboText(page, pages::kQualityCombo) + "\", not \"" + chosen_.quality + "\"");
      }
      if (chosen_.black) {
        Check(IsDlgButtonChecked(page, pages::kBlackRadio) == BST_CHECKED, step, "kept Black", "Black is not checked");
      }
    } else if (index == kPaperPage) {
      if (!chosen_.paper.empty()) {
        Check(ComboText(page, pages::kPaperSizeList) == chosen_.paper, step, "kept Paper Size",
               "Paper Size shows \"" + ComboText(page, pages::kPaperSizeList) + "\", not \"" + chosen_.paper + "\"");
      }
      if (chosen_.landscape) {
        Check(IsDlgButtonChecked(page, pages::kLandscapeRadio) == BST_CHECKED, step, "kept Landscape",
              "Landscape is not checked");
      }
      if (!chosen_.copies.empty()) {
        Check(TextOf(GetDlgItem(page, pages::kCopiesEdit)) == chosen_.copies, step, "kept Copies",
               "Copies shows " + TextOf(GetDlgItem(page, pages::kCopiesEdit)));
      }
    }
  }
}

// Prints one page through the spooler on the record the sheet handed back: the job must reach the
// printer's port. The print runs on a thread of its own and is given a bounded time.
void Walk::Print(const std::vector<uint8_t>& record) {
  const std::string step = StepName(++step_, "print");
  const std::string port = printer_.model_printer().printer().port_file();
  DeleteFileA(port.c_str());
  struct Job {
    std::wstring name;
    std::vector<uint8_t> record;
    int result = 0;
  } job{name_, record, 0};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* argument) -> DWORD {
        auto* job = static_cast<Job*>(argument);
        HDC dc = CreateDCW(nullptr, job->name.c_str(), nullptr, reinterpret_cast<const DEVMODEW*>(job->record.data()));
        if (dc == nullptr) return 0;
        DOCINFOW doc = {};
        doc.cbSize = sizeof(doc);
        doc.lpszDocName = L"Walk";
        if (StartDocW(dc, &doc) > 0 && StartPage(dc) > 0) {
          Rectangle(dc, 100, 100, 600, 400);
          TextOutW(dc, 120, 120, L"Walk", 4);
          job->result = EndPage(dc) > 0 && EndDoc(dc) > 0 ? 1 : 0;
        }
        DeleteDC(dc);
        return 0;
      },
      &job, 0, nullptr);
  if (thread == nullptr) {
    run_.Fail(step, "no print thread");
    return;
  }
  if (WaitForSingleObject(thread, 60000) != WAIT_OBJECT_0) {
    run_.Fail(step, "the print did not end within a minute");
    TerminateThread(thread, 1);
  }
  CloseHandle(thread);
  Expect(job.result == 1, step, "the job was not printed");
  WIN32_FILE_ATTRIBUTE_DATA port_data = {};
  const bool written = GetFileAttributesExA(port.c_str(), GetFileExInfoStandard, &port_data) &&
                       (port_data.nFileSizeLow != 0 || port_data.nFileSizeHigh != 0);
  Expect(written, step, "nothing reached the port " + port);
  if (written) Note("printed " + std::to_string(port_data.nFileSizeLow) + " bytes to " + port);
}

void Walk::Run() {
  std::vector<uint8_t> current(kDevModeSize, 0);
  if (DocumentPropertiesW(nullptr, printer_.handle(), name_.data(), reinterpret_cast<DEVMODEW*>(current.data()), nullptr,
                          DM_OUT_BUFFER) != IDOK) {
    run_.Fail("walk", "the printer's record could not be read");
    return;
  }
  std::vector<uint8_t> changed;
  if (!Sheet(current, [this](HWND sheet) { FirstVisit(sheet); }, &changed, "walk_first_sheet")) return;
  const auto* record = reinterpret_cast<const DEVMODEW*>(changed.data());
  if (chosen_.landscape) Expect(record->dmOrientation == DMORIENT_LANDSCAPE, "walk_record", "the record is not landscape");
  if (!chosen_.copies.empty()) Expect(record->dmCopies == 3, "walk_record", "the record holds " + std::to_string(record->dmCopies) + " copies");
  if (chosen_.black) Expect(record->dmColor == DMCOLOR_MONOCHROME, "walk_record", "the record is not monochrome");
  std::vector<uint8_t> again;
  if (!Sheet(changed, [this](HWND sheet) { SecondVisit(sheet); }, &again, "walk_second_sheet")) return;
  Print(again);
  ReportKnownFaults();
  for (const testkit::ShownMessageBox& box : boxes_.shown()) Note("message box \"" + box.caption + "\": " + box.text);
}

}  // namespace

int main(int argc, char** argv) {
  testkit::ScreenshotRun run(argc, argv);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // The stand-in component beside the program, loaded before the spooler asks for compstui.dll.
  char folder[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, folder, MAX_PATH);
  if (char* slash = std::strrchr(folder, '\\'); slash != nullptr) slash[1] = '\0';
  if (LoadLibraryA((std::string(folder) + "compstui.dll").c_str()) == nullptr) {
    run.Fail("walk", "the stand-in property-sheet component is missing beside the program");
    return run.ExitCode();
  }
  testkit::DriverPrinter printer(testkit::RollPaperModel(), testkit::kKalimuModule, "Walk");
  if (!printer.ok()) {
    run.Fail("walk", "no printer: " + printer.error());
    return run.ExitCode();
  }
  Walk(run, printer).Run();
  std::printf("walk: %d pictures\n", run.taken());
  return run.ExitCode();
}
