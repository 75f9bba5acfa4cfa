# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
