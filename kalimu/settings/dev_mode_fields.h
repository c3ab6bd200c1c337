// The device-mode field family: one row per field, from which DevModeAccessor's get, set and
// bit-word operations and the field table follow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>

#include "kalimu/settings/driver_dev_mode.h"

namespace kalimu::settings {

// What a row's field offers:
//   Value     Get<Name>() and Set<Name>(value)
//   GetOnly   Get<Name>()
//   SetOnly   Set<Name>(value)
//   Word      Get/Set plus Set<Stem>Bits(mask, on) (any non-zero on sets) and Test<Stem>Bits(mask)
//   WordOn1   as Word, but Set<Stem>Bits sets only when on equals 1 and clears otherwise
//   WordTest  Get/Set plus Test<Stem>Bits(mask)
//   Bits      Set<Stem>Bits and Test<Stem>Bits only
//   Text      Get<Name>() answers the field's address; Set<Name>(text) stores at most `rule`
//             characters and a terminator
//   Block     Get<Name>(out) and Set<Name>(in) copy the whole field
//   BlockEq   as Block, plus Is<Name>Equal(block)
enum class FieldKind { kValue, kGetOnly, kSetOnly, kWord, kWordOn1, kWordTest, kBits, kText, kBlock, kBlockEq };

// What a setter stores. Getters widen to 32 bits, sign-extending signed fields.
enum class SetRule {
  kPlain,       // the low bits of the value
  kIfChanged,   // as kPlain, written only when the value differs from the field
  kCopies,      // clamped to 1..9999
  kOneOrTwo,    // only 1 or 2; anything else leaves the field
  kZeroOrOne,   // only 0 or 1; anything else leaves the field
  kDuplex,      // 1, 2 or 3; anything else stores 1
  kPositive,    // only values above 0
};

// The value a setter stores for value under rule, or nothing when the field is to stay as it is.
constexpr std::optional<int64_t> AdmitValue(SetRule rule, int64_t value, int64_t current) {
  switch (rule) {
    case SetRule::kPlain: return value;
    case SetRule::kIfChanged: return value == current ? std::nullopt : std::optional<int64_t>(value);
    case SetRule::kCopies: return value > 9999 ? 9999 : value < 1 ? 1 : value;
    case SetRule::kOneOrTwo: return value == 1 || value == 2 ? std::optional<int64_t>(value) : std::nullopt;
    case SetRule::kZeroOrOne: return value == 0 || value == 1 ? std::optional<int64_t>(value) : std::nullopt;
    case SetRule::kDuplex: return value >= 1 && value <= 3 ? value : 1;
    case SetRule::kPositive: return value > 0 ? std::optional<int64_t>(value) : std::nullopt;
  }
  return std::nullopt;
}

// The 32-bit type through which a field of type T is read and written.
template <class T>
using Widened = std::conditional_t<std::is_signed_v<T>, int32_t, uint32_t>;

#define KALIMU_DEVMODE_FIELD_TYPE(member) \
  std::remove_cvref_t<decltype(std::declval<::kalimu::settings::DriverDevMode&>().member)>

// X(kind, Name, member of DriverDevMode, rule (Text: character limit), bit-word stem)
// The stem names the Set...Bits/Test...Bits pair of an option word; `_` where there is none.
#define KALIMU_DEVMODE_FIELDS(X)                                                   \
  /* public part */                                                                \
  X(Value, SpecVersion, Public.dmSpecVersion, kPlain, _)                           \
  X(Value, DriverVersion, Public.dmDriverVersion, kPlain, _)                       \
  X(Value, Size, Public.dmSize, kPlain, _)                                         \
  X(Value, DriverExtra, Public.dmDriverExtra, kPlain, _)                           \
  X(Value, Fields, Public.dmFields, kPlain, _)                                     \
  X(Value, Orientation, Public.dmOrientation, kOneOrTwo, _)                        \
  X(Value, PaperSize, Public.dmPaperSize, kPlain, _)                               \
  X(Value, PaperLength, Public.dmPaperLength, kPlain, _)                           \
  X(Value, PaperWidth, Public.dmPaperWidth, kPlain, _)                             \
  X(Value, Scale, Public.dmScale, kPlain, _)                                       \
  X(Value, Copies, Public.dmCopies, kCopies, _)                                    \
  X(Value, DefaultSource, Public.dmDefaultSource, kPlain, _)                       \
  X(Value, PrintQuality, Public.dmPrintQuality, kPlain, _)                         \
  X(Value, Color, Public.dmColor, kOneOrTwo, _)                                    \
  X(Value, Duplex, Public.dmDuplex, kDuplex, _)                                    \
  X(Value, YResolution, Public.dmYResolution, kPlain, _)                           \
  X(Value, TTOption, Public.dmTTOption, kPlain, _)                                 \
  X(Value, Collate, Public.dmCollate, kZeroOrOne, _)                               \
  X(Text, FormName, Public.dmFormName, 31, _)                                      \
  X(Value, LogPixels, Public.dmLogPixels, kPlain, _)                               \
  X(Value, BitsPerPel, Public.dmBitsPerPel, kPlain, _)                             \
  X(Value, PelsWidth, Public.dmPelsWidth, kPlain, _)                               \
  X(Value, PelsHeight, Public.dmPelsHeight, kPlain, _)                             \
  X(Value, DisplayFlags, Public.dmDisplayFlags, kPlain, _)                         \
  X(Value, DisplayFrequency, Public.dmDisplayFrequency, kPlain, _)                 \
  X(Value, ICMMethod, Public.dmICMMethod, kPlain, _)                               \
  X(Value, ICMIntent, Public.dmICMIntent, kPlain, _)                               \
  X(Value, MediaType, Public.dmMediaType, kPlain, _)                               \
  X(Value, DitherType, Public.dmDitherType, kPlain, _)                             \
  /* private part */                                                               \
  X(Value, PrivateVersion, PrivateVersion, kPlain, _)                              \
  X(Value, UiLanguage, UiLanguage, kPlain, _)                                      \
  X(Text, DriverName, DriverName, 31, _)                                           \
  X(Text, DllNameTag, DllNameTag, 31, _)                                           \
  X(Text, ReservedName, ReservedName, 31, _)                                       \
  X(Bits, DeviceOptions, DeviceOptions, kPlain, DeviceOption)                      \
  X(Word, NoBidiFlags, NoBidiFlags, kPlain, NoBidiFlag)                            \
  X(Value, PrintModeType, PrintModeType, kIfChanged, _)                            \
  X(Value, PaperSizeIndex, PaperSizeIndex, kPlain, _)                              \
  X(Value, PaperSourceIndex, PaperSourceIndex, kPlain, _)                          \
  X(Value, SelectedPresetWord, SelectedPresetWord, kIfChanged, _)                  \
  X(BlockEq, SettingsRecord, SettingsRecord, kPlain, _)                            \
  X(Word, LayoutOptions, LayoutOptions, kPlain, LayoutOption)                      \
  X(Word, JobOptions, JobOptions, kPlain, JobOption)                               \
  X(Word, PrePrintStatus, PrePrintStatus, kPlain, PrePrintStatus)                  \
  X(Word, PaperOptions, PaperOptions, kPlain, PaperOption)                         \
  X(Word, CutOptions, CutOptions, kPlain, CutOption)                               \
  X(Value, PaperFeedIndex, PaperFeedIndex, kPlain, _)                              \
  X(Value, PaperFeedAuto, PaperFeedAuto, kPlain, _)                                \
  X(Block, ColorSettings, ColorSettingsBlock, kPlain, _)                           \
  X(Value, PaperPageOption, PaperPageOption, kPlain, _)                            \
  X(Value, LfpIndex, LfpIndex, kPlain, _)                                          \
  X(Value, CustomPaperWidth, CustomPaperWidth, kPositive, _)                       \
  X(Value, CustomPaperLength, CustomPaperLength, kPositive, _)                     \
  X(Value, CustomPaperUnit, CustomPaperUnit, kPlain, _)                            \
  X(Value, OutputPaperSize, OutputPaperSize, kPlain, _)                            \
  X(Value, MarginBalance, MarginBalance, kPlain, _)                                \
  X(Value, ImageWidth, ImageWidth, kPlain, _)                                      \
  X(Value, ImageHeight, ImageHeight, kPlain, _)                                    \
  X(Block, RenderResolution, RenderResolution, kPlain, _)                          \
  X(Block, PaperDotExtent, PaperDotExtent, kPlain, _)                              \
  X(Value, PaperDotWidth, PaperDotExtent.width, kPlain, _)                         \
  X(Value, PaperDotHeight, PaperDotExtent.height, kPlain, _)                       \
  X(Block, PaperMargins, PaperMargins, kPlain, _)                                  \
  X(Block, MarginAdditions, MarginAdditions, kPlain, _)                            \
  X(Block, OutputExtent, OutputExtent, kPlain, _)                                  \
  X(Value, OutputWidth, OutputExtent.width, kPlain, _)                             \
  X(Value, OutputHeight, OutputExtent.height, kPlain, _)                           \
  X(Block, OutputMargins, OutputMargins, kPlain, _)                                \
  X(Value, PagesPerSheet, PagesPerSheet, kPlain, _)                                \
  X(Value, Placement, Placement, kPlain, _)                                        \
  X(Value, PosterPanelMask, PosterPanelMask, kPlain, _)                            \
  X(WordOn1, PosterOptions, PosterOptions, kPlain, PosterOption)                   \
  X(Word, MarginOptions, MarginOptions, kPlain, MarginOption)                      \
  X(WordOn1, ScalingOptions, ScalingOptions, kPlain, ScalingOption)                \
  X(Value, ScalePercent, ScalePercent, kPlain, _)                                  \
  X(Word, DuplexOptions, DuplexOptions, kIfChanged, DuplexOption)                  \
  X(Value, BindingEdge, BindingEdge, kPlain, _)                                    \
  X(Value, BindingMargin, BindingMargin, kPlain, _)                                \
  X(BlockEq, WatermarkSettings, WatermarkSettings, kPlain, _)                      \
  X(WordOn1, PersistentOptions, PersistentOptions, kIfChanged, PersistentOption)   \
  X(Value, PrivateTrailer, PrivateTrailer, kPlain, _)                              \
  /* settings record */                                                            \
  X(Value, PresetId, SettingsRecord.PresetId, kPlain, _)                           \
  X(GetOnly, QualityPosition, SettingsRecord.QualityPosition, kPlain, _)           \
  X(GetOnly, QualityLabelSet, SettingsRecord.QualityLabelSet, kPlain, _)           \
  X(Value, ModeId, SettingsRecord.ModeId, kPlain, _)                               \
  X(Value, MediaId, SettingsRecord.MediaId, kPlain, _)                             \
  X(Value, ModeVariant, SettingsRecord.ModeVariant, kPlain, _)                     \
  X(Value, RenderMethod, SettingsRecord.RenderMethod, kPlain, _)                   \
  X(Value, ColorMode, SettingsRecord.ColorMode, kPlain, _)                         \
  X(Value, QualityLevel, SettingsRecord.QualityLevel, kPlain, _)                   \
  X(GetOnly, PresetCode, SettingsRecord.PresetCode, kPlain, _)                     \
  X(Value, Gamma, SettingsRecord.Gamma, kPlain, _)                                 \
  X(Value, CorrectionMode, SettingsRecord.CorrectionMode, kPlain, _)               \
  X(Value, CorrectionLevel, SettingsRecord.CorrectionLevel, kPlain, _)             \
  X(Value, CorrectionStrength, SettingsRecord.CorrectionStrength, kPlain, _)       \
  X(Value, CorrectionOption, SettingsRecord.CorrectionOption, kPlain, _)           \
  X(Word, CorrectionFlags, SettingsRecord.CorrectionFlags, kPlain, CorrectionFlag) \
  X(Word, ColorModeOptions, SettingsRecord.ColorModeOptions, kPlain, ColorModeOption) \
  X(Value, AdjustItem0, SettingsRecord.AdjustItem0, kPlain, _)                     \
  X(Value, AdjustItem1, SettingsRecord.AdjustItem1, kPlain, _)                     \
  X(Value, AdjustItem2, SettingsRecord.AdjustItem2, kPlain, _)                     \
  X(Value, AdjustItem3, SettingsRecord.AdjustItem3, kPlain, _)                     \
  X(Value, AdjustItem4, SettingsRecord.AdjustItem4, kPlain, _)                     \
  X(Value, AdjustItem5, SettingsRecord.AdjustItem5, kPlain, _)                     \
  X(Value, TonePreset, SettingsRecord.TonePreset, kPlain, _)                       \
  X(Value, AdjustItem9, SettingsRecord.AdjustItem9, kPlain, _)                     \
  X(Value, AdjustItem10, SettingsRecord.AdjustItem10, kPlain, _)                   \
  X(Value, AdjustItem6, SettingsRecord.AdjustItem6, kPlain, _)                     \
  X(Value, AdjustItem7, SettingsRecord.AdjustItem7, kPlain, _)                     \
  X(Value, AdjustItem8, SettingsRecord.AdjustItem8, kPlain, _)                     \
  X(Value, AdjustItem11, SettingsRecord.AdjustItem11, kPlain, _)                   \
  X(Value, MediaTuning1, SettingsRecord.MediaTuning1, kPlain, _)                   \
  X(Value, MediaTuning2, SettingsRecord.MediaTuning2, kPlain, _)                   \
  X(Value, MediaTuning3, SettingsRecord.MediaTuning3, kPlain, _)                   \
  X(Value, MediaTuning4, SettingsRecord.MediaTuning4, kPlain, _)                   \
  X(Value, MediaTuning5, SettingsRecord.MediaTuning5, kPlain, _)                   \
  X(Value, MediaTuning6, SettingsRecord.MediaTuning6, kPlain, _)                   \
  X(Value, MediaTuning7, SettingsRecord.MediaTuning7, kPlain, _)                   \
  X(Value, MediaTuningFlags, SettingsRecord.MediaTuningFlags, kPlain, _)           \
  X(Value, MediaTuning8, SettingsRecord.MediaTuning8, kPlain, _)                   \
  X(Value, MediaTuning9, SettingsRecord.MediaTuning9, kPlain, _)                   \
  X(Value, MediaTuning10, SettingsRecord.MediaTuning10, kPlain, _)                 \
  X(WordTest, ReservedOptions, SettingsRecord.ReservedOptions, kPlain, ReservedOption) \
  X(Word, ModeOptions, SettingsRecord.ModeOptions, kPlain, ModeOption)             \
  X(Word, ModeOptions2, SettingsRecord.ModeOptions2, kPlain, ModeOption2)          \
  X(Word, ModeOptions3, SettingsRecord.ModeOptions3, kPlain, ModeOption3)          \
  X(Value, PresetKind, SettingsRecord.PresetKind, kPlain, _)                       \
  /* colour settings block */                                                      \
  X(Text, PresetName, ColorSettingsBlock.PresetName, 16, _)                        \
  X(Text, SourceProfile1ShortName, ColorSettingsBlock.SourceProfile1ShortName, 15, _)   \
  X(Text, SourceProfile2ShortName, ColorSettingsBlock.SourceProfile2ShortName, 15, _)   \
  X(Text, SourceProfile3ShortName, ColorSettingsBlock.SourceProfile3ShortName, 15, _)   \
  X(Text, PrinterProfile1ShortName, ColorSettingsBlock.PrinterProfile1ShortName, 15, _) \
  X(Text, PrinterProfile2ShortName, ColorSettingsBlock.PrinterProfile2ShortName, 15, _) \
  X(Text, PrinterProfile3ShortName, ColorSettingsBlock.PrinterProfile3ShortName, 15, _) \
  X(Value, Intent1, ColorSettingsBlock.Intent1, kPlain, _)                         \
  X(Value, Intent2, ColorSettingsBlock.Intent2, kPlain, _)                         \
  X(Value, Intent3, ColorSettingsBlock.Intent3, kPlain, _)                         \
  X(Word, ProfileFlags, ColorSettingsBlock.ProfileFlags, kPlain, ProfileFlag)      \
  X(Value, ColorManagementMode, ColorSettingsBlock.ColorManagementMode, kPlain, _) \
  /* watermark settings */                                                         \
  X(Value, WatermarkIndex, WatermarkSettings.WatermarkIndex, kPlain, _)            \
  X(Value, WatermarkPosition, WatermarkSettings.WatermarkPosition, kPlain, _)      \
  X(Word, WatermarkFlags, WatermarkSettings.WatermarkFlags, kPlain, WatermarkFlag) \
  X(Block, WatermarkBox, WatermarkSettings.WatermarkBox, kPlain, _)                \
  X(SetOnly, WatermarkColor, WatermarkSettings.WatermarkColor, kPlain, _)          \
  X(Value, WatermarkSize, WatermarkSettings.WatermarkSize, kPlain, _)              \
  X(Value, WatermarkDensity, WatermarkSettings.WatermarkDensity, kPlain, _)        \
  X(Value, WatermarkAspect, WatermarkSettings.WatermarkAspect, kPlain, _)

// One entry per row, in row order: the field's place and shape as the family sees it.
struct DevModeFieldInfo {
  const char* name;
  FieldKind kind;
  uint16_t offset;
  uint16_t size;
  bool is_signed;
};

#define KALIMU_DEVMODE_FIELD_INFO(kind, Name, member, rule, stem)                          \
  DevModeFieldInfo{#Name, FieldKind::k##kind, offsetof(DriverDevMode, member),             \
                   sizeof(KALIMU_DEVMODE_FIELD_TYPE(member)),                              \
                   std::is_signed_v<KALIMU_DEVMODE_FIELD_TYPE(member)>},

inline constexpr DevModeFieldInfo kDevModeFields[] = {KALIMU_DEVMODE_FIELDS(KALIMU_DEVMODE_FIELD_INFO)};

#undef KALIMU_DEVMODE_FIELD_INFO

}  // namespace kalimu::settings
