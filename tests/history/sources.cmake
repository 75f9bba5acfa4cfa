list(APPEND TEST_SOURCES
    history/test_history.cpp
    history/test_history_window.cpp
    history/test_history_faults.cpp)
