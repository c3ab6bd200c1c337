// Unpacking context and the container reader: hands engine steps plain or expanded bytes.
#include <cstring>

#include "tonvar/colour/byte_readers.h"
#include "tonvar/colour/unpack_context.h"

namespace tonvar {
namespace {

EngineStatus ReleaseBuffer(UnpackContext* context) {
  // The buffer is forgotten even when its release failed.
  const EngineStatus status = ReleaseBlock(&context->buffer_handle);
  context->buffer = nullptr;
  context->capacity = 0;
  return status;
}

}  // namespace

EngineStatus NewUnpackContext(UnpackContext** context) {
  if (context == nullptr) return kStatusAllocFailed;
  MemHandle handle = nullptr;
  void* data = nullptr;
  const EngineStatus allocated = AllocBlock(sizeof(UnpackContext), 0, &handle, &data);
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
  MemHandle self = context->self;
  const EngineStatus self_status = ReleaseBlock(&self);
  return self_status != kStatusOk ? self_status : buffer_status;
}

EngineStatus UnwrapResource(UnpackContext* context, ResourceBytes resource,
                            ResourceBytes* unwrapped) {
  if (context == nullptr || resource.data == nullptr || unwrapped == nullptr) {
    return kStatusContainerDamaged;
  }
  const uint8_t* const bytes = resource.data;
  const bool bounded = resource.size != kUnboundedSize;
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
  const uint32_t stored_length = ReadDword(bytes + 8);
  const uint32_t expanded_length = ReadDword(bytes + 12);
  // A container of known size must hold the stored length it declares.
  if (bounded && stored_length > resource.size - 12) return kStatusContainerDamaged;
  // Nothing to expand: an engine step would be handed no bytes at all.
  if (expanded_length == 0) return kStatusContainerDamaged;

  if (expanded_length > context->capacity) {
    const EngineStatus released = ReleaseBuffer(context);
    if (released != kStatusOk) return released;
    void* buffer = nullptr;
    const EngineStatus allocated = AllocBlock(expanded_length, 0, &context->buffer_handle, &buffer);
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
  *unwrapped = ResourceBytes{context->buffer, produced};
  return kStatusOk;
}

}  // namespace tonvar
