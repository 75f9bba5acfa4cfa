list(APPEND TEST_SOURCES common/test_common.cpp)
