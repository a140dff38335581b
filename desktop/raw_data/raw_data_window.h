#pragma once
// The raw-data window, opened by "Raw data..." on the worksheet: the user
// chooses a file of the controls' raw scores (CSV, SPSS, Stata), sees its
// numeric variables with their N, missing count, mean and SD, picks the task and 1 to 5
// covariates in order, types the case's scores, chooses the credible limit
// and whether incomplete controls are left out, and presses "Continue" (or
// "Case series..." for a cases file against these controls, as the command
// line's --cases runs it; its results open in a table window that stays
// when this window closes). The file and the choices are kept in the
// session's RawDataSession, so the window opens again as it was left.
// The window reads its controls and calls the shared raw-data analysis;
// every refusal is that code's message box, and the window stays open.
// After a run it closes with the report's lines ready for the results window.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "analysis/figure/figure_data.h"
#include "analysis/raw_data/raw_statistics.h"
#include "analysis/raw_data/raw_data_table.h"
#include "desktop/raw_data/raw_data_session.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class TCaseSeriesRunner;
namespace platform {
class OpenDialog;
}

class TRawDataWindow : public QDialog {
    Q_OBJECT

public:
    // notes: the worksheet's notes, for the report; afterEarlierLines: the
    // results window already holds a report; openDialog: where the file is
    // chosen (kept by the caller, so the last folder is remembered);
    // session: the file and choices of the last time, updated as they change.
    TRawDataWindow(QWidget* parent, platform::OpenDialog& openDialog, RawDataSession& session,
                   std::vector<std::string> notes, int credibleLimit, bool afterEarlierLines);
    ~TRawDataWindow() override;

    // The report of the run that closed the window with "Continue".
    const std::vector<std::string>& ReportLines() const { return reportLines_; }
    // The figure of that run.
    const FigureData& Figure() const { return figure_; }
    // Its summary sentence.
    const std::string& Summary() const { return summary_; }

    static constexpr int MaxCovariates = 5;
    static constexpr char NoFileMessage[] = "Choose the file of the controls' raw scores first.";

    // ---- Controls -----------------------------------------------------------
    QPushButton* btnChooseFile = nullptr;
    QLabel* lblFile = nullptr;
    QTableWidget* lstVariables = nullptr;  // name, N, missing, mean, SD of each numeric variable
    QComboBox* cboTask = nullptr;
    std::array<QComboBox*, MaxCovariates> cboCovariates{};
    QLineEdit* txtTaskScore = nullptr;
    std::array<QLineEdit*, MaxCovariates> txtCovariateScores{};
    std::array<QRadioButton*, 3> RadioItems{};
    QCheckBox* chkDropIncomplete = nullptr;
    QPushButton* cmdContinue = nullptr;
    QPushButton* cmdCaseSeries = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The series started by cmdCaseSeries (its dialogs can be replaced).
    TCaseSeriesRunner& CaseSeriesRunner() { return *caseSeries_; }

public slots:
    void btnChooseFileClick();
    void cmdContinueClick();
    void cmdCaseSeriesClick();
    // Keeps the choices in the session, and hands the series' table windows
    // to this window's parent so that they stay open.
    void done(int result) override;

private:
    void BuildControls(int credibleLimit);
    void ShowVariables();
    void RestoreChoices();
    void RememberChoices();
    // The task and covariates chosen, in their order (empty rows skipped),
    // and their score fields; false (a box shown) when no file is read.
    bool ReadChoice(RawDataChoice& choice, std::vector<QLineEdit*>& scoreFields);
    // The chosen variables' statistics (the refusals shown as boxes).
    bool SummariseChoice(RawSummary& summary, std::vector<QLineEdit*>& scoreFields);
    int CredibleLimit() const;
    void Analyse();
    void CaseSeries();

    platform::OpenDialog& openDialog_;
    RawDataSession& session_;
    std::unique_ptr<TCaseSeriesRunner> caseSeries_;
    std::vector<std::string> notes_;
    bool afterEarlierLines_ = false;
    QButtonGroup* radioButtons_ = nullptr;
    bool running_ = false;
    std::vector<std::string> reportLines_;
    FigureData figure_;
    std::string summary_;
};
