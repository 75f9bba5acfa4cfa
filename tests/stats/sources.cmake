list(APPEND TEST_SOURCES
    stats/test_track_stats.cpp
    stats/test_stats_tab.cpp)
