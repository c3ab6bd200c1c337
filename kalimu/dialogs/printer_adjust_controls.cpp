// The printer adjustment dialog's controls: which fields exist, their states while the printer
// is asked and after it answered, the values shown from the printer or the store, the field
// checks, the ink-set list and the cutter check.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>

#include "kalimu/dialogs/printer_adjust_dialog.h"
#include "kalimu/pages/messages.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::dialogs {
namespace {

constexpr int kBothViews = 3;
constexpr size_t kFieldChars = 4;  // the longest field text (3 digits) and its terminator

// One row or group of value fields: caption, fields and the separators after fields 0..n-2.
struct FieldGroup {
  int caption;
  std::span<const int> fields;
  std::span<const int> separators;
};

constexpr FieldGroup kRow1{kAdjustRow1Caption, kAdjustRow1Fields, kAdjustRow1Separators};
constexpr FieldGroup kRow2{kAdjustRow2Caption, kAdjustRow2Fields, kAdjustRow2Separators};
constexpr FieldGroup kIwf{kAdjustIwfCaption, kAdjustIwfFields, kAdjustIwfSeparators};
constexpr FieldGroup kHt{kAdjustHtCaption, kAdjustHtFields, kAdjustHtSeparators};

// The groups the model has, with the number of fields shown in each.
struct ShownGroup {
  const FieldGroup* group;
  uint32_t count;
};
size_t ShownGroups(const AdjustShape& shape, ShownGroup out[4]) {
  size_t n = 0;
  if (shape.counts.channels != 0) {
    out[n++] = {&kRow1, shape.counts.channels};
    if (shape.second_row) out[n++] = {&kRow2, shape.counts.channels};
  }
  if (shape.iwf) out[n++] = {&kIwf, shape.counts.iwf};
  if (shape.ht) out[n++] = {&kHt, shape.counts.ht};
  return n;
}

void Enable(HWND dialog, int control, BOOL enable) { EnableWindow(GetDlgItem(dialog, control), enable); }
void Show(HWND dialog, int control, bool show) { ShowWindow(GetDlgItem(dialog, control), show ? SW_SHOW : SW_HIDE); }

// Enables every shown field, separator and caption of the value groups.
void EnableValueControls(HWND dialog, const AdjustShape& shape, BOOL enable) {
  ShownGroup groups[4];
  const size_t n = ShownGroups(shape, groups);
  for (size_t g = 0; g < n; ++g) {
    Enable(dialog, groups[g].group->caption, enable);
    for (uint32_t i = 0; i < groups[g].count; ++i) Enable(dialog, groups[g].group->fields[i], enable);
    for (uint32_t i = 0; i + 1 < groups[g].count; ++i) Enable(dialog, groups[g].group->separators[i], enable);
  }
  if (shape.rt) {
    Enable(dialog, kAdjustRtCaption, enable);
    Enable(dialog, kAdjustRtField, enable);
  }
}

void SetStatusText(HWND dialog, const pages::PageParam& param, UINT id) {
  char text[256] = {};
  pages::LoadPageString(param, id, text, sizeof(text));
  SetDlgItemTextA(dialog, kAdjustStatusText, text);
}

void SetNumber(HWND dialog, int control, int value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%d", value);
  SetDlgItemTextA(dialog, control, text);
}

// A counted record's values into the group's first fields.
void ShowCountedValues(HWND dialog, std::span<const int> fields, uint32_t shown_fields, const uint8_t record[8]) {
  const uint32_t n = ShownCountedValues(record, shown_fields);
  for (uint32_t i = 0; i < n; ++i) SetNumber(dialog, fields[i], record[1 + i]);
}

void ReadField(HWND dialog, int control, char (&out)[kFieldChars]) {
  std::memset(out, 0, sizeof(out));
  GetDlgItemTextA(dialog, control, out, sizeof(out));
}

}  // namespace

