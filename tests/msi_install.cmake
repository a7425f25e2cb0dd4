# Runs the installer test in a Wine prefix made for this run alone, so that nothing an earlier run
# or another test left behind can make an install look right or an uninstall look clean. The prefix
# is removed again when the test passes and kept for a look when it fails.
#   EMULATOR, TEST_PROGRAM, MSI, LATER_MSI (the same as a later version), STAGE (the folder the
#   installer was built from), PANE (what the window shows for the sample), WORK_DIR
set(prefix ${WORK_DIR}/wineprefix)

function(stop_wineserver)
    if(EXISTS ${prefix})
        execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${prefix} wineserver -k
                        OUTPUT_QUIET ERROR_QUIET)
    endif()
endfunction()

# Wine sees the Unix root as drive Z:.
function(windows_path variable path)
    string(REPLACE "/" "\\" path "${path}")
    set(${variable} "Z:${path}" PARENT_SCOPE)
endfunction()

stop_wineserver()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
windows_path(msi ${MSI})
windows_path(later_msi ${LATER_MSI})
windows_path(stage ${STAGE})
windows_path(pane ${PANE})
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DSF2VEMO_WINEPREFIX=${prefix}
            ${emulator} ${TEST_PROGRAM} ${msi} ${later_msi} ${stage} ${pane}
    RESULT_VARIABLE status)
stop_wineserver()
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the installer test failed (${status}); its Wine prefix is ${prefix}")
endif()
file(REMOVE_RECURSE ${prefix})
