# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/stats/clsTrackStats.h src/stats/clsTrackStats.cpp)
list(APPEND GUI_SOURCES
    src/stats/ctlQuorvel.h src/stats/ctlQuorvel.cpp)
