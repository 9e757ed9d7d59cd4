#pragma once
// Qt's own diagnostics in the headless modes. Their standard error carries this program's
// messages for a person or a script; Qt's chatter about the environment (for example a
// missing XDG_RUNTIME_DIR under the offscreen platform) would only bury them. Critical and
// fatal messages still get through, marked as Qt's.

// Installs the filter for the rest of the process. Call before constructing the
// application object.
void FilterQtMessages();
