// Paper lists per source, lookups from a paper id to its record, the custom paper size and its
// limits, and the locale's default paper.
#include <cstring>
#include <vector>

#include "kalimu/platform/module_handle.h"
#include "kalimu/platform/unique_handle.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/length_units.h"

namespace kalimu::settings {
namespace {

constexpr int32_t kFirstUserPaperId = 768;
constexpr uint32_t kSecondFeed = 0x2000;  // source capability: the pair's first bit only
constexpr int16_t kMetricPaper = 1;       // paper kind bits (+4)
constexpr int16_t kInchPaper = 2;
constexpr int16_t kUnitMillimetre = 1;  // user paper +4: extent in 0.1 mm
constexpr uint32_t kPaperFieldBits = DM_PAPERLENGTH | DM_PAPERWIDTH;
constexpr size_t kResourceNameChars = 260;

// The user's measurement system: "1" U.S., "0" metric, anything else unknown.
int ReadMeasureSystem() {
  char answer[3] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, answer, sizeof(answer));
  if (std::strcmp(answer, "1") == 0) return 1;
  if (std::strcmp(answer, "0") == 0) return 0;
  return -1;
}

// 1 and the first index below count that matches; 0 and index 0 when none does.
template <class Matches>
int FirstIndexWhere(uint32_t count, uint16_t* out, Matches matches) {
  for (uint32_t i = 0; i < count; ++i) {
    if (matches(static_cast<uint16_t>(i))) {
      *out = static_cast<uint16_t>(i);
      return 1;
    }
  }
  *out = 0;
  return 0;
}

}  // namespace

uint16_t JobSettings::FindPaperIndexById(int32_t paper_id) {
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(paper_id, &kind);
  if (kind == kModelPaper) return index;
  if (kind != kUserPaper) return 0;
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  return static_cast<uint16_t>(count + index);
}

int JobSettings::GetCurrentPaperIndex(uint16_t* out) {
  const int32_t id = TestScalingOptionBits(2 | 8) ? static_cast<int32_t>(GetOutputPaperSize())
                                                  : GetPaperIdByIndex(static_cast<uint16_t>(GetPaperSizeIndex()));
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(id, &kind);
  if (id < kFirstUserPaperId) {
    *out = kind == kModelPaper ? index : 0;
    return 1;
  }
  *out = kind == kUserPaper ? index : 0;
  return kind == kUserPaper ? 0 : 1;
}

int JobSettings::OutputPaperHasFlags(uint32_t mask) {
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(static_cast<int32_t>(GetOutputPaperSize()), &kind);
  if (kind == kModelPaper) return TestPaperSizeFlags20(static_cast<int16_t>(index), mask);
  if (kind == kUserPaper) return TestPaperFlags20(index, mask);
  return 0;
}

int JobSettings::GetOutputPaperValue46(uint8_t* out) {
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(static_cast<int32_t>(GetOutputPaperSize()), &kind);
  uint32_t value = 0;
  const int found = kind == kModelPaper  ? GetPaperSizeValue46(index, &value)
                    : kind == kUserPaper ? GetPaperValue46(index, &value)
                                         : 0;
  if (found && out != nullptr) *out = static_cast<uint8_t>(value);
  return found;
}

uint32_t JobSettings::CurrentSourceBitsForKind(int mask_kind) {
  const uint32_t pair = GetSourceMask();
  if (mask_kind == 1) return pair << 1;
  if (mask_kind == 2) return pair;
  return pair | (pair << 1);
}

int JobSettings::FindModelPaperForSource(int mask_kind, int32_t paper_id, uint16_t* out) {
  const uint32_t bits = CurrentSourceBitsForKind(mask_kind);
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  return FirstIndexWhere(count, out, [&](uint16_t index) {
    return IsPaperIdAt(paper_id, index) && TestPaperSizeFlags16(static_cast<int16_t>(index), bits);
  });
}

int JobSettings::FindUserPaperForSource(int mask_kind, int32_t paper_id, uint16_t* out) {
  const uint32_t bits = CurrentSourceBitsForKind(mask_kind);
  uint32_t count = 0;
  GetPaperCount(&count);
  return FirstIndexWhere(count, out, [&](uint16_t index) {
    int32_t id = 0;
    return GetPaperId(index, &id) && id == paper_id && TestPaperFlags16(index, bits);
  });
}

uint32_t JobSettings::GetPaperIdsForSource(int16_t* ids) {
  const uint32_t mask = GetSourceMask();
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  uint32_t listed = 0;
  for (uint32_t i = 0; i < count; ++i) {
    int32_t id = 0;
    if (!TestPaperSizeFlags16(static_cast<int16_t>(i), mask) || !GetPaperSizeId(static_cast<uint16_t>(i), &id))
      continue;
    if (ids != nullptr) ids[listed] = static_cast<int16_t>(id);
    ++listed;
  }
  return listed;
}

