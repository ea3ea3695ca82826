# SPDX-License-Identifier: GPL-3.0-or-later
# The check's run of one fuzz target, the same on every run so that a change
# elsewhere never turns it red by chance:
#   cmake -DFUZZER=<program> -DSEEDS=<seed folder> -DWORK=<run folder> -DRUNS=<n> [-DSEED=<n>] -P RunFuzzer.cmake
# First every stored input of SEEDS is replayed once; then the fuzzer makes
# RUNS inputs of its own from a fresh copy of the seeds, with the fixed random
# seed SEED (default 1). What it adds to the copy stays in WORK/corpus, an
# input that breaks the target in WORK as crash-*, leak-* or timeout-*, for
# replaying: <program> WORK/crash-... Longer exploration is run by hand: see
# tests/fuzz/README.md.
foreach(required FUZZER SEEDS WORK RUNS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "RunFuzzer.cmake needs -D${required}=...")
  endif()
endforeach()
if(NOT DEFINED SEED)
  set(SEED 1)
endif()

file(GLOB seeds ${SEEDS}/*)
if(NOT seeds)
  message(FATAL_ERROR "no stored inputs in ${SEEDS}")
endif()
list(SORT seeds)

set(options -timeout=10 -rss_limit_mb=2048 -artifact_prefix=${WORK}/)

# The stored inputs, each once, as they are.
file(MAKE_DIRECTORY ${WORK})
execute_process(
  COMMAND ${FUZZER} ${options} ${seeds}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}) on a stored input of ${SEEDS}; what it printed above names it")
endif()

# A short run of fixed length and seed, from the seeds alone.
file(REMOVE_RECURSE ${WORK}/corpus)
file(MAKE_DIRECTORY ${WORK}/corpus)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} -seed=${SEED} -runs=${RUNS} ${options} -print_final_stats=1 ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}) with -seed=${SEED}; the input that broke it is in ${WORK}")
endif()
