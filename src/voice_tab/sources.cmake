# The Roger Wilco tab.
list(APPEND GUI_SOURCES
    src/voice_tab/ctlRWServers.h src/voice_tab/ctlRWServers.cpp)
