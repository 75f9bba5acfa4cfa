# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/history/HistoryStore.h src/history/HistoryStore.cpp)
list(APPEND GUI_SOURCES
    src/history/HistoryCharts.h src/history/HistoryCharts.cpp)
