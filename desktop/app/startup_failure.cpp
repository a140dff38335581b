#include "desktop/app/startup_failure.h"

#include <cstdio>
#include <cstdlib>

#include <QtGlobal>

namespace platform {
namespace {

QtMessageHandler previousHandler = nullptr;

void StartupHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        if (previousHandler) previousHandler(type, context, message);
        return;
    }
    std::fputs("harrow: no graphical display could be opened, so the program cannot start.\n"
               "Start it from a desktop session (DISPLAY or WAYLAND_DISPLAY set), or use harrow-cli.\n",
               stderr);
    std::fflush(stderr);
    // Nothing has been written yet; the toolkit is half set up, so no
    // destructors run.
    std::_Exit(1);
}

}  // namespace

void ReportStartupFailureInsteadOfAbort() { previousHandler = qInstallMessageHandler(StartupHandler); }

void StartupDone() { qInstallMessageHandler(previousHandler); }

}  // namespace platform
