# A Debian package of everything installed: `cpack -G DEB` in the build folder. Configure
# with -DCMAKE_INSTALL_PREFIX=/usr for the usual Debian layout (the plug-in then goes to
# /usr/lib/<multiarch>/polar-editor). The dependencies on shared libraries are computed from the
# binaries; scripts/check-package.sh runs lintian on the result.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME polar-editor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The polar editor developers")
set(CPACK_PACKAGE_CONTACT "The polar editor developers <maintainers@polar-editor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for a sailing boat's performance polars")
# Lines of at most 80 characters, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A polar gives, for one true wind speed, the boat speed at each true wind angle\n"
  "and the boat's tacking angle. This package holds the polar editor library\n"
  "(libpolar.so) that navigation programs load, polar-editor, a small program\n"
  "that opens the editor on a POLAR.PPD file, and polarctl, a command-line tool\n"
  "for the same files.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
# Folders and control files with the permissions Debian's policy asks for, whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no binary names: the dialog font and the Qt platform plugins (loaded at run time).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-qpa-plugins")
# Qt's own texts in the editor's languages: wanted, not needed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The service's settings are the administrator's: an upgrade keeps their changes.
file(WRITE ${CMAKE_BINARY_DIR}/debian-control/conffiles
  "${CMAKE_INSTALL_FULL_SYSCONFDIR}/default/polarctl-live\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian-control/conffiles)
include(CPack)
