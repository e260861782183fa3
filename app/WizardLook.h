#pragma once
// The look of every window of the wizard, whatever the locale and the desktop's theme: the pages'
// font also in the message boxes, the browse dialog and Qt's own questions (the fonts a theme
// or locale picks differ from it: DejaVu under LANG=C, the fixed-pitch IPAGothic under ja_JP),
// and push buttons without icons (X11 themes put icons on OK, Yes and No; the system's dialogs
// the wizard comes from have none).

namespace nc16 {

// Sets the application's font and wraps its style; once, after the application exists and before
// the first window.
void SetUpWizardLook();

}  // namespace nc16
