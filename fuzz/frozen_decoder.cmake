# A frozen copy of the LZX decoder as of a commit, taken from git into the build tree (never kept in
# the source tree) and built as a library of its own: the differential fuzz target compares the
# current decoder with it, and the decompress benchmark races it. Its namespace vykcn is renamed by
# a macro, so that it links next to the current decoder; fuzz/reference/reference_decoder.cpp is its
# only door (reference_decoder.h, namespace reference_lzx).
#   vykcn_frozen_decoder(TARGET COMMIT) defines TARGET, or warns when git cannot give COMMIT.
function(vykcn_frozen_decoder target commit)
  set(root ${CMAKE_CURRENT_BINARY_DIR}/frozen-decoder-${commit})
  if(NOT EXISTS ${root}/src/lzx/decoder/decompress.h)
    file(MAKE_DIRECTORY ${root})
    execute_process(
      COMMAND git -C ${PROJECT_SOURCE_DIR} archive --format=tar -o ${root}/sources.tar ${commit}
              src/base src/lzx/lzx_constants.h src/lzx/call_translation.h src/lzx/call_translation.cpp
              src/lzx/decoder src/platform/decoder_memory.h src/platform/standard_decoder_memory.cpp
      RESULT_VARIABLE archived)
    if(archived EQUAL 0)
      execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf sources.tar WORKING_DIRECTORY ${root})
    endif()
  endif()
  if(NOT EXISTS ${root}/src/lzx/decoder/decompress.h)
    message(WARNING "${target} not built: git could not give commit ${commit}")
    return()
  endif()
  # The decoder's files as the commit's own build takes them: where it has CPU-specific fast loops
  # (decoder/x86), those in place of the portable copy, as src/lzx/CMakeLists.txt chooses.
  file(GLOB sources ${root}/src/lzx/decoder/*.cpp)
  if(EXISTS ${root}/src/lzx/decoder/x86 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    file(GLOB cpu_sources ${root}/src/lzx/decoder/x86/*.cpp)
    list(FILTER sources EXCLUDE REGEX "_portable[.]cpp$")
    list(APPEND sources ${cpu_sources})
  endif()
  add_library(${target} STATIC ${sources} ${root}/src/lzx/call_translation.cpp
              ${root}/src/platform/standard_decoder_memory.cpp ${PROJECT_SOURCE_DIR}/fuzz/reference/reference_decoder.cpp)
  target_include_directories(${target} PRIVATE ${root}/src)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/fuzz)
  target_compile_definitions(${target} PRIVATE vykcn=vykcn_reference)
endfunction()
