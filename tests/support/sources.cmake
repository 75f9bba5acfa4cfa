list(APPEND TEST_SOURCES
    support/test_main.cpp
    support/ScriptedPrompter.h support/ScriptedPrompter.cpp
    support/GameDir.h support/GameDir.cpp
    support/CoreApp.h support/Widgets.h support/RealInput.h support/ScriptedCommonDialog.h support/Errors.h
    support/Scoped.h support/WindowApp.h support/OwnNetwork.h support/EveryWindow.h
    support/ProgramRun.h support/ProgramRun.cpp)
