# Run by cmake --install (and CPack): makes the manual page anew, so that the folders it names are
# the ones under the prefix given then (cmake --install --prefix), not the one configured.
# Set before: MAN_SOURCE (the .scd.in), MAN_WORK (a folder of the build tree), SCDOC, VERSION,
# DOCDIR and MANDIR (as GNUInstallDirs has them, relative to the prefix or absolute) and
# COMPRESS (the package's .gz).

foreach(folder DOCDIR MANDIR)
    if(IS_ABSOLUTE "${${folder}}")
        set(full_${folder} "${${folder}}")
    else()
        set(full_${folder} "${CMAKE_INSTALL_PREFIX}/${${folder}}")
    endif()
endforeach()

# The names the source fills in.
set(PROJECT_VERSION "${VERSION}")
set(CMAKE_INSTALL_FULL_DOCDIR "${full_DOCDIR}")
configure_file("${MAN_SOURCE}" "${MAN_WORK}/installed/dsf2vemo-cli.1.scd" @ONLY)
set(page "${MAN_WORK}/installed/dsf2vemo-cli.1")
execute_process(COMMAND "${SCDOC}" INPUT_FILE "${page}.scd" OUTPUT_FILE "${page}"
                COMMAND_ERROR_IS_FATAL ANY)
if(COMPRESS)
    # -n keeps name and time stamp out of it.
    execute_process(COMMAND gzip -9nkf "${page}" COMMAND_ERROR_IS_FATAL ANY)
    set(page "${page}.gz")
endif()
file(INSTALL "${page}" DESTINATION "${full_MANDIR}/man1")
