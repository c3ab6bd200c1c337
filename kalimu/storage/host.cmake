# The user-settings file's reader and the watermark-list file's header check are plain
# computation over the files' bytes: built and tested for the host too, and fuzzed (the file
# access stays in the Windows build).
set(HOST_SOURCES ucf_image.cpp watermark_list_header.cpp)
set(HOST_TESTS ucf_image_test.cpp watermark_list_header_test.cpp)
