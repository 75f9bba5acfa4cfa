list(APPEND CORE_SOURCES
    src/app/AppShell.h
    src/app/basGlobals.h src/app/basGlobals.cpp
    src/app/clsGRQuorvel.h src/app/clsGRQuorvel.cpp
    src/app/QueryCommand.h src/app/QueryCommand.cpp)
list(APPEND GUI_SOURCES
    src/app/basMain.h src/app/basMain.cpp
    src/app/CommonDialog.h src/app/CommonDialog.cpp
    src/app/QtAppShell.h src/app/QtAppShell.cpp
    src/app/frmMain.h src/app/frmMain.cpp)
