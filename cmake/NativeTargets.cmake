# Native (Linux) targets: the toolkit, the unit tests, benchmarks, fuzz targets.
add_subdirectory(tools)
add_subdirectory(tests/native)
if(VYKCN_BENCH)
  add_subdirectory(bench)
endif()
if(VYKCN_FUZZ)
  add_subdirectory(fuzz)
endif()

# Only src/win32 sees the platform: checked on every test run.
add_test(NAME ${VYKCN_TEST_PREFIX}layout.platform_headers_only_in_win32
         COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-layout.sh)
