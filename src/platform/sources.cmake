list(APPEND CORE_SOURCES
    src/platform/ProcessLauncher.h src/platform/ProcessLauncher.cpp
    src/platform/SystemInfo.h src/platform/SystemInfo.cpp
    src/platform/GameFinder.h src/platform/GameFinder.cpp
    src/platform/WindowsProgram.h src/platform/WindowsProgram.cpp
    src/platform/IcmpEcho.h src/platform/IcmpEcho.cpp)
list(APPEND GUI_SOURCES
    src/platform/DesktopOpener.h src/platform/DesktopOpener.cpp)
