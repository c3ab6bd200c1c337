# The user-settings file's reader is plain computation over the file's bytes: built and tested
# for the host too, and fuzzed (the file access stays in the Windows build).
set(HOST_SOURCES ucf_image.cpp)
set(HOST_TESTS ucf_image_test.cpp)
