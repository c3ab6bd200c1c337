// Paper-source compatibility: which sources the presets, papers, media and print modes allow,
// the flag words of the source records, feed kinds, partner sources and the check of a whole
// selection against one source.
#include "kalimu/settings/job_settings.h"

namespace kalimu::settings {
namespace {

// Capability word (+8) of a source record.
constexpr uint32_t kCapSecondFeed = 0x2000;
constexpr uint32_t kCapFrontFeed = 0x4000;
constexpr uint32_t kCapRollB = 0x40000;
constexpr uint32_t kCapCutter = 0x80000;
constexpr uint32_t kCapRollA = 0x400000;
constexpr uint32_t kCapRoll = kCapRollA | kCapRollB;
// Model header word 28.
constexpr uint32_t kModelHasSource4 = 0x80;
constexpr uint32_t kModelLargeFormat = 0x200;
// Flags of the records that allow a special feed.
constexpr uint32_t kModeSpecialFeed = 0x80000;    // print-mode word 20
constexpr uint32_t kPresetSpecialFeed = 0x20000;  // preset word 108 (user preset +388)

constexpr int16_t kPairedLow[][3] = {
    // code, answer with the large-format bit, answer without it
    {0, 10, 12},  {1, 41, 1},   {2, 4, 4},    {4, 2, 2},    {10, 0, 10},  {12, 12, 0}, {33, 34, 33},
    {34, 33, 34}, {35, 37, 37}, {36, 38, 38}, {37, 35, 35}, {38, 36, 36}, {41, 1, 41}, {42, 43, 43},
    {43, 42, 42}, {46, 47, 47}, {47, 46, 46}, {48, 49, 49}, {49, 48, 48}};

// 1 when read(&mask) succeeds and the mask has any of bits.
template <class Read>
int MaskHasBits(Read read, uint32_t bits) {
  uint32_t mask = 0;
  return read(&mask) && (mask & bits) != 0 ? 1 : 0;
}

}  // namespace

int JobSettings::LocateSource(int32_t id, uint16_t* index) {
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t source_id = 0;
    if (GetPaperSourceId(static_cast<uint16_t>(i), &source_id) && source_id == id) {
      *index = static_cast<uint16_t>(i);
      return 1;
    }
  }
  *index = 0;
  return 0;
}

int JobSettings::LocateSourceOrCurrent(int32_t id, uint16_t* index) {
  if (id == GetDefaultSource()) {
    uint32_t count = 0;
    GetPaperSourceCount(&count);
    const int32_t current = GetPaperSourceIndex();
    *index = static_cast<uint16_t>(current);
    return current >= 0 && static_cast<uint32_t>(current) < count ? 1 : 0;
  }
  return LocateSource(id, index);
}

uint32_t JobSettings::ReadSourceWord(uint16_t index, SourceWord word) {
  uint32_t value = 0;
  if (word == SourceWord::kCapabilityWord) {
    GetPaperSourceValue8(index, &value);
  } else {
    GetPaperSourceValue12(index, &value);
  }
  return value;
}

int JobSettings::TestSourceWordById(int32_t source_id, SourceWord word, uint32_t bit) {
  uint16_t index = 0;
  if (!LocateSourceOrCurrent(source_id, &index)) return 0;
  return (ReadSourceWord(index, word) & bit) != 0 ? 1 : 0;
}

int JobSettings::PresetAllowsSource(uint16_t preset_index, int32_t source_id) {
  return MaskHasBits([&](uint32_t* m) { return GetPresetValue96(preset_index, m); }, GetSourceMaskById(source_id));
}

int JobSettings::UserPresetAllowsSource(uint16_t user_preset_index, int32_t source_id) {
  return MaskHasBits([&](uint32_t* m) { return GetSettingsValue376(user_preset_index, m); },
                     GetSourceMaskById(source_id));
}

int JobSettings::MediaAllowsSource(uint16_t media_index, int32_t source_id) {
  return MaskHasBits([&](uint32_t* m) { return GetMediaTypeValue4(media_index, m); }, GetSourceMaskById(source_id));
}