void LayOutAdjustFields(HWND dialog, const AdjustShape& shape) {
  struct Layout {
    const FieldGroup* group;
    bool exists;
    uint32_t count;
    WPARAM chars;
  };
  const Layout layouts[] = {
      {&kRow1, true, shape.counts.channels, 2},
      {&kRow2, shape.second_row, shape.counts.channels, 2},
      {&kIwf, shape.iwf, shape.counts.iwf, 2},
      {&kHt, shape.ht, shape.counts.ht, 3},
  };
  for (const Layout& l : layouts) {
    // A row of a model with no channels keeps its fields as they are.
    if (l.group == &kRow1 && l.count == 0) continue;
    if (!l.exists) {
      Show(dialog, l.group->caption, false);
      for (int field : l.group->fields) Show(dialog, field, false);
      for (int separator : l.group->separators) Show(dialog, separator, false);
      continue;
    }
    for (uint32_t i = 0; i < l.group->fields.size(); ++i) {
      if (i < l.count) {
        SendDlgItemMessageA(dialog, l.group->fields[i], EM_SETLIMITTEXT, l.chars, 0);
      } else {
        Show(dialog, l.group->fields[i], false);
      }
    }
    for (uint32_t i = l.count == 0 ? 0 : l.count - 1; i < l.group->separators.size(); ++i) {
      Show(dialog, l.group->separators[i], false);
    }
  }
  if (shape.rt) {
    SendDlgItemMessageA(dialog, kAdjustRtField, EM_SETLIMITTEXT, 2, 0);
  } else {
    Show(dialog, kAdjustRtCaption, false);
    Show(dialog, kAdjustRtField, false);
  }
}

void DisableAdjustControlsWhileWaiting(HWND dialog, const AdjustShape& shape) {
  const pages::PageParam* param = pages::PageParamOf(dialog);
  if (param != nullptr) SetStatusText(dialog, *param, kAdjustWaitingString);
  EnableValueControls(dialog, shape, FALSE);
  Enable(dialog, kAdjustSend, FALSE);
  Enable(dialog, kAdjustOk, FALSE);
  Enable(dialog, kAdjustCancel, TRUE);
}

void SetAdjustControlsAfterStatus(HWND dialog, const AdjustShape& shape, int enable) {
  if (!shape.no_adjustment) {
    EnableValueControls(dialog, shape, FALSE);
    Enable(dialog, kAdjustSend, enable != 0);
  }
  Enable(dialog, kAdjustOk, TRUE);
  Enable(dialog, kAdjustCancel, TRUE);
  const pages::PageParam* param = pages::PageParamOf(dialog);
  if (!shape.no_adjustment && param != nullptr) {
    SetStatusText(dialog, *param, enable != 0 ? kAdjustFromStoreString : kAdjustFromPrinterString);
  }
}

void EnableAdjustValueFields(HWND dialog, const AdjustShape& shape) { EnableValueControls(dialog, shape, TRUE); }

bool ShowPrinterAdjustValues(HWND dialog, settings::JobSettings& settings, const AdjustShape& shape,
                             status::PrinterStatus& status) {
  const uint32_t n = shape.counts.channels;
  uint32_t count = 0;
  const uint8_t* row1 = status.GetChannelValues(&count);
  if (count != n || (n != 0 && row1 == nullptr)) return false;
  const uint8_t* row2 = nullptr;
  if (shape.second_row) {
    row2 = status.GetChannelValues2(&count);
    if (count != n || (n != 0 && row2 == nullptr)) return false;
  }
  for (uint32_t i = 0; i < n; ++i) {
    SetNumber(dialog, kAdjustRow1Fields[i], static_cast<int8_t>(row1[i]));
    if (row2 != nullptr) SetNumber(dialog, kAdjustRow2Fields[i], static_cast<int8_t>(row2[i]));
  }
  uint8_t record[8] = {};
  if (shape.iwf) {
    if (!status.GetIwfInfo(record)) settings.ReadIwfInfo(record);
    ShowCountedValues(dialog, kAdjustIwfFields, shape.counts.iwf, record);
  }
  if (shape.ht) {
    std::memset(record, 0, sizeof(record));
    if (!status.GetHtInfo(record)) settings.ReadHtInfo(record);
    ShowCountedValues(dialog, kAdjustHtFields, shape.counts.ht, record);
  }
  if (shape.rt) {
    const auto& rt = status.reading().rt;
    SetNumber(dialog, kAdjustRtField, rt.present ? rt.value : static_cast<int>(settings.ReadRtInfo()));
  }
  return true;
}

