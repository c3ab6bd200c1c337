// Drives a colour engine through its resource protocol from a map of resources by id, as the
// rendering library does, but through the engine seams (plain resources, no container).
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "tonvar/interface/client_records.h"
#include "tonvar/interface/status.h"
#include "tonvar/interface/handles.h"

namespace testkit {

struct ColourJob {
  tonvar::CmParams params{};
  tonvar::RasterJob job{};
  std::map<uint32_t, std::vector<uint8_t>> resources;
  std::vector<uint32_t> asked;     // every id the engine asked for, in order
  bool bounded = true;             // pass each resource's size (false: tonvar::common::kUnboundedSize)
  bool unwrap = false;             // pass each resource through the container reader first

  ColourJob();
  // CmColorNew, then every asked resource until the end marker or a failure (a missing
  // resource stops with 768). The handle keeps the engine; the caller deletes it.
  tonvar::EngineStatus Run(tonvar::CmHandle* handle);
};

// A colour-matching option list with up to eight entries, laid out as the client does.
class OptionList {
 public:
  OptionList& Add(uint32_t id, const void* value);
  const tonvar::CmOptionList* Get() const { return reinterpret_cast<const tonvar::CmOptionList*>(storage_); }

 private:
  alignas(8) uint8_t storage_[8 + 8 * 16] = {};
};

}  // namespace testkit
