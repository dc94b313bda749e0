# What a desktop needs of the demo (menu entry, icon, manual page), and the three Debian
# packages CPack makes of the install components: glimmerix (demo), libglimmerix1
# (runtime), libglimmerix-dev (development). tools/package.sh drives it.
option(GLIMMERIX_DEB "Install as the Debian packages lay it out (per-package copyright and changelog)" OFF)

if(GLIMMERIX_APP)
  configure_file(packaging/glimmerix.6 ${PROJECT_BINARY_DIR}/packaging/glimmerix.6 @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz
    COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/glimmerix.6 -c > ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/glimmerix.6 VERBATIM)
  add_custom_target(manual ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz)
  install(FILES packaging/glimmerix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT demo)
  install(FILES assets/glimmerix.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps COMPONENT demo)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/glimmerix.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT demo)
endif()

# The library's documentation and examples go with the development files.
if(GLIMMERIX_DEB)
  set(GLIMMERIX_DEV_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/libglimmerix-dev)
else()
  set(GLIMMERIX_DEV_DOCDIR ${CMAKE_INSTALL_DOCDIR})
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)
endif()
install(FILES docs/library.md DESTINATION ${GLIMMERIX_DEV_DOCDIR} COMPONENT development)
install(DIRECTORY examples DESTINATION ${GLIMMERIX_DEV_DOCDIR} COMPONENT development)

if(NOT GLIMMERIX_DEB)
  return()
endif()

# Every package carries the licence as a Debian copyright file and the changelog.
configure_file(packaging/changelog ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/packaging/changelog -c > ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
foreach(pair "demo;glimmerix" "runtime;libglimmerix1" "development;libglimmerix-dev")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Glimmerix developers")
set(CPACK_PACKAGE_CONTACT "The Glimmerix developers <glimmerix@example.org>")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL demo runtime development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts this summary before every description unless it is CPack's own default; each
# package's description below starts with a summary of its own.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_NAME} built using CMake")
# Dependencies come from the binaries, through dpkg-shlibdeps; the development files need
# the runtime library of the same version.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME glimmerix)
set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_DEMO_DESCRIPTION "light sprite blended onto a picture through 18 colour effects
Glimmerix is a small graphics demonstration: a light follows the mouse over a
picture of a planet and is blended onto it through one of 18 colour effects,
from a saturating sum, screen and multiply to eight levels of translucency and
blends built on arctangent, square root, sine and cosine. A click changes the
effect; the frame rate and the effect's name are printed over the scene.
.
Every effect is one table lookup per colour channel, so all cost the same.")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libglimmerix1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The dynamic linker's cache is refreshed through dpkg's trigger.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "colour-blend effects for light sprites - shared library
libglimmerix draws sprites onto 32-bit images (XRGB, ARGB, XBGR, ABGR) through
18 exact colour-blend effects: saturating sum and differences, screen,
multiply, eight translucency levels, and arctangent, square-root, sine and
cosine blends. Each effect is one lookup per colour channel in a table built
once, so every effect costs the same.
.
This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libglimmerix-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "colour-blend effects for light sprites - development files
libglimmerix draws sprites onto 32-bit images (XRGB, ARGB, XBGR, ABGR) through
18 exact colour-blend effects, each one lookup per colour channel.
.
This package holds the C header, the static library, the pkg-config file, the
CMake package (find_package(Glimmerix)), the library's guide and examples.")

include(CPack)
