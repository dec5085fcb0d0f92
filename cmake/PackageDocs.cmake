# The package's documentation files as Debian lays them out in /usr/share/doc/polar-editor:
# `copyright` in the machine-readable format, made from LICENSE so that the two never
# disagree, and the changelog from packaging/changelog, compressed with `gzip -9n` (no name,
# no time stamp: the same bytes on every build).
set(POLAR_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/share/doc/polar-editor)
set(POLAR_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/polar-editor)

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${POLAR_ROOT}/LICENSE)
file(READ ${POLAR_ROOT}/LICENSE _license)
if(NOT _license MATCHES "Copyright \\(c\\) ([^\n]+)\n")
  message(FATAL_ERROR "LICENSE has no \"Copyright (c) ...\" line")
endif()
set(_holders ${CMAKE_MATCH_1})
string(FIND "${_license}" "Permission is hereby granted" _at)
if(_at LESS 0)
  message(FATAL_ERROR "LICENSE no longer holds the MIT terms that the copyright file states as Expat")
endif()
string(SUBSTRING "${_license}" ${_at} -1 _terms)
string(STRIP "${_terms}" _terms)
# The license text as a field's continuation lines: each indented by one blank, an empty line
# written as " .".
string(REPLACE "\n\n" "\n.\n" _terms "${_terms}")
string(REPLACE "\n" "\n " _terms "${_terms}")
file(CONFIGURE OUTPUT ${POLAR_DOC_BUILD_DIR}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: polar-editor

Files: *
Copyright: ${_holders}
License: Expat

License: Expat
 ${_terms}
" @ONLY)

find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${POLAR_DOC_BUILD_DIR}/changelog.gz
  COMMAND ${GZIP} -9n -c ${POLAR_ROOT}/packaging/changelog > ${POLAR_DOC_BUILD_DIR}/changelog.gz
  DEPENDS ${POLAR_ROOT}/packaging/changelog
  VERBATIM)
add_custom_target(polar_package_docs ALL DEPENDS ${POLAR_DOC_BUILD_DIR}/changelog.gz)

install(FILES ${POLAR_DOC_BUILD_DIR}/copyright ${POLAR_DOC_BUILD_DIR}/changelog.gz
  DESTINATION ${POLAR_INSTALL_DOCDIR})
