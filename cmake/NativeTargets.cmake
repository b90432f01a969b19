# Native (Linux) targets: the toolkit, the unit tests, benchmarks.
add_subdirectory(tools)
add_subdirectory(tests/native)
if(VYKCN_BENCH)
  add_subdirectory(bench)
endif()
