// The desktop program: the worksheet window, the hidden results window and
// the toolkit's event loop.
#include <exception>

#include <QApplication>

#include "analysis/input_rules.h"
#include "foundation/messages.h"
#include "desktop/qt_messages.h"
#include "desktop/results_window.h"
#include "desktop/worksheet_window.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends only through "Exit" (or a confirmed close): windows
    // are hidden and shown in turn, and a moment without one is no ending.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::QtMessages messages;
    platform::ScopedMessages channel(messages);
    try {
        TfrmTemplate worksheet(GetProgramPath());
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
