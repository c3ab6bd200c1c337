# The remote-command packet, the exported-settings file format, the printer adjustment rules and
# the advanced settings dialog's rules are plain computation: they build for the host too, where
# the file reader meets the fuzzer.
set(HOST_SOURCES
  advanced_settings_rules.cpp
  printer_adjust_rules.cpp
  remote_command_packet.cpp
  settings_export_file.cpp)
set(HOST_TESTS
  advanced_settings_rules_test.cpp
  printer_adjust_rules_test.cpp
  remote_command_packet_test.cpp
  settings_export_file_test.cpp)
