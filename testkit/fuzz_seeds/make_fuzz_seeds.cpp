// Writes the fuzz targets' seeds: each target's input layout around good resources, files and
// replies from the test kit's generators, so that the CI runs start past the headers.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "testkit/kalimu/model_cfg_builder.h"
#include "testkit/settings/icc_tag_writer.h"
#include "testkit/status/status_replies.h"
#include "testkit/tonvar/colour_resources.h"
#include "testkit/tonvar/correction_resources.h"
#include "testkit/tonvar/grey_halftone_resources.h"
#include "testkit/tonvar/grey_resources.h"
#include "testkit/tonvar/halftone_resources.h"
#include "testkit/tonvar/screening_resources.h"
#include "testkit/watermark/bmp_builder.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

fs::path g_root;

void Seed(const std::string& target, const std::string& name, const Bytes& bytes) {
  const fs::path folder = g_root / target;
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// A block of the multi-level and grey-input targets: 16-bit length, then the bytes.
Bytes Block(const Bytes& bytes) {
  const size_t n = bytes.size() < 0xFFFF ? bytes.size() : 0xFFFF;
  Bytes out = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8)};
  out.insert(out.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
  return out;
}

Bytes ModeTable(int version) {
  testkit::ModeTableShape desc;
  desc.version = version;
  desc.rows = {testkit::ModeRowShape{}};
  return testkit::TextBytes(testkit::BuildModeTable(desc));
}

