// Colour table of the fixed-header form: header values, grid, body, black axis, the document
// type 2 extras and the screening block.
#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

// Largest screening block taken from a resource (it is a small header block).
constexpr uint32_t kMaxScreeningBlock = 1u << 20;
// The halftoning engines read the screening block's header fields (up to byte 21) without its
// length: a shorter block is held in this much zero-filled room.
constexpr uint32_t kScreeningBlockRoom = 32;

bool FormatKnown(uint8_t f) { return f == '1' || f == '2' || f == '3' || f == kFormatFourInputs; }

}  // namespace

EngineStatus ReadFixedColorTable(CmColorEngine* engine, common::ResourceBytes resource) {
  const common::ResourceView r(resource);
  LutDescriptor* lut = engine->lut;
  if (!r.Has(0, 77)) return kStatusBadResource;
  const uint8_t format = r.U8(15);
  if (!FormatKnown(format)) return kStatusBadResource;
  const bool four = format == kFormatFourInputs;
  const uint32_t axes = four ? 4 : 3;
  const uint32_t g = r.U8(72);
  for (uint32_t k = 1; k < axes; ++k) {
    if (r.U8(72 + k) != g) return kStatusBadResource;
  }
  const uint32_t ch = r.U8(72 + axes);
  if (ch == 0 || ch > kLutMaxChannels || g < 2 || g > kLutMaxGrid) return kStatusBadResource;
  const uint64_t coords = 73 + axes;
  if (!r.Has(coords, uint64_t{axes} * g)) return kStatusBadResource;
  for (uint32_t k = 0; k < axes; ++k) {
    const uint8_t* axis = r.At(coords + uint64_t{k} * g);
    if (!common::GridValid(axis, g)) return kStatusBadResource;
    if (four && std::memcmp(axis, r.At(coords), g) != 0) return kStatusBadResource;
  }
  uint32_t cls = r.U8(24);
  if (cls == 2) cls = 1;
  int32_t black = static_cast<int32_t>(ch) - 1;
  if (cls == 4) black = 5;
  if (black >= static_cast<int32_t>(ch)) return kStatusBadResource;

  const uint64_t entries = uint64_t{g} * g * g * (four ? g : 1);
  const uint64_t body = coords + uint64_t{axes} * g;
  const uint64_t body_size = entries * ch;
  const uint64_t black_axis = body + body_size;
  const uint64_t grey_axis = black_axis + g;
  const uint64_t grey_component = grey_axis + uint64_t{g} * ch;
  if (!r.Has(body, body_size + g)) return kStatusBadResource;

  engine->format = format;
  engine->black_channel = black;
  for (int i = 0; i < 4; ++i) engine->dominant[i] = r.U8(32 + i);
  for (int i = 0; i < 3; ++i) engine->shift[i] = r.S8(36 + i);
  engine->saturation_add = r.S8(39);
  for (int i = 0; i < 3; ++i) engine->secondary[i] = r.S8(42 + i);

  lut->table_id = static_cast<uint32_t>(engine->table_id);
  lut->first_halftone_id = static_cast<uint32_t>(engine->first_halftone_id);
  lut->table_class = cls;
  lut->channel_count = ch;
  lut->density_b = r.S16BigEndian(48);
  lut->density_a = r.S16BigEndian(50);
  for (int i = 0; i < 4; ++i) lut->fixed_values[i] = r.S16BigEndian(64 + 2 * i);
  // The fixed form names no inks: its channels read as ink 0 (the halftoning engines take the
  // first of them as black) and the slots past the last channel as no channel.
  std::memset(lut->ink_ids, 0, ch);
  std::memset(lut->ink_ids + ch, kLutNoInk, kLutMaxChannels - ch);
  std::memset(lut->grid, 0, sizeof lut->grid);
  for (uint32_t k = 0; k < 4; ++k) {
    lut->grid_points[k] = k < axes ? g : 1;
    if (k < axes) std::memcpy(lut->grid[k], r.At(coords + uint64_t{k} * g), g);
  }
  lut->ink_scale_flag = -1;
  lut->encd_x = -1;
  lut->encd_y = -1;
  lut->neutral_axis = NeutralAxisFlag(engine);

  EngineStatus status = UseResourceBody(engine, r.At(body));
  if (status != kStatusOk) return status;
  status = AllocGreyAxis(engine, uint64_t{g} * ch);
  if (status != kStatusOk) return status;

  status = ApplyBlackAxis(engine, r.At(black_axis));
  if (status != kStatusOk) return status;

  if (engine->params.document_type == 2) {
    const bool grey = lut->neutral_axis == 1 && (format == '2' || format == '3') &&
                      engine->params.mode_modifier == 0;
    if (grey) {
      if (!r.Has(grey_axis, uint64_t{g} * ch)) return kStatusBadResource;
      std::memcpy(engine->grey_axis, r.At(grey_axis), uint64_t{g} * ch);
      engine->grey_axis_loaded = true;
    }
    if (format == '3') {
      if (!r.Has(grey_component, 256)) return kStatusBadResource;
      std::memcpy(engine->grey_component, r.At(grey_component), 256);
    }
  }

  status = ReleaseToneTable(lut);
  if (status != kStatusOk) return status;

  const uint32_t block_offset = r.U32(16);
  const uint32_t block_size = r.U32(20);
  if (block_size != 0) {
    if (block_size > kMaxScreeningBlock || !r.Has(block_offset, block_size)) return kStatusBadResource;
    const uint32_t room = block_size < kScreeningBlockRoom ? kScreeningBlockRoom : block_size;
    status = common::ReplaceBlock(&lut->screening_handle, room, true, &lut->screening_block);
    if (status != kStatusOk) return status;
    std::memcpy(lut->screening_block, r.At(block_offset), block_size);
  }
  return kStatusOk;
}

}  // namespace tonvar::colour
