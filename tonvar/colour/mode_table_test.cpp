// Colour mode table: layouts by version, row choice, name resolution and damaged texts.
#include "tonvar/colour/mode_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "testkit/tonvar/colour_job.h"
#include "testkit/tonvar/colour_resources.h"

namespace tonvar::colour {
namespace {

using testkit::BuildModeTable;
using testkit::ModeRowShape;
using testkit::ModeTableShape;

ModeTableJob ColourJob() { return testkit::DefaultModeTableJob(); }

EngineStatus Read(const std::string& text, const ModeTableJob& job, ModeTableChoice* choice) {
  return ReadModeTable(common::ResourceBytes{reinterpret_cast<const uint8_t*>(text.data()), text.size()},
                       job, choice);
}

// Rows that differ in one match value each; the table id names the difference.
ModeTableShape RowChoiceTable(int version) {
  ModeTableShape desc;
  desc.version = version;
  ModeRowShape base;
  auto add = [&](int32_t id, auto change) {
    ModeRowShape r = base;
    r.table_id = id;
    change(r);
    desc.rows.push_back(r);
  };
  add(1000, [](ModeRowShape&) {});
  add(1001, [](ModeRowShape& r) { r.method = "DIFFUSE"; });
  add(1002, [](ModeRowShape& r) { r.h_res = 1440; });
  add(1003, [](ModeRowShape& r) { r.v_res = 1440; });
  add(1004, [](ModeRowShape& r) { r.bits_per_dot = 1; });
  add(1005, [](ModeRowShape& r) { r.media = "PGLOSS"; });
  add(1006, [](ModeRowShape& r) { r.sub_type = 3; });
  add(1007, [](ModeRowShape& r) { r.mode = "PHOTO"; });
  add(1008, [](ModeRowShape& r) { r.mode = "MONO"; });
  return desc;
}

struct RowCase {
  const char* name;
  int32_t method, mode, media, sub_type;
  uint32_t h_res, v_res, bits, channel_order;
  int32_t expected;  // 0: no row
};

TEST(ModeTableTest, ChoosesTheRowThatMatchesEveryValue) {
  const RowCase cases[] = {
      {"all defaults", 3, 4, 0, 0, 720, 720, 2, 3, 1000},
      {"method 1", 1, 4, 0, 0, 720, 720, 2, 3, 1001},
      {"horizontal resolution", 3, 4, 0, 0, 1440, 720, 2, 3, 1002},
      {"vertical resolution", 3, 4, 0, 0, 720, 1440, 2, 3, 1003},
      {"one bit per dot", 3, 4, 0, 0, 720, 720, 1, 3, 1004},
      {"media 1", 3, 4, 1, 0, 720, 720, 2, 3, 1005},
      {"sub-type 3", 3, 4, 0, 3, 720, 720, 2, 3, 1006},
      {"mode 1", 3, 1, 0, 0, 720, 720, 2, 3, 1007},
      {"monochrome job takes mode 0", 3, 4, 0, 0, 720, 720, 2, 0, 1008},
      {"no row for media 2", 3, 4, 2, 0, 720, 720, 2, 3, 0},
      {"no row for 360 dpi", 3, 4, 0, 0, 360, 360, 2, 3, 0},
  };
  const std::string text = BuildModeTable(RowChoiceTable(500));
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.name);
    ModeTableJob job{c.method, c.mode, c.media, c.sub_type, c.h_res, c.v_res, c.bits, c.channel_order};
    ModeTableChoice choice;
    ASSERT_EQ(Read(text, job, &choice), kStatusOk);
    EXPECT_EQ(choice.matched, c.expected != 0);
    if (c.expected != 0) {
      EXPECT_EQ(choice.table_id, c.expected);
    }
  }
}

TEST(ModeTableTest, BitsPerDotAreComparedFromVersion300On) {
  // The job has 2 bits per dot: row 1004 (1 bit) matches only when bits are not compared,
  // and then, as the later of the two matching rows, wins.
  ModeTableChoice choice;
  std::string v200 = BuildModeTable(RowChoiceTable(300));
  v200.replace(v200.find("//300"), 5, "// 99");
  ASSERT_EQ(Read(v200, ColourJob(), &choice), kStatusOk);
  EXPECT_EQ(choice.version, 200);
  EXPECT_EQ(choice.table_id, 1004);
  ASSERT_EQ(Read(BuildModeTable(RowChoiceTable(300)), ColourJob(), &choice), kStatusOk);
  EXPECT_EQ(choice.version, 300);
  EXPECT_EQ(choice.table_id, 1000);
}

