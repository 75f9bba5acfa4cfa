list(APPEND TEST_SOURCES platform/test_game_finder.cpp)
