#include "kalimu/dialogs/remote_command_packet.h"

#include <array>
#include <cstring>
#include <span>

namespace kalimu::dialogs {
namespace {

// The fixed pieces, constant: each packet writes its time into its own copy of the time command.
constexpr uint8_t kPacketModeExit[] = {0x00, 0x00, 0x00, 0x1B, 0x01, '@', 'Q', 'K', 'X', ' ', '1', '2', '8', '4',
                                       '.',  '4',  0x0A, '@',  'Q',  'K', 'X', ' ', ' ', ' ', ' ', ' ', 0x0A};
constexpr uint8_t kRemoteEntry[] = {0x1B, 0x40, 0x1B, 0x40, 'P', 'r', 'i', 'n', 't', 'e', 'r', ' ', 'I', 'D', 0x0D,
                                    0x0A, 0x00, 0x1B, 0x28, 'R', 0x08, 0x00, 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1'};
constexpr uint8_t kTimeCommand[] = {'T', 'I', 0x08, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kAdjustmentPrint[] = {'A', 'I', 0x03, 0x00, 0x00, 0x00, 0x00};  // last byte: sheet
constexpr uint8_t kSecondEntry[] = {0x1B, 0x00, 0x00, 0x00, 0x0C, 0x1B, 0x40, 0x1B, 0x40, 0x1B, 0x28, 'R', 0x08,
                                    0x00, 0x00, 'R',  'E',  'M',  'O',  'T',  'E',  '1',  'L',  'D',  0x00, 0x00};
constexpr uint8_t kJobEnd[] = {'J', 'E', 0x01, 0x00, 0x00};
constexpr uint8_t kRemoteExit[] = {0x1B, 0x00, 0x00, 0x00};

static_assert(sizeof(kPacketModeExit) == 27 && sizeof(kRemoteEntry) == 30 && sizeof(kTimeCommand) == 12);
static_assert(sizeof(kAdjustmentPrint) == 7 && sizeof(kSecondEntry) == 26 && sizeof(kJobEnd) == 5);
static_assert(sizeof(kRemoteExit) == 4);
static_assert(sizeof(kRemoteEntry) + sizeof(kSecondEntry) + sizeof(kRemoteExit) == kRemotePacketMinBytes);
static_assert(kRemotePacketMinBytes + sizeof(kPacketModeExit) + sizeof(kTimeCommand) + sizeof(kJobEnd) +
                  4 * sizeof(kAdjustmentPrint) ==
              kRemotePacketMaxBytes);

// The piece list of one packet, decided once and used both to size and to write it.
struct PieceList {
  std::array<std::span<const uint8_t>, 11> pieces;
  std::array<uint8_t, sizeof(kTimeCommand)> time_command;
  std::array<uint8_t, 4 * sizeof(kAdjustmentPrint)> sheets;
  size_t count = 0;
  size_t length = 0;

  void Add(std::span<const uint8_t> piece) {
    pieces[count++] = piece;
    length += piece.size();
  }
};

void DecidePieces(const RemoteCommandPieces& flags, const PacketTime& time, PieceList* list) {
  if (flags.packet_mode_exit) list->Add(kPacketModeExit);
  list->Add(kRemoteEntry);
  if (flags.time_commands) {
    std::memcpy(list->time_command.data(), kTimeCommand, sizeof(kTimeCommand));
    list->time_command[5] = static_cast<uint8_t>(time.year >> 8);
    list->time_command[6] = static_cast<uint8_t>(time.year & 0xFF);
    list->time_command[7] = time.month;
    list->time_command[8] = time.day;
    list->time_command[9] = time.hour;
    list->time_command[10] = time.minute;
    list->time_command[11] = time.second;
    list->Add(list->time_command);
  }
  const bool sheets[4] = {flags.channel_sheet, flags.iwf_sheet, flags.ht_sheet, flags.rt_sheet};
  for (uint8_t sheet = 0; sheet < 4; ++sheet) {
    if (!sheets[sheet]) continue;
    uint8_t* command = list->sheets.data() + sheet * sizeof(kAdjustmentPrint);
    std::memcpy(command, kAdjustmentPrint, sizeof(kAdjustmentPrint));
    command[sizeof(kAdjustmentPrint) - 1] = sheet;
    list->Add({command, sizeof(kAdjustmentPrint)});
  }
  list->Add(kSecondEntry);
  if (flags.time_commands) list->Add(kJobEnd);
  list->Add(kRemoteExit);
}

}  // namespace

size_t RemoteCommandPacketLength(const RemoteCommandPieces& pieces) {
  PieceList list;
  DecidePieces(pieces, PacketTime{}, &list);
  return list.length;
}

size_t BuildRemoteCommandPacket(const RemoteCommandPieces& pieces, const PacketTime& time, uint8_t* out,
                                size_t capacity) {
  PieceList list;
  DecidePieces(pieces, time, &list);
  if (out == nullptr || capacity < list.length) return 0;
  size_t at = 0;
  for (size_t i = 0; i < list.count; ++i) {
    std::memcpy(out + at, list.pieces[i].data(), list.pieces[i].size());
    at += list.pieces[i].size();
  }
  return at;
}

}  // namespace kalimu::dialogs
