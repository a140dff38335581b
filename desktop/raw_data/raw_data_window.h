#pragma once
// The raw-data window, opened by "Raw data..." on the worksheet: the user
// chooses a file of the controls' raw scores (CSV, SPSS, Stata), sees its
// numeric variables with their N and mean, picks the task and 1 to 5
// covariates in order, types the case's scores, chooses the credible limit
// and whether incomplete controls are left out, and presses "Continue".
// The window reads its controls and calls the shared raw-data analysis;
// every refusal is that code's message box, and the window stays open.
// After a run it closes with the report's lines ready for the results window.
#include <array>
#include <string>
#include <vector>

#include <QDialog>

#include "analysis/figure/figure_data.h"
#include "analysis/raw_data/raw_data_table.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
namespace platform {
class OpenDialog;
}

class TRawDataWindow : public QDialog {
    Q_OBJECT

public:
    // notes: the worksheet's notes, for the report; afterEarlierLines: the
    // results window already holds a report; openDialog: where the file is
    // chosen (kept by the caller, so the last folder is remembered).
    TRawDataWindow(QWidget* parent, platform::OpenDialog& openDialog, std::vector<std::string> notes,
                   int credibleLimit, bool afterEarlierLines);
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
    QTreeWidget* lstVariables = nullptr;  // name, N, mean of each numeric variable
    QComboBox* cboTask = nullptr;
    std::array<QComboBox*, MaxCovariates> cboCovariates{};
    QLineEdit* txtTaskScore = nullptr;
    std::array<QLineEdit*, MaxCovariates> txtCovariateScores{};
    std::array<QRadioButton*, 3> RadioItems{};
    QCheckBox* chkDropIncomplete = nullptr;
    QPushButton* cmdContinue = nullptr;
    QPushButton* cmdCancel = nullptr;

public slots:
    void btnChooseFileClick();
    void cmdContinueClick();

private:
    void BuildControls(int credibleLimit);
    void ShowVariables();
    void Analyse();

    platform::OpenDialog& openDialog_;
    std::vector<std::string> notes_;
    bool afterEarlierLines_ = false;
    QButtonGroup* radioButtons_ = nullptr;
    RawDataTable table_;
    bool loaded_ = false;
    bool running_ = false;
    std::vector<std::string> reportLines_;
    FigureData figure_;
    std::string summary_;
};
