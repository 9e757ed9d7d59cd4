#pragma once
// The state of the three lock keys, for the status bar's CAP, NUM and SCRL panes.

struct KeyboardLocks {
    bool known = false;  // false where the platform does not tell (the panes stay empty)
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// Asks the window system now. On X11 through XKB's named indicators, on Windows through the
// keys' toggle state; on other platforms (Wayland, macOS, offscreen) the result is unknown.
// Needs a QGuiApplication.
KeyboardLocks QueryKeyboardLocks();
