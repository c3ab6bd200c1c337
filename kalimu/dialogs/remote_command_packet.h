// The remote-command packet that makes the printer print its adjustment sheet: fixed command
// pieces chosen by the model's capabilities, with the local time in its own copy of the time
// command. Plain computation: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kalimu::dialogs {

// The capability answers that choose the pieces, asked once per packet.
struct RemoteCommandPieces {
  bool packet_mode_exit = false;  // header word 20, flag 0x20: leave the packet mode first
  bool time_commands = false;     // header word 36, flag 0x2000: "TI" and "JE"
  bool channel_sheet = false;     // the model has adjustment channels: "AI" sheet 0
  bool iwf_sheet = false;         // header word 40, flag 1: "AI" sheet 1
  bool ht_sheet = false;          // header word 40, flag 2: "AI" sheet 2
  bool rt_sheet = false;          // header word 24, flag 0x4000: "AI" sheet 3
};

// Local time as the time command carries it.
struct PacketTime {
  uint16_t year = 0;
  uint8_t month = 0;  // 1-12
  uint8_t day = 0;
  uint8_t hour = 0;
  uint8_t minute = 0;
  uint8_t second = 0;
};

inline constexpr size_t kRemotePacketMinBytes = 60;
inline constexpr size_t kRemotePacketMaxBytes = 132;

// Bytes of the packet the pieces make: 60 to 132.
size_t RemoteCommandPacketLength(const RemoteCommandPieces& pieces);

// Writes the packet into out; answers its length, or 0 (nothing written) when capacity is short.
size_t BuildRemoteCommandPacket(const RemoteCommandPieces& pieces, const PacketTime& time, uint8_t* out,
                                size_t capacity);

}  // namespace kalimu::dialogs
