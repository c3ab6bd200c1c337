// Name lists for the capabilities query and the pages, the output paper's margin record and
// the scale and area computations on it.
#include <cstring>
#include <vector>

#include "kalimu/platform/resource_library.h"
#include "kalimu/settings/job_settings.h"
#include "kalimu/settings/length_units.h"
#include "kalimu/settings/printer_reg_values.h"

namespace kalimu::settings {
namespace {

constexpr uint32_t kSourceHiddenWithoutHeadId = 0x8000;  // paper-source word 8
constexpr int32_t kSourceNameBase = 1500;
constexpr uint32_t kRollModels = 256 | 512;  // model header word 28
constexpr int32_t kRollSources[] = {530, 531};
constexpr uint32_t kModeOptionsOffered = 1024;  // model header word 24

// The UI resource library for one call: the caller's instance, else the library loaded as a
// data file and freed again when the call ends.
class ResourceInstance {
 public:
  ResourceInstance(HINSTANCE given, JobSettings& settings) : instance_(given) {
    if (instance_ != nullptr) return;
    char path[MAX_PATH] = {};
    if (settings.GetUiResourceModulePath(path, sizeof(path)) && loaded_.Load(path)) instance_ = loaded_.module();
  }
  HINSTANCE get() const { return instance_; }

 private:
  HINSTANCE instance_ = nullptr;
  platform::ResourceLibrary loaded_;
};

// A resource string into a UTF-16 slot of `chars` units, read through a narrow buffer of
// `narrow_bytes` (the slot keeps at most chars - 1 characters).
void LoadName(HINSTANCE instance, UINT id, wchar_t* slot, size_t chars, int narrow_bytes) {
  char narrow[kMediaNameChars] = {};
  LoadStringA(instance, id, narrow, narrow_bytes);
  std::memset(slot, 0, chars * sizeof(wchar_t));
  if (narrow[0] != '\0') MultiByteToWideChar(CP_ACP, 0, narrow, -1, slot, static_cast<int>(chars) - 1);
  slot[chars - 1] = L'\0';
}


}  // namespace

std::vector<uint16_t> JobSettings::ListedSources() {
  std::vector<uint16_t> listed;
  uint32_t count = 0;
  if (!GetPaperSourceCount(&count)) return listed;
  // Sources kept for printers that report their head identity are listed only then.
  const bool every_source = HasHeadIdFlags() != 0;
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    if (every_source || !TestPaperSourceFlags8(static_cast<int16_t>(index), kSourceHiddenWithoutHeadId)) {
      listed.push_back(index);
    }
  }
  return listed;
}

uint32_t JobSettings::GetSourceIds(int16_t* ids) {
  const std::vector<uint16_t> listed = ListedSources();
  for (size_t slot = 0; ids != nullptr && slot < listed.size(); ++slot) {
    int32_t id = 0;
    GetPaperSourceId(listed[slot], &id);
    ids[slot] = static_cast<int16_t>(id);
  }
  return static_cast<uint32_t>(listed.size());
}

uint32_t JobSettings::GetSourceNames(wchar_t (*names)[kSourceNameChars], HINSTANCE instance) {
  uint32_t count = 0;
  if (!GetPaperSourceCount(&count)) return 0;
  ResourceInstance resources(instance, *this);
  if (resources.get() == nullptr) return 0;
  const std::vector<uint16_t> listed = ListedSources();
  for (size_t slot = 0; names != nullptr && slot < listed.size(); ++slot) {
    int32_t name_code = 0;
    GetPaperSourceValue2(listed[slot], &name_code);
    LoadName(resources.get(), static_cast<UINT>(name_code + kSourceNameBase), names[slot], kSourceNameChars,
             static_cast<int>(kSourceNameChars));
  }
  return static_cast<uint32_t>(listed.size());
}

uint32_t JobSettings::GetMediaIds(int32_t* ids) {
  uint32_t count = 0;
  if (!GetMediaTypeCount(&count)) return 0;
  if (ids != nullptr) {
    for (uint32_t i = 0; i < count; ++i) GetMediaTypeId(static_cast<uint16_t>(i), &ids[i]);
  }
  return count;
}

uint32_t JobSettings::GetMediaNames(wchar_t (*names)[kMediaNameChars], HINSTANCE instance) {
  uint32_t count = 0;
  if (names == nullptr || !GetMediaTypeCount(&count)) return 0;
  ResourceInstance resources(instance, *this);
  if (resources.get() == nullptr) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    int32_t name_value = 0;
    GetMediaTypeValue16(static_cast<uint16_t>(i), &name_value);
    LoadName(resources.get(), static_cast<UINT>(GetMediaNameStringId(name_value)), names[i], kMediaNameChars,
             static_cast<int>(kMediaNameChars));
  }
  return count;
}

