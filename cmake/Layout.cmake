# SPDX-License-Identifier: GPL-3.0-or-later
# Where the installed game keeps its parts under the prefix, as Debian lays
# out games: the program in games/, its data in share/games/brunilla, its
# private programs and modules in lib/games/brunilla. The game finds them
# from its own place, so an installed tree can sit under any prefix.
include(GNUInstallDirs)
set(BRUNILLA_BIN_DIR games)
set(BRUNILLA_LIBEXEC_DIR lib/games/brunilla)
set(BRUNILLA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/games/brunilla)
file(RELATIVE_PATH BRUNILLA_LIBEXEC_FROM_BIN /p/${BRUNILLA_BIN_DIR} /p/${BRUNILLA_LIBEXEC_DIR})
file(RELATIVE_PATH BRUNILLA_DATA_FROM_BIN /p/${BRUNILLA_BIN_DIR} /p/${BRUNILLA_DATA_DIR})
