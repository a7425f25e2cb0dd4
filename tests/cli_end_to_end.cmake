# Runs the command line program on the sample file and checks statuses, files and output.
# EMULATOR, when set, runs the program (Wine for Windows builds).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")

function(run_cli expected_status stdout_file stderr_var)
    execute_process(COMMAND ${emulator} ${CLI} ${ARGN}
                    RESULT_VARIABLE status OUTPUT_FILE ${stdout_file} ERROR_VARIABLE stderr)
    if(NOT status EQUAL expected_status)
        message(FATAL_ERROR "'${ARGN}' exited with ${status}, expected ${expected_status}: ${stderr}")
    endif()
    set(${stderr_var} "${stderr}" PARENT_SCOPE)
endfunction()

function(expect_same_bytes actual expected)
    file(SHA256 ${actual} actual_hash)
    file(SHA256 ${expected} expected_hash)
    if(NOT actual_hash STREQUAL expected_hash)
        file(READ ${actual} content HEX)
        message(FATAL_ERROR "${actual} differs from ${expected}; it holds ${content}")
    endif()
endfunction()

run_cli(0 ${WORK_DIR}/echo.out err --echo -o ${WORK_DIR}/demo.txt ${INPUT})
expect_same_bytes(${WORK_DIR}/echo.out ${EXPECTED_DIR}/demo_pane.txt)
expect_same_bytes(${WORK_DIR}/demo.txt ${EXPECTED_DIR}/demo_comma.txt)

run_cli(0 ${WORK_DIR}/semicolon.out err --list-separator "\\;" --decimal-separator "," -o - ${INPUT})
expect_same_bytes(${WORK_DIR}/semicolon.out ${EXPECTED_DIR}/demo_semicolon.txt)

run_cli(0 ${WORK_DIR}/version.out err --version)
file(READ ${WORK_DIR}/version.out version)
if(NOT version MATCHES "^dsf2vemo 1\\.00\r?\n$")
    message(FATAL_ERROR "--version printed '${version}'")
endif()

run_cli(1 ${WORK_DIR}/missing.out err ${WORK_DIR}/missing.dsf)
if(NOT err MATCHES "dsf2vemo-cli: error: cannot read '.*missing\\.dsf': ")
    message(FATAL_ERROR "unexpected message for a missing file: ${err}")
endif()
if(EXISTS ${WORK_DIR}/missing.dsf OR EXISTS ${WORK_DIR}/missing.txt)
    message(FATAL_ERROR "a missing input was created or converted")
endif()

run_cli(2 ${WORK_DIR}/usage.out err --no-such-option ${INPUT})
