// Sending the remote-command packet: the printer prints its adjustment sheet.
#pragma once

#include <windows.h>

#include "kalimu/dialogs/remote_command_packet.h"
#include "kalimu/driver/sheet_context.h"
#include "kalimu/settings/job_settings.h"

namespace kalimu::dialogs {

// Where the packet's time comes from: GetLocalTime unless a test sets the clock.
using LocalTimeSource = void(WINAPI*)(SYSTEMTIME* time);

// The model's answers that choose the packet's pieces.
RemoteCommandPieces AskRemoteCommandPieces(settings::JobSettings& settings);

// Builds the packet for the settings' model and sends it to their printer as one raw job. A
// failed allocation or send is silent: the caller goes on as after a sent packet.
void SendRemoteCommandPacket(const driver::PageParam* param, LocalTimeSource clock = GetLocalTime);

}  // namespace kalimu::dialogs
