# Warnings are errors for our own code only; third-party headers come in as
# system includes and stay quiet.
function(zelvo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()

# Every *_test.cpp in the calling folder becomes its own test program, so a
# broken test file cannot stop the others from building. Test discovery runs
# at test time, under the display the test command provides.
#   zelvo_add_tests(PREFIX osc LIBS zelvo_osc [SOURCES extra.cpp ...])
#
# LeakSanitizer's tracer in GCC 12's runtime dies at exit ("Tracer caught
# signal 11") although the tests passed, when a thread's TLS range it scans is
# garbage: a dynamic TLS block that malloc placed 16 bytes into a page is
# taken for a glibc 2.19 block (intercept_tls_get_addr=0 stops that guess),
# and in a rarer case a range starting a few KiB above address 0 (seen twice
# in a row for one test, so not a race a second run gets past). use_tls=0
# scans no TLS at all; the only memory held from TLS alone in our tests is
# the C library's and the dynamic linker's own, suppressed in
# tests/lsan.supp. The script each test program runs through still runs it
# once more after such a crash.
function(zelvo_add_tests)
  cmake_parse_arguments(ARG "" "PREFIX" "LIBS;SOURCES" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src IN LISTS tests)
    get_filename_component(name ${src} NAME_WE)
    set(exe ${ARG_PREFIX}_${name})
    add_executable(${exe} ${src} ${ARG_SOURCES})
    target_link_libraries(${exe} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    target_include_directories(${exe} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    zelvo_warnings(${exe})
    set_target_properties(${exe} PROPERTIES
      CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/rerun-after-tracer-crash.sh)
    gtest_discover_tests(${exe}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0:use_tls=0;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;QT_QPA_PLATFORM=xcb;LIBGL_ALWAYS_SOFTWARE=1")
  endforeach()
endfunction()

# Benchmarks are built by every preset and never run as tests.
function(zelvo_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  zelvo_warnings(${name})
endfunction()
