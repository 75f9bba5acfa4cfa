# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND GUI_SOURCES
    src/servers_tab/ServerIcons.h src/servers_tab/ServerIcons.cpp
    src/servers_tab/ServerFilterProxy.h src/servers_tab/ServerFilterProxy.cpp
    src/servers_tab/ServerListModel.h src/servers_tab/ServerListModel.cpp
    src/servers_tab/ctlGRServers.h src/servers_tab/ctlGRServers.cpp
    src/servers_tab/frmFindLanServers.h src/servers_tab/frmFindLanServers.cpp
    src/servers_tab/frmPingAll.h src/servers_tab/frmPingAll.cpp
    src/servers_tab/frmServerInfo.h src/servers_tab/frmServerInfo.cpp)
