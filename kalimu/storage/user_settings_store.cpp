// User-settings file: loading, defaults, saving and the paper-entry deletion.
#include "kalimu/storage/user_settings_store.h"

#include <cstring>
#include <span>
#include <vector>

#include "kalimu/platform/driver_file.h"
#include "kalimu/storage/ucf_image.h"

namespace kalimu::storage {

void UserSettingsStore::Forget() {
  settings_.Reset();
  papers_.Reset();
  version_word_ = 0;
  settings_in_use_ = papers_in_use_ = 0;
  settings_capacity_ = paper_capacity_ = 0;
}

int UserSettingsStore::EnsureLoaded() { return version_word_ != 0 ? 1 : Load(); }

int UserSettingsStore::Reload() {
  Forget();
  return Load();
}

int UserSettingsStore::Load() {
  uint32_t settings_capacity = 0, paper_capacity = 0;
  GetUserSettingsCapacity(&settings_capacity);
  GetUserPaperCapacity(&paper_capacity);
  if (settings_capacity == 0 && paper_capacity == 0) return 1;
  Forget();
  settings_capacity_ = static_cast<uint16_t>(settings_capacity);
  paper_capacity_ = static_cast<uint16_t>(paper_capacity);
  if ((settings_capacity_ != 0 && !settings_.Allocate(size_t{settings_capacity_} * sizeof(UserSettingsEntry))) ||
      (paper_capacity_ != 0 && !papers_.Allocate(size_t{paper_capacity_} * sizeof(UserPaperEntry)))) {
    Forget();
    return 1;
  }
  GetUcfFilePath(path_, MAX_PATH);

  platform::DriverFile file(path_);
  bool make_new = !file.Exists();
  uint32_t papers_read = 0;
  if (!make_new) {
    if (!file.Open(0)) {
      Forget();  // exists but cannot be read: empty, and tried again at the next operation
      return 1;
    }
    std::vector<uint8_t> bytes(UcfFileSize(settings_capacity_, paper_capacity_));
    const long read = file.Read(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr);
    file.Close();
    UcfImage image;
    const UcfImageStatus parsed = ParseUcfImage(
        std::span<const uint8_t>(bytes.data(), read > 0 ? static_cast<size_t>(read) : 0), settings_capacity_,
        paper_capacity_, &image);
    if (parsed == UcfImageStatus::kVersion) {
      ShowErrorMessage(kUcfVersionMessage);
      make_new = true;
    } else {
      // A file cut inside an entry is reported; its whole entries are kept, the cut one is not.
      if (parsed == UcfImageStatus::kCut) ShowErrorMessage(kUcfVersionMessage);
      if (!image.settings.empty()) std::memcpy(settings_.data(), image.settings.data(), image.settings.size());
      if (!image.papers.empty()) std::memcpy(papers_.data(), image.papers.data(), image.papers.size());
      papers_read = image.paper_count;
      version_word_ = static_cast<uint16_t>(kUcfVersion);
    }
  }
  if (make_new) {
    version_word_ = static_cast<uint16_t>(kUcfVersion);
    FillDefaultPapers();
  } else {
    // Paper slots the file does not hold (a file of a model with fewer slots) are free slots.
    FillFreePapers(static_cast<uint16_t>(papers_read));
  }

  settings_in_use_ = settings_.held() ? static_cast<uint16_t>(CountSettingsInUse(
                                            {settings_.data(), size_t{settings_capacity_} * kUserSettingsEntryBytes}))
                                      : 0;
  papers_in_use_ = papers_.held() ? static_cast<uint16_t>(CountPapersInUse(
                                        {papers_.data(), size_t{paper_capacity_} * sizeof(UserPaperEntry)}))
                                  : 0;
  return 1;
}

void UserSettingsStore::FillDefaultPapers() {
  FillFreePapers(0);
  papers_in_use_ = 0;
  Save();
}

void UserSettingsStore::FillFreePapers(uint16_t first) {
  UserPaperEntry tmpl{};
  uint32_t paper_count = 0;
  GetPaperSizeCount(&paper_count);
  for (uint32_t i = 0; i < paper_count; ++i) {
    int32_t id = 0;
    if (GetPaperSizeId(static_cast<uint16_t>(i), &id) && id == model::kCustomPaperId) {
      GetPaperSizeRecord(static_cast<uint16_t>(i), &tmpl.paper, sizeof(tmpl.paper));
      break;
    }
  }
  tmpl.slot = -1;
  tmpl.state = kEntryFree;
  std::memset(tmpl.name, 0, sizeof(tmpl.name));
  for (uint16_t j = first; j < paper_capacity_ && papers_.held(); ++j) {
    tmpl.paper.id = static_cast<int16_t>(kFirstUserPaperId + j);
    std::memcpy(Entry(Array::kPapers, j), &tmpl, sizeof(tmpl));
  }
}

int UserSettingsStore::Save() {
  if (!EnsureLoaded() || version_word_ == 0) return 0;
  platform::DriverFile file(path_);
  if (!file.Exists() && file.Create()) file.Close();
  if (!file.Open(platform::DriverFile::kOpenWrite)) return 0;
  const int16_t version = kUcfVersion;
  bool written = file.Write(&version, sizeof(version), nullptr) == static_cast<long>(sizeof(version));
  if (settings_.held()) {
    written = written && file.Write(settings_.data(), static_cast<DWORD>(settings_.size()), nullptr) ==
                             static_cast<long>(settings_.size());
  }
  if (papers_.held()) {
    written = written && file.Write(papers_.data(), static_cast<DWORD>(papers_.size()), nullptr) ==
                             static_cast<long>(papers_.size());
  }
  file.Close();
  version_word_ = static_cast<uint16_t>(kUcfVersion);
  return written ? 1 : 0;
}

uint8_t* UserSettingsStore::Entry(Array array, uint32_t index) const {
  if (array == Array::kSettings) {
    return index < settings_capacity_ && settings_.held() ? settings_.data() + size_t{index} * sizeof(UserSettingsEntry)
                                                          : nullptr;
  }
  return index < paper_capacity_ && papers_.held() ? papers_.data() + size_t{index} * sizeof(UserPaperEntry) : nullptr;
}

int UserSettingsStore::GetSettingsCount(uint32_t* out) {
  if (out == nullptr || !EnsureLoaded()) return 0;
  *out = settings_in_use_;
  return 1;
}

int UserSettingsStore::GetPaperCount(uint32_t* out) {
  if (out == nullptr || !EnsureLoaded()) return 0;
  *out = papers_in_use_;
  return 1;
}

int UserSettingsStore::SetSettingsCount(const uint32_t* in) {
  if (in == nullptr || !EnsureLoaded()) return 0;
  const uint16_t count = static_cast<uint16_t>(*in);
  settings_in_use_ = count < settings_capacity_ ? count : settings_capacity_;
  return 1;
}

int UserSettingsStore::SetPaperCount(const uint32_t* in) {
  if (in == nullptr || !EnsureLoaded()) return 0;
  const uint16_t count = static_cast<uint16_t>(*in);
  papers_in_use_ = count < paper_capacity_ ? count : paper_capacity_;
  return 1;
}

int UserSettingsStore::DeletePaperEntry(uint16_t index) {
  if (!EnsureLoaded() || index >= papers_in_use_ || index >= paper_capacity_) return 0;
  uint8_t* first = Entry(Array::kPapers, index);
  const size_t later = size_t{paper_capacity_} - index - 1;
  std::memmove(first, first + sizeof(UserPaperEntry), later * sizeof(UserPaperEntry));
  auto* last = reinterpret_cast<UserPaperEntry*>(Entry(Array::kPapers, paper_capacity_ - 1u));
  last->state = kEntryFree;
  last->slot = -1;
  std::memset(last->name, 0, sizeof(last->name));
  --papers_in_use_;
  return 1;
}

}  // namespace kalimu::storage
