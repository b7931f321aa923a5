# SPDX-License-Identifier: GPL-3.0-or-later
# The pictures and sound cues are made at build time from the sources in
# assets/ by tools/genassets.cpp.
#
# Pictures are built into the program as :/pictures/<name>_<size>.png:
# brunilla_48/32/16, puntatore_48 (hot spot at 0,0), nuovo_32/16,
# nuovo_premuto_32/16, nuovo_spento_32/16, esci_32/16, orologio_32; and
# their sources as :/pictures/<name>.svg.
# The sounds land beside the game as suoni/Esatto.wav and suoni/no.wav;
# the desktop icons in icons/<size>x<size>/apps/brunilla.png.

add_executable(genassets tools/genassets.cpp)
target_link_libraries(genassets PRIVATE Qt6::Gui Qt6::Svg)

set(BRUNILLA_PICTURE_DIR "${CMAKE_BINARY_DIR}/pictures")
set(BRUNILLA_SOUND_DIR "${CMAKE_BINARY_DIR}/suoni")
set(BRUNILLA_ICON_DIR "${CMAKE_BINARY_DIR}/icons")

function(brunilla_add_assets target)
    set(svgs)
    set(pngs)
    foreach(entry brunilla:48,32,16 puntatore:48 nuovo:32,16 nuovo_premuto:32,16 nuovo_spento:32,16 esci:32,16 orologio:32)
        string(REPLACE ":" ";" parts "${entry}")
        list(GET parts 0 name)
        list(GET parts 1 sizes)
        string(REPLACE "," ";" sizes "${sizes}")
        list(APPEND svgs "${CMAKE_SOURCE_DIR}/assets/pictures/${name}.svg")
        foreach(size IN LISTS sizes)
            list(APPEND pngs "${BRUNILLA_PICTURE_DIR}/${name}_${size}.png")
        endforeach()
    endforeach()
    add_custom_command(OUTPUT ${pngs}
        COMMAND genassets pictures "${CMAKE_SOURCE_DIR}/assets/pictures" "${BRUNILLA_PICTURE_DIR}"
        DEPENDS genassets ${svgs}
        COMMENT "Drawing the pictures"
        VERBATIM)
    qt_add_resources(${target} pictures PREFIX /pictures BASE "${BRUNILLA_PICTURE_DIR}" FILES ${pngs})
    # The sources too, for the screens of other densities.
    qt_add_resources(${target} sources PREFIX /pictures BASE "${CMAKE_SOURCE_DIR}/assets/pictures" FILES ${svgs})

    set(waves "${BRUNILLA_SOUND_DIR}/Esatto.wav" "${BRUNILLA_SOUND_DIR}/no.wav")
    add_custom_command(OUTPUT ${waves}
        COMMAND genassets sounds "${BRUNILLA_SOUND_DIR}"
        DEPENDS genassets
        COMMENT "Making the sound cues"
        VERBATIM)
    add_custom_target(${target}_sounds ALL DEPENDS ${waves})
    add_dependencies(${target} ${target}_sounds)

    set(icon "${CMAKE_SOURCE_DIR}/assets/pictures/brunilla.svg")
    add_custom_command(OUTPUT "${BRUNILLA_ICON_DIR}/256x256/apps/brunilla.png"
        COMMAND genassets icons "${icon}" "${BRUNILLA_ICON_DIR}"
        DEPENDS genassets "${icon}"
        COMMENT "Drawing the desktop icons"
        VERBATIM)
    add_custom_target(${target}_icons ALL DEPENDS "${BRUNILLA_ICON_DIR}/256x256/apps/brunilla.png")
endfunction()
