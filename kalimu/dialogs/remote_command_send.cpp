#include "kalimu/dialogs/remote_command_send.h"

#include "kalimu/driver/raw_job_writer.h"
#include "kalimu/platform/global_block.h"

namespace kalimu::dialogs {

RemoteCommandPieces AskRemoteCommandPieces(settings::JobSettings& settings) {
  RemoteCommandPieces pieces;
  pieces.packet_mode_exit = settings.TestModelHeaderFlags20(0x20) != 0;
  pieces.time_commands = settings.TestModelHeaderFlags36(0x2000) != 0;
  pieces.channel_sheet = settings.GetInkCount() != 0;
  pieces.iwf_sheet = settings.TestModelHeaderFlags40(1) != 0;
  pieces.ht_sheet = settings.TestModelHeaderFlags40(2) != 0;
  pieces.rt_sheet = settings.TestModelHeaderFlags24(0x4000) != 0;
  return pieces;
}

void SendRemoteCommandPacket(const driver::PageParam* param, LocalTimeSource clock) {
  if (param == nullptr || param->settings == nullptr) return;
  settings::JobSettings& settings = *param->settings;
  const RemoteCommandPieces pieces = AskRemoteCommandPieces(settings);
  platform::GlobalBlock packet;
  if (!packet.Allocate(RemoteCommandPacketLength(pieces))) return;

  SYSTEMTIME now{};
  if (pieces.time_commands) clock(&now);
  const PacketTime time{now.wYear,
                        static_cast<uint8_t>(now.wMonth),
                        static_cast<uint8_t>(now.wDay),
                        static_cast<uint8_t>(now.wHour),
                        static_cast<uint8_t>(now.wMinute),
                        static_cast<uint8_t>(now.wSecond)};
  const size_t length = BuildRemoteCommandPacket(pieces, time, packet.data(), packet.size());
  if (length == 0) return;
  driver::RawJobWriter writer;
  driver::SendRawJob(&writer, settings.GetPrinterName(), packet.data(), length);
}

}  // namespace kalimu::dialogs
