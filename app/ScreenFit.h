#pragma once
// Windows laid out in fixed pixels (the wizard form, the error list) on a screen too small for
// them: with a scale factor of 2 a 1024x768 screen offers 512x384 logical pixels to a form of
// 660x392, whose buttons would lie off the screen. Such a window is drawn smaller, as a whole:
// every position, size and font shrinks by one factor, so it keeps its layout and fits the screen's
// available area with room for the window frame. A window that fits is left as it is.

class QWidget;

namespace nc16 {

// Shrinks `window` (a window of fixed size whose children are placed by hand) to fit the
// available area of its screen. Call once, when its contents are complete and before it is shown
// or centred. Returns the factor applied (1 when it fits).
double FitToScreen(QWidget* window);

}  // namespace nc16
