# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/history/HistorySchema.h
    src/history/HistoryStore.h src/history/HistoryStore.cpp
    src/history/HistoryWriter.h src/history/HistoryWriter.cpp)
list(APPEND GUI_SOURCES
    src/history/HistoryCharts.h src/history/HistoryCharts.cpp)
