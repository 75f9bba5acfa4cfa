list(APPEND TEST_SOURCES app/test_startup.cpp)
