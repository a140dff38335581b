#pragma once
// The desktop side of a case series, after the worksheet has checked its
// control sample and taken the correlations: asks for the cases file, reads
// it (a refused file is an error box), asks where to save the results CSV
// (written with the system locale's decimal mark),
// runs the series on a worker thread behind a progress dialog that can
// cancel, saves the file whole, and says how many cases were analysed and
// which rows were not, then opens the results in a table window
// (TSeriesTableWindow, a window of its own under parent). A results file that is the cases file or cannot be
// written is refused before the run; when the save fails at the end, the
// results are kept and another place asked for. A cancelled series saves
// nothing. Nothing thrown on the worker thread leaves it: its error is shown
// as a single run's would be.
#include <memory>
#include <optional>
#include <string>

#include "analysis/case_series/case_series.h"
#include "analysis/files/open_dialog.h"
#include "analysis/files/save_dialog.h"

class QWidget;

class TCaseSeriesRunner {
public:
    explicit TCaseSeriesRunner(QWidget* parent);
    ~TCaseSeriesRunner();

    // Dialogs to use instead of the toolkit's (tests script them).
    void SetDialogs(std::unique_ptr<platform::OpenDialog> casesDialog,
                    std::unique_ptr<platform::SaveDialog> resultsDialog);

    // Runs the whole command; returns when it is over. Never throws.
    void Run(const SummaryData& controls, int credibleLimit);

    // Asked after the cases file is read: No runs the series on the exact
    // values of the frequentist test alone, without the Monte Carlo run.
    static constexpr char FullRunQuestion[] =
        "Run the full Bayesian analysis (1,000,000 Monte Carlo draws) for every case?\r\r"
        "No gives only the exact values of the frequentist test, without the Monte Carlo run: "
        "seconds for thousands of cases.";

    // The progress dialog's object name, for tests that press its Cancel.
    static constexpr char ProgressDialogName[] = "dlgCaseSeriesProgress";

private:
    // Asks where to save the results until the name can be written and is
    // not the cases file (each refusal an error box); nothing when cancelled.
    std::optional<std::string> AskResultsPath(const std::string& casesPath);

    // Runs the series on a worker thread while the progress dialog shows;
    // false when cancelled. An error of the run is returned in failure.
    bool RunWithProgress(const SummaryData& controls, int credibleLimit, bool exactOnly,
                         const std::vector<SeriesCase>& cases,
                         std::vector<SeriesResult>& results, std::exception_ptr& failure);

    QWidget* parent_;
    std::unique_ptr<platform::OpenDialog> casesDialog_;
    std::unique_ptr<platform::SaveDialog> resultsDialog_;
};
