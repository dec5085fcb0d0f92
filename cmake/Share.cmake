# The files the editor application seeds its data folder with, assembled in the build tree as
# they are installed: the sample data file, the language files (built from their sources with
# polarctl) and the help page.
# POLAR_SHARE_BUILD_DIR comes from Layout.cmake.

set(_share_outputs ${POLAR_SHARE_BUILD_DIR}/POLAR.PPD ${POLAR_SHARE_BUILD_DIR}/Help/English/polar.html)
add_custom_command(OUTPUT ${POLAR_SHARE_BUILD_DIR}/POLAR.PPD
  COMMAND ${CMAKE_COMMAND} -E copy ${POLAR_ROOT}/samples/POLAR.PPD ${POLAR_SHARE_BUILD_DIR}/POLAR.PPD
  DEPENDS ${POLAR_ROOT}/samples/POLAR.PPD)
add_custom_command(OUTPUT ${POLAR_SHARE_BUILD_DIR}/Help/English/polar.html
  COMMAND ${CMAKE_COMMAND} -E copy ${POLAR_ROOT}/help/polar.html ${POLAR_SHARE_BUILD_DIR}/Help/English/polar.html
  DEPENDS ${POLAR_ROOT}/help/polar.html)
# A language file built from its source with polarctl: the editor's (Lang_NNN) and the
# application window's own texts (Window_NNN), the latter only where translated: every
# translations/window_NNN.tsv gives its Window_NNN.lgx, and English needs none.
function(polar_language_file kind source lang)
  set(_lgx ${POLAR_SHARE_BUILD_DIR}/Translations/${kind}_${lang}.lgx)
  add_custom_command(OUTPUT ${_lgx}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${POLAR_SHARE_BUILD_DIR}/Translations
    COMMAND $<TARGET_FILE:polarctl> lgx build ${POLAR_ROOT}/translations/${source}_${lang}.tsv -o ${_lgx}
    DEPENDS polarctl ${POLAR_ROOT}/translations/${source}_${lang}.tsv)
  set(_share_outputs ${_share_outputs} ${_lgx} PARENT_SCOPE)
endfunction()
foreach(_lang 033 034 046 047 049)
  polar_language_file(Lang lang ${_lang})
endforeach()
file(GLOB _window_sources CONFIGURE_DEPENDS ${POLAR_ROOT}/translations/window_[0-9][0-9][0-9].tsv)
# The language numbers the window is translated into, for the tests.
set(POLAR_WINDOW_LANGUAGES)
foreach(_source ${_window_sources})
  string(REGEX REPLACE "^.*window_([0-9]+)\\.tsv$" "\\1" _lang ${_source})
  list(APPEND POLAR_WINDOW_LANGUAGES ${_lang})
  polar_language_file(Window window ${_lang})
endforeach()
add_custom_target(polar_share ALL DEPENDS ${_share_outputs})

