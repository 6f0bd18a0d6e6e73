# Runs a fuzz target for a bounded time on a fresh copy of its seed corpus and
# fails on any crash, leak or sanitizer report (libFuzzer exits non-zero).
#   cmake -DFUZZER=<binary> -DSEEDS=<dir> -DWORK=<dir> -DSECONDS=<n> -P RunFuzzer.cmake
if(NOT EXISTS "${FUZZER}")
  message(FATAL_ERROR "Fuzz target ${FUZZER} is missing: build the fuzz preset first")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(GLOB seeds "${SEEDS}/seed*")
if(seeds)
  file(COPY ${seeds} DESTINATION "${WORK}/corpus")
endif()
execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -max_len=12000 -timeout=10 -rss_limit_mb=2048
          -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/ "${WORK}/corpus"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (exit ${rc}); reproducers are in ${WORK}/artifacts")
endif()
