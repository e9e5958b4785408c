# The Debian packages, built by `cpack` (or `cmake --workflow --preset package`) from the
# components of cmake/install.cmake:
#   galsift         the console program, galsift-check, the example site: needs only the
#                   C++ runtime
#   galsift-web     the web front ends and the lighttpd snippet: needs galsift (and
#                   libfcgi, zlib, the HEALPix C++ library, SQLite and expat for the query
#                   server); recommends lighttpd
#   galsift-import  the import tool, a Python script: needs python3-astropy
# Binary dependencies are found by dpkg-shlibdeps. The version is the project's.
if(NOT UNIX OR CMAKE_CROSSCOMPILING)
    return()
endif()

set(GALSIFT_MAINTAINER "galsift developers <galsift@example.org>" CACHE STRING
    "Maintainer named in the Debian packages")

# The changelog's latest entry must be this version: bump both together.
file(STRINGS packaging/debian/changelog latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^galsift \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/debian/changelog starts with '${latest}': add an entry "
                        "for version ${PROJECT_VERSION}")
endif()

# Every package carries its copyright and the changelog (gzip -n: no time stamp).
set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh
            ${PROJECT_SOURCE_DIR}/packaging/debian/changelog ${changelog}
    DEPENDS packaging/debian/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${changelog})

get_cmake_property(components COMPONENTS)
list(REMOVE_ITEM components Unspecified)
set(package_console galsift)
set(package_web galsift-web)
set(package_import galsift-import)
foreach(component ${components})
    install(FILES packaging/debian/copyright ${changelog}
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package_${component}}
            COMPONENT ${component})
endforeach()

# The web package's scripts: the spool for the web server's user; on removal, the site
# disabled in lighttpd; on purge, the spool removed. The snippet is a configuration file
# the administrator may edit.
set(GALSIFT_LIGHTTPD_ENABLED ${CMAKE_INSTALL_FULL_SYSCONFDIR}/lighttpd/conf-enabled/50-galsift.conf)
set(scripts ${PROJECT_BINARY_DIR}/packaging/web)
configure_file(packaging/debian/galsift-web.postinst.in ${scripts}/postinst @ONLY)
configure_file(packaging/debian/galsift-web.postrm.in ${scripts}/postrm @ONLY)
file(WRITE ${scripts}/conffiles "${GALSIFT_SNIPPET}\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME galsift)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${GALSIFT_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_COMPONENTS_ALL ${components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_CONSOLE_PACKAGE_NAME galsift)
set(CPACK_DEBIAN_CONSOLE_DESCRIPTION
"select galaxies of a catalogue by sky box and redshift
galsift answers one query against a catalogue of galaxies with
spectroscopic redshifts: a box in right ascension and declination, a
redshift interval and an epoch (J2000 or B1950). It reads the query and
the catalogue from fixed files in the working directory and writes an
HTML page of the matching entries. galsift-check says what galsift will
make of a catalogue file. An example site is in /usr/share/galsift.")

set(CPACK_DEBIAN_WEB_PACKAGE_NAME galsift-web)
set(CPACK_DEBIAN_WEB_PACKAGE_DEPENDS "galsift (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_WEB_PACKAGE_RECOMMENDS lighttpd)
set(CPACK_DEBIAN_WEB_PACKAGE_SECTION web)
set(CPACK_DEBIAN_WEB_PACKAGE_CONTROL_EXTRA
    ${scripts}/conffiles ${scripts}/postinst ${scripts}/postrm)
set(CPACK_DEBIAN_WEB_DESCRIPTION
"web front end of galsift, the galaxy catalogue query
Serves a galsift catalogue site: a visitor fills in the query form and
gets the page of matching galaxies. galsift-cgi answers through CGI; a
lighttpd configuration snippet (lighttpd-enable-mod galsift) serves the
example site at /galsift/. The query server also answers a cone search and
ADQL queries through the IVOA Table Access Protocol at /galsift/tap.")

set(CPACK_DEBIAN_IMPORT_PACKAGE_NAME galsift-import)
set(CPACK_DEBIAN_IMPORT_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_IMPORT_PACKAGE_DEPENDS "python3, python3-astropy")
set(CPACK_DEBIAN_IMPORT_PACKAGE_RECOMMENDS galsift)
set(CPACK_DEBIAN_IMPORT_DESCRIPTION
"make galsift catalogue files from CSV, FITS or VOTable
galsift-import reads a table of galaxies (name, position, redshift,
reference) and writes the catalogue files galsift reads, at J2000 and
at B1950 (FK4, computed with astropy).")

include(CPack)
