// The run's zones, the error-row schedule, the output row set and the leading byte.
#include <gtest/gtest.h>

#include <vector>

#include "tonvar/halftone_lines/line_zones.h"
#include "tonvar/multi_level/line_machinery.h"
#include "tonvar/multi_level/line_test_state.h"

namespace tonvar::multi_level {
namespace {

struct Span {
  int32_t start, end;
  bool operator==(const Span&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Span& s) { return os << "[" << s.start << ", " << s.end << ")"; }

TEST(SelectRunZones, CutsEvensAndKeepsTheZonesInsideTheLine) {
  struct Case {
    const char* name;
    int32_t width, edge_left, blend_left, edge_right, blend_right;
    int32_t x, end;
    EngineStatus status;
    std::vector<Span> zones;  // all five; empty zones are {0, 0}
  };
  const Case cases[] = {
      {"odd width: the last pixel's cell", 101, 0, 0, 0, 0, 100, 101, kStatusOk,
       {{0, 0}, {0, 0}, {100, 102}, {0, 0}, {0, 0}}},
      {"overlapping transitions meet at their even midpoint", 40, 10, 20, 10, 20, 0, 40, kStatusOk,
       {{0, 10}, {10, 20}, {0, 0}, {20, 30}, {30, 40}}},
      {"a transition wider than the line stays inside it", 40, 10, 0, 10, 100, 0, 40, kStatusOk,
       {{0, 10}, {0, 0}, {0, 0}, {10, 30}, {30, 40}}},
      {"an odd start: the next zone starts one pixel later, no extra cell", 40, 20, 0, 0, 0, 11, 23, kStatusOk,
       {{11, 21}, {0, 0}, {21, 23}, {0, 0}, {0, 0}}},
      {"a run starting at the even width is empty", 40, 0, 0, 0, 0, 40, 40, kStatusOk,
       {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}},
      {"an empty run inside the left edge", 40, 10, 0, 0, 0, 5, 5, kStatusOk,
       {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}},
      {"a run past the line", 40, 0, 0, 0, 0, 41, 41, kStatusBadResource, {}},
      {"a run ending past the line", 40, 0, 0, 0, 0, 30, 42, kStatusBadResource, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LineTestState s(c.width);
    s->edge_left = c.edge_left;
    s->blend_left = c.blend_left;
    s->edge_right = c.edge_right;
    s->blend_right = c.blend_right;
    s->x_end = c.end;
    halftone_lines::SetupHorizontalZones(s->zones, c.width, c.edge_left, c.edge_right, c.blend_left, c.blend_right);
    RunZones run{};
    ASSERT_EQ(SelectRunZones(*s, c.x, &run), c.status);
    if (c.status != kStatusOk) continue;
    std::vector<Span> got;
    int32_t cells = 0;
    for (const HorizontalZone& z : run.zone) {
      got.push_back({z.start, z.end});
      if (z.start < z.end) cells += (z.end - z.start + 1) / 2;
    }
    EXPECT_EQ(got, c.zones);
    // As many cells as the separation makes of the run.
    EXPECT_EQ(cells, (c.end - c.x + 1) / 2);
  }
}

TEST(ResetErrorRows, ClearsRightOfTheRunEverySixteenLinesAndAllAfterAJump) {
  LineTestState s(64, 8);
  auto fill = [&] {
    for (int k = 0; k < kMaxInks; ++k) {
      for (int x = -30; x < 64; ++x) s->error_rows0[k][x] = s->error_rows1[k][x] = 7;
    }
  };
  auto cleared = [&](int inks, int from) {
    for (int k = 0; k < kMaxInks; ++k) {
      for (int x = -30; x < 64; ++x) {
        const int want = k < inks && x >= from ? 0 : 7;
        if (s->error_rows0[k][x] != want || s->error_rows1[k][x] != want) return false;
      }
    }
    return true;
  };
  struct Step {
    int32_t previous, line, x_end;
    int inks;
    int cleared_from;  // 64: nothing; -30: the whole block
  };
  const Step steps[] = {
      {0, 1, 20, 4, 64},   {13, 14, 20, 4, 64},  {14, 15, 20, 4, 20}, {30, 31, 40, 8, 40},
      {15, 15, 20, 4, 64}, {14, 15, 0, 4, 64},   {16, 20, 20, 4, -30}, {-5, 0, 20, 4, -30},
      {18, 20, 20, 8, 64},
  };
  for (const Step& st : steps) {
    SCOPED_TRACE(testing::Message() << st.previous << " -> " << st.line);
    fill();
    s->previous_line = st.previous;
    s->line = st.line;
    s->x_end = st.x_end;
    ResetErrorRows(s.get(), st.inks);
    if (st.cleared_from == -30) {
      for (size_t i = 0; i < s->error_block_size / 4; ++i) ASSERT_EQ(s->error_block[i], 0);
    } else {
      EXPECT_TRUE(cleared(st.inks, st.cleared_from));
    }
  }
}

TEST(SetupOutputRows, RowsPerInkWithSignedStrideAndOneRowLandingOnRowZero) {
  uint8_t buffer[64] = {};
  uint8_t* rows_in[2] = {buffer + 40, buffer + 50};
  uint8_t* rows[kRowSetEntries];
  SetupOutputRows(rows, rows_in, -10, 2, 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(rows[2 * k], buffer + 40 - 10 * k);
    EXPECT_EQ(rows[2 * k + 1], buffer + 50 - 10 * k);
  }
  EXPECT_EQ(rows[8], nullptr);
  SetupOutputRows(rows, rows_in, 3, 1, 8);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(rows[2 * k + 1], rows[2 * k]);
  SetupOutputRows(rows, rows_in, 3, 2, 5);
  for (uint8_t* row : rows) EXPECT_EQ(row, nullptr);
}

TEST(MergeLeadingByte, KeepsTheDotsBeforeTheFirstDot) {
  uint8_t out[4][2] = {{0xFF, 0xEE}, {0x00, 0x11}, {0xAB, 0x22}, {0x54, 0x33}};
  uint8_t* rows[kRowSetEntries] = {};
  for (int k = 0; k < 4; ++k) rows[2 * k] = rows[2 * k + 1] = out[k];
  struct Case {
    uint32_t first_dot;
    uint8_t kept;
  };
  for (const Case& c : {Case{1, 0xC0}, Case{2, 0xF0}, Case{3, 0xFC}}) {
    uint32_t partial[kRowSetEntries];
    for (uint32_t& w : partial) w = 0x12345600 | 0x96;
    MergeLeadingByte(rows, c.first_dot, 1, 4, partial);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(partial[2 * k], uint32_t((out[k][0] & c.kept) | (0x96 & ~c.kept))) << c.first_dot;
      EXPECT_EQ(partial[2 * k + 1], 0x12345696u);  // a one-row call leaves row 1 alone
    }
  }
}

}  // namespace
}  // namespace tonvar::multi_level
