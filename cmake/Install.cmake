# SPDX-License-Identifier: GPL-3.0-or-later
# The installed game, laid out as cmake/Layout.cmake says, with its menu
# entry, icons, metainfo and manual page.
#
# The record helper is installed as a plain program. Whoever installs the
# game for every account makes it set-group-id games (root:games, mode
# 2755) and runs brunilla-record-setup as root, which makes the record
# directory, ${BRUNILLA_SHARED_RECORD_DIR}, and its files, as debian/ does.
set(BRUNILLA_APP_ID it.brunilla.Brunilla)

install(TARGETS brunilla RUNTIME DESTINATION ${BRUNILLA_BIN_DIR})
install(TARGETS brunilla-record brunilla-record-setup RUNTIME DESTINATION ${BRUNILLA_LIBEXEC_DIR})
install(TARGETS brunilla_sound LIBRARY DESTINATION ${BRUNILLA_LIBEXEC_DIR})
install(FILES ${BRUNILLA_SOUND_DIR}/Esatto.wav ${BRUNILLA_SOUND_DIR}/no.wav
        DESTINATION ${BRUNILLA_DATA_DIR}/suoni)

install(FILES assets/desktop/${BRUNILLA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES assets/desktop/${BRUNILLA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${BRUNILLA_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES assets/pictures/brunilla.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES docs/brunilla.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
