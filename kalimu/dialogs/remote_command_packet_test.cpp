// The remote-command packet: pieces by capability, lengths and the time command.
#include "kalimu/dialogs/remote_command_packet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kalimu::dialogs {
namespace {

const PacketTime kEvening{2026, 12, 8, 22, 39, 31};

std::string Build(const RemoteCommandPieces& pieces, const PacketTime& time = kEvening) {
  std::vector<uint8_t> out(kRemotePacketMaxBytes + 16, 0xEE);
  const size_t n = BuildRemoteCommandPacket(pieces, time, out.data(), out.size());
  EXPECT_EQ(n, RemoteCommandPacketLength(pieces));
  EXPECT_EQ(out[n], 0xEE);  // nothing past the packet
  return std::string(out.begin(), out.begin() + n);
}

const std::string kEntry("\x1B@\x1B@Printer ID\r\n\0\x1B(R\x08\0\0REMOTE1", 30);
const std::string kSecond("\x1B\0\0\0\x0C\x1B@\x1B@\x1B(R\x08\0\0REMOTE1LD\0\0", 26);
const std::string kExit("\x1B\0\0\0", 4);
const std::string kModeExit("\0\0\0\x1B\x01@QKX 1284.4\n@QKX     \n", 27);
const std::string kTime("TI\x08\0\0\x07\xEA\x0C\x08\x16\x27\x1F", 12);
const std::string kJobEnd("JE\x01\0\0", 5);
std::string Sheet(char n) { return std::string("AI\x03\0\0\0", 6) + n; }

TEST(RemoteCommandPacketTest, PiecesFollowTheCapabilities) {
  const struct {
    RemoteCommandPieces pieces;
    std::string expected;
  } cases[] = {
      {{}, kEntry + kSecond + kExit},
      {{.packet_mode_exit = true}, kModeExit + kEntry + kSecond + kExit},
      {{.time_commands = true}, kEntry + kTime + kSecond + kJobEnd + kExit},
      {{.channel_sheet = true}, kEntry + Sheet(0) + kSecond + kExit},
      {{.iwf_sheet = true, .rt_sheet = true}, kEntry + Sheet(1) + Sheet(3) + kSecond + kExit},
      {{.ht_sheet = true}, kEntry + Sheet(2) + kSecond + kExit},
      {{true, true, true, true, true, true},
       kModeExit + kEntry + kTime + Sheet(0) + Sheet(1) + Sheet(2) + Sheet(3) + kSecond + kJobEnd + kExit},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Build(cases[i].pieces), cases[i].expected);
  }
  EXPECT_EQ(Build({}).size(), kRemotePacketMinBytes);
  EXPECT_EQ(Build({true, true, true, true, true, true}).size(), kRemotePacketMaxBytes);
  EXPECT_EQ(Build({.packet_mode_exit = true})[0], '\0');  // never ESC first
}

TEST(RemoteCommandPacketTest, EachPacketCarriesItsOwnTime) {
  const RemoteCommandPieces pieces{.time_commands = true};
  const std::string first = Build(pieces);
  const std::string second = Build(pieces, {1999, 1, 31, 0, 0, 59});
  EXPECT_EQ(first.substr(30, 12), kTime);
  EXPECT_EQ(second.substr(30, 12), std::string("TI\x08\0\0\x07\xCF\x01\x1F\0\0\x3B", 12));
  EXPECT_EQ(Build(pieces), first);  // the second build left no trace in the pieces
}

TEST(RemoteCommandPacketTest, ShortBufferWritesNothing) {
  const RemoteCommandPieces all{true, true, true, true, true, true};
  std::vector<uint8_t> out(kRemotePacketMaxBytes - 1, 0xEE);
  EXPECT_EQ(BuildRemoteCommandPacket(all, kEvening, out.data(), out.size()), 0u);
  EXPECT_EQ(out, std::vector<uint8_t>(kRemotePacketMaxBytes - 1, 0xEE));
  EXPECT_EQ(BuildRemoteCommandPacket(all, kEvening, nullptr, 1000), 0u);
}

}  // namespace
}  // namespace kalimu::dialogs
