# Build helpers shared by both libraries: test programs per folder, Wine runs, locale runs,
# host sanitizer tests, fuzz targets and benchmarks.

# The Wine prefix prepared once per build tree (wineboot, null graphics driver) at the start of a
# test run; each Wine test runs in a copy of its own (scripts/wine-run.sh), so that the tests run
# side by side and none sees what another wrote into its registry, users' or spooler folders.
set(WINE_PREFIX_DIR ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_TEST_PREFIXES_DIR ${CMAKE_BINARY_DIR}/wineprefixes)
set(WINE_TEST_ENV "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")

# The prepared prefix, made (or refreshed) once per test run before any Wine test.
function(add_wine_prefix_fixture)
  add_test(NAME wine_prefix COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh ${WINE_PREFIX_DIR})
  # Every Wine test waits for it: it starts first.
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 COST 1000)
endfunction()

# The long test entries: seconds one run (its longest shard, when split) takes on one core of a
# quiet machine, and how many shards it is split into. The seconds are each CTest entry's COST:
# the longest start first, so that the run's tail is short. Each shard is a CTest entry of its
# own, <entry>.shard<i>of<n>, running every n-th test of the program (GoogleTest's
# GTEST_TOTAL_SHARDS and GTEST_SHARD_INDEX), so that no entry runs much longer than a fuzz target
# (the few heavy cases of a suite decide how far splitting helps). Entries not listed take a few
# seconds and run whole. Measure again after a suite grows much
# (ctest --test-dir build -R <entry> -V prints each case's time).
set(LONG_TEST_ENTRIES
  # entry                                  seconds shards
  "tonvar_host_multi_level_tests             45 6"
  "tonvar_host_multi_level_tests.scalar      50 7"
  "tonvar_host_multi_level_tests.sse2        45 7"
  "tonvar_host_grey_input_tests              27 3"
  "tonvar_host_grey_input_tests.scalar       30 3"
  "tonvar_host_grey_input_tests.sse2         27 3"
  "kalimu_pages_tests                        45 1"
  "kalimu_pages_tests.en_US.UTF-8            45 1"
  "kalimu_pages_tests.de_DE.UTF-8            45 1"
  "kalimu_pages_tests.ja_JP.UTF-8            45 1"
  "kalimu_driver_tests                       34 1"
  "kalimu_dialogs_tests                      32 2"
  "kalimu_dialogs_tests.en_US.UTF-8          30 2"
  "kalimu_dialogs_tests.de_DE.UTF-8          30 2"
  "kalimu_dialogs_tests.ja_JP.UTF-8          30 2"
  "tonvar_multi_level_tests                  25 1"
  "tonvar_multi_level_tests.scalar           20 1"
  "tonvar_multi_level_tests.sse2             20 1"
  "tonvar_grey_input_tests                   19 1"
  "tonvar_grey_input_tests.scalar            15 1"
  "tonvar_grey_input_tests.sse2              14 1"
  "tonvar_dll_tests                          15 1"
  "tonvar_dll_tests.scalar                   14 1"
  "tonvar_dll_tests.sse2                     14 1"
  "kalimu_settings_tests                     14 1"
  "kalimu_settings_tests.en_US.UTF-8         14 1"
  "kalimu_settings_tests.de_DE.UTF-8         14 1"
  "kalimu_settings_tests.ja_JP.UTF-8         14 1"
  "kalimu_status_tests                       12 1"
  "kalimu_driver_tests.compstui              10 1"
  "kalimu_watermark_tests                     9 1"
  "kalimu_watermark_tests.en_US.UTF-8         9 1"
  "kalimu_watermark_tests.de_DE.UTF-8         9 1"
  "kalimu_watermark_tests.ja_JP.UTF-8         9 1"
  "kalimu_model_tests                         7 1"
  "kalimu_model_tests.en_US.UTF-8             7 1"
  "kalimu_model_tests.de_DE.UTF-8             7 1"
  "kalimu_model_tests.ja_JP.UTF-8             7 1"
  "kalimu_storage_tests                       7 1"
  "kalimu_storage_tests.en_US.UTF-8           7 1"
  "kalimu_storage_tests.de_DE.UTF-8           7 1"
  "kalimu_storage_tests.ja_JP.UTF-8           7 1"
  "tonvar_host_colour_tests                   7 1"
  "tonvar_colour_tests                        6 1")

