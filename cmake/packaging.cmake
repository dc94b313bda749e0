# What a desktop needs of the demo (menu entry, AppStream metadata, icon, manual page), and
# where the library's guide and examples go. The Debian packages are made from debian/ with
# dpkg-buildpackage (tools/package.sh).
option(GLIMMERIX_DEB "Install as the Debian packages lay it out (the guide in libglimmerix-dev's folder)" OFF)

if(GLIMMERIX_APP)
  configure_file(packaging/glimmerix.6 ${PROJECT_BINARY_DIR}/packaging/glimmerix.6 @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz
    COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/glimmerix.6 -c > ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/glimmerix.6 VERBATIM)
  add_custom_target(manual ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz)
  install(FILES packaging/org.example.glimmerix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT demo)
  install(FILES packaging/org.example.glimmerix.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT demo)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES assets/glimmerix-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME glimmerix.png COMPONENT demo)
  endforeach()
  install(FILES ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT demo)
endif()

# The library's documentation and examples go with the development files.
if(GLIMMERIX_DEB)
  set(GLIMMERIX_DEV_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/libglimmerix-dev)
else()
  set(GLIMMERIX_DEV_DOCDIR ${CMAKE_INSTALL_DOCDIR})
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)
endif()
install(FILES docs/library.md README.md DESTINATION ${GLIMMERIX_DEV_DOCDIR} COMPONENT development)
install(DIRECTORY examples DESTINATION ${GLIMMERIX_DEV_DOCDIR} COMPONENT development)
