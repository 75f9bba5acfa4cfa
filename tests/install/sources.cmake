list(APPEND TEST_SOURCES install/test_install.cpp)
