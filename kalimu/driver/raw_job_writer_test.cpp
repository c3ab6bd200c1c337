// Raw command jobs through a test printer on a file port.
#include "kalimu/driver/raw_job_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "testkit/windows/printer_fixture.h"

namespace kalimu::driver {
namespace {

// Sizes of the pieces that reached the spooler; the bytes go on to WritePrinter. g_short_by
// makes the spooler take fewer bytes than asked.
std::vector<DWORD> g_pieces;
DWORD g_short_by = 0;

BOOL WINAPI WatchedWrite(HANDLE printer, void* data, DWORD size, DWORD* written) {
  g_pieces.push_back(size);
  const DWORD taken = size > g_short_by ? size - g_short_by : 0;
  return WritePrinter(printer, data, taken, written);
}

class RawJobWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(printer_.ok()) << printer_.error();
    g_pieces.clear();
    g_short_by = 0;
  }

  // The port file's bytes once the spooler has written at least size of them (bounded wait).
  std::string PortBytes(size_t size) const {
    std::string bytes;
    for (int tick = 0; tick < 1000; ++tick) {
      std::ifstream in(printer_.port_file(), std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (bytes.size() >= size) break;
      Sleep(10);
    }
    return bytes;
  }

  static std::string Pattern(size_t n) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
  }

  testkit::TestPrinter printer_{"RawJob", "[User Mode Printer Driver Information]\r\n"};
};

TEST_F(RawJobWriterTest, BytesLandInThePortByteForByte) {
  const std::string data = Pattern(5000) + std::string("\x1B@\0\xFF", 4);
  RawJobWriter writer;
  EXPECT_EQ(SendRawJob(&writer, printer_.printer_name().c_str(), data.data(), data.size()), 1);
  EXPECT_EQ(PortBytes(data.size()), data);
}

TEST_F(RawJobWriterTest, BufferingSendsWholePiecesAndKeepsTheRest) {
  const struct {
    std::vector<size_t> writes;
    std::vector<DWORD> pieces_before_close;
    size_t buffered;
  } cases[] = {
      {{3000}, {2048}, 952},
      {{2048}, {}, 2048},
      {{2047, 1}, {}, 2048},
      {{2048, 1}, {2048}, 1},
      {{100, 5000}, {100, 2048, 2048}, 904},
      {{0}, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "first write " << c.writes[0] << " of " << c.writes.size());
    g_pieces.clear();
    RawJobWriter writer(WatchedWrite);
    ASSERT_EQ(writer.Open(printer_.printer_name().c_str()), 1);
    std::string all;
    for (size_t n : c.writes) {
      const std::string data = Pattern(n + all.size()).substr(all.size());
      all += data;
      EXPECT_EQ(writer.Write(data.data(), data.size()), 1);
    }
    EXPECT_EQ(g_pieces, c.pieces_before_close);
    EXPECT_EQ(writer.buffered(), c.buffered);
    EXPECT_EQ(writer.Close(), 1);
    EXPECT_EQ(writer.buffered(), 0u);
  }
}

TEST_F(RawJobWriterTest, FailuresFailTheJob) {
  // A printer that cannot be opened: 0, and nothing left open for Close to end.
  RawJobWriter writer;
  EXPECT_EQ(SendRawJob(&writer, "No Such Printer 28", "abc", 3), 0);
  EXPECT_EQ(writer.Write("abc", 3), 0);
  EXPECT_EQ(writer.Close(), 0);
  EXPECT_EQ(SendRawJob(&writer, nullptr, "abc", 3), 0);
  EXPECT_EQ(SendRawJob(nullptr, printer_.printer_name().c_str(), "abc", 3), 0);

  // A spooler that takes fewer bytes than it was given: commands were lost.
  g_short_by = 1;
  RawJobWriter short_writer(WatchedWrite);
  const std::string small = Pattern(10);
  EXPECT_EQ(SendRawJob(&short_writer, printer_.printer_name().c_str(), small.data(), small.size()), 0);
  const std::string large = Pattern(4100);
  EXPECT_EQ(SendRawJob(&short_writer, printer_.printer_name().c_str(), large.data(), large.size()), 0);
  EXPECT_EQ(g_pieces.size(), 2u);  // the buffered flush at Close, then the first direct piece
}

}  // namespace
}  // namespace kalimu::driver