void TonvarSeeds() {
  // Mode table: raw text (bounded and unbounded), and a patch.
  Seed("mode_table_fuzz", "v500", Join({{0}, ModeTable(500)}));
  Seed("mode_table_fuzz", "v300_unbounded", Join({{8}, ModeTable(300)}));
  Seed("mode_table_fuzz", "patch", {1, 0x20, 0, '7'});

  // Dot curves: kind 3 and kind 4 as they are, bounded and unbounded (ink set 9 is choice 6).
  const Bytes kind3 = testkit::BuildDotCurveKind3({});
  testkit::DotCurveKind4Shape four;
  four.entries = testkit::DotCurveEntriesFor(9);
  const Bytes kind4 = testkit::BuildDotCurveKind4(four);
  Seed("dot_curve_fuzz", "kind3", Join({{6}, kind3}));
  Seed("dot_curve_fuzz", "kind4_unbounded", Join({{6 | 0x20}, kind4}));
  Seed("dot_curve_fuzz", "patch_kind4", {0x80 | 0x10 | 6, 0, 0, 34, 0, 2});

  // Corrections: each kind's good resource as it is; the unbounded mode for the ink map,
  // the references and the rate header.
  Seed("correction_fuzz", "ink_map", Join({{0}, testkit::BuildInkMap({{1, {1, 0, 2, 3}}})}));
  Seed("correction_fuzz", "references", Join({{1}, testkit::BuildBinaryReference(5, {30, 31, 32, 33})}));
  Seed("correction_fuzz", "rank_table", Join({{2}, testkit::BuildRankCurveTable(30)}));
  Seed("correction_fuzz", "dots_unbounded", Join({{0x80 | 3}, kind3}));
  testkit::RateHeaderShape header;
  header.column_count = 3;
  header.records = {{9, "", {{3, {0}}, {5, {1}}}}};
  header.micro = {{"MIC", 0x00}};
  Seed("correction_fuzz", "rate_header_unbounded", Join({{0x80 | 4}, testkit::BuildRateHeaderBlock(header)}));
  Seed("correction_fuzz", "ink_map_unbounded", Join({{0x80}, {1, 1, 0, 2, 3, 0xFE, 0xFF}}));
  const std::vector<uint16_t> segment = {0, 0, 100, 256};
  Seed("correction_fuzz", "rate_curves_unbounded",
       Join({{0x80 | 0x40 | 6}, testkit::BuildRateCurveBlock(1, 3, {{3, {segment, segment, segment}},
                                                                   {5, {segment, segment, segment}}})}));
  Seed("correction_fuzz", "markup_unbounded",
       Join({{0x80 | 7}, testkit::BuildIcDataBlock("<version=\"10_00\"><ink_num=4><id_row=1><id=0:30-31-32-33>"
                                                   "<default_id_step=2><default_id_lowest_value=30>")}));

  // Colour tables: the fixed and tagged forms, table A and the gamma-and-matrix block.
  Seed("colour_table_fuzz", "fixed", Join({{0, 0}, testkit::BuildFixedColourTable({})}));
  Seed("colour_table_fuzz", "tagged", Join({{1, 0}, testkit::BuildTaggedColourTable({})}));
  Seed("colour_table_fuzz", "table_a", Join({{2, 0}, testkit::BuildPreTransformTable(3)}));
  const int16_t m[9] = {8192, 0, 0, 0, 8192, 0, 0, 0, 8192};
  Seed("colour_table_fuzz", "gamma_matrix", Join({{3, 0}, testkit::BuildGammaMatrixBlock(100, m)}));
  Seed("colour_table_fuzz", "fixed_unbounded", Join({{0x80 | 0, 0}, testkit::BuildFixedColourTable({})}));
  Seed("colour_table_fuzz", "tagged_unbounded", Join({{0x80 | 1, 0}, testkit::BuildTaggedColourTable({})}));
  Seed("colour_table_fuzz", "table_a_unbounded", Join({{0x80 | 2, 0}, testkit::BuildPreTransformTable(3)}));
  Seed("colour_table_fuzz", "gamma_matrix_unbounded", Join({{0x80 | 3, 0}, testkit::BuildGammaMatrixBlock(100, m)}));

  // Container reader: a raw plain resource, a stream of literals, a plane-ordered table.
  Seed("container_fuzz", "plain", Join({{0}, ModeTable(500)}));
  Seed("container_fuzz", "literals", {3, 4, 0, 0, 0, 'a', 'b', 'c', 'd'});
  Seed("container_fuzz", "planes", Join({{4}, testkit::BuildFixedColourTable({})}));

  // Grey engine readers: header table, chunk container, markup, correction curves.
  Seed("grey_parsers_fuzz", "header",
       Join({{0}, testkit::GreyTextResource(testkit::GreyHeaderTable({testkit::GreyHeaderRowShape{}}))}));
  Seed("grey_parsers_fuzz", "container",
       Join({{1}, testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk({})}})}));
  Seed("grey_parsers_fuzz", "container_unbounded",
       Join({{0x40 | 1}, testkit::GreyChunkContainer({{"tgvm", testkit::GreyTableChunk({})}})}));
  Seed("grey_parsers_fuzz", "curves_unbounded", Join({{0x40 | 3}, testkit::GreyCorrectionCurves()}));
  Seed("grey_parsers_fuzz", "markup_unbounded", Join({{0x40 | 2}, testkit::GreyTextResource(testkit::GreyIcData({}))}));
  Seed("grey_parsers_fuzz", "curves", Join({{3}, testkit::GreyCorrectionCurves()}));

  // Grey-input steps: every step good, then each step fuzzed with its good block.
  Seed("grey_resource_steps_fuzz", "good_steps", {0, 31, 0, 0x80});
  Seed("grey_resource_steps_fuzz", "dot_curves_unbounded",
       Join({{32, 31, 1}, Block(testkit::BuildGreyDotCurveKind3({}))}));
  Seed("grey_resource_steps_fuzz", "screen", Join({{16, 31, 2}, Block(testkit::BuildGreyScreen({}))}));
  Seed("grey_resource_steps_fuzz", "layout_unbounded",
       Join({{32 | 16, 31, 4},
             Block(testkit::BuildHandoverLayout({testkit::HandoverDimensions(2, 1, 3), testkit::HandoverRoles(2, 0, 1),
                                                 testkit::HandoverSelector(0, 1, 2)}))}));

  Seed("grey_resource_steps_fuzz", "ink_tables_unbounded",
       Join({{32 | 16, 31, 8},
             Block(testkit::BuildInkTableBlock(1, {{1, {{{0, 0, 255, 255}, {0, 10, 255, 200}, {0, 5, 255, 90}}}},
                                                   {4, {{{0, 0, 255, 128}, {0, 0, 255, 255}, {0, 0, 255, 255}}}}}))}));

  // Multi-level steps: a laid-out matrix and a plain one (unbounded), then dot-curve tables.
  testkit::MatrixBlockShape matrix;
  Seed("resource_steps_fuzz", "matrix_block", Join({{0, 0, 16, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0}, Block(testkit::BuildMatrixBlock(matrix))}));
  Seed("resource_steps_fuzz", "plain_matrix_unbounded",
       Join({{0x80, 0, 16, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0}, Block(Bytes(24, 0))}));
  Seed("resource_steps_fuzz", "dot_tables",
       Join({{0, 0, 16, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0}, Block({}), Block(testkit::BuildDotCurveTable({}))}));
  Seed("resource_steps_fuzz", "dot_tables_unbounded",
       Join({{0x80, 0, 16, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0}, Block(testkit::BuildMatrixBlock(matrix)),
             Block(testkit::BuildDotCurveTable({}))}));

  // Screening steps: mono and four-ink jobs, each step's good block patched, and the unbounded
  // id list and matrix.
  for (uint8_t config : {0, 1, 0x40, 0x41, 0x80, 0xC1}) {
    Seed("screen_steps_fuzz", "config_" + std::to_string(config), {config, 1, 0, 0, 0});
  }
  Seed("screen_steps_fuzz", "id_list_unbounded", {0, 4, 0xBD, 0x02, 0xFF, 0xFF});
  Seed("screen_steps_fuzz", "matrix_unbounded", Join({{0x40, 4}, testkit::ShortMatrixBlock(16, 8, testkit::DispersedMatrix(16, 8))}));

  // Band and call targets read configuration bytes: one seed per engine shape.
  for (uint8_t flags : {0, 1, 2, 3, 16, 17, 36}) {
    Seed("diffusion_band_fuzz", "flags_" + std::to_string(flags), {flags, 8, 8, 0, 0, 40, 0, 0, 1});
    Seed("halftone_call_fuzz", "flags_" + std::to_string(flags), {flags, 1, 2, 2, 2, 2, 0, 40, 0, 0, 1});
  }
}

