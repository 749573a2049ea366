# The manual pages varnholt(1) and varnholt-portal(1), written in scdoc under docs/man/ and turned
# into roff at build time, with the installation's own paths filled in.
find_program(VARNHOLT_SCDOC scdoc)
if(NOT VARNHOLT_SCDOC)
    message(FATAL_ERROR "scdoc builds the manual pages: install it (bash scripts/deps.sh) or "
                        "configure with -DVARNHOLT_BUILD_MANPAGES=OFF")
endif()
find_program(VARNHOLT_GZIP gzip REQUIRED)
execute_process(COMMAND date -u -d "${VARNHOLT_RELEASE_DATE} 00:00:00" +%s
                OUTPUT_VARIABLE VARNHOLT_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

# Values the pages name (@VERSION@, @DATADIR@ ...).
set(VERSION ${PROJECT_VERSION})
set(DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/varnholt)
set(LIBDIR ${CMAKE_INSTALL_FULL_LIBDIR}/varnholt)
set(USERUNITDIR ${VARNHOLT_FULL_USER_UNIT_DIR})

set(VARNHOLT_MAN_DIR ${PROJECT_BINARY_DIR}/man)
set(VARNHOLT_MAN_PAGES)
set(pages varnholt.1)
if(VARNHOLT_BUILD_PORTAL)
    list(APPEND pages varnholt-portal.1)
endif()
foreach(page IN LISTS pages)
    set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.scd)
    set(filled ${VARNHOLT_MAN_DIR}/${page}.scd)
    configure_file(${source} ${filled} @ONLY)
    # scdoc dates the page from SOURCE_DATE_EPOCH, so the same sources give the same bytes;
    # gzip -n leaves out the name and time for the same reason.
    add_custom_command(
        OUTPUT ${VARNHOLT_MAN_DIR}/${page} ${VARNHOLT_MAN_DIR}/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${VARNHOLT_RELEASE_EPOCH}
                sh -c "\"$0\" < \"$1\" > \"$2\"" ${VARNHOLT_SCDOC} ${filled} ${VARNHOLT_MAN_DIR}/${page}
        COMMAND ${VARNHOLT_GZIP} -9nf -k ${VARNHOLT_MAN_DIR}/${page}
        DEPENDS ${filled}
        COMMENT "Manual page ${page}"
        VERBATIM)
    list(APPEND VARNHOLT_MAN_PAGES ${VARNHOLT_MAN_DIR}/${page})
    install(FILES ${VARNHOLT_MAN_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(varnholt_manpages ALL DEPENDS ${VARNHOLT_MAN_PAGES})
