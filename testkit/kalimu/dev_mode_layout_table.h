// Test data: the device mode's fields as the record format gives them, written out by hand so
// that the accessor family can be checked against it, and a poisoned record buffer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "kalimu/settings/driver_dev_mode.h"

namespace testkit {

struct LayoutRow {
  std::string_view name;  // the operation stem (Get<name>, Set<name>)
  uint16_t offset;
  uint16_t size;
  bool is_signed;
};

inline constexpr LayoutRow kLayout[] = {
    // public part
    {"SpecVersion", 64, 2, false}, {"DriverVersion", 66, 2, false}, {"Size", 68, 2, false},
    {"DriverExtra", 70, 2, false}, {"Fields", 72, 4, false}, {"Orientation", 76, 2, true},
    {"PaperSize", 78, 2, true}, {"PaperLength", 80, 2, true}, {"PaperWidth", 82, 2, true},
    {"Scale", 84, 2, true}, {"Copies", 86, 2, true}, {"DefaultSource", 88, 2, true},
    {"PrintQuality", 90, 2, true}, {"Color", 92, 2, true}, {"Duplex", 94, 2, true},
    {"YResolution", 96, 2, true}, {"TTOption", 98, 2, true}, {"Collate", 100, 2, true},
    {"FormName", 102, 64, false}, {"LogPixels", 166, 2, false}, {"BitsPerPel", 168, 4, false},
    {"PelsWidth", 172, 4, false}, {"PelsHeight", 176, 4, false}, {"DisplayFlags", 180, 4, false},
    {"DisplayFrequency", 184, 4, false}, {"ICMMethod", 188, 4, false},
    {"ICMIntent", 192, 4, false}, {"MediaType", 196, 4, false}, {"DitherType", 200, 4, false},
    // private part
    {"PrivateVersion", 220, 2, false}, {"UiLanguage", 222, 2, false},
    {"DriverName", 224, 32, false}, {"DllNameTag", 256, 32, false},
    {"ReservedName", 288, 32, false}, {"DeviceOptions", 320, 4, false},
    {"NoBidiFlags", 324, 4, false}, {"PrintModeType", 352, 2, false},
    {"PaperSizeIndex", 354, 2, true}, {"PaperSourceIndex", 356, 2, true},
    {"SelectedPresetWord", 358, 2, false}, {"SettingsRecord", 360, 128, false},
    {"LayoutOptions", 488, 4, false}, {"JobOptions", 492, 4, false},
    {"PrePrintStatus", 496, 4, false}, {"PaperOptions", 500, 4, false},
    {"CutOptions", 504, 4, false}, {"PaperFeedIndex", 508, 2, false},
    {"PaperFeedAuto", 510, 2, false}, {"ColorSettings", 512, 280, false},
    {"PaperPageOption", 792, 2, false}, {"LfpIndex", 794, 2, true},
    {"CustomPaperWidth", 800, 4, true}, {"CustomPaperLength", 804, 4, true},
    {"CustomPaperUnit", 808, 2, false}, {"OutputPaperSize", 810, 2, false},
    {"MarginBalance", 812, 4, false}, {"ImageWidth", 824, 4, false},
    {"ImageHeight", 828, 4, false}, {"RenderResolution", 832, 8, false},
    {"PaperDotExtent", 840, 8, false}, {"PaperDotWidth", 840, 4, true},
    {"PaperDotHeight", 844, 4, true}, {"PaperMargins", 848, 16, false},
    {"MarginAdditions", 864, 16, false}, {"OutputExtent", 880, 8, false},
    {"OutputWidth", 880, 4, true}, {"OutputHeight", 884, 4, true},
    {"OutputMargins", 888, 16, false}, {"PagesPerSheet", 904, 2, true},
    {"Placement", 906, 2, false}, {"PosterPanelMask", 908, 4, false},
    {"PosterOptions", 912, 4, false}, {"MarginOptions", 916, 4, false},
    {"ScalingOptions", 920, 4, false}, {"ScalePercent", 924, 2, false},
    {"DuplexOptions", 928, 4, false}, {"BindingEdge", 932, 2, false},
    {"BindingMargin", 934, 2, false}, {"WatermarkSettings", 936, 40, false},
    {"PersistentOptions", 976, 4, false}, {"PrivateTrailer", 1046, 2, false},
    // settings record
    {"PresetId", 360, 2, true}, {"QualityPosition", 362, 2, true},
    {"QualityLabelSet", 364, 2, true}, {"ModeId", 366, 2, true}, {"MediaId", 368, 4, false},
    {"ModeVariant", 372, 2, true}, {"RenderMethod", 374, 2, false}, {"ColorMode", 376, 2, false},
    {"QualityLevel", 378, 2, false}, {"PresetCode", 380, 2, false}, {"Gamma", 382, 2, false},
    {"CorrectionMode", 384, 4, false}, {"CorrectionLevel", 388, 4, false},
    {"CorrectionStrength", 392, 4, false}, {"CorrectionOption", 396, 4, false},
    {"CorrectionFlags", 400, 2, false}, {"ColorModeOptions", 402, 2, false},
    {"AdjustItem0", 404, 2, true}, {"AdjustItem1", 406, 2, true}, {"AdjustItem2", 408, 2, true},
    {"AdjustItem3", 410, 2, true}, {"AdjustItem4", 412, 2, true}, {"AdjustItem5", 414, 2, true},
    {"TonePreset", 416, 2, true}, {"AdjustItem9", 418, 2, true}, {"AdjustItem10", 420, 2, true},
    {"AdjustItem6", 422, 2, true}, {"AdjustItem7", 424, 2, true}, {"AdjustItem8", 426, 2, true},
    {"AdjustItem11", 428, 2, true}, {"MediaTuning1", 440, 1, true},
    {"MediaTuning2", 441, 1, true}, {"MediaTuning3", 442, 1, false},
    {"MediaTuning4", 443, 1, false}, {"MediaTuning5", 444, 1, false},
    {"MediaTuning6", 445, 1, false}, {"MediaTuning7", 446, 1, false},
    {"MediaTuningFlags", 447, 1, false}, {"MediaTuning8", 448, 1, false},
    {"MediaTuning9", 449, 1, false}, {"MediaTuning10", 450, 1, false},
    {"ReservedOptions", 456, 4, false}, {"ModeOptions", 460, 4, false},
    {"ModeOptions2", 464, 4, false}, {"ModeOptions3", 468, 4, false},
    {"PresetKind", 484, 2, true},
    // colour settings block
    {"PresetName", 512, 64, false}, {"SourceProfile1ShortName", 576, 32, false},
    {"SourceProfile2ShortName", 608, 32, false}, {"SourceProfile3ShortName", 640, 32, false},
    {"PrinterProfile1ShortName", 672, 32, false}, {"PrinterProfile2ShortName", 704, 32, false},
    {"PrinterProfile3ShortName", 736, 32, false}, {"Intent1", 768, 4, false},
    {"Intent2", 772, 4, false}, {"Intent3", 776, 4, false}, {"ProfileFlags", 780, 4, false},
    {"ColorManagementMode", 784, 4, false},
    // watermark settings
    {"WatermarkIndex", 936, 2, true}, {"WatermarkPosition", 938, 2, true},
    {"WatermarkFlags", 940, 4, false}, {"WatermarkBox", 944, 16, false},
    {"WatermarkColor", 960, 4, false}, {"WatermarkSize", 964, 2, true},
    {"WatermarkDensity", 966, 2, true}, {"WatermarkAspect", 968, 2, true},
};

inline const LayoutRow* FindLayoutRow(std::string_view name) {
  for (const LayoutRow& row : kLayout) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

inline constexpr uint8_t kPoison = 0xA5;

// A whole record filled with kPoison, so that a write outside its field shows.
struct PoisonedRecord {
  alignas(8) uint8_t bytes[kalimu::settings::kDevModeSize];
  PoisonedRecord() { std::memset(bytes, kPoison, sizeof(bytes)); }
  kalimu::settings::DriverDevMode* record() { return reinterpret_cast<kalimu::settings::DriverDevMode*>(bytes); }

  // Offset of the first byte outside [offset, offset + size) that is no longer kPoison, or -1.
  int FirstChangeOutside(size_t offset, size_t size) const {
    for (size_t i = 0; i < sizeof(bytes); ++i) {
      if ((i < offset || i >= offset + size) && bytes[i] != kPoison) return static_cast<int>(i);
    }
    return -1;
  }
  uint64_t ReadLittleEndian(size_t offset, size_t size) const {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint64_t{bytes[offset + i]} << (8 * i);
    return value;
  }
  void WriteLittleEndian(size_t offset, size_t size, uint64_t value) {
    for (size_t i = 0; i < size; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  }
};

}  // namespace testkit
