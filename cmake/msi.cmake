# The Windows installer: the `msi` target (part of the default build) writes
# dsf2vemo-<version>-x64.msi in the build folder with wixl, from resources/dsf2vemo.wxs. It
# installs per user, without administrator rights, the same files as the zip.
find_program(WIXL wixl REQUIRED)

# The version is the project's (from resources/version.h); the publisher is the holder the about
# box names, read from its single source, and a change there reconfigures.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/about/about_site.h)
set(DSF2VEMO_MSI_VERSION ${PROJECT_VERSION})
file(STRINGS ${PROJECT_SOURCE_DIR}/about/about_site.h holder_line REGEX "kCopyrightHolder\\[\\]")
string(REGEX REPLACE ".*kCopyrightHolder\\[\\] = L\"([^\"]+)\".*" "\\1" DSF2VEMO_MSI_PUBLISHER
       "${holder_line}")
if(DSF2VEMO_MSI_PUBLISHER STREQUAL "" OR DSF2VEMO_MSI_PUBLISHER STREQUAL "${holder_line}")
    message(FATAL_ERROR "about/about_site.h names no kCopyrightHolder")
endif()

# Never change the upgrade code: it is how Windows knows a later installer replaces this one. Each
# version gets a product code of its own, derived from the version so that a build is repeatable.
set(DSF2VEMO_UPGRADE_CODE 4F6C2E1B-9D3A-4B57-8E0C-2A7D51F3C968)
string(UUID DSF2VEMO_PRODUCT_CODE NAMESPACE ${DSF2VEMO_UPGRADE_CODE}
       NAME "dsf2vemo ${DSF2VEMO_MSI_VERSION}" TYPE SHA1 UPPER)

set(DSF2VEMO_MSI ${CMAKE_BINARY_DIR}/dsf2vemo-${DSF2VEMO_MSI_VERSION}-x64.msi)
# wixl finds the files relative to its working folder: the stripped programs, the read-me, the
# sample and the icon are gathered there first.
set(stage ${CMAKE_BINARY_DIR}/msi)
file(MAKE_DIRECTORY ${stage})
set(wxs ${PROJECT_SOURCE_DIR}/resources/dsf2vemo.wxs)
set(wixl_common --arch x64 --define "Publisher=${DSF2VEMO_MSI_PUBLISHER}"
                --define UpgradeCode=${DSF2VEMO_UPGRADE_CODE} ${wxs})
add_custom_command(OUTPUT ${DSF2VEMO_MSI}
    COMMAND ${CMAKE_STRIP} --strip-all -o dsf2vemo.exe $<TARGET_FILE:dsf2vemo>
    COMMAND ${CMAKE_STRIP} --strip-all -o dsf2vemo-cli.exe $<TARGET_FILE:dsf2vemo-cli>
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/README.md
            ${PROJECT_SOURCE_DIR}/examples/demo.dsf ${PROJECT_SOURCE_DIR}/resources/dsf2vemo.ico .
    COMMAND ${WIXL} --output ${DSF2VEMO_MSI} --define Version=${DSF2VEMO_MSI_VERSION}
            --define ProductCode=${DSF2VEMO_PRODUCT_CODE} ${wixl_common}
    WORKING_DIRECTORY ${stage}
    DEPENDS dsf2vemo dsf2vemo-cli ${wxs} ${PROJECT_SOURCE_DIR}/README.md
            ${PROJECT_SOURCE_DIR}/examples/demo.dsf ${PROJECT_SOURCE_DIR}/resources/dsf2vemo.ico
            ${PROJECT_SOURCE_DIR}/resources/version.h ${PROJECT_SOURCE_DIR}/about/about_site.h
    COMMENT "Building dsf2vemo-${DSF2VEMO_MSI_VERSION}-x64.msi"
    VERBATIM)
add_custom_target(msi ALL DEPENDS ${DSF2VEMO_MSI})

if(DSF2VEMO_BUILD_TESTS)
    # The same files as the next major version, to see a later installer replace this one.
    string(REGEX MATCH "^[0-9]+" major ${DSF2VEMO_MSI_VERSION})
    math(EXPR later_major "${major} + 1")
    set(later_version ${later_major}.00)
    string(UUID later_code NAMESPACE ${DSF2VEMO_UPGRADE_CODE}
           NAME "dsf2vemo ${later_version}" TYPE SHA1 UPPER)
    set(later_msi ${CMAKE_BINARY_DIR}/tests/dsf2vemo-${later_version}-x64.msi)
    add_custom_command(OUTPUT ${later_msi}
        COMMAND ${WIXL} --output ${later_msi} --define Version=${later_version}
                --define ProductCode=${later_code} ${wixl_common}
        WORKING_DIRECTORY ${stage}
        DEPENDS ${DSF2VEMO_MSI}
        VERBATIM)
    add_custom_target(msi_later_version ALL DEPENDS ${later_msi})
    # Built after the installer, never beside it: both would make it otherwise.
    add_dependencies(msi_later_version msi)

    # Installs, opens a file through the installed program, upgrades and uninstalls, in a Wine
    # prefix made for it alone.
    add_executable(dsf2vemo_msi_tests ${PROJECT_SOURCE_DIR}/tests/msi_install_test.cpp)
    target_include_directories(dsf2vemo_msi_tests PRIVATE ${PROJECT_SOURCE_DIR}/main_window
                                                          ${PROJECT_SOURCE_DIR}/resources)
    target_link_libraries(dsf2vemo_msi_tests PRIVATE dsf2vemo_warnings GTest::gtest -lmsi ole32
                                                     uuid)
    target_link_options(dsf2vemo_msi_tests PRIVATE -municode)
    add_test(NAME windows.msi_install
        COMMAND ${CMAKE_COMMAND} "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
                -DTEST_PROGRAM=$<TARGET_FILE:dsf2vemo_msi_tests> -DMSI=${DSF2VEMO_MSI}
                -DLATER_MSI=${later_msi}
                -DSTAGE=${stage} -DPANE=${PROJECT_SOURCE_DIR}/tests/data/demo_pane.txt
                -DWORK_DIR=${CMAKE_BINARY_DIR}/tests/msi_install
                -P ${PROJECT_SOURCE_DIR}/tests/msi_install.cmake)
    set_tests_properties(windows.msi_install PROPERTIES ENVIRONMENT "LC_ALL=C" TIMEOUT 180)
endif()
