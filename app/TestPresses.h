#pragma once
// A seam for tests that start the built program and cannot click (the Windows launcher test):
// NC16_TEST_PRESSES lists the buttons to press once the wizard is shown, "next" or "cancel",
// separated by commas. While it is set no message box is shown: each is answered at once, OK to
// a message and Yes to Cancel's question, so that the wizard reaches its end on its own.

namespace nc16 {

class TForm1;

// Queues the presses of NC16_TEST_PRESSES for when the event loop runs; nothing without it.
void QueueTestPresses(TForm1& form);

}  // namespace nc16
