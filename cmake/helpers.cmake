# Build helpers shared by both libraries: test programs per folder, Wine runs, locale runs,
# host sanitizer tests, fuzz targets and benchmarks.

set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_TEST_ENV "WINEPREFIX=${WINE_PREFIX_DIR}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")

# One Wine prefix per build tree, made (or refreshed) once per test run before any Wine test.
function(add_wine_prefix_fixture)
  add_test(NAME wine_prefix COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh ${WINE_PREFIX_DIR})
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
endfunction()

# Registers a Windows test program with CTest; extra arguments are environment entries.
function(add_wine_test name program)
  add_test(NAME ${name} COMMAND ${program})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    ENVIRONMENT "${WINE_TEST_ENV};${ARGN}"
    TIMEOUT 900)
endfunction()

# Runs an already registered test program again under each of the given locales
# (LC_ALL values such as de_DE.UTF-8); the runs are named <program>.<locale>.
function(add_locale_runs program)
  foreach(locale IN LISTS ARGN)
    add_wine_test(${program}.${locale} ${program} "LC_ALL=${locale}" "LANG=${locale}")
  endforeach()
endfunction()

# Every *_test.cpp of a folder forms one GoogleTest program named <prefix>_<folder>_tests.
# Returns the program name (empty when the folder has no tests) in out_var.
function(add_folder_test_program out_var prefix folder)
  string(REPLACE "/" "_" folder_name ${folder})
  set(program ${prefix}_${folder_name})
  if(NOT program MATCHES "_tests$")
    string(APPEND program _tests)
  endif()
  add_test_program(program ${program} ${CMAKE_CURRENT_SOURCE_DIR}/${folder} ${ARGN})
  set(${out_var} ${program} PARENT_SCOPE)
endfunction()

# Every *_test.cpp of directory forms the GoogleTest program name, linked with the libraries in
# ARGN. Returns name (empty when the directory has no tests) in out_var.
function(add_test_program out_var name directory)
  file(GLOB test_sources CONFIGURE_DEPENDS ${directory}/*_test.cpp)
  set(${out_var} "" PARENT_SCOPE)
  if(NOT test_sources)
    return()
  endif()
  add_executable(${name} ${test_sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gmock GTest::gtest_main)
  set(${out_var} ${name} PARENT_SCOPE)
endfunction()

# As add_test_program, and registers the program as a Wine test of the same name.
function(add_wine_test_program out_var name directory)
  add_test_program(program ${name} ${directory} ${ARGN})
  if(program)
    add_wine_test(${program} ${program})
  endif()
  set(${out_var} ${program} PARENT_SCOPE)
endfunction()

# Tests that read or change the user's files or the machine's driver keys and printers of the
# one Wine prefix never run at the same time.
function(share_machine_state)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK machine_state)
endfunction()

# Lists the product sources of a library: every .cpp below root except tests, fuzz targets,
# benchmarks, screenshot programs and the folders named in ARGN (relative to root).
function(collect_product_sources out_var root)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${root}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_(test|fuzz|bench|screenshots)\\.cpp$")
  foreach(excluded IN LISTS ARGN)
    list(FILTER sources EXCLUDE REGEX "^${root}/${excluded}/")
  endforeach()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

# ---- Host build (clang): sanitizers, fuzz targets and benchmarks --------------------------------

set(HOST_SAN_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
set(HOST_FUZZ_INSTRUMENT "")
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(HOST_FUZZ_INSTRUMENT -fsanitize=fuzzer-no-link)
endif()
set(FUZZ_SECONDS 60 CACHE STRING "Seconds each fuzz target runs under CTest")
set(FUZZ_SEEDS_DIR ${CMAKE_SOURCE_DIR}/testkit/fuzz_seeds)

# Gives a host library the sanitizers (and the fuzzers' coverage instrumentation), so that unit
# tests and fuzz targets link checked code.
function(make_host_checked target)
  target_compile_options(${target} PUBLIC -O1 -g ${HOST_SAN_FLAGS} ${HOST_FUZZ_INSTRUMENT})
  target_link_options(${target} PUBLIC ${HOST_SAN_FLAGS})
endfunction()

# Registers a sanitized host test program with CTest.
function(add_host_test program)
  add_test(NAME ${program} COMMAND ${program})
  set_tests_properties(${program} PROPERTIES TIMEOUT 900
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()

# Each source in `sources` (a list) is a libFuzzer program linked with ARGN, run by CTest for
# FUZZ_SECONDS. The malloc limit sits just above the largest resource the engines accept
# (256 MiB): any larger single allocation is a finding. The run starts from the committed seeds
# of testkit/fuzz_seeds/<target> (made by the test kit's generators, see make_fuzz_seeds) and
# writes what it finds into the build tree's corpus folder only.
function(add_fuzz_targets sources)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  foreach(src IN LISTS sources)
    get_filename_component(fuzz_name ${src} NAME_WE)
    add_executable(${fuzz_name} ${src})
    target_link_libraries(${fuzz_name} PRIVATE ${ARGN})
    target_link_options(${fuzz_name} PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_BINARY_DIR}/fuzz-corpus/${fuzz_name})
    file(MAKE_DIRECTORY ${corpus})
    set(seeds ${FUZZ_SEEDS_DIR}/${fuzz_name})
    if(NOT IS_DIRECTORY ${seeds})
      set(seeds "")
    endif()
    add_test(NAME ${fuzz_name} COMMAND ${fuzz_name} -max_total_time=${FUZZ_SECONDS}
             -rss_limit_mb=2048 -malloc_limit_mb=257 -print_final_stats=1 ${corpus} ${seeds})
    set_tests_properties(${fuzz_name} PROPERTIES TIMEOUT 600 LABELS fuzz)
  endforeach()
endfunction()

# Each source in `sources` (a list) is a Google Benchmark program (-O2, no sanitizers) linked
# with ARGN; benchmarks are built, never run by the tests. zlib is there for comparisons.
function(add_benchmarks sources)
  find_package(benchmark QUIET)
  find_package(ZLIB QUIET)
  if(NOT benchmark_FOUND)
    return()
  endif()
  foreach(src IN LISTS sources)
    get_filename_component(bench_name ${src} NAME_WE)
    add_executable(${bench_name} ${src})
    target_compile_options(${bench_name} PRIVATE -O2)
    target_link_libraries(${bench_name} PRIVATE ${ARGN} benchmark::benchmark)
    if(ZLIB_FOUND)
      target_link_libraries(${bench_name} PRIVATE ZLIB::ZLIB)
      target_compile_definitions(${bench_name} PRIVATE HAVE_ZLIB=1)
    endif()
  endforeach()
endfunction()
