// Generator of the grey colour-matching engine's resources and client records for tests and
// benchmarks: the header table (text, version 510), the chunk container with its "tgvm",
// "inkd", "ctcn" and single-value chunks, the "ic_data" markup, the correction-curve block, the
// client's option list and a job that runs the engine's five steps. Dot-curve blocks come from
// correction_resources.h. Platform-neutral: the Windows tests and the host build both use it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tonvar/interface/client_records.h"

namespace testkit {

// ---- Header table -----------------------------------------------------------------------

// Name lists of the generated tables: method 1 is "ED", media 0 "Plain" (base 0), document
// type 7 "Grey".
struct GreyHeaderRowShape {
  std::string halftone = "ED";
  std::string media = "Plain";
  std::string doc_type = "Grey";
  int32_t sub_type = 0;
  int32_t h_res = 720;
  int32_t v_res = 720;
  int32_t out_bit = 2;
  uint32_t cmm_id = 100;
  uint32_t ink_id = 300;
  uint32_t smb_id = 200;
  std::string ink_set = "K8";
  std::string micro = "MX";
};
inline constexpr char kGreyColumnLine[] =
    "CMM-ID INK-ID SMB-ID Halftone media DocType subType H-RES V-RES OUT_BIT ink_set Micro";
inline constexpr char kGreyNameLines[] =
    "None ED Dith DitherB\n0 Plain Photo Matte\nD0 D1 D2 D3 D4 D5 D6 Grey\n";

// Version line, the skipped line, the column line, the rows, "//" and the name lines.
std::string GreyHeaderTable(const std::vector<GreyHeaderRowShape>& rows, int version = 510,
                            const std::string& columns = kGreyColumnLine);
// The same parts as given, for tables that need another shape.
std::string GreyHeaderTableText(const std::string& version_line, const std::string& columns,
                                const std::vector<std::string>& rows,
                                const std::string& names = kGreyNameLines);
std::string GreyHeaderRowText(const GreyHeaderRowShape& row);

// ---- Chunk container --------------------------------------------------------------------

// The eight inks the packed table needs, in a column order of their own.
inline const std::vector<uint8_t> kGreyInkIds = {1, 2, 3, 0, 4, 5, 7, 11};

struct GreyTableShape {
  uint8_t byte4 = 1;
  std::vector<uint8_t> ink_ids = kGreyInkIds;
  uint8_t ink_count = 0xFF;  // ink_ids.size() when 0xFF
  uint8_t channels = 1;
  int16_t levels = 256;
  int16_t gamma_base = 100;
  uint8_t byte11 = 0;
  uint8_t full_scale_code = 3;       // 65280
  std::vector<uint8_t> level_bytes;  // level i when empty
  std::vector<uint16_t> amounts;     // levels x inks; GreyRampAmount when empty
};
// Amount of column j at level i in a generated table: distinct per column, rising with i.
uint16_t GreyRampAmount(uint32_t level, uint32_t column);
std::vector<uint8_t> GreyTableChunk(const GreyTableShape& shape);

// Eighteen values; the twelfth is the total-ink limit in 1/255 of full scale.
std::vector<uint8_t> GreyInkdChunk(int16_t limit, int16_t others = 0);

struct GreyTintRecord {
  uint8_t ink_id;
  int16_t knots[4];
  int16_t values[6];  // y1 at the upper bound, y2 at the lower, y3..y6 at the knots
};
struct GreyCtcnShape {
  uint8_t ink_count = 8;
  uint8_t channels = 1;
  uint8_t knots_per_ink = 4;
  uint8_t scale_kind = 1;
  int16_t ranges[3][2] = {{75, -75}, {75, -75}, {75, -75}};  // upper, lower
  std::vector<GreyTintRecord> records;                       // eight; GreyDefaultTint when empty
};
// Records for inks 0..5, 7, 11 whose six points lie on the line value = knot (y3 = 0 at the
// knot 0): the tint factor of a component t is 1 + t / 100 (scale kind 1).
std::vector<GreyTintRecord> GreyDefaultTint();
std::vector<uint8_t> GreyCtcnChunk(const GreyCtcnShape& shape);

// A chunk of any tag: the tag, then the body.
std::vector<uint8_t> GreyChunk(const char tag[4], const std::vector<uint8_t>& body);

// The container: 20 bytes, the count, the directory in the given order, the chunks. An entry
// whose offset is set explicitly points there instead of its chunk.
struct GreyChunkEntry {
  std::string tag;
  std::vector<uint8_t> chunk;
  int64_t offset = -1;
};
std::vector<uint8_t> GreyChunkContainer(const std::vector<GreyChunkEntry>& entries,
                                        std::optional<int32_t> count = std::nullopt);

// ---- Markup and correction block ---------------------------------------------------------

// The defaults: three inks compared each with itself, one reference row and rows of the
// correction block 0..6 (rank differences clamped to 0..30, five units a row, offset by 10).
struct GreyIcDataShape {
  int32_t ink_num = 3;
  std::vector<std::vector<int32_t>> rows = {{10, 20, 30}};
  std::vector<std::string> color_cnv = {"<color_cnv=9::0:1:2>"};
  int32_t id_step = 5;
  int32_t id_lowest_value = 10;
  int32_t rank_lower = 0;
  int32_t rank_upper = 30;
  int32_t nc_range = 5;
  std::vector<std::string> mode_lines = {"* * single a 1 &"};
};
std::string GreyIcData(const GreyIcDataShape& shape);

// "tgvm", C, the knots, then the rows of C values. GreyCorrectionCurves: knots 0, 32768,
// 65535 and rows r = 0..6 of r * 1000 + (0, 16384, 32768): row r maps v below 32768 to
// r * 1000 + v / 2.
std::vector<uint8_t> GreyCorrectionCurves();
std::vector<uint8_t> GreyCorrectionBlock(const std::vector<uint16_t>& knots,
                                         const std::vector<std::vector<uint16_t>>& rows);

// ---- Client records -----------------------------------------------------------------------

// The grey option list: a 32-bit count, then 8-byte entries {id, value}; the data of an entry
// whose value is bytes runs on after it, so such an entry is the last one.
class GreyOptionList {
 public:
  GreyOptionList& Value(uint32_t id, uint32_t value);
  GreyOptionList& Bytes(uint32_t id, const std::vector<uint8_t>& data);
  const tonvar::CmOptionList* Get() const;

 private:
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> entries_;
  mutable std::vector<uint8_t> storage_;
};

struct GreyColourJob {
  tonvar::CmParams params{};
  tonvar::RasterJob job{};
  int32_t tone[9] = {0, 0, 100, 0, 0, 0, 0, 0, 0};  // a2 = the table's gamma base
  std::map<uint32_t, std::vector<uint8_t>> resources;

  // Document type 7, ink set 9, method 1, 720 x 720 dpi, 2 bits per dot, channel order 3.
  GreyColourJob();
  GreyColourJob(const GreyColourJob&) = delete;  // params point at its own tone values
  GreyColourJob& operator=(const GreyColourJob&) = delete;
  // Resources 0 (one-row header table) and 100 (container with a ramp table).
  void AddMinimalResources();
  // Resources 990 (GreyIcData defaults), 200 (kind-4 dot-curve block for ink set 9) and 300
  // (GreyCorrectionCurves) for option 512.
  void AddCorrectionResources();
  // The option-512 data that makes ink 0's rank 6 above the reference (ink 1 and 2: -4).
  static std::vector<uint8_t> CwList();
};

// A text resource as a client hands it over, without a length: ended by Ctrl-Z.
std::vector<uint8_t> GreyTextResource(const std::string& text);

}  // namespace testkit
