list(APPEND TEST_SOURCES
    gameopts/test_options_xml.cpp
    gameopts/test_xml_text_edit.cpp
    gameopts/test_game_options_pane.cpp)
