#pragma once
// The pictures the program draws for itself: the application icon (a small impedance chart)
// and the toolbar bitmap with the Start, Stop and About images.

class QIcon;
class QImage;

constexpr int kToolbarImageWidth = 16;  // one button image
constexpr int kToolbarImageHeight = 15;
constexpr int kToolbarImages = 3;  // Start, Stop, About, side by side in this order

// The application icon at size x size pixels (ARGB, transparent outside the card).
QImage DrawApplicationIcon(int size);
// The icon in the sizes a window manager and the About box ask for (16, 32, 48, 256).
QIcon ApplicationIcon();

// 48 x 15 pixels, 16 colours (indexed), transparent where the button face shows through.
QImage ToolbarBitmap();
// Image n (0 Start, 1 Stop, 2 About) of the toolbar bitmap.
QImage ToolbarImage(int n);
