// Media types, media names and print modes: their lists and the rules that tie them to the
// paper source.
#include "kalimu/pages/page_helpers.h"
#include "kalimu/settings/printer_reg_values.h"

namespace kalimu::pages {
namespace {

using settings::SelectionSnapshot;

constexpr uint32_t kHiddenMode = 128;  // print-mode word 24
constexpr int kMediaTypeCombo = 2004;
constexpr int kAdvancedMediaTypeCombo = 2125;
constexpr int kMediaNameCombo = 2128;

int16_t CurrentSource(JobSettings& settings) { return static_cast<int16_t>(settings.GetDefaultSourceIndex()); }

uint32_t Count(JobSettings& settings, int (model::ModelCapabilities::*count)(uint32_t*)) {
  uint32_t n = 0;
  (settings.*count)(&n);
  return n;
}

bool IsModeHidden(JobSettings& settings, uint32_t mode) {
  return settings.TestPrintModeFlags24(static_cast<int16_t>(mode), kHiddenMode) != 0;
}

int32_t CurrentMediaId(JobSettings& settings) {
  int32_t id = 0;
  settings.GetMediaTypeId(settings.GetCurrentMediaIndex(), &id);
  return id;
}

// The word-40 flag of the current mode variant: 1, 2 or 8.
uint32_t VariantFlag(int32_t variant) { return variant == 1 ? 2 : variant == 2 ? 8 : 1; }

// The media string (1200 + table value) of a media name value.
UINT MediaNameString(JobSettings& settings, int32_t name_value) {
  int32_t value = 0;
  settings.GetTable5Value0(static_cast<uint16_t>(name_value), &value);
  return static_cast<UINT>(1200 + value);
}

// Selects the item whose text is that string; false when none carries it.
bool SelectByString(HWND combo, const PageParam& param, UINT id) {
  char text[128] = {};
  LoadPageString(param, id, text, sizeof(text));
  const LRESULT found = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
  return found != CB_ERR;
}

bool FeedFlagsRefuse(JobSettings& settings) {
  return (settings.GetSourceFeedFlags(static_cast<uint16_t>(CurrentSource(settings))) & (0x100 | 1)) != 0;
}

}  // namespace

int FillMediaTypeCombo(HWND window, const PageParam& param, int fill_case) {
  if (fill_case < 0 || fill_case > 3) return CB_ERR;
  JobSettings& settings = *param.settings;
  HWND combo = GetDlgItem(window, fill_case == 1 ? kAdvancedMediaTypeCombo : kMediaTypeCombo);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  const uint32_t count = Count(settings, &model::ModelCapabilities::GetMediaTypeCount);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t name = 0;
    settings.GetMediaTypeValue16(static_cast<uint16_t>(i), &name);
    char text[128] = {};
    LoadPageString(param, static_cast<UINT>(settings::GetMediaNameStringId(name)), text, sizeof(text));
    const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(combo, CB_SETITEMDATA, at, i);
  }
  const bool of_mode = (fill_case == 0 && settings.IsPresetKind5()) || fill_case == 1 || fill_case == 3;
  const int32_t name = of_mode ? settings.GetMediaNameIdOfMode(settings.GetCurrentModeIndex())
                               : settings.GetCurrentMediaNameId();
  if (!SelectByString(combo, param, static_cast<UINT>(settings::GetMediaNameStringId(name))) &&
      (fill_case == 1 || fill_case == 3)) {
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
  }
  return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
}

void FillMediaNameCombo(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  HWND types = GetDlgItem(window, kAdvancedMediaTypeCombo);
  const LRESULT type_item = SendMessageA(types, CB_GETCURSEL, 0, 0);
  const LRESULT chosen = SendMessageA(types, CB_GETITEMDATA, static_cast<WPARAM>(type_item), 0);
  HWND combo = GetDlgItem(window, kMediaNameCombo);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  const uint32_t names = Count(settings, &model::ModelCapabilities::GetTable5Count);
  const uint32_t modes = Count(settings, &model::ModelCapabilities::GetPrintModeCount);
  for (uint32_t i = 0; i < names; ++i) {
    if (!IsMediaNameInModes(param, static_cast<int32_t>(i))) continue;
    for (uint32_t j = 0; j < modes; ++j) {
      int32_t value = 0;
      settings.GetPrintModeValue4(static_cast<uint16_t>(j), &value);
      if (IsModeHidden(settings, j) || value != static_cast<int32_t>(i) ||
          settings.FindMediaIndexOfMode(static_cast<uint16_t>(j)) != chosen) {
        continue;
      }
      SelectionSnapshot snapshot = {};
      snapshot.keep = settings::kKeepPreset | settings::kKeepPaper | settings::kKeepMedia | settings::kKeepMode |
                      settings::kKeepSource;
      snapshot.source_index = static_cast<uint16_t>(settings.GetPaperSourceIndex());
      snapshot.preset_index = settings.FindPresetForCurrent();
      snapshot.paper_index = static_cast<uint16_t>(settings.GetPaperSizeIndex());
      snapshot.media_index = settings.GetCurrentMediaIndex();
      snapshot.mode_index = static_cast<uint16_t>(j);
      if ((settings.CheckSelection(&snapshot) & settings::kConflictMode) == 0) {
        char text[128] = {};
        LoadPageString(param, MediaNameString(settings, static_cast<int32_t>(i)), text, sizeof(text));
        const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageA(combo, CB_SETITEMDATA, at, i);
      }
      break;
    }
  }
  int32_t current = 0;
  settings.GetPrintModeValue4(settings.GetCurrentModeIndex(), &current);
  SelectByString(combo, param, MediaNameString(settings, current));
}

