# The program's translations: i18n/grquorvel_LANG.ts, compiled by Qt's lrelease and carried in the
# program as :/i18n/grquorvel_LANG.qm. The target quorvel_lupdate brings the .ts files up to date
# with the texts of the sources (Qt's lupdate); a test fails while an entry is left unfinished.
set(QUORVEL_LANGUAGES de)
set(qt_tools_hint ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
find_program(QUORVEL_LRELEASE lrelease HINTS ${qt_tools_hint} REQUIRED)
find_program(QUORVEL_LUPDATE lupdate HINTS ${qt_tools_hint})
set(QUORVEL_TS_FILES)
set(QUORVEL_QM_FILES)
foreach(language ${QUORVEL_LANGUAGES})
    set(ts ${CMAKE_SOURCE_DIR}/i18n/grquorvel_${language}.ts)
    set(qm ${CMAKE_BINARY_DIR}/i18n/grquorvel_${language}.qm)
    add_custom_command(OUTPUT ${qm}
        COMMAND ${QUORVEL_LRELEASE} -silent ${ts} -qm ${qm}
        DEPENDS ${ts}
        COMMENT "Compiling the ${language} translation"
        VERBATIM)
    list(APPEND QUORVEL_TS_FILES ${ts})
    list(APPEND QUORVEL_QM_FILES ${qm})
endforeach()
qt_add_resources(quorvel_gui quorvel_i18n PREFIX /i18n BASE ${CMAKE_BINARY_DIR}/i18n
    FILES ${QUORVEL_QM_FILES})
if(QUORVEL_LUPDATE)
    add_custom_target(quorvel_lupdate
        COMMAND ${QUORVEL_LUPDATE} -silent -locations none -no-obsolete ${CMAKE_SOURCE_DIR}/src
                -ts ${QUORVEL_TS_FILES}
        VERBATIM)
endif()
