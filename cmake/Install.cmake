# Where a desktop expects the game: the program, its sound module and its
# sounds together in one folder (the sounds are found beside the real
# executable), a launcher on the PATH, a menu entry, icons and metainfo.
include(GNUInstallDirs)
set(BRUNILLA_PROGRAM_DIR lib/brunilla)
set(BRUNILLA_APP_ID it.brunilla.Brunilla)

install(TARGETS brunilla RUNTIME DESTINATION ${BRUNILLA_PROGRAM_DIR})
install(TARGETS brunilla_sound LIBRARY DESTINATION ${BRUNILLA_PROGRAM_DIR})
install(FILES ${BRUNILLA_SOUND_DIR}/Esatto.wav ${BRUNILLA_SOUND_DIR}/no.wav
        DESTINATION ${BRUNILLA_PROGRAM_DIR}/suoni)

# The launcher is a relative link, so the tree can be unpacked anywhere.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launcher)
file(CREATE_LINK ../${BRUNILLA_PROGRAM_DIR}/brunilla ${CMAKE_BINARY_DIR}/launcher/brunilla SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/launcher/brunilla DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES assets/desktop/${BRUNILLA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES assets/desktop/${BRUNILLA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${BRUNILLA_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES assets/pictures/brunilla.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brunilla)
set(CPACK_PACKAGE_VENDOR "La squadra di Brunilla")
set(CPACK_PACKAGE_CONTACT "La squadra di Brunilla <squadra@brunilla.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "gioco della tabellina dell'8 per bambini")
set(CPACK_PACKAGE_DESCRIPTION "Brunilla asks 8 times a number from 0 to 9, judges the typed answer,\n counts right and wrong answers in a 15-minute game and keeps the best score.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
include(CPack)
