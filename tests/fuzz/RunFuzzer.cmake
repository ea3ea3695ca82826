# Runs one fuzz target for a bounded time:
#   cmake -DFUZZER=<program> -DSEEDS=<seed folder> -DWORK=<run folder> -DSECONDS=<n> -P RunFuzzer.cmake
# The seeds are copied into WORK/corpus, where the corpus then grows from run
# to run; an input that breaks the target is kept as WORK/crash-*, leak-* or
# timeout-* for replaying: <program> WORK/crash-...
foreach(required FUZZER SEEDS WORK SECONDS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "RunFuzzer.cmake needs -D${required}=...")
  endif()
endforeach()

file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)

execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
          -artifact_prefix=${WORK}/ -print_final_stats=1 ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input that broke it is in ${WORK}")
endif()
