# Native build: the core with fakes, GoogleTest, benchmarks and fuzz targets.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

# Fakes of the platform interfaces, shared by tests, benchmarks and fuzz targets.
file(GLOB KESTROVA_FAKE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp)
add_library(kestrova_fakes STATIC ${KESTROVA_FAKE_SOURCES})
target_include_directories(kestrova_fakes PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kestrova_fakes PUBLIC kestrova_core)

file(GLOB KESTROVA_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp
     ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
# The fuzz build instruments the core for libFuzzer; the unit tests run in the other presets.
if(NOT KESTROVA_FUZZ)
  add_executable(kestrova_tests ${KESTROVA_NATIVE_TESTS})
  target_include_directories(kestrova_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  # The program's own Shift-JIS files, which the form detection must never take for UTF-8.
  target_compile_definitions(kestrova_tests PRIVATE KESTROVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(kestrova_tests PRIVATE kestrova_fakes GTest::gtest GTest::gtest_main Threads::Threads)
  add_test(NAME native COMMAND kestrova_tests)
endif()

file(GLOB KESTROVA_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(KESTROVA_BENCH_SOURCES AND KESTROVA_BENCH AND NOT KESTROVA_SANITIZE AND NOT KESTROVA_FUZZ)
  find_package(benchmark REQUIRED)
  add_executable(kestrova_bench ${KESTROVA_BENCH_SOURCES})
  target_include_directories(kestrova_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(kestrova_bench PRIVATE kestrova_fakes benchmark::benchmark benchmark::benchmark_main Threads::Threads)
endif()

if(KESTROVA_FUZZ)
  file(GLOB KESTROVA_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
  foreach(src ${KESTROVA_FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE kestrova_fakes)
    # A short run over the committed seeds; long runs are done by hand.
    set(corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
    # New inputs go to the build tree, never into the committed seeds.
    set(work ${CMAKE_BINARY_DIR}/fuzz-work/${name})
    add_test(NAME ${name}
      COMMAND sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${name}>' -max_total_time=8 -rss_limit_mb=1024 -artifact_prefix='${CMAKE_BINARY_DIR}/' '${work}' '${corpus}'")
  endforeach()
  # fuzzing instrumentation must reach the core as well
  target_compile_options(kestrova_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  target_compile_options(kestrova_fakes PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endif()