TEST(ModeTableTest, LastMatchingRowWinsAndVersion300RowsNameNoOtherResources) {
  ModeTableShape desc;
  desc.version = 300;
  desc.rows = {ModeRowShape{}, ModeRowShape{}};
  desc.rows[0].table_id = 2000;
  desc.rows[1].table_id = 2500;
  desc.rows[1].first_halftone_id = 0;
  ModeTableChoice choice;
  ASSERT_EQ(Read(BuildModeTable(desc), ColourJob(), &choice), kStatusOk);
  EXPECT_EQ(choice.table_id, 2500);
  EXPECT_EQ(choice.first_halftone_id, -1);  // 0 in the text
  EXPECT_EQ(choice.table_a_id, -1);
  EXPECT_EQ(choice.table_b_id, -1);
  EXPECT_EQ(choice.gamma_matrix_id, -1);
  EXPECT_EQ(choice.dot_curve_id, -1);
  EXPECT_EQ(choice.second_value, 1);
}

TEST(ModeTableTest, MediaLineMayStartWithABaseNumber) {
  ModeTableShape desc;
  desc.media_base = 16;
  desc.media = {"PMATTE", "PGLOSS"};
  desc.rows = {ModeRowShape{}};
  desc.rows[0].media = "PGLOSS";
  ModeTableJob job = ColourJob();
  ModeTableChoice choice;
  job.media = 17;
  ASSERT_EQ(Read(BuildModeTable(desc), job, &choice), kStatusOk);
  EXPECT_TRUE(choice.matched);
  desc.media_base = -1;
  job.media = 1;
  ASSERT_EQ(Read(BuildModeTable(desc), job, &choice), kStatusOk);
  EXPECT_TRUE(choice.matched);
}

TEST(ModeTableTest, AtSignContinuesARow) {
  const std::string head = "//300\r\nx\r\n";
  const std::string tail = "/end\r\nNONE A B DITHER\r\nPMATTE\r\nM0 M1 M2 M3 AUTO\r\nCA\r\n";
  ModeTableChoice choice;
  // Continued directly after a value: one row of nine columns.
  ASSERT_EQ(Read(head + "1234 701 DITHER@\r\n PMATTE 720 720 AUTO 0 2\r\n" + tail, ColourJob(), &choice),
            kStatusOk);
  EXPECT_EQ(choice.table_id, 1234);
  // A space before '@' adds an empty column: the later columns shift and nothing matches.
  ASSERT_EQ(Read(head + "1234 701 DITHER @\r\n PMATTE 720 720 AUTO 0 2\r\n" + tail, ColourJob(), &choice),
            kStatusOk);
  EXPECT_FALSE(choice.matched);
}

TEST(ModeTableTest, Version510ZoneColumnsAndTheirFallback) {
  ModeTableShape desc;
  desc.version = 510;
  desc.smb_columns = true;
  desc.ink_set_column = true;
  desc.micro_column = true;
  ModeRowShape row;
  row.colour_dot_curve_id = 705;  // SMB-ID
  row.mono_dot_curve_id = 706;    // bSMB-ID
  row.upper = 11;
  row.lower = 12;
  row.left = 13;
  row.right = 14;
  row.ink_set = "INKSET9";
  row.micro = "MICRO1";
  row.colour_second = 77;
  desc.rows = {row};
  ModeTableChoice choice;
  ASSERT_EQ(Read(BuildModeTable(desc), ColourJob(), &choice), kStatusOk);
  ASSERT_TRUE(choice.matched);
  EXPECT_EQ(choice.dot_curve_id, 705);
  const int32_t zones[5] = {706, 11, 12, 13, 14};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(choice.row_values[i], zones[i]);
  EXPECT_STREQ(choice.ink_set_name, "INKSET9");
  EXPECT_STREQ(choice.micro_name, "MICRO1");
  EXPECT_EQ(choice.second_value, 77);

  desc.rows[0].colour_dot_curve_id = -1;
  ASSERT_EQ(Read(BuildModeTable(desc), ColourJob(), &choice), kStatusOk);
  EXPECT_EQ(choice.dot_curve_id, -1);
  EXPECT_EQ(choice.row_values[0], -1);
}

