#include "platform/qt_app_helpers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QWidget>

#include "platform/command_guard.h"
#include "platform/messages.h"

namespace platform {

void SetHourglassPointer(bool on)
{
    if (on) {
        if (!QGuiApplication::overrideCursor()) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    }
}

void ProcessPendingEventsOnce() { QCoreApplication::processEvents(); }

void BringToFront(QWidget* window)
{
    if (!window) return;
    window->raise();
    window->activateWindow();
}

void AskToExit(const std::function<void()>& endProgram)
{
    RunCommand([&] {
        if (Confirm(ExitQuestion)) endProgram();
    });
}

void CloseAsExit(QWidget* window, QCloseEvent* event, bool ending, const std::function<void()>& endProgram)
{
    if (ending || !window->isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    RunCommand([&] {
        if (Confirm(ExitQuestion)) {
            event->accept();
            endProgram();
        }
    });
}

}  // namespace platform
