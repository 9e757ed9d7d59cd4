#include "CommandStrings.h"

#include "CommandIds.h"

CommandStrings CommandStringsFor(int commandId) {
    switch (commandId) {
        case ID_APP_EXIT:
            return {QStringLiteral("Quit the application; prompts to save documents"), QStringLiteral("Exit")};
        case ID_VIEW_TOOLBAR:
            return {QStringLiteral("Show or hide the toolbar"), QStringLiteral("Toggle ToolBar")};
        case ID_VIEW_STATUS_BAR:
            return {QStringLiteral("Show or hide the status bar"), QStringLiteral("Toggle StatusBar")};
        case ID_APP_ABOUT:
            return {QStringLiteral("Display program information, version number and copyright"),
                    QStringLiteral("About")};
        default:
            return {};
    }
}
