# `cpack -G DEB` in a build folder: one Debian package of everything that
# `cmake --install` puts in place (the tool with its man page and completion,
# the shared and static library, the headers, the CMake and pkg-config files,
# the systemd unit). Its files go under CMAKE_INSTALL_PREFIX, which the unit's
# ExecStart names too: configure with -DCMAKE_INSTALL_PREFIX=/usr (and a
# Release build) for a package, as scripts/package-check.sh does.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

set(QUILLET_PACKAGE_MAINTAINER "Quillet developers <quillet@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "Quillet developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUILLET_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "serial-number rules for the inventory items of an ERP database")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillet issues serial numbers for inventory items by rules kept in the ERP's
own database (SQLite or PostgreSQL): running numbers per rule, date and
department parts, value-to-code mappings and a journal of what was issued.
This package holds the quillet tool and service (quillet serve, with a
hardened systemd unit), the shared and static library with its headers, and
the CMake and pkg-config files to build against it.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The run-time libraries (libpq, SQLite, libxml2, libzint, ...) as
# dpkg-shlibdeps reads them from the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Building against the library needs the headers of what it links.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS
    "nlohmann-json3-dev, libsoci-dev, libxml2-dev, libsqlite3-dev, libpq-dev, libzint-dev")
# The maintainer scripts only run ldconfig for the shared library, and not
# for an install into another root (DPKG_ROOT). The unit is enabled by the
# administrator: systemctl daemon-reload; systemctl enable --now quillet.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/deb/postinst
                                       ${PROJECT_SOURCE_DIR}/packaging/deb/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
