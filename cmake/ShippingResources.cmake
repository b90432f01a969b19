# The shipping module's data resources, generated into the build tree by the native vykcn-tool:
# the glyph table (101) and font atlas (103) by pack-font, the translations (102) by pack-text,
# all from the translators' files in VYKCN_TRANSLATIONS and the font VYKCN_FONT.
set(VYKCN_TRANSLATIONS ${PROJECT_SOURCE_DIR}/resources/translations CACHE PATH
    "Folder of the .po and .csv files that the shipping module carries")
set(VYKCN_FONT /usr/share/fonts/truetype/wqy/wqy-microhei.ttc CACHE FILEPATH
    "Font (TTF, OTF or TTC) rasterised into the shipping module's atlas")

if(NOT VYKCN_TOOL)
  message(FATAL_ERROR "VYKCN_TOOL must name the native vykcn-tool, which generates the module's resources")
endif()
set(VYKCN_LATER_WINS OFF CACHE BOOL
    "Later translators' files (in name order) override earlier ones for the same host text or hash")
# Extensions in any case: EXTRA.CSV is a CSV file as much as extra.csv.
file(GLOB vykcn_translation_files CONFIGURE_DEPENDS ${VYKCN_TRANSLATIONS}/*)
list(FILTER vykcn_translation_files INCLUDE REGEX "\\.([Pp][Oo]|[Cc][Ss][Vv])$")
list(SORT vykcn_translation_files)
set(vykcn_precedence "")
if(VYKCN_LATER_WINS)
  set(vykcn_precedence --later-wins)
endif()
if(NOT vykcn_translation_files)
  message(FATAL_ERROR "no .po or .csv files in ${VYKCN_TRANSLATIONS}")
endif()
if(NOT EXISTS ${VYKCN_FONT})
  message(FATAL_ERROR "font ${VYKCN_FONT} not found")
endif()

set(vykcn_generated ${CMAKE_BINARY_DIR}/generated/shipping)
file(MAKE_DIRECTORY ${vykcn_generated})
set(vykcn_glyphs ${vykcn_generated}/vykcn-glyphs.bin)
set(vykcn_atlas ${vykcn_generated}/vykcn-atlas.dds)
set(vykcn_translations ${vykcn_generated}/vykcn-translations.bin)

add_custom_command(OUTPUT ${vykcn_glyphs} ${vykcn_atlas}
  COMMAND ${VYKCN_TOOL} pack-font --font ${VYKCN_FONT} --glyphs ${vykcn_glyphs} --atlas ${vykcn_atlas}
          ${vykcn_precedence} ${vykcn_translation_files}
  DEPENDS ${vykcn_translation_files} ${VYKCN_FONT} ${VYKCN_TOOL}
  COMMENT "Packing the glyph table and font atlas"
  VERBATIM)
add_custom_command(OUTPUT ${vykcn_translations}
  COMMAND ${VYKCN_TOOL} pack-text ${vykcn_precedence} ${vykcn_translation_files} -o ${vykcn_translations}
  DEPENDS ${vykcn_translation_files} ${VYKCN_TOOL}
  COMMENT "Packing the translations"
  VERBATIM)

# resources/vykcn.rc names the files; windres finds them through the include path.
target_include_directories(vykcn PRIVATE ${vykcn_generated})
set_source_files_properties(${PROJECT_SOURCE_DIR}/resources/vykcn.rc PROPERTIES
  OBJECT_DEPENDS "${vykcn_glyphs};${vykcn_atlas};${vykcn_translations}")

# The shipping module must pass the toolkit's own checks (run natively; the tool is a Linux program).
add_test(NAME windows.shipping_module_inspect COMMAND ${VYKCN_TOOL} inspect $<TARGET_FILE:vykcn>)
