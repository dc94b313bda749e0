# What the two Windows zips hold (tools/windows.sh installs each component into a folder and
# zips it): the demo's folder (glimmerix.exe, the data files, the licence, a short README),
# and the library's (bin/ with the DLL, lib/ with the import and static libraries, the
# pkg-config file and the CMake package, include/, the guide and the examples).
if(GLIMMERIX_APP)
  install(FILES LICENSE DESTINATION . COMPONENT demo)
  configure_file(packaging/windows/README.txt ${PROJECT_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt DESTINATION . COMPONENT demo)
endif()
install(FILES LICENSE docs/library.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)
install(DIRECTORY examples DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)
