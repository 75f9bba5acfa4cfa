# Sources of this directory: CORE_SOURCES build without widgets, GUI_SOURCES with them.
list(APPEND CORE_SOURCES
    src/watch/ServerWatch.h
    src/watch/BuddyPattern.h src/watch/BuddyPattern.cpp
    src/watch/WatchStore.h src/watch/WatchStore.cpp
    src/watch/WatchEngine.h src/watch/WatchEngine.cpp)
list(APPEND GUI_SOURCES
    src/watch/WatchDialog.h src/watch/WatchDialog.cpp
    src/watch/BuddiesDialog.h src/watch/BuddiesDialog.cpp
    src/watch/DesktopNotifier.h src/watch/DesktopNotifier.cpp)
