# The ICC tag readers are plain computation: built and tested for the host too, and fuzzed.
set(HOST_SOURCES icc_tags.cpp)
set(HOST_TESTS icc_tags_test.cpp)