std::vector<JobSettings::ListedPaper> JobSettings::PapersForDefaultSource() {
  std::vector<ListedPaper> papers;
  uint32_t sources = 0;
  if (!GetPaperSourceCount(&sources) || sources == 0) return papers;
  const uint16_t source = GetDefaultSourceIndex();
  const uint32_t pair = SourcePairMask(source);
  const uint32_t mask = TestPaperSourceFlags8(static_cast<int16_t>(source), kSecondFeed) ? pair : pair | (pair << 1);
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    if (TestPaperSizeFlags16(static_cast<int16_t>(i), mask)) papers.push_back({kModelPaper, static_cast<uint16_t>(i)});
  }
  if (SourceAllowsCustomSize(GetDefaultSource())) {
    uint32_t users = 0;
    GetPaperCount(&users);
    for (uint32_t j = 0; j < users; ++j) {
      if (TestPaperFlags16(static_cast<uint16_t>(j), mask)) papers.push_back({kUserPaper, static_cast<uint16_t>(j)});
    }
  }
  return papers;
}

uint32_t JobSettings::GetPaperIdsForDefaultSource(int16_t* ids) {
  const std::vector<ListedPaper> papers = PapersForDefaultSource();
  if (ids != nullptr) {
    for (size_t k = 0; k < papers.size(); ++k) {
      int32_t id = 0;
      if (papers[k].kind == kModelPaper) {
        GetPaperSizeId(papers[k].index, &id);
      } else {
        GetPaperId(papers[k].index, &id);
      }
      ids[k] = static_cast<int16_t>(id);
    }
  }
  return static_cast<uint32_t>(papers.size());
}

uint32_t JobSettings::GetPaperNamesForDefaultSource(wchar_t (*names)[kPaperNameChars], HINSTANCE module) {
  platform::UniqueModule loaded;
  if (module == nullptr) {
    char path[MAX_PATH] = {};
    if (!GetUiResourceModulePath(path, sizeof(path))) return 0;
    loaded.Reset(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!loaded.valid()) return 0;
    module = loaded.get();
  }
  const std::vector<ListedPaper> papers = PapersForDefaultSource();
  if (names == nullptr) return static_cast<uint32_t>(papers.size());
  for (size_t k = 0; k < papers.size(); ++k) {
    wchar_t* slot = names[k];
    std::memset(slot, 0, sizeof(names[k]));
    if (papers[k].kind == kModelPaper) {
      int32_t id = 0;
      GetPaperSizeId(papers[k].index, &id);
      wchar_t text[kResourceNameChars] = {};
      LoadStringW(module, static_cast<UINT>(static_cast<uint16_t>(id)), text, kResourceNameChars);
      wcsncpy(slot, text, kPaperNameChars - 1);
    } else {
      char narrow[33] = {};
      GetPaperName(papers[k].index, narrow, sizeof(narrow));
      MultiByteToWideChar(CP_ACP, 0, narrow, -1, slot, kPaperNameChars);
      slot[kPaperNameChars - 1] = L'\0';
    }
  }
  return static_cast<uint32_t>(papers.size());
}

uint32_t JobSettings::GetPaperSizesForDefaultSource(ExtentPair* sizes) {
  const std::vector<ListedPaper> papers = PapersForDefaultSource();
  if (sizes == nullptr) return static_cast<uint32_t>(papers.size());
  for (size_t k = 0; k < papers.size(); ++k) {
    ExtentPair extent{};
    if (papers[k].kind == kModelPaper) {
      int32_t id = 0;
      GetPaperSizeId(papers[k].index, &id);
      if (id == model::kCustomPaperId) {
        GetCustomPaperSize(&extent);
        if (GetCustomPaperUnit() != 1) {
          extent = {FromInch100To01mm(extent.width), FromInch100To01mm(extent.height)};
        }
      } else {
        GetPaperSizeExtent(papers[k].index, &extent, sizeof(extent));
        extent = {From360To01mm(extent.width), From360To01mm(extent.height)};
      }
    } else {
      GetPaperExtent(papers[k].index, &extent, sizeof(extent));
      if (!TestPaperFlags4(papers[k].index, kUnitMillimetre)) {
        extent = {FromInch100To01mm(extent.width), FromInch100To01mm(extent.height)};
      }
    }
    sizes[k] = extent;
  }
  return static_cast<uint32_t>(papers.size());
}