void FillAdjustFieldsFromStore(HWND dialog, settings::JobSettings& settings, const AdjustShape& shape) {
  if (shape.counts.channels != 0) {
    HeadAdjustRecord record{};
    LoadAdjustRecord(settings, shape, &record);
    for (uint32_t i = 0; i < shape.counts.channels; ++i) {
      SetNumber(dialog, kAdjustRow1Fields[i], static_cast<int32_t>(record.first_block[i]));
      if (shape.second_row) SetNumber(dialog, kAdjustRow2Fields[i], static_cast<int32_t>(record.second_block[i]));
    }
  }
  struct Group {
    bool exists;
    std::span<const int> fields;
    uint32_t count;
    int (settings::JobSettings::*read)(uint8_t*);
    const char* fallback;
  };
  const Group groups[] = {
      {shape.iwf, kAdjustIwfFields, shape.counts.iwf, &settings::JobSettings::ReadIwfInfo, "50"},
      {shape.ht, kAdjustHtFields, shape.counts.ht, &settings::JobSettings::ReadHtInfo, "0"},
  };
  for (const Group& g : groups) {
    if (!g.exists) continue;
    uint8_t record[8] = {};
    if ((settings.*g.read)(record)) {
      ShowCountedValues(dialog, g.fields, g.count, record);
    } else {
      for (uint32_t i = 0; i < g.count; ++i) SetDlgItemTextA(dialog, g.fields[i], g.fallback);
    }
  }
  if (shape.rt) SetNumber(dialog, kAdjustRtField, static_cast<int>(settings.ReadRtInfo()));
}

void ReadAdjustFieldTexts(HWND dialog, const AdjustShape& shape, AdjustFieldTexts* out) {
  *out = AdjustFieldTexts{};
  for (uint32_t i = 0; i < shape.counts.channels; ++i) {
    ReadField(dialog, kAdjustRow1Fields[i], out->row1[i]);
    if (shape.second_row) ReadField(dialog, kAdjustRow2Fields[i], out->row2[i]);
  }
  for (uint32_t i = 0; i < shape.counts.iwf; ++i) ReadField(dialog, kAdjustIwfFields[i], out->iwf[i]);
  for (uint32_t i = 0; i < shape.counts.ht; ++i) ReadField(dialog, kAdjustHtFields[i], out->ht[i]);
  if (shape.rt) ReadField(dialog, kAdjustRtField, out->rt);
}

uint32_t ValidateAdjustFields(const AdjustShape& shape, const AdjustFieldTexts& texts) {
  bool ok = true;
  if (shape.counts.channels != 0 && shape.channel_check) {
    for (uint32_t i = 0; i < shape.counts.channels; ++i) {
      ok = ok && IsValidTwoDigitField(texts.row1[i]);
      if (shape.second_row) ok = ok && IsValidTwoDigitField(texts.row2[i]);
    }
  }
  if (shape.iwf) {
    for (uint32_t i = 0; i < shape.counts.iwf; ++i) ok = ok && IsValidTwoDigitField(texts.iwf[i]);
  }
  if (shape.rt) ok = ok && IsValidTwoDigitField(texts.rt);
  if (!ok) return kTwoDigitLimit;
  if (shape.ht) {
    for (uint32_t i = 0; i < shape.counts.ht; ++i) {
      if (!IsValidByteField(texts.ht[i])) return kByteLimit;
    }
  }
  return 0;
}

uint32_t CheckAdjustField(HWND dialog, int control) {
  auto in = [control](std::span<const int> fields) {
    return std::find(fields.begin(), fields.end(), control) != fields.end();
  };
  char text[kFieldChars] = {};
  const bool byte_field = in(kAdjustHtFields);
  if (!byte_field && !in(kAdjustRow1Fields) && !in(kAdjustRow2Fields) && !in(kAdjustIwfFields) &&
      control != kAdjustRtField) {
    return 0;
  }
  // A text longer than the field's limit fails as a whole: read one character more than fits.
  char whole[kFieldChars + 1] = {};
  GetDlgItemTextA(dialog, control, whole, sizeof(whole));
  if (std::strlen(whole) >= kFieldChars) return byte_field ? kByteLimit : kTwoDigitLimit;
  std::memcpy(text, whole, kFieldChars);
  if (byte_field) return IsValidByteField(text) ? 0 : kByteLimit;
  return IsValidTwoDigitField(text) ? 0 : kTwoDigitLimit;
}

