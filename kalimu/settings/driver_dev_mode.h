// The driver's 1048-byte device mode: the public DEVMODEW followed by the 828-byte private part.
//
// The record is exchanged with the spooler, applications and the rendering library and is
// stored by the spooler per printer, so every offset, width and unit below is a contract.
// Only DevModeAccessor reads or writes these bytes. Reserved bytes are zero in a record the
// driver creates and are otherwise carried along untouched.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kalimu::settings {

inline constexpr uint16_t kDevModeSpecVersion = 0x401;
inline constexpr uint16_t kDevModeDriverVersion = 0x500;
inline constexpr uint16_t kDevModePublicSize = 220;
inline constexpr uint16_t kDevModePrivateSize = 828;
inline constexpr uint16_t kDevModePrivateVersion = 0x0710;  // both the version and the trailer word
inline constexpr size_t kDevModeSize = kDevModePublicSize + kDevModePrivateSize;  // 1048

inline constexpr size_t kDriverNameBytes = 32;  // DriverName, DllNameTag, ReservedName
inline constexpr size_t kPresetNameMaxChars = 16;

// CustomPaperUnit values.
inline constexpr uint16_t kCustomPaperUnitTenthMm = 1;
inline constexpr uint16_t kCustomPaperUnitHundredthInch = 2;
// DuplexOptions bit: set = BindingMargin in 0.1 mm, clear = in 1/100 inch.
inline constexpr uint32_t kDuplexOptionBindingMarginMetric = 0x10;

#pragma pack(push, 1)

struct ResolutionPair {  // dots per inch
  uint32_t x;
  uint32_t y;
};

struct ExtentPair {
  int32_t width;
  int32_t height;
};

