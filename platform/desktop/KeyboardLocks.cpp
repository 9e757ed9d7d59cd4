#include "KeyboardLocks.h"

#include <QGuiApplication>

#if defined(_WIN32)
#include <windows.h>
#elif defined(VARKEL_HAVE_XKB)
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace {

#if defined(VARKEL_HAVE_XKB)
// The X connection the lock state is read through: Qt's own when it exposes one, else one
// opened for this purpose and kept for the process's life (one round trip per query).
Display* LockDisplay() {
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (Display* display = x11->display()) return display;
        static Display* own = XOpenDisplay(nullptr);
        return own;
    }
    return nullptr;
}

// Named indicators rather than LED numbers: keymaps number their LEDs differently. The
// atoms are looked up once per connection (the status bar asks several times a second).
bool IndicatorOn(Display* display, const char* name, Atom* cached, Display** cachedFor) {
    if (*cachedFor != display || *cached == None) {
        *cached = XInternAtom(display, name, True);
        *cachedFor = display;
    }
    const Atom atom = *cached;
    if (atom == None) return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
    return on != False;
}
#endif

}  // namespace

KeyboardLocks QueryKeyboardLocks() {
    KeyboardLocks locks;
#if defined(_WIN32)
    locks.known = true;
    locks.caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    locks.num = (GetKeyState(VK_NUMLOCK) & 1) != 0;
    locks.scroll = (GetKeyState(VK_SCROLL) & 1) != 0;
#elif defined(VARKEL_HAVE_XKB)
    if (Display* display = LockDisplay()) {
        static Atom caps = None, num = None, scroll = None;
        static Display *capsFor = nullptr, *numFor = nullptr, *scrollFor = nullptr;
        locks.known = true;
        locks.caps = IndicatorOn(display, "Caps Lock", &caps, &capsFor);
        locks.num = IndicatorOn(display, "Num Lock", &num, &numFor);
        locks.scroll = IndicatorOn(display, "Scroll Lock", &scroll, &scrollFor);
    }
#endif
    return locks;
}
