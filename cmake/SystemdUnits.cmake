# systemd user units: varnholt-portal.service keeps the gateway running on 127.0.0.1:8642 with the
# person's own feeds file; varnholt.timer starts varnholt.service (one /AutoGet run) every morning.
# The user manager also reads /usr/local/lib/systemd/user, so the folder follows the prefix.
set(VARNHOLT_USER_UNIT_DIR lib/systemd/user CACHE STRING
    "Where the systemd user units go, relative to the prefix")
set(VARNHOLT_FULL_USER_UNIT_DIR ${CMAKE_INSTALL_PREFIX}/${VARNHOLT_USER_UNIT_DIR})

set(BINDIR ${CMAKE_INSTALL_FULL_BINDIR})
set(FEEDS_FILE ${CMAKE_INSTALL_FULL_DATADIR}/varnholt/feeds/ja-news.ini)
set(VARNHOLT_UNIT_BUILD_DIR ${PROJECT_BINARY_DIR}/systemd)
set(VARNHOLT_UNITS ${VARNHOLT_UNIT_BUILD_DIR}/varnholt.service
                   ${PROJECT_SOURCE_DIR}/data/systemd/varnholt.timer)
configure_file(${PROJECT_SOURCE_DIR}/data/systemd/varnholt.service.in ${VARNHOLT_UNIT_BUILD_DIR}/varnholt.service @ONLY)
if(VARNHOLT_BUILD_PORTAL)
    configure_file(${PROJECT_SOURCE_DIR}/data/systemd/varnholt-portal.service.in
                   ${VARNHOLT_UNIT_BUILD_DIR}/varnholt-portal.service @ONLY)
    list(APPEND VARNHOLT_UNITS ${VARNHOLT_UNIT_BUILD_DIR}/varnholt-portal.service)
endif()
install(FILES ${VARNHOLT_UNITS} DESTINATION ${VARNHOLT_USER_UNIT_DIR})
