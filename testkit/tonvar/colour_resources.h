// Generator of the colour engine's resources for tests and benchmarks: mode tables (text),
// colour tables in the fixed-header and tagged forms, pre-transform tables and the
// gamma-and-matrix block. Identity grids and ramps keep the expectations computable by hand.
// Platform-neutral: the Windows tests and the host build both use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testkit {

// ---- Mode table -------------------------------------------------------------------------

// One row. For layouts with "SMB-ID" the two dot-curve columns hold SMB-ID and bSMB-ID.
struct ModeRowShape {
  int32_t table_id = 1100;
  int32_t first_halftone_id = 701;
  int32_t table_a_id = -1;
  int32_t table_b_id = -1;
  int32_t gamma_matrix_id = -1;
  int32_t correction_offset = -1;
  int32_t colour_dot_curve_id = -1;  // or SMB-ID
  int32_t mono_dot_curve_id = -1;    // or bSMB-ID
  std::string method = "DITHER";     // method 3 with the default names
  std::string media = "PMATTE";
  int32_t h_res = 720;
  int32_t v_res = 720;
  std::string mode = "AUTO";         // mode 4 with the default names
  int32_t sub_type = 0;
  int32_t bits_per_dot = 2;
  std::string ink_set;               // the "ink_set" column, when the layout has it
  int32_t upper = 0, lower = 0, left = 0, right = 0;
  std::string micro = "-";           // at the "Micro" column, when the layout has it
  int32_t colour_second = 0;
  int32_t mono_second = 0;
};

struct ModeTableShape {
  int version = 500;
  bool ink_set_column = false;
  bool smb_columns = false;   // "SMB-ID", "bSMB-ID" and the four zone columns (510 and above)
  bool micro_column = false;
  std::vector<ModeRowShape> rows;
  // Method n is entry n, mode n is entry n; media numbers are base + index.
  std::vector<std::string> methods = {"NONE", "DIFFUSE", "SPARE", "DITHER"};
  int32_t media_base = -1;    // -1: no base number on the media line
  std::vector<std::string> media = {"PMATTE", "PGLOSS", "PFILM"};
  std::vector<std::string> modes = {"MONO", "PHOTO", "GRAPH", "CAD", "AUTO"};
  std::string mono_default = "CA";
  std::vector<int32_t> table_a_offsets;   // written for versions 401 and above
};

std::string BuildModeTable(const ModeTableShape& desc);
std::vector<uint8_t> TextBytes(const std::string& text);

// ---- Colour tables ----------------------------------------------------------------------

// Uniform grid coordinates 0..255 over `points` points.
std::vector<uint8_t> UniformGrid(uint32_t points);

struct ColourTableShape {
  uint32_t grid = 5;                 // points per axis
  uint32_t channels = 4;
  uint8_t format = '1';              // fixed form: '1', '2', '3' or 0x80 (four inputs)
  uint8_t table_class = 1;
  std::vector<uint8_t> coords;       // per axis; uniform when empty
  std::vector<uint8_t> body;         // entries; RampBody when empty
  std::vector<uint8_t> ink_ids;      // tagged form; 1, 2, 3, 0, 4, 5 ... when empty
  int16_t density_b = 100;
  int16_t density_a = 100;
  int16_t fixed_values[4] = {1, -2, 3, -4};
  uint8_t dominant[4] = {0, 0, 0, 0};
  int8_t shift[3] = {0, 0, 0};
  int8_t saturation_add = 0;
  int8_t secondary[3] = {0, 0, 0};
  std::vector<uint8_t> black_axis;   // g values; a ramp when empty
  std::vector<uint8_t> grey_axis;    // g * ch entries; zeros when empty
  std::vector<uint8_t> grey_component;  // 256 bytes; identity when empty
  std::vector<uint8_t> screening_block; // fixed form
  // Tagged form only.
  int16_t gamma = 150;               // "gama"; omitted when 0
  bool with_cdbg = true;
  bool with_mdbg = false;
  bool with_mlut = false;
  bool with_cgry = false;
  bool with_gmcn = false;
  bool with_matrix = false;
  int16_t matrix[9] = {4096, 0, 0, 0, 4096, 0, 0, 0, 4096};
  bool with_encd = false;
  uint8_t encd[4] = {0, 0, 0, 0};    // ink-scale flag, x, tone mode, y
  bool with_tone = false;
  std::vector<uint8_t> tone_levels = {0, 128, 255};
  uint32_t tone_channels = 2;
  std::vector<uint16_t> tone_values; // points x channels; ramp when empty
  int16_t tone_base = 150;
  uint8_t tone_kind = 8;
};

// Entry of grid point (i, j, k): channel c holds the point's coordinate on axis c % 3 for
// channels 0..2 and a mix for the others, so that every entry is different and predictable.
std::vector<uint8_t> RampBody(const ColourTableShape& desc);
std::vector<uint8_t> BuildFixedColourTable(const ColourTableShape& desc);
std::vector<uint8_t> BuildTaggedColourTable(const ColourTableShape& desc);
// Offset of the body inside a table built by the two functions above.
size_t FixedBodyOffset(const ColourTableShape& desc);
size_t TaggedBodyOffset(const ColourTableShape& desc);

// Pre-transform table: three outputs per entry; identity (the entry holds its coordinates)
// when body is empty.
std::vector<uint8_t> BuildPreTransformTable(uint32_t grid, const std::vector<uint8_t>& body = {});
std::vector<uint8_t> BuildGammaMatrixBlock(uint8_t output_gamma, const int16_t matrix[9]);

}  // namespace testkit
