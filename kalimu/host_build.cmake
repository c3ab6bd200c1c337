# Kalimu's plain-computation code (picture engines, reply parsers: no Windows headers) also
# builds for the host, where its tests run under the sanitizers and its parsers under libFuzzer.
# A folder that has such code says which in a file host.cmake of its own:
#   set(HOST_SOURCES engine.cpp tables.cpp)   # product sources, compiled into Kalimu.dll too
#   set(HOST_TESTS engine_test.cpp)           # GoogleTest sources, run in both builds
# and every *_fuzz.cpp / *_bench.cpp of such a folder is a fuzz target / benchmark.
# Host test programs are named kalimu_host_<folder>_tests.

file(GLOB host_lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/host.cmake)
set(kalimu_host_sources "")
set(kalimu_host_folders "")
foreach(host_list IN LISTS host_lists)
  get_filename_component(dir ${host_list} DIRECTORY)
  get_filename_component(folder ${dir} NAME)
  set(HOST_SOURCES "")
  set(HOST_TESTS "")
  include(${host_list})
  list(TRANSFORM HOST_SOURCES PREPEND ${dir}/)
  list(TRANSFORM HOST_TESTS PREPEND ${dir}/)
  list(APPEND kalimu_host_sources ${HOST_SOURCES})
  set(kalimu_host_tests_${folder} ${HOST_TESTS})
  list(APPEND kalimu_host_folders ${folder})
endforeach()
if(NOT kalimu_host_sources)
  return()
endif()
list(APPEND kalimu_host_sources ${MATHS_SOURCES})

add_library(kalimu_checked STATIC ${kalimu_host_sources})
target_include_directories(kalimu_checked PUBLIC ${CMAKE_SOURCE_DIR})
make_host_checked(kalimu_checked)

# Host test kit pieces, when a test-kit folder defines them for the host (testkit_<folder>).
foreach(folder IN LISTS kalimu_host_folders)
  set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${folder})
  set(kit "")
  if(TARGET testkit_${folder})
    set(kit testkit_${folder})
  endif()
  if(kalimu_host_tests_${folder})
    set(program kalimu_host_${folder}_tests)
    add_executable(${program} ${kalimu_host_tests_${folder}})
    target_link_libraries(${program} PRIVATE ${kit} kalimu_checked GTest::gmock GTest::gtest_main)
    add_host_test(${program})
  endif()
  file(GLOB fuzz_sources CONFIGURE_DEPENDS ${dir}/*_fuzz.cpp)
  add_fuzz_targets("${fuzz_sources}" ${kit} kalimu_checked)
  file(GLOB bench_sources CONFIGURE_DEPENDS ${dir}/*_bench.cpp)
  if(bench_sources)
    if(NOT TARGET kalimu_opt)
      add_library(kalimu_opt STATIC ${kalimu_host_sources})
      target_include_directories(kalimu_opt PUBLIC ${CMAKE_SOURCE_DIR})
      target_compile_options(kalimu_opt PUBLIC -O2)
    endif()
    add_benchmarks("${bench_sources}" ${kit} kalimu_opt)
  endif()
endforeach()
