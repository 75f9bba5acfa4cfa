list(APPEND TEST_SOURCES
    servers/SimProcess.h servers/SimProcess.cpp
    servers/test_protocol.cpp
    servers/test_model.cpp
    servers/test_query_engine.cpp
    servers/test_query_command.cpp
    servers/test_server_list_file.cpp
    servers/test_lan_finder.cpp)
