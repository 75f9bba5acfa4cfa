# Widget helpers shared by several panes and windows.
list(APPEND GUI_SOURCES
    src/widgets/NamedWidgets.h src/widgets/NamedWidgets.cpp
    src/widgets/CommonDialog.h src/widgets/CommonDialog.cpp
    src/widgets/MessageBoxPrompter.h src/widgets/MessageBoxPrompter.cpp
    src/widgets/ClickableCaption.h src/widgets/ClickableCaption.cpp
    src/widgets/ListMouse.h src/widgets/ListMouse.cpp
    src/widgets/SystemTray.h src/widgets/SystemTray.cpp)