uint32_t JobSettings::GetCurrentPaperName(wchar_t* name, HINSTANCE instance) {
  uint32_t count = 0;
  if (!GetPaperSizeCount(&count)) return 0;
  ResourceInstance resources(instance, *this);
  if (resources.get() == nullptr) return 0;
  if (name == nullptr) return count;
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(GetPaperSize(), &kind);
  std::memset(name, 0, kPaperNameChars * sizeof(wchar_t));
  if (kind == kUserPaper) {
    char narrow[kPaperNameChars] = {};
    GetPaperName(index, narrow, sizeof(narrow));
    MultiByteToWideChar(CP_ACP, 0, narrow, -1, name, static_cast<int>(kPaperNameChars) - 1);
    name[kPaperNameChars - 1] = L'\0';
  } else {
    LoadName(resources.get(), static_cast<UINT>(GetPaperSize()), name, kPaperNameChars,
             static_cast<int>(kPaperNameChars));
  }
  return count;
}

int JobSettings::GetOutputPaperRecord(model::CapTable2Record* out, uint32_t size) {
  if (out == nullptr || size < sizeof(*out)) return 0;
  std::memset(out, 0, sizeof(*out));  // an output paper without margins reads as zero margins
  int kind = kNoPaper;
  const uint16_t index = FindPaperById(static_cast<int32_t>(GetOutputPaperSize()), &kind);
  if (kind == kNoPaper) return 0;
  int32_t number = 0;
  GetPaperFeedValue(&number, index, kind == kModelPaper ? 1 : 0);
  if (number >= 0) GetTable2Record(static_cast<uint16_t>(number), out, sizeof(*out));
  return 0;
}

uint32_t JobSettings::GetFitToPaperScale() {
  if (!TestScalingOptionBits(2)) return 0;
  ResolutionPair resolution{};
  ExtentPair paper{};
  EdgeValues margins{};
  EdgeValues additions{};
  ExtentPair output{};
  GetDeviceResolution(&resolution);
  GetPaperDotExtent(&paper);
  GetPaperMargins(&margins);
  GetMarginAdditions(&additions);
  GetOutputExtent(&output);
  // A record without resolution or output extent has no scale to fit: the scale stays.
  if (resolution.x == 0 || resolution.y == 0 || output.width == 0 || output.height == 0) return 0;
  const int64_t w = (int64_t{paper.width} + additions.left + additions.right - margins.right - margins.left) * 360 /
                    resolution.x;
  const int64_t h = (int64_t{paper.height} + additions.top + additions.bottom - margins.bottom - margins.top) * 360 /
                    resolution.y;
  const int64_t o1 = output.width;
  const int64_t o2 = output.height;
  const auto sx = static_cast<uint16_t>((w * 100 + o2 / 2) / o2);
  const auto sy = static_cast<uint16_t>((h * 100 + o1 / 2) / o1);
  SetScalePercent(sx < sy ? sx : sy);
  return GetScalePercent();
}

uint16_t JobSettings::FindPaperForCurrentSource(int* kind) {
  const int32_t paper_id = TestScalingOptionBits(1) ? static_cast<int32_t>(GetOutputPaperSize()) : GetPaperSize();
  const uint32_t mask = SourcePairMask(GetPaperSourceIndex()) * 3;  // both bits of the pair
  uint32_t count = 0;
  GetPaperSizeCount(&count);
  for (uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    if (IsPaperIdAt(paper_id, index) && mask != 0 && TestPaperSizeFlags16(static_cast<int16_t>(index), mask)) {
      if (kind != nullptr) *kind = kModelPaper;
      return index;
    }
  }
  uint32_t user_count = 0;
  GetPaperCount(&user_count);
  for (uint32_t i = 0; i < user_count; ++i) {
    const auto index = static_cast<uint16_t>(i);
    int32_t id = 0;
    if (GetPaperId(index, &id) && id == paper_id && mask != 0 && TestPaperFlags16(index, mask)) {
      if (kind != nullptr) *kind = kUserPaper;
      return index;
    }
  }
  if (kind != nullptr) *kind = kNoPaper;
  return 0xFFFF;
}

int32_t JobSettings::GetSourceLimitValue(uint16_t source_index) {
  if (TestModelHeaderFlags28(kRollModels) && TestPaperOptionBits(4)) {
    const int32_t source_id = GetDefaultSource();
    for (int32_t roll : kRollSources) {
      if (source_id != roll) continue;
      int32_t width = 0;
      GetLfpValue4(static_cast<uint16_t>(GetLfpIndex()), &width);
      return From360To01mm(width);
    }
  }
  // The source's own limit is kept in 1/360 inch: both answers are in 0.1 mm.
  int32_t value = 0;
  GetPaperSourceValue48(source_index, &value);
  return From360To01mm(value);
}

