list(APPEND TEST_SOURCES
    options/test_options.cpp
    options/test_preferences_faults.cpp
    options/test_preferences_saving.cpp)
