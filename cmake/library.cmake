# libglimmerix: the engine and the drawing surface as one shared and one static library.
# Only the C interface leaves the shared library; the demo, the tests and the tools link the
# static one, which also gives them the engine's C++ face (mdlEffects, platform).
foreach(objects platform_objects effects_objects)
  set_target_properties(${objects} PROPERTIES POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endforeach()
set(GLIMMERIX_OBJECTS $<TARGET_OBJECTS:platform_objects> $<TARGET_OBJECTS:effects_objects>)

# glibc's vector maths serve the table builder where the C library is glibc (effects/cpu_features.h).
include(CheckSymbolExists)
check_symbol_exists(__GLIBC__ features.h GLIMMERIX_GLIBC)
set(GLIMMERIX_SYSTEM_LIBS m)
if(GLIMMERIX_GLIBC AND CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
  set(GLIMMERIX_SYSTEM_LIBS mvec m)
endif()
if(WIN32)
  # mingw-w64 keeps the stack protector's and the fortified functions' runtime in libssp.
  list(APPEND GLIMMERIX_SYSTEM_LIBS ssp)
endif()
list(TRANSFORM GLIMMERIX_SYSTEM_LIBS PREPEND -l OUTPUT_VARIABLE GLIMMERIX_PC_SYSTEM_LIBS)
list(JOIN GLIMMERIX_PC_SYSTEM_LIBS " " GLIMMERIX_PC_SYSTEM_LIBS)

add_library(glimmerix_static STATIC ${GLIMMERIX_OBJECTS})
set_target_properties(glimmerix_static PROPERTIES OUTPUT_NAME glimmerix LINKER_LANGUAGE CXX)
if(EMSCRIPTEN)
  # The browser build links the engine statically and installs nothing.
  target_link_libraries(glimmerix_static PUBLIC glimmerix_header)
  target_include_directories(glimmerix_static PUBLIC ${PROJECT_SOURCE_DIR})
  add_library(effects ALIAS glimmerix_static)
  return()
endif()
# The C++ runtime is named for programs written in C, whose link step does not add it.
target_link_libraries(glimmerix_static PUBLIC glimmerix_header ${GLIMMERIX_SYSTEM_LIBS} $<INSTALL_INTERFACE:stdc++>)
target_include_directories(glimmerix_static PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)

add_library(glimmerix_shared SHARED ${GLIMMERIX_OBJECTS})
set_target_properties(glimmerix_shared PROPERTIES OUTPUT_NAME glimmerix EXPORT_NAME glimmerix
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
target_link_libraries(glimmerix_shared PUBLIC glimmerix_header PRIVATE ${GLIMMERIX_SYSTEM_LIBS})
if(WIN32)
  # glimmerix.dll with its import library libglimmerix.dll.a beside the static libglimmerix.a.
  # A module-definition file made from the header's declarations lists what the DLL exports:
  # the glimmerix_* functions and nothing of the C++ runtime linked into it.
  file(STRINGS ${PROJECT_SOURCE_DIR}/include/glimmerix/glimmerix.h.in GLIMMERIX_DECLARATIONS
    REGEX "^GLIMMERIX_API .*glimmerix_[a-z_]+\\(")
  set(GLIMMERIX_DEF "LIBRARY glimmerix.dll\nEXPORTS\n")
  foreach(declaration IN LISTS GLIMMERIX_DECLARATIONS)
    string(REGEX MATCH "glimmerix_[a-z_]+\\(" function "${declaration}")
    string(REPLACE "(" "" function "${function}")
    string(APPEND GLIMMERIX_DEF "  ${function}\n")
  endforeach()
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/glimmerix.def CONTENT "${GLIMMERIX_DEF}")
  target_sources(glimmerix_shared PRIVATE ${PROJECT_BINARY_DIR}/glimmerix.def)
  set_target_properties(glimmerix_shared PROPERTIES PREFIX "" IMPORT_PREFIX lib)
  target_link_options(glimmerix_shared PRIVATE -Wl,--no-undefined)
else()
  # The version script keeps the C++ runtime's template instances out of the exports too.
  target_link_options(glimmerix_shared PRIVATE
    -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/glimmerix.map -Wl,--no-undefined)
  set_target_properties(glimmerix_shared PROPERTIES LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/glimmerix.map)
endif()

# The names the rest of the tree links by: `effects` is the whole engine; `platform` is the
# drawing surface alone, so that what links it cannot reach the engine.
add_library(effects ALIAS glimmerix_static)

# Installed: libraries, header, pkg-config file, CMake package, licence.
install(TARGETS glimmerix_shared glimmerix_static glimmerix_header EXPORT GlimmerixTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(FILES ${PROJECT_BINARY_DIR}/include/glimmerix/glimmerix.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/glimmerix COMPONENT development)

include(CMakePackageConfigHelpers)
set(GLIMMERIX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Glimmerix)
install(EXPORT GlimmerixTargets NAMESPACE Glimmerix:: DESTINATION ${GLIMMERIX_CMAKE_DIR} COMPONENT development)
configure_package_config_file(cmake/GlimmerixConfig.cmake.in ${PROJECT_BINARY_DIR}/GlimmerixConfig.cmake
  INSTALL_DESTINATION ${GLIMMERIX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/GlimmerixConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/GlimmerixConfig.cmake ${PROJECT_BINARY_DIR}/GlimmerixConfigVersion.cmake
  DESTINATION ${GLIMMERIX_CMAKE_DIR} COMPONENT development)

# Relative to the file's own place, so that an unpacked tree works wherever it lies.
file(RELATIVE_PATH GLIMMERIX_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(cmake/glimmerix.pc.in ${PROJECT_BINARY_DIR}/glimmerix.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/glimmerix.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
