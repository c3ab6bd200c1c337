// Drives a colour engine through its resource protocol from a map of resources by id, as the
// rendering library does, but through the colour engine's operations (plain resources).
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "testkit/tonvar/colour_resources.h"
#include "tonvar/colour/mode_table.h"
#include "tonvar/interface/client_records.h"
#include "tonvar/interface/handles.h"
#include "tonvar/interface/status.h"

namespace testkit {

struct ColourJob {
  tonvar::CmParams params{};
  tonvar::RasterJob job{};
  std::map<uint32_t, std::vector<uint8_t>> resources;
  std::vector<uint32_t> asked;     // every id the engine asked for, in order
  bool bounded = true;             // pass each resource's size (false: unbounded)
  bool unwrap = false;             // pass each resource through the container reader first

  ColourJob();
  // Resource 0: a one-row mode table of `version` whose row names table_id; `table` under it.
  void AddOneRowTables(uint32_t table_id, std::vector<uint8_t> table, int version = 500,
                       ModeRowShape row = {});
  // CmColorNew, then every asked resource until the end marker or a failure (a missing
  // resource stops with 768). The handle keeps the engine; the caller deletes it.
  tonvar::EngineStatus Run(tonvar::CmHandle* handle);
};

// What the colour engine asks of the mode table for a default ColourJob: method 3, mode 4,
// media 0, sub-type 0, 720 x 720 dpi, 2 bits per dot, channel order 3.
tonvar::colour::ModeTableJob DefaultModeTableJob();

// A colour-matching option list with up to eight entries, laid out as the client does.
class OptionList {
 public:
  OptionList& Add(uint32_t id, const void* value);
  const tonvar::CmOptionList* Get() const { return reinterpret_cast<const tonvar::CmOptionList*>(storage_); }

 private:
  alignas(8) uint8_t storage_[8 + 8 * 16] = {};
};

}  // namespace testkit
