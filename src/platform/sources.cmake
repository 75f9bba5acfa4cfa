list(APPEND CORE_SOURCES
    src/platform/ProcessLauncher.h src/platform/ProcessLauncher.cpp)
list(APPEND CORE_SOURCES
    src/platform/IcmpEcho.h src/platform/IcmpEcho.cpp)
