#pragma once
// The worksheet, the program's main window: the number of covariates, the
// control sample size, the data grid, the credible-limit choice and the
// notes; "Continue" runs the Compute command (correlation entry, data file,
// analysis, report into the results window).
//
// The window keeps a WorksheetData as its model. Its handlers read the
// controls into it, call the shared code (checks, file, analysis, report)
// and show the outcome; they decide nothing of their own.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QSet>
#include <QWidget>

#include "analysis/worksheet/data_file.h"
#include "analysis/run/compute_workflow.h"
#include "analysis/worksheet/worksheet_data.h"
#include "desktop/raw_data/raw_data_session.h"

class QButtonGroup;
class QCloseEvent;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QScrollArea;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QShowEvent;
class TWorksheetGrid;
class TfrmTemplateResults;
class TCaseSeriesRunner;
namespace platform {
class OpenDialog;
class SaveDialog;
}
struct AnalysisInputs;
struct AnalysisOutputs;
struct ComputeFocus;

class TfrmTemplate : public QWidget {
    Q_OBJECT

public:
    // dataFolder: the folder of the previous-data file (the program's own
    // folder or the user's data folder, see platform::PreviousDataFolder;
    // tests give a folder of their own), made at the first save if missing.
    // Creating the window runs FormCreate, which restores the worksheet from
    // that file.
    explicit TfrmTemplate(const std::string& dataFolder, QWidget* parent = nullptr);
    ~TfrmTemplate() override;

    // The window the Compute command writes its reports to; its "Return to
    // Worksheet" shows this window again.
    void SetResultsWindow(TfrmTemplateResults* results);
    // How the program is ended; by default the application's event loop quits.
    void SetQuitHandler(std::function<void()> quit);

    // The worksheet as the controls show it now.
    const WorksheetData& Data();
    std::string DataPath() const;

    // Writes the previous-data file for an analysis of p variables. A file
    // that cannot be written is reported (with the system's reason); false then.
    bool SaveCurrentData(int p);
    // The worksheet differs from its file (the title's mark).
    void MarkModified();
    // Restores the worksheet from the previous-data file (default names
    // without one); a damaged file is reported and what was read is kept.
    void LoadPreviousData();
    // Lays out the grid and its headings from GridColumns and GridRows.
    void SizeGrid();

    // ---- Controls -----------------------------------------------------------
    QPlainTextEdit* DescripFld = nullptr;
    QFrame* pnlComments = nullptr;
    QLabel* lblComments = nullptr;
    QPlainTextEdit* memoComments = nullptr;
    QFrame* Panel1 = nullptr;
    std::array<QLabel*, NumericFieldCount> Labels{};         // Label1 .. Label8
    std::array<QLineEdit*, NumericFieldCount> txtInputs{};   // txtInput1 .. txtinput8
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtInput1 = nullptr;
    QLineEdit* txtInput2 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    std::array<QRadioButton*, 3> RadioItems{};
    QCheckBox* chkExact = nullptr;  // the frequentist test's block in the report
    TWorksheetGrid* grdData = nullptr;
    QLabel* lblGridColumnsTitle = nullptr;
    QLabel* lblItems = nullptr;
    std::array<QLabel*, 6> lblCols{};  // lblCol1 .. lblCol6
    QFrame* pnlButtons = nullptr;
    QPushButton* cmdCompute = nullptr;
    QPushButton* btnclearData = nullptr;
    QPushButton* ExitBtn = nullptr;
    QPushButton* btnCaseSeries = nullptr;
    QPushButton* btnRawData = nullptr;

    // Where "Raw data..." chooses its file (replaceable in tests).
    void SetRawDataOpenDialog(std::unique_ptr<platform::OpenDialog> dialog);

    // Where File > Open... and Save As... choose their files (replaceable in tests).
    void SetWorksheetDialogs(std::unique_ptr<platform::OpenDialog> open, std::unique_ptr<platform::SaveDialog> save);
    // The worksheet file the window shows ("" before one was opened or saved)
    // and whether the worksheet has changed since.
    const std::string& FilePath() const { return filePath_; }
    // Opens a worksheet file as File > Open... does once the file is chosen
    // (asking first about unsaved changes); false when nothing was opened.
    bool OpenWorksheet(const std::string& path);
    QMenuBar* menuBar_ = nullptr;
    QMenu* recentMenu_ = nullptr;

