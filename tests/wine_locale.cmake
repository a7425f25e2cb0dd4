# Runs the Windows command line program under Wine in several user locales, with no separator
# options, so the separators come from GetLocaleInfoA. The runs alternate between locales against
# the same running wineserver: each must see the locale it was started with.
#   CLI, EMULATOR (tools/wine/wine_run.sh), INPUT, EXPECTED_DIR, WORK_DIR, LOCPATH_DIR
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# name | environment (;-free, ","-separated) | text data file | echo
set(cases
    "de_lc_all|LC_ALL=de_DE.UTF-8|demo_semicolon.txt|demo_pane_decimal_comma.txt"
    "en_lc_all|LC_ALL=en_US.UTF-8|demo_comma.txt|demo_pane.txt"
    "de_again|LC_ALL=de_DE.UTF-8|demo_semicolon.txt|demo_pane_decimal_comma.txt"
    "c|LC_ALL=C|demo_comma.txt|demo_pane.txt"
    "de_lang|LANG=de_DE.UTF-8,LOCPATH=${LOCPATH_DIR}|demo_semicolon.txt|demo_pane_decimal_comma.txt"
    "en_lang|LANG=en_US.UTF-8,LOCPATH=${LOCPATH_DIR}|demo_comma.txt|demo_pane.txt")

function(expect_same_bytes name actual expected)
    file(SHA256 ${actual} actual_hash)
    file(SHA256 ${expected} expected_hash)
    if(NOT actual_hash STREQUAL expected_hash)
        file(READ ${actual} content)
        message(FATAL_ERROR "${name}: ${actual} differs from ${expected}; it holds:\n${content}")
    endif()
endfunction()

foreach(case ${cases})
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 environment)
    list(GET fields 2 expected_file)
    list(GET fields 3 expected_echo)
    string(REPLACE "," ";" environment "${environment}")
    set(output ${WORK_DIR}/${name}.txt)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=LC_ALL --unset=LANG --unset=LC_NUMERIC
                --unset=LOCPATH ${environment} ${EMULATOR} ${CLI} --echo -o ${output} ${INPUT}
        RESULT_VARIABLE status OUTPUT_FILE ${WORK_DIR}/${name}.echo ERROR_VARIABLE stderr)
    # The launcher script's shell warns about locales glibc doesn't have; Wine itself is silent.
    string(REGEX REPLACE "[^\n]*setlocale: [^\n]*\n" "" stderr "${stderr}")
    if(NOT status EQUAL 0 OR NOT stderr STREQUAL "")
        message(FATAL_ERROR "${name} (${environment}): exit status ${status}, stderr: ${stderr}")
    endif()
    expect_same_bytes(${name} ${output} ${EXPECTED_DIR}/${expected_file})
    expect_same_bytes(${name} ${WORK_DIR}/${name}.echo ${EXPECTED_DIR}/${expected_echo})
endforeach()