int IsMediaNameInModes(const PageParam& param, int32_t media_name_value) {
  JobSettings& settings = *param.settings;
  const uint32_t flag = VariantFlag(settings.GetModeVariant());
  const int32_t media_id = CurrentMediaId(settings);
  const uint32_t modes = Count(settings, &model::ModelCapabilities::GetPrintModeCount);
  for (uint32_t j = 0; j < modes; ++j) {
    int32_t value = 0;
    int32_t id = 0;
    settings.GetPrintModeValue4(static_cast<uint16_t>(j), &value);
    settings.GetPrintModeMediaId(static_cast<uint16_t>(j), &id);
    if (!IsModeHidden(settings, j) && settings.TestPrintModeFlags40(static_cast<int16_t>(j), flag) &&
        value == media_name_value && id == media_id) {
      return 1;
    }
  }
  return 0;
}

uint32_t GetMediaVariantFlags(JobSettings& settings) {
  const int32_t media_id = CurrentMediaId(settings);
  const uint32_t modes = Count(settings, &model::ModelCapabilities::GetPrintModeCount);
  uint32_t flags = 0;
  for (uint32_t j = 0; j < modes; ++j) {
    int32_t id = 0;
    settings.GetPrintModeMediaId(static_cast<uint16_t>(j), &id);
    if (IsModeHidden(settings, j) || id != media_id) continue;
    const auto mode = static_cast<int16_t>(j);
    if (settings.TestPrintModeFlags40(mode, 1)) flags |= 1;
    if (settings.TestPrintModeFlags40(mode, 2)) flags |= 2;
    if (settings.TestPrintModeFlags40(mode, 8)) flags |= 4;
  }
  return flags;
}

uint32_t GetMediaPresetFlags(JobSettings& settings) {
  const int32_t media_id = CurrentMediaId(settings);
  const uint32_t presets = Count(settings, &model::ModelCapabilities::GetPresetGroup0Count);
  uint32_t flags = 0;
  for (uint32_t p = 0; p < presets; ++p) {
    int32_t id = 0;
    int32_t value = -1;
    settings.GetPresetMediaId(static_cast<uint16_t>(p), &id);
    settings.GetPresetValue12(static_cast<uint16_t>(p), &value);
    if (id != media_id) continue;
    if (value >= 0 && value <= 2) flags |= 1u << value;
  }
  return flags;
}

int IsMediaSelectable(HWND, const PageParam&, JobSettings& settings, uint16_t media_index) {
  SelectionSnapshot snapshot = {};
  snapshot.keep = settings::kKeepMedia;
  snapshot.media_index = media_index;
  if ((settings.CheckSelection(&snapshot) & settings::kConflictMedia) != 0) return 0;
  if (settings.MediaAllowsSource(media_index, settings.GetDefaultSource())) return 1;
  return FeedFlagsRefuse(settings) ? 0 : 1;
}

int IsMediaAllowedForSource(HWND, const PageParam& param, int32_t value, int32_t source_id) {
  JobSettings& settings = *param.settings;
  if (settings.MediaAllowsSource(static_cast<uint16_t>(value), source_id)) return 1;
  return FeedFlagsRefuse(settings) ? 0 : 1;
}

int ApplyMediaSourceRule(const PageParam& param, uint16_t media_index) {
  JobSettings& settings = *param.settings;
  const int16_t source = CurrentSource(settings);
  if (settings.TestMediaTypeFlags8(static_cast<int16_t>(media_index), 0x200000) &&
      settings.TestPaperSourceFlags12(source, 16 | 4) && !settings.TestPaperSourceFlags8(source, 0x40000 | 0x400000)) {
    settings.ChangeMarginOption(2);
    return 1;
  }
  return 0;
}

