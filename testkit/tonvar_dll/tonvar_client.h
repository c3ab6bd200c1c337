// The rendering library's side of Tonvar.dll: loads it, resolves its exports, and feeds handles
// the resources they ask for from a collection keyed by resource id.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "testkit/tonvar_dll/guarded_bytes.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/status.h"

namespace testkit {

// The eight exports as a client calls them; handles are opaque.
struct TonvarExports {
  using CmNewFn = uint32_t (*)(const tonvar::CmParams*, const tonvar::RasterJob*, uint64_t,
                               uint32_t* first_id, void** handle);
  using SetResourceFn = uint32_t (*)(void* handle, const uint8_t* resource, uint32_t* next_id);
  using CmGetLutFn = tonvar::CmLutInfo* (*)(void* handle);
  using DeleteFn = uint32_t (*)(void* handle);
  using HalftoneNewFn = uint32_t (*)(const tonvar::RasterJob*, tonvar::CmLutInfo* const* luts,
                                     uint64_t, uint32_t* first_id, void** handle);
  using HalftoneFn = uint32_t (*)(void* handle, const uint8_t* const* input_rows,
                                  uint8_t* const* output_rows, int64_t plane_stride,
                                  uint32_t first_bit, uint32_t count, uint32_t x_start,
                                  uint32_t row_count, uint32_t line_number, uint32_t mode_word,
                                  uint64_t spare);

  CmNewFn CmNew = nullptr;
  SetResourceFn CmSetResource = nullptr;
  CmGetLutFn CmGetLut = nullptr;
  DeleteFn CmDelete = nullptr;
  HalftoneNewFn HalftoneNew = nullptr;
  SetResourceFn HalftoneSetResource = nullptr;
  HalftoneFn Halftone = nullptr;
  DeleteFn HalftoneDelete = nullptr;
};

// One export: its plain name and ordinal, and its "A_" alias with its ordinal.
struct TonvarExportName {
  const char* name;
  WORD ordinal;
  const char* alias;
  WORD alias_ordinal;
};
extern const TonvarExportName kTonvarExportNames[8];

class TonvarLibrary {
 public:
  explicit TonvarLibrary(const char* path = "Tonvar.dll");
  ~TonvarLibrary();
  TonvarLibrary(const TonvarLibrary&) = delete;
  TonvarLibrary& operator=(const TonvarLibrary&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  FARPROC ByName(const char* name) const;
  FARPROC ByOrdinal(WORD ordinal) const;
  // All eight resolved by name; members stay null when missing.
  const TonvarExports& Exports() const { return exports_; }

 private:
  HMODULE module_ = nullptr;
  TonvarExports exports_;
};

// The client's resource collection. Every resource ends right before a no-access page, as a
// printing application's may: the engines read a plain resource only as far as its own grammar
// says it reaches.
class ResourceMap {
 public:
  void Add(uint32_t id, const std::vector<uint8_t>& bytes) { blocks_.insert_or_assign(id, GuardedBytes(bytes)); }
  const uint8_t* Find(uint32_t id) const;

 private:
  std::map<uint32_t, GuardedBytes> blocks_;
};

// Result of feeding a handle until it is complete, a step fails, or an id has no resource.
struct FeedResult {
  static constexpr uint32_t kMissingResource = 0xFFFFFFFE;  // not an engine status
  uint32_t status = 0;
  std::vector<uint32_t> ids;  // every id asked for, in order (the last one may be missing)
};

// Feeds resources by id through `set_resource` (CmSetResource or HalftoneSetResource), starting
// at first_id, until the answer is the end marker. `max_steps` bounds a runaway engine.
FeedResult FeedResources(TonvarExports::SetResourceFn set_resource, void* handle,
                         uint32_t first_id, const ResourceMap& resources, int max_steps = 64);

}  // namespace testkit