struct EdgeValues {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// The current settings, laid out like a preset record of the model configuration file
// (offsets are from the start of the block).
struct DevModeSettingsRecord {
  int16_t PresetId;
  int16_t QualityPosition;
  int16_t QualityLabelSet;
  int16_t ModeId;
  uint32_t MediaId;  // also dmMediaType
  int16_t ModeVariant;  // 0 with dmColor 1; 1 and 2 with dmColor 2
  uint16_t RenderMethod;
  uint16_t ColorMode;  // 0..7; 1 = colour management by the host, 7 = monochrome photo
  uint16_t QualityLevel;
  uint16_t PresetCode;
  uint16_t Gamma;  // gamma * 100
  uint32_t CorrectionMode;
  uint32_t CorrectionLevel;
  uint32_t CorrectionStrength;  // 1..3
  uint32_t CorrectionOption;  // 0 off, 1 on, 2 on with the extra option
  uint16_t CorrectionFlags;
  uint16_t ColorModeOptions;
  // The twelve adjustment values are numbered 0-5, 9, 10, 6, 7, 8, 11 in offset order, with
  // TonePreset between 5 and 9.
  int16_t AdjustItem0;
  int16_t AdjustItem1;
  int16_t AdjustItem2;
  int16_t AdjustItem3;
  int16_t AdjustItem4;
  int16_t AdjustItem5;
  int16_t TonePreset;  // 0..3 fixed presets, 4 custom
  int16_t AdjustItem9;
  int16_t AdjustItem10;
  int16_t AdjustItem6;
  int16_t AdjustItem7;
  int16_t AdjustItem8;
  int16_t AdjustItem11;
  uint8_t reserved_70[10];
  int8_t MediaTuning1;
  int8_t MediaTuning2;
  uint8_t MediaTuning3;
  uint8_t MediaTuning4;
  uint8_t MediaTuning5;
  uint8_t MediaTuning6;
  uint8_t MediaTuning7;
  uint8_t MediaTuningFlags;  // bit 0 = media tuning confirmed
  uint8_t MediaTuning8;
  uint8_t MediaTuning9;
  uint8_t MediaTuning10;
  uint8_t reserved_91[5];
  uint32_t ReservedOptions;
  uint32_t ModeOptions;
  uint32_t ModeOptions2;
  uint32_t ModeOptions3;
  uint8_t reserved_112[12];
  int16_t PresetKind;  // 0..5; 2 = user preset named in PresetName, 5 = custom settings
  uint8_t reserved_126[2];
};

// User-preset name and colour-management settings; the same 280 bytes open a saved user
// setting of the user-settings file.
struct DevModeColorSettings {
  wchar_t PresetName[32];  // at most 16 characters are stored
  wchar_t SourceProfile1ShortName[16];  // 8.3 file names
  wchar_t SourceProfile2ShortName[16];
  wchar_t SourceProfile3ShortName[16];
  wchar_t PrinterProfile1ShortName[16];
  wchar_t PrinterProfile2ShortName[16];
  wchar_t PrinterProfile3ShortName[16];
  uint32_t Intent1;
  uint32_t Intent2;
  uint32_t Intent3;
  uint32_t ProfileFlags;
  uint32_t ColorManagementMode;  // 0..3
  uint8_t reserved_276[4];
};

struct DevModeWatermarkSettings {
  int16_t WatermarkIndex;
  int16_t WatermarkPosition;
  uint32_t WatermarkFlags;  // bit 1 on; bits 2, 4, 8 kind of the selected watermark
  EdgeValues WatermarkBox;  // 1/10000 of the page
  uint32_t WatermarkColor;  // bytes blue, green, red, 0
  int16_t WatermarkSize;  // percent
  int16_t WatermarkDensity;  // percent
  int16_t WatermarkAspect;  // width * 100 / height
  uint8_t reserved_34[6];
};

struct DriverDevMode {
  DEVMODEW Public;  // dmPaperLength/dmPaperWidth in 0.1 mm
  uint16_t PrivateVersion;
  uint16_t UiLanguage;
  char DriverName[kDriverNameBytes];
  char DllNameTag[kDriverNameBytes];
  char ReservedName[kDriverNameBytes];
  uint32_t DeviceOptions;
  uint32_t NoBidiFlags;
  uint8_t reserved_328[8];
  uint8_t ModelId[16];
  uint16_t PrintModeType;
  int16_t PaperSizeIndex;  // model papers 0..n-1, user papers n + user index
  int16_t PaperSourceIndex;
  uint16_t SelectedPresetWord;  // preset id in bits 0-14, a flag in bit 15
  DevModeSettingsRecord SettingsRecord;
  uint32_t LayoutOptions;
  uint32_t JobOptions;
  uint32_t PrePrintStatus;
  uint32_t PaperOptions;
  uint32_t CutOptions;
  uint16_t PaperFeedIndex;
  uint16_t PaperFeedAuto;
  DevModeColorSettings ColorSettingsBlock;
  uint16_t PaperPageOption;
  int16_t LfpIndex;
  uint8_t reserved_796[4];
  int32_t CustomPaperWidth;  // unit in CustomPaperUnit
  int32_t CustomPaperLength;
  uint16_t CustomPaperUnit;  // kCustomPaperUnitTenthMm or kCustomPaperUnitHundredthInch
  uint16_t OutputPaperSize;
  uint32_t MarginBalance;
  ResolutionPair DeviceResolution;
  uint32_t ImageWidth;  // device dots
  uint32_t ImageHeight;
  ResolutionPair RenderResolution;
  ExtentPair PaperDotExtent;  // device dots at DeviceResolution
  EdgeValues PaperMargins;  // device dots
  EdgeValues MarginAdditions;  // device dots
  ExtentPair OutputExtent;
  EdgeValues OutputMargins;
  int16_t PagesPerSheet;  // > 0 pages per sheet; -1..-4 poster layouts
  uint16_t Placement;
  uint32_t PosterPanelMask;
  uint32_t PosterOptions;
  uint32_t MarginOptions;
  uint32_t ScalingOptions;
  uint16_t ScalePercent;
  uint8_t reserved_926[2];
  uint32_t DuplexOptions;  // kDuplexOptionBindingMarginMetric selects the BindingMargin unit
  uint16_t BindingEdge;
  uint16_t BindingMargin;
  DevModeWatermarkSettings WatermarkSettings;
  uint32_t PersistentOptions;
  uint8_t reserved_980[66];
  uint16_t PrivateTrailer;
};

#pragma pack(pop)

static_assert(sizeof(DEVMODEW) == kDevModePublicSize);
static_assert(sizeof(ResolutionPair) == 8 && sizeof(ExtentPair) == 8 && sizeof(EdgeValues) == 16);
static_assert(sizeof(DevModeSettingsRecord) == 128);
static_assert(sizeof(DevModeColorSettings) == 280);
static_assert(sizeof(DevModeWatermarkSettings) == 40);
static_assert(sizeof(DriverDevMode) == kDevModeSize && kDevModeSize == 1048);
static_assert(alignof(DriverDevMode) == 1, "a caller's record may sit at any address");
static_assert(std::is_trivially_copyable_v<DriverDevMode>);
static_assert(std::is_standard_layout_v<DriverDevMode>);

#define KALIMU_DEVMODE_AT(field, offset) \
  static_assert(offsetof(DriverDevMode, field) == (offset), #field " moved")

// Public part, as DEVMODEW lays it out.
KALIMU_DEVMODE_AT(Public.dmDeviceName, 0);
KALIMU_DEVMODE_AT(Public.dmSpecVersion, 64);
KALIMU_DEVMODE_AT(Public.dmDriverVersion, 66);
KALIMU_DEVMODE_AT(Public.dmSize, 68);
KALIMU_DEVMODE_AT(Public.dmDriverExtra, 70);
KALIMU_DEVMODE_AT(Public.dmFields, 72);
KALIMU_DEVMODE_AT(Public.dmOrientation, 76);
KALIMU_DEVMODE_AT(Public.dmPaperSize, 78);
KALIMU_DEVMODE_AT(Public.dmPaperLength, 80);
KALIMU_DEVMODE_AT(Public.dmPaperWidth, 82);
KALIMU_DEVMODE_AT(Public.dmScale, 84);
KALIMU_DEVMODE_AT(Public.dmCopies, 86);
KALIMU_DEVMODE_AT(Public.dmDefaultSource, 88);
KALIMU_DEVMODE_AT(Public.dmPrintQuality, 90);
KALIMU_DEVMODE_AT(Public.dmColor, 92);
KALIMU_DEVMODE_AT(Public.dmDuplex, 94);
KALIMU_DEVMODE_AT(Public.dmYResolution, 96);
KALIMU_DEVMODE_AT(Public.dmTTOption, 98);
KALIMU_DEVMODE_AT(Public.dmCollate, 100);
KALIMU_DEVMODE_AT(Public.dmFormName, 102);
KALIMU_DEVMODE_AT(Public.dmLogPixels, 166);
KALIMU_DEVMODE_AT(Public.dmBitsPerPel, 168);
KALIMU_DEVMODE_AT(Public.dmPelsWidth, 172);
KALIMU_DEVMODE_AT(Public.dmPelsHeight, 176);
KALIMU_DEVMODE_AT(Public.dmDisplayFlags, 180);
KALIMU_DEVMODE_AT(Public.dmDisplayFrequency, 184);
KALIMU_DEVMODE_AT(Public.dmICMMethod, 188);
KALIMU_DEVMODE_AT(Public.dmICMIntent, 192);
KALIMU_DEVMODE_AT(Public.dmMediaType, 196);
KALIMU_DEVMODE_AT(Public.dmDitherType, 200);
KALIMU_DEVMODE_AT(Public.dmReserved1, 204);
KALIMU_DEVMODE_AT(Public.dmReserved2, 208);
KALIMU_DEVMODE_AT(Public.dmPanningWidth, 212);
KALIMU_DEVMODE_AT(Public.dmPanningHeight, 216);

// Private part.
KALIMU_DEVMODE_AT(PrivateVersion, 220);
KALIMU_DEVMODE_AT(UiLanguage, 222);
KALIMU_DEVMODE_AT(DriverName, 224);
KALIMU_DEVMODE_AT(DllNameTag, 256);
KALIMU_DEVMODE_AT(ReservedName, 288);
KALIMU_DEVMODE_AT(DeviceOptions, 320);
KALIMU_DEVMODE_AT(NoBidiFlags, 324);
KALIMU_DEVMODE_AT(reserved_328, 328);
KALIMU_DEVMODE_AT(ModelId, 336);
KALIMU_DEVMODE_AT(PrintModeType, 352);
KALIMU_DEVMODE_AT(PaperSizeIndex, 354);
KALIMU_DEVMODE_AT(PaperSourceIndex, 356);
KALIMU_DEVMODE_AT(SelectedPresetWord, 358);
KALIMU_DEVMODE_AT(SettingsRecord, 360);
KALIMU_DEVMODE_AT(LayoutOptions, 488);
KALIMU_DEVMODE_AT(JobOptions, 492);
KALIMU_DEVMODE_AT(PrePrintStatus, 496);
KALIMU_DEVMODE_AT(PaperOptions, 500);
KALIMU_DEVMODE_AT(CutOptions, 504);
KALIMU_DEVMODE_AT(PaperFeedIndex, 508);
KALIMU_DEVMODE_AT(PaperFeedAuto, 510);
KALIMU_DEVMODE_AT(ColorSettingsBlock, 512);
KALIMU_DEVMODE_AT(PaperPageOption, 792);
KALIMU_DEVMODE_AT(LfpIndex, 794);
KALIMU_DEVMODE_AT(reserved_796, 796);
KALIMU_DEVMODE_AT(CustomPaperWidth, 800);
KALIMU_DEVMODE_AT(CustomPaperLength, 804);
KALIMU_DEVMODE_AT(CustomPaperUnit, 808);
KALIMU_DEVMODE_AT(OutputPaperSize, 810);
KALIMU_DEVMODE_AT(MarginBalance, 812);
KALIMU_DEVMODE_AT(DeviceResolution, 816);
KALIMU_DEVMODE_AT(ImageWidth, 824);
KALIMU_DEVMODE_AT(ImageHeight, 828);
KALIMU_DEVMODE_AT(RenderResolution, 832);
KALIMU_DEVMODE_AT(PaperDotExtent, 840);
KALIMU_DEVMODE_AT(PaperMargins, 848);
KALIMU_DEVMODE_AT(MarginAdditions, 864);
KALIMU_DEVMODE_AT(OutputExtent, 880);
KALIMU_DEVMODE_AT(OutputMargins, 888);
KALIMU_DEVMODE_AT(PagesPerSheet, 904);
KALIMU_DEVMODE_AT(Placement, 906);
KALIMU_DEVMODE_AT(PosterPanelMask, 908);
KALIMU_DEVMODE_AT(PosterOptions, 912);
KALIMU_DEVMODE_AT(MarginOptions, 916);
KALIMU_DEVMODE_AT(ScalingOptions, 920);
KALIMU_DEVMODE_AT(ScalePercent, 924);
KALIMU_DEVMODE_AT(reserved_926, 926);
KALIMU_DEVMODE_AT(DuplexOptions, 928);
KALIMU_DEVMODE_AT(BindingEdge, 932);
KALIMU_DEVMODE_AT(BindingMargin, 934);
KALIMU_DEVMODE_AT(WatermarkSettings, 936);
KALIMU_DEVMODE_AT(PersistentOptions, 976);
KALIMU_DEVMODE_AT(reserved_980, 980);
KALIMU_DEVMODE_AT(PrivateTrailer, 1046);

// SettingsRecord, at the record offsets of its fields.
KALIMU_DEVMODE_AT(SettingsRecord.PresetId, 360);
KALIMU_DEVMODE_AT(SettingsRecord.QualityPosition, 362);
KALIMU_DEVMODE_AT(SettingsRecord.QualityLabelSet, 364);
KALIMU_DEVMODE_AT(SettingsRecord.ModeId, 366);
KALIMU_DEVMODE_AT(SettingsRecord.MediaId, 368);
KALIMU_DEVMODE_AT(SettingsRecord.ModeVariant, 372);
KALIMU_DEVMODE_AT(SettingsRecord.RenderMethod, 374);
KALIMU_DEVMODE_AT(SettingsRecord.ColorMode, 376);
KALIMU_DEVMODE_AT(SettingsRecord.QualityLevel, 378);
KALIMU_DEVMODE_AT(SettingsRecord.PresetCode, 380);
KALIMU_DEVMODE_AT(SettingsRecord.Gamma, 382);
KALIMU_DEVMODE_AT(SettingsRecord.CorrectionMode, 384);
KALIMU_DEVMODE_AT(SettingsRecord.CorrectionLevel, 388);
KALIMU_DEVMODE_AT(SettingsRecord.CorrectionStrength, 392);
KALIMU_DEVMODE_AT(SettingsRecord.CorrectionOption, 396);
KALIMU_DEVMODE_AT(SettingsRecord.CorrectionFlags, 400);
KALIMU_DEVMODE_AT(SettingsRecord.ColorModeOptions, 402);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem0, 404);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem1, 406);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem2, 408);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem3, 410);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem4, 412);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem5, 414);
KALIMU_DEVMODE_AT(SettingsRecord.TonePreset, 416);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem9, 418);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem10, 420);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem6, 422);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem7, 424);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem8, 426);
KALIMU_DEVMODE_AT(SettingsRecord.AdjustItem11, 428);
KALIMU_DEVMODE_AT(SettingsRecord.reserved_70, 430);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning1, 440);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning2, 441);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning3, 442);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning4, 443);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning5, 444);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning6, 445);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning7, 446);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuningFlags, 447);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning8, 448);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning9, 449);
KALIMU_DEVMODE_AT(SettingsRecord.MediaTuning10, 450);
KALIMU_DEVMODE_AT(SettingsRecord.reserved_91, 451);
KALIMU_DEVMODE_AT(SettingsRecord.ReservedOptions, 456);
KALIMU_DEVMODE_AT(SettingsRecord.ModeOptions, 460);
KALIMU_DEVMODE_AT(SettingsRecord.ModeOptions2, 464);
KALIMU_DEVMODE_AT(SettingsRecord.ModeOptions3, 468);
KALIMU_DEVMODE_AT(SettingsRecord.reserved_112, 472);
KALIMU_DEVMODE_AT(SettingsRecord.PresetKind, 484);
KALIMU_DEVMODE_AT(SettingsRecord.reserved_126, 486);

