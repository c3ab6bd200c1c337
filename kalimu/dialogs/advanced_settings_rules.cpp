// The advanced settings dialog's window-free rules.
#include "kalimu/dialogs/advanced_settings_rules.h"

#include <cstring>

namespace kalimu::dialogs {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number of a run of digits, held below a bound far outside every range the dialog takes.
int32_t NumberOf(const char* digits) {
  constexpr int32_t kCeiling = 1000000;
  int32_t value = 0;
  for (; *digits != '\0'; ++digits) {
    value = value * 10 + (*digits - '0');
    if (value >= kCeiling) return kCeiling;
  }
  return value;
}

int32_t IntegerSquareRoot(int32_t value) {
  if (value <= 0) return 0;
  int32_t root = 0;
  while ((root + 1) * (root + 1) <= value) ++root;
  return root;
}

uint32_t ReadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof(v));
  return v;
}
int32_t ReadI32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof(v));
  return v;
}
uint16_t ReadU16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, sizeof(v));
  return v;
}

void Set(ControlChange& control, int checked, int enabled, int shown) {
  if (checked >= 0) control.checked = static_cast<int8_t>(checked);
  if (enabled >= 0) control.enabled = static_cast<int8_t>(enabled);
  if (shown >= 0) control.shown = static_cast<int8_t>(shown);
}

}  // namespace

AdjustEditResult FilterAdjustEditText(const char* text, bool negative, int32_t previous, bool plus_is_minus,
                                      int32_t limit) {
  AdjustEditResult result{};
  char kept[4] = {};
  size_t count = 0;
  bool changed = false;
  for (size_t i = 0; i < 3 && text != nullptr && text[i] != '\0'; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      kept[count++] = c;
      continue;
    }
    if (c == '-') negative = true;
    if (c == '+') negative = plus_is_minus;
    changed = true;
  }
  // The fade row only goes down: its values are never positive.
  if (plus_is_minus) negative = true;
  int32_t magnitude = 0;
  if (count == 0 || (count == 1 && kept[0] == '0')) {
    std::memcpy(result.text, kept, sizeof(kept));
    result.text_changed = changed;
    result.negative = negative;
    result.value = negative ? kAdjustMinusMarker : 0;
    result.slider = limit;
    return result;
  }
  if (count == 3) {
    const int32_t old = AdjustValueOrZero(previous);
    magnitude = old < 0 ? -old : old;
    if (magnitude > limit) magnitude = limit;
    changed = true;
  } else {
    magnitude = NumberOf(kept);
    if (magnitude > limit) {
      magnitude = limit;
      changed = true;
    }
  }
  const int written = magnitude >= 10 ? 2 : 1;
  if (written == 2) {
    result.text[0] = static_cast<char>('0' + magnitude / 10);
    result.text[1] = static_cast<char>('0' + magnitude % 10);
  } else {
    result.text[0] = static_cast<char>('0' + magnitude);
  }
  result.text_changed = changed;
  result.negative = negative;
  result.value = negative ? -magnitude : magnitude;
  result.slider = limit + result.value;
  return result;
}

int32_t ClampToningCoordinate(int32_t edited, int32_t other) {
  if (IsInsideToningCircle(edited, other)) return edited;
  if (other < -kToningRadius || other > kToningRadius) return 0;
  const int32_t room = kToningRadiusSquared - other * other;
  const int32_t limit = IntegerSquareRoot(room);
  return edited < 0 ? -limit : limit;
}

bool MapToningClick(int32_t cx, int32_t cy, int32_t left, int32_t top, ToningPoint* point) {
  if (cx < left || cy < top || cx >= left + kToningCircleSize || cy >= top + kToningCircleSize) return false;
  const ToningPoint p{cx - left - kToningRadius, top + kToningRadius - cy};
  if (!IsInsideToningCircle(p.x, p.y)) return false;
  if (point != nullptr) *point = p;
  return true;
}

CoordinateEditResult FilterCoordinateText(const char* text) {
  CoordinateEditResult result{};
  char digits[16] = {};
  size_t count = 0;
  bool negative = false;
  for (size_t i = 0; i < 15 && text != nullptr && text[i] != '\0'; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digits[count++] = c;
      continue;
    }
    if (c == '-') negative = true;
    if (c == '+') negative = false;
    result.text_changed = true;
  }
  size_t at = 0;
  if (negative) result.text[at++] = '-';
  for (size_t i = 0; i < count && at < sizeof(result.text) - 1; ++i) result.text[at++] = digits[i];
  const int32_t number = NumberOf(digits);
  result.value = negative ? -number : number;
  return result;
}

int32_t QualityLevelForPairs(int32_t level, bool on) {
  static constexpr int32_t kPairs[][2] = {{0, 5}, {1, 4}, {2, 7}};
  for (const auto& pair : kPairs) {
    if (on && level == pair[0]) return pair[1];
    if (!on && level == pair[1]) return pair[0];
  }
  return level;
}

