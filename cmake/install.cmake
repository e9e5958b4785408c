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
    install(PROGRAMS ${PROJECT_BINARY_DIR}/src/tools/galsift-import DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT import)
endif()
foreach(program galsift-cgi galsift-server)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${GALSIFT_INSTALL_PROGRAMDIR}
                COMPONENT web)
    endif()
endforeach()

install(DIRECTORY example/ DESTINATION ${GALSIFT_INSTALL_EXAMPLEDIR} COMPONENT console)

# The lighttpd snippet, with the installed paths, and the files it includes for each front
# end it can use (the first built is the one it includes). The CGI's built-in settings
# (src/cgi/CMakeLists.txt) name the same program, site and spool.
set(GALSIFT_EXAMPLE_DIR ${CMAKE_INSTALL_FULL_DATADIR}/galsift/example)
set(GALSIFT_PROGRAM_PATH ${GALSIFT_CGI_PROGRAM})
set(GALSIFT_SPOOL_DIR ${GALSIFT_CGI_SPOOL})
set(GALSIFT_SNIPPET ${CMAKE_INSTALL_FULL_SYSCONFDIR}/lighttpd/conf-available/50-galsift.conf)
set(lighttpd_files ${CMAKE_INSTALL_FULL_DATADIR}/galsift/lighttpd)
# lighttpd's own error pages for the site, the ones scripts/serve uses.
set(GALSIFT_ERROR_PAGES ${lighttpd_files}/errors)
set(GALSIFT_FRONT_ENDS "")
set(include_line "include")
foreach(front_end server cgi)
    if(NOT TARGET galsift-${front_end})
        continue()
    endif()
    string(TOUPPER ${front_end} upper)
    set(GALSIFT_${upper}_PATH
        ${CMAKE_INSTALL_PREFIX}/${GALSIFT_INSTALL_PROGRAMDIR}/galsift-${front_end})
    configure_file(packaging/lighttpd/${front_end}.conf.in
                   ${PROJECT_BINARY_DIR}/lighttpd/${front_end}.conf @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/lighttpd/${front_end}.conf
            DESTINATION ${CMAKE_INSTALL_DATADIR}/galsift/lighttpd COMPONENT web)
    string(APPEND GALSIFT_FRONT_ENDS
           "${include_line} \"${lighttpd_files}/${front_end}.conf\"\n")
    set(include_line "#include")
endforeach()
if(GALSIFT_FRONT_ENDS)
    install(DIRECTORY web/errors/ DESTINATION ${CMAKE_INSTALL_DATADIR}/galsift/lighttpd/errors
            COMPONENT web)
    configure_file(packaging/lighttpd/50-galsift.conf.in
                   ${PROJECT_BINARY_DIR}/lighttpd/50-galsift.conf @ONLY)
    get_filename_component(snippet_dir ${GALSIFT_SNIPPET} DIRECTORY)
    install(FILES ${PROJECT_BINARY_DIR}/lighttpd/50-galsift.conf DESTINATION ${snippet_dir}
            COMPONENT web)
endif()
