list(APPEND TEST_SOURCES
    servers/ServerTestSupport.h
    servers/test_protocol.cpp
    servers/test_model.cpp)
