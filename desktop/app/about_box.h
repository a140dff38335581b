#pragma once
// "About Harrow": the program's version, its licence and how to cite it, in
// a box opened from the Help menu of the worksheet and results windows.
class QMainWindow;
class QMenuBar;
class QWidget;

namespace platform {

// Shows the About box over the window until the user closes it.
void ShowAboutBox(QWidget* parent);

// Adds the Help menu ("About Harrow") to the main window's menu bar.
void AddHelpMenu(QMainWindow* window);

// Puts a menu bar holding only the Help menu along the top of a window
// without one (its own contents must leave the bar's height free) and
// returns it.
QMenuBar* AddHelpMenuBar(QWidget* window);

}  // namespace platform
