list(APPEND TEST_SOURCES
    options/PreferencesFixture.h
    options/test_options.cpp
    options/test_preferences_faults.cpp)
