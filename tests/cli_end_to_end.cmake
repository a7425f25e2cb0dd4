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

# --check reads and diagnoses only: the sample has no findings, and nothing is written beside it.
get_filename_component(input_dir ${INPUT} DIRECTORY)
get_filename_component(input_name ${INPUT} NAME_WE)
set(beside ${input_dir}/${input_name}.txt)
set(existed_before FALSE)
if(EXISTS ${beside})
    set(existed_before TRUE)
endif()
run_cli(0 ${WORK_DIR}/check.out err --check ${INPUT})
file(READ ${WORK_DIR}/check.out check)
if(NOT check MATCHES "^[^\n]*demo\\.dsf: no findings\r?\n$" OR NOT err STREQUAL "")
    message(FATAL_ERROR "--check printed '${check}' and '${err}'")
endif()
if(EXISTS ${beside} AND NOT existed_before)
    message(FATAL_ERROR "--check wrote ${beside}")
endif()
run_cli(1 ${WORK_DIR}/check_missing.out err --check --quiet ${WORK_DIR}/missing.dsf)
if(NOT err MATCHES "cannot read")
    message(FATAL_ERROR "--check --quiet hid the error for a missing file: '${err}'")
endif()
run_cli(2 ${WORK_DIR}/check_usage.out err --check -o ${WORK_DIR}/x.txt ${INPUT})

# A target that is a chain of symbolic links stays one: the file at its end is replaced, and no
# temporary file is left. The links are made here, so the Windows program meets real ones too.
file(MAKE_DIRECTORY ${WORK_DIR}/shared ${WORK_DIR}/out)
file(WRITE ${WORK_DIR}/shared/study.txt "old")
file(CREATE_LINK ../shared/study.txt ${WORK_DIR}/out/link.txt SYMBOLIC)
file(CREATE_LINK ${WORK_DIR}/out/link.txt ${WORK_DIR}/chain.txt SYMBOLIC)
run_cli(0 ${WORK_DIR}/link.out err --list-separator , --decimal-separator . -o ${WORK_DIR}/chain.txt
        ${INPUT})
expect_same_bytes(${WORK_DIR}/shared/study.txt ${EXPECTED_DIR}/demo_comma.txt)
foreach(link out/link.txt chain.txt)
    if(NOT IS_SYMLINK ${WORK_DIR}/${link})
        message(FATAL_ERROR "${link} is no longer a symbolic link")
    endif()
endforeach()
file(GLOB left_behind ${WORK_DIR}/*.tmp ${WORK_DIR}/out/*.tmp ${WORK_DIR}/shared/*.tmp)
if(left_behind)
    message(FATAL_ERROR "temporary files were left: ${left_behind}")
endif()

# "-" reads standard input, every byte as it is: this file holds a Ctrl+Z (0x1A) and CRs, which
# a text-mode read on Windows would end at or drop.
set(binary_input ${BINARY_INPUT})
run_cli(0 ${WORK_DIR}/by_path.txt err --list-separator , --decimal-separator . -o - ${binary_input})
execute_process(COMMAND ${emulator} ${CLI} --list-separator , --decimal-separator . -o - -
                INPUT_FILE ${binary_input}
                RESULT_VARIABLE status OUTPUT_FILE ${WORK_DIR}/from_stdin.txt ERROR_VARIABLE stderr)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "'- -o -' with the file on standard input exited with ${status}: ${stderr}")
endif()
expect_same_bytes(${WORK_DIR}/from_stdin.txt ${WORK_DIR}/by_path.txt)
