// The grey engine's state for unit tests of its readers: zero-filled as the engine block is, with
// the job of GreyColourJob (method 1, 720 x 720 dpi, 2 bits per dot, ink set 9, document type 7).
#pragma once

#include <memory>

#include "tonvar/common/resource_bytes.h"
#include "tonvar/grey/grey_engine.h"

namespace testkit {

inline std::unique_ptr<tonvar::grey::CmGreyEngine> NewGreyEngineState() {
  auto engine = std::make_unique<tonvar::grey::CmGreyEngine>();
  engine->job = {720, 720, 1, 2, 9};
  engine->document_type = 7;
  engine->step = 1;
  return engine;
}

// A resource of the given bytes with its length (bounded).
template <typename Bytes>
tonvar::common::ResourceBytes Bounded(const Bytes& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace testkit
