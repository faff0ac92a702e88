# Installation layout and the Debian package.
#   bin/regwright
#   share/man/man1/regwright.1.gz          (man/CMakeLists.txt)
#   lib/cmake/regwright/                   find_package(regwright)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The package holds no libraries, only CMake files, so one fixed folder serves
# every architecture.
set(REGWRIGHT_CMAKE_DIR lib/cmake/regwright)

configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/regwrightConfig.cmake.in
  ${PROJECT_BINARY_DIR}/cmake/regwrightConfig.cmake
  INSTALL_DESTINATION ${REGWRIGHT_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_BINDIR)
# A map that one major version reads, the next may not.
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/cmake/regwrightConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion
  ARCH_INDEPENDENT)
install(FILES
  ${PROJECT_BINARY_DIR}/cmake/regwrightConfig.cmake
  ${PROJECT_BINARY_DIR}/cmake/regwrightConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/regwrightAddHeader.cmake
  DESTINATION ${REGWRIGHT_CMAKE_DIR})

set(CPACK_PACKAGE_NAME regwright)
set(CPACK_PACKAGE_VENDOR "regwright developers")
set(CPACK_PACKAGE_CONTACT "regwright developers <regwright@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "C header generator for microcontroller memory maps")
set(CPACK_PACKAGE_DESCRIPTION
  "regwright reads a memory map, an XML description of a microcontroller's peripherals with preprocessing directives, macros, constant expressions and imports, and writes a C header that defines every register and bit field. It ships a CMake package with regwright_add_header().")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the library packages the binary links against
# (libc6, libstdc++6, libpcre2-8-0, libutf8proc2, libpugixml1v5 on Debian 12).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
