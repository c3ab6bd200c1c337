// The rendering library's side of Tonvar.dll: loading, export resolution, resource feeding.
#include "testkit/tonvar_dll/tonvar_client.h"

namespace testkit {

const TonvarExportName kTonvarExportNames[8] = {
    {"CmNew", 1, "A_CmNew", 11},
    {"CmSetResource", 2, "A_CmSetResource", 12},
    {"CmDelete", 3, "A_CmDelete", 9},
    {"CmGetLut", 4, "A_CmGetLut", 10},
    {"HalftoneNew", 5, "A_HalftoneNew", 15},
    {"HalftoneSetResource", 6, "A_HalftoneSetResource", 16},
    {"Halftone", 7, "A_Halftone", 13},
    {"HalftoneDelete", 8, "A_HalftoneDelete", 14},
};

namespace {
template <typename Fn>
void Resolve(const TonvarLibrary& library, const char* name, Fn* out) {
  *out = reinterpret_cast<Fn>(reinterpret_cast<void*>(library.ByName(name)));
}
}  // namespace

TonvarLibrary::TonvarLibrary(const char* path) : module_(LoadLibraryA(path)) {
  if (module_ == nullptr) return;
  Resolve(*this, "CmNew", &exports_.CmNew);
  Resolve(*this, "CmSetResource", &exports_.CmSetResource);
  Resolve(*this, "CmGetLut", &exports_.CmGetLut);
  Resolve(*this, "CmDelete", &exports_.CmDelete);
  Resolve(*this, "HalftoneNew", &exports_.HalftoneNew);
  Resolve(*this, "HalftoneSetResource", &exports_.HalftoneSetResource);
  Resolve(*this, "Halftone", &exports_.Halftone);
  Resolve(*this, "HalftoneDelete", &exports_.HalftoneDelete);
}

TonvarLibrary::~TonvarLibrary() {
  if (module_ != nullptr) FreeLibrary(module_);
}

FARPROC TonvarLibrary::ByName(const char* name) const {
  return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}

FARPROC TonvarLibrary::ByOrdinal(WORD ordinal) const {
  return module_ != nullptr ? GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)) : nullptr;
}

const uint8_t* ResourceMap::Find(uint32_t id) const {
  const auto it = blocks_.find(id);
  return it == blocks_.end() ? nullptr : it->second.data();
}

FeedResult FeedResources(TonvarExports::SetResourceFn set_resource, void* handle,
                         uint32_t first_id, const ResourceMap& resources, int max_steps) {
  FeedResult result;
  uint32_t id = first_id;
  for (int step = 0; step < max_steps && id != tonvar::kNoMoreResources; ++step) {
    result.ids.push_back(id);
    const uint8_t* bytes = resources.Find(id);
    if (bytes == nullptr) {
      result.status = FeedResult::kMissingResource;
      return result;
    }
    uint32_t next = 0xDEADBEEF;
    result.status = set_resource(handle, bytes, &next);
    if (result.status != tonvar::kStatusOk) return result;
    id = next;
  }
  return result;
}

}  // namespace testkit
