// Colour engine driver of the test kit.
#include "testkit/tonvar/colour_job.h"

#include <cstring>
#include <utility>

#include "testkit/tonvar/exact_block.h"
#include "tonvar/colour/engine_operations.h"
#include "tonvar/container/unpack_context.h"

namespace testkit {

ColourJob::ColourJob() {
  job.method = 3;
  job.channel_order = 3;
  job.ink_set = 9;
  job.resolution_x_dpi = 720;
  job.resolution_y_dpi = 720;
  job.bits_per_dot = 2;
  params.document_type = 1;
  params.mode_modifier = 1;  // mode 4, the default generated rows' mode
}

void ColourJob::AddOneRowTables(uint32_t table_id, std::vector<uint8_t> table, int version,
                                ModeRowShape row) {
  ModeTableShape desc;
  desc.version = version;
  row.table_id = static_cast<int32_t>(table_id);
  desc.rows = {row};
  resources[0] = TextBytes(BuildModeTable(desc));
  resources[table_id] = std::move(table);
}

tonvar::EngineStatus ColourJob::Run(tonvar::CmHandle* handle) {
  asked.clear();
  tonvar::ResourceId id = tonvar::kNoMoreResources;
  tonvar::EngineStatus status =
      tonvar::colour::CmColorNew(tonvar::EngineCreateArgs{&params, &job}, &id, &handle->engine);
  if (status != tonvar::kStatusOk) return status;
  for (int guard = 0; guard < 64 && id != tonvar::kNoMoreResources; ++guard) {
    asked.push_back(id);
    auto it = resources.find(id);
    if (it == resources.end()) return tonvar::kStatusBadResource;
    // A block of exactly the resource's size: an unbounded read past it is a sanitizer finding.
    const ExactBlock exact(it->second);
    const tonvar::common::ResourceBytes bytes = exact.Bytes(bounded);
    if (!unwrap) {
      status = tonvar::colour::CmColorSetResource(handle->engine, bytes, &id);
    } else {
      tonvar::container::UnpackContext* context = nullptr;
      status = tonvar::container::NewUnpackContext(&context);
      if (status != tonvar::kStatusOk) return status;
      tonvar::common::ResourceBytes unwrapped{};
      status = tonvar::container::UnwrapResource(context, bytes, &unwrapped);
      if (status == tonvar::kStatusOk) status = tonvar::colour::CmColorSetResource(handle->engine, unwrapped, &id);
      const tonvar::EngineStatus released = tonvar::container::DeleteUnpackContext(context);
      if (status == tonvar::kStatusOk) status = released;
    }
    if (status != tonvar::kStatusOk) return status;
  }
  return tonvar::kStatusOk;
}

tonvar::colour::ModeTableJob DefaultModeTableJob() {
  const ColourJob defaults;
  tonvar::colour::ModeTableJob job{};
  job.method = static_cast<int32_t>(defaults.job.method);
  job.mode = 4;  // mode_modifier 1
  job.media = defaults.params.media;
  job.sub_type = defaults.params.sub_type;
  job.h_res = defaults.job.resolution_x_dpi;
  job.v_res = defaults.job.resolution_y_dpi;
  job.bits_per_dot = defaults.job.bits_per_dot;
  job.channel_order = defaults.job.channel_order;
  return job;
}

OptionList& OptionList::Add(uint32_t id, const void* value) {
  int32_t count;
  std::memcpy(&count, storage_, 4);
  tonvar::CmOptionEntry entry{id, 0, value};
  std::memcpy(storage_ + 8 + 16 * count, &entry, sizeof entry);
  ++count;
  std::memcpy(storage_, &count, 4);
  return *this;
}

}  // namespace testkit
