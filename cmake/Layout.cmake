# Where things go, installed and in the build tree. The build tree is laid out as the
# installation is (programs in bin/, the library in the library folder, the shared files under
# share/), so the programs find the library and the shared files by one path relative to
# themselves in both, and an installed program holds no path of the build tree.
include(GNUInstallDirs)

# libpolar.so is a plug-in that hosts load by its path, not a library programs link with, so it
# lives in a folder of its own under the library folder (for /usr:
# /usr/lib/x86_64-linux-gnu/polar-editor) and needs no version in its name.
set(POLAR_INSTALL_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/polar-editor)
file(RELATIVE_PATH POLAR_LIBDIR_FROM_BINDIR
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR}/polar-editor)
file(RELATIVE_PATH POLAR_SHAREDIR_FROM_BINDIR
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/polar-editor)
if(POLAR_LIBDIR_FROM_BINDIR STREQUAL "")
  set(POLAR_LIBDIR_FROM_BINDIR .)
endif()

set(POLAR_BUILD_BINDIR ${CMAKE_BINARY_DIR}/bin)
get_filename_component(POLAR_BUILD_LIBDIR
  ${POLAR_BUILD_BINDIR}/${POLAR_LIBDIR_FROM_BINDIR} ABSOLUTE)
get_filename_component(POLAR_SHARE_BUILD_DIR
  ${POLAR_BUILD_BINDIR}/${POLAR_SHAREDIR_FROM_BINDIR} ABSOLUTE)
foreach(_dir POLAR_BUILD_LIBDIR POLAR_SHARE_BUILD_DIR)
  string(FIND "${${_dir}}/" "${CMAKE_BINARY_DIR}/" _at)
  if(NOT _at EQUAL 0)
    # Install folders far apart (an absolute libdir outside the prefix): the build tree keeps
    # its own layout, and its programs need POLAR_LIBRARY and POLAR_SHARE_DIR to run there.
    message(WARNING "${_dir} would lie outside the build tree; the programs built here need "
                    "POLAR_LIBRARY and POLAR_SHARE_DIR to run before they are installed")
    set(POLAR_BUILD_LIBDIR ${CMAKE_BINARY_DIR}/lib/polar-editor)
    set(POLAR_SHARE_BUILD_DIR ${CMAKE_BINARY_DIR}/share/polar-editor)
  endif()
endforeach()
