#pragma once
// The figure of the latest analysis in a window of its own, opened from the
// results window: the posterior of Z-CCC, drawn to the window's size as it
// will be saved, and "Save Figure..." to keep it as PNG, SVG or PDF: at the
// screen's size or printed at a journal column's or a page's width, with or
// without its title.
#include <memory>
#include <optional>

#include <QDialog>
#include <QWidget>

#include "analysis/figure/figure_layout.h"
#include "analysis/files/save_dialog.h"

class QCheckBox;
class QComboBox;
class QPushButton;

// Paints the figure scaled into its whole area, or nothing before the first.
class FigureCanvas : public QWidget {
public:
    explicit FigureCanvas(QWidget* parent = nullptr);
    void SetFigure(const FigureLayout& figure);
    void ClearFigure();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The options the size choice and the title tick say.
    FigureOptions ChosenOptions() const;
    void LayOut();

    std::optional<FigureData> data_;
    std::optional<FigureLayout> figure_;
};

class TfrmFigure : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFigure(QWidget* parent = nullptr);
    ~TfrmFigure() override;

    // Shows this analysis' figure from now on (also while the window is open).
    void SetFigure(const FigureData& figure);
    // No figure from now on (the results were cleared); the window closes.
    void ClearFigure();
    // The figure shown (and saved), or nullptr before the first analysis.
    const FigureLayout* Figure() const { return figure_ ? &*figure_ : nullptr; }
    // The figure at the screen's size with its title, as the report's PDF
    // carries it, or nothing before the first analysis.
    std::optional<FigureLayout> ReportFigure() const;

    // The save dialog (replaceable in tests); by default the toolkit's,
    // proposing "figure.png".
    void SetSaveDialog(std::unique_ptr<platform::SaveDialog> dialog);

    FigureCanvas* canvas = nullptr;
    QComboBox* cboFigureSize = nullptr;  // Screen, Journal column (85 mm), Page (175 mm)
    QCheckBox* chkFigureTitle = nullptr;
    QPushButton* cmdSaveFigure = nullptr;
    QPushButton* cmdClose = nullptr;

public slots:
    // Asks for a file name and writes the figure in the format its extension
    // names; a refused name or a failed write ends with an error box and
    // leaves no file behind.
    void cmdSaveFigureClick();

private:
    // The options the size choice and the title tick say.
    FigureOptions ChosenOptions() const;
    void LayOut();

    std::optional<FigureData> data_;
    std::optional<FigureLayout> figure_;
    std::unique_ptr<platform::SaveDialog> saveDialog_;
};
