# Precompiled headers for the targets built on Qt Widgets: Qt's headers are most of what such a
# file costs to compile, and the same in every one. Two headers are made per build, one for the
# GUI libraries and the application, one for the GUI tests (with QtTest and GoogleTest); every
# other Qt target reuses one of them (gcc accepts a header made with other -D values as long as
# Qt's headers do not read them).
#
# ccache caches compilations with a precompiled header only when told that its definitions and
# time macros may be trusted; a ccache launcher is given that setting here.
option(POLAR_PCH "Precompile Qt's headers for the Qt targets" ON)

set(_polar_qt_pch_headers
  <QApplication> <QWidget> <QTableWidget> <QComboBox> <QTimer> <QString> <QPainter>
  <QLineEdit> <QImage> <QFileInfo> <QPointer> <QMessageBox> <QPushButton> <QEvent>
  <algorithm> <functional> <map> <memory> <string> <vector>)

# polar_precompile_qt_headers(OWNER owner [TEST] TARGETS target...): the owner makes the
# header (with QtTest and GoogleTest for TEST), the targets reuse it.
function(polar_precompile_qt_headers)
  cmake_parse_arguments(ARG "TEST" "OWNER" "TARGETS" ${ARGN})
  if(NOT POLAR_PCH OR NOT TARGET ${ARG_OWNER})
    return()
  endif()
  set(headers ${_polar_qt_pch_headers})
  if(ARG_TEST)
    list(APPEND headers <QTest> <gtest/gtest.h>)
  endif()
  target_precompile_headers(${ARG_OWNER} PRIVATE ${headers})
  foreach(target IN LISTS ARG_TARGETS)
    if(TARGET ${target})
      target_precompile_headers(${target} REUSE_FROM ${ARG_OWNER})
    endif()
  endforeach()
endfunction()

if(POLAR_PCH)
  foreach(lang CXX C)
    if(CMAKE_${lang}_COMPILER_LAUNCHER MATCHES "ccache$")
      set(CMAKE_${lang}_COMPILER_LAUNCHER
        ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros
        ${CMAKE_${lang}_COMPILER_LAUNCHER})
    endif()
  endforeach()
endif()