// ColorSettingsBlock.
KALIMU_DEVMODE_AT(ColorSettingsBlock.PresetName, 512);
KALIMU_DEVMODE_AT(ColorSettingsBlock.SourceProfile1ShortName, 576);
KALIMU_DEVMODE_AT(ColorSettingsBlock.SourceProfile2ShortName, 608);
KALIMU_DEVMODE_AT(ColorSettingsBlock.SourceProfile3ShortName, 640);
KALIMU_DEVMODE_AT(ColorSettingsBlock.PrinterProfile1ShortName, 672);
KALIMU_DEVMODE_AT(ColorSettingsBlock.PrinterProfile2ShortName, 704);
KALIMU_DEVMODE_AT(ColorSettingsBlock.PrinterProfile3ShortName, 736);
KALIMU_DEVMODE_AT(ColorSettingsBlock.Intent1, 768);
KALIMU_DEVMODE_AT(ColorSettingsBlock.Intent2, 772);
KALIMU_DEVMODE_AT(ColorSettingsBlock.Intent3, 776);
KALIMU_DEVMODE_AT(ColorSettingsBlock.ProfileFlags, 780);
KALIMU_DEVMODE_AT(ColorSettingsBlock.ColorManagementMode, 784);
KALIMU_DEVMODE_AT(ColorSettingsBlock.reserved_276, 788);

