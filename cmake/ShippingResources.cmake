# The shipping module, and the capture build, with the set of translators' files in
# VYKCN_TRANSLATIONS drawn with the font VYKCN_FONT: their code is linked once with empty data
# resources (the bare modules), and the native `vykcn-tool build` puts the set's glyph table (101),
# translations (102) and atlas (103) into a copy, as a translator's build does, so that the module
# make writes is, byte for byte, what build gives for the same inputs. `make` and `make test` set
# these variables from the settings they remember (build/settings.cmake, written by
# scripts/settings.sh); configured by hand, the build takes the defaults below.
set(VYKCN_TRANSLATIONS ${PROJECT_SOURCE_DIR}/resources/translations CACHE PATH
    "Folder of the .po and .csv files that the shipping module carries")

# Further packer options, as scripts/settings.sh sorts the make variables: both packers take the
# text options (which translations are packed), pack-font the glyph options (which characters get
# glyphs) and, for this module alone, the layout options (its 'M' height and atlas size).
set(VYKCN_TEXT_OPTIONS "" CACHE STRING "Options of pack-text and pack-font, such as --later-wins")
set(VYKCN_GLYPH_OPTIONS "" CACHE STRING "Options of pack-font that add characters, such as --extra-chars FILE")
set(VYKCN_LAYOUT_OPTIONS "" CACHE STRING
    "Options of the shipping pack-font: --glyph-height N (default 25, or the largest down to 12 that fits), --atlas-size WxH")
set(VYKCN_TRANSLATION_OPTIONS "" CACHE STRING
    "Options of the shipping pack-text: --best, --wrap PX, --max-width PX, --max-lines N, --host-height PX")
set(VYKCN_PACK_INPUTS "" CACHE STRING "Files that the options name: the packers run again when one changes")

if(NOT VYKCN_TOOL)
  message(FATAL_ERROR "VYKCN_TOOL must name the native vykcn-tool, which generates the module's resources")
endif()
# The font, unless set: the tool's own default, the one check measures with (vykcn-tool default-fonts).
if(NOT VYKCN_FONT)
  execute_process(COMMAND ${VYKCN_TOOL} default-fonts OUTPUT_VARIABLE vykcn_default_fonts
                  RESULT_VARIABLE vykcn_status)
  if(NOT vykcn_status EQUAL 0)
    message(FATAL_ERROR "${VYKCN_TOOL} default-fonts failed")
  endif()
  string(REGEX MATCH "^[^\n]*" vykcn_default_font "${vykcn_default_fonts}")
  set(VYKCN_FONT ${vykcn_default_font} CACHE FILEPATH "Font (TTF, OTF or TTC) rasterised into the shipping module's atlas")
endif()
# The translators' files as the tool takes the folder (vykcn-tool files: .po and .csv in any case,
# subfolders too, in the order of the paths), so that check and the build take the same set. The
# glob makes the build ask again when a file is added or removed.
file(GLOB_RECURSE vykcn_translation_glob CONFIGURE_DEPENDS "${VYKCN_TRANSLATIONS}/*")
execute_process(COMMAND ${VYKCN_TOOL} files ${VYKCN_TRANSLATIONS} OUTPUT_VARIABLE vykcn_translation_files
                ERROR_VARIABLE vykcn_files_error RESULT_VARIABLE vykcn_status)
if(NOT vykcn_status EQUAL 0)
  message(FATAL_ERROR "${vykcn_files_error}")
endif()
string(REGEX REPLACE "\n$" "" vykcn_translation_files "${vykcn_translation_files}")
string(REPLACE "\n" ";" vykcn_translation_files "${vykcn_translation_files}")
if(NOT EXISTS "${VYKCN_FONT}")
  message(FATAL_ERROR "font ${VYKCN_FONT} not found")
endif()

set(vykcn_generated ${CMAKE_BINARY_DIR}/generated/shipping)
file(MAKE_DIRECTORY ${vykcn_generated})
set(vykcn_glyphs ${vykcn_generated}/vykcn-glyphs.bin)
set(vykcn_atlas ${vykcn_generated}/vykcn-atlas.dds)
set(vykcn_translations ${vykcn_generated}/vykcn-translations.bin)
# Lines are measured (and wrapped) with the module's own glyph table.
set(vykcn_measure "")
set(vykcn_measure_depends "")
if(VYKCN_TRANSLATION_OPTIONS MATCHES "--(wrap|max-width|max-lines)")
  set(vykcn_measure --glyphs ${vykcn_glyphs})
  set(vykcn_measure_depends ${vykcn_glyphs})
endif()
# What is packed, one file a line, for the build's last line (Makefile).
list(JOIN vykcn_translation_files "\n" vykcn_packed_list)
file(WRITE ${vykcn_generated}/packed-files.txt "${vykcn_packed_list}\n")

