# Precompiled headers for the targets built on Qt Widgets: Qt's headers are most of what such a
# file costs to compile, and the same in every one. Two headers are made per build, one for the
# GUI libraries and the application, one for the GUI tests (with GoogleTest); the Qt targets
# reuse them.
#
# ccache caches compilations with a precompiled header only when told that its definitions and
# time macros may be trusted; a ccache launcher is given that setting here.
#
# On by default in an unoptimised build only (the sanitizer build): in an optimised one, gcc 12
# reports its false alarms about std::string's inlined copies (-Warray-bounds) from a
# precompiled system header, which it keeps quiet when the header is read as text.
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(_polar_pch_default ON)
else()
  set(_polar_pch_default OFF)
endif()
option(POLAR_PCH "Precompile Qt's headers for the Qt targets" ${_polar_pch_default})

set(_polar_qt_pch_headers
  <QApplication> <QWidget> <QTableWidget> <QComboBox> <QTimer> <QString> <QPainter>
  <QLineEdit> <QImage> <QFileInfo> <QPointer> <QMessageBox> <QPushButton> <QEvent>
  <algorithm> <functional> <map> <memory> <string> <vector>)

# polar_precompile_qt_headers(NAME name [TEST] TARGETS target...): makes the header in a target
# of its own, an empty object library called name (with GoogleTest too for TEST), and the targets
# reuse it. The header's own target defines no macro of a target's own: gcc refuses a header
# where a macro of the command line is defined otherwise (QtTest's QT_TESTCASE_BUILDDIR, which
# is each test's folder); one the header was made without is accepted when the header does not
# read it.
function(polar_precompile_qt_headers)
  cmake_parse_arguments(ARG "TEST" "NAME" "TARGETS" ${ARGN})
  if(NOT POLAR_PCH)
    return()
  endif()
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  set(headers ${_polar_qt_pch_headers})
  set(deps Qt6::Widgets)
  if(ARG_TEST)
    find_package(GTest REQUIRED)
    list(APPEND headers <gtest/gtest.h>)
    list(APPEND deps GTest::gtest)
  endif()
  set(source ${CMAKE_BINARY_DIR}/${ARG_NAME}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// The owner of a precompiled header; empty.\n")
  add_library(${ARG_NAME} OBJECT ${source})
  target_link_libraries(${ARG_NAME} PRIVATE ${deps})
  set_target_properties(${ARG_NAME} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  if(ARG_TEST)
    # Made as the tests are compiled (tests/CMakeLists.txt): gcc takes a header only at the
    # optimisation it was made with.
    target_compile_options(${ARG_NAME} PRIVATE $<$<CONFIG:Debug>:-O0>)
  endif()
  target_precompile_headers(${ARG_NAME} PRIVATE ${headers})
  foreach(target IN LISTS ARG_TARGETS)
    if(TARGET ${target})
      target_precompile_headers(${target} REUSE_FROM ${ARG_NAME})
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
