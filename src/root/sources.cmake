# What the folders below the application object know of it.
list(APPEND CORE_SOURCES
    src/root/AppRoot.h)
