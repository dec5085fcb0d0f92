# What `cmake --install` puts where (the folders come from Layout.cmake).
install(TARGETS polar LIBRARY DESTINATION ${POLAR_INSTALL_PLUGINDIR})
install(TARGETS polar-editor polarctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${POLAR_SHARE_BUILD_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/polar-editor)
install(FILES ${POLAR_ROOT}/include/polar/polar.h ${POLAR_ROOT}/include/polar/polar_messages.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/polar)
install(FILES ${POLAR_ROOT}/desktop/polar-editor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${POLAR_ROOT}/desktop/polar-editor.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${POLAR_ROOT}/desktop/org.polareditor.PolarEditor.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${POLAR_ROOT}/desktop/polar-editor-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME polar-editor.xml)
# polarctl live as a service, installed disabled, with its settings (a conffile of the package).
install(FILES ${POLAR_ROOT}/packaging/systemd/polarctl-live.service
  DESTINATION lib/systemd/system)
install(FILES ${POLAR_ROOT}/packaging/systemd/polarctl-live.default
  DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default RENAME polarctl-live)
include(${CMAKE_CURRENT_LIST_DIR}/PackageDocs.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/ManPages.cmake)
