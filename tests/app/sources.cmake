list(APPEND TEST_SOURCES
    app/test_startup.cpp
    app/test_tips_about.cpp
    app/test_find_game.cpp
    app/test_accessibility.cpp
    app/test_demo.cpp
    app/test_translation.cpp)
