// The sample printers: a 44-inch roll-and-sheet printer and an A3 sheet printer. Every record
// starts at zero (a feature the model lacks) and every field the driver reads is set here.
#include <cstring>
#include <iterator>

#include "testkit/kalimu/model_cfg_builder.h"

namespace testkit {
namespace {

// dmFields of a new record: every public field the driver's record carries (orientation, paper
// size, length and width, scale, copies, source, quality, colour, duplex, y resolution, TrueType
// option, collate, form name, ICM method and intent, media type, dither type).
constexpr uint32_t kAllRecordFields = 0x0781FF1Fu;

// Two mask bits per source index (bit 2i, and bit 2i + 1 that sources without capability 0x2000
// are asked by): a record offered on source i carries both.
constexpr uint32_t SourceBits(int index) { return 3u << (2 * index); }

// Ink position codes (header block 96): ink index + 1, 0 = no ink at the position.
enum InkCode : uint8_t { kBlack = 1, kCyan = 2, kMagenta = 3, kYellow = 4, kLightCyan = 5, kLightMagenta = 6,
                         kPhotoBlack = 8, kMatteBlack = 9, kLightBlack = 10, kColour = 13 };

// Render methods (table 7, string 1300 + value 4): Standard, Vivid, Fine Gradation, Photo.
const km::CapTable7Record kRenderMethods[] = {{0, 0, 0, {}}, {1, 0, 1, {}}, {2, 0, 2, {}}, {3, 0, 3, {}}};

km::ModelHeader Header(uint32_t ink_word, uint32_t ink_code_mask, uint16_t default_ink_set,
                       uint16_t selected_ink_set, std::initializer_list<uint8_t> ink_positions) {
  km::ModelHeader header{};
  header.default_fields = kAllRecordFields;
  header.ink_word = ink_word;
  header.ink_code_mask = ink_code_mask;
  header.default_ink_set = default_ink_set;
  header.selected_ink_set = selected_ink_set;
  header.watermark_capacity = 6;
  header.byte76 = kBaseFileMarker;
  header.block80[0] = 1;  // data version 1.0
  int i = 0;
  for (uint8_t code : ink_positions) header.block96[i++] = code;
  return header;
}

km::InkSetRecord InkSet(std::initializer_list<uint8_t> codes) {
  km::InkSetRecord record{};
  int i = 0;
  for (uint8_t c : codes) record.codes[i++] = c;
  return record;
}

// A source with its size limits in 0.1 mm (largest and smallest width and length).
km::PaperSourceRecord Source(int16_t id, int16_t name_code, uint32_t capability, uint32_t feed, int32_t max_width,
                             int32_t max_w, int32_t max_l, int32_t min_w, int32_t min_l) {
  km::PaperSourceRecord record{};
  record.id = id;
  record.name_code = name_code;
  record.flags8 = capability;
  record.flags12 = feed;
  record.max_width = max_width;
  const int32_t maximum[2] = {max_w, max_l};
  const int32_t minimum[2] = {min_w, min_l};
  std::memcpy(record.value32, maximum, sizeof(maximum));
  std::memcpy(record.value40, minimum, sizeof(minimum));
  return record;
}

// A paper with its size in 1/360 inch; kind bits 1 metric, 2 inch (0 for the custom size); one
// margin record for every feed and layout.
km::PaperSizeRecord Paper(int16_t id, int32_t width, int32_t length, uint32_t source_mask, int16_t margin,
                          int16_t kind_bits) {
  km::PaperSizeRecord record{};
  record.id = id;
  record.value4 = kind_bits;
  record.width = width;
  record.length = length;
  record.source_flags = source_mask;
  for (int16_t& m : record.margin_index) m = margin;
  return record;
}

// A media with its name (string 1100 + n, 4700 + n from 100), suction on sheets and rolls
// (1 to 15), paper thickness on sheets and rolls (0 to 4) and dry mode (0 to 3).
km::MediaTypeRecord Media(int32_t id, uint32_t source_mask, int16_t name_value, uint8_t sheet_suction,
                          uint8_t roll_suction, uint8_t sheet_thickness, uint8_t roll_thickness) {
  km::MediaTypeRecord record{};
  record.id = id;
  record.flags4 = source_mask;
  record.name_value = name_value;
  record.value18[0] = sheet_suction;
  record.value18[1] = roll_suction;
  record.value18[2] = sheet_thickness;
  record.value18[3] = roll_thickness;
  record.value18[4] = 0;  // normal drying
  return record;
}

// One column group of a print mode: every render method and the colour-mode radios 2110, 2109
// (with each method), 2111 and 2112 allowed; quality levels 1 to 4 offered, level `quality` the
// mode's own for every colour mode.
km::PrintModeColumns Columns(int16_t quality) {
  km::PrintModeColumns group{};
  group.flags18 = 0x0F;
  group.flags22 = 0x7F;
  group.quality_mask = 0x1E;
  for (int16_t& level : group.value30) level = quality;
  return group;
}

// A print mode of `media_id` (its media name `name_value`, an index of table 5) offered in the
// variants of `variant_bits` (1 variant 0, 2 variant 1, 8 variant 2); `alt1`, `alt0`, `alt2` are
// the mode ids used for variants 1, 0 and 2; resolution h x v dpi.
km::PrintModeRecord Mode(int16_t id, int32_t media_id, int16_t name_value, uint32_t source_mask, uint32_t flags24,
                         uint16_t variant_bits, int16_t alt1, int16_t alt0, int16_t alt2, uint16_t h, uint16_t v,
                         int16_t quality) {
  km::PrintModeRecord record{};
  record.id = id;
  record.value4 = name_value;
  record.media_id = media_id;
  record.flags16 = source_mask;
  record.flags24 = flags24;
  record.value30 = alt0;
  record.value32 = static_cast<int32_t>(h | (uint32_t{v} << 16));
  record.flags40 = variant_bits;
  record.value42 = alt1;
  record.value44 = alt0;
  record.value46 = alt2;
  for (km::PrintModeColumns& group : record.groups) group = Columns(quality);
  return record;
}

// Preset kinds: 0 a slider preset, 1 a list preset, 4 a preset of the third group.
// Colour modes: 0 driver colour adjustment (the only one in black, variant 0), 2 photo
// enhancement.
km::PresetRecord Preset(int16_t name, int16_t mode_id, int32_t media_id, int16_t variant, uint32_t source_mask,
                        int16_t kind, int16_t position, int16_t label_set, uint16_t colour_mode, uint16_t quality,
                        uint8_t suction) {
  km::PresetRecord record{};
  record.value0 = name;
  record.value2 = position;
  record.value4 = label_set;
  record.mode_id = mode_id;
  record.media_id = media_id;
  record.value12 = variant;
  record.value16 = colour_mode;
  record.value18 = quality;
  auto* bytes = reinterpret_cast<uint8_t*>(&record);
  const uint16_t gamma = 180;  // gamma 1.8
  std::memcpy(bytes + 22, &gamma, sizeof(gamma));
  const uint32_t strength = 2;  // photo-correction strength 1 to 3
  std::memcpy(bytes + 32, &strength, sizeof(strength));
  bytes[84] = suction;  // media tuning: suction (1 to 15)
  bytes[85] = 100;      // ink limit 100 %
  record.value96 = source_mask;
  record.kind = kind;
  return record;
}

}  // namespace

ModelDescription RollPaperModel() {
  ModelDescription m;
  m.user_settings_capacity = 10;
  m.user_paper_capacity = 20;
  // Ink-id length 3 in bits 24-31 (bit 15 set), 8 inks; all three code bytes name the file.
  m.header = Header(0x03008008u, 0x7u, 0, 1,
                    {kPhotoBlack, kCyan, kMagenta, kYellow, kLightCyan, kLightMagenta, kLightBlack, kMatteBlack});
  m.header.flags20 = 0x8000;  // papers carry feed levels: the paper page's Feed... dialog
  m.header.flags28 = 0x200 | 0x100 | 0x10;  // roll feeds, roll options, a cutter
  m.ink_sets = {InkSet({0x01, 0x0A, 0x4B}), InkSet({0x01, 0x0B, 0x4B})};
  // Sources: sheet feeder (index 0), manual feed (1), roll (2), roll with auto cut (3).
  m.sources = {Source(7, 1, 0x2000, 0x01, 4680, 3290, 4830, 890, 1270),
               Source(4, 2, 0x4000, 0x02, 4680, 3290, 6000, 1000, 1480),
               Source(256, 3, 0x40000, 0x10, 15840, 11180, 150000, 2540, 1270),
               Source(257, 4, 0x40000, 0x50, 15840, 11180, 150000, 2540, 1270)};
  const uint32_t sheets = SourceBits(0) | SourceBits(1), rolls = SourceBits(2) | SourceBits(3);
  const uint32_t all_sources = sheets | rolls;
  m.margins = {{0, 0, 0, 0}, {108, 108, 108, 198}, {72, 72, 72, 72}};
  m.papers = {Paper(9, 2976, 4209, sheets, 1, 1),          // A4
              Paper(8, 4209, 5953, sheets, 1, 1),          // A3
              Paper(1, 3060, 3960, sheets, 2, 2),          // Letter
              Paper(300, 2976, 4209, all_sources, 0, 1),   // A4 borderless
              Paper(301, 8640, 15840, rolls, 2, 2),        // roll 24 inch
              Paper(km::kCustomPaperId, 3600, 3600, all_sources, 1, 0)};
  m.papers[3].flags20 = 0x400;  // borderless
  m.papers[3].kind = 3;
  m.table4 = {{1, 0, 0, {}}, {2, 0, 0, {}}};
  // Media names of the modes (caption 1200 + value): plain, photo, canvas.
  m.table5 = {{0, {}}, {1, {}}, {6, {}}};
  m.media = {Media(101, all_sources, 1, 3, 4, 1, 1), Media(102, sheets, 2, 5, 5, 2, 2),
             Media(103, rolls, 105, 8, 8, 3, 3)};
  m.table7.assign(std::begin(kRenderMethods), std::end(kRenderMethods));
  // Modes: 1 and 2 are alternatives of each other; 3 is hidden; 4 is monochrome only; 5 roll only.
  m.modes = {Mode(1, 101, 0, all_sources, 0x400, 0x0B, 1, 2, 1, 360, 360, 2),
             Mode(2, 101, 0, all_sources, 0x100, 0x01, 1, 2, 1, 720, 720, 3),
             Mode(3, 102, 1, sheets, 0x80, 0x0A, 3, 3, 3, 720, 720, 3),
             Mode(4, 102, 1, sheets, 0x400, 0x01, 3, 4, 3, 1440, 720, 4),
             Mode(5, 103, 2, rolls, 0x400, 0x0B, 5, 5, 5, 1440, 1440, 4)};
  m.presets[0] = {Preset(1, 1, 101, 1, all_sources, 0, 1, 0, 0, 2, 3),
                  Preset(2, 2, 101, 0, all_sources, 0, 1, 1, 0, 3, 3)};
  m.presets[1] = {Preset(3, 4, 102, 0, sheets, 1, 0, 0, 0, 4, 5)};
  m.presets[2] = {Preset(4, 5, 103, 2, rolls, 4, 0, 0, 2, 4, 8)};
  m.has_lfp = true;
  m.lfp.present = 1;
  m.lfp.value = 0x00010003u;
  // Roll records: 24 inch (name 1450) and 44 inch (1452).
  m.lfp_records = {{0, 0, 8640, {}}, {1, 2, 15840, {}}};
  return m;
}

ModelDescription SheetModel() {
  ModelDescription m;
  m.user_settings_capacity = 4;
  m.user_paper_capacity = 6;
  // Ink-id length 2 in bits 0-7 (bit 15 clear, so also 2 inks: a black and a colour cartridge;
  // bit 0x4000: two bytes per ink in status replies); both code bytes name the file: suffixes
  // 0502 and 054. Default ink set 1.
  m.header = Header(0x00004002u, 0x3u, 1, 0, {kBlack, kColour});
  m.header.flags24 = 0x8000;  // monochrome photo printing with toning
  m.ink_sets = {InkSet({0x05, 0x02}), InkSet({0x05, 0x4B})};
  m.sources = {Source(7, 1, 0x2000, 0x01, 4680, 3290, 4830, 890, 1270),
               Source(4, 2, 0x4000, 0x02, 4680, 3290, 6000, 1000, 1480)};
  const uint32_t feeder = SourceBits(0), all_sources = SourceBits(0) | SourceBits(1);
  m.margins = {{0, 0, 0, 0}, {120, 120, 120, 120}};
  m.papers = {Paper(11, 2098, 2976, all_sources, 1, 1),  // A5
              Paper(9, 2976, 4209, all_sources, 1, 1),   // A4
              Paper(8, 4209, 5953, feeder, 1, 1),        // A3, sheet feeder only
              Paper(300, 2976, 4209, feeder, 0, 1),      // A4 borderless
              Paper(km::kCustomPaperId, 3600, 3600, all_sources, 1, 0)};
  m.papers[3].flags20 = 0x400;
  m.papers[3].kind = 3;
  m.table4 = {{1, 0, 0, {}}};
  m.table5 = {{0, {}}, {1, {}}};
  m.media = {Media(201, all_sources, 1, 3, 3, 1, 1), Media(202, all_sources, 3, 5, 5, 2, 2)};
  m.table7.assign(std::begin(kRenderMethods), std::end(kRenderMethods));
  m.modes = {Mode(11, 201, 0, all_sources, 0x400, 0x0B, 11, 12, 11, 720, 720, 2),
             Mode(12, 201, 0, all_sources, 0, 0x01, 11, 12, 11, 360, 360, 1),
             Mode(13, 202, 1, all_sources, 0x480, 0x0A, 13, 13, 13, 1440, 1440, 4)};
  m.presets[0] = {Preset(1, 11, 201, 1, all_sources, 0, 1, 0, 0, 2, 3)};
  m.presets[1] = {Preset(2, 12, 201, 0, all_sources, 1, 0, 0, 0, 1, 3)};
  m.presets[2] = {Preset(3, 13, 202, 2, all_sources, 4, 0, 0, 2, 4, 5),
                  Preset(4, 11, 201, 1, feeder, 4, 0, 0, 0, 2, 3)};
  return m;
}

}  // namespace testkit