void ShowAdjustRangeError(HWND dialog, const pages::PageParam& param, uint32_t limit) {
  char caption[256] = {};
  char format[256] = {};
  char text[256] = {};
  pages::LoadPageString(param, kAdjustRangeCaptionString, caption, sizeof(caption));
  pages::LoadPageString(param, kAdjustRangeTextString, format, sizeof(format));
  // The library's text takes the limit where it says "%d"; nothing else of it is a format.
  char number[16];
  std::snprintf(number, sizeof(number), "%u", limit);
  size_t out = 0;
  bool placed = false;
  for (const char* p = format; *p != '\0' && out + 1 < sizeof(text); ++p) {
    if (p[0] == '%' && p[1] == '%') {
      text[out++] = '%';
      ++p;
    } else if (p[0] == '%' && p[1] == 'd' && !placed) {
      for (const char* d = number; *d != '\0' && out + 1 < sizeof(text); ++d) text[out++] = *d;
      placed = true;
      ++p;
    } else {
      text[out++] = *p;
    }
  }
  text[out] = '\0';
  MessageBoxA(dialog, text, caption, MB_ICONERROR);
}

void FillInkSetList(HWND dialog, const pages::PageParam& param) {
  HWND list = GetDlgItem(dialog, kAdjustInkList);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  const struct {
    UINT name;
    int ink;
  } lines[] = {{kAdjustPhotoBlackString, 7}, {kAdjustMatteBlackString, 8}};
  for (const auto& line : lines) {
    char text[256] = {};
    char info[pages::kInkInfoChars + 1] = {};
    pages::LoadPageString(param, line.name, text, sizeof(text));
    pages::GetInkInfoText(line.ink, param, info, sizeof(info));
    std::strncat(text, " : ", sizeof(text) - std::strlen(text) - 1);
    std::strncat(text, info, sizeof(text) - std::strlen(text) - 1);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  Enable(dialog, kAdjustInkCaption, FALSE);
  Enable(dialog, kAdjustInkList, FALSE);
}

void SelectInkSetListItem(HWND dialog, settings::JobSettings& settings, status::PrinterStatus* status, int enable) {
  model::InkInfoValue printer{};
  if (status != nullptr) {
    status->GetInkSet(&printer);
  } else {
    DWORD size = sizeof(printer);
    if (!settings::ReadPrinterRegValueById(&settings, storage::kValueInkInf, &printer, &size, 0)) printer = {};
  }
  uint8_t codes[model::kInkCodeCount] = {};
  settings.GetInkSetCodes(settings.GetDefaultInkSetIndex(), codes, sizeof(codes));
  const size_t count = std::min<size_t>(printer.ink_id_length, model::kInkCodeCount);
  const bool default_set = std::memcmp(printer.codes, codes, count) == 0;
  SendDlgItemMessageA(dialog, kAdjustInkList, LB_SETCURSEL, default_set ? 0 : 1, 0);
  Enable(dialog, kAdjustInkCaption, enable != 0);
  Enable(dialog, kAdjustInkList, enable != 0);
}

void UpdateCutterCheck(HWND dialog, PrinterAdjustState& state, bool from_printer) {
  settings::JobSettings& settings = *state.param->settings;
  const bool stm = state.param->shared != nullptr && state.param->shared->stm_setting != 0;
  if (!stm && state.printer_talk && from_printer) {
    std::unique_ptr<status::PrinterStatus> status(status::CreatePrinterStatus(settings));
    if (status != nullptr) {
      status->LoadStoredStatus();
      const bool present = status->GetReplyFlag20() != 0;
      CheckDlgButton(dialog, kAdjustCutter, present ? BST_CHECKED : BST_UNCHECKED);
      Enable(dialog, kAdjustMaintenance1, present);
      Enable(dialog, kAdjustMaintenance2, present);
      const uint32_t value = present ? 1 : 0;
      settings::WritePrinterRegValueById(&settings, storage::kValueCutterInfo, &value, sizeof(value), kBothViews);
      Enable(dialog, kAdjustCutter, FALSE);
      return;
    }
  }
  bool present = false;
  if (ReadCutterSetting(settings, &present)) {
    CheckDlgButton(dialog, kAdjustCutter, present ? BST_CHECKED : BST_UNCHECKED);
    Enable(dialog, kAdjustMaintenance1, present);
    Enable(dialog, kAdjustMaintenance2, present);
  } else {
    CheckDlgButton(dialog, kAdjustCutter, BST_UNCHECKED);
    Enable(dialog, kAdjustMaintenance1, FALSE);
    Enable(dialog, kAdjustMaintenance2, FALSE);
    const uint32_t value = 0;
    settings::WritePrinterRegValueById(&settings, storage::kValueCutterInfo, &value, sizeof(value), kBothViews);
  }
}

}  // namespace kalimu::dialogs
