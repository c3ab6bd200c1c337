# The remote-command packet and the exported-settings file format are plain computation over
# bytes: they build for the host too, where the file reader meets the fuzzer.
set(HOST_SOURCES
  remote_command_packet.cpp
  settings_export_file.cpp)
set(HOST_TESTS
  remote_command_packet_test.cpp
  settings_export_file_test.cpp)
