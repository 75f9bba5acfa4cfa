list(APPEND TEST_SOURCES
    watch/test_watches.cpp
    watch/test_watch_program.cpp)