int ApplyCurrentMediaSourceRule(const PageParam& param) {
  return ApplyMediaSourceRule(param, param.settings->GetCurrentMediaIndex());
}

int IsMediaFlag2000000(HWND, const PageParam&, JobSettings& settings, uint16_t media_index) {
  return settings.TestMediaTypeFlags8(static_cast<int16_t>(media_index), 0x2000000);
}

int IsMediaFlag4(HWND, const PageParam&, JobSettings& settings, uint16_t media_index) {
  return settings.TestMediaTypeFlags8(static_cast<int16_t>(media_index), 4);
}

int ExtendMediaOptionBits(HWND window, const PageParam& param, JobSettings& settings, uint16_t media_index) {
  const int has = IsMediaFlag2000000(window, param, settings, media_index);
  if (has && settings.GetCutOptions() == 1) {
    settings.SetCutOptionBit1(1);
    settings.SetCutOptionBit2(1);
  }
  return has;
}

int ClearMediaOptionBits(HWND window, const PageParam& param, JobSettings& settings, uint16_t media_index) {
  const int has = IsMediaFlag4(window, param, settings, media_index);
  if (has && settings.GetCutOptions() != 0) {
    settings.SetCutOptionBit1(0);
    settings.SetCutOptionBit2(0);
    settings.SetCutOptionBit8(0);
  }
  return has;
}

int IsSilentOptionAllowed(const PageParam& param) {
  JobSettings& settings = *param.settings;
  uint32_t media_word = 0;
  settings.GetMediaTypeValue8(settings.GetCurrentMediaIndex(), &media_word);
  if ((media_word & 0x8000) != 0) return 0;
  uint32_t model_count = 0;
  settings.GetPaperSizeCount(&model_count);
  uint32_t index = static_cast<uint32_t>(settings.GetPaperSizeIndex());
  if (settings.TestScalingOptionBits(1)) index = settings.FindPaperIndexById(static_cast<int32_t>(settings.GetOutputPaperSize()));
  uint32_t flags = 0;
  if (index < model_count) {
    settings.GetPaperSizeValue20(static_cast<uint16_t>(index), &flags);
  } else {
    settings.GetPaperValue20(static_cast<uint16_t>(index - model_count), &flags);
  }
  return (flags & 0x80) != 0 ? 0 : 1;
}

void UpdateMediaOptionCheck(HWND window, const PageParam& param, int apply) {
  JobSettings& settings = *param.settings;
  constexpr int kCheck = 2137;
  const bool shown = !settings.TestPaperSourceFlags12(CurrentSource(settings), 512);
  ShowWindow(GetDlgItem(window, kCheck), shown ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(window, 2136), shown ? SW_SHOW : SW_HIDE);
  const uint16_t mode = settings.GetCurrentModeIndex();
  int32_t value = 0;
  switch (settings.GetModeVariant()) {
    case 1: settings.GetPrintModeValue56(settings.FindModeIndexForVariant1(mode), &value); break;
    case 2: settings.GetPrintModeValue184(settings.FindModeIndexForVariant2(mode), &value); break;
    default: settings.GetPrintModeValue120(settings.FindModeIndexForVariant0(mode), &value); break;
  }
  const auto set = [&](bool checked, bool enabled) {
    CheckDlgButton(window, kCheck, checked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(window, kCheck), enabled ? TRUE : FALSE);
    settings.SetModeOptionBits(4, checked ? 1 : 0);
  };
  if (apply) {
    EnableWindow(GetDlgItem(window, kCheck), TRUE);
    CheckDlgButton(window, kCheck, settings.TestModeOptionBits(4) ? BST_CHECKED : BST_UNCHECKED);
  }
  switch (value) {
    case 0: if (!apply) set(true, true); break;
    case 3: if (!apply) set(false, true); break;
    case 1: set(true, false); break;
    case 2: set(false, false); break;
    default: break;
  }
}

void UpdateColorModeOptionCheck(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  constexpr int kCheck = 2186;
  const int32_t mode = settings.GetColorMode();
  const uint32_t options = settings.GetColorModeOptions();
  if (mode == 2 || mode == 6 || mode == 5) {
    settings.SetColorModeOptions(options & ~1u);
    CheckDlgButton(window, kCheck, BST_UNCHECKED);
    if (mode != 5) EnableWindow(GetDlgItem(window, kCheck), FALSE);
    return;
  }
  CheckDlgButton(window, kCheck, (options & 1) != 0 ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(GetDlgItem(window, kCheck), TRUE);
}

}  // namespace kalimu::pages
