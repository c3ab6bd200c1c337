// Paper sizes and paper sources: the paper size list, the paper choice and its dialogs, the
// feed text, source groups, source conflicts and the paper option controls.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kalimu/pages/page_helpers.h"
#include "kalimu/pages/resource_dialogs.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::pages {
namespace {

using settings::SelectionSnapshot;

constexpr int kPaperNameChars = 256;
constexpr int kUserPaperNameChars = 33;
constexpr uint32_t kSourceFlag2000 = 0x2000;        // source word 8: papers take the pair's first bit
constexpr uint32_t kSourceFlag400000 = 0x400000;    // source word 8
constexpr uint32_t kSourceFlag40000 = 0x40000;      // source word 8

uint32_t ModelPaperCount(JobSettings& settings) {
  uint32_t count = 0;
  settings.GetPaperSizeCount(&count);
  return count;
}

uint32_t UserPaperCount(JobSettings& settings) {
  uint32_t count = 0;
  settings.GetPaperCount(&count);
  return count;
}

int16_t CurrentSource(JobSettings& settings) { return static_cast<int16_t>(settings.GetDefaultSourceIndex()); }

std::string ComboText(HWND combo, LRESULT item) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, item, 0);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

// Selects the first item after `after` whose text is exactly `text` (case too): the combo's
// search ignores case, so the search goes on from an item that differs in case; an item seen
// before ends it. False when nothing matched.
bool SelectExactText(HWND combo, const char* text, LRESULT after) {
  std::vector<LRESULT> seen;
  LRESULT from = after;
  for (;;) {
    const LRESULT found = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(text));
    if (found == CB_ERR || std::find(seen.begin(), seen.end(), found) != seen.end()) return false;
    seen.push_back(found);
    if (ComboText(combo, found) == text) {
      SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
      return true;
    }
    from = found;
  }
}

// The name string of the current model paper index.
void SelectCurrentPaperName(HWND combo, const PageParam& param) {
  JobSettings& settings = *param.settings;
  int32_t id = 0;
  settings.GetPaperSizeId(static_cast<uint16_t>(settings.GetPaperSizeIndex()), &id);
  char name[kPaperNameChars] = {};
  LoadPageString(param, static_cast<UINT>(static_cast<uint16_t>(id)), name, sizeof(name));
  SelectExactText(combo, name, -1);
}

}  // namespace

void FillPaperSizeCombo(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  HWND combo = GetDlgItem(window, kPaperSizeCombo);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);

  uint32_t sources = 0;
  settings.GetPaperSourceCount(&sources);
  uint32_t k = 0;
  for (uint32_t j = 0; j < sources; ++j) {
    int32_t id = 0;
    if (settings.GetPaperSourceId(static_cast<uint16_t>(j), &id) && id == settings.GetDefaultSource()) {
      k = j;
      break;
    }
  }
  const bool first_bit =
      settings.TestPaperSourceFlags8(static_cast<int16_t>(settings.GetPaperSourceIndex()), kSourceFlag2000) != 0;
  const uint32_t mask = 2 * k + (first_bit ? 0 : 1) < 32 ? 1u << (2 * k + (first_bit ? 0 : 1)) : 0;

  const uint32_t model_count = ModelPaperCount(settings);
  const uint32_t user_count = UserPaperCount(settings);
  if (settings.IsUserPaperSelected() && user_count == 0) {
    for (uint32_t j = 0; j < model_count; ++j) {
      if (settings.IsPaperIdAt(256, static_cast<uint16_t>(j))) {
        settings.ChangePaperSizeIndex(static_cast<int32_t>(j));
        break;
      }
    }
    settings.SetPaperSize(256);
  }

  uint32_t listed_model = 0;
  for (uint32_t j = 0; j < model_count; ++j) {
    if (!settings.TestPaperFlags(static_cast<int16_t>(j), mask)) continue;
    int32_t id = 0;
    settings.GetPaperSizeId(static_cast<uint16_t>(j), &id);
    if (id == settings.GetPaperSize()) settings.ChangePaperSizeIndex(static_cast<int32_t>(j));
    char name[kPaperNameChars] = {};
    LoadPageString(param, static_cast<UINT>(static_cast<uint16_t>(id)), name, sizeof(name));
    const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(combo, CB_SETITEMDATA, at, j);
    ++listed_model;
  }

  const bool roll_only = settings.TestJobOptionBits(4) &&
                         settings.TestPaperSourceFlags8(CurrentSource(settings), kSourceFlag400000);
  if (!roll_only) {
    const bool user_selected = settings.IsUserPaperSelected() != 0;
    for (uint32_t u = 0; u < user_count; ++u) {
      if (!settings.UserPaperAllowsSource(static_cast<uint16_t>(u), mask)) continue;
      char name[kUserPaperNameChars] = {};
      settings.GetPaperName(static_cast<uint16_t>(u), name, sizeof(name));
      const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      SendMessageA(combo, CB_SETITEMDATA, at, model_count + u);
      int32_t id = 0;
      if (user_selected && settings.GetPaperId(static_cast<uint16_t>(u), &id) && id == settings.GetPaperSize()) {
        settings.ChangePaperSizeIndex(static_cast<int32_t>(model_count + u));
      }
    }
  }

  if (settings.IsUserPaperSelected()) {
    const uint16_t user = settings.GetUserPaperIndex();
    char name[kUserPaperNameChars] = {};
    settings.GetPaperName(user, name, sizeof(name));
    if (!SelectExactText(combo, name, static_cast<LRESULT>(listed_model) + user - 1)) {
      settings.ChangePaperSizeIndex(static_cast<int32_t>(model_count) - 1);
      SelectCurrentPaperName(combo, param);
    }
    return;
  }
  SelectCurrentPaperName(combo, param);
}

