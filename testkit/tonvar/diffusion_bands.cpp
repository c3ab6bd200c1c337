// Bands of cell error diffusion and of one bit per dot.
#include "testkit/tonvar/diffusion_bands.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace testkit {
namespace {

constexpr uint32_t kClasses[4][2] = {{720, 720}, {720, 1440}, {1440, 720}, {2880, 720}};
constexpr const char* kClassNames[4] = {"H=V", "V=2H", "H=2V", "H=4V"};

// Rows of `band` for every line, fed to two open chains call by call.
uint32_t RunTwoHandles(const EngineCalls& calls, const MultiLevelBand& band, BandRows* a, BandRows* b) {
  MultiLevelChain first(calls, band), second(calls, band);
  uint32_t status = first.Open();
  if (status == 0) status = second.Open();
  if (status != 0) return status;
  const auto input = MultiLevelInput(band, false);
  *a = BandRows(band.lines, std::vector<uint8_t>(band.RowBytes(), kOutputPoison));
  *b = *a;
  for (uint32_t line = 0; line < band.lines; line += band.rows_per_call) {
    const uint32_t rows = std::min(band.rows_per_call, band.lines - line);
    const uint8_t* in[2] = {input[line].data(), input[line + rows - 1].data()};
    uint8_t* out_a[2] = {(*a)[line].data(), (*a)[line + rows - 1].data()};
    uint8_t* out_b[2] = {(*b)[line].data(), (*b)[line + rows - 1].data()};
    status = first.Call(in, out_a, line, rows);
    if (status == 0) status = second.Call(in, out_b, line, rows);
    if (status != 0) return status;
  }
  return 0;
}

}  // namespace

std::vector<MultiLevelBand> DiffusionBands() {
  std::vector<MultiLevelBand> bands;
  auto add = [&](int inks, int cls, uint32_t bits, uint32_t method, const std::string& detail = {}) -> MultiLevelBand& {
    MultiLevelBand& b = bands.emplace_back();
    b.name = std::to_string(inks) + " inks " + kClassNames[cls] + ", " + std::to_string(bits) + " bit" +
             (bits == 1 ? "" : "s") + ", method " + std::to_string(method) + detail;
    b.h_dpi = kClasses[cls][0];
    b.v_dpi = kClasses[cls][1];
    b.inks = inks;
    b.bits_per_dot = bits;
    b.method = method;
    b.lines = 8;
    return b;
  };
  // Cell error diffusion at 2 bits per dot in every class; one bit per dot where it is routed.
  for (int inks : {4, 8}) {
    for (int cls = 0; cls < 4; ++cls) add(inks, cls, 2, 1);
    add(inks, 0, 1, 3);
    add(inks, 2, 1, 1);
    add(inks, 2, 1, 3);
  }
  // Leading dots, one-row calls, replication and runs inside the line.
  auto detail = [&](int inks, int cls, uint32_t bits, int32_t code, uint32_t first_dot, uint32_t rows, uint32_t x,
                    uint32_t count) {
    MultiLevelBand& b = add(inks, cls, bits, 1,
                            ", code " + std::to_string(code) + ", first dot " + std::to_string(first_dot) + ", " +
                                std::to_string(rows) + " row" + (rows == 1 ? "" : "s"));
    b.replication = code;
    b.first_dot = first_dot;
    b.rows_per_call = rows;
    b.x_start = x;
    b.count = count;
  };
  detail(4, 0, 2, -1, 1, 2, 3, 40);
  detail(8, 2, 2, 1, 2, 1, 6, 37);
  detail(4, 1, 2, 3, 0, 2, 8, 50);
  detail(8, 3, 2, 0, 3, 1, 5, 33);
  detail(4, 3, 2, 0, 1, 2, 2, 61);
  detail(8, 0, 2, 0, 3, 2, 9, 1);
  detail(4, 2, 1, 0, 1, 2, 3, 60);
  detail(8, 2, 1, 0, 3, 1, 5, 45);
  detail(4, 2, 1, 1, 2, 2, 4, 50);
  detail(8, 2, 1, 3, 4, 2, 8, 70);
  detail(4, 2, 1, 0, 5, 2, 1, 33);
  detail(8, 2, 1, 0, 7, 1, 0, 90);
  // A tall band: the error rows carry over 40 lines and are cleared right of the run at line 31.
  MultiLevelBand& tall = add(8, 0, 2, 1, ", 40 lines, run inside the line");
  tall.lines = 40;
  tall.x_start = 10;
  tall.count = 80;
  // Checksums of the bands in the order above (the host build and the Windows DLL alike).
  const uint64_t golden[] = {
      0xe24009687f8b3015ull, 0x48637f4664f6020cull, 0x9de6cd0022f98c1ull, 0xb6ba60165c1f5801ull,
      0x82322ae1d06ad6eull, 0x3a7309def844c2a6ull, 0x19a697b18673518ull, 0xb7d6bdc5f77abab0ull,
      0x581727de0fe37a4eull, 0xb3abaf8c71bc6d73ull, 0x9b7a47cc14c42192ull, 0x751122ea67877147ull,
      0x6290da97655ec356ull, 0x2b9a34ef07d4476dull, 0x59c32c2b85748e74ull, 0x845e23e59ebfc095ull,
      0x63c6280ce45751c0ull, 0x5a8cca4ab86376ull, 0x8ba54eb7a8f99a51ull, 0x9166d055ca690226ull,
      0x1dd7e940cb91065cull, 0xa981ecd0b384e79ull, 0x7536b0287fb5fdb2ull, 0x1695d0282a966998ull,
      0xa1f413cf627a61d8ull, 0xbfe048b0ccdb0791ull, 0x14045dd043a67ec9ull,
  };
  for (size_t i = 0; i < bands.size() && i < std::size(golden); ++i) bands[i].golden = golden[i];
  return bands;
}

void ExpectDiffusionBands(const EngineCalls& calls) {
  for (const MultiLevelBand& band : DiffusionBands()) {
    SCOPED_TRACE(band.name);
    BandRows rows, again;
    ASSERT_EQ(RunTwoHandles(calls, band, &rows, &again), 0u);
    EXPECT_EQ(rows, again);
    EXPECT_EQ(BandChecksum(rows), band.golden) << std::hex << "0x" << BandChecksum(rows) << "ull";

    // Blank input: no dot from the first dot on; the kept leading dots and the spare bytes stay.
    BandRows blank;
    ASSERT_EQ(RunMultiLevelBand(calls, band, true, &blank), 0u);
    const uint32_t dots_per_byte = 8 / band.bits_per_dot;
    const uint32_t band_bytes = (band.first_dot + band.count + dots_per_byte - 1) / dots_per_byte;
    const uint8_t kept = static_cast<uint8_t>(0xFF00u >> (band.first_dot * band.bits_per_dot));
    for (const auto& row : blank) {
      for (int k = 0; k < band.inks; ++k) {
        const uint8_t* plane = row.data() + size_t(k) * band.PlaneBytes();
        EXPECT_EQ(plane[0] & ~kept, 0) << "plane " << k;
        for (uint32_t b = 1; b < band_bytes; ++b) EXPECT_EQ(plane[b], 0) << "plane " << k << ", byte " << b;
        for (uint32_t b = band_bytes; b < band.PlaneBytes(); ++b) EXPECT_EQ(plane[b], kOutputPoison) << "plane " << k;
      }
    }
  }
}

}  // namespace testkit
