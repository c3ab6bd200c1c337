// The remote-command packet reaches a Wine printer's port as one whole raw job per send.
#include "kalimu/dialogs/remote_command_send.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "kalimu/settings/driver_dev_mode.h"
#include "kalimu/dialogs/dialog_test_support.h"
#include "testkit/kalimu/model_printer.h"
#include "testkit/windows/message_box_watcher.h"

namespace kalimu::dialogs {
namespace {

// The clock seam: each reading is one second later than the one before.
SYSTEMTIME g_now{};
void WINAPI TickingClock(SYSTEMTIME* time) {
  *time = g_now;
  ++g_now.wSecond;
}

testkit::ModelDescription AdjustableModel(bool all) {
  auto model = testkit::SheetModel();
  model.header.flags20 = all ? 0x20u : 0u;
  model.header.ink_word = all ? 0x2000u | 6u : 0u;
  model.header.flags40 = all ? 3u : 0u;
  model.header.flags24 = all ? 0x4000u : 0u;
  return model;
}

std::string PortBytes(const std::string& path, size_t size) {
  std::string bytes;
  for (int tick = 0; tick < 1000; ++tick) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (bytes.size() >= size) break;
    Sleep(10);
  }
  return bytes;
}

TEST(RemoteCommandSendTest, EachSendIsOneWholeJobWithItsOwnTime) {
  const struct {
    bool all;
    size_t length;
  } cases[] = {{true, kRemotePacketMaxBytes}, {false, kRemotePacketMinBytes}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    testkit::ModelPrinter printer(AdjustableModel(c.all));
    ASSERT_TRUE(printer.ok()) << printer.error();
    settings::DriverDevMode record{};
    auto settings = NewJobSettings(printer, &record);
    ASSERT_TRUE(settings->IsValid());
    const driver::PageParam param{settings.get(), nullptr, nullptr};

    g_now = {2026, 12, 2, 8, 22, 39, 31, 0};
    // The file port starts its file anew with each job: take each job's bytes before the next.
    const std::string& port = printer.printer().port_file();
    SendRemoteCommandPacket(&param, TickingClock);
    const std::string first = PortBytes(port, c.length);
    ASSERT_EQ(first.size(), c.length);
    ASSERT_TRUE(DeleteFileA(port.c_str()));
    SendRemoteCommandPacket(&param, TickingClock);
    const std::string second = PortBytes(port, c.length);
    ASSERT_EQ(second.size(), c.length);
    if (c.all) {
      EXPECT_EQ(first.substr(0, 5), std::string("\0\0\0\x1B\x01", 5));
      EXPECT_EQ(first.substr(57, 12), std::string("TI\x08\0\0\x07\xEA\x0C\x08\x16\x27\x1F", 12));
      EXPECT_EQ(second.substr(57, 12), std::string("TI\x08\0\0\x07\xEA\x0C\x08\x16\x27\x20", 12));
      EXPECT_EQ(first.substr(69, 28), std::string("AI\x03\0\0\0\0AI\x03\0\0\0\x01" "AI\x03\0\0\0\x02" "AI\x03\0\0\0\x03", 28));
    } else {
      EXPECT_EQ(first, second);  // no time command: two identical packets
      EXPECT_EQ(first.substr(0, 4), "\x1B@\x1B@");
    }
    EXPECT_EQ(first.substr(c.length - 4), std::string("\x1B\0\0\0", 4));
    EXPECT_EQ(second.substr(c.length - 4), std::string("\x1B\0\0\0", 4));
  }
}

// Without settings no packet is built (the clock is never read) and nothing is shown.
TEST(RemoteCommandSendTest, NoPrinterSendsNothingAndReportsNothing) {
  testkit::MessageBoxWatcher boxes;
  g_now = {2026, 12, 2, 8, 22, 39, 31, 0};
  SendRemoteCommandPacket(nullptr, TickingClock);
  const driver::PageParam empty{nullptr, nullptr, nullptr};
  SendRemoteCommandPacket(&empty, TickingClock);
  EXPECT_EQ(g_now.wSecond, 31) << "the clock was read";
  EXPECT_TRUE(boxes.shown().empty());
}

}  // namespace
}  // namespace kalimu::dialogs
