# A Debian package of everything installed: `cpack -G DEB` in the build folder. Configure
# with -DCMAKE_INSTALL_PREFIX=/usr for the usual Debian layout (the library then goes to the
# multiarch folder). The dependencies on shared libraries are computed from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME polar-editor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The polar editor developers")
set(CPACK_PACKAGE_CONTACT "The polar editor developers <maintainers@polar-editor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for a sailing boat's performance polars")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A polar gives, for one true wind speed, the boat speed at each true wind angle and the\n"
  "boat's tacking angle. This package holds the polar editor library (libpolar.so) that\n"
  "navigation programs load, polar-editor, a small program that opens the editor on a\n"
  "POLAR.PPD file, and polarctl, a command-line tool for the same files.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no binary names: the dialog font and the Qt platform plugins (loaded at run time).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins")
include(CPack)
