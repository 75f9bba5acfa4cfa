list(APPEND TEST_SOURCES voice/test_rwservers.cpp)
