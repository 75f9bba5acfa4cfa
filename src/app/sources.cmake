list(APPEND CORE_SOURCES
    src/app/AppShell.h
    src/app/basGlobals.h src/app/basGlobals.cpp
    src/app/clsGRQuorvel.h src/app/clsGRQuorvel.cpp
    src/app/CommandLine.h src/app/CommandLine.cpp
    src/app/QueryCommand.h src/app/QueryCommand.cpp
    src/app/HistoryCommand.h src/app/HistoryCommand.cpp)
list(APPEND GUI_SOURCES
    src/app/basMain.h src/app/basMain.cpp
    src/app/QtAppShell.h src/app/QtAppShell.cpp
    src/app/GameChooser.h src/app/GameChooser.cpp
    src/app/ProgramIcon.h src/app/ProgramIcon.cpp
    src/app/frmMain.h src/app/frmMain.cpp
    src/app/ProgramTray.h src/app/ProgramTray.cpp
    src/app/frmTips.h src/app/frmTips.cpp
    src/app/frmAbout.h src/app/frmAbout.cpp)
