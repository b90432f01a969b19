# vykcn.dll and the Windows tests, run under Wine by ctest.

# The native vykcn-tool, which makes the generated resources and test fixtures.
set(VYKCN_TOOL "" CACHE FILEPATH "Path of the native vykcn-tool")

# Static C++ runtime, libgcc and winpthread: the DLL imports Windows system DLLs only.
# No time stamp and no path hash in the PE header, so the same sources give the same bytes.
set(VYKCN_WINDOWS_LINK_OPTIONS -static -Wl,--no-insert-timestamp,--disable-auto-image-base)

# vykcn_add_module(TARGET RC_FILE OUTPUT_DIR [TEST_BUILD]): the module DLL, named vykcn.dll, with a
# given resource script. Beside it: vykcn.map, the link map (which archive members the link took), and
# vykcn.dll.debug, its debug information (ours and the static runtime's), for crash analysis. The
# module itself ships without debug sections; its .gnu_debuglink names the debug file and its CRC.
# TEST_BUILD makes the test build: its own library entry and module code, which serve live
# translations, read the keys, and record the texts that pass through the module (src/capture,
# src/live, src/win32/test_build_*).
function(vykcn_add_module target rc_file output_dir)
  set(entry ${PROJECT_SOURCE_DIR}/src/win32/dll_main.cpp)
  set(code vykcn_module)
  if("TEST_BUILD" IN_LIST ARGN)
    set(entry ${PROJECT_SOURCE_DIR}/src/win32/test_build_dll_main.cpp)
    set(code vykcn_test_build_module)
  endif()
  add_library(${target} SHARED ${entry} ${PROJECT_SOURCE_DIR}/src/win32/vykcn.def ${rc_file})
  target_link_libraries(${target} PRIVATE ${code})
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

include(${CMAKE_CURRENT_LIST_DIR}/ShippingResources.cmake)
# The shipping module (build/windows/module/vykcn.dll): its code linked bare, then make's set put in.
vykcn_add_module(vykcn_bare ${PROJECT_SOURCE_DIR}/resources/vykcn.rc ${CMAKE_BINARY_DIR}/bare-module)
target_include_directories(vykcn_bare PRIVATE ${vykcn_bare_resources})
vykcn_add_built_module(vykcn vykcn_bare ${CMAKE_BINARY_DIR}/module)

# The test build (`make TEST_BUILD=1`, out/test/vykcn.dll): the shipping module's translations and
# lookups, served live from vykcn-live/translations.bin when one is in place, the keys, the status
# file and the capture of the texts that pass through it; with a glyph table and atlas of its own
# that also hold GB 2312 (scripts/pack-test-font.sh), at the shipping module's 'M' height, which the
# script reads from that module. A target of its own: the shipping module's link takes none of its code.
set(vykcn_test_generated ${CMAKE_BINARY_DIR}/generated/test)
set(vykcn_test_glyphs ${vykcn_test_generated}/vykcn-test-glyphs.bin)
set(vykcn_test_atlas ${vykcn_test_generated}/vykcn-test-atlas.dds)
# pack-font takes one --extra-chars: the script joins EXTRA_CHARS' file to GB 2312's characters.
set(vykcn_test_glyph_options ${VYKCN_GLYPH_OPTIONS})
set(vykcn_test_extra "")
list(FIND vykcn_test_glyph_options --extra-chars at)
if(NOT at EQUAL -1)
  math(EXPR value "${at} + 1")
  list(GET vykcn_test_glyph_options ${value} file)
  set(vykcn_test_extra --extra-chars ${file})
  list(REMOVE_AT vykcn_test_glyph_options ${value} ${at})
endif()
add_custom_command(OUTPUT ${vykcn_test_glyphs} ${vykcn_test_atlas}
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/pack-test-font.sh ${VYKCN_TOOL} ${CMAKE_BINARY_DIR}/module/vykcn.dll
          ${vykcn_test_generated} ${vykcn_test_extra} --
          --font ${VYKCN_FONT} ${VYKCN_TEXT_OPTIONS} ${vykcn_test_glyph_options} ${vykcn_translation_files}
  DEPENDS ${CMAKE_BINARY_DIR}/module/vykcn.dll ${PROJECT_SOURCE_DIR}/scripts/pack-test-font.sh ${vykcn_translation_files} ${VYKCN_FONT}
          ${VYKCN_TOOL} ${VYKCN_PACK_INPUTS}
  COMMENT "Packing the test build's glyph table and font atlas"
  VERBATIM)
vykcn_add_module(vykcn_test_dll ${PROJECT_SOURCE_DIR}/resources/vykcn-test.rc ${CMAKE_BINARY_DIR}/test TEST_BUILD)
target_include_directories(vykcn_test_dll PRIVATE ${vykcn_test_generated} ${vykcn_generated})
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/vykcn-test.rc PROPERTIES
  OBJECT_DEPENDS "${vykcn_test_glyphs};${vykcn_test_atlas};${vykcn_translations}")
add_test(NAME windows.test_build_inspect COMMAND ${VYKCN_TOOL} inspect $<TARGET_FILE:vykcn_test_dll>)
set_tests_properties(windows.test_build_inspect PROPERTIES FAIL_REGULAR_EXPRESSION "\\.debug_")
# The shipping module's link took nothing of the test build: neither its libraries nor its objects,
# nor the PO string's escapes its catalogue writes with.
add_test(NAME windows.shipping_module_links_no_test_build
  COMMAND sh -c [=[
    grep -q 'libvykcn_module[.]a(' "$0" || { echo "$0 lists no module member"; exit 1; }
    if grep -E 'libvykcn_(capture|live|test_build_module|po_string)[.]a\(|((capture|test_build)_[a-z_]*|po_string)[.](cpp|S)[.]obj' "$0"; then
      echo "the shipping module links test build code"; exit 1
    fi
  ]=] ${CMAKE_BINARY_DIR}/bare-module/vykcn.map)

# vykcn-tool.exe, from the toolkit's sources and the libraries cross-built for it
# (scripts/windows-libraries.sh writes libraries.cmake). The module does not depend on it.
set(VYKCN_WINDOWS_LIBRARIES "" CACHE PATH "Folder of vykcn-tool.exe's cross-built libraries (libraries.cmake)")
if(VYKCN_WINDOWS_LIBRARIES)
  include(${VYKCN_WINDOWS_LIBRARIES}/libraries.cmake)
  add_subdirectory(tools)
else()
  message(STATUS "vykcn-tool.exe is not built: VYKCN_WINDOWS_LIBRARIES names no cross-built libraries")
endif()

add_subdirectory(tests/windows)

# The lookup benchmark, measured under Wine on a corpus written by its native build.
if(VYKCN_BENCH)
  add_executable(lookup_bench ${PROJECT_SOURCE_DIR}/bench/lookup_bench.cpp)
  target_link_libraries(lookup_bench PRIVATE vykcn_core vykcn_live)
  target_link_options(lookup_bench PRIVATE ${VYKCN_WINDOWS_LINK_OPTIONS})
endif()
