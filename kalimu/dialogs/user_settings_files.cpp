// The user settings dialog's export and import: the file dialogs, the messages, and the name
// clash dialog for imported names that are taken.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstring>

#include "kalimu/dialogs/name_clash_dialog.h"
#include "kalimu/dialogs/user_settings_dialog.h"
#include "kalimu/dialogs/user_settings_transfer.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::dialogs {
namespace {

constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT | OFN_LONGNAMES;
constexpr DWORD kOpenFlags = OFN_LONGNAMES;
constexpr size_t kFilterBytes = 260;

// The filter of string 5036: pairs kept apart by NULs, or by the character the string ends with.
void LoadFileFilter(const pages::PageParam& param, char (&filter)[kFilterBytes]) {
  std::memset(filter, 0, sizeof(filter));
  HMODULE module = pages::ResourceModuleOf(param);
  const int length = module != nullptr ? LoadStringA(module, kSettingsFileFilterString, filter, kFilterBytes - 2) : 0;
  if (length <= 0) {
    static constexpr char kDefault[] = "*.csf\0*.csf\0";
    std::memcpy(filter, kDefault, sizeof(kDefault));
    return;
  }
  if (std::memchr(filter, '\0', static_cast<size_t>(length)) == nullptr && filter[length - 1] != '\0') {
    const char separator = filter[length - 1];
    for (int i = 0; i < length; ++i) {
      if (filter[i] == separator) filter[i] = '\0';
    }
  }
  filter[kFilterBytes - 1] = filter[kFilterBytes - 2] = '\0';
}

// The import's questions as the dialog's windows.
class DialogImportPrompts : public ImportPrompts {
 public:
  DialogImportPrompts(HWND dialog, pages::PageParam& param) : dialog_(dialog), param_(param) {}
  void ShowRow(int row) override { pages::ShowTableMessage(dialog_, param_, row); }
  void ShowRefusedRecord(const char* name) override {
    char caption[256] = {};
    char format[256] = {};
    char text[MAX_PATH] = {};
    pages::LoadPageString(param_, kImportCaptionString, caption, sizeof(caption));
    pages::LoadPageString(param_, kRefusedRecordString, format, sizeof(format));
    // The name goes where the text says "%s"; nothing else of the text is a format.
    const char* at = std::strstr(format, "%s");
    if (at == nullptr) {
      platform::CopyStringA(text, sizeof(text), format);
    } else {
      std::memcpy(text, format, std::min<size_t>(static_cast<size_t>(at - format), sizeof(text) - 1));
      platform::AppendStringA(text, sizeof(text), name);
      platform::AppendStringA(text, sizeof(text), at + 2);
    }
    MessageBoxA(dialog_, text, caption, MB_OK);
  }
  bool IsNameAllowed(const wchar_t* name) override { return IsSettingsNameAllowedW(param_, name); }
  int ResolveClash(wchar_t* name, size_t capacity) override {
    if (param_.shared == nullptr) return kClashSkip;
    pages::PageShared& shared = *param_.shared;
    std::memset(shared.clash_name, 0, sizeof(shared.clash_name));
    platform::CopyStringNW(shared.clash_name, std::size(shared.clash_name), name, std::size(shared.clash_name) - 1);
    const INT_PTR answer = pages::ShowResourceDialog(dialog_, &NameClashDlgProc, kNameClashTemplate);
    if (answer == kClashRename) {
      std::memset(name, 0, capacity * sizeof(wchar_t));
      platform::CopyStringNW(name, capacity, shared.clash_name, capacity - 1);
    }
    return answer == kClashOverwrite || answer == kClashRename ? static_cast<int>(answer) : kClashSkip;
  }

 private:
  HWND dialog_;
  pages::PageParam& param_;
};

// After an import, as after any change of the store: the list anew, nothing chosen.
void ResetAfterImport(HWND dialog, UserSettingsState& state) {
  FillUserSettingsList(dialog, state);
  for (int control : {kSettingsSave, kSettingsDelete, kSettingsExport}) EnableWindow(GetDlgItem(dialog, control), FALSE);
}

}  // namespace

int AskSettingsFileName(HWND owner, const pages::PageParam& param, char* path, bool save) {
  char filter[kFilterBytes];
  LoadFileFilter(param, filter);
  char folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) folder[0] = '\0';
  std::memset(path, 0, kSettingsPathBytes);
  OPENFILENAMEA file = {};
  file.lStructSize = sizeof(file);
  file.hwndOwner = owner;
  file.lpstrFilter = filter;
  file.nFilterIndex = 1;
  file.lpstrFile = path;
  file.nMaxFile = kSettingsPathBytes;
  file.lpstrInitialDir = folder;
  file.lpstrDefExt = "csf";
  file.Flags = save ? kSaveFlags : kOpenFlags;
  return save ? GetSaveFileNameA(&file) : GetOpenFileNameA(&file);
}

int ExportSettingsToFile(HWND dialog, UserSettingsState& state, const char* path) {
  const std::vector<int> positions = SelectedListItems(GetDlgItem(dialog, kSettingsList));
  const int written = ExportUserSettings(*state.param->settings, positions, path);
  pages::ShowTableMessage(dialog, *state.param, written ? kRowExportWritten : kRowExportFailed);
  return written;
}

int ImportSettingsFromFile(HWND dialog, UserSettingsState& state, const char* path) {
  DialogImportPrompts prompts(dialog, *state.param);
  const int done = RunSettingsImport(*state.param->settings, path, prompts);
  ResetAfterImport(dialog, state);
  return done;
}

void OnExportSettings(HWND dialog, UserSettingsState& state) {
  char path[kSettingsPathBytes];
  if (AskSettingsFileName(dialog, *state.param, path, true)) ExportSettingsToFile(dialog, state, path);
}

void OnImportSettings(HWND dialog, UserSettingsState& state) {
  char path[kSettingsPathBytes];
  if (AskSettingsFileName(dialog, *state.param, path, false)) ImportSettingsFromFile(dialog, state, path);
}

}  // namespace kalimu::dialogs
