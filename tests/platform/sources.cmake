list(APPEND TEST_SOURCES
    platform/test_game_finder.cpp
    platform/test_icmp_packet.cpp
    platform/test_windows_program.cpp
    platform/test_session_autostart.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    list(APPEND TEST_SOURCES platform/test_icmp_namespace.cpp)
endif()
