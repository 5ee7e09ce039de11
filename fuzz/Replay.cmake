# Test builds (gcc or clang, plain or with sanitizers) cannot run libFuzzer,
# so each fuzz target is also built as a replay program: the same
# LLVMFuzzerTestOneInput with ReplayMain.cpp, which runs every seed in
# fuzz/corpus/<name> and every regression file in tests/hostile/regressions/<name>,
# then mutations of them for a few seconds. Each is one test, fuzz_replay.<name>.
# Included from the tests; skipped in fuzz builds, which have the real thing.
if(PDFIMPORT_FUZZ)
  return()
endif()

set(PDFIMPORT_FUZZ_REPLAY_SECONDS 3 CACHE STRING "Seconds of seeded mutations per fuzz replay test")

function(pdfimport_fuzz name)
  add_executable(${name} ${PROJECT_SOURCE_DIR}/fuzz/${name}.cpp ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARGN})
  add_test(NAME fuzz_replay.${name}
    COMMAND ${name} -seconds=${PDFIMPORT_FUZZ_REPLAY_SECONDS}
      ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name} ${PROJECT_SOURCE_DIR}/tests/hostile/regressions/${name})
  set_tests_properties(fuzz_replay.${name} PROPERTIES ENVIRONMENT "PDFIMPORT_UI=offscreen" TIMEOUT 120)
endfunction()

include(${PROJECT_SOURCE_DIR}/fuzz/Targets.cmake)
