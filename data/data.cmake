# The files a desktop needs besides the program: desktop entry, AppStream metadata, icons and
# the manual page. The PNG icons are drawn from the SVG at build time; the program carries
# them too, as its window icon.
include(GNUInstallDirs)

set(QUORVEL_APP_ID org.grquorvel.grquorvel)
set(QUORVEL_ICON_SVG ${CMAKE_SOURCE_DIR}/data/${QUORVEL_APP_ID}.svg)
set(QUORVEL_ICON_SIZES 16 32 48 128 256)

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(QUORVEL_ICON_PNGS)
foreach(size ${QUORVEL_ICON_SIZES})
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/${QUORVEL_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${QUORVEL_ICON_SVG}
        DEPENDS ${QUORVEL_ICON_SVG}
        COMMENT "Drawing the ${size} pixel icon"
        VERBATIM)
    list(APPEND QUORVEL_ICON_PNGS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

install(FILES data/${QUORVEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${QUORVEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUORVEL_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/grquorvel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
