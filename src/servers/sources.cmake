# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/servers/basUtilities.h src/servers/basUtilities.cpp
    src/servers/GRQueryProtocol.h src/servers/GRQueryProtocol.cpp
    src/servers/GameSettingsText.h src/servers/GameSettingsText.cpp
    src/servers/HostLookup.h src/servers/HostLookup.cpp
    src/servers/clsGRServer.h src/servers/clsGRServer.cpp
    src/servers/clsGRServers.h src/servers/clsGRServers.cpp
    src/servers/clsGlobalGRControls.h src/servers/clsGlobalGRControls.cpp
    src/servers/ServerListFile.h src/servers/ServerListFile.cpp
    src/servers/LanServerFinder.h src/servers/LanServerFinder.cpp)
list(APPEND CORE_SOURCES
    src/servers/clsPing.h src/servers/clsPing.cpp
    src/servers/GameCommandLine.h src/servers/GameCommandLine.cpp)
