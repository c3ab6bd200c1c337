// Generator of the colour engine's resources (mode tables, colour tables, pre-transform tables,
// gamma-and-matrix block), written from their byte and text formats.
#include "testkit/tonvar/colour_resources.h"

#include <cstring>
#include <string>

// GCC 12 reports false overflows inside std::vector and std::string growth here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

namespace testkit {
namespace {

void Put16(std::vector<uint8_t>& out, int32_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void Put16BigEndian(uint8_t* at, int32_t v) {
  at[0] = static_cast<uint8_t>((v >> 8) & 0xFF);
  at[1] = static_cast<uint8_t>(v & 0xFF);
}
void Put32At(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> Coords(const ColourTableShape& desc) {
  return desc.coords.empty() ? UniformGrid(desc.grid) : desc.coords;
}
std::vector<uint8_t> Body(const ColourTableShape& desc) {
  return desc.body.empty() ? RampBody(desc) : desc.body;
}
std::vector<uint8_t> BlackAxis(const ColourTableShape& desc) {
  if (!desc.black_axis.empty()) return desc.black_axis;
  return Coords(desc);
}
std::vector<uint8_t> GreyAxis(const ColourTableShape& desc) {
  if (!desc.grey_axis.empty()) return desc.grey_axis;
  return std::vector<uint8_t>(size_t{desc.grid} * desc.channels, 0);
}
std::vector<uint8_t> GreyComponent(const ColourTableShape& desc) {
  if (!desc.grey_component.empty()) return desc.grey_component;
  std::vector<uint8_t> t(256);
  for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>(i);
  return t;
}

// A tagged resource: header, directory, then the chunks in the order given.
std::vector<uint8_t> Tagged(const std::vector<std::vector<uint8_t>>& chunks) {
  static const uint8_t kHeader[20] = {'K', 'V', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                                       ' ', ' ', ' ', ' ', '5', '5', '5', ' ', ' ', ' '};
  size_t total = 24 + 8 * chunks.size();
  for (const auto& c : chunks) total += c.size();
  std::vector<uint8_t> out;
  out.reserve(total);
  out.insert(out.end(), kHeader, kHeader + 20);
  out.insert(out.end(), 4 + 8 * chunks.size(), uint8_t{0});
  Put32At(out, 20, static_cast<uint32_t>(chunks.size()));
  for (size_t i = 0; i < chunks.size(); ++i) {
    std::memcpy(&out[24 + 8 * i], chunks[i].data(), 4);
    Put32At(out, 24 + 8 * i + 4, static_cast<uint32_t>(out.size()));
    Append(out, chunks[i]);
  }
  return out;
}

std::vector<uint8_t> Chunk(const char* tag) { return std::vector<uint8_t>(tag, tag + 4); }

std::vector<uint8_t> ClutChunk(uint32_t inputs, uint32_t ch, uint8_t cls, uint32_t g,
                               const std::vector<uint8_t>& ink_ids, const std::vector<uint8_t>& coords,
                               const std::vector<uint8_t>& body) {
  std::vector<uint8_t> c = Chunk("clut");
  c.push_back(static_cast<uint8_t>(inputs));
  c.push_back(static_cast<uint8_t>(ch));
  c.push_back(cls);
  for (uint32_t k = 0; k < inputs; ++k) c.push_back(static_cast<uint8_t>(g));
  Append(c, ink_ids);
  for (uint32_t k = 0; k < inputs; ++k) Append(c, coords);
  Append(c, body);
  return c;
}

}  // namespace

std::vector<uint8_t> UniformGrid(uint32_t points) {
  std::vector<uint8_t> c(points);
  for (uint32_t i = 0; i < points; ++i) c[i] = static_cast<uint8_t>(i * 255 / (points - 1));
  return c;
}

std::vector<uint8_t> RampBody(const ColourTableShape& desc) {
  const std::vector<uint8_t> c = Coords(desc);
  const uint32_t g = desc.grid, ch = desc.channels;
  const uint32_t g4 = desc.format == 0x80 ? g : 1;
  std::vector<uint8_t> body;
  body.reserve(size_t{g} * g * g * g4 * ch);
  for (uint32_t i = 0; i < g; ++i)
    for (uint32_t j = 0; j < g; ++j)
      for (uint32_t k = 0; k < g; ++k)
        for (uint32_t l = 0; l < g4; ++l)
          for (uint32_t q = 0; q < ch; ++q) {
            const uint32_t a = c[i], b = c[j], d = c[k];
            uint32_t v;
            switch (q) {
              case 0: v = a; break;
              case 1: v = b; break;
              case 2: v = d; break;
              case 3: v = g4 > 1 ? c[l] : 255 - (a + b + d) / 3; break;
              default: v = (a * q + b + d) / (q + 2); break;
            }
            body.push_back(static_cast<uint8_t>(v));
          }
  return body;
}

size_t FixedBodyOffset(const ColourTableShape& desc) {
  return desc.format == 0x80 ? 77 + 4 * size_t{desc.grid} : 76 + 3 * size_t{desc.grid};
}

std::vector<uint8_t> BuildFixedColourTable(const ColourTableShape& desc) {
  const bool four = desc.format == 0x80;
  std::vector<uint8_t> out(four ? 77 : 76, 0);
  out[0] = 'K';
  out[1] = 'V';
  out[14] = ' ';
  out[15] = desc.format;
  out[24] = desc.table_class;
  for (int i = 0; i < 4; ++i) out[32 + i] = desc.dominant[i];
  for (int i = 0; i < 3; ++i) out[36 + i] = static_cast<uint8_t>(desc.shift[i]);
  out[39] = static_cast<uint8_t>(desc.saturation_add);
  for (int i = 0; i < 3; ++i) out[42 + i] = static_cast<uint8_t>(desc.secondary[i]);
  Put16BigEndian(&out[48], desc.density_b);
  Put16BigEndian(&out[50], desc.density_a);
  for (int i = 0; i < 4; ++i) Put16BigEndian(&out[64 + 2 * i], desc.fixed_values[i]);
  const uint32_t axes = four ? 4 : 3;
  for (uint32_t k = 0; k < axes; ++k) out[72 + k] = static_cast<uint8_t>(desc.grid);
  out[72 + axes] = static_cast<uint8_t>(desc.channels);
  const std::vector<uint8_t> coords = Coords(desc);
  for (uint32_t k = 0; k < axes; ++k) Append(out, coords);
  Append(out, Body(desc));
  Append(out, BlackAxis(desc));
  Append(out, GreyAxis(desc));
  Append(out, GreyComponent(desc));
  if (!desc.screening_block.empty()) {
    Put32At(out, 16, static_cast<uint32_t>(out.size()));
    Put32At(out, 20, static_cast<uint32_t>(desc.screening_block.size()));
    Append(out, desc.screening_block);
  }
  return out;
}

static std::vector<std::vector<uint8_t>> TaggedChunks(const ColourTableShape& desc) {
  std::vector<uint8_t> ink_ids = desc.ink_ids;
  if (ink_ids.empty()) {
    static const uint8_t kDefault[16] = {1, 2, 3, 0, 4, 5, 7, 11, 6, 8, 9, 10, 12, 13, 14, 15};
    ink_ids.assign(kDefault, kDefault + desc.channels);
  }
  std::vector<std::vector<uint8_t>> chunks;
  chunks.push_back(ClutChunk(3, desc.channels, desc.table_class, desc.grid, ink_ids, Coords(desc),
                             Body(desc)));
  if (desc.gamma != 0) {
    auto c = Chunk("gama");
    Put16(c, desc.gamma);
    chunks.push_back(c);
  }
  if (desc.with_cdbg || desc.with_mdbg) {
    auto c = Chunk(desc.with_cdbg ? "cdbg" : "mdbg");
    Put16(c, desc.density_b);
    Put16(c, desc.density_a);
    chunks.push_back(c);
  }
  auto dncn = Chunk("dncn");
  for (int i = 0; i < 4; ++i) dncn.push_back(desc.dominant[i]);
  chunks.push_back(dncn);
  auto hucn = Chunk("hucn");
  for (int i = 0; i < 3; ++i) hucn.push_back(static_cast<uint8_t>(desc.shift[i]));
  chunks.push_back(hucn);
  auto chcn = Chunk("chcn");
  chcn.push_back(static_cast<uint8_t>(desc.saturation_add));
  chunks.push_back(chcn);
  if (desc.with_mlut) {
    auto c = Chunk("mlut");
    c.insert(c.end(), {0, 0, 0, 0});
    Append(c, BlackAxis(desc));
    chunks.push_back(c);
  }
  if (desc.with_cgry) {
    auto c = Chunk("cgry");
    c.insert(c.end(), {0, 0, 0, 0});
    Append(c, GreyAxis(desc));
    chunks.push_back(c);
  }
  if (desc.with_gmcn) {
    auto c = Chunk("gmcn");
    c.insert(c.end(), {0, 0});
    Append(c, GreyComponent(desc));
    chunks.push_back(c);
  }
  if (desc.with_matrix) {
    auto c = Chunk("cspc");
    for (int i = 0; i < 9; ++i) Put16(c, desc.matrix[i]);
    chunks.push_back(c);
  }
  if (desc.with_encd) {
    auto c = Chunk("encd");
    c.insert(c.end(), desc.encd, desc.encd + 4);
    chunks.push_back(c);
  }
  if (desc.with_tone) {
    const uint32_t p = static_cast<uint32_t>(desc.tone_levels.size());
    auto c = Chunk("egry");
    c.push_back(0);
    c.push_back(static_cast<uint8_t>(desc.tone_channels));
    c.push_back(0);
    c.push_back(static_cast<uint8_t>(p));
    Put16(c, desc.tone_base);
    c.push_back(desc.tone_kind);
    c.insert(c.end(), {0, 0, 0});
    c.insert(c.end(), desc.tone_channels, 0);
    Append(c, desc.tone_levels);
    for (uint32_t i = 0; i < p * desc.tone_channels; ++i) {
      const uint32_t v = desc.tone_values.empty() ? desc.tone_levels[i / desc.tone_channels] * 16u
                                                  : desc.tone_values[i];
      Put16(c, static_cast<int32_t>(v));
    }
    chunks.push_back(c);
  }
  return chunks;
}

std::vector<uint8_t> BuildTaggedColourTable(const ColourTableShape& desc) {
  return Tagged(TaggedChunks(desc));
}

size_t TaggedBodyOffset(const ColourTableShape& desc) {
  const size_t chunks = TaggedChunks(desc).size();
  return 24 + 8 * chunks + 10 + desc.channels + 3 * size_t{desc.grid};
}

std::vector<uint8_t> BuildPreTransformTable(uint32_t grid, const std::vector<uint8_t>& body) {
  const std::vector<uint8_t> coords = UniformGrid(grid);
  std::vector<uint8_t> entries = body;
  if (entries.empty()) {
    for (uint32_t i = 0; i < grid; ++i)
      for (uint32_t j = 0; j < grid; ++j)
        for (uint32_t k = 0; k < grid; ++k) entries.insert(entries.end(), {coords[i], coords[j], coords[k]});
  }
  return Tagged({ClutChunk(3, 3, 1, grid, {1, 2, 3}, coords, entries)});
}

std::vector<uint8_t> BuildGammaMatrixBlock(uint8_t output_gamma, const int16_t matrix[9]) {
  auto gama = Chunk("gama");
  gama.push_back(output_gamma);
  auto clut = Chunk("clut");
  for (int i = 0; i < 9; ++i) Put16(clut, matrix[i]);
  return Tagged({gama, clut});
}

// ---- Mode table -------------------------------------------------------------------------

std::vector<uint8_t> TextBytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::string BuildModeTable(const ModeTableShape& desc) {
  std::string t = "Colour mode table (generated)\r\n";
  t += "//";
  t += std::to_string(desc.version);
  t += " version line\r\n";
  t += "comment line\r\n";
  const bool tagged = desc.version >= 500;
  if (tagged) {
    t += "ID A B EXTRA CORR ";
    t += desc.smb_columns ? "SMB-ID bSMB-ID " : (desc.version >= 510 ? "cSMB-ID mSMB-ID " : "CDOT MDOT ");
    t += "HT METHOD MEDIA HRES VRES MODE SUB OUT_BIT ";
    if (desc.ink_set_column) t += "ink_set ";
    if (desc.smb_columns) t += "upper lower left right ";
    t += desc.micro_column ? "X1 X2 Micro X4 X5 X6 X7 X8 X9 " : "X1 X2 X3 X4 X5 X6 X7 X8 X9 ";
    t += "CSEC MSEC\r\n";
  }
  for (const ModeRowShape& r : desc.rows) {
    auto n = [](int32_t v) { return std::to_string(v) + " "; };
    if (!tagged) {
      t += n(r.table_id) + n(r.first_halftone_id) + r.method + " " + r.media + " " + n(r.h_res) +
           n(r.v_res) + r.mode + " " + n(r.sub_type) + n(r.bits_per_dot) + "\r\n";
      continue;
    }
    t += n(r.table_id) + n(r.table_a_id) + n(r.table_b_id) + n(r.gamma_matrix_id) +
         n(r.correction_offset) + n(r.colour_dot_curve_id) + n(r.mono_dot_curve_id) +
         n(r.first_halftone_id) + r.method + " " + r.media + " " + n(r.h_res) + n(r.v_res) +
         r.mode + " " + n(r.sub_type) + n(r.bits_per_dot);
    if (desc.ink_set_column) t += r.ink_set + " ";
    if (desc.smb_columns) t += n(r.upper) + n(r.lower) + n(r.left) + n(r.right);
    t += "0 0 " + (desc.micro_column ? r.micro : std::string("0")) + " 0 0 0 0 0 0 ";
    t += n(r.colour_second) + std::to_string(r.mono_second) + "\r\n";
  }
  t += "/end of rows\r\n";
  auto line = [](const std::vector<std::string>& names) {
    std::string s;
    for (const auto& name : names) s += name + " ";
    return s + "\r\n";
  };
  t += line(desc.methods);
  if (desc.media_base >= 0) {
    t += std::to_string(desc.media_base);
    t += ' ';
  }
  t += line(desc.media);
  t += line(desc.modes);
  t += desc.mono_default + "\r\n";
  if (desc.version >= 401) {
    t += std::to_string(desc.table_a_offsets.size());
    for (int32_t v : desc.table_a_offsets) t += " " + std::to_string(v);
    t += "\r\n";
  }
  return t;
}

}  // namespace testkit
