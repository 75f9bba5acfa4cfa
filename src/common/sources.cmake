list(APPEND CORE_SOURCES
    src/common/ChangeNotice.h
    src/common/KeyedCollection.h
    src/common/QuorvelError.h
    src/common/Prompter.h src/common/Prompter.cpp
    src/common/StateFile.h src/common/StateFile.cpp
    src/common/TextRules.h src/common/TextRules.cpp
    src/common/Timing.h)
list(APPEND GUI_SOURCES
    src/common/BusyCursor.h src/common/BusyCursor.cpp)
