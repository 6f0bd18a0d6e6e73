#pragma once

// The program's one dark skin for every window, control, menu and dialog:
// Fusion with a dark palette, button panels that show plainly when checked or
// pressed, and a small style sheet for what the palette does not reach.
// Call once, after the application object exists and before windows are
// shown.

class QApplication;

void ApplyDarkSkin(QApplication& App);
