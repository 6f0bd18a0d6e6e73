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
# intercept_tls_get_addr=0: GCC 12's sanitizer runtime takes a dynamic TLS
# block that malloc placed 16 bytes into a page for a glibc 2.19 block, reads
# the 16 bytes before it (the allocator's chunk header) as that block's start
# and size, and LeakSanitizer's tracer then scans that garbage range and dies
# at exit ("Tracer caught signal 11") although the test passed. The blocks
# stay reachable through the thread's DTV, so the leak check loses nothing.
# The tracer has a second, rarer crash at exit that no option avoids; the
# script each test program runs through runs it once more then.
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
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;QT_QPA_PLATFORM=xcb;LIBGL_ALWAYS_SOFTWARE=1")
  endforeach()
endfunction()

# Benchmarks are built by every preset and never run as tests.
function(zelvo_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "LIBS;SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  zelvo_warnings(${name})
endfunction()
