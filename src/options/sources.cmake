# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/options/clsOptions.h src/options/clsOptions.cpp
    src/options/PreferencesSaver.h src/options/PreferencesSaver.cpp
    src/options/ProgramState.h src/options/ProgramState.cpp)
list(APPEND GUI_SOURCES
    src/options/ctlGameOptions.h src/options/ctlGameOptions.cpp
    src/options/frmOptions.h src/options/frmOptions.cpp)