# The seconds and shards of entry `name` (3 and 1 when it is not listed).
function(long_test_entry name seconds_var shards_var)
  set(seconds 3)
  set(shards 1)
  foreach(row IN LISTS LONG_TEST_ENTRIES)
    string(REGEX MATCHALL "[^ ]+" fields "${row}")
    list(GET fields 0 entry)
    if(entry STREQUAL name)
      list(GET fields 1 seconds)
      list(GET fields 2 shards)
      break()
    endif()
  endforeach()
  set(${seconds_var} ${seconds} PARENT_SCOPE)
  set(${shards_var} ${shards} PARENT_SCOPE)
endfunction()

# Splits the test arguments in the list variable list_var into what follows the keyword ARGS
# (the program's arguments: <prefix>_args) and the rest (environment entries: <prefix>_env); ENV
# returns to environment entries. A semicolon escaped in an entry stays in the entry.
function(split_test_arguments prefix list_var)
  set(args "")
  set(env "")
  set(kind env)
  foreach(item IN LISTS ${list_var})
    if(item STREQUAL "ARGS")
      set(kind args)
    elseif(item STREQUAL "ENV")
      set(kind env)
    else()
      string(REPLACE ";" "\\;" item "${item}")
      list(APPEND ${kind} "${item}")
    endif()
  endforeach()
  set(${prefix}_args "${args}" PARENT_SCOPE)
  set(${prefix}_env "${env}" PARENT_SCOPE)
endfunction()

# Registers entry `name` running `program` with the arguments in the list variable args_var, split
# as LONG_TEST_ENTRIES says, each shard with the environment in the list variable env_var, where
# <entry> stands for the shard's own CTest name. Returns the CTest names in out_var.
function(add_test_entry out_var name program args_var env_var)
  long_test_entry(${name} seconds shards)
  set(names "")
  if(shards GREATER 1)
    math(EXPR last "${shards} - 1")
    foreach(index RANGE ${last})
      math(EXPR number "${index} + 1")
      list(APPEND names ${name}.shard${number}of${shards})
    endforeach()
  else()
    set(names ${name})
  endif()
  set(index 0)
  foreach(test IN LISTS names)
    string(REPLACE "<entry>" "${test}" test_env "${${env_var}}")
    if(shards GREATER 1)
      string(APPEND test_env ";GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index}")
    endif()
    add_test(NAME ${test} COMMAND ${program} ${${args_var}})
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${test_env}" COST ${seconds} TIMEOUT 900)
    math(EXPR index "${index} + 1")
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# Registers a Windows test program with CTest:
#   add_wine_test(name program [env...] [ARGS arg...] [ENV env...])
# with the program's arguments after ARGS and environment entries (VAR=value) elsewhere. The run
# (each shard of it) has a Wine prefix of its own, wineprefixes/<CTest name>, copied from the
# prepared one by scripts/wine-run.sh.
function(add_wine_test name program)
  set(arguments "${ARGN}")
  split_test_arguments(wine arguments)
  set(env ${WINE_TEST_ENV})
  if(wine_env)
    list(APPEND env "${wine_env}")
  endif()
  list(APPEND env "WINEPREFIX=${WINE_TEST_PREFIXES_DIR}/<entry>" "WINE_PREFIX_TEMPLATE=${WINE_PREFIX_DIR}")
  add_test_entry(names ${name} ${program} wine_args env)
  set_tests_properties(${names} PROPERTIES FIXTURES_REQUIRED wine)
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

set(HOST_TEST_ENV "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# Registers a sanitized host test program with CTest:
#   add_host_test(program [NAME name] [ARGS arg...] [ENV env...])
# the CTest name is the program's unless NAME gives another.
function(add_host_test program)
  set(name ${program})
  set(rest "${ARGN}")
  list(FIND rest NAME at)
  if(at GREATER -1)
    math(EXPR value_at "${at} + 1")
    list(GET rest ${value_at} name)
    list(REMOVE_AT rest ${value_at} ${at})
  endif()
  split_test_arguments(host rest)
  set(env ${HOST_TEST_ENV})
  if(host_env)
    list(APPEND env "${host_env}")
  endif()
  add_test_entry(names ${name} ${program} host_args env)
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
    set_tests_properties(${fuzz_name} PROPERTIES TIMEOUT 600 LABELS fuzz COST ${FUZZ_SECONDS})
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
