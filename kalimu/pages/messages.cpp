// The fixed message table, the numbered settings messages and the media, mode and paper
// notices.
#include "kalimu/pages/messages.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "kalimu/pages/message_tables.h"
#include "kalimu/pages/page_helpers.h"
#include "kalimu/platform/text_helpers.h"
#include "kalimu/settings/printer_reg_values.h"
#include "kalimu/storage/driver_registry.h"

namespace kalimu::pages {
namespace {

using platform::AppendStringA;
using platform::CopyStringA;

constexpr size_t kPrefixChars = 260;
constexpr size_t kMediaNameChars = 128;

void LoadMediaName(const PageParam& param, char* out, int size) {
  LoadPageString(param, static_cast<UINT>(settings::GetMediaNameStringId(param.settings->GetCurrentMediaNameId())),
                 out, size);
}

// "<<media>>\n", or "<<media/mode[/option]>>\n" with the mode's media string.
void BuildPrefix(const PageParam& param, TextExtra extra, char* prefix) {
  JobSettings& settings = *param.settings;
  char part[kMediaNameChars] = {};
  CopyStringA(prefix, kPrefixChars, "<<");
  LoadMediaName(param, part, sizeof(part));
  AppendStringA(prefix, kPrefixChars, part);
  if (extra != TextExtra::kMediaLine) {
    const uint16_t mode = settings.GetCurrentModeIndex();
    int32_t media_value = 0;
    int32_t table_value = 0;
    settings.GetPrintModeValue4(mode, &media_value);
    settings.GetTable5Value0(static_cast<uint16_t>(media_value), &table_value);
    LoadPageString(param, static_cast<UINT>(1200 + table_value), part, sizeof(part));
    AppendStringA(prefix, kPrefixChars, "/");
    AppendStringA(prefix, kPrefixChars, part);
    if (extra == TextExtra::kMediaModeOption && !settings.TestPrintModeFlags20(static_cast<int16_t>(mode), 0x100) &&
        settings.TestModeOptionBits(2)) {
      LoadPageString(param, 8005, part, sizeof(part));
      AppendStringA(prefix, kPrefixChars, "/");
      AppendStringA(prefix, kPrefixChars, part);
    }
  }
  AppendStringA(prefix, kPrefixChars, ">>\n");
}

// The string of the media ids the model knows, or 0.
UINT MediaIdLine(JobSettings& settings) {
  if (settings.IsKnownMediaId(261)) return settings.IsKnownMediaId(272) ? 8072 : 8068;
  if (settings.IsKnownMediaId(272)) return 8071;
  return settings.IsKnownMediaId(275) ? 8073 : 0;
}

// 1 when the stored ink set (value 108) differs from the model's default ink set in any of its
// first count codes; an absent value compares nothing.
bool StoredInkSetDiffers(JobSettings& settings) {
  model::InkInfoValue stored = {};
  DWORD size = sizeof(stored);
  if (!settings::ReadPrinterRegValueById(&settings, storage::kValueInkInf, &stored, &size, 0)) stored = {};
  uint32_t default_set = 0;
  settings.GetDefaultInkSetIndex(&default_set);
  uint8_t codes[model::kInkCodeCount] = {};
  settings.GetInkSetCodes(static_cast<uint16_t>(default_set), codes, sizeof(codes));
  const uint32_t count = std::min<uint32_t>(stored.ink_id_length, model::kInkCodeCount);
  return !std::equal(stored.codes, stored.codes + count, codes);
}

}  // namespace

int ShowTableMessage(HWND window, const PageParam& param, int row) {
  const int16_t index = static_cast<int16_t>(row);
  if (index < 0 || static_cast<size_t>(index) >= kTableMessageCount) return 0;
  const TableMessage& message = kTableMessages[index];
  char caption[260] = {};
  char text[260] = {};
  LoadPageString(param, message.caption, caption, sizeof(caption));
  LoadPageString(param, message.text, text, sizeof(text));
  return MessageBoxA(window, text, caption, message.icon | message.buttons);
}

void BuildSettingsMessage(const PageParam& param, int number, MessageText* out) {
  out->caption[0] = '\0';
  out->text[0] = '\0';
  const SettingsMessageCase& message = SettingsMessageOf(number);
  JobSettings* settings = param.settings;
  char text[kMessageTextChars] = {};
  LoadPageString(param, message.text, text, sizeof(text));

  UINT caption_id = message.caption;
  if (settings != nullptr && message.caption_source == CaptionSource::kSource) caption_id = GetSourceCaptionId(*settings);
  if (settings != nullptr && message.caption_source == CaptionSource::kMediaType1Name) {
    int32_t name = 0;
    settings->GetMediaTypeValue16(1, &name);
    caption_id = static_cast<UINT>(settings::GetMediaNameStringId(name));
  }
  if (message.caption_source == CaptionSource::kDriverName) {
    if (settings != nullptr) CopyStringA(out->caption, kMessageCaptionChars, settings->GetDriverName());
  } else if (caption_id != 0) {
    LoadPageString(param, caption_id, out->caption, kMessageCaptionChars);
  }
  if (settings == nullptr) {
    CopyStringA(out->text, kMessageTextChars, text);
    return;
  }

  switch (message.extra) {
    case TextExtra::kMediaLine:
    case TextExtra::kMediaModeLine:
    case TextExtra::kMediaModeOption: {
      char prefix[kPrefixChars] = {};
      BuildPrefix(param, message.extra, prefix);
      CopyStringA(out->text, kMessageTextChars, prefix);
      AppendStringA(out->text, kMessageTextChars, text);
      return;
    }
    case TextExtra::kAppend8095: {
      char tail[256] = {};
      LoadPageString(param, 8095, tail, sizeof(tail));
      AppendStringA(text, kMessageTextChars, tail);
      break;
    }
    case TextExtra::kMediaIdLine:
      if (const UINT line = MediaIdLine(*settings); line != 0) {
        char tail[256] = {};
        LoadPageString(param, line, tail, sizeof(tail));
        AppendStringA(text, kMessageTextChars, "\n");
        AppendStringA(text, kMessageTextChars, tail);
      }
      break;
    case TextExtra::kInkSetLines: {
      char line[64] = {};
      LoadPageString(param, StoredInkSetDiffers(*settings) ? 3024 : 3025, line, sizeof(line));
      char last[256] = {};
      LoadPageString(param, 8155, last, sizeof(last));
      AppendStringA(text, kMessageTextChars, "\n");
      AppendStringA(text, kMessageTextChars, line);
      AppendStringA(text, kMessageTextChars, "\n");
      AppendStringA(text, kMessageTextChars, last);
      break;
    }
    case TextExtra::kNone:
      break;
  }
  CopyStringA(out->text, kMessageTextChars, text);
}

int ShowSettingsMessage(HWND window, const PageParam& param, UINT style, int number) {
  MessageText message;
  BuildSettingsMessage(param, number, &message);
  return MessageBoxA(window, message.text, message.caption, style);
}

void ShowMediaInfoNotice(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (!settings.TestPrintModeFlags20(static_cast<int16_t>(settings.GetCurrentModeIndex()), 0x20000)) return;
  char caption[128] = {};
  char text[256] = {};
  if (LoadPageString(param, 1280, caption, sizeof(caption)) > 0 && LoadPageString(param, 1281, text, sizeof(text)) > 0) {
    MessageBoxA(window, text, caption, MB_ICONINFORMATION);
  }
}

namespace {
// A notice whose caption is the name of the current mode's media.
void ShowMediaCaptionNotice(HWND window, const PageParam& param, UINT text_id) {
  JobSettings& settings = *param.settings;
  char caption[kMediaNameChars] = {};
  char text[260] = {};
  LoadPageString(param,
                 static_cast<UINT>(settings::GetMediaNameStringId(settings.GetMediaNameIdOfMode(settings.GetCurrentModeIndex()))),
                 caption, sizeof(caption));
  LoadPageString(param, text_id, text, sizeof(text));
  MessageBoxA(window, text, caption, MB_OK);
}
}  // namespace

void ShowMediaSourceNotice(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  const int16_t media = static_cast<int16_t>(settings.GetCurrentMediaIndex());
  const int16_t source = static_cast<int16_t>(settings.GetDefaultSourceIndex());
  if (settings.TestMediaTypeFlags8(media, 0x1000000) && !settings.TestPaperSourceFlags12(source, 128)) {
    ShowMediaCaptionNotice(window, param, 8137);
  }
}

void ShowMediaNotice(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (settings.TestMediaTypeFlags8(static_cast<int16_t>(settings.GetCurrentMediaIndex()), 0x4000000)) {
    ShowMediaCaptionNotice(window, param, 8138);
  }
}

void WarnPaperFlag(HWND window, const PageParam& param) {
  if ((GetCurrentPaperFlags(param) & 0x100) != 0) ShowSettingsMessage(window, param, 0, 27);
}

void WarnMediaFlag(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (settings.TestPrintModeFlags20(static_cast<int16_t>(settings.GetCurrentModeIndex()), 0x8000000)) {
    ShowSettingsMessage(window, param, 0, 25);
  }
}

int CheckMediaPaperSize(HWND window, const PageParam& param) {
  JobSettings& settings = *param.settings;
  if (settings.TestMediaTypeFlags8(static_cast<int16_t>(settings.GetCurrentMediaIndex()), 2048)) {
    ShowTableMessage(window, param, 6);
    return 0;
  }
  uint16_t paper = 0;
  const int model_paper = settings.GetCurrentPaperIndex(&paper);
  uint32_t flags = 0;
  if (model_paper) {
    settings.GetPaperSizeValue20(paper, &flags);
  } else {
    settings.GetPaperValue20(paper, &flags);
  }
  if ((flags & 0x20) != 0) {
    ShowTableMessage(window, param, 16);
    return 0;
  }
  if (settings.IsDuplexWithOption4() && settings.TestTable4Flags4(2, 1)) {
    ShowTableMessage(window, param, 14);
    return 0;
  }
  return 1;
}

}  // namespace kalimu::pages
