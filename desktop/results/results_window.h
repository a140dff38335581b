#pragma once
// The results window: shows the reports of the Compute command, keeps them
// across computations, lets the user edit, save, print and clear them, and
// leads back to the worksheet or out of the program.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "analysis/figure/figure_data.h"
#include "analysis/report/print_surface.h"
#include "render/report_pdf.h"
#include "analysis/files/save_dialog.h"

class QAction;
class QCloseEvent;
class QFont;
class QFrame;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class TfrmFigure;

class TfrmTemplateResults : public QMainWindow {
    Q_OBJECT

public:
    using PrintSurfaceFactory =
        std::function<std::unique_ptr<platform::PrintSurface>(const QFont& printFont)>;

    explicit TfrmTemplateResults(QWidget* parent = nullptr);
    ~TfrmTemplateResults() override;

    // ---- For the Compute command --------------------------------------------
    // Appends one line (UTF-8) to the memo. The line carries its own line
    // end, so after appending, the memo's text ends with a line break.
    void AppendLine(const std::string& line);
    void AppendLines(const std::vector<std::string>& lines);
    // Lines the memo holds: 0 when empty, otherwise the number of lines
    // (a last line counts once it has a character; the line break that ends
    // an appended line opens no new one).
    int LineCount() const;
    // The window's title; " (edited by hand)" follows it once the report was
    // changed through "Edit report".
    void SetCaption(const std::string& caption);
    // True once the text was changed by hand since it was last cleared.
    bool EditedByHand() const { return editedByHand_; }
    // The figure of the analysis just reported; "Show Figure" shows it. The
    // text and what Save Output writes stay as they are.
    void SetFigure(const FigureData& figure);
    // The summary sentence of the analysis just reported; "Copy summary"
    // puts it on the clipboard.
    void SetSummary(const std::string& sentence);

    // The memo's text as saved to a file: lines joined by CR LF, in UTF-8, so
    // that every character of notes and edits is kept.
    std::string TextForFile() const;

    // ---- Services the window uses (replaceable in tests) ----------------------
    void SetSaveDialog(std::unique_ptr<platform::SaveDialog> dialog);
    // Where printouts go; by default the printer chosen in the system's print
    // dialog (a factory may return nothing: the print was cancelled).
    void SetPrintSurfaceFactory(PrintSurfaceFactory factory);
    // The file dialog of "Save as PDF..." (proposes results.pdf).
    void SetPdfSaveDialog(std::unique_ptr<platform::SaveDialog> dialog);
    // Pages "Save as PDF..." adds after the report's pages, asked for at
    // each save (none by default).
    void SetPdfExtraPages(std::function<std::vector<platform::ExtraPagePainter>()> pages);
    // How the program is ended; by default the application's event loop quits.
    void SetQuitHandler(std::function<void()> quit);

    // ---- Controls -----------------------------------------------------------
    QPlainTextEdit* memoResults = nullptr;
    QPushButton* cmdSaveOutput = nullptr;
    QPushButton* cmdClearResults = nullptr;
    QPushButton* cmdReturn = nullptr;
    QPushButton* cmdExit = nullptr;
    QAction* mnuSaveOutput = nullptr;   // "Save Output...", Ctrl+S: as the button
    QAction* mnuPrint = nullptr;
    QAction* mnuPrintSelection = nullptr;
    QAction* mnuSavePdf = nullptr;      // "Save as PDF..."
    QAction* mnuReturn = nullptr;       // "Return to Worksheet": as the button
    QAction* mnuExit = nullptr;         // "Exit", Ctrl+Q: as the button
    QAction* mnuShowFigure = nullptr;   // enabled once there is a figure
    // "Edit report": the report is read-only (selectable, copyable) until
    // this is checked, so that no stray key changes what is saved or printed.
    QAction* mnuEditReport = nullptr;
    QAction* mnuCopySummary = nullptr;  // "Copy summary", enabled once there is one
    TfrmFigure* frmFigure = nullptr;    // the figure's window, owned by this one

signals:
    // "Return to Worksheet" was pressed: this window has hidden itself and
    // the worksheet should show itself.
    void ReturnToWorksheet();

public slots:
    void cmdSaveOutputClick();
    void cmdClearResultsClick();
    void cmdReturnClick();
    void cmdExitClick();
    void mnuPrintClick();
    void mnuPrintSelectionClick();
    void mnuSavePdfClick();
    void mnuShowFigureClick();
    void mnuEditReportToggled(bool editing);
    void mnuCopySummaryClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void PrintText(const QString& text);
    QFont PrintFont() const;
    void EndProgram();
    void ReportChanged();
    void ShowCaption();
    // Widens the window (never beyond the screen, never narrower) so that a
    // line of this many pixels shows whole in the report.
    void FitReportWidth(int textWidth);

    QFrame* textPanel_ = nullptr;
    QFrame* buttonBar_ = nullptr;
    std::unique_ptr<platform::SaveDialog> saveDialog_;
    PrintSurfaceFactory printSurfaceFactory_;
    std::unique_ptr<platform::SaveDialog> pdfSaveDialog_;
    std::function<std::vector<platform::ExtraPagePainter>()> pdfExtraPages_;
    std::function<void()> quit_;
    int reportChrome_ = 0;        // the window's width beside a report line
    bool centred_ = false;
    bool ending_ = false;
    bool appending_ = false;      // the program, not the user, changes the text
    bool editedByHand_ = false;
    QString caption_;
    QString summary_;
};
