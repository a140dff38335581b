#include "desktop/case_series/case_series_runner.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <QApplication>
#include <QEventLoop>

#include <QKeyEvent>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>

#include "analysis/run/command_guard.h"
#include "analysis/files/same_file.h"
#include "analysis/files/text_file.h"
#include "analysis/files/write_target.h"
#include "desktop/app/interface_thread_messages.h"
#include "desktop/dialogs/qt_open_dialog.h"
#include "desktop/dialogs/qt_save_dialog.h"
#include "desktop/case_series/series_table_window.h"
#include "foundation/messages.h"

TCaseSeriesRunner::TCaseSeriesRunner(QWidget* parent)
    : parent_(parent),
      casesDialog_(std::make_unique<platform::QtOpenDialog>(parent, "Cases file", "CSV files (*.csv);;All files (*)")),
      resultsDialog_(std::make_unique<platform::QtSaveDialog>(parent, "case-series.csv", "CSV files (*.csv)"))
{
}

TCaseSeriesRunner::~TCaseSeriesRunner() = default;

void TCaseSeriesRunner::SetDialogs(std::unique_ptr<platform::OpenDialog> casesDialog,
                                   std::unique_ptr<platform::SaveDialog> resultsDialog)
{
    casesDialog_ = std::move(casesDialog);
    resultsDialog_ = std::move(resultsDialog);
}

void TCaseSeriesRunner::Run(const SummaryData& controls, int credibleLimit)
{
    platform::RunCommand([&] {
        const std::optional<std::string> casesPath = casesDialog_->Execute();
        if (!casesPath) return;
        std::vector<SeriesCase> cases;
        std::string message;
        if (!ReadCasesFile(*casesPath, controls.names, cases, message)) {
            platform::ShowError(message);
            return;
        }
        // No: the frequentist test's exact values alone, in moments.
        const bool exactOnly = !platform::Confirm(FullRunQuestion);
        std::optional<std::string> resultsPath = AskResultsPath(*casesPath);
        if (!resultsPath) return;

        std::vector<SeriesResult> results;
        std::exception_ptr failure;
        if (!RunWithProgress(controls, credibleLimit, exactOnly, cases, results, failure)) {
            platform::ShowInformation("The case series was cancelled: no results were saved.");
            return;
        }
        if (failure) std::rethrow_exception(failure);
        // A failed save (a full disk, a folder gone) keeps the results and
        // asks for another place: a long series is never run for nothing.
        // Decimal commas and semicolons where the system writes decimal
        // commas, so that its spreadsheet opens the file as it is.
        const SeriesCsvLocale locale = QLocale::system().decimalPoint() == QStringLiteral(",")
                                           ? SeriesCsvLocale::Comma
                                           : SeriesCsvLocale::Point;
        const std::string text = FormatSeriesCsv(controls, results, exactOnly, locale);
        for (;;) {
            try {
                platform::WriteWholeFile(*resultsPath, text);
                break;
            } catch (const platform::FileWriteError& e) {
                platform::ShowError(std::string(e.what()) + "\r\rThe results are kept: choose another place to save them.");
            }
            resultsPath = AskResultsPath(*casesPath);
            if (!resultsPath) {
                platform::ShowWarning("The results of the case series were not saved.");
                return;
            }
        }
        const std::string summary = SeriesSummaryText(results, *resultsPath);
        if (CountRefused(results) == 0)
            platform::ShowInformation(summary);
        else
            platform::ShowWarning(summary);
        // Beside the file, the same cells in a table to sort and copy from.
        auto* table = new TSeriesTableWindow(parent_, MakeSeriesTable(controls, results, exactOnly, locale), *resultsPath);
        table->show();
    });
}

std::optional<std::string> TCaseSeriesRunner::AskResultsPath(const std::string& casesPath)
{
    for (;;) {
        std::optional<std::string> path = resultsDialog_->Execute();
        if (!path) return path;
        if (platform::SameFile(*path, casesPath)) {
            platform::ShowError(platform::OutputIsInputMessage(*path, "cases file"));
            continue;
        }
        try {
            platform::CheckWriteTarget(*path);
            return path;
        } catch (const platform::FileWriteError& e) {
            platform::ShowError(e.what());
        }
    }
}

namespace {

class CloseAsksFirst : public QObject {
public:
    explicit CloseAsksFirst(std::function<void()> cancel) : cancel_(std::move(cancel)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool escape = event->type() == QEvent::KeyPress &&
                            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (event->type() != QEvent::Close && !escape) return QObject::eventFilter(watched, event);
        event->ignore();
        if (!asking_) {
            asking_ = true;
            const bool yes = platform::Confirm("Cancel the case series? No results will be saved.");
            asking_ = false;
            if (yes) cancel_();
        }
        return true;
    }

private:
    std::function<void()> cancel_;
    bool asking_ = false;
};

}  // namespace

bool TCaseSeriesRunner::RunWithProgress(const SummaryData& controls, int credibleLimit, bool exactOnly,
                                        const std::vector<SeriesCase>& cases, std::vector<SeriesResult>& results,
                                        std::exception_ptr& failure)
{
    const int total = static_cast<int>(cases.size());
    QProgressDialog dialog(QString::fromStdString(SeriesProgressText(0, total, 0)), QStringLiteral("Cancel"), 0,
                           total, parent_);
    dialog.setObjectName(QString::fromLatin1(ProgressDialogName));
    dialog.setWindowTitle(QStringLiteral("Case series"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
    dialog.setMinimumWidth(420);

    std::atomic<int> done{0};
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    bool completed = false;
    QEventLoop loop;
    QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
        cancel = true;
        dialog.setLabelText(QStringLiteral("Cancelling the case series..."));
    });
    // Closing the dialog or Escape asks before cancelling; only its Cancel
    // button cancels at once.
    CloseAsksFirst askFirst([&dialog] { emit dialog.canceled(); });
    dialog.installEventFilter(&askFirst);
    const auto start = std::chrono::steady_clock::now();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        if (cancel) return;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        dialog.setValue(done);
        dialog.setLabelText(QString::fromStdString(SeriesProgressText(done, total, elapsed)));
    });

    platform::InterfaceThreadMessages forwarded;  // the engine's own message, about the control sample
    std::thread worker([&] {
        try {
            completed = RunCaseSeries(controls, credibleLimit, cases,
                                      [&](int n, int) {
                                          done = n;
                                          return !cancel;
                                      },
                                      results, exactOnly);
        } catch (...) {
            failure = std::current_exception();
            completed = true;
        }
        finished = true;
    });
    dialog.show();
    timer.start(50);
    loop.exec();
    worker.join();
    return completed && !cancel;
}
