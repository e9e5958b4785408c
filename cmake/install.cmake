# Where `cmake --install` (and so the Debian packages) put galsift. Every piece belongs to
# one component, and cmake/package.cmake makes one package of each:
#   console  galsift, galsift-check, the example site, their manual pages
#   web      galsift-cgi and galsift-server, the lighttpd snippet, their manual pages
#   import   galsift-import and its manual page
# A program is installed when it is built here (or, for the script, present).

# The web front ends are run by the web server, not by users: they go in a folder of the
# package's own under lib/ (not the multiarch library folder: they are programs).
set(GALSIFT_INSTALL_PROGRAMDIR lib/galsift)
set(GALSIFT_INSTALL_EXAMPLEDIR ${CMAKE_INSTALL_DATADIR}/galsift/example)

install(TARGETS galsift RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT console)
if(TARGET galsift-check)
    install(TARGETS galsift-check RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT console)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/src/tools/galsift-import)
    install(PROGRAMS src/tools/galsift-import DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT import)
endif()
foreach(program galsift-cgi galsift-server)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${GALSIFT_INSTALL_PROGRAMDIR}
                COMPONENT web)
    endif()
endforeach()

install(DIRECTORY example/ DESTINATION ${GALSIFT_INSTALL_EXAMPLEDIR} COMPONENT console)

# The lighttpd snippet, with the installed paths. The CGI's built-in settings
# (src/cgi/CMakeLists.txt) name the same program, site and spool.
if(TARGET galsift-cgi)
    set(GALSIFT_EXAMPLE_DIR ${CMAKE_INSTALL_FULL_DATADIR}/galsift/example)
    set(GALSIFT_CGI_PATH ${CMAKE_INSTALL_PREFIX}/${GALSIFT_INSTALL_PROGRAMDIR}/galsift-cgi)
    set(GALSIFT_PROGRAM_PATH ${GALSIFT_CGI_PROGRAM})
    set(GALSIFT_SPOOL_DIR ${GALSIFT_CGI_SPOOL})
    set(GALSIFT_LIGHTTPD_DIR ${CMAKE_INSTALL_FULL_SYSCONFDIR}/lighttpd/conf-available)
    configure_file(web/50-galsift.conf.in ${PROJECT_BINARY_DIR}/web/50-galsift.conf @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/web/50-galsift.conf DESTINATION ${GALSIFT_LIGHTTPD_DIR}
            COMPONENT web)
endif()
