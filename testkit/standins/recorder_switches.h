// How a test steers the recorder stand-in (recorder_standin.cpp), a program that stands for any
// helper program of the printer package: it is copied under the helper's file name, and every
// file it uses is named after that file name's stem (the name without its extension).
//
//   kRecordDirVar          folder of the records; unset: the program ends at once, recording nothing
//   <dir>\<stem>.log       one line per start, appended: "<show>\t<command line>\n", where <show> is
//                          wShowWindow of the start-up information, or -1 without STARTF_USESHOWWINDOW,
//                          and the command line is GetCommandLineA byte for byte
//   <dir>\<stem>.hold      while this file exists the started program waits (at most kHoldLimitMs)
//   <dir>\<stem>.exit      decimal exit code (default 0)
//   <dir>\<stem>.end       one '.' appended per start when the program ends
//   <dir>\<stem>.calls     the installer library stand-in (installer_standin.cpp): one line per call,
//                          the function's name and its text arguments parted by tabs
#pragma once

namespace testkit {

inline constexpr char kRecordDirVar[] = "KVT_RECORD_DIR";
inline constexpr char kRecordLogExt[] = ".log";
inline constexpr char kRecordHoldExt[] = ".hold";
inline constexpr char kRecordExitExt[] = ".exit";
inline constexpr char kRecordEndExt[] = ".end";
inline constexpr char kRecordCallsExt[] = ".calls";
inline constexpr unsigned kHoldLimitMs = 60000;  // an abandoned hold never keeps a program alive longer

}  // namespace testkit
