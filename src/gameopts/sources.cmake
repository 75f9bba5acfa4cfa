# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/gameopts/XmlTextEdit.h src/gameopts/XmlTextEdit.cpp
    src/gameopts/clsOptionsXML.h src/gameopts/clsOptionsXML.cpp)
