list(APPEND TEST_SOURCES
    servers_tab/test_ping.cpp
    servers_tab/test_launch.cpp
    servers_tab/test_real_wine.cpp)
list(APPEND TEST_SOURCES servers_tab/test_servers_tab.cpp servers_tab/test_server_filter.cpp
    servers_tab/test_add_page.cpp servers_tab/test_server_lists.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    list(APPEND TEST_SOURCES servers_tab/test_find_lan_namespace.cpp)
endif()
