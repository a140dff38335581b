#include "platform/qt_app_helpers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QWidget>

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

}  // namespace platform
