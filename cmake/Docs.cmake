# The manual pages, built from their scdoc sources in doc/, and the bash completion of tavrinctl.
#   share/man/man1/tavrinctl.1, tavrin-gaming-keyboard.1
#   share/bash-completion/completions/tavrinctl
# Without scdoc the build goes on without the pages: they are documentation, not a part of the
# programs. scripts/bootstrap installs scdoc.
include(GNUInstallDirs)

find_program(SCDOC_EXECUTABLE scdoc)
if(SCDOC_EXECUTABLE)
    set(man_pages)
    foreach(page tavrinctl.1 tavrin-gaming-keyboard.1)
        set(source ${PROJECT_SOURCE_DIR}/doc/${page}.scd)
        set(output ${CMAKE_BINARY_DIR}/doc/${page})
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
            COMMAND ${CMAKE_COMMAND} -DSCDOC=${SCDOC_EXECUTABLE} -DINPUT=${source}
                    -DOUTPUT=${output} -P ${PROJECT_SOURCE_DIR}/cmake/ScdocPage.cmake
            DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/ScdocPage.cmake
            COMMENT "Building the manual page ${page}"
            VERBATIM)
        list(APPEND man_pages ${output})
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${man_pages})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(WARNING "scdoc not found: the manual pages are not built (scripts/bootstrap installs it)")
endif()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/bash-completion/tavrinctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
