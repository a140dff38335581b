#include "desktop/app/interface_thread_messages.h"

#include <functional>

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace platform {
namespace {

int forwardedShowing = 0;  // touched on the interface thread only

bool OnInterfaceThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

// Runs the call on the interface thread and waits for it.
void OnInterfaceThreadAndWait(const std::function<void()>& call)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&call] {
            ++forwardedShowing;
            call();
            --forwardedShowing;
        },
        Qt::BlockingQueuedConnection);
}

}  // namespace

InterfaceThreadMessages::InterfaceThreadMessages() : target_(Messages()), previous_(SetMessages(this)) {}

InterfaceThreadMessages::~InterfaceThreadMessages() { SetMessages(previous_); }

Answer InterfaceThreadMessages::Show(MessageKind kind, const std::string& text)
{
    if (OnInterfaceThread()) return target_.Show(kind, text);
    Answer answer = Answer::Ok;
    OnInterfaceThreadAndWait([&] { answer = target_.Show(kind, text); });
    return answer;
}

void InterfaceThreadMessages::Beep()
{
    if (OnInterfaceThread())
        target_.Beep();
    else
        OnInterfaceThreadAndWait([this] { target_.Beep(); });
}

bool ShowingForwardedMessage() { return forwardedShowing > 0; }

}  // namespace platform