# The set's resources as the packers write them, for the tests that take them as files (the
# shipping pairs, the device proxy's atlas); make's modules are build's (below). Each packer keeps a
# stamp of what it made its outputs from (by content: the characters or the image, the font, the
# options, the tool), and leaves them as they are when nothing of it changed. Both check the same
# files: pack-text prints (and refuses on) every finding but those about the glyphs, which pack-font
# alone prints, so that each finding is said once.
add_custom_command(OUTPUT ${vykcn_glyphs} ${vykcn_atlas}
  COMMAND ${VYKCN_TOOL} pack-font --font ${VYKCN_FONT} --glyphs ${vykcn_glyphs} --atlas ${vykcn_atlas}
          --stamp ${vykcn_generated}/glyphs.stamp --glyph-findings-only
          ${VYKCN_TEXT_OPTIONS} ${VYKCN_GLYPH_OPTIONS} ${VYKCN_LAYOUT_OPTIONS} ${vykcn_translation_files}
  DEPENDS ${vykcn_translation_files} ${VYKCN_FONT} ${VYKCN_TOOL} ${VYKCN_PACK_INPUTS}
  COMMENT "Packing the glyph table and font atlas"
  VERBATIM)
add_custom_command(OUTPUT ${vykcn_translations}
  COMMAND ${VYKCN_TOOL} pack-text ${VYKCN_TEXT_OPTIONS} ${VYKCN_TRANSLATION_OPTIONS} ${vykcn_measure}
          --stamp ${vykcn_generated}/translations.stamp ${vykcn_translation_files} -o ${vykcn_translations}
  DEPENDS ${vykcn_translation_files} ${VYKCN_TOOL} ${VYKCN_PACK_INPUTS} ${vykcn_measure_depends}
  COMMENT "Packing the translations"
  VERBATIM)

# A target of this folder that names them, so that their rules exist for the tests' folders too.
add_custom_target(vykcn_packed_resources DEPENDS ${vykcn_glyphs} ${vykcn_atlas} ${vykcn_translations})

# The bare modules' data resources: empty files where resources/vykcn.rc names them.
set(vykcn_bare_resources ${CMAKE_BINARY_DIR}/generated/bare)
foreach(name vykcn-glyphs.bin vykcn-translations.bin vykcn-atlas.dds)
  if(NOT EXISTS ${vykcn_bare_resources}/${name})
    file(WRITE ${vykcn_bare_resources}/${name} "")
  endif()
endforeach()

# What `vykcn-tool build` is given, after the module, to put make's set into it: the arguments with
# which a translator's build gives make's module.
set(VYKCN_BUILD_ARGUMENTS ${VYKCN_TRANSLATIONS} --font ${VYKCN_FONT}
    ${VYKCN_TEXT_OPTIONS} ${VYKCN_GLYPH_OPTIONS} ${VYKCN_LAYOUT_OPTIONS} ${VYKCN_TRANSLATION_OPTIONS})

# vykcn_add_built_module(TARGET BARE_TARGET OUTPUT_DIR): OUTPUT_DIR/vykcn.dll, the bare module with
# make's set put in by build, and beside it the bare module's debug file, which serves it (build
# changes no code; the .gnu_debuglink names that file and its CRC), and every module built from it.
# build keeps a stamp of what each part was made of: an edit that adds no character draws no glyph.
function(vykcn_add_built_module target bare_target output_dir)
  add_custom_command(OUTPUT ${output_dir}/vykcn.dll ${output_dir}/vykcn.dll.debug
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${VYKCN_TOOL} build --module $<TARGET_FILE:${bare_target}> ${VYKCN_BUILD_ARGUMENTS}
            --stamp ${output_dir}/vykcn.stamp -o ${output_dir}/vykcn.dll
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE_DIR:${bare_target}>/vykcn.dll.debug
            ${output_dir}/vykcn.dll.debug
    DEPENDS ${bare_target} ${vykcn_translation_files} ${VYKCN_FONT} ${VYKCN_TOOL} ${VYKCN_PACK_INPUTS}
    COMMENT "Building ${output_dir}/vykcn.dll with vykcn-tool build"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output_dir}/vykcn.dll)
endfunction()

# The shipping module must pass the toolkit's own checks (run natively; the tool is a Linux program),
# and ships without debug sections: inspect names any .debug_* section in a warning.
add_test(NAME windows.shipping_module_inspect COMMAND ${VYKCN_TOOL} inspect ${CMAKE_BINARY_DIR}/module/vykcn.dll)
set_tests_properties(windows.shipping_module_inspect PROPERTIES FAIL_REGULAR_EXPRESSION "\\.debug_")
# Its link took no member of the LZX encoder's library, nor the decoder's testing door, nor the
# traced subtitle swap that only the toolkit calls. The link map lists each archive member taken;
# the decoder's must be there, or the map is not one of this module's link.
add_test(NAME windows.shipping_module_links_no_encoder
  COMMAND sh -c [=[
    grep -q 'libvykcn_lzx_decoder[.]a(' "$0" || { echo "$0 lists no decoder member"; exit 1; }
    if grep 'libvykcn_lzx_encoder[.]a(' "$0"; then echo "the module links LZX encoder code"; exit 1; fi
    if grep 'decoder_testing[.]cpp' "$0"; then echo "the module links the decoder's testing door"; exit 1; fi
    if grep 'subtitle_trace[.]cpp[.]obj' "$0"; then echo "the module links the toolkit's traced swap"; exit 1; fi
  ]=] ${CMAKE_BINARY_DIR}/bare-module/vykcn.map)
