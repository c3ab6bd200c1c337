# The model configuration file's reader is plain computation over the file's bytes: built and
# tested for the host too, and fuzzed (the file access stays in the Windows build).
set(HOST_SOURCES cfg_parser.cpp)
set(HOST_TESTS cfg_parser_bytes_test.cpp)