uint32_t JobSettings::GetPaperSourceMask() {
  uint32_t count = 0;
  uint32_t users = 0;
  GetPaperSizeCount(&count);
  GetPaperCount(&users);
  const int32_t index = GetPaperSizeIndex();
  uint32_t mask = 0;
  if (index >= 0 && static_cast<uint32_t>(index) < count) {
    GetPaperSizeValue16(static_cast<uint16_t>(index), &mask);
  } else if (index >= 0 && static_cast<uint32_t>(index) < count + users) {
    GetPaperValue16(static_cast<uint16_t>(index - count), &mask);
  } else {
    int kind = kNoPaper;
    const uint16_t custom = FindPaperById(model::kCustomPaperId, &kind);
    if (kind == kModelPaper) GetPaperSizeValue16(custom, &mask);
  }
  return mask;
}

uint16_t JobSettings::FindFirstPaperForSourceMask(uint32_t mask) {
  const int16_t wanted = IsMetricLocale() ? kMetricPaper : kInchPaper;
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<int16_t>(i);
    if (TestPaperSizeFlags16(index, mask) && TestPaperSizeFlags4(index, static_cast<uint32_t>(wanted))) {
      return static_cast<uint16_t>(i);
    }
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (TestPaperSizeFlags16(static_cast<int16_t>(i), mask)) return static_cast<uint16_t>(i);
  }
  return 0;
}

void JobSettings::GetPaperSize01mm(ExtentPair* out) {
  ExtentPair size{};
  GetPaperSize360(GetPaperSize(), &size, 0);
  *out = {From360To01mm(size.width), From360To01mm(size.height)};
}

int JobSettings::IsPortraitPaper() {
  const int32_t length = GetPaperLength();
  const int32_t width = GetPaperWidth();
  if (length > 0 && width > 0) return length >= width ? 1 : 0;
  ExtentPair size{};
  GetPaperSize01mm(&size);
  return size.height >= size.width ? 1 : 0;
}

int JobSettings::IsNearlySquarePaper() const {
  ExtentPair extent{};
  GetPaperDotExtent(&extent);
  const int64_t shorter = extent.width < extent.height ? extent.width : extent.height;
  const int64_t longer = extent.width < extent.height ? extent.height : extent.width;
  return shorter < longer && longer < 2 * shorter ? 1 : 0;
}

int JobSettings::IsPaperWiderThanLong() const {
  ExtentPair extent{};
  GetPaperDotExtent(&extent);
  if (GetOrientation() == DMORIENT_LANDSCAPE) return extent.width < extent.height ? 1 : 0;
  return extent.height < extent.width ? 1 : 0;
}

void JobSettings::ChangeCustomPaperUnit(int32_t unit) {
  ConvertCustomSize(unit);
  SetCustomPaperUnit(static_cast<uint32_t>(unit));
}

void JobSettings::ConvertCustomSize(int32_t unit) {
  if (static_cast<uint32_t>(unit) == GetCustomPaperUnit()) return;
  const auto convert = [unit](int32_t v) { return unit == 1 ? FromInch100To01mm(v) : From01mmToInch100(v); };
  SetCustomPaperWidth(convert(GetCustomPaperWidth()));
  SetCustomPaperLength(convert(GetCustomPaperLength()));
}

void JobSettings::GetCustomSizeLimits(int32_t* min_width, int32_t* max_width, int32_t* min_length, int32_t* max_length,
                                      int32_t source_id) {
  ExtentPair maximum{};
  ExtentPair minimum{};
  uint16_t source = 0;
  if (LocateSource(source_id, &source)) {
    GetPaperSourceValue32(source, &maximum, sizeof(maximum));
    GetPaperSourceValue40(source, &minimum, sizeof(minimum));
    if (GetCustomPaperUnit() != 1) {
      maximum = {From01mmToInch100(maximum.width), From01mmToInch100(maximum.height)};
      minimum = {From01mmToInch100(minimum.width), From01mmToInch100(minimum.height)};
    }
  }
  *min_width = minimum.width;
  *max_width = maximum.width;
  *min_length = minimum.height;
  *max_length = maximum.height;
}

void JobSettings::ClampCustomSizeToSource() {
  int32_t min_width = 0;
  int32_t max_width = 0;
  int32_t min_length = 0;
  int32_t max_length = 0;
  GetCustomSizeLimitsForDefaultSource(&min_width, &max_width, &min_length, &max_length);
  ExtentPair size{};
  if (IsUserPaperSelected()) {
    GetPaperExtent(GetUserPaperIndex(), &size, sizeof(size));
  } else {
    if (GetPaperIdByIndex(static_cast<uint16_t>(GetPaperSizeIndex())) != model::kCustomPaperId) return;
    GetCustomPaperSize(&size);
  }
  if (min_length <= size.height && min_width <= size.width && size.height <= max_length && size.width <= max_width) {
    return;
  }
  SelectLocaleDefaultPaper();
}

