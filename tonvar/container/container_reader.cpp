// Unpacking context and the container reader: hands engine steps plain or expanded bytes.
#include "tonvar/common/byte_readers.h"
#include "tonvar/common/scoped_block.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
EngineStatus NewUnpackContext(UnpackContext** context) {
  if (context == nullptr) return kStatusAllocFailed;
  common::ScopedBlock block;
  const EngineStatus allocated = block.Allocate(sizeof(UnpackContext), false);
  if (allocated != kStatusOk) return allocated;
  auto* created = block.data<UnpackContext>();
  created->buffer_handle = nullptr;
  created->buffer = nullptr;
  created->capacity = 0;
  created->total = 0;
  created->self = block.Detach();
  *context = created;
  return kStatusOk;
}

EngineStatus DeleteUnpackContext(UnpackContext* context) {
  if (context == nullptr) return kStatusFreeFailed;
  // The buffer is forgotten even when its release failed.
  context->buffer = nullptr;
  context->capacity = 0;
  const EngineStatus buffer_status = common::ReleaseBlock(&context->buffer_handle);
  common::MemHandle self = context->self;
  const EngineStatus self_status = common::ReleaseBlock(&self);
  return self_status != kStatusOk ? self_status : buffer_status;
}

// A plain resource may end anywhere its own grammar lets it: its bytes are compared one at a
// time and the first that differs decides, so nothing past it is read (a block compare may load
// the whole signature at once). The eighth byte is read only after all seven matched.
bool HasContainerSignature(common::ResourceBytes resource) {
  const uint8_t* const bytes = resource.data;
  const size_t available = resource.size;
  for (size_t i = 0; i < sizeof kContainerSignature; ++i) {
    if (i >= available || bytes[i] != kContainerSignature[i]) return false;
  }
  if (available <= sizeof kContainerSignature) return false;
  const uint8_t form = bytes[sizeof kContainerSignature];
  return form == kContainerPlain || form == kContainerPlaneOrdered;
}

EngineStatus UnwrapResource(UnpackContext* context, common::ResourceBytes resource,
                            common::ResourceBytes* unwrapped) {
  if (context == nullptr || resource.data == nullptr || unwrapped == nullptr) {
    return kStatusContainerDamaged;
  }
  const uint8_t* const bytes = resource.data;
  const bool bounded = resource.size != common::kUnboundedSize;
  if (!HasContainerSignature(resource)) {
    *unwrapped = resource;
    return kStatusOk;
  }
  const bool plane_ordered = bytes[7] == kContainerPlaneOrdered;
  if (bounded && resource.size < kContainerHeaderBytes) return kStatusContainerDamaged;
  const uint32_t stored_length = common::ReadDword(bytes + 8);
  const uint32_t expanded_length = common::ReadDword(bytes + 12);
  // A container of known size must hold the stored length it declares.
  if (bounded && stored_length > resource.size - 12) return kStatusContainerDamaged;
  // Nothing to expand: an engine step would be handed no bytes at all.
  if (expanded_length == 0) return kStatusContainerDamaged;

  // The format has no bound of its own, but the stored stream bounds what it can honestly
  // produce; anything beyond that, or beyond the largest resource, is refused before any
  // allocation.
  if (uint64_t{expanded_length} > uint64_t{stored_length} * 8 * kUnpackMaxBytesPerCode ||
      expanded_length > kMaxExpandedLength) {
    return kStatusContainerDamaged;
  }

  if (expanded_length > context->capacity) {
    context->capacity = 0;
    const EngineStatus replaced =
        common::ReplaceBlock(&context->buffer_handle, expanded_length, false, &context->buffer);
    if (replaced != kStatusOk) return replaced;
    context->capacity = expanded_length;
  }

  const uint32_t produced =
      DecompressStream(bytes + 12, stored_length, context->buffer, expanded_length, context);
  if (produced == 0 || int64_t{produced} == int64_t{stored_length} - 12) {
    return kStatusContainerDamaged;
  }
  if (plane_ordered) {
    const EngineStatus reordered = ReorderLutPlanes(context->buffer, produced);
    if (reordered != kStatusOk) return reordered;
  }
  *unwrapped = common::ResourceBytes{context->buffer, produced};
  return kStatusOk;
}

}  // namespace tonvar::container
