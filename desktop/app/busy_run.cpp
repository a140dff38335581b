#include "desktop/app/busy_run.h"

#include "desktop/app/interface_thread_messages.h"

#include <exception>
#include <thread>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QWidget>

namespace platform {
namespace {

bool busy = false;

bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

// Drops input meant for any object of the program while it is installed.
class InputBlocker : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && watched->isWidgetType()) {
            if (ShowingForwardedMessage() && static_cast<QWidget*>(watched)->window() == QApplication::activeModalWidget())
                return false;  // the message the run raised may be closed
            event->ignore();  // the window stays; the run cannot be left half-way
            return true;
        }
        // A message the run raised takes its answer; its box is modal.
        return IsInput(event->type()) && !ShowingForwardedMessage();
    }
};

}  // namespace

bool Busy() { return busy; }

void RunWhileBusy(const std::function<void()>& work)
{
    QEventLoop loop;
    InputBlocker blocker;
    QCoreApplication::instance()->installEventFilter(&blocker);
    const bool wasBusy = busy;
    busy = true;

    std::exception_ptr error;
    InterfaceThreadMessages forwarded;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        // Queued: runs once the loop below is running, even if work was quick.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();

    busy = wasBusy;
    QCoreApplication::instance()->removeEventFilter(&blocker);
    if (error) std::rethrow_exception(error);
}

}  // namespace platform