void JobSettings::SelectModelPaper(uint16_t index) {
  int32_t id = 0;
  ExtentPair extent{};
  GetPaperSizeId(index, &id);
  GetPaperSizeExtent(index, &extent, sizeof(extent));
  SetOutputPaperSize(static_cast<uint32_t>(id));
  SetPaperSize(id);
  const int32_t width = From360To01mm(extent.width);
  const int32_t length = From360To01mm(extent.height);
  if (width <= 0x7FFF && length <= 0x7FFF) {
    SetPaperLength(length);
    SetPaperWidth(width);
    SetFields(GetFields() | kPaperFieldBits);
  } else {
    // The public fields hold 16 bits: a longer paper is known by its id alone.
    SetPaperLength(0);
    SetPaperWidth(0);
    SetFields(GetFields() & ~kPaperFieldBits);
  }
  SetPaperSizeIndex(index);
}

void JobSettings::SelectLocaleDefaultPaper() {
  const uint32_t mask = GetSourceMask();
  const int measure = ReadMeasureSystem();
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  const auto first = [&](uint32_t kind_bits, uint16_t* out) {
    for (uint32_t i = 0; i < count; ++i) {
      const auto index = static_cast<int16_t>(i);
      if (TestPaperSizeFlags16(index, mask) && (kind_bits == 0 || TestPaperSizeFlags4(index, kind_bits))) {
        *out = static_cast<uint16_t>(i);
        return true;
      }
    }
    return false;
  };
  uint16_t index = 0;
  if (measure == 1) {
    if (!first(kInchPaper, &index) && !first(0, &index)) return;
  } else if (measure == 0) {
    if (!first(kMetricPaper, &index) && !first(0, &index)) return;
  } else {
    return;  // an unknown measurement system changes nothing
  }
  SelectModelPaper(index);
  ExtentPair extent{};
  GetPaperSizeExtent(index, &extent, sizeof(extent));
  int32_t width = From360To01mm(extent.width);
  int32_t length = From360To01mm(extent.height);
  if (measure == 1) {
    width = From01mmToInch100(width);
    length = From01mmToInch100(length);
  }
  SetCustomPaperWidth(width);
  SetCustomPaperLength(length);
  SetCustomPaperUnit(measure == 1 ? 2u : 1u);
}

void JobSettings::FindLocalePaperIndex() {
  const int measure = ReadMeasureSystem();
  if (measure < 0) return;
  const uint32_t wanted = measure == 1 ? kInchPaper : kMetricPaper;
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    int32_t id = 0;
    if (TestPaperSizeFlags4(static_cast<int16_t>(i), wanted) && GetPaperSizeId(static_cast<uint16_t>(i), &id)) {
      SetOutputPaperSize(static_cast<uint32_t>(id));
      return;
    }
  }
}

void JobSettings::GetCustomPaperSize360() {
  if (GetPaperSize() != model::kCustomPaperId && GetOutputPaperSize() != static_cast<uint32_t>(model::kCustomPaperId)) {
    return;
  }
  int kind = kNoPaper;
  const uint16_t custom = FindPaperById(model::kCustomPaperId, &kind);
  if (kind != kModelPaper) return;
  ExtentPair size{};
  GetCustomPaperSize(&size);
  if (GetCustomPaperUnit() == 1) {
    size = {From01mmTo360(size.width), From01mmTo360(size.height)};
  } else {
    size = {FromInch100To360(size.width), FromInch100To360(size.height)};
  }
  SetPaperSizeExtent(custom, &size, sizeof(size));
}

int JobSettings::ResetUserPapers() {
  storage::UserPaperEntry entry{};
  int kind = kNoPaper;
  const uint16_t custom = FindPaperById(model::kCustomPaperId, &kind);
  if (kind == kModelPaper) GetPaperSizeRecord(custom, &entry.paper, sizeof(entry.paper));
  entry.slot = -1;
  entry.state = 3;
  uint32_t capacity = 0;
  GetUserPaperCapacity(&capacity);
  // The entries are written through the in-use view: open every slot while they are written.
  SetPaperCount(&capacity);
  for (uint32_t j = 0; j < capacity; ++j) {
    entry.paper.id = static_cast<int16_t>(kFirstUserPaperId + j);
    SetPaperEntry(static_cast<uint16_t>(j), &entry, sizeof(entry));
  }
  const uint32_t none = 0;
  SetPaperCount(&none);
  return SaveUserStore();
}

int16_t JobSettings::GetPosterValue() { return GetPagesPerSheet() < 0 ? GetPosterPaperValue() : -3; }

int16_t JobSettings::GetPosterPaperValue() {
  const int64_t length = (int64_t{GetPaperLength()} * 360 + 127) / 254;
  const int64_t width = (int64_t{GetPaperWidth()} * 360 + 127) / 254;
  const auto both_within = [&](int64_t limit) { return length <= limit && width <= limit; };
  if (both_within(0x1FFFFFFF)) return -3;
  if (both_within(0x2AAAAAAA)) return -2;
  if (both_within(0x3FFFFFFF)) return -1;
  return 1;
}

}  // namespace kalimu::settings
