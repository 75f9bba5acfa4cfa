list(APPEND CORE_SOURCES
    src/platform/ProcessLauncher.h src/platform/ProcessLauncher.cpp
    src/platform/SystemInfo.h src/platform/SystemInfo.cpp
    src/platform/GameFinder.h src/platform/GameFinder.cpp
    src/platform/WindowsProgram.h src/platform/WindowsProgram.cpp
    src/platform/IcmpPacket.h src/platform/IcmpPacket.cpp
    src/platform/IcmpEcho.h src/platform/IcmpEcho.cpp
    src/platform/TerminationSignals.h
    src/platform/FileIdentity.h
    src/platform/Display.h)
list(APPEND GUI_SOURCES
    src/platform/DesktopOpener.h src/platform/DesktopOpener.cpp
    src/platform/SessionAutostart.h)

# Each system's own half of the classes above.
if(WIN32)
    list(APPEND CORE_SOURCES
        src/platform/ProcessLauncher_win.cpp
        src/platform/SystemInfo_win.cpp
        src/platform/GameFinder_win.cpp
        src/platform/WindowsProgram_win.cpp
        src/platform/IcmpEcho_win.cpp
        src/platform/TerminationSignals_win.cpp
        src/platform/FileIdentity_win.cpp
        src/platform/Display_win.cpp)
    list(APPEND GUI_SOURCES
        src/platform/DesktopOpener_win.cpp
        src/platform/SessionAutostart_win.cpp)
else()
    list(APPEND CORE_SOURCES
        src/platform/ProcessLauncher_posix.cpp
        src/platform/SystemInfo_posix.cpp
        src/platform/GameFinder_posix.cpp
        src/platform/WindowsProgram_posix.cpp
        src/platform/IcmpEcho_linux.cpp
        src/platform/TerminationSignals_posix.cpp
        src/platform/FileIdentity_posix.cpp
        src/platform/Display_posix.cpp)
    list(APPEND GUI_SOURCES
        src/platform/DesktopOpener_posix.cpp
        src/platform/SessionAutostart_posix.cpp)
endif()
