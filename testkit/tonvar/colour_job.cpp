// Colour engine driver of the test kit.
#include "testkit/tonvar/colour_job.h"

#include <cstring>

#include "tonvar/interface/engine_contract.h"
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

tonvar::EngineStatus ColourJob::Run(tonvar::CmHandle* handle) {
  asked.clear();
  tonvar::ResourceId id = tonvar::kNoMoreResources;
  tonvar::EngineStatus status = CmColorNew(&params, &job, 0, &id, handle);
  if (status != tonvar::kStatusOk) return status;
  for (int guard = 0; guard < 64 && id != tonvar::kNoMoreResources; ++guard) {
    asked.push_back(id);
    auto it = resources.find(id);
    if (it == resources.end()) return tonvar::kStatusBadResource;
    tonvar::common::ResourceBytes bytes{it->second.data(), bounded ? it->second.size() : tonvar::common::kUnboundedSize};
    if (!unwrap) {
      status = CmColorSetResource(handle, bytes, &id);
    } else {
      tonvar::container::UnpackContext* context = nullptr;
      status = tonvar::container::NewUnpackContext(&context);
      if (status != tonvar::kStatusOk) return status;
      tonvar::common::ResourceBytes unwrapped{};
      status = tonvar::container::UnwrapResource(context, bytes, &unwrapped);
      if (status == tonvar::kStatusOk) status = CmColorSetResource(handle, unwrapped, &id);
      const tonvar::EngineStatus released = tonvar::container::DeleteUnpackContext(context);
      if (status == tonvar::kStatusOk) status = released;
    }
    if (status != tonvar::kStatusOk) return status;
  }
  return tonvar::kStatusOk;
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