    // The case series started by btnCaseSeries (its dialogs can be replaced).
    TCaseSeriesRunner& CaseSeriesRunner() { return *caseSeries_; }

public slots:
    void cmdComputeClick();
    void btnclearDataClick();
    void ExitBtnClick();
    void btnCaseSeriesClick();
    void btnRawDataClick();
    void FileNewClick();
    void FileOpenClick();
    void FileSaveClick();
    void FileSaveAsClick();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void FormCreate();
    void FormShow();
    void FormActivate();
    void DescripFldChange();
    void memoCommentsChange();
    void memoCommentsEnter();
    void memoCommentsKeyUp(int key);
    void memoCommentsExit();
    void txtInput1Change();
    void txtInput1KeyUp();
    void txtInput1Exit();
    bool txtInput2KeyPress(QKeyEvent* event, QObject* target);  // and fields 3 to 8
    void txtInput2KeyUp(int field);                             // and fields 3 to 8
    bool grdDataKeyPress(QKeyEvent* event, QObject* target);
    void grdDataKeyUp();
    // Ctrl+V in the grid: the clipboard's rows and columns from the current cell.
    void PasteIntoGrid();
    // Clear Data asks first; until the next Continue its button undoes it.
    void UndoClearData();
    void ForgetClearedData();
    // Ctrl+C in the grid over more than one cell: the block as a spreadsheet takes it.
    void CopyFromGrid();
    void grdDataExit();
    // Worksheet files. The title shows the file's name and, once anything
    // changed, the modified mark; closing or replacing unsaved changes asks.
    void MarkSaved(const std::string& path);
    // Save / Discard / Cancel when there are unsaved changes: true when the
    // worksheet may be replaced or the program ended.
    bool ResolveUnsavedChanges();
    bool SaveWorksheetAs();
    bool ReadWorksheet(const std::string& path);  // no question first
    bool SaveWorksheetTo(const std::string& path);
    void RememberRecentFile(const std::string& path);
    void LoadRecentFiles();
    void ShowRecentFiles();
    void FocusChanged(QWidget* old, QWidget* now);

    void Compute();
    void CaseSeries();
    bool PrepareFromWorksheet(ComputePurpose purpose, AnalysisInputs& in);
    void ShowReport(const AnalysisInputs& in, const AnalysisOutputs& out);
    void FocusRefusal(const ComputeFocus& focus);
    void FocusField(int field);
    void EndProgram();

    // Model <-> controls.
    void ReadWidgets();
    void ReadGridCells();
    void ShowData();
    void ApplyGridRows();

    // KeyUp handlers run only for keys pressed in the same control, so the
    // key that closed a message box does not bring it up again.
    void NoteKeyPress(QObject* control, int key);
    bool IsReleaseOfPressedKey(QObject* control, int key);

    std::string dataFolder_;
    WorksheetData data_;
    TfrmTemplateResults* results_ = nullptr;
    std::function<void()> quit_;
    QButtonGroup* radioButtons_ = nullptr;
    bool updating_ = false;          // controls being filled from the model
    bool ending_ = false;
    bool computing_ = false;
    bool centred_ = false;
    bool activatedSinceShow_ = false;
    QMetaObject::Connection focusConnection_;
    QObject* keyControl_ = nullptr;
    QSet<int> pressedKeys_;
    std::unique_ptr<TCaseSeriesRunner> caseSeries_;
    std::unique_ptr<platform::OpenDialog> rawDataDialog_;
    RawDataSession rawDataSession_;  // the raw-data window's file and choices, for the session
    std::unique_ptr<WorksheetData> clearedData_;  // set while Clear Data can be undone
    std::unique_ptr<std::string> clearedFile_;    // the kept file's bytes then, if there was one
    QScrollArea* scroll_ = nullptr;
    QWidget* content_ = nullptr;
    std::string filePath_;
    std::vector<std::string> recentFiles_;
    std::unique_ptr<platform::OpenDialog> worksheetOpenDialog_;
    std::unique_ptr<platform::SaveDialog> worksheetSaveDialog_;
};
