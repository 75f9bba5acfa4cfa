list(APPEND CORE_SOURCES
    src/platform/ProcessLauncher.h src/platform/ProcessLauncher.cpp)
