// Colour table of the tagged form: the chunk directory, the "clut" table and the chunks that
// carry ink balance, density limits, black axis, grey axis, matrix, gamma and tone table.
#include <cstring>

#include "tonvar/colour/colour_engine.h"
#include "tonvar/common/resource_view.h"
#include "tonvar/common/scoped_block.h"

namespace tonvar::colour {
namespace {

enum Tag { kDncn, kHucn, kChcn, kCdbg, kMdbg, kEncd, kClut, kMlut, kCgry, kGmcn, kMatrix, kGama,
           kEgry, kTagCount };

// "cspc" and "csin" fill the same matrix: the later directory entry of either wins.
constexpr const char* kTagNames[] = {"dncn", "hucn", "chcn", "cdbg", "mdbg", "encd", "clut",
                                     "mlut", "cgry", "gmcn", "cspc", "gama", "egry", "csin"};
constexpr int kTagNameCount = 14;

// Offsets of each tag's last chunk; "csin" shares the matrix slot.
EngineStatus FindTaggedChunks(const common::ResourceView& r, uint64_t* chunk) {
  uint64_t found[kTagNameCount];
  EngineStatus status = common::FindChunks(r, kTagNames, kTagNameCount, found, nullptr);
  if (status != kStatusOk) return status;
  for (int t = 0; t < kTagCount; ++t) chunk[t] = found[t];
  // Whichever of "cspc" and "csin" comes later in the directory fills the matrix.
  if (found[13] != common::kNoChunk) {
    const uint32_t entries = r.U32(20);
    int32_t last_cspc = -1, last_csin = -1;
    for (uint32_t e = 0; e < entries; ++e) {
      const uint8_t* tag = r.At(24 + uint64_t{8} * e);
      if (std::memcmp(tag, "cspc", 4) == 0) last_cspc = static_cast<int32_t>(e);
      if (std::memcmp(tag, "csin", 4) == 0) last_csin = static_cast<int32_t>(e);
    }
    if (last_csin > last_cspc) chunk[kMatrix] = found[13];
  }
  return kStatusOk;
}

EngineStatus ReadToneTable(CmColorEngine* engine, const common::ResourceView& r, uint64_t at,
                           uint32_t tone_mode) {
  LutDescriptor* lut = engine->lut;
  if (!r.Has(at, 14)) return kStatusBadResource;
  const uint32_t ch = r.U8(at + 5);
  const uint32_t points = r.U8(at + 7);
  const int32_t base = r.S16(at + 8);
  if (ch == 0 || ch > kLutMaxChannels || points < 2 || base <= 0) return kStatusBadResource;
  const uint64_t levels = at + 14 + ch;
  const uint64_t values = levels + points;
  if (!r.Has(levels, points + uint64_t{2} * points * ch)) return kStatusBadResource;
  const uint8_t* level = r.At(levels);
  if (level[0] != 0 || level[points - 1] != 255) return kStatusBadResource;
  for (uint32_t i = 1; i < points; ++i) {
    if (level[i] <= level[i - 1]) return kStatusBadResource;
  }
  ToneTable* tone = lut->tone_table;
  if (tone == nullptr) return kStatusBadResource;
  const EngineStatus status =
      common::ReplaceBlock(&tone->values_handle, uint64_t{2} * points * ch, true, &tone->values);
  if (status != kStatusOk) return status;
  tone->kind = r.U8(at + 10);
  tone->point_count = points;
  tone->channel_count = ch;
  tone->base_value = base;
  tone->tone_mode = tone_mode;
  std::memset(tone->levels, 0, sizeof tone->levels);
  std::memcpy(tone->levels, level, points);
  for (uint64_t i = 0; i < uint64_t{points} * ch; ++i) {
    tone->values[i] = static_cast<uint16_t>(r.U16(values + 2 * i));
  }
  return kStatusOk;
}

// The "clut" chunk: three inputs only (a four-input tagged table would pass through the
// three-input rebuild, which its body does not fit).
EngineStatus ReadClut(CmColorEngine* engine, const common::ResourceView& r, uint64_t at) {
  LutDescriptor* lut = engine->lut;
  if (!r.Has(at, 10)) return kStatusBadResource;
  const uint32_t inputs = r.U8(at + 4);
  const uint32_t ch = r.U8(at + 5);
  uint32_t cls = r.U8(at + 6);
  if (cls == 2) cls = 1;
  if (inputs != 3 || ch == 0 || ch > kLutMaxChannels) return kStatusBadResource;
  const uint32_t g = r.U8(at + 7);
  if (r.U8(at + 8) != g || r.U8(at + 9) != g || g < 2 || g > kLutMaxGrid) return kStatusBadResource;
  const uint64_t ink_ids = at + 10;
  const uint64_t coords = ink_ids + ch;
  const uint64_t body = coords + uint64_t{3} * g;
  const uint64_t body_size = uint64_t{g} * g * g * ch;
  if (!r.Has(ink_ids, ch + uint64_t{3} * g + body_size)) return kStatusBadResource;
  for (uint32_t k = 0; k < 3; ++k) {
    if (!common::GridValid(r.At(coords + uint64_t{k} * g), g)) return kStatusBadResource;
  }
  lut->table_class = cls;
  lut->channel_count = ch;
  std::memset(lut->ink_ids, kLutNoInk, sizeof lut->ink_ids);
  std::memcpy(lut->ink_ids, r.At(ink_ids), ch);
  engine->black_channel = -1;
  for (uint32_t c = 0; c < ch; ++c) {
    if (lut->ink_ids[c] == kLutBlackInk) {
      engine->black_channel = static_cast<int32_t>(c);
      break;
    }
  }
  std::memset(lut->grid, 0, sizeof lut->grid);
  for (uint32_t k = 0; k < 3; ++k) {
    lut->grid_points[k] = g;
    std::memcpy(lut->grid[k], r.At(coords + uint64_t{k} * g), g);
  }
  lut->grid_points[3] = 1;
  EngineStatus status = UseResourceBody(engine, r.At(body));
  if (status != kStatusOk) return status;
  return AllocGreyAxis(engine, uint64_t{g} * ch);
}

}  // namespace

EngineStatus ReadTaggedColorTable(CmColorEngine* engine, common::ResourceBytes resource) {
  const common::ResourceView r(resource);
  LutDescriptor* lut = engine->lut;
  uint64_t chunk[kTagCount];
  EngineStatus status = FindTaggedChunks(r, chunk);
  if (status != kStatusOk) return status;
  if (chunk[kClut] == common::kNoChunk) return kStatusBadResource;
  engine->format = kFormatTagged;
  status = ReadClut(engine, r, chunk[kClut]);
  if (status != kStatusOk) return status;
  const uint32_t g = lut->grid_points[0];
  const uint32_t ch = lut->channel_count;

  lut->table_id = static_cast<uint32_t>(engine->table_id);
  lut->first_halftone_id = static_cast<uint32_t>(engine->first_halftone_id);
  lut->dot_curve_id = engine->dot_curve_id;
  lut->second_value = engine->second_value;
  lut->neutral_axis = NeutralAxisFlag(engine);

  auto fits = [&](Tag t, uint64_t length) { return r.Has(chunk[t], length); };
  if (chunk[kDncn] != common::kNoChunk) {
    if (!fits(kDncn, 8)) return kStatusBadResource;
    for (int i = 0; i < 4; ++i) engine->dominant[i] = r.S8(chunk[kDncn] + 4 + i);
  }
  if (chunk[kHucn] != common::kNoChunk) {
    if (!fits(kHucn, 7)) return kStatusBadResource;
    for (int i = 0; i < 3; ++i) engine->shift[i] = r.S8(chunk[kHucn] + 4 + i);
  }
  if (chunk[kChcn] != common::kNoChunk) {
    if (!fits(kChcn, 5)) return kStatusBadResource;
    engine->saturation_add = r.S8(chunk[kChcn] + 4);
  }
  const Tag density = engine->job.ink_set != 0 ? kCdbg : kMdbg;
  if (chunk[density] != common::kNoChunk) {
    if (!fits(density, 8)) return kStatusBadResource;
    lut->density_b = r.S16(chunk[density] + 4);
    lut->density_a = r.S16(chunk[density] + 6);
  }
  uint32_t tone_mode = 0;
  if (chunk[kEncd] != common::kNoChunk) {
    if (!fits(kEncd, 8)) return kStatusBadResource;
    lut->ink_scale_flag = r.S8(chunk[kEncd] + 4);
    lut->encd_x = r.U8(chunk[kEncd] + 5);
    tone_mode = r.U8(chunk[kEncd] + 6);
    lut->encd_y = r.U8(chunk[kEncd] + 7);
  }
  if (chunk[kMatrix] != common::kNoChunk) {
    if (!fits(kMatrix, 22)) return kStatusBadResource;
    for (int i = 0; i < 9; ++i) engine->matrix1[i] = r.S16(chunk[kMatrix] + 4 + 2 * i);
  }
  if (chunk[kGama] != common::kNoChunk) {
    if (!fits(kGama, 6)) return kStatusBadResource;
    engine->rebuild_gamma = r.S16(chunk[kGama] + 4);
  }

  const uint8_t* black_values = nullptr;
  if (chunk[kMlut] != common::kNoChunk) {
    if (!fits(kMlut, 8)) return kStatusBadResource;
    const uint64_t at = chunk[kMlut] + 8 + r.U8(chunk[kMlut] + 7);
    if (!r.Has(at, g)) return kStatusBadResource;
    black_values = r.At(at);
  }
  status = ApplyBlackAxis(engine, black_values);
  if (status != kStatusOk) return status;

  if (engine->params.document_type == 2) {
    if (lut->neutral_axis == 1 && engine->params.mode_modifier == 0) {
      if (chunk[kCgry] == common::kNoChunk || !fits(kCgry, 8)) return kStatusBadResource;
      const uint64_t at = chunk[kCgry] + 8 + r.U8(chunk[kCgry] + 7) + r.U8(chunk[kCgry] + 5);
      if (!r.Has(at, uint64_t{g} * ch)) return kStatusBadResource;
      std::memcpy(engine->grey_axis, r.At(at), uint64_t{g} * ch);
      engine->grey_axis_loaded = true;
    }
    engine->grey_component[0] = 0xFF;
    if (chunk[kGmcn] != common::kNoChunk) {
      if (!fits(kGmcn, 6 + 256)) return kStatusBadResource;
      std::memcpy(engine->grey_component, r.At(chunk[kGmcn] + 6), 256);
    }
  }

  if (chunk[kEgry] != common::kNoChunk) return ReadToneTable(engine, r, chunk[kEgry], tone_mode);
  return ReleaseToneTable(lut);
}

}  // namespace tonvar::colour