int ChoosePaperSize(HWND window, int32_t paper_index, int combo_id, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (!settings.TestScalingOptionBits(2 | 8) &&
      !settings.TestPaperFlags(static_cast<int16_t>(paper_index), settings.GetSourceMask())) {
    if (ShowSettingsDialog(window, SettingsDialog::kSourcePaperSize) == 0) {
      HWND combo = GetDlgItem(window, combo_id);
      const int32_t previous = settings.GetPaperSizeIndex();
      const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageA(combo, CB_GETITEMDATA, i, 0) == previous) {
          SendMessageA(combo, CB_SETCURSEL, i, 0);
          break;
        }
      }
      return 0;
    }
  }
  settings.ChangePaperSizeIndex(paper_index);
  return 1;
}

void EditUserPaperSize(HWND window, int32_t paper_index, const PageParam& param, int /*combo_flag*/) {
  const INT_PTR answer = ShowSettingsDialog(window, SettingsDialog::kUserPaperSize);
  if (answer == -1) {
    StoreCustomPaperExtent(param, static_cast<uint16_t>(paper_index));
  } else {
    paper_index += static_cast<int32_t>(answer);
  }
  param.settings->ChangePaperSizeIndex(paper_index);
  FillPaperSizeCombo(window, param);
}

void StoreCustomPaperExtent(const PageParam& param, uint16_t paper_index) {
  JobSettings& settings = *param.settings;
  settings::ExtentPair size = {};
  settings.GetCustomPaperSize(&size);
  const bool metric = settings.GetCustomPaperUnit() == 1;
  const auto to360 = [metric](int32_t v) { return metric ? (v * 360 + 127) / 254 : (v * 360 + 50) / 100; };
  const int32_t extent[2] = {to360(size.width), to360(size.height)};
  settings.SetPaperSizeExtent(paper_index, extent, sizeof(extent));
}

uint32_t GetCurrentPaperFlags(const PageParam& param) {
  JobSettings& settings = *param.settings;
  const uint32_t model_count = ModelPaperCount(settings);
  uint32_t index = static_cast<uint32_t>(settings.GetPaperSizeIndex());
  if (settings.TestScalingOptionBits(1)) {
    const int32_t id = static_cast<int32_t>(settings.GetOutputPaperSize());
    uint16_t found = 0;
    if (settings.FindModelPaperForSource(0, id, &found)) {
      index = found;
    } else if (settings.FindUserPaperForSource(0, id, &found) == 1) {
      index = model_count + found;
    }
  }
  uint32_t flags = 0;
  if (index < model_count) {
    settings.GetPaperSizeValue20(static_cast<uint16_t>(index), &flags);
  } else {
    settings.GetPaperValue20(static_cast<uint16_t>(index - model_count), &flags);
  }
  return flags;
}

void ShowSourceFeedText(HWND window, const PageParam& param, uint16_t source_index) {
  JobSettings& settings = *param.settings;
  const auto text_of = [&](uint16_t s) -> UINT {
    if (settings.TestPaperSourceFlags8(static_cast<int16_t>(s), kSourceFlag400000)) return 2235;
    if (settings.TestPaperSourceFlags8(static_cast<int16_t>(s), kSourceFlag40000)) return 2234;
    return 0;
  };
  UINT id = text_of(source_index);
  if (id == 0) {
    uint32_t sources = 0;
    settings.GetPaperSourceCount(&sources);
    for (uint32_t j = 0; j < sources && id == 0; ++j) {
      if (settings.AreSourcesCompatible(source_index, static_cast<uint16_t>(j))) id = text_of(static_cast<uint16_t>(j));
    }
  }
  char text[32] = {};
  if (id != 0) LoadPageString(param, id, text, sizeof(text));
  SetDlgItemTextA(window, kSourceFeedText, text);
}

