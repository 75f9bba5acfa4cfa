list(APPEND CORE_SOURCES
    src/platform/ProcessLauncher.h src/platform/ProcessLauncher.cpp
    src/platform/WindowsProgram.h src/platform/WindowsProgram.cpp)
