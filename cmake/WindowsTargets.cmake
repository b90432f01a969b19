# vykcn.dll and the Windows tests, run under Wine by ctest.

# The native vykcn-tool, which makes the generated resources and test fixtures.
set(VYKCN_TOOL "" CACHE FILEPATH "Path of the native vykcn-tool")

# Static C++ runtime, libgcc and winpthread: the DLL imports Windows system DLLs only.
# No time stamp and no path hash in the PE header, so the same sources give the same bytes.
set(VYKCN_WINDOWS_LINK_OPTIONS -static -Wl,--no-insert-timestamp,--disable-auto-image-base)

# vykcn_add_module(TARGET RC_FILE OUTPUT_DIR): the module DLL, named vykcn.dll, with a given resource
# script. Beside it: vykcn.map, the link map (which archive members the link took), and
# vykcn.dll.debug, its debug information (ours and the static runtime's), for crash analysis. The
# module itself ships without debug sections; its .gnu_debuglink names the debug file and its CRC.
function(vykcn_add_module target rc_file output_dir)
  add_library(${target} SHARED ${PROJECT_SOURCE_DIR}/src/win32/dll_main.cpp
              ${PROJECT_SOURCE_DIR}/src/win32/vykcn.def ${rc_file})
  target_link_libraries(${target} PRIVATE vykcn_module)
  target_link_options(${target} PRIVATE ${VYKCN_WINDOWS_LINK_OPTIONS} "-Wl,-Map=${output_dir}/vykcn.map")
  # objcopy stamps the PE header with the time, or with SOURCE_DATE_EPOCH: 0, as the linker leaves it.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
            ${CMAKE_OBJCOPY} --only-keep-debug vykcn.dll vykcn.dll.debug
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
            ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=vykcn.dll.debug vykcn.dll
    WORKING_DIRECTORY ${output_dir}
    VERBATIM)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME vykcn
    RUNTIME_OUTPUT_DIRECTORY ${output_dir} ARCHIVE_OUTPUT_DIRECTORY ${output_dir})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources)
endfunction()

vykcn_add_module(vykcn ${PROJECT_SOURCE_DIR}/resources/vykcn.rc ${CMAKE_BINARY_DIR}/module)
include(${CMAKE_CURRENT_LIST_DIR}/ShippingResources.cmake)

add_subdirectory(tests/windows)

# The lookup benchmark, measured under Wine on a corpus written by its native build.
if(VYKCN_BENCH)
  add_executable(lookup_bench ${PROJECT_SOURCE_DIR}/bench/lookup_bench.cpp)
  target_link_libraries(lookup_bench PRIVATE vykcn_core)
  target_link_options(lookup_bench PRIVATE ${VYKCN_WINDOWS_LINK_OPTIONS})
endif()
