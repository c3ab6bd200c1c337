// Colour engine driver of the test kit.
#include "testkit/tonvar/colour_job.h"

#include <cstring>

#include "tonvar/colour/engine_seams.h"
#include "tonvar/colour/unpack_context.h"

namespace tonvar::testkit {

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

EngineStatus ColourJob::Run(CmHandle* handle) {
  asked.clear();
  ResourceId id = kNoMoreResources;
  EngineStatus status = CmColorNew(&params, &job, 0, &id, handle);
  if (status != kStatusOk) return status;
  for (int guard = 0; guard < 64 && id != kNoMoreResources; ++guard) {
    asked.push_back(id);
    auto it = resources.find(id);
    if (it == resources.end()) return kStatusBadResource;
    ResourceBytes bytes{it->second.data(), bounded ? it->second.size() : kUnboundedSize};
    if (!unwrap) {
      status = CmColorSetResource(handle, bytes, &id);
    } else {
      UnpackContext* context = nullptr;
      status = NewUnpackContext(&context);
      if (status != kStatusOk) return status;
      ResourceBytes unwrapped{};
      status = UnwrapResource(context, bytes, &unwrapped);
      if (status == kStatusOk) status = CmColorSetResource(handle, unwrapped, &id);
      const EngineStatus released = DeleteUnpackContext(context);
      if (status == kStatusOk) status = released;
    }
    if (status != kStatusOk) return status;
  }
  return kStatusOk;
}

OptionList& OptionList::Add(uint32_t id, const void* value) {
  int32_t count;
  std::memcpy(&count, storage_, 4);
  CmOptionEntry entry{id, 0, value};
  std::memcpy(storage_ + 8 + 16 * count, &entry, sizeof entry);
  ++count;
  std::memcpy(storage_, &count, 4);
  return *this;
}

}  // namespace tonvar::testkit
