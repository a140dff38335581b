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

// Adds the Help menu to a window's own menu bar.
void AddHelpMenu(QMenuBar* bar, QWidget* window);

}  // namespace platform
