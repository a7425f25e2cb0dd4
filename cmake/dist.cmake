# The Windows package: `cmake --build --preset windows --target dist` writes
# dsf2vemo-<version>-win64.zip in the build folder with the programs (stripped), the read-me and
# the sample. Included after every program target is defined, so the window program joins the
# package once its target exists.
set(DSF2VEMO_DIST_NAME dsf2vemo-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}-win64)
set(DSF2VEMO_DIST_ZIP ${CMAKE_BINARY_DIR}/${DSF2VEMO_DIST_NAME}.zip)
set(DSF2VEMO_DIST_PROGRAMS dsf2vemo-cli)
if(TARGET dsf2vemo)
    list(PREPEND DSF2VEMO_DIST_PROGRAMS dsf2vemo)
endif()
set(DSF2VEMO_DIST_EXECUTABLES)
foreach(program ${DSF2VEMO_DIST_PROGRAMS})
    list(APPEND DSF2VEMO_DIST_EXECUTABLES $<TARGET_FILE:${program}>)
endforeach()
set(DSF2VEMO_DIST_FILES ${DSF2VEMO_DIST_EXECUTABLES} ${PROJECT_SOURCE_DIR}/README.md
    ${PROJECT_SOURCE_DIR}/examples/demo.dsf)

add_custom_target(dist
    COMMAND ${PROJECT_SOURCE_DIR}/tools/dist.sh ${CMAKE_STRIP} ${DSF2VEMO_DIST_ZIP}
            ${DSF2VEMO_DIST_NAME} ${DSF2VEMO_DIST_FILES}
    COMMAND ${PROJECT_SOURCE_DIR}/tools/check_imports.sh ${CMAKE_OBJDUMP}
            ${DSF2VEMO_DIST_EXECUTABLES}
    DEPENDS ${DSF2VEMO_DIST_PROGRAMS}
    COMMENT "Packing ${DSF2VEMO_DIST_NAME}.zip"
    VERBATIM)

if(DSF2VEMO_BUILD_TESTS)
    # Every program imports system DLLs only.
    add_test(NAME windows.system_imports_only
        COMMAND ${PROJECT_SOURCE_DIR}/tools/check_imports.sh ${CMAKE_OBJDUMP}
                ${DSF2VEMO_DIST_EXECUTABLES})
    # The package holds what it should, stripped, and its program runs.
    add_test(NAME windows.dist_package
        COMMAND ${CMAKE_COMMAND} -DDIST_SCRIPT=${PROJECT_SOURCE_DIR}/tools/dist.sh
                -DCHECK_IMPORTS=${PROJECT_SOURCE_DIR}/tools/check_imports.sh
                -DSTRIP=${CMAKE_STRIP} -DOBJDUMP=${CMAKE_OBJDUMP}
                "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                -DNAME=${DSF2VEMO_DIST_NAME} "-DFILES=${DSF2VEMO_DIST_FILES}"
                -DWORK_DIR=${CMAKE_BINARY_DIR}/tests/dist_package
                -DEXPECTED_TEXT=${PROJECT_SOURCE_DIR}/tests/data/demo_comma.txt
                -P ${PROJECT_SOURCE_DIR}/tests/dist_package.cmake)
    set_tests_properties(windows.dist_package PROPERTIES ENVIRONMENT "LC_ALL=C")
endif()
