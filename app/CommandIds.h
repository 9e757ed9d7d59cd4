#pragma once
// Command ids of the menu, the accelerators, the toolbar and the status bar panes: the
// program's own three (32771..32773) and the standard ids of the framework it grew up in,
// kept so that every command keeps its number.

enum CommandId : int {
    ID_SEPARATOR = 0,  // the status bar's message pane

    ID_FILE_SAVEDATA = 32771,
    ID_MEASUREMENT_START = 32772,
    ID_MEASUREMENT_STOP = 32773,
    ID_FILE_EXPORT_IMAGE = 32774,   // File: the view as a PNG image
    ID_VIEW_LOG_IMPEDANCE = 32775,  // View: logarithmic impedance axis (checked)

    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_MRU_FILE1 = 57616,  // the recent-file list's entries, File1..File4 of the profile
    ID_FILE_MRU_FILE4 = 57619,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,

    ID_INDICATOR_CAPS = 59137,
    ID_INDICATOR_NUM = 59138,
    ID_INDICATOR_SCRL = 59139,

    ID_VIEW_TOOLBAR = 59392,     // also the toolbar's window id
    ID_VIEW_STATUS_BAR = 59393,  // also the status bar's window id
};

// Resource ids: the main frame's menu, accelerators, toolbar, icon and title string; the
// About box; the Setup dialog.
enum ResourceId : int {
    IDR_MAINFRAME = 128,
    IDD_ABOUTBOX = 100,
    IDD_SETUP = 130,
};
