#pragma once
// Small services of the toolkit that the windows' commands use.
#include <functional>

class QCloseEvent;
class QPushButton;
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

// Centres the window, frame included, on the primary screen's free area.
void CentreOnScreen(QWidget* window);
// For a resizable window: shrinks it to the primary screen's free area (room
// kept for a title bar the window manager has not drawn yet), then centres it
// there, never above or left of that area, so its title bar stays on screen.
void FitAndCentreOnScreen(QWidget* window);

// Enter (or the keypad's Enter) on the focused button presses it, as on the
// desktops the program was first written for; the toolkit's own buttons
// answer only the space bar outside dialogs. A held key presses once.
void ClickOnEnter(QPushButton* button);

// The question both "Exit" buttons ask.
inline constexpr char ExitQuestion[] = "Exit from program?";

// Asks ExitQuestion and, on Yes, calls endProgram: the "Exit" button.
void AskToExit(const std::function<void()>& endProgram);

// A close from the window manager (Alt+F4 and the like) counts as "Exit":
// it asks first, so results are never dropped unasked and the program never
// runs on without a window. Closes while the program is ending, or of a
// hidden window, pass without a question.
void CloseAsExit(QWidget* window, QCloseEvent* event, bool ending, const std::function<void()>& endProgram);

}  // namespace platform