uint16_t FindSourceGroupPosition(JobSettings& settings, uint16_t source_index) {
  int32_t code = 0;
  settings.GetPaperSourceValue2(source_index, &code);
  switch (code) {
    case 4: code = 2; break;
    case 10: case 12: code = 0; break;
    case 34: code = 33; break;
    case 37: code = 35; break;
    case 38: code = 36; break;
    case 41: case 45: code = 1; break;
    case 43: code = 42; break;
    case 47: code = 46; break;
    case 49: code = 48; break;
    default: break;
  }
  uint32_t sources = 0;
  settings.GetPaperSourceCount(&sources);
  uint16_t position = 0;
  for (uint32_t j = 0; j < sources; ++j) {
    if (settings.SourceHasFeedFlags(static_cast<uint16_t>(j))) continue;
    int32_t other = 0;
    settings.GetPaperSourceValue2(static_cast<uint16_t>(j), &other);
    if (other == code) return position;
    ++position;
  }
  return kNoPosition;
}

int SourceConflictCode(uint32_t conflict, uint32_t feed_flags) {
  struct Code {
    uint32_t flags;
    int media;
    int mode;
  };
  static constexpr Code kCodes[] = {
      {1, 10, 11},     {2, 3, 4},       {4, 1, 2},       {8, 9, 2},       {16, 5, 6},       {32, 5, 6},
      {64, 7, 8},      {128, 7, 8},     {256, 3, 4},     {512, 1, 2},     {1024, 9, 2},     {2048, 7, 8},
      {4096, 16, 17},  {0x10000, 13, 15}, {0x20000, 14, 15},
  };
  const bool media = (conflict & settings::kConflictMedia) != 0;
  const bool mode = (conflict & settings::kConflictMode) != 0;
  if (!media && !mode) return 0;
  for (const Code& code : kCodes) {
    if (code.flags == feed_flags) return media ? code.media : code.mode;
  }
  // Only single feed flags have codes of their own.
  return media ? 50 : 51;
}

int GetSourceConflictMessage(const PageParam& param, uint16_t source_index) {
  JobSettings& settings = *param.settings;
  SelectionSnapshot snapshot = {};
  snapshot.keep = settings::kKeepSource;
  snapshot.source_index = source_index;
  const uint32_t conflict = settings.CheckSelection(&snapshot);
  return SourceConflictCode(conflict, settings.GetSourceFeedFlags(source_index));
}

uint16_t GetSourceCaptionId(JobSettings& settings) {
  const int16_t source = CurrentSource(settings);
  if (settings.TestPaperSourceFlags12(source, 64)) return 2257;
  if (settings.TestPaperSourceFlags12(source, 16)) return settings.TestModelHeaderFlags24(0x40000) ? 2259 : 2257;
  if (settings.TestPaperSourceFlags12(source, 4)) return 2258;
  return 2257;
}

int TestSourceOptionBit17(JobSettings& settings) {
  const uint16_t source = static_cast<uint16_t>(CurrentSource(settings));
  uint32_t word12 = 0;
  uint32_t word8 = 0;
  settings.GetPaperSourceValue12(source, &word12);
  settings.GetPaperSourceValue8(source, &word8);
  return (word12 & 0x100) != 0 && (word8 & 0x20000) != 0 ? 1 : 0;
}

int UpdatePaperOptionControls(HWND window, const PageParam& param, int apply) {
  JobSettings& settings = *param.settings;
  if (settings.TestModelHeaderFlags20(0x800000)) return 1;
  const auto show_options = [window](bool on) {
    EnableShowDlgItem(window, 2248, on ? 1 : 0);
    EnableShowDlgItem(window, 2216, on ? 1 : 0);
  };
  int state = 0;
  if (TestSourceOptionBit17(settings)) {
    settings.ChangeMarginOption(2);
    show_options(false);
  } else {
    uint16_t paper = 0;
    const int model_paper = settings.GetCurrentPaperIndex(&paper);
    uint32_t flags = 0;
    uint32_t model_count = ModelPaperCount(settings);
    if (model_paper) {
      settings.GetPaperSizeValue20(paper, &flags);
    } else {
      settings.GetPaperValue20(paper, &flags);
    }
    if ((flags & 1024) != 0) {
      uint32_t value = 0;
      settings.GetPaperSizeValue46(model_paper ? paper : static_cast<uint16_t>(model_count - 1), &value);
      if (value <= 3) {
        state = value <= 1 ? 1 : 0;
        const bool shown = value == 0 || value == 3;
        if (apply) settings.ChangeMarginOption(state == 1 ? 3 : 2);
        show_options(shown);
      }
      settings.ChangeMarginOption(0);
    }
  }
  const int16_t source = CurrentSource(settings);
  if (settings.TestPaperSourceFlags12(source, 1)) {
    for (int control : {2248, 2216, 2224, 2225, 2226, 2227, 2228}) EnableShowDlgItem(window, control, 0);
  }
  if ((settings.GetSourceFeedFlags(static_cast<uint16_t>(source)) & 0xAE) != 0) settings.ChangeMarginOption(2);
  return state;
}

int DisableSourceOptionControl(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (settings.TestModelHeaderFlags28(8)) return 1;
  if (settings.TestPaperSourceFlags8(CurrentSource(settings), kSourceFlag400000)) {
    if (HWND item = GetDlgItem(window, 2130)) EnableWindow(item, FALSE);
    return 1;
  }
  return 0;
}

}  // namespace kalimu::pages