int JobSettings::ModeAllowsSource(uint16_t mode_index, int32_t source_id) {
  return MaskHasBits([&](uint32_t* m) { return GetPrintModeValue16(mode_index, m); }, GetSourceMaskById(source_id));
}

int JobSettings::MediaAllowsSourceIndex(uint16_t media_index, uint16_t source_index) {
  return MaskHasBits([&](uint32_t* m) { return GetMediaTypeValue4(media_index, m); },
                     GetSourceMaskByIndex(source_index));
}

int JobSettings::ModeAllowsSourceIndex(uint16_t mode_index, uint16_t source_index) {
  return MaskHasBits([&](uint32_t* m) { return GetPrintModeValue16(mode_index, m); },
                     GetSourceMaskByIndex(source_index));
}

int JobSettings::CheckMediaModeForSource(uint16_t media_index, int32_t source_id) {
  if (!MediaAllowsSource(media_index, source_id)) return 0x32;
  if (!ModeAllowsSource(GetCurrentModeIndex(), source_id)) return 0x33;
  return 0;
}

int JobSettings::CheckPresetForSource(int32_t source_id) {
  if (PresetAllowsSource(FindPresetForCurrent(), source_id)) return 0;
  switch (source_id) {
    case 256:
    case 257:
      return 2;
    case 259:
      return 4;
    default:
      return 0;
  }
}

uint16_t JobSettings::FindSourceForMedia() {
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  const uint16_t media = GetCurrentMediaIndex();
  for (uint32_t i = 0; i < count; ++i) {
    int32_t id = 0;
    if (GetPaperSourceId(static_cast<uint16_t>(i), &id) && CheckMediaModeForSource(media, id) == 0) {
      return static_cast<uint16_t>(i);
    }
  }
  return 0;
}

void JobSettings::ClampSourceIndex(int change_type) {
  if (change_type == 15) {
    uint32_t count = 0;
    GetPaperSourceCount(&count);
    const int32_t current = GetPaperSourceIndex();
    if (current >= 0 && static_cast<uint32_t>(current) < count) return;
    SetPaperSourceIndex(FindSourceForMedia());
  } else if (change_type == 11) {
    uint16_t index = 0;
    if (LocateSource(GetDefaultSource(), &index)) {
      SetPaperSourceIndex(index);
      return;
    }
    int32_t id = 0;
    if (GetPaperSourceId(FindSourceForMedia(), &id)) SetDefaultSource(id);
  }
}

uint16_t JobSettings::GetDefaultSourceIndex() {
  uint16_t index = 0;
  LocateSource(GetDefaultSource(), &index);
  return index;
}

int32_t JobSettings::MapSourceAlias(int32_t source_id) {
  if (source_id == 7) return 259;
  if (source_id == 256) return 257;
  return source_id;
}

int JobSettings::HasSourceId4() {
  if (TestModelHeaderFlags28(kModelHasSource4)) return 1;
  uint16_t index = 0;
  return LocateSource(4, &index);
}

int JobSettings::IsSpecialFeedSourceById(int32_t source_id) {
  uint16_t index = 0;
  if (!LocateSource(source_id, &index)) return 0;
  const uint32_t feed = ReadSourceWord(index, SourceWord::kFeedWord);
  const uint32_t capability = ReadSourceWord(index, SourceWord::kCapabilityWord);
  return (feed & (0x10 | 4 | 0x40)) != 0 && (capability & kCapRoll) != 0 ? 1 : 0;
}

int JobSettings::SourceHasFeedFlags(uint16_t source_index) {
  return TestPaperSourceFlags8(static_cast<int16_t>(source_index), kCapRoll);
}

int JobSettings::IsSourceFlag4000With40000(int32_t source_id) {
  uint16_t index = 0;
  if (!LocateSource(source_id, &index)) return 0;
  const uint32_t capability = ReadSourceWord(index, SourceWord::kCapabilityWord);
  return (capability & kCapFrontFeed) && (capability & kCapRollB) ? 1 : 0;
}

int JobSettings::IsSourceFlag4000Without40000(int32_t source_id) {
  uint16_t index = 0;
  if (!LocateSource(source_id, &index)) return 0;
  const uint32_t capability = ReadSourceWord(index, SourceWord::kCapabilityWord);
  return (capability & kCapFrontFeed) && !(capability & kCapRollB) ? 1 : 0;
}

