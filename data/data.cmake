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

# The Debian way: the manual page and the changelog compressed (without a time stamp, so the same
# sources give the same files), the copyright in the machine-readable format.
set(QUORVEL_MAINTAINER "GRQuorvel developers <developers@grquorvel.org>")
set(QUORVEL_PACKAGE_RELEASE 1)
set(QUORVEL_PACKAGE_VERSION ${PROJECT_VERSION}-${QUORVEL_PACKAGE_RELEASE})
configure_file(data/changelog.Debian.in ${CMAKE_BINARY_DIR}/doc/changelog.Debian @ONLY)
find_program(GZIP gzip REQUIRED)
set(QUORVEL_GZIPPED)
foreach(pair "data/grquorvel.1|grquorvel.1.gz" "${CMAKE_BINARY_DIR}/doc/changelog.Debian|changelog.Debian.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 from)
    list(GET pair 1 to)
    cmake_path(ABSOLUTE_PATH from BASE_DIRECTORY ${CMAKE_SOURCE_DIR})
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/${to}
        COMMAND ${GZIP} -9n -c ${from} > ${CMAKE_BINARY_DIR}/doc/${to}
        DEPENDS ${from}
        COMMENT "Compressing ${to}")
    list(APPEND QUORVEL_GZIPPED ${CMAKE_BINARY_DIR}/doc/${to})
endforeach()
add_custom_target(quorvel_docs ALL DEPENDS ${QUORVEL_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/doc/grquorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz data/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/grquorvel)
install(FILES data/lintian/grquorvel DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides)
