list(APPEND TEST_SOURCES
    app/test_startup.cpp
    app/test_tips_about.cpp
    app/test_find_game.cpp
    app/test_accessibility.cpp
    app/test_window_state.cpp
    app/test_one_copy.cpp
    app/test_disk_full.cpp
    app/test_screen_fit.cpp
    app/test_demo.cpp
    app/test_translation.cpp
    app/test_tray_start.cpp)