void KalimuSeeds() {
  const testkit::BuiltCfgFile roll = testkit::BuildCfgFile(testkit::RollPaperModel());
  const testkit::BuiltCfgFile sheet = testkit::BuildCfgFile(testkit::SheetModel());
  Seed("cfg_parser_fuzz", "roll_paper", Join({{0}, roll.bytes}));
  Seed("cfg_parser_fuzz", "sheet", Join({{1}, sheet.bytes}));
  Seed("cfg_parser_fuzz", "damaged_roll_paper",
       Join({{0}, testkit::BuildCfgFile(testkit::DamagedRollPaperModel()).bytes}));
  // A user-settings file of two settings entries and three papers (capacities 2 and 3).
  Bytes ucf(2 + 2 * 408 + 3 * 92, 0);
  ucf[0] = 0x10, ucf[1] = 0x07;
  ucf[2 + 404] = 2;
  ucf[2 + 2 * 408 + 58] = 2;
  Seed("ucf_image_fuzz", "two_and_three", Join({{2, 3}, ucf}));
  // A watermark list of one built-in and one user entry (room for four), version 1808.
  Bytes wat(18 + 2 * 816, 0);
  wat[0] = 0x09, wat[1] = 0x04, wat[2] = 0x10, wat[3] = 0x07, wat[6] = 1, wat[10] = 1, wat[14] = 4;
  wat[18 + 10] = 'A', wat[18 + 816] = 1, wat[18 + 816 + 10] = 'B';
  Seed("watermark_list_fuzz", "one_and_one", wat);
  Seed("status_reply_fuzz", "text", testkit::TextReply("ST:01;"));
  Seed("icc_tags_fuzz", "description", Join({{0}, testkit::DescriptionTag("Kalimu WF-7000 Photo")}));
  Seed("image_engines_fuzz", "small", Bytes(64, 0x40));

  // Bitmaps: files of each header kind and common depths, one run-length coded, and a thumbnail.
  struct Bitmap {
    const char* name;
    uint32_t header_bytes;
    int32_t width, height;
    uint16_t bits;
    uint32_t compression;
  };
  const Bitmap bitmaps[] = {
      {"info_8bit", 40, 8, 4, 8, 0},        {"info_24bit_top_down", 40, 5, -3, 24, 0},
      {"info_1bit", 40, 17, 2, 1, 0},       {"core_4bit", 12, 6, 3, 4, 0},
      {"v4_32bit", 108, 3, 2, 32, 3},       {"info_16bit_masks", 40, 4, 2, 16, 3},
  };
  for (const Bitmap& b : bitmaps) {
    testkit::watermark::BmpLayout layout;
    layout.header_bytes = b.header_bytes;
    layout.width = b.width;
    layout.height = b.height;
    layout.bits = b.bits;
    layout.compression = b.compression;
    Seed("dib_format_fuzz", b.name, testkit::watermark::BuildBmp(layout));
  }
  Seed("dib_format_fuzz", "thumbnail_4bit", testkit::watermark::BuildThumbnailFile(8, 4, 4, 40 + 16 * 4 + 4 * 4));

  // Exported settings: a header for the model "Kalimu" (configuration version 0x0710) and two
  // records in use, the second marked for refusal; and the same with the refuse flag set.
  constexpr size_t kHeaderBytes = 284, kRecordBytes = 408;
  Bytes csf(kHeaderBytes + 2 * kRecordBytes, 0);
  csf[0] = 0x10, csf[1] = 0x07, csf[4] = 2;
  const char driver[] = "Kalimu";
  std::copy(driver, driver + sizeof(driver), csf.begin() + 28);
  for (size_t r = 0; r < 2; ++r) {
    const size_t at = kHeaderBytes + r * kRecordBytes;
    csf[at] = static_cast<uint8_t>('A' + r);
    csf[at + 64] = 's';  // first profile name
    csf[at + 404] = 2;   // in use
  }
  csf[kHeaderBytes + kRecordBytes + 296] = 1;
  Seed("settings_export_file_fuzz", "two_records", csf);
  csf[8] = 1;
  Seed("settings_export_file_fuzz", "two_records_refuse_flag", csf);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds <folder>\n");
    return 2;
  }
  g_root = argv[1];
  TonvarSeeds();
  KalimuSeeds();
  return 0;
}
