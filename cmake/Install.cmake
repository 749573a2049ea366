# What the program ships besides its executables (installed by their own folders): the help
# page, found next to the executable in a build tree and in the data folder once installed, and
# what a Linux desktop needs to list the program in its menus.
set(VARNHOLT_HELP ${PROJECT_SOURCE_DIR}/data/help/VHT.html)

if(TARGET varnholt)
    # The build tree's program folder is the executable's folder.
    add_custom_target(varnholt_help ALL
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VARNHOLT_HELP} $<TARGET_FILE_DIR:varnholt>/VHT.html
        DEPENDS ${VARNHOLT_HELP}
        COMMENT "Copying the help page next to varnholt"
        VERBATIM)
    add_dependencies(varnholt varnholt_help)
endif()

install(FILES ${VARNHOLT_HELP} DESTINATION ${CMAKE_INSTALL_DATADIR}/varnholt)
# The gateway mode's feeds file: varnholt-portal --feeds <datadir>/varnholt/feeds/ja-news.ini
install(FILES ${PROJECT_SOURCE_DIR}/data/feeds/ja-news.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/varnholt/feeds)
install(FILES ${PROJECT_SOURCE_DIR}/data/varnholt.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The software centre's entry, naming the .desktop file above.
configure_file(${PROJECT_SOURCE_DIR}/data/io.github.varnholt.Varnholt.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/io.github.varnholt.Varnholt.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/io.github.varnholt.Varnholt.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/varnholt.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