int JobSettings::ComputeOutputArea(int32_t paper_id, ExtentPair* out) {
  if (out == nullptr) return 0;
  *out = {};  // a paper no table holds has no area
  ResolutionPair resolution{};
  ExtentPair paper{};
  EdgeValues margins{};
  EdgeValues additions{};
  GetDeviceResolution(&resolution);
  GetPaperDotExtent(&paper);
  GetPaperMargins(&margins);
  GetMarginAdditions(&additions);
  const int64_t e = resolution.x == 0 ? 0
                                      : (int64_t{paper.width} + additions.left + additions.right - margins.right -
                                         margins.left) * 360 / resolution.x;
  const int64_t f = resolution.y == 0 ? 0
                                      : (int64_t{paper.height} + additions.top + additions.bottom - margins.bottom -
                                         margins.top) * 360 / resolution.y;
  if (paper_id == model::kCustomPaperId) {
    if (TestScalingOptionBits(1) && GetPaperSize() == model::kCustomPaperId) {
      int32_t number = 0;
      if (TestMarginOptionBits(2)) {
        GetPaperSizeValue30(0, &number);
      } else {
        GetPaperSizeValue28(0, &number);
      }
      model::CapTable2Record record{};
      if (number >= 0) GetTable2Record(static_cast<uint16_t>(number), &record, sizeof(record));
      out->width = static_cast<int32_t>(record.left + record.right + e);
      out->height = static_cast<int32_t>(record.bottom + record.top + f);
    } else {
      const int32_t divisor = (GetCustomPaperUnit() & 1) != 0 ? 254 : 100;
      out->width = static_cast<int32_t>(int64_t{GetCustomPaperWidth()} * 360 / divisor);
      out->height = static_cast<int32_t>(int64_t{GetCustomPaperLength()} * 360 / divisor);
    }
  } else {
    int kind = kNoPaper;
    const uint16_t index = FindPaperById(paper_id, &kind);
    ExtentPair extent{};
    if (kind == kModelPaper) {
      GetPaperSizeExtent(index, &extent, sizeof(extent));
      *out = extent;
    } else if (kind == kUserPaper) {
      GetPaperExtent(index, &extent, sizeof(extent));
      const int32_t divisor = TestPaperFlags4(index, 1) ? 254 : 100;
      out->width = static_cast<int32_t>(int64_t{extent.width} * 360 / divisor);
      out->height = static_cast<int32_t>(int64_t{extent.height} * 360 / divisor);
    }
  }
  if (TestPaperOptionBits(8)) {
    model::CapTable2Record record{};
    GetOutputPaperRecord(&record, sizeof(record));
    out->width += record.left + record.right;
  }
  return 1;
}

int32_t JobSettings::GetCurrentModeValue() {
  int32_t value = 0;
  GetPrintModeValue4(GetCurrentModeIndex(), &value);
  return value;
}

uint32_t JobSettings::GetModeOptionChoices(uint32_t request, uint32_t* choice, uint32_t* flags) {
  if (choice != nullptr) *choice = 3;
  if (!TestModelHeaderFlags24(kModeOptionsOffered)) return 0;
  const uint16_t current = GetCurrentModeIndex();
  uint32_t word = 0;
  switch (GetModeVariant()) {
    case 0: GetPrintModeValue160(FindModeIndexForVariant0(current), &word); break;
    case 2: GetPrintModeValue224(FindModeIndexForVariant2(current), &word); break;
    default: GetPrintModeValue96(FindModeIndexForVariant1(current), &word); break;
  }
  const uint32_t options = word;
  uint32_t offered = 0;
  for (uint32_t c = 0; c < 4; ++c) offered += (options >> c) & 1;
  const auto is_offered = [options](uint32_t c) { return (options & (1u << c)) != 0; };

  uint32_t chosen = 0;
  if (is_offered(1) && (options & 0x20) != 0) chosen = 1;
  if (is_offered(2) && (options & 0x40) != 0) chosen = 2;
  if (is_offered(3) && (options & 0x80) != 0) chosen = 3;
  // The highest offered choice among those asked for wins over the default.
  for (uint32_t c = 0; c < 4; ++c) {
    if ((request & (0x10u << c)) != 0 && is_offered(c)) chosen = c;
  }
  if (choice != nullptr) *choice = chosen;
  if (flags != nullptr) *flags = options & 0xFF;
  return offered;
}

}  // namespace kalimu::settings
