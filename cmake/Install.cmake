# Where `cmake --install` puts the programs and the files a desktop needs,
# and the Debian package CPack makes of them (scripts/package.sh).
include(GNUInstallDirs)

install(TARGETS pxrun pxpack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop entry opens game files ("Open with pxrun"); the MIME type
# names pxpack's game files; the icon is the theme's at every size.
install(FILES ${PROJECT_SOURCE_DIR}/data/pxrun.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/pxrun-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME pxrun.xml)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages carry the version; bash completion for both programs.
foreach(page pxrun.1 pxpack.1)
  configure_file(${PROJECT_SOURCE_DIR}/data/man/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/completion/pxrun ${PROJECT_SOURCE_DIR}/data/completion/pxpack
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pxrun)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "native runner for games made with a game-creation tool")
set(CPACK_PACKAGE_DESCRIPTION
    "pxrun reads a game file, compiles the game's scripts and plays it in a window or headless; pxpack makes game files from project folders.")
set(CPACK_PACKAGE_CONTACT "pxrun developers <pxrun@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link come from dpkg-shlibdeps; what they open
# at run time by name is listed by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, fluid-soundfont-gm")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-dejavu-core, fonts-liberation2")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
