#include "desktop/app/qt_app_helpers.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

#include "analysis/run/command_guard.h"
#include "foundation/messages.h"

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

namespace {

class EnterClicksButton : public QObject {
public:
    explicit EnterClicksButton(QPushButton* button) : QObject(button), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != button_ || event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (modifiers != Qt::NoModifier) return false;
        if (!key->isAutoRepeat() && button_->isEnabled()) button_->click();
        return true;
    }

private:
    QPushButton* button_;
};

}  // namespace

void ClickOnEnter(QPushButton* button)
{
    if (button) button->installEventFilter(new EnterClicksButton(button));
}

void CentreOnScreen(QWidget* window)
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void FitAndCentreOnScreen(QWidget* window)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    // Before the first showing the frame is not known: room for a title bar.
    const int titleBar = frame.height() > window->height()
                             ? frame.height() - window->height()
                             : window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    const int border = std::max(0, (frame.width() - window->width()) / 2);
    const QSize room(free.width() - 2 * border, free.height() - titleBar - border);
    window->resize(window->size().boundedTo(room).expandedTo(window->minimumSize()));
    frame = window->frameGeometry();
    frame.setHeight(std::max(frame.height(), window->height() + titleBar));
    frame.moveCenter(free.center());
    window->move(std::max(frame.left(), free.left()), std::max(frame.top(), free.top()));
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
