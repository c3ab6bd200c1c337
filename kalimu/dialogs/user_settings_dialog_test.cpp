// The user settings dialog's real window, and the name clash and rename dialogs it opens: the
// simple model (one entry chosen on a list made for several, Save ending the dialog, a refused
// save that Close still undoes, the name cut, Export and Import as the template has them) and
// the extended model (the list kept open, a selection of several entries exported, the file
// imported again through the clash dialog's three answers, the file dialog driven once).
#include "kalimu/dialogs/user_settings_dialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kalimu/dialogs/dialog_run_test_support.h"
#include "kalimu/dialogs/name_clash_dialog.h"
#include "kalimu/dialogs/user_settings_transfer.h"
#include "kalimu/pages/page_test_support.h"
#include "kalimu/pages/tooltips.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::dialogs {
namespace {

using test::Enabled;
using test::TextOf;
using test::ModalRun;
using test::Press;
using test::PressOnNested;
using test::Step;

testkit::ModelDescription SettingsModel(bool extended) {
  auto model = testkit::RollPaperModel();
  if (extended) model.header.flags24 |= 0x100000u;
  return model;
}

UserSettingsState& StateOf(HWND dialog) {
  return *reinterpret_cast<UserSettingsState*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

// Types a name into the edit as the user would.
Step TypeName(const char* name) {
  return [name](HWND dialog) {
    SetDlgItemTextA(dialog, kSettingsName, name);
    return true;
  };
}

std::vector<std::string> ListTexts(HWND dialog) {
  std::vector<std::string> texts;
  HWND list = GetDlgItem(dialog, kSettingsList);
  const LRESULT n = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < n; ++i) {
    char text[64] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

// Chooses list items as a click would, one LBN_SELCHANGE after the change.
Step ChooseItems(std::vector<int> items) {
  return [items](HWND dialog) {
    HWND list = GetDlgItem(dialog, kSettingsList);
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int item : items) SendMessageA(list, LB_SETSEL, TRUE, item);
    SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(items.back()), FALSE);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kSettingsList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return true;
  };
}

std::string TempPath(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

// Names the file in the common file dialog the step before opened, and presses its OK.
Step TypeFileName(const std::string& path) {
  return [path](HWND dialog) {
    HWND file = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
          char name[16] = {};
          GetClassNameA(window, name, sizeof(name));
          if (IsWindowVisible(window) && std::strcmp(name, "#32770") == 0 && GetDlgItem(window, kSettingsList) == nullptr &&
              GetDlgItem(window, 0xFFFF) == nullptr) {
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&file));
    if (file == nullptr || file == dialog) return false;
    // Old-style dialogs name the file in edt1, explorer-style ones in cmb13.
    if (GetDlgItem(file, 0x480) != nullptr) SetDlgItemTextA(file, 0x480, path.c_str());
    if (GetDlgItem(file, 0x47C) != nullptr) SetDlgItemTextA(file, 0x47C, path.c_str());
    PostMessageA(file, WM_COMMAND, IDOK, 0);
    return true;
  };
}

class UserSettingsDialogTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { ASSERT_TRUE(fixture_.ok()) << fixture_.error(); }
  void TearDown() override { pages::RemovePageToolTipHooks(); }

  INT_PTR Run(std::vector<Step> steps) {
    return ModalRun::RunSteps(fixture_.module(), nullptr, &UserSettingsDlgProc, 2600, &fixture_.param(),
                              std::move(steps));
  }
  std::vector<std::wstring> Names() {
    std::vector<std::wstring> names;
    const uint32_t count = UserSettingsCount(fixture_.settings());
    for (uint32_t i = 0; i < count; ++i) {
      wchar_t name[33] = {};
      fixture_.settings().GetSettingsName(static_cast<uint16_t>(i), name, 33);
      names.push_back(name);
    }
    return names;
  }
  uint32_t Presets() { return ModelPresetCount(fixture_.settings()); }

  pages::test::PageFixture fixture_{SettingsModel(GetParam())};
};

class SimpleUserSettingsTest : public UserSettingsDialogTest {};
class ExtendedUserSettingsTest : public UserSettingsDialogTest {};