ModeOptionChanges DecideModeOptionChecks(const ModeOptionInput& in) {
  ModeOptionChanges out;
  Set(out.option_2130, -1, -1, in.colour_mode5 ? 0 : 1);
  int a = 0;
  int b = 0;
  int32_t v = in.rule_v;
  switch (in.fill_case) {
    case 2:
      a = in.option_bit1 ? 1 : 2;
      b = in.option_bit2 ? 1 : 2;
      break;
    case 1:
      if (in.rule_r == 0) {
        a = 1;
      } else if (in.rule_r == 3) {
        a = 2;
      } else {
        b = v == 0 ? 1 : v == 2 ? 2 : 0;
      }
      break;
    default:
      break;
  }
  if (in.option4_active) {
    v = 3;
    b = 2;
  }
  const int enable = in.fill_case == 2 ? -1 : 1;
  if (a == 1) Set(out.option_2130, 1, enable, -1);
  if (a == 2) Set(out.option_2130, 0, enable, -1);
  if (in.rule_r == 1) Set(out.option_2130, 1, 0, -1);
  if (in.rule_r == 2) {
    Set(out.option_2130, 0, 0, -1);
    Set(out.option_2178, 0, 0, -1);
  }
  if (b == 1 || b == 2) {
    Set(out.option_2178, b == 1 ? 1 : 0, 1, 1);
    Set(out.label_2108, -1, 1, 1);
  }
  switch (v) {
    case 1:
    case 3:
      Set(out.option_2178, v == 1 ? 1 : 0, 0, 1);
      Set(out.label_2108, -1, -1, 1);
      break;
    case 4:
    case 5:
      Set(out.option_2178, v == 4 ? 1 : 0, -1, 0);
      Set(out.label_2108, -1, -1, 0);
      break;
    default:
      break;
  }
  Set(out.option_2178, -1, -1, in.special_feed ? 0 : 1);
  if (in.model_hides_2178) {
    Set(out.option_2178, -1, -1, 0);
    Set(out.label_2108, -1, -1, 0);
  }
  return out;
}

RenderMethodList ListRenderMethods(uint32_t allowed, int32_t current) {
  static constexpr uint32_t kBits[4] = {8, 2, 4, 1};
  RenderMethodList list{};
  list.selected = -1;
  for (int32_t data = 0; data < 4; ++data) {
    if ((allowed & kBits[data]) == 0) continue;
    if (data == current) list.selected = list.count;
    list.data[list.count++] = data;
  }
  if (list.selected < 0 && list.count > 0) list.selected = list.count - 1;
  return list;
}

RenderOptionList ListRenderOptions(uint32_t allowed, uint32_t mode_options, uint32_t flags) {
  struct Row {
    uint32_t bit;
    uint16_t string_id;
    int32_t data;
    bool preselected;
  };
  const Row rows[] = {
      {8, 8145, 3, (mode_options & 0xE00u) == 0},
      {1, 8146, 0, (mode_options & 0x200u) != 0},
      {2, 8147, 1, (mode_options & 0x400u) != 0},
      {4, 8148, 2, (mode_options & 0x800u) != 0},
  };
  RenderOptionList list{};
  list.preselected = -1;
  list.candidate = -1;
  for (const Row& row : rows) {
    if ((allowed & row.bit) == 0) continue;
    RenderOptionItem& item = list.items[list.count];
    item = {row.string_id, row.data, row.preselected && (flags & 16u) == 0};
    if (item.preselected) list.preselected = list.count;
    ++list.count;
  }
  auto default_bit = [](int32_t data) { return 16u << data; };
  list.enabled = true;
  if (list.count == 1) {
    list.enabled = (allowed & default_bit(list.items[0].data)) == 0;
    list.candidate = 0;
  } else if (list.count > 1) {
    list.candidate = 0;
    for (int32_t i = 0; i < list.count; ++i) {
      if ((allowed & default_bit(list.items[i].data)) != 0) {
        list.candidate = i;
        break;
      }
    }
  }
  return list;
}

uint32_t AllowedColourModeRadios(uint32_t bits, int32_t render_method) {
  uint32_t radios = 0;
  if ((bits & 1) != 0) radios |= kRadioColour;
  if ((bits & 2) != 0) radios |= kRadioPhoto;
  if ((bits & 64) != 0) radios |= kRadioNoAdjust;
  static constexpr uint32_t kIcmBitByMethod[4] = {4, 16, 32, 8};
  if (render_method >= 0 && render_method < 4 && (bits & kIcmBitByMethod[render_method]) != 0) radios |= kRadioIcm;
  return radios;
}

imaging::MonoPreviewParams MonoPreviewParamsFrom(const int32_t items[12], int32_t tone) {
  imaging::MonoPreviewParams params{};
  params.toningA = items[9];
  params.toningB = items[10];
  params.tone = tone;
  params.brightness = AdjustValueOrZero(items[0]);
  params.contrast = AdjustValueOrZero(items[1]);
  params.shadowTone = AdjustValueOrZero(items[6]);
  params.highlightTone = AdjustValueOrZero(items[7]);
  params.fade = AdjustValueOrZero(items[8]);
  params.highlightLimit = items[11];
  return params;
}

bool CheckMonoSampleDib(const void* data, size_t size, MonoSampleDib* out) {
  constexpr uint32_t kHeader = 40;
  constexpr int32_t kLargest = 1 << 16;
  if (data == nullptr || size < kHeader) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  const int32_t width = ReadI32(p + 4);
  const int32_t height = ReadI32(p + 8);
  if (ReadU32(p) != kHeader || ReadU16(p + 12) != 1 || ReadU16(p + 14) != 24 || ReadU32(p + 16) != 0 ||
      ReadU32(p + 32) != 0) {
    return false;
  }
  if (width <= 0 || width > kLargest || height == 0 || height > kLargest || height < -kLargest) return false;
  const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
  const uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
  if (size - kHeader < stride * rows) return false;
  if (out != nullptr) *out = {width, height, static_cast<uint32_t>(stride), kHeader};
  return true;
}

}  // namespace kalimu::dialogs