int JobSettings::IsFeedTypeSourceById(int32_t source_id) {
  uint16_t index = 0;
  if (!LocateSource(source_id, &index)) return 0;
  const uint32_t wanted = TestModelHeaderFlags28(kModelLargeFormat) ? kCapRoll : kCapRollA;
  return (ReadSourceWord(index, SourceWord::kCapabilityWord) & wanted) != 0 ? 1 : 0;
}

int JobSettings::IsSourceValueMatch(uint16_t source_index) {
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  const int32_t current = GetPaperSourceIndex();
  if (source_index >= count || current < 0 || static_cast<uint32_t>(current) >= count) return 0;
  return ReadSourceWord(source_index, SourceWord::kCapabilityWord) ==
                 ReadSourceWord(static_cast<uint16_t>(current), SourceWord::kCapabilityWord)
             ? 1
             : 0;
}

int JobSettings::SourceAllowsCustomSize(int32_t source_id) {
  // An id no source record has is refused before the current source stands in for it.
  uint16_t source = 0;
  if (!LocateSource(source_id, &source) || !LocateSourceOrCurrent(source_id, &source)) return 0;
  int kind = kNoPaper;
  const uint16_t custom = FindPaperById(model::kCustomPaperId, &kind);
  if (kind != kModelPaper) return 1;  // no custom-size paper: nothing restricts the source
  uint32_t mask = 0;
  return GetPaperSizeValue16(custom, &mask) && (mask & GetSourceMaskByIndex(source)) != 0 ? 1 : 0;
}

int JobSettings::UserPresetAllowsSpecialFeed(uint16_t user_preset_index) {
  if (!IsSpecialFeedSourceById(GetDefaultSource())) return 0;
  return TestSettingsFlags388(user_preset_index, kPresetSpecialFeed);
}

int JobSettings::ModeAllowsSpecialFeed(uint16_t mode_index) {
  return IsSpecialFeedSourceById(GetDefaultSource()) &&
                 TestPrintModeFlags20(static_cast<int16_t>(mode_index), kModeSpecialFeed)
             ? 1
             : 0;
}

uint32_t JobSettings::GetSourceMaskBit(uint16_t source_index) {
  const uint32_t pair = SourcePairMask(source_index);
  return TestPaperSourceFlags8(static_cast<int16_t>(source_index), kCapSecondFeed) ? pair : pair << 1;
}

uint32_t JobSettings::GetSourceFeedFlags(uint16_t source_index) {
  const uint32_t c = ReadSourceWord(source_index, SourceWord::kCapabilityWord);
  const uint32_t f = ReadSourceWord(source_index, SourceWord::kFeedWord);
  const bool large_format = TestModelHeaderFlags28(kModelLargeFormat) != 0;
  uint32_t d = 0;
  if (f & 0x10) d = (c & kCapRollA) ? 2 : (c & kCapRollB) ? 0x100 : 1;
  if (c & kCapFrontFeed) {
    if (!large_format) {
      d |= (c & kCapRollB) ? 8 : 4;
    } else {
      if (f & 8) d |= (c & kCapRollB) ? 8 : 4;
      if (c & kCapCutter) d |= (c & kCapRollB) ? 0x400 : 0x200;
    }
  }
  if (f & 4) d |= (c & kCapRollA) ? 0x80 : (c & kCapRollB) ? 0x800 : 0x40;
  if (f & 1) d |= (c & kCapRollB) ? 0x20 : 0x10;
  if (f & 2) d |= 0x1000;
  if (f & 0x80) d |= (c & kCapRollA) ? 0x20000 : 0x10000;
  return d == 0 ? 1 : d;
}

