# The Debian package dsf2vemo-cli_<version>-1_<arch>.deb of the command-line converter, made by
# CPack from the install rules: `cmake --preset deb && cmake --build --preset deb`.
# The deb preset sets DSF2VEMO_DEBIAN_PACKAGE, the prefix /usr and Debian's folders.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dsf2vemo-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The dsf2vemo authors")
set(CPACK_PACKAGE_CONTACT "The dsf2vemo authors <maintainers@dsf2vemo.example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://dsf2vemo.example.org/vemo)
# Depends from what the program links against, as dpkg-shlibdeps finds it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert PRELIS 2 data system files into covariance data files")
# The long description; CPack puts the summary before it and indents each line as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "dsf2vemo-cli reads the sample moments of a PRELIS 2 data system file (*.dsf):
the number of cases, the variable names, the lower triangle of the
covariance matrix and the means. It writes them as a Vemo-compatible text
data file of covariances and means, as JSON, or as Mplus summary data, and
warns about data that look wrong as a covariance matrix.")
# Only the packaging's folders belong to the package, not /usr or /usr/share themselves.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

if(DSF2VEMO_DEBIAN_PACKAGE)
    set(DSF2VEMO_DEB_VERSION ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/deb/changelog.Debian.in
                   ${CMAKE_BINARY_DIR}/deb/changelog.Debian @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz
        COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/deb/changelog.Debian
        DEPENDS ${CMAKE_BINARY_DIR}/deb/changelog.Debian
        VERBATIM)
    add_custom_target(dsf2vemo-deb-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/deb/copyright
                  ${CMAKE_BINARY_DIR}/deb/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

include(CPack)
