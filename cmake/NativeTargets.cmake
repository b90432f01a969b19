# Native (Linux) targets: the toolkit, the unit tests, benchmarks, fuzz targets.
add_subdirectory(tools)
add_subdirectory(tests/native)
if(VYKCN_BENCH)
  add_subdirectory(bench)
endif()
if(VYKCN_FUZZ)
  add_subdirectory(fuzz)
endif()
