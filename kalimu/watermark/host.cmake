# The bitmap parser, colour work, geometry, file names and file layouts are plain C++ over
# bytes: the host build runs their tests under the sanitizers and fuzzes the parser.
set(HOST_SOURCES dib_format.cpp dib_colours.cpp watermark_geometry.cpp watermark_paths.cpp watermark_file_layout.cpp
    preview_geometry.cpp pointer_geometry.cpp)
set(HOST_TESTS dib_format_test.cpp dib_colours_test.cpp watermark_geometry_test.cpp watermark_paths_test.cpp
    watermark_file_layout_test.cpp preview_geometry_test.cpp pointer_geometry_test.cpp)
