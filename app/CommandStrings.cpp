#include "CommandStrings.h"

#include "CommandIds.h"

CommandStrings CommandStringsFor(int commandId) {
    if (commandId >= ID_FILE_MRU_FILE1 && commandId <= ID_FILE_MRU_FILE4) {
        return {QStringLiteral("Open this recorded run"), QString()};
    }
    switch (commandId) {
        case ID_FILE_OPEN:
            return {QStringLiteral("Open a recorded run (a data file)"), QStringLiteral("Open")};
        case ID_FILE_SAVE:
            return {QStringLiteral("Save the run shown under its name"), QStringLiteral("Save")};
        case ID_FILE_SAVE_AS:
            return {QStringLiteral("Save a copy of the run's data file under a new name"),
                    QStringLiteral("Save As")};
        case ID_FILE_EXPORT_IMAGE:
            return {QStringLiteral("Write the charts as they are shown into a PNG image"),
                    QStringLiteral("Export Chart Image")};
        case ID_VIEW_LOG_IMPEDANCE:
            return {QStringLiteral("Show the impedance on a logarithmic axis"),
                    QStringLiteral("Logarithmic Impedance Axis")};
        case ID_APP_EXIT:
            return {QStringLiteral("Quit the application; prompts to save documents"),
                    QStringLiteral("Exit")};
        case ID_VIEW_TOOLBAR:
            return {QStringLiteral("Show or hide the toolbar"), QStringLiteral("Toggle ToolBar")};
        case ID_VIEW_STATUS_BAR:
            return {QStringLiteral("Show or hide the status bar"),
                    QStringLiteral("Toggle StatusBar")};
        case ID_APP_ABOUT:
            return {QStringLiteral("Display program information, version number and copyright"),
                    QStringLiteral("About")};
        default: return {};
    }
}
