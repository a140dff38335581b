// The desktop program: the worksheet window, the hidden results window and
// the toolkit's event loop.
#include <cstdio>
#include <exception>
#include <string>

#include <QApplication>

#include "foundation/messages.h"
#include "foundation/program_info.h"
#include "desktop/app/data_location.h"
#include "desktop/app/info_options.h"
#include "desktop/app/startup_failure.h"
#include "desktop/dialogs/qt_messages.h"
#include "desktop/results/results_window.h"
#include "desktop/worksheet/worksheet_window.h"

int main(int argc, char** argv)
{
    const std::string info = InfoOptionText(argc, argv, platform::ProgramVersion());
    if (!info.empty()) return std::fputs(info.c_str(), stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;

    // The name gives the user's data folder (~/.local/share/Harrow) and ties
    // the windows to the desktop entry.
    QApplication::setApplicationName(QStringLiteral("Harrow"));
    QApplication::setApplicationVersion(QString::fromStdString(platform::ProgramVersion()));
    QApplication::setDesktopFileName(QStringLiteral("harrow"));
    platform::ReportStartupFailureInsteadOfAbort();
    QApplication app(argc, argv);
    platform::StartupDone();
    // The program ends only through "Exit" (or a confirmed close): windows
    // are hidden and shown in turn, and a moment without one is no ending.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::QtMessages messages;
    platform::ScopedMessages channel(messages);
    try {
        TfrmTemplate worksheet(platform::PreviousDataFolder());
        TfrmTemplateResults results;
        worksheet.SetResultsWindow(&results);
        worksheet.show();
        return app.exec();
    } catch (const std::exception& e) {
        platform::ShowError(e.what());
    } catch (...) {
        platform::ShowError("The program could not start.");
    }
    return 1;
}
