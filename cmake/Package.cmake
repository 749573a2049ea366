# The Debian package: `cpack -G DEB` in a build folder configured for /usr (scripts/package.sh
# does all of it) makes varnholt_<version>_<arch>.deb. Its Debian documents (copyright, changelog)
# are made here from LICENSE and the release date, and installed with every installation.
set(VARNHOLT_MAINTAINER "Varnholt developers <varnholt@kestrane.example.org>")
set(VARNHOLT_HOMEPAGE "https://kestrane.example.org/varnholt/")
set(VARNHOLT_DEBIAN_DIR ${PROJECT_BINARY_DIR}/debian)
find_program(VARNHOLT_GZIP gzip REQUIRED)

# copyright: the machine-readable form with LICENSE's own text, one " ." for each empty line.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE license_lines)
list(FILTER license_lines EXCLUDE REGEX "^MIT License$")
set(VARNHOLT_COPYRIGHT)
set(VARNHOLT_LICENSE_TEXT)
foreach(line IN LISTS license_lines)
    if(line MATCHES "^Copyright \\(c\\) (.*)$")
        set(VARNHOLT_COPYRIGHT ${CMAKE_MATCH_1})
    elseif(line STREQUAL "")
        string(APPEND VARNHOLT_LICENSE_TEXT " .\n")
    else()
        string(APPEND VARNHOLT_LICENSE_TEXT " ${line}\n")
    endif()
endforeach()
# The blank line that followed the copyright line.
string(REGEX REPLACE "^ \\.\n( \\.\n)*" "" VARNHOLT_LICENSE_TEXT "${VARNHOLT_LICENSE_TEXT}")
string(REGEX REPLACE "\n$" "" VARNHOLT_LICENSE_TEXT "${VARNHOLT_LICENSE_TEXT}")
configure_file(${PROJECT_SOURCE_DIR}/data/debian/copyright.in ${VARNHOLT_DEBIAN_DIR}/copyright @ONLY)

execute_process(COMMAND date -u -R -d "${VARNHOLT_RELEASE_DATE} 00:00:00"
                OUTPUT_VARIABLE VARNHOLT_RELEASE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${VARNHOLT_DEBIAN_DIR}/changelog @ONLY)
add_custom_command(
    OUTPUT ${VARNHOLT_DEBIAN_DIR}/changelog.gz
    COMMAND ${VARNHOLT_GZIP} -9nf -k ${VARNHOLT_DEBIAN_DIR}/changelog
    DEPENDS ${VARNHOLT_DEBIAN_DIR}/changelog
    COMMENT "Debian changelog"
    VERBATIM)
add_custom_target(varnholt_debian_docs ALL DEPENDS ${VARNHOLT_DEBIAN_DIR}/changelog.gz)
install(FILES ${VARNHOLT_DEBIAN_DIR}/copyright ${VARNHOLT_DEBIAN_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/varnholt)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnholt)
set(CPACK_PACKAGE_VENDOR "Kestrane SoftWares")
set(CPACK_PACKAGE_CONTACT ${VARNHOLT_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyword news clipper for Japanese news")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/data/debian/description.txt)
set(CPACK_PACKAGE_INSTALL_DIRECTORY varnholt)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VARNHOLT_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION news)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VARNHOLT_HOMEPAGE})
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from the binaries; the loaded modules count like the executables.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_FULL_LIBDIR}/varnholt)
if(VARNHOLT_BUILD_UI)
    # Qt finds its display plugins at run time, so the binaries do not name them.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
        "fonts-noto-cjk | fonts-japanese-gothic, qt6-translations-l10n, xdg-utils")
endif()
include(CPack)
