# What `cmake --install` puts under the prefix: both libraries, the public
# headers, the CMake package (Quillet::quillet), quillet.pc, the tool with its
# man page and bash completion (installed by apps/).
include(CMakePackageConfigHelpers)

set(QUILLET_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quillet)

set_target_properties(quillet PROPERTIES EXPORT_NAME quillet_static)
set_target_properties(quillet_shared PROPERTIES EXPORT_NAME quillet_shared)
install(TARGETS quillet quillet_shared EXPORT QuilletTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/quillet ${PROJECT_BINARY_DIR}/include/quillet
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
install(EXPORT QuilletTargets NAMESPACE Quillet:: DESTINATION ${QUILLET_CMAKE_DIR})

configure_package_config_file(cmake/QuilletConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/QuilletConfig.cmake
                              INSTALL_DESTINATION ${QUILLET_CMAKE_DIR}
                              PATH_VARS CMAKE_INSTALL_BINDIR)
# 0.x releases keep their interface within one minor version.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QuilletConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QuilletConfig.cmake
              ${PROJECT_BINARY_DIR}/QuilletConfigVersion.cmake cmake/QuilletDependencies.cmake
        DESTINATION ${QUILLET_CMAKE_DIR})

# quillet.pc finds its prefix from its own place, so the installed tree can
# be moved (and `cmake --install --prefix` chosen at install time).
file(RELATIVE_PATH QUILLET_PC_PREFIX_FROM_PCFILEDIR "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" QUILLET_PC_PREFIX_FROM_PCFILEDIR "${QUILLET_PC_PREFIX_FROM_PCFILEDIR}")
set(QUILLET_PC_SYSTEM_LIBS "-ldl -pthread")
configure_file(cmake/quillet.pc.in ${PROJECT_BINARY_DIR}/quillet.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quillet.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The systemd unit that runs `quillet serve` (packaging/quillet.service.in),
# with the tool's installed path in it. A relative directory is under the
# prefix: /usr/lib/systemd/system for a package.
set(QUILLET_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING
    "Where cmake --install puts quillet.service (relative: under the prefix)")
configure_file(packaging/quillet.service.in ${PROJECT_BINARY_DIR}/quillet.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quillet.service DESTINATION ${QUILLET_SYSTEMD_UNIT_DIR})
