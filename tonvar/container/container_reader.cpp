// Unpacking context and the container reader: hands engine steps plain or expanded bytes.
#include <cstring>

#include "tonvar/common/byte_readers.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

EngineStatus ReleaseBuffer(UnpackContext* context) {
  // The buffer is forgotten even when its release failed.
  const EngineStatus status = common::ReleaseBlock(&context->buffer_handle);
  context->buffer = nullptr;
  context->capacity = 0;
  return status;
}

}  // namespace

EngineStatus NewUnpackContext(UnpackContext** context) {
  if (context == nullptr) return kStatusAllocFailed;
  common::MemHandle handle = nullptr;
  void* data = nullptr;
  const EngineStatus allocated = common::AllocBlock(sizeof(UnpackContext), 0, &handle, &data);
  if (allocated != kStatusOk) return allocated;
  auto* block = static_cast<UnpackContext*>(data);
  block->self = handle;
  block->buffer_handle = nullptr;
  block->buffer = nullptr;
  block->capacity = 0;
  block->total = 0;
  *context = block;
  return kStatusOk;
}

EngineStatus DeleteUnpackContext(UnpackContext* context) {
  if (context == nullptr) return kStatusFreeFailed;
  const EngineStatus buffer_status = ReleaseBuffer(context);
  common::MemHandle self = context->self;
  const EngineStatus self_status = common::ReleaseBlock(&self);
  return self_status != kStatusOk ? self_status : buffer_status;
}

EngineStatus UnwrapResource(UnpackContext* context, common::ResourceBytes resource,
                            common::ResourceBytes* unwrapped) {
  if (context == nullptr || resource.data == nullptr || unwrapped == nullptr) {
    return kStatusContainerDamaged;
  }
  const uint8_t* const bytes = resource.data;
  const bool bounded = resource.size != common::kUnboundedSize;
  const bool signed_container =
      (!bounded || resource.size >= sizeof kContainerSignature + 1) &&
      std::memcmp(bytes, kContainerSignature, sizeof kContainerSignature) == 0 &&
      (bytes[7] == kContainerPlain || bytes[7] == kContainerPlaneOrdered);
  if (!signed_container) {
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

  if (expanded_length > context->capacity) {
    const EngineStatus released = ReleaseBuffer(context);
    if (released != kStatusOk) return released;
    void* buffer = nullptr;
    const EngineStatus allocated = common::AllocBlock(expanded_length, 0, &context->buffer_handle, &buffer);
    if (allocated != kStatusOk) return allocated;
    context->buffer = static_cast<uint8_t*>(buffer);
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