TEST(ModeTableTest, MicroNameComesOnlyFromTheNineFurtherColumns) {
  struct Case {
    const char* name;
    bool ink_set;
    const char* renamed;   // column renamed "Micro"
    const char* expected;  // Micro name of the row
  };
  const Case cases[] = {
      {"third further column", false, "X3", "MICRO1"},
      {"first further column", false, "X1", "0"},
      {"after the ink-set column", true, "X9", "0"},
      {"resolution column", false, "HRES", ""},
      {"method column with the ink-set column", true, "METHOD", ""},
  };
  for (const Case& c : cases) {
    ModeTableShape desc;
    desc.version = 501;
    desc.ink_set_column = c.ink_set;
    desc.micro_column = true;
    ModeRowShape row;
    row.ink_set = "INK";
    row.micro = "MICRO1";  // written in the third further column
    desc.rows = {row};
    std::string text = BuildModeTable(desc);
    text.replace(text.find("Micro "), 5, "X3");
    const size_t at = text.find(std::string(c.renamed) + " ");
    ASSERT_NE(at, std::string::npos) << c.name;
    text.replace(at, std::strlen(c.renamed), "Micro");
    ModeTableChoice choice;
    ASSERT_EQ(Read(text, ColourJob(), &choice), kStatusOk) << c.name;
    ASSERT_TRUE(choice.matched) << c.name;
    EXPECT_STREQ(choice.micro_name, c.expected) << c.name;
  }
}

TEST(ModeTableTest, ColumnLayoutsThatBreakTheRulesAreRefused) {
  struct Case {
    const char* name;
    int version;
    const char* from;
    const char* to;
  };
  const Case cases[] = {
      {"ink_set not after OUT_BIT", 510, "OUT_BIT ink_set", "ink_set OUT_BIT"},
      {"ink_set below version 501", 500, "OUT_BIT ", "OUT_BIT ink_set "},
      {"SMB-ID in version 505", 505, "CDOT MDOT", "SMB-ID bSMB-ID"},
      {"bSMB-ID not after SMB-ID", 510, "SMB-ID bSMB-ID", "bSMB-ID SMB-ID"},
      {"zones out of order", 510, "upper lower", "lower upper"},
      {"cSMB-ID without mSMB-ID", 510, "cSMB-ID mSMB-ID", "cSMB-ID XX"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModeTableShape desc;
    desc.version = c.version;
    desc.ink_set_column = c.version >= 501;
    desc.smb_columns = std::string(c.from).find("SMB-ID b") != std::string::npos ||
                       std::string(c.from).find("upper") != std::string::npos ||
                       (c.version >= 510 && std::string(c.from).find("ink_set") != std::string::npos);
    desc.rows = {ModeRowShape{}};
    std::string text = BuildModeTable(desc);
    const size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string(c.from).size(), c.to);
    ModeTableChoice choice;
    EXPECT_EQ(Read(text, ColourJob(), &choice), kStatusBadResource);
  }
}

TEST(ModeTableTest, TableAOffsetsLineHoldsExactlyItsCount) {
  ModeTableShape desc;
  desc.rows = {ModeRowShape{}};
  desc.table_a_offsets = {10, 20};
  std::string text = BuildModeTable(desc);
  ModeTableChoice choice;
  ASSERT_EQ(Read(text, ColourJob(), &choice), kStatusOk);
  EXPECT_EQ(choice.table_a_offsets[1], 10);
  EXPECT_EQ(choice.table_a_offsets[2], 20);
  EXPECT_EQ(choice.table_a_offsets[3], 0);
  for (const char* bad : {"2 10\r\n", "2 10 20 30\r\n", "4 1 2 3 4\r\n", "\r\n"}) {
    SCOPED_TRACE(bad);
    std::string broken = text.substr(0, text.rfind("2 10 20")) + bad;
    EXPECT_EQ(Read(broken, ColourJob(), &choice), kStatusBadResource);
  }
  // A comment line before the offsets is skipped.
  std::string commented = text.substr(0, text.rfind("2 10 20")) + "// offsets\r\n1 5\r\n";
  ASSERT_EQ(Read(commented, ColourJob(), &choice), kStatusOk);
  EXPECT_EQ(choice.table_a_offsets[1], 5);
}

