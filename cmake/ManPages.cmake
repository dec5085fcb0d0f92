# The manual pages polarctl(1) and polar-editor(1), made from the programs' own --help and
# --version with help2man, so that they never disagree with the programs, and the bash
# completions. packaging/<program>.h2m adds what --help does not say (exit status, files,
# examples). Without help2man (a packager's minimal build) the pages are left out with a note.
find_program(HELP2MAN help2man)
set(POLAR_MAN_BUILD_DIR ${CMAKE_BINARY_DIR}/share/man/man1)
# The pages are dated by the newest changelog entry, as Debian dates a package's build, so that
# every build gives the same bytes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${POLAR_ROOT}/packaging/changelog)
file(STRINGS ${POLAR_ROOT}/packaging/changelog _signature REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^.*>  " "" _release_date "${_signature}")
find_program(DATE date)
execute_process(COMMAND ${DATE} -d "${_release_date}" +%s OUTPUT_VARIABLE _release_epoch
  OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _date_result)
if(NOT _date_result EQUAL 0 OR _release_epoch STREQUAL "")
  message(FATAL_ERROR "packaging/changelog: no date in the newest entry's signature line")
endif()
if(HELP2MAN)
  # polarctl(1) also holds every command's own help.
  set(_command_help ${CMAKE_BINARY_DIR}/polarctl-commands.h2m)
  add_custom_command(OUTPUT ${_command_help}
    COMMAND ${POLAR_ROOT}/packaging/command-help-h2m.sh $<TARGET_FILE:polarctl> > ${_command_help}
    DEPENDS polarctl ${POLAR_ROOT}/packaging/command-help-h2m.sh
    VERBATIM)
  set(_includes_polarctl --include=${_command_help})
  set(_includes_polar-editor)
  set(_pages)
  foreach(_program polarctl polar-editor)
    set(_page ${POLAR_MAN_BUILD_DIR}/${_program}.1)
    add_custom_command(OUTPUT ${_page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${POLAR_MAN_BUILD_DIR}
      COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${_release_epoch} QT_QPA_PLATFORM=offscreen
              ${HELP2MAN} --no-info --no-discard-stderr
              --include=${POLAR_ROOT}/packaging/${_program}.h2m ${_includes_${_program}}
              --output=${_page} $<TARGET_FILE:${_program}>
      COMMAND ${GZIP} -9nf ${_page}
      DEPENDS ${_program} ${POLAR_ROOT}/packaging/${_program}.h2m
              $<$<STREQUAL:${_program},polarctl>:${_command_help}>
      VERBATIM)
    list(APPEND _pages ${_page}.gz)
  endforeach()
  add_custom_target(manual_pages ALL DEPENDS ${_pages})
  install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: the manual pages are not built")
endif()

install(FILES ${POLAR_ROOT}/packaging/bash-completion/polarctl
              ${POLAR_ROOT}/packaging/bash-completion/polar-editor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
