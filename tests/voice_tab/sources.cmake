list(APPEND TEST_SOURCES voice_tab/test_ctlRWServers.cpp)