TEST(ModeTableTest, DefaultModeForMonochromeJobsComesFromTheModeNames) {
  ModeTableShape desc;
  desc.rows = {ModeRowShape{}};
  desc.rows[0].mode = "GRAPH";  // mode 2
  desc.mono_default = "GRAPH";
  ModeTableJob job = ColourJob();
  job.channel_order = 0;
  ModeTableChoice choice;
  ASSERT_EQ(Read(BuildModeTable(desc), job, &choice), kStatusOk);
  EXPECT_EQ(choice.default_mono_mode, 2);
  EXPECT_TRUE(choice.matched);
  desc.mono_default = "CAD";  // begins with "CA": mode 0
  ASSERT_EQ(Read(BuildModeTable(desc), job, &choice), kStatusOk);
  EXPECT_EQ(choice.default_mono_mode, 0);
  EXPECT_FALSE(choice.matched);
}

TEST(ModeTableTest, PlainTextWithoutASizeIsReadUpToWhatTheParseNeeds) {
  ModeTableShape desc = RowChoiceTable(500);
  desc.table_a_offsets = {4};
  // Nothing after the offsets line is read: no terminator is needed there.
  const std::string text = BuildModeTable(desc);
  ModeTableChoice choice;
  ASSERT_EQ(ReadModeTable(common::ResourceBytes{reinterpret_cast<const uint8_t*>(text.c_str()), common::kUnboundedSize},
                          ColourJob(), &choice),
            kStatusOk);
  EXPECT_EQ(choice.table_id, 1000);
  EXPECT_EQ(choice.table_a_offsets[1], 4);
}

TEST(ModeTableTest, DamagedTextsGiveAStatus) {
  ModeTableShape desc = RowChoiceTable(510);
  desc.smb_columns = true;
  const std::string good = BuildModeTable(desc);
  const size_t end_row = good.find("/end");
  struct Case {
    const char* name;
    std::string text;
  };
  std::string long_token = good;
  long_token.replace(long_token.find("PMATTE"), 6, std::string(300, 'P'));
  std::string long_line = good;
  long_line.insert(long_line.find("\r\n", end_row), std::string(600, 'x'));
  std::string many_rows = good.substr(0, end_row);
  const std::string one_row = good.substr(good.rfind("\r\n", end_row - 3) + 2,
                                          end_row - good.rfind("\r\n", end_row - 3) - 2);
  for (int i = 0; i < 301; ++i) many_rows += one_row;
  many_rows += good.substr(end_row);
  std::string long_ink = good;
  ModeTableShape ink = desc;
  ink.ink_set_column = true;
  ink.rows[0].ink_set = std::string(16, 'I');
  const Case cases[] = {
      {"no //", "no version here\r\n"},
      {"overlong negative version", "//\xff-----" + std::string(80, '0') + "-\r\n"},
      {"no end row", good.substr(0, end_row)},
      {"NUL before the end row", good.substr(0, end_row - 4) + std::string(1, '\0') + good.substr(end_row - 3)},
      {"0x1A before the end row", good.substr(0, end_row - 4) + "\x1A" + good.substr(end_row - 3)},
      {"token over 255 bytes", long_token},
      {"line over 511 bytes", long_line},
      {"more than 300 rows", many_rows},
      {"ink-set name over 15 bytes", BuildModeTable(ink)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModeTableChoice choice;
    EXPECT_EQ(Read(c.text, ColourJob(), &choice), kStatusBadResource);
  }
  // Every prefix of a good table: a status, never a read past the end.
  for (size_t n = 0; n < good.size(); n += 7) {
    ModeTableChoice choice;
    std::string prefix = good.substr(0, n);
    EngineStatus status = ReadModeTable(
        common::ResourceBytes{reinterpret_cast<const uint8_t*>(prefix.data()), prefix.size()}, ColourJob(), &choice);
    EXPECT_TRUE(status == kStatusOk || status == kStatusBadResource) << n;
  }
}

}  // namespace
}  // namespace tonvar::colour
