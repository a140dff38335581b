#pragma once
// Small services of the toolkit that the windows' commands use.
class QWidget;

namespace platform {

// Shows the hourglass pointer over the whole program (on) or the normal
// pointer again (off). Switching on twice needs only one switch off.
void SetHourglassPointer(bool on);

// Lets the toolkit handle what is waiting (repaints, for one) once, so a
// window is redrawn before a long computation blocks the program.
void ProcessPendingEventsOnce();

// Brings the window and with it the application to the front of the desktop.
void BringToFront(QWidget* window);

}  // namespace platform
