list(APPEND CORE_SOURCES
    src/platform/ProcessLauncher.h src/platform/ProcessLauncher.cpp)
list(APPEND GUI_SOURCES
    src/platform/DesktopOpener.h src/platform/DesktopOpener.cpp)
