# The libraries the Quillet library links, found the same way when Quillet
# itself is built and when a project uses an installed Quillet
# (QuilletConfig.cmake includes this file). SOCI ships no CMake package on
# Debian, so its core and the two backends are located by hand and gathered in
# the imported target Quillet::soci; libzint (barcodes) ships neither a CMake
# package nor a pkg-config file there and becomes Quillet::zint the same way.
#
# Inside QuilletConfig.cmake a missing dependency makes find_package(Quillet)
# fail the way the caller asked (REQUIRED or QUIET); in Quillet's own build it
# is an error.

if(QUILLET_CONFIG_FINDING)
  include(CMakeFindDependencyMacro)
  macro(quillet_need_package)
    find_dependency(${ARGV})
  endmacro()
else()
  macro(quillet_need_package)
    find_package(${ARGV} REQUIRED)
  endmacro()
endif()

quillet_need_package(nlohmann_json 3)
quillet_need_package(LibXml2)
quillet_need_package(Iconv)
quillet_need_package(Threads)
quillet_need_package(PostgreSQL)
quillet_need_package(SQLite3)

if(NOT TARGET Quillet::soci)
  find_path(QUILLET_SOCI_INCLUDE_DIR soci/soci.h)
  find_library(QUILLET_SOCI_CORE_LIBRARY soci_core)
  find_library(QUILLET_SOCI_SQLITE3_LIBRARY soci_sqlite3)
  find_library(QUILLET_SOCI_POSTGRESQL_LIBRARY soci_postgresql)
  foreach(part QUILLET_SOCI_INCLUDE_DIR QUILLET_SOCI_CORE_LIBRARY QUILLET_SOCI_SQLITE3_LIBRARY
               QUILLET_SOCI_POSTGRESQL_LIBRARY)
    if(NOT ${part})
      set(message "SOCI (core, sqlite3 and postgresql backends) not found: ${part} is not set")
      if(QUILLET_CONFIG_FINDING)
        set(Quillet_FOUND FALSE)
        set(Quillet_NOT_FOUND_MESSAGE "${message}")
        return()
      endif()
      message(FATAL_ERROR "${message}")
    endif()
  endforeach()
  add_library(Quillet::soci INTERFACE IMPORTED)
  set_target_properties(Quillet::soci PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${QUILLET_SOCI_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES
      "${QUILLET_SOCI_SQLITE3_LIBRARY};${QUILLET_SOCI_POSTGRESQL_LIBRARY};${QUILLET_SOCI_CORE_LIBRARY};PostgreSQL::PostgreSQL;SQLite::SQLite3;${CMAKE_DL_LIBS}")
endif()

if(NOT TARGET Quillet::zint)
  find_path(QUILLET_ZINT_INCLUDE_DIR zint.h)
  find_library(QUILLET_ZINT_LIBRARY zint)
  if(NOT QUILLET_ZINT_INCLUDE_DIR OR NOT QUILLET_ZINT_LIBRARY)
    set(message "libzint not found (Debian: libzint-dev)")
    if(QUILLET_CONFIG_FINDING)
      set(Quillet_FOUND FALSE)
      set(Quillet_NOT_FOUND_MESSAGE "${message}")
      return()
    endif()
    message(FATAL_ERROR "${message}")
  endif()
  add_library(Quillet::zint INTERFACE IMPORTED)
  set_target_properties(Quillet::zint PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${QUILLET_ZINT_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "${QUILLET_ZINT_LIBRARY}")
endif()