TEST_P(SimpleUserSettingsTest, SaveEndsTheDialogAndARefusedSaveLeavesCloseItsUndo) {
  testkit::MessageBoxWatcher boxes;
  // A new name: stored at index 0 and applied, the dialog ends with 1.
  EXPECT_EQ(Run({TypeName("Morning"), Press(kSettingsSave)}), 1);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Morning"});
  EXPECT_EQ(fixture_.shared().user_entry_applied, 1);
  EXPECT_EQ(fixture_.shared().user_entry_index, Presets());
  EXPECT_EQ(fixture_.shared().inner_dialog_snapshot, nullptr);

  // Overwriting refused (Cancel on the question): nothing stored, and Close still restores the
  // device mode of the opening though the name edit changed it meanwhile.
  boxes.set_answer(IDCANCEL);
  const settings::DriverDevMode before = fixture_.record();
  bool save_enabled = false;
  EXPECT_EQ(Run({TypeName("Morning"),
                 [&](HWND dialog) {
                   save_enabled = Enabled(dialog, kSettingsSave);
                   settings::DevModeAccessor(&fixture_.record()).SetPresetKind(7);
                   return true;
                 },
                 Press(kSettingsSave),
                 [&](HWND dialog) {
                   EXPECT_NE(fixture_.shared().inner_dialog_snapshot, nullptr);
                   return IsWindowEnabled(dialog) != FALSE;  // the question is gone
                 },
                 Press(kSettingsClose)}),
            0);
  EXPECT_TRUE(save_enabled);
  EXPECT_EQ(std::memcmp(&before, &fixture_.record(), sizeof(before)), 0);
  EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_P(SimpleUserSettingsTest, OneEntryChosenOnTheTemplatesListAndNamesCut) {
  testkit::MessageBoxWatcher boxes;
  for (const char* name : {"One", "Two", "Three"}) ASSERT_EQ(Run({TypeName(name), Press(kSettingsSave)}), 1);
  std::vector<int> selected;
  std::string name, cut;
  DWORD caret = 0;
  bool blank_save = true, reserved_save = true;
  Run({[&](HWND dialog) {
         EXPECT_EQ(ListTexts(dialog), (std::vector<std::string>{"One", "Two", "Three"}));  // newest last
         return true;
       },
       ChooseItems({0, 2}),  // a shift-click: the simple model keeps the item clicked last
       [&](HWND dialog) {
         selected = SelectedListItems(GetDlgItem(dialog, kSettingsList));
         name = TextOf(dialog, kSettingsName);
         return true;
       },
       TypeName("   "),
       [&](HWND dialog) {
         blank_save = Enabled(dialog, kSettingsSave);
         return true;
       },
       TypeName("Custom Settings"),
       [&](HWND dialog) {
         reserved_save = Enabled(dialog, kSettingsSave) || Enabled(dialog, kSettingsDelete);
         return true;
       },
       TypeName("ABCDEFGHIJKLMNOPQRST"),
       [&](HWND dialog) {
         cut = TextOf(dialog, kSettingsName);
         SendDlgItemMessageA(dialog, kSettingsName, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
         return true;
       },
       Press(IDCANCEL)});
  EXPECT_EQ(selected, std::vector<int>{2});
  EXPECT_EQ(name, "Three");
  EXPECT_FALSE(blank_save);
  EXPECT_FALSE(reserved_save);
  EXPECT_EQ(cut, "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(caret, 16u);
}

TEST_P(SimpleUserSettingsTest, DeletingTheCurrentEntryEndsWithOneAndCustomSettings) {
  testkit::MessageBoxWatcher boxes;
  ASSERT_EQ(Run({TypeName("Evening"), Press(kSettingsSave)}), 1);  // applied: the current preset
  ASSERT_EQ(Run({TypeName("Other"), Press(kSettingsSave)}), 1);
  fixture_.settings().SetPresetName(L"Evening");
  EXPECT_EQ(Run({TypeName("Evening"), Press(kSettingsDelete)}), 1);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Other"});
  EXPECT_EQ(fixture_.settings().GetPresetKind(), 5);
  EXPECT_EQ(Run({TypeName("Other"), Press(kSettingsDelete)}), 0);
  EXPECT_TRUE(Names().empty());
}

TEST_P(SimpleUserSettingsTest, FullStoreShowsItsMessageAndStaysOpen) {
  testkit::MessageBoxWatcher boxes;
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(Run({TypeName(("E" + std::to_string(i)).c_str()), Press(kSettingsSave)}), 1);
  }
  EXPECT_EQ(Run({TypeName("Eleventh"), Press(kSettingsSave),
                 [](HWND dialog) { return IsWindowEnabled(dialog) != FALSE; }, Press(kSettingsClose)}),
            0);
  EXPECT_EQ(Names().size(), 10u);
  EXPECT_EQ(boxes.shown().size(), 1u);
}

// The simple model leaves Export and Import as the template has them (enabled in the test kit's
// template), and both work there: the one entry chosen goes to the file and comes back.
TEST_P(SimpleUserSettingsTest, ExportAndImportAsTheTemplateHasThem) {
  testkit::MessageBoxWatcher boxes;
  const std::string path = TempPath("kalimu_simple_export.csf");
  DeleteFileA(path.c_str());
  ASSERT_EQ(Run({TypeName("Alpha"), Press(kSettingsSave)}), 1);
  bool export_enabled = false, import_enabled = false;
  Run({[&](HWND dialog) {
         export_enabled = Enabled(dialog, kSettingsExport);
         import_enabled = Enabled(dialog, kSettingsImport);
         return true;
       },
       ChooseItems({0}), Press(kSettingsExport), TypeFileName(path),
       [&](HWND) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, Press(kSettingsClose)});
  EXPECT_TRUE(export_enabled);
  EXPECT_TRUE(import_enabled);
  ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "Export wrote no file";
  Run({TypeName("Alpha"), Press(kSettingsDelete)});
  ASSERT_TRUE(Names().empty());
  Run({Press(kSettingsImport), TypeFileName(path), [&](HWND) { return Names().size() == 1; },
       Press(kSettingsClose)});
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Alpha"});
  DeleteFileA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Simple, SimpleUserSettingsTest, ::testing::Values(false));

TEST_P(ExtendedUserSettingsTest, ExportAndImportThroughTheClashDialog) {
  testkit::MessageBoxWatcher boxes;
  const std::string path = TempPath("kalimu_user_settings.csf");
  DeleteFileA(path.c_str());
  std::vector<std::string> list;
  bool export_enabled = false;
  int written = 0;
  const INT_PTR result = Run({
      TypeName("Alpha"), Press(kSettingsSave), TypeName("Beta"), Press(kSettingsSave),
      ChooseItems({0, 1}),
      [&](HWND dialog) {
        list = ListTexts(dialog);
        export_enabled = Enabled(dialog, kSettingsExport);
        EXPECT_EQ(TextOf(dialog, kSettingsName), "");
        written = ExportSettingsToFile(dialog, StateOf(dialog), path.c_str());
        return true;
      },
      // Both names are taken: Alpha is overwritten, Beta renamed (Alpha refused, then Gamma).
      [&](HWND dialog) {
        EXPECT_EQ(ImportSettingsFromFile(dialog, StateOf(dialog), path.c_str()), 1);
        return true;
      },
      PressOnNested(kClashNameText, kClashOverwriteButton),
      PressOnNested(kClashNameText, kClashRenameButton),
      [](HWND) {
        HWND rename = test::FindThreadDialogWith(kRenameEdit);
        if (rename == nullptr) return false;
        EXPECT_EQ(TextOf(rename, kRenameCurrentText), "Beta");
        SetDlgItemTextA(rename, kRenameEdit, "Alpha");
        SendMessageA(rename, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindow(rename));  // refused: still open
        SetDlgItemTextA(rename, kRenameEdit, "Custom Settings");
        SendMessageA(rename, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindow(rename));
        SetDlgItemTextA(rename, kRenameEdit, "Gamma");
        PostMessageA(rename, WM_COMMAND, IDOK, 0);
        return true;
      },
      // Once more: both skipped.
      [&](HWND dialog) {
        EXPECT_EQ(ImportSettingsFromFile(dialog, StateOf(dialog), path.c_str()), 1);
        return true;
      },
      [&](HWND) {
        HWND clash = test::FindThreadDialogWith(kClashNameText);
        if (clash == nullptr) return false;
        EXPECT_EQ(TextOf(clash, kClashNameText), "<Alpha>");
        PostMessageA(clash, WM_COMMAND, kClashCancelButton, 0);
        return true;
      },
      PressOnNested(kClashNameText, IDCANCEL),
      Press(kSettingsClose),
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(list, (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_TRUE(export_enabled);
  EXPECT_EQ(written, 1);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 284u + 2 * 408u);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Gamma", L"Beta", L"Alpha"}));
  // The store on disk holds the same.
  ASSERT_EQ(fixture_.settings().Reload(), 1);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Gamma", L"Beta", L"Alpha"}));
  DeleteFileA(path.c_str());
}

TEST_P(ExtendedUserSettingsTest, DeleteRefillsTheListAndStaysOpen) {
  testkit::MessageBoxWatcher boxes;
  std::vector<std::string> list;
  const INT_PTR result = Run({TypeName("Alpha"), Press(kSettingsSave), TypeName("Beta"), Press(kSettingsSave),
                              TypeName("Alpha"), Press(kSettingsDelete),
                              [&](HWND dialog) {
                                list = ListTexts(dialog);
                                EXPECT_EQ(TextOf(dialog, kSettingsName), "");
                                EXPECT_FALSE(Enabled(dialog, kSettingsDelete));
                                return true;
                              },
                              Press(IDCANCEL)});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(list, std::vector<std::string>{"Beta"});
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Beta"});
}

// The common file dialogs, driven once each: the export writes where the user typed, the import
// reads it back into an emptied store.
TEST_P(ExtendedUserSettingsTest, FileDialogsChooseTheFile) {
  testkit::MessageBoxWatcher boxes;
  const std::string path = TempPath("kalimu_file_dialog.csf");
  DeleteFileA(path.c_str());
  const Step type_file = TypeFileName(path);
  const INT_PTR result = Run({TypeName("Alpha"), Press(kSettingsSave), ChooseItems({0}), Press(kSettingsExport), type_file,
                              [&](HWND) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                              TypeName("Alpha"), Press(kSettingsDelete),
                              [&](HWND) { return Names().empty(); },
                              Press(kSettingsImport), type_file,
                              [&](HWND) { return Names().size() == 1; }, Press(kSettingsClose)});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Alpha"});
  DeleteFileA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Extended, ExtendedUserSettingsTest, ::testing::Values(true));

}  // namespace
}  // namespace kalimu::dialogs