int JobSettings::AreSourcesCompatible(uint16_t a, uint16_t b) {
  const uint32_t fa = ReadSourceWord(a, SourceWord::kFeedWord);
  const uint32_t fb = ReadSourceWord(b, SourceWord::kFeedWord);
  const uint32_t ca = ReadSourceWord(a, SourceWord::kCapabilityWord);
  const uint32_t cb = ReadSourceWord(b, SourceWord::kCapabilityWord);
  const auto both = [](uint32_t x, uint32_t y, uint32_t bit) { return (x & bit) != 0 && (y & bit) != 0; };
  if (both(fa, fb, 0x80)) return 1;
  if (both(fa, fb, 0x40)) return 1;
  if (both(fa, fb, 0x10)) return (fa & 0x40) == 0 && (fb & 0x40) == 0 ? 1 : 0;
  if (both(ca, cb, kCapFrontFeed)) {
    if (!TestModelHeaderFlags28(kModelLargeFormat)) return 1;
    return both(ca, cb, kCapCutter) || both(fa, fb, 8) ? 1 : 0;
  }
  return both(fa, fb, 1) || both(fa, fb, 4) || both(fa, fb, 2) ? 1 : 0;
}

uint16_t JobSettings::GetSourceFeedClass(uint16_t source_index) {
  uint32_t count = 0;
  GetPaperSourceCount(&count);
  if (source_index >= count) return source_index;
  const bool roll = SourceHasFeedFlags(source_index) != 0;
  for (uint32_t j = 0; j < count; ++j) {
    const auto other = static_cast<uint16_t>(j);
    if (!AreSourcesCompatible(source_index, other)) continue;
    if ((SourceHasFeedFlags(other) != 0) != roll) return other;
  }
  return source_index;
}

int16_t JobSettings::MapPairedMediaCode(int16_t code) {
  if (code < 0 || code >= 50) return code;
  const bool large_format = TestModelHeaderFlags28(kModelLargeFormat) != 0;
  for (const auto& row : kPairedLow) {
    if (row[0] == code) return large_format ? row[1] : row[2];
  }
  return code;
}

uint32_t JobSettings::CheckSelection(SelectionSnapshot* snapshot) {
  if (snapshot == nullptr) return 0;
  SelectionSnapshot& s = *snapshot;
  const int32_t kind = GetPresetKind();
  bool model_preset = kind != 2 && kind != 3 && kind != 5;
  if (!(s.keep & kKeepPreset) && model_preset) {
    uint16_t found = 0;
    if (FindPresetInGroup(kind, &found) == 1) {
      s.preset_index = found;
    } else {
      model_preset = false;
    }
  }
  const bool user_paper = IsUserPaperSelected() != 0;
  if (!(s.keep & kKeepPaper)) s.paper_index = static_cast<uint16_t>(GetPaperSizeIndex());
  if (!(s.keep & kKeepUserPaper) && user_paper) s.user_paper_index = GetUserPaperIndex();
  if (!(s.keep & kKeepMedia)) s.media_index = GetCurrentMediaIndex();
  if (!(s.keep & kKeepMode)) s.mode_index = GetCurrentModeIndex();
  if (!(s.keep & kKeepSource)) s.source_index = static_cast<uint16_t>(GetPaperSourceIndex());

  const uint32_t mask = GetSourceMaskByIndex(s.source_index);
  // A record that cannot be read allows no source.
  const auto lacks = [mask](auto read) { return !MaskHasBits(read, mask); };
  uint32_t result = 0;
  if (model_preset && lacks([&](uint32_t* m) { return GetPresetValue96(s.preset_index, m); })) {
    result |= kConflictPreset;
  }
  if ((s.keep & kCheckUserPreset) && lacks([&](uint32_t* m) { return GetSettingsValue376(s.user_preset_index, m); })) {
    result |= kConflictUserPreset;
  }
  if (!user_paper && lacks([&](uint32_t* m) { return GetPaperSizeValue16(s.paper_index, m); })) {
    result |= kConflictPaper;
  }
  if (((s.keep & kKeepUserPaper) || user_paper) &&
      lacks([&](uint32_t* m) { return GetPaperValue16(s.user_paper_index, m); })) {
    result |= kConflictUserPaper;
  }
  if (lacks([&](uint32_t* m) { return GetMediaTypeValue4(s.media_index, m); })) result |= kConflictMedia;
  if (lacks([&](uint32_t* m) { return GetPrintModeValue16(s.mode_index, m); })) result |= kConflictMode;
  return result;
}

}  // namespace kalimu::settings
