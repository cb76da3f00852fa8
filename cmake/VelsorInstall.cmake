# What `cmake --install` puts where: the programs, the desktop integration of
# the window, the manual pages, the bash completion and the documents.

include(GNUInstallDirs)

set(VELSOR_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(VELSOR_GENERATED_DIR "${PROJECT_BINARY_DIR}/packaging")

install(TARGETS velsor-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

configure_file(${VELSOR_PACKAGING_DIR}/velsor-cli.1.in ${VELSOR_GENERATED_DIR}/velsor-cli.1 @ONLY)
install(FILES ${VELSOR_GENERATED_DIR}/velsor-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VELSOR_PACKAGING_DIR}/velsor-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME velsor-cli)
install(FILES LICENSE README.md DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/velsor)

if(VELSOR_BUILD_GUI)
  install(TARGETS velsor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  configure_file(${VELSOR_PACKAGING_DIR}/velsor.1.in ${VELSOR_GENERATED_DIR}/velsor.1 @ONLY)
  install(FILES ${VELSOR_GENERATED_DIR}/velsor.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # Desktop entry, metainfo and icons are all named after the application id.
  configure_file(${VELSOR_PACKAGING_DIR}/velsor.desktop.in ${VELSOR_GENERATED_DIR}/${VELSOR_APP_ID}.desktop @ONLY)
  configure_file(${VELSOR_PACKAGING_DIR}/velsor.metainfo.xml.in
                 ${VELSOR_GENERATED_DIR}/${VELSOR_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${VELSOR_GENERATED_DIR}/${VELSOR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
  install(FILES ${VELSOR_GENERATED_DIR}/${VELSOR_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

  set(icon_root ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor)
  install(FILES window/resources/icons/velsor.svg DESTINATION ${icon_root}/scalable/apps
          RENAME ${VELSOR_APP_ID}.svg)
  foreach(size 48 256)
    install(FILES ${VELSOR_PACKAGING_DIR}/icons/velsor-${size}.png DESTINATION ${icon_root}/${size}x${size}/apps
            RENAME ${VELSOR_APP_ID}.png)
  endforeach()
endif()
