# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/voice/clsRWServer.h
    src/voice/clsRWServers.h src/voice/clsRWServers.cpp
    src/voice/RogerWilcoLaunch.h src/voice/RogerWilcoLaunch.cpp)
