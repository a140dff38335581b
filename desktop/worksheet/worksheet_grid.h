#pragma once
// The worksheet's data grid: a string grid with the row numbers in a fixed
// first column, an editor that is open on the current cell whenever the grid
// has the focus, Tab stepping from cell to cell (and out of the grid after
// the last one), and every key typed into a cell handed to the window first.
#include <functional>

#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

class QKeyEvent;

class TWorksheetGrid : public QTableWidget {
    Q_OBJECT

public:
    static constexpr int ColWidth = 53;   // cell width, without the grid line
    static constexpr int RowHeight = 20;  // cell height, without the grid line
    static constexpr int GridLineWidth = 1;

    explicit TWorksheetGrid(QWidget* parent = nullptr);

    // Called for every key pressed in the grid or its cell editor, before the
    // grid handles it; `target` is the widget that got it. Return true when
    // the key has been dealt with (swallowed or sent again as another key).
    std::function<bool(QKeyEvent* event, QObject* target)> keyPressHook;
    // Called for every key released in the grid or its cell editor.
    std::function<void(QKeyEvent* event)> keyReleaseHook;

    // The text of a cell as the user sees it (the open editor's included).
    QString CellText(int row, int column) const;
    // Sets a cell's text, and the open editor's when it edits that cell.
    void SetCellText(int row, int column, const QString& text);
    // Sets the row count; new rows get empty cells, column 0 stays read-only.
    void SetRows(int rows);
    // The editor open on the current cell, if any.
    QLineEdit* Editor() const { return editor_; }
    // True for the grid itself and every widget inside it (cell editors).
    bool Owns(const QWidget* widget) const;
    // Tab: the next (or previous) editable cell, row by row; false when the
    // current cell is the last (first) one.
    bool StepCell(bool forward);
    // Gives the focus to the next (previous) tab stop outside the grid.
    void LeaveGrid(bool forward);

protected:
    bool event(QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class GridCellDelegate;
    void OpenEditor();
    // After a message box closed the editor (resumeCell_): a new one, the
    // cursor where it was (no selection), if that cell is still current.
    void ReopenEditor();

    QPointer<QLineEdit> editor_;
    QPersistentModelIndex resumeCell_;  // an editor a message box closed
    int resumeCursor_ = 0;
};
