// Family 1: the paths of the engine and MW modules and the list of output-resource files.
#include <cstdint>
#include <cstring>

#include "kalimu/driver/struct_builder.h"
#include "kalimu/platform/text_helpers.h"

namespace kalimu::driver {
namespace {

// Byte index of the base name's character that numbers the files of the list.
constexpr size_t kNumberedCharacter = 5;
// Each part of a derived name is bounded to this many characters.
constexpr size_t kNamePartChars = 256;

// The parts of a path: [0, folder_end) drive and folder, [folder_end, dot) base name, [dot, end)
// extension. Separators are found by whole characters of the system code page, so a trail
// byte of the value of '\' or '.' splits nothing.
struct PathParts {
  size_t folder_end = 0;
  size_t dot = 0;
  size_t end = 0;
};

PathParts SplitPath(const char* path) {
  PathParts parts;
  size_t last_dot = SIZE_MAX;
  size_t i = 0;
  while (path[i] != '\0') {
    const char c = path[i];
    if (c == '\\' || c == '/' || (i == 1 && c == ':')) {
      parts.folder_end = i + 1;
      last_dot = SIZE_MAX;
    } else if (c == '.') {
      last_dot = i;
    }
    i += IsDBCSLeadByte(static_cast<BYTE>(c)) && path[i + 1] != '\0' ? 2 : 1;
  }
  parts.end = i;
  parts.dot = last_dot != SIZE_MAX ? last_dot : i;
  return parts;
}

void AppendPart(char* out, const char* begin, size_t length) {
  char part[kNamePartChars + 1] = {};
  platform::CopyStringNA(part, sizeof(part), begin, length);
  platform::AppendStringA(out, kRecordPathBytes, part);
}

}  // namespace

ModulePathsStruct* StructBuilder::NewModulePaths() {
  auto* record = static_cast<ModulePathsStruct*>(AllocBlock(sizeof(ModulePathsStruct)));
  if (record == nullptr) return nullptr;
  record->engine_path = static_cast<char*>(AllocBlock(kRecordPathBytes));
  record->mw_path = static_cast<char*>(AllocBlock(kRecordPathBytes));
  if (record->engine_path == nullptr || record->mw_path == nullptr) {
    FreeRecord(kFamilyModulePaths, record);
    return nullptr;
  }
  return record;
}

void StructBuilder::FillModulePaths(ModulePathsStruct* record, MelvoJobRecord* job) {
  settings::JobSettings& settings = *JobSettingsOf(*job);
  if (record->engine_path != nullptr) settings.GetHalftoneEngineModulePath(record->engine_path, kRecordPathBytes);
  if (record->mw_path != nullptr) settings.GetMwModulePath(record->mw_path, kRecordPathBytes);
  int count = 0;
  settings.GetOutputResourceCount(&count);
  // A negative count is refused: no list, and the count reads 0.
  record->output_resource_count = count > 0 ? count : 0;
  if (count > 0) FillOutputResourceList(record, settings);
  record->caller_value = job->caller_value;
  record->option_value = job->option_value;
}

void StructBuilder::FillOutputResourceList(ModulePathsStruct* record, settings::JobSettings& settings) {
  const auto count = static_cast<uint64_t>(record->output_resource_count);
  // The list's size is counted in 32 bits by its readers: a count whose list does not fit is
  // refused, as is a list that cannot be had. Without a list the count reads 0.
  char* list = nullptr;
  if (count * kOutputResourceEntryBytes <= UINT32_MAX) {
    list = static_cast<char*>(AllocBlock(static_cast<size_t>(count * kOutputResourceEntryBytes)));
  }
  if (list == nullptr) {
    record->output_resource_count = 0;
    return;
  }
  auto** entries = reinterpret_cast<char**>(list);
  char* names = list + count * sizeof(char*);
  for (uint64_t i = 0; i < count; ++i) entries[i] = names + i * kRecordPathBytes;
  record->output_resources = entries;

  char* first = entries[0];
  settings.GetOutputResourcePath(first, kRecordPathBytes);
  const PathParts parts = SplitPath(first);
  const size_t base_length = parts.dot - parts.folder_end;
  // The other files are numbered in the sixth character of the base name: a shorter name has
  // no number to change, and those entries stay empty.
  if (count < 2 || base_length <= kNumberedCharacter) return;
  for (uint64_t i = 1; i < count; ++i) {
    char base[kNamePartChars + 1] = {};
    platform::CopyStringNA(base, sizeof(base), first + parts.folder_end, base_length);
    base[kNumberedCharacter] = static_cast<char>(base[kNumberedCharacter] + i);
    char* entry = entries[i];
    AppendPart(entry, first, parts.folder_end);
    platform::AppendStringA(entry, kRecordPathBytes, base);
    AppendPart(entry, first + parts.dot, parts.end - parts.dot);
  }
}

void StructBuilder::FreeModulePaths(ModulePathsStruct* record) {
  FreeBlock(record->engine_path);
  FreeBlock(record->mw_path);
  FreeBlock(record->output_resources);
}

}  // namespace kalimu::driver
