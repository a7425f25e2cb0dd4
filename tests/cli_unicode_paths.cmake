# Runs the command line program on files in folders named in Greek and Chinese: writing beside
# the input, writing where -o says, and naming a missing file in its message. EMULATOR, when set,
# runs the program (Wine for Windows builds); PTY_RUNNER, when set (util-linux `script`), also
# runs it on a terminal, where a Windows program's stderr is a console.
#   CLI, EMULATOR, INPUT, EXPECTED, WORK_DIR, PTY_RUNNER
file(REMOVE_RECURSE ${WORK_DIR})
set(folder "${WORK_DIR}/Δεδομένα_数据")
set(elsewhere "${WORK_DIR}/出力_Αποτελέσματα")
file(MAKE_DIRECTORY ${folder} ${elsewhere})
file(COPY_FILE ${INPUT} "${folder}/Δείγμα_样本.dsf")
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")

function(run_cli expected_status stderr_var)
    execute_process(COMMAND ${emulator} ${CLI} ${ARGN}
                    RESULT_VARIABLE status OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
    if(NOT status EQUAL expected_status)
        message(FATAL_ERROR "'${ARGN}' exited with ${status}, expected ${expected_status}: ${stderr}")
    endif()
    set(${stderr_var} "${stderr}" PARENT_SCOPE)
endfunction()

function(expect_same_bytes actual)
    if(NOT EXISTS "${actual}")
        file(GLOB_RECURSE made LIST_DIRECTORIES false RELATIVE ${WORK_DIR} ${WORK_DIR}/*)
        message(FATAL_ERROR "${actual} was not written; the work folder holds: ${made}")
    endif()
    file(SHA256 "${actual}" actual_hash)
    file(SHA256 ${EXPECTED} expected_hash)
    if(NOT actual_hash STREQUAL expected_hash)
        message(FATAL_ERROR "${actual} differs from ${EXPECTED}")
    endif()
endfunction()

run_cli(0 err "${folder}/Δείγμα_样本.dsf")
expect_same_bytes("${folder}/Δείγμα_样本.txt")

run_cli(0 err -o "${elsewhere}/結果.txt" "${folder}/Δείγμα_样本.dsf")
expect_same_bytes("${elsewhere}/結果.txt")

set(missing "${folder}/不在.dsf")
run_cli(1 err "${missing}")
string(FIND "${err}" "cannot read '${missing}'" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the message doesn't name '${missing}' in UTF-8: ${err}")
endif()

if(PTY_RUNNER)
    # On a terminal the text goes through the console; it must still arrive as the same UTF-8,
    # not as its bytes read in a single-byte code page. A wide terminal keeps the line whole.
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env "PTY_EMULATOR=${EMULATOR}" "PTY_CLI=${CLI}"
                "PTY_ARG=${missing}"
                ${PTY_RUNNER} -qec "stty cols 2000; $PTY_EMULATOR \"$PTY_CLI\" \"$PTY_ARG\"" /dev/null
        INPUT_FILE /dev/null RESULT_VARIABLE status OUTPUT_VARIABLE terminal ERROR_QUIET
        TIMEOUT 60)
    string(FIND "${terminal}" "${missing}" at)
    if(NOT status EQUAL 1 OR at EQUAL -1)
        message(FATAL_ERROR "on a terminal: status ${status}, output: ${terminal}")
    endif()
endif()