// WatermarkSettings.
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkIndex, 936);
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkPosition, 938);
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkFlags, 940);
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkBox, 944);
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkColor, 960);
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkSize, 964);
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkDensity, 966);
KALIMU_DEVMODE_AT(WatermarkSettings.WatermarkAspect, 968);
KALIMU_DEVMODE_AT(WatermarkSettings.reserved_34, 970);

#undef KALIMU_DEVMODE_AT

// Writes the six header values of every record the driver creates (public header and the
// private version and trailer words); nothing else changes.
void StampDevModeHeader(DriverDevMode& record);

// The one form in which a driver name is written into DriverName and compared with it: the
// ANSI name cut to at most 31 bytes without splitting a double-byte character of the given code
// page, zero-filled to 32 bytes. A null name gives an empty field.
void CutDriverName(const char* name, char (&field)[kDriverNameBytes], UINT code_page = CP_ACP);

// Whether the printer's stored record (available_bytes readable at record) may be taken whole:
// the four public header values are the driver's and its DriverName equals the cut form of
// driver_name (the printer's driver name), byte for byte, case-sensitive.
bool AcceptsStoredDevMode(const void* record, size_t available_bytes, const wchar_t* driver_name);

// Whether the private part of an incoming record (available_bytes readable at incoming) may be
// copied over own's: dmSpecVersion 0x401, driver version 0x500, and the same dmSize,
// dmDriverExtra, DriverName, PrivateVersion and PrivateTrailer as own.
bool AcceptsIncomingPrivatePart(const DriverDevMode& own, const void* incoming,
                                size_t available_bytes);

}  // namespace kalimu::settings
